// Test helper: the line phase over a route made of a given line body.
#ifndef CALVETRA_TESTS_LINE_PROVA_LINEA_H_
#define CALVETRA_TESTS_LINE_PROVA_LINEA_H_

#include <cstdint>
#include <string>

#include "line/fase_linea.h"

namespace calvetra::test {

struct ProvaLinea {
  Modello m;
  Diagnostica d;
  FineFase fine = FineFase::completa;

  // Reads a route of L metres whose body is `corpo_linea`.
  void compila(const std::string& corpo_linea, int32_t L = 10000, bool con_geometria = true) {
    testo_ = "[generale]\r\nlunghezza percorso,  " + std::to_string(L) + "\r\n[curve]\r\n" +
             corpo_linea + "[fine]\r\n";
    m = Modello{};
    d = Diagnostica{};
    const EsitoLinea esito = fase_linea(Sorgente::di(testo_), {}, con_geometria, {m, d});
    fine = esito.fine;
  }
  tratto& c(int64_t i) { return m.tratti.at(static_cast<size_t>(i)); }

 private:
  std::string testo_;
};

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_LINE_PROVA_LINEA_H_
