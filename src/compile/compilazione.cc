#include "compile/compilazione.h"

#include "compile/intestazione.h"
#include "compile/passo_codici.h"

namespace calvetra {

const char* nome_fine(FineCompilazione f) {
  switch (f) {
    case FineCompilazione::pronta: return "pronta";
    case FineCompilazione::senza_celle: return "senza_celle";
    case FineCompilazione::poche_celle: return "poche_celle";
    case FineCompilazione::fatale: return "fatale";
  }
  return "";
}

Compilazione compila(const Sorgente& linea, const Sorgente& treno, const NomiScenario& nomi,
                     const OpzioniCompilazione& opzioni) {
  Compilazione c;
  c.diagnostica.imposta(opzioni.avvisi);
  if (!opzioni.coordinate) c.modello.geometria.senza_coordinate();
  c.consumate = memorizza_dati(
      linea, treno, nomi, opzioni.con_geometria,
      {c.modello, c.diagnostica, opzioni.con_provenienze ? &c.provenienze : nullptr});
  // The header slots live in cell 1: without it there is nothing to finish.
  if (c.modello.tratti.size() <= kCellaIntestazione) {
    c.fine =
        c.modello.tratti.empty() ? FineCompilazione::senza_celle : FineCompilazione::poche_celle;
    return c;
  }
  passo_codici(c.modello.tratti, c.diagnostica, opzioni.con_provenienze ? &c.provenienze : nullptr);
  c.errore_fatale = finalizza_intestazione(c.modello);
  if (c.errore_fatale != CodiceErrore::nessuno) c.fine = FineCompilazione::fatale;
  return c;
}

int stato_uscita(const Compilazione& c) {
  if (!c.scrive_file()) return kUscitaFatale;
  return c.diagnostica.con_errore() ? kUscitaConErrore : kUscitaPulita;
}

const char* senza_file(FineCompilazione f) {
  switch (f) {
    case FineCompilazione::senza_celle: return "nessuna cella creata";
    case FineCompilazione::poche_celle: return "troppo poche celle";
    case FineCompilazione::fatale:
    case FineCompilazione::pronta: break;
  }
  return nullptr;
}

Compilazione compila_testi(std::string_view linea, std::string_view treno, bool con_geometria,
                           const NomiScenario& nomi) {
  OpzioniCompilazione o;
  o.con_geometria = con_geometria;
  return compila(Sorgente::di(linea), Sorgente::di(treno), nomi, o);
}

}  // namespace calvetra
