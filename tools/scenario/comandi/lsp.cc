#include "scenario/comandi/lsp.h"

#include "scenario/lsp/server.h"

namespace calvetra::scenario {

namespace {

constexpr const char* kAiuto =
    "uso: scenario lsp [--linea NOME] [--treni COPPIA] [--vista]\n"
    "\n"
    "Un server del Language Server Protocol su stdin e stdout, per l'editor di\n"
    "chi scrive uno scenario: i due sorgenti di una cartella sono controllati\n"
    "insieme, dallo stesso compilatore di check, a ogni modifica. Errori e\n"
    "avvisi appaiono al loro posto, con le note; sopra un record l'editor mostra\n"
    "cio' che memorizza e il campo sotto il cursore; completa le parole chiave,\n"
    "nomina il campo che si scrive, elenca sezioni, stazioni, segnali,\n"
    "rallentamenti, curve e montagne, e applica le correzioni che un avviso\n"
    "conosce. Non scrive mai nessun file.\n"
    "\n"
    "La cartella dello scenario e' initializationOptions.cartella, altrimenti la\n"
    "radice che l'editor indica, altrimenti quella del primo sorgente aperto; i\n"
    "nomi sono --linea e --treni, o initializationOptions.linea e .treni.\n"
    "\n"
    "  --linea NOME        nome della linea (predefinito \"Calvetra\")\n"
    "  --treni COPPIA      coppia di treni (predefinita \"2718 - 5340\")\n"
    "  --vista             serve anche la pagina dal vivo del percorso, come\n"
    "                      view --serve ma dal testo dell'editor, salvato o no\n"
    "                      (o initializationOptions.vista); il comando\n"
    "                      scenario.vista ne da' l'indirizzo, e un clic su un\n"
    "                      record nella pagina lo apre nell'editor\n"
    "\n"
    "Uscita: 0 dopo shutdown ed exit, 1 per exit senza shutdown, fine\n"
    "dell'ingresso o un'intestazione illeggibile, 2 uso errato.\n";

}  // namespace

int comando_lsp(const Contesto& c, const Argomenti& a) {
  lsp::OpzioniServer o;
  Sintassi s("lsp", kAiuto);
  s.nomi_scenario(&o.nomi);
  s.bandiera("--vista", &o.vista);
  if (const std::optional<int> fine = s.leggi(a, c.out, c.err)) return *fine;
  o.nomi_dati = o.nomi.linea != NomiScenario{}.linea || o.nomi.treni != NomiScenario{}.treni;
  if (c.in == nullptr) {
    c.err << "scenario lsp: nessun ingresso\n";
    return kUscitaFatale;
  }
  return lsp::servi(*c.in, c.out, c.err, c.disco, o);
}

}  // namespace calvetra::scenario
