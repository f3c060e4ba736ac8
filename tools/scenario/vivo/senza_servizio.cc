// The live page's server in a build without one (CALVETRA_VIVO=OFF: the
// cross-build until its HTTP library builds for Windows). Everything else
// of scenario works; `view --serve` and `lsp --vista` say why they cannot.
#include "scenario/vivo/servizio.h"

namespace calvetra::scenario::vivo {

struct Servizio::Stato {
  uint64_t pubblicati = 0;
};

Servizio::Servizio(OpzioniServizio, Apri) : s_(std::make_unique<Stato>()) {}
Servizio::~Servizio() = default;

bool Servizio::avvia(std::string* errore) {
  *errore = "pagina dal vivo non disponibile: questo scenario e' stato costruito senza";
  return false;
}

void Servizio::ferma() {}

std::string Servizio::indirizzo() const { return ""; }

int Servizio::porta() const { return 0; }

const std::string& Servizio::gettone() const {
  static const std::string nessuno;
  return nessuno;
}

void Servizio::pubblica(const Json&) { ++s_->pubblicati; }

void Servizio::pubblica_fatale(const std::string&) { ++s_->pubblicati; }

uint64_t Servizio::pubblicati() const { return s_->pubblicati; }

}  // namespace calvetra::scenario::vivo
