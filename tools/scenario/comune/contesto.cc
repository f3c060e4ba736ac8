#include "scenario/comune/contesto.h"

#include <string_view>

namespace calvetra::scenario {

bool colori_voluti(const char* no_color, const char* term, bool terminale) {
  return terminale && (no_color == nullptr || no_color[0] == '\0') &&
         (term == nullptr || std::string_view(term) != "dumb");
}

bool e_cartella(Piattaforma* disco, const std::string& percorso) {
  // "DIR/." is the directory itself even when DIR is a link to it.
  return disco->genere(percorso) == Piattaforma::Genere::cartella ||
         disco->genere(nella_cartella(percorso, ".")) == Piattaforma::Genere::cartella;
}

bool cartella_da_leggere(const Contesto& c, const std::string& percorso) {
  if (e_cartella(c.disco, percorso)) return true;
  if (c.disco->genere(percorso) == Piattaforma::Genere::file) {
    const size_t barra = percorso.rfind('/');
    const std::string sopra =
        barra == std::string::npos ? "." : (barra == 0 ? "/" : percorso.substr(0, barra));
    c.err << "scenario: " << percorso << ": e' un file, non una cartella: dai la cartella che "
          << "contiene i sorgenti (" << sopra << ")\n";
  } else {
    c.err << "scenario: " << percorso << ": la cartella non esiste\n";
  }
  return false;
}

}  // namespace calvetra::scenario
