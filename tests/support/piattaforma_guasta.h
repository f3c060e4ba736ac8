// Test support: a platform that fails one file-system operation on purpose.
#ifndef CALVETRA_TESTS_SUPPORT_PIATTAFORMA_GUASTA_H_
#define CALVETRA_TESTS_SUPPORT_PIATTAFORMA_GUASTA_H_

#include <string>

#include "support/cartella_temporanea.h"

namespace calvetra::test {

enum class Operazione { nessuna, crea, scrivi, sincronizza, chiudi, rinomina, elimina };

// Fails `guasto` whenever it touches a path containing `bersaglio` (for
// crea: the temporary file beside such a path; for scrivi, sincronizza and
// chiudi: its handle; for rinomina: the destination).
class PiattaformaGuasta : public PiattaformaDiProva {
 public:
  Operazione guasto = Operazione::nessuna;
  std::string bersaglio;

  bool crea_temporaneo(const std::string& percorso, int* handle, std::string* temporaneo,
                       std::string* errore) override {
    if (colpisce(Operazione::crea, percorso, errore)) return false;
    if (!PiattaformaDiProva::crea_temporaneo(percorso, handle, temporaneo, errore)) return false;
    if (percorso.find(bersaglio) != std::string::npos) handle_bersaglio_ = *handle;
    return true;
  }
  bool scrivi(int handle, std::string_view dati, std::string* errore) override {
    if (guasto == Operazione::scrivi && handle == handle_bersaglio_) return rifiuta(errore);
    return PiattaformaDiProva::scrivi(handle, dati, errore);
  }
  bool sincronizza(int handle, std::string* errore) override {
    if (guasto == Operazione::sincronizza && handle == handle_bersaglio_) return rifiuta(errore);
    return PiattaformaDiProva::sincronizza(handle, errore);
  }
  bool chiudi(int handle, std::string* errore) override {
    const bool ok = PiattaformaDiProva::chiudi(handle, errore);
    if (guasto == Operazione::chiudi && handle == handle_bersaglio_) return rifiuta(errore);
    return ok;
  }
  bool rinomina(const std::string& da, const std::string& a, std::string* errore) override {
    if (colpisce(Operazione::rinomina, a, errore)) return false;
    return PiattaformaDiProva::rinomina(da, a, errore);
  }
  bool elimina(const std::string& percorso, std::string* errore) override {
    if (colpisce(Operazione::elimina, percorso, errore)) return false;
    return PiattaformaDiProva::elimina(percorso, errore);
  }

 private:
  bool colpisce(Operazione op, const std::string& percorso, std::string* errore) {
    if (guasto != op || percorso.find(bersaglio) == std::string::npos) return false;
    return !rifiuta(errore);
  }
  static bool rifiuta(std::string* errore) {
    *errore = "guasto simulato";
    return false;
  }
  int handle_bersaglio_ = -1;
};

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_SUPPORT_PIATTAFORMA_GUASTA_H_
