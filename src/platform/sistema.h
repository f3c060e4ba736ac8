// The real file system, window system and terminal, one implementation per
// system behind one class: piattaforma_posix.cc and piattaforma_windows.cc.
// Nothing above this floor knows which of them it runs on.
#ifndef CALVETRA_PLATFORM_SISTEMA_H_
#define CALVETRA_PLATFORM_SISTEMA_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/piattaforma.h"

namespace calvetra {

// How the bytes of a path name characters, where the system's file names are
// characters rather than bytes (Windows). The authors' tool reads its paths
// as UTF-8; calvetra builds its file names from Windows-1252 constants, in a
// directory whose path the system gave as text (kept as UTF-8).
enum class NomiFile { utf8, windows_1252 };

class PiattaformaSistema : public Piattaforma {
 public:
  explicit PiattaformaSistema(std::string cartella, NomiFile nomi = NomiFile::utf8);
  ~PiattaformaSistema() override;
  PiattaformaSistema(const PiattaformaSistema&) = delete;
  PiattaformaSistema& operator=(const PiattaformaSistema&) = delete;

  std::string cartella() const override { return cartella_; }
  // A window with the text as its one label (a line on the terminal where
  // there are no windows), shown and painted once, never serviced after.
  void avviso_attesa(std::string_view testo) override;
  // A modal message box with an OK button that waits for it (and the line
  // on the terminal too, when there is one).
  void rapporto_fatale(std::string_view messaggio) override;
  void rapporto(std::string_view riga) override;
  bool esiste(const std::string& percorso) override;
  bool leggi(const std::string& percorso, std::string* contenuto, std::string* errore) override;
  bool elimina(const std::string& percorso, std::string* errore) override;
  // The name ends in random letters; a name already taken is drawn again.
  bool crea_temporaneo(const std::string& percorso, int* handle, std::string* temporaneo,
                       std::string* errore) override;
  bool scrivi(int handle, std::string_view dati, std::string* errore) override;
  bool chiudi(int handle, std::string* errore) override;
  bool rinomina(const std::string& da, const std::string& a, std::string* errore) override;
  bool sincronizza(int handle, std::string* errore) override;
  // A file system that cannot sync a directory says so (EINVAL on POSIX),
  // and Windows has no way to: true.
  bool sincronizza_cartella(const std::string& cartella, std::string* errore) override;
  bool conserva(const std::string& percorso, std::string* copia, std::string* errore) override;
  Genere genere(const std::string& percorso) override;
  bool crea_cartella(const std::string& percorso, std::string* errore) override;
  std::vector<std::string> elenco(const std::string& cartella) override;
  bool scrivi_attraverso(const std::string& percorso, std::string_view dati,
                         std::string* errore) override;

 private:
  struct Sistema;  // what the system keeps: open handles, the window
  std::string cartella_;
  [[maybe_unused]] NomiFile nomi_;  // read on Windows alone
  std::unique_ptr<Sistema> s_;
};

}  // namespace calvetra

#endif  // CALVETRA_PLATFORM_SISTEMA_H_
