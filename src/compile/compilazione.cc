#include "compile/compilazione.h"

#include "compile/intestazione.h"
#include "compile/passo_codici.h"

namespace calvetra {

Compilazione compila(const Sorgente& linea, const Sorgente& treno, const NomiScenario& nomi,
                     int32_t con_geometria, bool con_provenienze, ModoAvvisi avvisi) {
  Compilazione c;
  c.diagnostica.imposta(avvisi);
  c.consumate = memorizza_dati(linea, treno, nomi, con_geometria, c.modello, c.diagnostica,
                               con_provenienze ? &c.provenienze : nullptr);
  // The header slots live in cell 1: without it there is nothing to finish.
  if (c.modello.tratti.size() <= kCellaIntestazione) {
    c.fine =
        c.modello.tratti.empty() ? FineCompilazione::senza_celle : FineCompilazione::poche_celle;
    return c;
  }
  passo_codici(c.modello.tratti, c.diagnostica);
  c.errore_fatale = finalizza_intestazione(c.modello);
  if (c.errore_fatale != 0) c.fine = FineCompilazione::fatale;
  return c;
}

int stato_uscita(const Compilazione& c) {
  if (c.fine != FineCompilazione::pronta) return kUscitaFatale;
  return c.codice_errore() != 0 ? kUscitaConErrore : kUscitaPulita;
}

Compilazione compila_testi(std::string_view linea, std::string_view treno, int32_t con_geometria,
                           const NomiScenario& nomi) {
  return compila(Sorgente::di(linea), Sorgente::di(treno), nomi, con_geometria);
}

}  // namespace calvetra
