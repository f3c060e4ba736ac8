#include "platform/sostituzione.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace calvetra {

char* Uscita::in_coda(size_t n) {
  if (intero()) {
    // A file in memory grows in its own string, which the platform takes.
    const size_t fine = buffer_.size();
    buffer_.resize(fine + n);
    return buffer_.data() + fine;
  }
  if (!buffer_.empty()) svuota();
  if (usati_ + n > capienza_) {
    const size_t capienza = std::max(usati_ + n, blocco_ + n);
    std::unique_ptr<char[]> nuovo(new char[capienza]);
    std::copy(grezzo_.get(), grezzo_.get() + usati_, nuovo.get());
    grezzo_ = std::move(nuovo);
    capienza_ = capienza;
  }
  char* p = grezzo_.get() + usati_;
  usati_ += n;
  return p;
}

void Uscita::consegna(std::string* dati) {
  if (!fallita_ && !piattaforma_->consegna(handle_, dati, &errore_)) fallita_ = true;
}

void Uscita::svuota_grezzo() {
  if (!fallita_ && usati_ > 0 &&
      !piattaforma_->scrivi(handle_, std::string_view(grezzo_.get(), usati_), &errore_)) {
    fallita_ = true;
  }
  usati_ = 0;
}

void Uscita::svuota() {
  svuota_grezzo();
  if (!buffer_.empty()) consegna(&buffer_);
  buffer_.clear();
}

namespace {

// The temporary file of one replacement. Unless it has been renamed into
// place, it is closed (if still open) and deleted on the way out, however the
// replacement ends.
class Temporaneo {
 public:
  Temporaneo(Piattaforma* piattaforma, int handle, std::string percorso)
      : piattaforma_(piattaforma), handle_(handle), percorso_(std::move(percorso)) {}
  Temporaneo(const Temporaneo&) = delete;
  Temporaneo& operator=(const Temporaneo&) = delete;
  ~Temporaneo() {
    std::string scarto;
    if (aperto_) piattaforma_->chiudi(handle_, &scarto);
    if (!rinominato_) piattaforma_->elimina(percorso_, &scarto);
  }

  // A failed close still releases the handle: it is not closed again.
  bool chiudi(std::string* errore) {
    aperto_ = false;
    return piattaforma_->chiudi(handle_, errore);
  }
  bool rinomina(const std::string& a, std::string* errore) {
    rinominato_ = piattaforma_->rinomina(percorso_, a, errore);
    return rinominato_;
  }

  // Writes what `produci` emits, synced to the device when `sincronizzato`,
  // and closes the file.
  bool scrivi(const std::function<void(Uscita*)>& produci, bool sincronizzato,
              std::string* errore) {
    Uscita uscita(piattaforma_, handle_);
    produci(&uscita);
    uscita.svuota();
    if (uscita.fallita()) {
      *errore = uscita.errore();
      return false;
    }
    if (sincronizzato && !piattaforma_->sincronizza(handle_, errore)) return false;
    return chiudi(errore);
  }

 private:
  Piattaforma* piattaforma_;
  int handle_;
  std::string percorso_;
  bool aperto_ = true;
  bool rinominato_ = false;
};

// A new temporary file beside `percorso`; null with the reason in `errore`.
std::unique_ptr<Temporaneo> nuovo_temporaneo(Piattaforma* piattaforma, const std::string& percorso,
                                             std::string* errore) {
  int handle = -1;
  std::string nome;
  if (!piattaforma->crea_temporaneo(percorso, &handle, &nome, errore)) return nullptr;
  return std::make_unique<Temporaneo>(piattaforma, handle, std::move(nome));
}

std::string nome_del_file(const std::string& percorso) {
  const size_t barra = percorso.rfind('/');
  return barra == std::string::npos ? percorso : percorso.substr(barra + 1);
}

std::string cartella_del_file(const std::string& percorso) {
  const size_t barra = percorso.rfind('/');
  if (barra == std::string::npos) return "";
  return barra == 0 ? "/" : percorso.substr(0, barra);
}

// The old files of a set, kept aside by a second name while the new ones
// are renamed into place: put back over a new one when the set fails,
// deleted once it is whole.
class Vecchi {
 public:
  explicit Vecchi(Piattaforma* piattaforma) : piattaforma_(piattaforma) {}
  Vecchi(const Vecchi&) = delete;
  Vecchi& operator=(const Vecchi&) = delete;
  ~Vecchi() {
    std::string scarto;
    for (const Vecchio& v : vecchi_) {
      if (!v.copia.empty()) piattaforma_->elimina(v.copia, &scarto);
    }
  }

