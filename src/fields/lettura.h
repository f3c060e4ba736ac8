// What a parser phase reads and where it reports: the source as the run
// found it, one reading of it (the field reader that the system calls file
// number 1, the keyword field in hand, the diagnostics and the warnings), the
// record in hand as its handler sees it, and the loop that hands a keyword
// field to the records of a catalogue.
#ifndef CALVETRA_FIELDS_LETTURA_H_
#define CALVETRA_FIELDS_LETTURA_H_

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fields/avvisi.h"
#include "fields/catalogo.h"
#include "fields/lettore_campi.h"
#include "model/diagnostica.h"
#include "model/giornale.h"
#include "model/numeri.h"
#include "model/records.h"

namespace calvetra {

// A source file as the run finds it in its directory.
struct Sorgente {
  // troppo_grande: longer than kMassimoSorgente, refused unread.
  enum class Stato { assente, illeggibile, letta, troppo_grande };
  Stato stato = Stato::assente;
  std::string_view testo;  // the whole file when letta; must outlive the parse

  static Sorgente di(std::string_view testo) { return {Stato::letta, testo}; }
  bool esiste() const { return stato != Stato::assente; }
};

// The longest source read: every place in it, its end included, is a 32-bit
// offset, as the journal keeps them.
inline constexpr size_t kMassimoSorgente = UINT32_MAX;
// `s`, or, past kMassimoSorgente, a source refused with no text: the phase
// that opens it fails there, and nothing of it is read or examined.
inline Sorgente entro_il_massimo(const Sorgente& s) {
  return s.testo.size() <= kMassimoSorgente ? s : Sorgente{Sorgente::Stato::troppo_grande, {}};
}

// Where a parser phase puts what it reads: the model, the diagnostics and,
// when one is kept, the compile's journal (which watches the model); and,
// for a compile another thread may give up (the live page ending), the flag
// that says so: the reading then ends at the next keyword, as if the source
// ended there, and what it made is thrown away by whoever gave it up.
struct Destinazione {
  Modello& modello;
  Diagnostica& diagnostica;
  Giornale* giornale = nullptr;
  const std::atomic<bool>* annullo = nullptr;
};

// What a record handler tells the reading loop to do next.
enum class Seguito {
  avanti,      // go on with the next keyword field
  fine_corpo,  // stop reading, but run the closing steps of the phase
  esci,        // end the phase at once
};

// How a parser phase ended.
enum class FineFase {
  completa,    // the reading and its closing steps ran
  interrotta,  // an error ended the phase; the next phase does not run
  guasto,      // an unexpected failure: code 25, both sources are done with
};

// One reading of a source.
class Lettura {
 public:
  // `lessico`: the words of the source's records, for the warnings.
  Lettura(FileSorgente file, const Lessico& lessico, Destinazione dest);
  Lettura(const Lettura&) = delete;
  Lettura& operator=(const Lettura&) = delete;

  void apri(std::string_view testo) { file1_.apri(testo); }
  void chiudi() { file1_.chiudi(); }
  bool fine() const { return file1_.fine(); }

  // Reads the next field as the keyword field in hand.
  void leggi_campo() {
    campo_ = file1_.leggi_testo();
    chiave_ = {file_, file1_.inizio_campo(), file1_.fine_campo()};
  }
  // Reads the next keyword field, in place of up to `separatori` fields that
  // contain '-' in a row. With `controlla_fine`, false as soon as a read
  // reaches the end of the file (the field just read is not interpreted);
  // without it, the end is looked at only after the first read.
  bool leggi_parola_chiave(int separatori, bool controlla_fine);
  const std::string& campo() const { return campo_; }
  // Where the field in hand (or the field read last) begins.
  size_t inizio_campo() const { return file1_.inizio_campo(); }

  LettoreCampi& file1() { return file1_; }
  FileSorgente file() const { return file_; }
  Diagnostica& diagnostica() { return d_; }
  Avvisi& avvisi() { return avvisi_; }
  bool avvisi_attivi() const { return d_.avvisi_attivi(); }

  // The field read last, and the place at `offset` (see `luogo_letto`).
  Luogo qui() const { return a(file1_.inizio_campo()); }
  Luogo a(size_t offset) const { return luogo_letto(file_, offset, chiave_, file1_); }

  // The part of the source the records now read belong to.
  void fase(Fase f) { fase_ = f; }
  Fase fase() const { return fase_; }
  // The journal, when one is kept (where the values came from otherwise):
  // the record `record` begins at the keyword
  // field in hand, which begins at `chiave`; what the model is told from now
  // on is its. `chiudi_record` closes it with the fields it read, and warns
  // of an object of another record that it wrote over.
  void apri_record(const DescrizioneRecord& record, size_t chiave);
  void chiudi_record(std::span<const Estensione> campi);
  // The keyword field in hand at `chiave` names no record that reads now.
  void campo_passato(size_t chiave);
  // What the model is told from now on belongs to the step `nome` of the
  // compile, not to a source record.
  void passo(std::string_view nome) {
    if (giornale_ != nullptr) {
      giornale_->passo(nome);
    } else {
      m_.osservatore.provenienza.apri({});
    }
  }
  // The reading stops here, before the end of its source: the rest is not
  // compiled.
  void ferma_lettura();
  Giornale* giornale() const { return giornale_; }

