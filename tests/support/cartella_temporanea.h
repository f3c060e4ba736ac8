// Test support: a fresh temporary directory with the system's platform pointed at
// it, and small helpers to read and list what a run leaves there.
#ifndef CALVETRA_TESTS_SUPPORT_CARTELLA_TEMPORANEA_H_
#define CALVETRA_TESTS_SUPPORT_CARTELLA_TEMPORANEA_H_

#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sistema.h"

namespace calvetra::test {

// A platform over a new temporary directory; messages are collected instead
// of printed. The directory is removed with the object.
class PiattaformaDiProva : public PiattaformaSistema {
 public:
  PiattaformaDiProva();
  ~PiattaformaDiProva() override;

  void avviso_attesa(std::string_view testo) override { avvisi.emplace_back(testo); }
  void rapporto_fatale(std::string_view messaggio) override { fatali.emplace_back(messaggio); }
  void rapporto(std::string_view riga) override { rapporti.emplace_back(riga); }

  std::string file(const std::string& nome) const;        // path in the directory
  std::string leggi_file(const std::string& nome) const;  // whole content, "" if missing
  bool c_e(const std::string& nome) const;
  void scrivi_file(const std::string& nome, std::string_view contenuto) const;
  // A symbolic link `nome` in the directory pointing at `bersaglio`.
  void collega(const std::string& nome, const std::string& bersaglio) const;
  bool regolare(const std::string& nome) const;  // a regular file itself, not a link
  std::set<std::string> elenco() const;          // names of the files in the directory

  std::vector<std::string> avvisi;
  std::vector<std::string> fatali;
  std::vector<std::string> rapporti;
};

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_SUPPORT_CARTELLA_TEMPORANEA_H_
