#include "platform/piattaforma_memoria.h"

namespace calvetra {

bool PiattaformaMemoria::leggi(const std::string& percorso, std::string* contenuto,
                               std::string* errore) {
  const auto it = file.find(percorso);
  if (it == file.end()) {
    *errore = "file inesistente";
    return false;
  }
  *contenuto = it->second;
  return true;
}

bool PiattaformaMemoria::elimina(const std::string& percorso, std::string* errore) {
  if (file.erase(percorso) == 0) {
    *errore = "file inesistente";
    return false;
  }
  return true;
}

bool PiattaformaMemoria::crea_temporaneo(const std::string& percorso, int* handle,
                                         std::string* temporaneo, std::string*) {
  std::string nome;
  do {
    nome = nome_temporaneo(percorso, std::to_string(++temporanei_));
  } while (file.count(nome) != 0);
  file.emplace(nome, std::string());
  aperti_.push_back(nome);
  *temporaneo = nome;
  *handle = static_cast<int>(aperti_.size()) - 1;
  return true;
}

std::string* PiattaformaMemoria::aperto(int handle, std::string* errore) {
  if (handle < 0 || static_cast<size_t>(handle) >= aperti_.size() ||
      aperti_[static_cast<size_t>(handle)].empty()) {
    *errore = "file non aperto";
    return nullptr;
  }
  return &file[aperti_[static_cast<size_t>(handle)]];
}

bool PiattaformaMemoria::scrivi(int handle, std::string_view dati, std::string* errore) {
  std::string* contenuto = aperto(handle, errore);
  if (contenuto == nullptr) return false;
  contenuto->append(dati);
  return true;
}

bool PiattaformaMemoria::consegna(int handle, std::string* dati, std::string* errore) {
  std::string* contenuto = aperto(handle, errore);
  if (contenuto == nullptr) return false;
  if (contenuto->empty()) {
    contenuto->swap(*dati);
  } else {
    contenuto->append(*dati);
  }
  return true;
}

bool PiattaformaMemoria::chiudi(int handle, std::string* errore) {
  if (aperto(handle, errore) == nullptr) return false;
  aperti_[static_cast<size_t>(handle)].clear();
  return true;
}

bool PiattaformaMemoria::rinomina(const std::string& da, const std::string& a,
                                  std::string* errore) {
  const auto it = file.find(da);
  if (it == file.end()) {
    *errore = "file inesistente";
    return false;
  }
  std::string contenuto = std::move(it->second);
  file.erase(it);
  file[a] = std::move(contenuto);
  return true;
}

}  // namespace calvetra