  Modello& modello() { return m_; }

 private:
  // The reading ended on the field in hand: a bracketed name is recorded as
  // where the source closes.
  void campo_finale();
  LettoreCampi file1_;
  std::string campo_;  // the keyword field in hand
  Luogo chiave_;       // and where it stands
  FileSorgente file_;
  Modello& m_;
  Diagnostica& d_;
  Giornale* giornale_;
  const std::atomic<bool>* annullo_;
  Fase fase_ = Fase::corpo_linea;
  size_t cancellazioni_viste_ = 0;
  // The cell fields each kind of record stores, as the journal counts them.
  std::vector<std::pair<const DescrizioneRecord*, uint16_t>> campi_cella_;
  Avvisi avvisi_;  // the authors' warnings; they only ever record
};

// The record in hand, as its handler reads it: its fields in catalogue order,
// each read as the catalogue says, and the places of what it has read.
class LetturaRecord {
 public:
  // The most fields a record has (a station's columns).
  static constexpr size_t kCampiMassimi = 17;

  LetturaRecord(Lettura& l, const DescrizioneRecord& record, size_t chiave)
      : l_(l), record_(record), chiave_(chiave) {}

  // The next field, a number read into the target its catalogue entry gives;
  // T must hold every value of that target.
  template <typename T = int32_t>
  T numero();
  // The next field, a text.
  std::string testo();

  // The keyword field, and where it and the record's field i begin.
  const std::string& parola() const { return l_.campo(); }
  Luogo chiave() const { return l_.a(chiave_); }
  Luogo luogo(size_t campo) const;

  // The position bound of a record whose position p is its field i: past it
  // (p + margine) / 50 lies beyond the last cell, error 15 is recorded at the
  // field and true returned (the reading ends; the closing steps still run).
  bool oltre_il_percorso(int32_t p, int32_t margine, size_t campo = 0);
  void errore(CodiceErrore codice, Luogo luogo) { l_.diagnostica().errore(codice, luogo); }
  void errore(CodiceErrore codice, Luogo luogo, int32_t posizione) {
    l_.diagnostica().errore(codice, luogo, posizione);
  }

  // The error just recorded names the record in its way: a note at the
  // record that placed the object of cell `cella` (or last wrote row
  // `riga`), as the compile's journal has it; nothing without a journal.
  void nota_cella(int64_t cella);
  void nota_riga(int64_t riga);
  // The same with what the note says of that record: "qui il record X che ...".
  void nota_riga(int64_t riga, const std::string& che);

  // The warnings across records of this kind: positions ascending, or
  // stretches that do not overlap.
  void in_ordine(int64_t posizione);
  void senza_sovrapposizione(int64_t inizio, int64_t fine);

  Modello& modello() { return l_.modello(); }
  Diagnostica& diagnostica() { return l_.diagnostica(); }
  Avvisi& avvisi() { return l_.avvisi(); }

  // A record that goes on has read every field its catalogue entry lists:
  // throws std::logic_error otherwise, so a handler and its entry never part.
  void verifica_completo() const;
  // The record stored whole: the warnings say what its values became.
  void avvisa_conservato();
  // Where each field read whole so far stands.
  std::span<const Estensione> campi_letti() const { return {campi_.data(), completi_}; }

 private:
  // The catalogue entry of the next field (read on every field: inline, its
  // refusals out of line). A handler that reads past the fields of its
  // record, or a field otherwise than the catalogue says, is refused with
  // std::logic_error.
  const CampoRecord& prossimo(bool numero) {
    if (letti_ >= record_.campi.size() || letti_ >= campi_.size() ||
        numero == (record_.campi[letti_].formato == Formato::testo)) {
      rifiuta_campo();
    }
    return record_.campi[letti_++];
  }
  [[noreturn]] void rifiuta_campo() const;
  // Whether T holds every value of a field read as `f`.
  template <typename T>
  static constexpr bool entra(Formato f) {
    using L = std::numeric_limits<T>;
    switch (f) {
      case Formato::u8: return L::min() <= 0 && L::max() >= UINT8_MAX;
      case Formato::i16: return L::min() <= INT16_MIN && L::max() >= INT16_MAX;
      case Formato::i32: return L::min() <= INT32_MIN && L::max() >= INT32_MAX;
      case Formato::testo: break;
    }
    return false;
  }
  [[noreturn]] static void rifiuta_destinazione(const CampoRecord& campo);
  // The unexpected failures of a field, said in the author's terms: the file
  // ends before it, or its number does not fit the target it is read into.
  [[noreturn]] void manca_campo(const CampoRecord& campo) const;
  [[noreturn]] void non_entra(const CampoRecord& campo, const GuastoInatteso& e) const;
  // A field's span and value as the journal keeps them: a source read is at
  // most kMassimoSorgente long, and a value is read into 32 bits at most.
  static Estensione estensione(size_t inizio, size_t fine, int64_t valore) {
    return {static_cast<uint32_t>(inizio), static_cast<uint32_t>(fine),
            static_cast<int32_t>(valore)};
  }
  int64_t leggi_numero(Formato f) {
    LettoreCampi& file1 = l_.file1();
    int64_t v = 0;
    switch (f) {
      case Formato::u8: v = file1.leggi_8(); break;
      case Formato::i16: v = file1.leggi_16(); break;
      case Formato::i32: v = file1.leggi_32(); break;
      case Formato::testo: break;
    }
    campi_[letti_ - 1] = estensione(file1.inizio_campo(), file1.fine_campo(), v);
    completi_ = letti_;
    return v;
  }

