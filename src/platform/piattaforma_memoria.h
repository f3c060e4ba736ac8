// A platform whose directory lives in memory: for the fuzz targets and for
// tools that compile sources without touching the disk.
#ifndef CALVETRA_PLATFORM_PIATTAFORMA_MEMORIA_H_
#define CALVETRA_PLATFORM_PIATTAFORMA_MEMORIA_H_

#include <cstdint>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/piattaforma.h"

namespace calvetra {

class PiattaformaMemoria : public Piattaforma {
 public:
  explicit PiattaformaMemoria(std::string cartella = "/memoria") : cartella_(std::move(cartella)) {}

  std::string cartella() const override { return cartella_; }
  void avviso_attesa(std::string_view testo) override { avvisi.emplace_back(testo); }
  void rapporto_fatale(std::string_view messaggio) override { fatali.emplace_back(messaggio); }
  void rapporto(std::string_view riga) override { rapporti.emplace_back(riga); }

  bool esiste(const std::string& percorso) override { return file.count(percorso) != 0; }
  bool leggi(const std::string& percorso, std::string* contenuto, std::string* errore) override;
  bool elimina(const std::string& percorso, std::string* errore) override;
  // The name ends in a counter; names already in the directory are skipped.
  bool crea_temporaneo(const std::string& percorso, int* handle, std::string* temporaneo,
                       std::string* errore) override;
  bool scrivi(int handle, std::string_view dati, std::string* errore) override;
  // A file is handed over whole and its string taken, not copied.
  size_t blocco_scrittura() const override { return std::numeric_limits<size_t>::max(); }
  bool consegna(int handle, std::string* dati, std::string* errore) override;
  bool chiudi(int handle, std::string* errore) override;
  bool rinomina(const std::string& da, const std::string& a, std::string* errore) override;
  // Nothing to write through: a file not open is an error, as on a disk.
  bool sincronizza(int handle, std::string* errore) override {
    return aperto(handle, errore) != nullptr;
  }
  bool sincronizza_cartella(const std::string&, std::string*) override { return true; }
  // A copy of the content, under a counter as the temporary files are named.
  bool conserva(const std::string& percorso, std::string* copia, std::string* errore) override;
  // A path is a directory when it is one of `cartelle`, the platform's own
  // directory or the directory of a file; nothing in memory is `altro`.
  Genere genere(const std::string& percorso) override;
  bool crea_cartella(const std::string& percorso, std::string* errore) override;
  std::vector<std::string> elenco(const std::string& cartella) override;
  // Nothing stands in memory that could be written through: a file is written.
  bool scrivi_attraverso(const std::string& percorso, std::string_view dati,
                         std::string* errore) override;

  // Path of a file of the directory.
  std::string percorso(const std::string& nome) const { return cartella_ + "/" + nome; }

  std::map<std::string, std::string> file;  // full path -> content
  std::set<std::string> cartelle;           // directories made or given
  std::vector<std::string> avvisi;
  std::vector<std::string> fatali;
  std::vector<std::string> rapporti;

 private:
  // The content of an open file; nullptr (with `errore` set) when `handle` is not open.
  std::string* aperto(int handle, std::string* errore);

  std::string cartella_;
  std::vector<std::string> aperti_;  // handle -> path ("" once closed)
  uint64_t temporanei_ = 0;          // temporary names handed out so far
};

}  // namespace calvetra

#endif  // CALVETRA_PLATFORM_PIATTAFORMA_MEMORIA_H_
