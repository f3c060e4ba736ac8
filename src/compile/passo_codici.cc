// The cab-code pass: one forward walk over the cells that adds code
// reductions of 180 km/h around every slowdown. It never removes or moves an
// object placed by the parser; it only marks free cells or lowers existing
// code reductions.
#include "compile/passo_codici.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "model/costanti.h"
#include "model/significato.h"

namespace calvetra {

namespace {

constexpr int16_t kCodice = kKmhAbbattimento;
// Slowdowns at this speed or above get no periodic code reductions.
constexpr int16_t kVelocitaSenzaPeriodici = kKmhSenzaAbbattimentiPeriodici;
// Cells between two periodic code reductions inside a slowdown.
constexpr int kPasso = kCelleTraAbbattimenti;
// Cells looked back from a warning board, and ahead past a slowdown's end.
constexpr int kIndietroAvviso = 20;
constexpr int kAvantiFine = 12;

class Passo {
 public:
  Passo(Modello& m, Diagnostica& d, Giornale* giornale)
      : m_(m),
        tratti_(m.tratti),
        d_(d),
        giornale_(giornale),
        n_(static_cast<int64_t>(m.tratti.size()) - 1) {}

  void esegui() {
    // The end of the visit is fixed before the first one.
    const int64_t ultimo = n_ - 2;
    for (int64_t i = 1; i <= ultimo; ++i) {
      const uint8_t t = tipo(i);
      causa_ = i;
      if (t != kAvvisoRallentamento && t != kInizioRallentamento) continue;
      // Without a journal, the model carries where what the pass writes
      // comes from: the slowdown's record.
      if (giornale_ == nullptr) m_.osservatore.provenienza.per_conto_di(static_cast<size_t>(i));
      if (t == kAvvisoRallentamento) {
        segnali_prima_dell_avviso(i);
      } else if (t == kInizioRallentamento) {
        inizio_rallentamento(i);
      }
    }
  }

 private:
  // Cells outside the array hold nothing and take nothing.
  bool dentro(int64_t c) const { return c >= 0 && c <= n_; }
  const tratto& at(int64_t c) const { return tratti_[static_cast<size_t>(c)]; }
  uint8_t tipo(int64_t c) { return dentro(c) ? at(c).tipo : uint8_t{kLibero}; }
  bool libera(int64_t c) { return dentro(c) && cella_libera(at(c)); }
  bool abbattimento(int64_t c) { return dentro(c) && at(c).tipo == kAbbattimento; }

  void segna(int64_t c) {
    m_.scrivi_cella(c, CampoCella::tipo, kAbbattimento);
    m_.scrivi_cella(c, CampoCella::valore_a, kCodice);
    deriva(c, Giornale::Derivazione::posta);
  }
  void abbassa(int64_t c) {
    const int16_t prima = at(c).valore_a;
    m_.scrivi_cella(c, CampoCella::valore_a, minimo<int16_t>(kCodice, prima));
    if (at(c).valore_a != prima) deriva(c, Giornale::Derivazione::abbassata);
  }
  void deriva(int64_t c, Giornale::Derivazione come) {
    if (giornale_ != nullptr) {
      giornale_->deriva(static_cast<size_t>(c), static_cast<size_t>(causa_), come);
    }
  }

  void errore(CodiceErrore codice, int64_t cella) {
    const auto c = static_cast<size_t>(causa_);
    const Luogo causa =
        giornale_ != nullptr ? giornale_->cella(c) : m_.osservatore.provenienza.luogo_cella(c);
    d_.errore(codice, causa, static_cast<int32_t>(cella * kMetriCella));
  }

  // Error 11 has the position of the signal, not of the slowdown it is said
  // at: the signal's record is named.
  void nota_segnale(int64_t d) {
    if (giornale_ == nullptr || !d_.avvisi_attivi()) return;
    const Luogo segnale = giornale_->cella(static_cast<size_t>(d));
    if (segnale.file == FileSorgente::nessuno) return;
    d_.annota({"qui il segnale a " + std::to_string(posizione_oggetto(kSegnale, d)) +
                   " m, che non ha ne' una cella libera ne' un abbattimento nelle due celle "
                   "davanti",
               segnale});
  }

  // Marks the first free cell of the list, or records the error.
  void prima_libera(std::initializer_list<int64_t> celle, CodiceErrore codice, int64_t posto) {
    for (int64_t c : celle) {
      if (libera(c)) {
        segna(c);
        return;
      }
    }
    errore(codice, posto);
  }

