#include "model/records.h"

#include <algorithm>
#include <bit>
#include <string>

#include "model/giornale.h"
#include "model/numeri.h"

namespace calvetra {

void Geometria::crea(int32_t T) {
  metri_ = T + 1;
  tratti_.clear();
  seminata_ = false;
  prossimo_ = 0;
}

void Geometria::semina() {
  tratti_.clear();
  seminata_ = true;
  prossimo_ = 2;
}

bool Geometria::Tratto::operator==(const Tratto& o) const {
  return fino == o.fino && curva == o.curva &&
         std::bit_cast<uint64_t>(k) == std::bit_cast<uint64_t>(o.k);
}

bool Geometria::operator==(const Geometria& o) const {
  return tratti_ == o.tratti_ && metri_ == o.metri_ && seminata_ == o.seminata_ &&
         prossimo_ == o.prossimo_ && senza_coordinate_ == o.senza_coordinate_;
}

void Geometria::avanza(int32_t fino, bool curva, double k) {
  if (fino <= prossimo_) return;
  prossimo_ = fino;
  if (senza_coordinate_) return;
  if (!curva) k = 0.0;
  // A stretch that goes on as the one before it only moves that one's end:
  // the straight run-in of a route with few curves is one stretch.
  if (!tratti_.empty()) {
    Tratto& ultimo = tratti_.back();
    if (ultimo.curva == curva && std::bit_cast<uint64_t>(ultimo.k) == std::bit_cast<uint64_t>(k)) {
      ultimo.fino = fino;
      return;
    }
  }
  tratti_.push_back(Tratto{fino, curva, k});
}

int32_t CalcoloPiano::prossimi(double* x, double* y, int32_t n) {
  if (g_->genere(0) != Geometria::Genere::intero) return 0;
  int32_t dati = 0;
  // The seeds.
  for (; dati < n && metro_ < 2; ++dati, ++metro_) {
    x[dati] = 0.0;
    y[dati] = metro_ == 0 ? 0.0 : 1.0;
    x2_ = x1_;
    y2_ = y1_;
    x1_ = x[dati];
    y1_ = y[dati];
  }
  const std::vector<Geometria::Tratto>& tratti = g_->tratti();
  // The two metres before the next one ride along in registers: reading them
  // back from the block would put a store and a load into every step of a
  // chain where each metre waits for the one before it.
  double x2 = x2_, y2 = y2_, x1 = x1_, y1 = y1_;
  while (dati < n && metro_ < g_->prossimo()) {
    while (tratto_ < tratti.size() && tratti[tratto_].fino <= metro_) ++tratto_;
    if (tratto_ == tratti.size()) {
      // A plan only measured: its metres have no coordinates.
      x[dati] = 0.0;
      y[dati] = 0.0;
      ++dati;
      ++metro_;
      continue;
    }
    const Geometria::Tratto& t = tratti[tratto_];
    const int32_t fino = std::min(t.fino, metro_ + (n - dati));
    const double k = t.k;
    if (t.curva) {
      for (; metro_ < fino; ++metro_, ++dati) {
        const double dx = x1 - x2;
        const double dy = y1 - y2;
        x2 = x1;
        y2 = y1;
        x1 = x1 + (dx + k * dy);
        y1 = y1 + (dy - k * dx);
        x[dati] = x1;
        y[dati] = y1;
      }
    } else {
      for (; metro_ < fino; ++metro_, ++dati) {
        const double dx = x1 - x2;
        const double dy = y1 - y2;
        x2 = x1;
        y2 = y1;
        x1 = x1 + dx;
        y1 = y1 + dy;
        x[dati] = x1;
        y[dati] = y1;
      }
    }
  }
  x2_ = x2;
  y2_ = y2;
  x1_ = x1;
  y1_ = y1;
  return dati;
}

bool PuntiPiano::porta_a(int32_t m) {
  if (m < 0 || g_.genere(m) == Geometria::Genere::vuoto) return false;
  if (m >= inizio_ && m < inizio_ + quanti_) return true;
  if (m < inizio_) {
    calcolo_ = CalcoloPiano(g_);
    inizio_ = 0;
    quanti_ = 0;
  }
  if (x_ == nullptr) {
    x_.reset(new double[kFinestra]);
    y_.reset(new double[kFinestra]);
  }
  do {
    inizio_ = calcolo_.metro();
    quanti_ = calcolo_.prossimi(x_.get(), y_.get(), kFinestra);
  } while (quanti_ > 0 && m >= inizio_ + quanti_);
  return quanti_ > 0 && m >= inizio_;
}

int32_t Modello::ultima_cella() const {
  if (tratti.empty()) throw GuastoInatteso("le celle del percorso non esistono ancora");
  return static_cast<int32_t>(tratti.size()) - 1;
}

void Modello::osserva(Giornale* g) {
  if (osservatore.giornale != nullptr) osservatore.giornale->modello_ = nullptr;
  osservatore.giornale = g;
  if (g != nullptr) g->modello_ = this;
}

tratto& Modello::cella(int64_t i) {
  if (i < 0 || i > ultima_cella()) {
    throw GuastoInatteso("cella " + std::to_string(i) + " fuori dal percorso");
  }
  tratto& t = tratti[static_cast<size_t>(i)];
  if (osservatore.giornale != nullptr) osservatore.giornale->tocca_cella(static_cast<size_t>(i), t);
  return t;
}

voce& Modello::riga(size_t r) {
  voce& v = tabella[r];
  if (osservatore.giornale != nullptr) osservatore.giornale->tocca_riga(r, v);
  return v;
}

void Modello::crea_tratti(size_t celle) {
  if (osservatore.giornale != nullptr) osservatore.giornale->crea_celle(celle);
  tratti.assign(celle, tratto{});
}

bool Modello::oltre_limite(int64_t p, int64_t margine) const {
  return p + margine > int64_t{kMetriCella} * ultima_cella();
}

}  // namespace calvetra
