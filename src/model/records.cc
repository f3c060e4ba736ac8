#include "model/records.h"

#include <algorithm>
#include <bit>
#include <span>
#include <string>

#include "model/giornale.h"
#include "model/numeri.h"

namespace calvetra {

namespace {

// Calls f with the member of a cell that holds field c. Inlined: a cell's
// field is written this way at every write and fill of a compile.
template <typename F>
[[gnu::always_inline]] inline void con_membro(CampoCella c, F&& f) {
  switch (c) {
    case CampoCella::tipo: f(&tratto::tipo); break;
    case CampoCella::valore_a: f(&tratto::valore_a); break;
    case CampoCella::valore_b: f(&tratto::valore_b); break;
    case CampoCella::valore_c: f(&tratto::valore_c); break;
    case CampoCella::valore_d: f(&tratto::valore_d); break;
    case CampoCella::tempo: f(&tratto::tempo); break;
    case CampoCella::preavviso: f(&tratto::preavviso); break;
    case CampoCella::montagna: f(&tratto::montagna); break;
    case CampoCella::velocita: f(&tratto::velocita); break;
    case CampoCella::pendenza: f(&tratto::pendenza); break;
    case CampoCella::aderenza: f(&tratto::aderenza); break;
  }
}

// v cut as an assignment to a field of type T would: the low bits, two's
// complement.
template <typename T>
T tagliato(T tratto::*, int64_t v) {
  return static_cast<T>(v);
}

}  // namespace

int64_t valore_campo(const tratto& t, CampoCella c) {
  switch (c) {
    case CampoCella::tipo: return t.tipo;
    case CampoCella::valore_a: return t.valore_a;
    case CampoCella::valore_b: return t.valore_b;
    case CampoCella::valore_c: return t.valore_c;
    case CampoCella::valore_d: return t.valore_d;
    case CampoCella::tempo: return t.tempo;
    case CampoCella::preavviso: return t.preavviso;
    case CampoCella::montagna: return t.montagna;
    case CampoCella::velocita: return t.velocita;
    case CampoCella::pendenza: return t.pendenza;
    case CampoCella::aderenza: return t.aderenza;
  }
  return 0;
}

int64_t valore_campo(const voce& v, CampoRiga c) {
  switch (c) {
    case CampoRiga::tipo: return v.tipo;
    case CampoRiga::inizio: return v.inizio;
    case CampoRiga::fine: return v.fine;
    case CampoRiga::posizione: return v.posizione;
    case CampoRiga::opz_a: return v.opz_a;
    case CampoRiga::nome: return 0;
    case CampoRiga::cod_a: return v.cod_a;
    case CampoRiga::cod_b: return v.cod_b;
    case CampoRiga::cod_c: return v.cod_c;
    case CampoRiga::cod_d: return v.cod_d;
    case CampoRiga::cod_e: return v.cod_e;
    case CampoRiga::opz_b: return v.opz_b;
    case CampoRiga::opz_c: return v.opz_c;
    case CampoRiga::opz_d: return v.opz_d;
    case CampoRiga::opz_e: return v.opz_e;
    case CampoRiga::orario: return v.orario;
  }
  return 0;
}

void metti_campo(tratto& t, CampoCella c, int64_t v) {
  con_membro(c, [&](auto membro) { t.*membro = tagliato(membro, v); });
}

void metti_campo(voce& v, CampoRiga c, int64_t x) {
  const auto u8 = static_cast<uint8_t>(x);
  const auto i16 = static_cast<int16_t>(x);
  const auto i32 = static_cast<int32_t>(x);
  switch (c) {
    case CampoRiga::tipo: v.tipo = u8; break;
    case CampoRiga::inizio: v.inizio = i32; break;
    case CampoRiga::fine: v.fine = i32; break;
    case CampoRiga::posizione: v.posizione = i32; break;
    case CampoRiga::opz_a: v.opz_a = u8; break;
    case CampoRiga::nome: break;
    case CampoRiga::cod_a: v.cod_a = i16; break;
    case CampoRiga::cod_b: v.cod_b = i16; break;
    case CampoRiga::cod_c: v.cod_c = i16; break;
    case CampoRiga::cod_d: v.cod_d = i16; break;
    case CampoRiga::cod_e: v.cod_e = i16; break;
    case CampoRiga::opz_b: v.opz_b = u8; break;
    case CampoRiga::opz_c: v.opz_c = u8; break;
    case CampoRiga::opz_d: v.opz_d = u8; break;
    case CampoRiga::opz_e: v.opz_e = u8; break;
    case CampoRiga::orario: v.orario = i32; break;
  }
}

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

namespace {

// Out of line: the writes of every fill check their cell, and almost never
// fail.
[[noreturn, gnu::noinline]] void non_e_una_cella(const Modello& m, int64_t i) {
  // Whether the cells exist at all comes first, as in `ultima_cella`.
  if (i >= 0) m.ultima_cella();
  throw GuastoInatteso("cella " + std::to_string(i) + " fuori dal percorso");
}

// Field `campo` of every cell of `celle` takes v, cut as metti_campo cuts it:
// the field is chosen once, not a cell at a time.
void riempi_campo(std::span<tratto> celle, CampoCella campo, int64_t v) {
  con_membro(campo, [&](auto membro) {
    const auto cut = tagliato(membro, v);
    for (tratto& t : celle) t.*membro = cut;
  });
}

}  // namespace

tratto& Modello::cella_esistente(int64_t i) {
  if (i < 0 || static_cast<uint64_t>(i) >= tratti.size()) non_e_una_cella(*this, i);
  return tratti[static_cast<size_t>(i)];
}

const tratto& Modello::cella(int64_t i) {
  const tratto& t = cella_esistente(i);
  if (osservatore.giornale != nullptr) osservatore.giornale->tocca_cella(static_cast<size_t>(i));
  return t;
}

void Modello::scrivi_cella(int64_t i, CampoCella campo, int64_t v) {
  tratto& t = cella_esistente(i);
  Giornale* g = osservatore.giornale;
  if (g == nullptr) {
    // Only the object's fields carry where they came from.
    if (campo > CampoCella::tempo) {
      metti_campo(t, campo, v);
      return;
    }
    const int64_t prima = valore_campo(t, campo);
    metti_campo(t, campo, v);
    if (valore_campo(t, campo) != prima)
      osservatore.provenienza.cella(static_cast<size_t>(i), campo);
    return;
  }
  const int64_t prima = valore_campo(t, campo);
  metti_campo(t, campo, v);
  g->scrive_cella(static_cast<size_t>(i), campo, prima, valore_campo(t, campo));
}

void Modello::riempi_celle(int64_t da, int64_t a, CampoCella campo, int64_t v) {
  if (a <= da) return;
  Giornale* g = osservatore.giornale;
  // Without a journal an object's field carries where it came from, cell by
  // cell; no fill writes one.
  if (da < 0 || (g == nullptr && campo <= CampoCella::tempo)) {
    for (int64_t i = da; i < a; ++i) scrivi_cella(i, campo, v);
    return;
  }
  const auto primo = static_cast<size_t>(da);
  const size_t fine = std::min(static_cast<size_t>(a), tratti.size());
  if (primo < fine) {
    tratto cut;
    metti_campo(cut, campo, v);
    const int64_t dopo = valore_campo(cut, campo);
    if (g != nullptr) {
      g->riempie_celle(std::span<const tratto>(tratti).subspan(primo, fine - primo), primo, campo,
                       dopo);
    }
    riempi_campo(std::span<tratto>(tratti).subspan(primo, fine - primo), campo, dopo);
  }
  if (static_cast<uint64_t>(a) > tratti.size()) {
    non_e_una_cella(*this, static_cast<int64_t>(std::max(primo, tratti.size())));
  }
}

const voce& Modello::riga(size_t r) {
  if (osservatore.giornale != nullptr) osservatore.giornale->tocca_riga(r);
  return tabella[r];
}

void Modello::scrivi_riga(size_t r, CampoRiga campo, int64_t x) {
  voce& v = tabella[r];
  Giornale* g = osservatore.giornale;
  if (g == nullptr) {
    const int64_t prima = valore_campo(v, campo);
    metti_campo(v, campo, x);
    if (valore_campo(v, campo) != prima) osservatore.provenienza.riga(r, campo);
    return;
  }
  const int64_t prima = valore_campo(v, campo);
  metti_campo(v, campo, x);
  g->scrive_riga(r, campo, prima, valore_campo(v, campo));
}

void Modello::scrivi_nome(size_t r, std::string nome) {
  voce& v = tabella[r];
  if (osservatore.giornale != nullptr) {
    osservatore.giornale->scrive_nome(r, v.nome, nome);
  } else if (v.nome != nome) {
    osservatore.provenienza.riga(r, CampoRiga::nome);
  }
  v.nome = std::move(nome);
}

void Modello::scrivi_voce(size_t r, const voce& v) {
  for (uint8_t k = 0; k < kCampiRiga; ++k) {
    const auto campo = static_cast<CampoRiga>(k);
    if (campo == CampoRiga::nome) {
      scrivi_nome(r, v.nome);
    } else {
      scrivi_riga(r, campo, valore_campo(v, campo));
    }
  }
}

void Provenienza::annota(bool riga, uint8_t campo, size_t indice) {
  if (per_conto_di_ && !causa_nota_) {
    causa_ = luogo_cella(cella_causa_);
    causa_nota_ = true;
  }
  origini_.push_back({riga, campo, indice, ordine_, per_conto_di_ ? causa_ : luogo_});
}

const Provenienza::Origine* Provenienza::ultima_di(bool riga, size_t indice, uint8_t campo) const {
  for (size_t k = origini_.size(); k-- > 0;) {
    const Origine& o = origini_[k];
    if (o.riga == riga && o.indice == indice && o.campo == campo) return &o;
  }
  return nullptr;
}

Luogo Provenienza::luogo_cella(size_t c) const {
  // A step's own writes own nothing.
  for (size_t k = origini_.size(); k-- > 0;) {
    const Origine& o = origini_[k];
    if (!o.riga && o.indice == c && o.luogo.file != FileSorgente::nessuno) return o.luogo;
  }
  return {};
}

Luogo Provenienza::luogo_riga(size_t r) const {
  for (size_t k = origini_.size(); k-- > 0;) {
    const Origine& o = origini_[k];
    if (o.riga && o.indice == r && o.luogo.file != FileSorgente::nessuno) return o.luogo;
  }
  return {};
}

Luogo Provenienza::ultima(size_t r, CampoRiga campo, size_t c, CampoCella valore) const {
  const Origine* di_riga = ultima_di(true, r, static_cast<uint8_t>(campo));
  const Origine* di_cella = ultima_di(false, c, static_cast<uint8_t>(valore));
  const Origine* o =
      di_riga == nullptr || (di_cella != nullptr && di_cella->ordine > di_riga->ordine) ? di_cella
                                                                                        : di_riga;
  return o == nullptr ? Luogo{} : o->luogo;
}

void Modello::crea_tratti(size_t celle) {
  if (osservatore.giornale != nullptr) {
    osservatore.giornale->crea_celle(celle);
  } else {
    osservatore.provenienza.nuove_celle();
  }
  tratti.assign(celle, tratto{});
}

bool Modello::oltre_limite(int64_t p, int64_t margine) const {
  return p + margine > int64_t{kMetriCella} * ultima_cella();
}

}  // namespace calvetra
