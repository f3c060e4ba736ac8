// Test support for the train phase: a model with the cells of a 115000 m
// route already made, so that the train source can be read on its own,
// whatever the line phase does.
#ifndef CALVETRA_TESTS_TRAIN_TRENO_DI_PROVA_H_
#define CALVETRA_TESTS_TRAIN_TRENO_DI_PROVA_H_

#include <cstdint>
#include <string>

#include "compile/compilazione.h"
#include "train/fase_treno.h"
#include "train/voci_treno.h"

namespace calvetra::test {

// The last cell of a 115000 m route: (115000 + 7000) / 50.
inline constexpr int32_t kUltimaCella = 2440;

// A line source with nothing but the route length.
inline constexpr char kLineaMinima[] =
    "[generale]\r\nlunghezza percorso, 115000\r\n[curve]\r\n[fine]\r\n";

struct TrenoDiProva {
  explicit TrenoDiProva(int32_t ultima = kUltimaCella) {
    m.tratti.assign(static_cast<size_t>(ultima) + 1, tratto{});
  }

  // Reads the train source "[generale]", the entries, "[fine]".
  FineFase leggi(const std::string& voci) {
    return leggi_sorgente("[generale]\r\n" + voci + "[fine]\r\n");
  }
  // Reads a train source of exactly this text.
  FineFase leggi_sorgente(const std::string& testo) {
    testo_ = testo;
    fine = fase_treno(Sorgente::di(testo_), riga_cartello, {m, d});
    return fine;
  }

  // The whole compile over the minimal line source; the model and the
  // diagnostics become the compile's. Returns the run's exit status.
  int compila(const std::string& testo_treno) {
    Compilazione c = compila_testi(kLineaMinima, testo_treno, false);
    const int stato = stato_uscita(c);
    consumate = c.consumate;
    m = std::move(c.modello);
    d = std::move(c.diagnostica);
    return stato;
  }

  tratto& c(int64_t i) { return m.tratti.at(static_cast<size_t>(i)); }

  Modello m;
  Diagnostica d;
  int32_t riga_cartello = kUltimaRigaCartello;
  FineFase fine = FineFase::completa;
  SorgentiConsumate consumate;  // after compila

 private:
  std::string testo_;
};

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_TRAIN_TRENO_DI_PROVA_H_
