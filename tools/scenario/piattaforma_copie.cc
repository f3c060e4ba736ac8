#include "piattaforma_copie.h"

#include <filesystem>

namespace calvetra::scenario {

namespace {

std::string normale(const std::string& percorso) {
  return std::filesystem::path(percorso).lexically_normal().string();
}

constexpr const char* kRifiuto = "i file sorgente dell'autore non si toccano";

}  // namespace

PiattaformaCopie::PiattaformaCopie(Piattaforma* vera, std::map<std::string, std::string> sorgenti,
                                   std::vector<std::string> protetti)
    : vera_(vera) {
  for (auto& [percorso, testo] : sorgenti) sorgenti_[normale(percorso)] = std::move(testo);
  for (const std::string& p : protetti) protetti_.push_back(normale(p));
}

bool PiattaformaCopie::protetto(const std::string& percorso) const {
  const std::string p = normale(percorso);
  for (const std::string& q : protetti_) {
    if (p == q) return true;
  }
  return false;
}

bool PiattaformaCopie::esiste(const std::string& percorso) {
  if (protetto(percorso)) return sorgenti_.count(normale(percorso)) != 0;
  return vera_->esiste(percorso);
}

bool PiattaformaCopie::leggi(const std::string& percorso, std::string* contenuto,
                             std::string* errore) {
  if (protetto(percorso)) {
    const auto it = sorgenti_.find(normale(percorso));
    if (it == sorgenti_.end()) {
      *errore = "file inesistente";
      return false;
    }
    *contenuto = it->second;
    return true;
  }
  return vera_->leggi(percorso, contenuto, errore);
}

bool PiattaformaCopie::elimina(const std::string& percorso, std::string* errore) {
  if (protetto(percorso)) {
    if (sorgenti_.erase(normale(percorso)) == 0) {
      *errore = "file inesistente";
      return false;
    }
    return true;
  }
  return vera_->elimina(percorso, errore);
}

bool PiattaformaCopie::crea_temporaneo(const std::string& percorso, int* handle,
                                       std::string* temporaneo, std::string* errore) {
  // A temporary file meant to replace a source is refused before it exists.
  if (protetto(percorso)) {
    *errore = kRifiuto;
    return false;
  }
  return vera_->crea_temporaneo(percorso, handle, temporaneo, errore);
}

bool PiattaformaCopie::scrivi(int handle, std::string_view dati, std::string* errore) {
  return vera_->scrivi(handle, dati, errore);
}

bool PiattaformaCopie::chiudi(int handle, std::string* errore) {
  return vera_->chiudi(handle, errore);
}

bool PiattaformaCopie::rinomina(const std::string& da, const std::string& a, std::string* errore) {
  if (protetto(da) || protetto(a)) {
    *errore = kRifiuto;
    return false;
  }
  return vera_->rinomina(da, a, errore);
}

}  // namespace calvetra::scenario
