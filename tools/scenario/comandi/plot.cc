#include "scenario/comandi/plot.h"

#include <string>

#include "compile/compilazione.h"
#include "model/costanti.h"
#include "model/significato.h"
#include "output/file_geometria.h"
#include "output/lettura.h"
#include "scenario/comune/compilato.h"
#include "scenario/comune/documento.h"
#include "scenario/comune/sorgenti.h"
#include "scenario/disegno/tavola.h"

namespace calvetra::scenario {

namespace {

constexpr const char* kAiuto =
    "uso: scenario plot [--linea NOME] [--treni COPPIA] CARTELLA -o FILE.svg\n"
    "\n"
    "Disegna il percorso della CARTELLA in un SVG autonomo, compilato in memoria\n"
    "dai sorgenti quando ci sono (nessun file binario scritto), altrimenti letto\n"
    "dai file binari:\n"
    "la pianta dal file della geometria, con stazioni, segnali e rallentamenti,\n"
    "e sotto il profilo lungo il percorso, cella per cella: stazioni e segnali,\n"
    "velocita' massima e rallentamenti, pendenza, tratti di montagna, con l'asse\n"
    "dei chilometri. Con -o - l'SVG va sull'uscita standard.\n"
    "\n"
    "Uscita: 0 disegno scritto, 1 file mancante o non valido, nessuna cella o SVG non\n"
    "scrivibile, 2 uso errato.\n";

// The scenario compiled from the sources in memory, as the files would hold
// it; false with a message on `c.err` when there is nothing to draw.
bool da_sorgenti(const Contesto& c, SorgentiAutore sorgenti, const NomiScenario& nomi,
                 ScenarioLetto* letto) {
  // The drawing shows no diagnostic: no fix is worth a compile.
  const Compilato compilato = ScenarioCompilato::compila(
      std::move(sorgenti), nomi, {.con_geometria = true, .verifica_correzioni = false});
  const Compilazione& comp = compilato->compilazione();
  if (comp.fine == FineCompilazione::rifiutata) {
    const SorgenteAutore* s = compilato->sorgenti().di(comp.diagnostica.voci().front().luogo.file);
    c.err << "scenario: " << s->percorso << ":1: " << kUtf16 << "\n";
    return false;
  }
  if (comp.modello.tratti.size() <= kCellaIntestazione) {
    c.err << "scenario: nessuna cella creata, niente da disegnare\n";
    return false;
  }
  letto->tabella = comp.modello.tabella;
  letto->tratti = comp.modello.tratti;
  const Geometria& g = comp.modello.geometria;
  if (g.esiste()) {
    // The plan goes through its own codec, so the drawing reads it as from the file.
    const std::string dati = codifica_geometria(g);
    PianoLetto piano;
    if (leggi_geometria(dati, Intestazione(letto->tabella).lunghezza_percorso(), &piano).ok()) {
      letto->geometria = std::move(piano);
    }
  }
  return true;
}

}  // namespace

int comando_plot(const Contesto& c, const Argomenti& a) {
  NomiScenario nomi;
  std::string cartella, uscita;
  Sintassi s("plot", kAiuto);
  s.nomi_scenario(&nomi).cartella(&cartella);
  s.valore("-o", "FILE.svg", &uscita).alias("--output").obbligatoria();
  if (const std::optional<int> fine = s.leggi(a, c.out, c.err)) return *fine;
  if (!cartella_da_leggere(c, cartella)) return kUscitaFatale;
  SorgentiAutore sorgenti;
  std::string errore;
  if (!leggi_sorgenti(c.disco, cartella, nomi, &sorgenti, &errore)) {
    c.err << "scenario: " << errore << "\n";
    return kUscitaFatale;
  }
  ScenarioLetto letto;
  if (sorgenti.qualcuna()) {
    if (!da_sorgenti(c, std::move(sorgenti), nomi, &letto)) return kUscitaFatale;
  } else {
    const StatoLettura stato = leggi_scenario(c.disco, cartella, nomi, &letto);
    if (!stato.ok()) {
      c.err << "scenario: " << stato.messaggio() << "\n";
      return kUscitaFatale;
    }
  }
  return scrivi_documento(c, uscita, disegno::disegna(letto));
}

}  // namespace calvetra::scenario
