#include "platform/sostituzione.h"

namespace calvetra {

void Uscita::svuota() {
  if (!fallita_ && !buffer_.empty()) {
    if (!piattaforma_->scrivi(handle_, buffer_, &errore_)) fallita_ = true;
  }
  buffer_.clear();
}

std::string nome_temporaneo(const std::string& percorso) {
  const size_t barra = percorso.rfind('/');
  const size_t inizio = barra == std::string::npos ? 0 : barra + 1;
  return percorso.substr(0, inizio) + "." + percorso.substr(inizio) + ".nuovo";
}

bool sostituisci_file(Piattaforma* piattaforma, const std::string& percorso,
                      const std::function<void(Uscita*)>& produci, std::string* errore) {
  const std::string temporaneo = nome_temporaneo(percorso);
  int handle = -1;
  if (!piattaforma->crea(temporaneo, &handle, errore)) return false;
  Uscita uscita(piattaforma, handle);
  produci(&uscita);
  uscita.svuota();
  std::string scarto;
  if (uscita.fallita()) {
    *errore = uscita.errore();
    piattaforma->chiudi(handle, &scarto);
    piattaforma->elimina(temporaneo, &scarto);
    return false;
  }
  if (!piattaforma->chiudi(handle, errore)) {
    piattaforma->elimina(temporaneo, &scarto);
    return false;
  }
  if (!piattaforma->rinomina(temporaneo, percorso, errore)) {
    piattaforma->elimina(temporaneo, &scarto);
    return false;
  }
  return true;
}

}  // namespace calvetra
