#include "scenario/comandi/init.h"

#include <utility>
#include <vector>

#include "content/righe.h"
#include "content/testi.h"
#include "platform/sostituzione.h"

namespace calvetra::scenario {

namespace {

constexpr const char* kAiuto =
    "uso: scenario init [--linea NOME] [--treni COPPIA] CARTELLA\n"
    "\n"
    "Scrive nella CARTELLA (creata se manca) i sorgenti NOME_linea.txt e\n"
    "NOME_COPPIA-.txt della linea Calvetra, gli stessi che scrive calvetra, come\n"
    "punto di partenza per un nuovo scenario. Non sovrascrive mai: se uno dei\n"
    "due file esiste gia' non scrive niente.\n"
    "\n"
    "Uscita: 0 file scritti, 1 file gia' esistenti o non scrivibili, 2 uso errato.\n";

}  // namespace

int inizia(const Contesto& c, const std::string& cartella, const NomiScenario& nomi) {
  std::string motivo;
  if (!c.disco->crea_cartella(cartella, &motivo) || !e_cartella(c.disco, cartella)) {
    c.err << "scenario: " << cartella << ": impossibile creare la cartella\n";
    return kUscitaFatale;
  }
  const std::vector<std::pair<std::string, std::string>> file = {
      {nella_cartella(cartella, nomi.sorgente_linea()), testo_righe(dati_linea())},
      {nella_cartella(cartella, nomi.sorgente_treno()), testo_righe(dati_treno())}};
  bool esistono = false;
  for (const auto& [percorso, testo] : file) {
    // Anything standing at the name, a link or a directory too, is kept.
    if (c.disco->genere(percorso) == Piattaforma::Genere::assente) continue;
    c.err << "scenario: " << percorso << ": il file esiste gia', non lo sovrascrivo\n";
    esistono = true;
  }
  if (esistono) return kUscitaFatale;
  for (const auto& [percorso, testo] : file) {
    const std::string& t = testo;
    if (!sostituisci_file(
            c.disco, percorso, [&t](Uscita* u) { u->buffer()->append(t); }, &motivo)) {
      c.err << "scenario: impossibile scrivere " << percorso << ": " << motivo << "\n";
      return kUscitaFatale;
    }
    c.out << "scritto " << percorso << "\n";
  }
  return kUscitaPulita;
}

int comando_init(const Contesto& c, const Argomenti& a) {
  NomiScenario nomi;
  std::string cartella;
  Sintassi s("init", kAiuto);
  s.nomi_scenario(&nomi).cartella(&cartella);
  if (const std::optional<int> fine = s.leggi(a, c.out, c.err)) return *fine;
  return inizia(c, cartella, nomi);
}

}  // namespace calvetra::scenario