  Lettura& l_;
  const DescrizioneRecord& record_;
  size_t chiave_;
  size_t letti_ = 0;
  size_t completi_ = 0;  // the fields read whole: a read that failed is not one
  std::array<Estensione, kCampiMassimi> campi_{};  // where each field read stands, and its number
};

// A catalogue entry: the record and the handler that reads its fields right
// after the keyword field. `attiva`, when given, says whether the record is
// read at all in this reading (a curve only when the plan is built).
template <typename Contesto>
struct VoceCatalogo {
  DescrizioneRecord record;
  Seguito (*gestore)(LetturaRecord& r, Contesto& c);
  bool (*attiva)(const Contesto& c) = nullptr;
};

template <typename Contesto>
std::vector<const DescrizioneRecord*> descrizioni(std::span<const VoceCatalogo<Contesto>> c) {
  std::vector<const DescrizioneRecord*> d;
  for (const VoceCatalogo<Contesto>& v : c) d.push_back(&v.record);
  return d;
}

// The records of a catalogue that the keyword field `campo` names.
template <typename Contesto>
Riconosciuti riconosci(std::span<const VoceCatalogo<Contesto>> catalogo, std::string_view campo,
                       const Contesto& c) {
  Riconosciuti r;
  const uint32_t lettere = lettere_di(campo);
  for (const VoceCatalogo<Contesto>& v : catalogo) {
    if (!v.record.prova.passa(campo, lettere)) continue;
    (v.attiva == nullptr || v.attiva(c) ? r.attivi : r.inattivi).push_back(&v.record);
  }
  return r;
}

// Hands the keyword field in hand, which begins at `chiave`, to the records
// `trovati` of the catalogue that it names and that read now, in catalogue
// order, each reading its own fields; the first that does not go on ends the
// round. (The tests all look at the keyword field, which no handler
// changes, so they can be made before the first handler runs.)
template <typename Contesto>
Seguito leggi_record(Lettura& l, std::span<const VoceCatalogo<Contesto>> catalogo,
                     const Riconosciuti& trovati, Contesto& c, size_t chiave) {
  if (trovati.attivi.empty()) l.campo_passato(chiave);
  const DescrizioneRecord* const* prossimo = trovati.attivi.begin();
  for (const VoceCatalogo<Contesto>& v : catalogo) {
    if (prossimo == trovati.attivi.end()) break;
    if (&v.record != *prossimo) continue;
    ++prossimo;
    LetturaRecord r(l, v.record, chiave);
    l.apri_record(v.record, chiave);
    Seguito s = Seguito::avanti;
    try {
      s = v.gestore(r, c);
    } catch (...) {
      // A record that fails half-way is journalled with what it read and
      // wrote before the failure.
      l.chiudi_record(r.campi_letti());
      throw;
    }
    l.chiudi_record(r.campi_letti());
    if (s != Seguito::avanti) return s;
    r.verifica_completo();
    r.avvisa_conservato();
  }
  return Seguito::avanti;
}

// The records that the keyword field in hand names, met after the compile
// stopped: each reads its fields as its catalogue entry says, for the
// warnings that judge a record on its own (number syntax, a value's range, a
// field missing), places nothing and is journalled as not compiled.
void esamina_record(Lettura& l, const Riconosciuti& trovati, size_t chiave);
// Where examining resumes after a stop at byte `da`: the start of the next
// line, unless `da` starts one (the fields left on the line of the record
// the compile stopped in are that record's own).
size_t ripresa_esame(std::string_view testo, size_t da);

template <typename T>
T LetturaRecord::numero() {
  const CampoRecord& campo = prossimo(true);
  if (!entra<T>(campo.formato)) rifiuta_destinazione(campo);
  if (l_.fine()) manca_campo(campo);
  l_.avvisi().campo_in_lettura(record_, letti_ - 1);
  int64_t v = 0;
  try {
    v = leggi_numero(campo.formato);
  } catch (const GuastoInatteso& e) {
    non_entra(campo, e);
  }
  if ((campo.limiti.limitato() || campo.conserva != nullptr) && l_.avvisi_attivi()) {
    l_.avvisi().valore_letto(record_, campo, v, campi_[letti_ - 1].inizio);
  }
  // The value was range-checked against its target, which T holds whole.
  return static_cast<T>(v);
}

}  // namespace calvetra

#endif  // CALVETRA_FIELDS_LETTURA_H_
