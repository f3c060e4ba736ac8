#include "scenario/comune/contesto.h"

namespace calvetra::scenario {

bool e_cartella(Piattaforma* disco, const std::string& percorso) {
  // "DIR/." is the directory itself even when DIR is a link to it.
  return disco->genere(percorso) == Piattaforma::Genere::cartella ||
         disco->genere(nella_cartella(percorso, ".")) == Piattaforma::Genere::cartella;
}

}  // namespace calvetra::scenario
