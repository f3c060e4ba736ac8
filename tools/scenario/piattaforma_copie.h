// The platform the author tool gives the compiler: the real directory for
// everything the compiler writes, but the two sources served from copies held
// in memory. The compiler reads and deletes its sources as part of the run;
// here the delete drops the copy and the user's files stay as they were.
#ifndef CALVETRA_TOOLS_SCENARIO_PIATTAFORMA_COPIE_H_
#define CALVETRA_TOOLS_SCENARIO_PIATTAFORMA_COPIE_H_

#include <map>
#include <string>
#include <vector>

#include "platform/piattaforma.h"

namespace calvetra::scenario {

class PiattaformaCopie : public Piattaforma {
 public:
  // `vera` is the platform of the directory; `sorgenti` maps the full path of
  // each source the compiler may open to its content (a missing source is
  // simply not in the map).
  PiattaformaCopie(Piattaforma* vera, std::map<std::string, std::string> sorgenti,
                   std::vector<std::string> protetti);

  std::string cartella() const override { return vera_->cartella(); }
  void avviso_attesa(std::string_view) override {}
  void rapporto_fatale(std::string_view messaggio) override { fatali.emplace_back(messaggio); }
  void rapporto(std::string_view riga) override { rapporti.emplace_back(riga); }
  bool esiste(const std::string& percorso) override;
  bool leggi(const std::string& percorso, std::string* contenuto, std::string* errore) override;
  bool elimina(const std::string& percorso, std::string* errore) override;
  bool crea_temporaneo(const std::string& percorso, int* handle, std::string* temporaneo,
                       std::string* errore) override;
  bool scrivi(int handle, std::string_view dati, std::string* errore) override;
  bool chiudi(int handle, std::string* errore) override;
  bool rinomina(const std::string& da, const std::string& a, std::string* errore) override;

  // What the compiler reported, in order.
  std::vector<std::string> fatali;
  std::vector<std::string> rapporti;

 private:
  bool protetto(const std::string& percorso) const;

  Piattaforma* vera_;
  std::map<std::string, std::string> sorgenti_;
  std::vector<std::string> protetti_;  // paths never written, renamed or deleted
};

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_PIATTAFORMA_COPIE_H_
