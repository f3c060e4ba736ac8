#include "platform/sostituzione.h"

#include <utility>

namespace calvetra {

void Uscita::svuota() {
  if (!fallita_ && !buffer_.empty()) {
    if (!piattaforma_->consegna(handle_, &buffer_, &errore_)) fallita_ = true;
  }
  buffer_.clear();
}

namespace {

// The temporary file of one replacement. Unless it has been renamed into
// place, it is closed (if still open) and deleted on the way out, however the
// replacement ends.
class Temporaneo {
 public:
  Temporaneo(Piattaforma* piattaforma, int handle, std::string percorso)
      : piattaforma_(piattaforma), handle_(handle), percorso_(std::move(percorso)) {}
  Temporaneo(const Temporaneo&) = delete;
  Temporaneo& operator=(const Temporaneo&) = delete;
  ~Temporaneo() {
    std::string scarto;
    if (aperto_) piattaforma_->chiudi(handle_, &scarto);
    if (!rinominato_) piattaforma_->elimina(percorso_, &scarto);
  }

  // A failed close still releases the handle: it is not closed again.
  bool chiudi(std::string* errore) {
    aperto_ = false;
    return piattaforma_->chiudi(handle_, errore);
  }
  bool rinomina(const std::string& a, std::string* errore) {
    rinominato_ = piattaforma_->rinomina(percorso_, a, errore);
    return rinominato_;
  }

 private:
  Piattaforma* piattaforma_;
  int handle_;
  std::string percorso_;
  bool aperto_ = true;
  bool rinominato_ = false;
};

}  // namespace

bool sostituisci_file(Piattaforma* piattaforma, const std::string& percorso,
                      const std::function<void(Uscita*)>& produci, std::string* errore) {
  int handle = -1;
  std::string nome;
  if (!piattaforma->crea_temporaneo(percorso, &handle, &nome, errore)) return false;
  Temporaneo temporaneo(piattaforma, handle, std::move(nome));
  Uscita uscita(piattaforma, handle);
  produci(&uscita);
  uscita.svuota();
  if (uscita.fallita()) {
    *errore = uscita.errore();
    return false;
  }
  return temporaneo.chiudi(errore) && temporaneo.rinomina(percorso, errore);
}

}  // namespace calvetra
