#include "scenario/comune/documento.h"

#include "model/costanti.h"
#include "platform/sostituzione.h"

namespace calvetra::scenario {

int scrivi_documento(const Contesto& c, const std::string& uscita, const std::string& testo) {
  if (uscita == "-") {
    c.out << testo;
    return kUscitaPulita;
  }
  // A regular file is replaced whole, so a failed write leaves the old
  // document. Anything else (a device, a pipe, a link) is written through:
  // replacing it would put a plain file where it stood.
  const Piattaforma::Genere g = c.disco->genere(uscita);
  std::string motivo;
  const bool scritto =
      g == Piattaforma::Genere::assente || g == Piattaforma::Genere::file
          ? sostituisci_file(
                c.disco, uscita, [&](Uscita* u) { u->buffer()->append(testo); }, &motivo)
          : c.disco->scrivi_attraverso(uscita, testo, &motivo);
  if (!scritto) {
    c.err << "scenario: " << uscita << ": impossibile scrivere: " << motivo << "\n";
    return kUscitaFatale;
  }
  return kUscitaPulita;
}

}  // namespace calvetra::scenario
