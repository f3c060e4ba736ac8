#include "support/cartella_temporanea.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace calvetra::test {

namespace {

std::string nuova_cartella() {
  std::string modello = (std::filesystem::temp_directory_path() / "calvetra-XXXXXX").string();
  if (::mkdtemp(modello.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return modello;
}

}  // namespace

PiattaformaDiProva::PiattaformaDiProva() : PiattaformaPosix(nuova_cartella()) {}

PiattaformaDiProva::~PiattaformaDiProva() {
  std::error_code ec;
  std::filesystem::remove_all(cartella(), ec);
}

std::string PiattaformaDiProva::file(const std::string& nome) const {
  return cartella() + "/" + nome;
}

std::string PiattaformaDiProva::leggi_file(const std::string& nome) const {
  std::ifstream in(file(nome), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool PiattaformaDiProva::c_e(const std::string& nome) const {
  return std::filesystem::exists(file(nome));
}

void PiattaformaDiProva::scrivi_file(const std::string& nome, std::string_view contenuto) const {
  std::ofstream out(file(nome), std::ios::binary | std::ios::trunc);
  out.write(contenuto.data(), static_cast<std::streamsize>(contenuto.size()));
}

void PiattaformaDiProva::collega(const std::string& nome, const std::string& bersaglio) const {
  std::filesystem::create_symlink(bersaglio, file(nome));
}

bool PiattaformaDiProva::regolare(const std::string& nome) const {
  std::error_code ec;
  return std::filesystem::symlink_status(file(nome), ec).type() ==
         std::filesystem::file_type::regular;
}

std::set<std::string> PiattaformaDiProva::elenco() const {
  std::set<std::string> nomi;
  for (const auto& e : std::filesystem::directory_iterator(cartella())) {
    nomi.insert(e.path().filename().string());
  }
  return nomi;
}

}  // namespace calvetra::test
