#include "scenario/comandi/plot.h"

#include <string>

#include "model/costanti.h"
#include "output/lettura.h"
#include "scenario/comune/documento.h"
#include "scenario/disegno/tavola.h"

namespace calvetra::scenario {

namespace {

constexpr const char* kAiuto =
    "uso: scenario plot [--linea NOME] [--treni COPPIA] CARTELLA -o FILE.svg\n"
    "\n"
    "Disegna il percorso dai file binari della CARTELLA in un SVG autonomo:\n"
    "la pianta dal file della geometria, con stazioni, segnali e rallentamenti,\n"
    "e sotto il profilo lungo il percorso, cella per cella: stazioni e segnali,\n"
    "velocita' massima e rallentamenti, pendenza, tratti di montagna, con l'asse\n"
    "dei chilometri. Con -o - l'SVG va sull'uscita standard.\n"
    "\n"
    "Uscita: 0 disegno scritto, 1 file mancante o non valido o SVG non\n"
    "scrivibile, 2 uso errato.\n";

}  // namespace

int comando_plot(const Contesto& c, const Argomenti& a) {
  NomiScenario nomi;
  std::string cartella, uscita;
  Sintassi s("plot", kAiuto);
  s.nomi_scenario(&nomi).cartella(&cartella);
  s.valore("-o", "FILE.svg", &uscita).alias("--output").obbligatoria();
  if (const std::optional<int> fine = s.leggi(a, c.out, c.err)) return *fine;
  ScenarioLetto letto;
  const StatoLettura stato = leggi_scenario(c.disco, cartella, nomi, &letto);
  if (!stato.ok()) {
    c.err << "scenario: " << stato.messaggio() << "\n";
    return kUscitaFatale;
  }
  return scrivi_documento(c, uscita, disegno::disegna(letto));
}

}  // namespace calvetra::scenario
