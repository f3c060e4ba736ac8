#include "support/cartella_temporanea.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/casuale.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace calvetra::test {

namespace {

// A name nobody has, made by us alone: create_directory fails on a name
// that exists.
std::string nuova_cartella() {
  for (int tentativo = 0; tentativo < 100; ++tentativo) {
    unsigned char byte[6];
    std::string errore;
    if (!byte_casuali(byte, sizeof byte, &errore)) throw std::runtime_error(errore);
    std::string nome = "calvetra-";
    for (unsigned char b : byte) nome += "0123456789abcdef"[b % 16];
    const std::filesystem::path p = std::filesystem::temp_directory_path() / nome;
    if (std::filesystem::create_directory(p)) return p.generic_string();
  }
  throw std::runtime_error("nessuna cartella temporanea libera");
}

}  // namespace

PiattaformaDiProva::PiattaformaDiProva() : PiattaformaSistema(nuova_cartella()) {}

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
#ifdef _WIN32
  // MinGW's C++ library makes no links: the system's call, which needs no
  // privilege where the developer mode is on.
  const std::wstring da = std::filesystem::path(file(nome)).wstring();
  const std::wstring a = std::filesystem::path(bersaglio).wstring();
  if (!CreateSymbolicLinkW(da.c_str(), a.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
    throw std::runtime_error("CreateSymbolicLinkW: errore " + std::to_string(GetLastError()));
  }
#else
  std::filesystem::create_symlink(bersaglio, file(nome));
#endif
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