  // Every signal up to 1000 m behind a warning board gets a code reduction in
  // one of its two front cells, or has an existing one lowered to 180.
  void segnali_prima_dell_avviso(int64_t i) {
    for (int64_t k = 1; k <= kIndietroAvviso; ++k) {
      const int64_t d = i - k;
      if (d < 3) return;
      if (tipo(d) != kSegnale) continue;
      if (libera(d - 1)) {
        segna(d - 1);
      } else if (libera(d - 2)) {
        segna(d - 2);
      } else if (abbattimento(d - 1)) {
        abbassa(d - 1);
      } else if (abbattimento(d - 2)) {
        abbassa(d - 2);
      } else {
        errore(CodiceErrore::segnale_senza_cella_davanti, d);
        nota_segnale(d);
      }
    }
  }

  void inizio_rallentamento(int64_t i) {
    if (i > 7) prima_libera({i - 5, i - 6, i - 7}, CodiceErrore::abbattimento_prima_senza_cella, i);
    if (i > 13)
      prima_libera({i - 11, i - 12, i - 13}, CodiceErrore::abbattimento_prima_senza_cella, i);
    if (i > 20)
      prima_libera({i - 18, i - 19, i - 20}, CodiceErrore::abbattimento_prima_senza_cella, i);
    if (at(i).valore_a >= kVelocitaSenzaPeriodici) return;
    const int64_t fine = periodici(i);
    if (fine >= 0) dopo_la_fine(fine);
  }

  // The first end cell from cell c on, -1 for none. The pass never creates
  // or removes an end cell, so the table is made once, the first time a
  // walk that places nothing more needs it: the walk jumps straight to its
  // end and the pass stays linear. Most routes never need it.
  int64_t prossima_fine(int64_t c) {
    if (prossima_fine_.empty()) {
      prossima_fine_.resize(static_cast<size_t>(n_ + 2));
      int32_t prossima = -1;
      prossima_fine_[static_cast<size_t>(n_ + 1)] = -1;
      for (int64_t k = n_; k >= 0; --k) {
        if (tipo(k) == kFineRallentamento) prossima = static_cast<int32_t>(k);
        prossima_fine_[static_cast<size_t>(k)] = prossima;
      }
    }
    return prossima_fine_[static_cast<size_t>(c)];
  }

  // Walks from the start to the end of the slowdown placing a code reduction
  // every 8 cells, shifted one cell back or forward when the cell is taken.
  // Returns the end cell, or -1 when the walk reaches the last cell without
  // meeting it.
  int64_t periodici(int64_t i) {
    int64_t c = 0;
    int64_t k = i;
    while (k < n_) {
      ++k;
      ++c;
      if (c == kPasso) {
        if (libera(k)) {
          segna(k);
          c = 0;
        } else if (libera(k - 1)) {
          segna(k - 1);
          c = 1;
        } else if (libera(k + 1)) {
          segna(k + 1);
          c = -1;
        } else {
          // The counter only grows from here on: nothing more is placed,
          // so all that is left is to find the end.
          errore(CodiceErrore::abbattimento_dopo_senza_cella, k);
          if (tipo(k) == kFineRallentamento) return k;
          return prossima_fine(k + 1);
        }
      }
      if (tipo(k) == kFineRallentamento) return k;
    }
    return -1;
  }

  // The first signal within 600 m after the end gets a code reduction in one
  // of its two front cells.
  void dopo_la_fine(int64_t k) {
    for (int64_t s = k; s <= k + kAvantiFine && s <= n_; ++s) {
      if (tipo(s) != kSegnale) continue;
      const int64_t p = s - 1;
      if (libera(p)) {
        segna(p);
      } else if (libera(p - 1)) {
        segna(p - 1);
      } else {
        errore(CodiceErrore::abbattimento_dopo_senza_cella, k);
      }
      return;
    }
  }

  Modello& m_;
  const std::vector<tratto>& tratti_;  // read directly; written through m_
  Diagnostica& d_;
  Giornale* giornale_;
  int64_t causa_ = 0;  // the warning board or slowdown start being visited
  const int64_t n_;
  std::vector<int32_t> prossima_fine_;  // cells 0 to n + 1, once needed
};

}  // namespace

void passo_codici(Modello& m, Diagnostica& d, Giornale* giornale) {
  if (m.tratti.empty()) return;
  Passo(m, d, giornale).esegui();
}

}  // namespace calvetra