  // Before `percorso` is replaced: keeps what stands there, if anything.
  bool conserva(const std::string& percorso, std::string* errore) {
    Vecchio v{percorso, "", false};
    const Piattaforma::Genere g = piattaforma_->genere(percorso);
    if (g == Piattaforma::Genere::file || g == Piattaforma::Genere::altro) {
      if (!piattaforma_->conserva(percorso, &v.copia, errore)) return false;
    }
    vecchi_.push_back(std::move(v));
    return true;
  }
  // The file last kept now holds its new content.
  void sostituito() { vecchi_.back().sostituito = true; }

  // Every file replaced so far back as it was: the old one over the new, a
  // new one where there was none deleted. Returns what could not be undone,
  // as a sentence to add to the report, with the names in `nuovi`.
  std::string ripristina(std::vector<std::string>* nuovi) {
    std::string detto;
    for (Vecchio& v : vecchi_) {
      if (!v.sostituito) continue;
      std::string motivo;
      const bool ok = v.copia.empty() ? piattaforma_->elimina(v.percorso, &motivo)
                                      : piattaforma_->rinomina(v.copia, v.percorso, &motivo);
      if (ok) {
        v.copia.clear();
        continue;
      }
      nuovi->push_back(v.percorso);
      detto += "; " + nome_del_file(v.percorso) + " resta quello nuovo (" + motivo + ")";
      // The old bytes stay under their second name, for whoever looks.
      if (!v.copia.empty()) detto += ", quello di prima e' in " + nome_del_file(v.copia);
      v.copia.clear();
    }
    return detto;
  }

 private:
  struct Vecchio {
    std::string percorso;
    std::string copia;  // "" when there was no old file
    bool sostituito;
  };
  Piattaforma* piattaforma_;
  std::vector<Vecchio> vecchi_;
};

// What a failed set leaves, of the files that stood at its names before
// (`prima`) less those left new: "nessun file sostituito, restano com'erano:
// A, B", or that no file was written.
std::string cosa_resta(const std::vector<std::string>& prima,
                       const std::vector<std::string>& nuovi) {
  std::string restano;
  for (const std::string& p : prima) {
    if (std::find(nuovi.begin(), nuovi.end(), p) != nuovi.end()) continue;
    restano += (restano.empty() ? "" : ", ") + nome_del_file(p);
  }
  if (restano.empty()) return nuovi.empty() ? "; nessun file scritto" : "";
  return (nuovi.empty() ? "; nessun file sostituito, restano com'erano: "
                        : "; restano com'erano: ") +
         restano;
}

}  // namespace

bool sostituisci_file(Piattaforma* piattaforma, const std::string& percorso,
                      const std::function<void(Uscita*)>& produci, std::string* errore) {
  const std::unique_ptr<Temporaneo> temporaneo = nuovo_temporaneo(piattaforma, percorso, errore);
  return temporaneo != nullptr && temporaneo->scrivi(produci, false, errore) &&
         temporaneo->rinomina(percorso, errore);
}

bool sostituisci_insieme(Piattaforma* piattaforma, const std::vector<FileDaSostituire>& insieme,
                         std::string* errore) {
  std::vector<std::string> prima;
  for (const FileDaSostituire& f : insieme) {
    if (piattaforma->genere(f.percorso) != Piattaforma::Genere::assente) {
      prima.push_back(f.percorso);
    }
  }
  std::vector<std::unique_ptr<Temporaneo>> temporanei;
  std::string motivo;
  for (const FileDaSostituire& f : insieme) {
    temporanei.push_back(nuovo_temporaneo(piattaforma, f.percorso, &motivo));
    if (temporanei.back() == nullptr || !temporanei.back()->scrivi(f.produci, true, &motivo)) {
      *errore = "impossibile scrivere " + f.percorso + ": " + motivo + cosa_resta(prima, {});
      return false;
    }
  }
  Vecchi vecchi(piattaforma);
  const auto fallito = [&](const std::string& cosa) {
    std::vector<std::string> nuovi;
    const std::string non_ripristinati = vecchi.ripristina(&nuovi);
    *errore = cosa + ": " + motivo + cosa_resta(prima, nuovi) + non_ripristinati;
    return false;
  };
  for (size_t i = 0; i < insieme.size(); ++i) {
    const std::string& percorso = insieme[i].percorso;
    if (!vecchi.conserva(percorso, &motivo)) {
      return fallito("impossibile mettere da parte " + percorso);
    }
    if (!temporanei[i]->rinomina(percorso, &motivo)) {
      return fallito("impossibile scrivere " + percorso);
    }
    vecchi.sostituito();
  }
  if (!insieme.empty() &&
      !piattaforma->sincronizza_cartella(cartella_del_file(insieme.front().percorso), &motivo)) {
    return fallito("impossibile sincronizzare la cartella di " + insieme.front().percorso);
  }
  return true;
}

}  // namespace calvetra
