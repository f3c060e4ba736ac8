#include "inizia.h"

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "argomenti.h"
#include "content/righe.h"
#include "content/testi.h"
#include "platform/piattaforma.h"
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

int inizia(const std::string& cartella, const NomiScenario& nomi, std::ostream& out,
           std::ostream& err) {
  std::error_code ec;
  std::filesystem::create_directories(cartella, ec);
  if (!std::filesystem::is_directory(cartella, ec)) {
    err << "scenario: " << cartella << ": impossibile creare la cartella\n";
    return kUscitaFatale;
  }
  PiattaformaPosix p(cartella);
  const std::vector<std::pair<std::string, std::string>> file = {
      {nella_cartella(cartella, nomi.sorgente_linea()), testo_righe(dati_linea())},
      {nella_cartella(cartella, nomi.sorgente_treno()), testo_righe(dati_treno())}};
  bool esistono = false;
  for (const auto& [percorso, testo] : file) {
    if (!p.esiste(percorso)) continue;
    err << "scenario: " << percorso << ": il file esiste gia', non lo sovrascrivo\n";
    esistono = true;
  }
  if (esistono) return kUscitaFatale;
  for (const auto& [percorso, testo] : file) {
    std::string motivo;
    const std::string& t = testo;
    if (!sostituisci_file(
            &p, percorso, [&t](Uscita* u) { u->buffer()->append(t); }, &motivo)) {
      err << "scenario: impossibile scrivere " << percorso << ": " << motivo << "\n";
      return kUscitaFatale;
    }
    out << "scritto " << percorso << "\n";
  }
  return kUscitaPulita;
}

int comando_init(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  NomiScenario nomi;
  Argomenti a(argc, argv);
  std::vector<std::string> posizionali;
  while (!a.finiti()) {
    if (a.opzione("--help") || a.opzione("-h")) {
      out << kAiuto;
      return kUscitaPulita;
    }
    if (a.nome("--linea", &nomi.linea) || a.nome("--treni", &nomi.treni)) continue;
    if (a.errore() || !a.posizionale(&posizionali)) break;
  }
  if (a.errore() || posizionali.size() != 1) {
    err << "scenario init: " << (a.errore() ? a.messaggio() : motivo_cartella(posizionali)) << "\n"
        << "uso: scenario init [--linea NOME] [--treni COPPIA] CARTELLA\n";
    return kUscitaUso;
  }
  return inizia(posizionali[0], nomi, out, err);
}

}  // namespace calvetra::scenario
