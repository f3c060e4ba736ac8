#include "documento.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "argomenti.h"
#include "model/costanti.h"
#include "platform/piattaforma.h"
#include "platform/sostituzione.h"

namespace calvetra::scenario {

int argomenti_documento(const char* comando, const char* estensione, const char* aiuto, int argc,
                        const char* const* argv, std::ostream& out, std::ostream& err,
                        OpzioniDocumento* o) {
  Argomenti a(argc, argv);
  std::vector<std::string> posizionali;
  while (!a.finiti()) {
    if (a.opzione("--help") || a.opzione("-h")) {
      out << aiuto;
      return kUscitaPulita;
    }
    if (a.nome("--linea", &o->nomi.linea) || a.nome("--treni", &o->nomi.treni) ||
        a.valore("-o", &o->uscita) || a.valore("--output", &o->uscita)) {
      continue;
    }
    if (a.errore() || !a.posizionale(&posizionali)) break;
  }
  if (a.errore() || posizionali.size() != 1 || o->uscita.empty()) {
    const std::string file = std::string("FILE.") + estensione;
    err << "scenario " << comando << ": "
        << (a.errore()                ? a.messaggio()
            : posizionali.size() != 1 ? motivo_cartella(posizionali)
                                      : "serve -o " + file)
        << "\n"
        << "uso: scenario " << comando << " [--linea NOME] [--treni COPPIA] CARTELLA -o " << file
        << "\n";
    return kUscitaUso;
  }
  o->cartella = posizionali[0];
  return -1;
}

int scrivi_documento(const std::string& uscita, const std::string& testo, std::ostream& out,
                     std::ostream& err) {
  if (uscita == "-") {
    out << testo;
    return kUscitaPulita;
  }
  // A regular file is replaced whole, so a failed write leaves the old
  // document. Anything else (a device, a pipe, a link) is written through:
  // replacing it would put a plain file where it stood.
  std::error_code ec;
  const auto stato = std::filesystem::symlink_status(uscita, ec);
  const bool sostituibile = ec || stato.type() == std::filesystem::file_type::not_found ||
                            stato.type() == std::filesystem::file_type::regular;
  std::string motivo;
  bool scritto = false;
  if (sostituibile) {
    PiattaformaPosix fs(".");
    scritto = sostituisci_file(
        &fs, uscita, [&](Uscita* u) { u->buffer()->append(testo); }, &motivo);
  } else {
    std::ofstream file(uscita, std::ios::binary);
    file.write(testo.data(), static_cast<std::streamsize>(testo.size()));
    file.close();
    scritto = static_cast<bool>(file);
    if (!scritto) motivo = "scrittura fallita";
  }
  if (!scritto) {
    err << "scenario: " << uscita << ": impossibile scrivere: " << motivo << "\n";
    return kUscitaFatale;
  }
  return kUscitaPulita;
}

}  // namespace calvetra::scenario
