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

bool PiattaformaMemoria::conserva(const std::string& percorso, std::string* copia,
                                  std::string* errore) {
  const auto it = file.find(percorso);
  if (it == file.end()) {
    *errore = "file inesistente";
    return false;
  }
  std::string nome;
  do {
    nome = nome_temporaneo(percorso, std::to_string(++temporanei_));
  } while (file.count(nome) != 0);
  file.emplace(nome, it->second);
  *copia = nome;
  return true;
}

namespace {

// The directory part of a path: everything before its last '/'.
std::string sopra(const std::string& percorso) {
  const size_t barra = percorso.rfind('/');
  return barra == std::string::npos ? std::string() : percorso.substr(0, barra);
}

std::string senza_barra_finale(std::string percorso) {
  while (percorso.size() > 1 && percorso.back() == '/') percorso.pop_back();
  return percorso;
}

}  // namespace

Piattaforma::Genere PiattaformaMemoria::genere(const std::string& percorso) {
  const std::string p = senza_barra_finale(percorso);
  if (file.count(p) != 0) return Genere::file;
  if (p == cartella_ || cartelle.count(p) != 0) return Genere::cartella;
  for (const auto& [nome, contenuto] : file) {
    if (nome.size() > p.size() && nome.compare(0, p.size(), p) == 0 && nome[p.size()] == '/') {
      return Genere::cartella;
    }
  }
  return Genere::assente;
}

bool PiattaformaMemoria::crea_cartella(const std::string& percorso, std::string* errore) {
  for (std::string p = senza_barra_finale(percorso); !p.empty(); p = sopra(p)) {
    if (file.count(p) != 0) {
      *errore = p + " e' un file";
      return false;
    }
    cartelle.insert(p);
  }
  return true;
}

std::vector<std::string> PiattaformaMemoria::elenco(const std::string& cartella) {
  const std::string p = senza_barra_finale(cartella);
  std::vector<std::string> nomi;
  for (const auto& [nome, contenuto] : file) {
    if (sopra(nome) == p) nomi.push_back(nome.substr(p.size() + 1));
  }
  return nomi;
}

bool PiattaformaMemoria::scrivi_attraverso(const std::string& percorso, std::string_view dati,
                                           std::string*) {
  file[percorso] = std::string(dati);
  return true;
}

}  // namespace calvetra
