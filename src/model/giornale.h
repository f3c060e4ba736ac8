// The compile's own account of what it did, kept as it happens: every record
// it met (its span and the span of each field, the phase that read it, and
// whether it was compiled at all), every cell and row field a record or a
// step of the compile wrote (old and new value), which record placed the
// object of each cell and row, what the cab-code pass derived, the objects a
// later record erased, and where the compile stopped and why.
//
// The model tells the journal of each write as it makes it, through the one
// place that writes a stored field (`Modello::scrivi_cella`, `scrivi_riga`,
// `scrivi_nome`, `crea_tratti`): the journal appends the field, its old and
// its new value, as a write batch does, and keeps no copy of any cell; a
// fill of a mark over many cells is one write a run of cells it changed.
// When a record closes, its writes are put in the order the readers know
// (the cells in the order the record reached them, each field once, in the
// order of its enumeration, then the rows, then the fills' runs in the order
// made) and a field it wrote twice becomes one write.
// No handler knows the journal is there, and a compile that keeps none pays
// one test of a null pointer per access.
//
// The author tools read the journal for provenance, hover, the outline and
// the warnings about what was stored; the model and the files are the same
// with or without it.
#ifndef CALVETRA_MODEL_GIORNALE_H_
#define CALVETRA_MODEL_GIORNALE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/costanti.h"
#include "model/diagnostica.h"
#include "model/errori.h"
#include "model/records.h"

namespace calvetra {

// Where a field stands in its source: from its first character to the end
// of its text (quotes included, trailing blanks and the separator not); and,
// for a number field, the value the compile read there (0 for a field that
// is no number, as the compile reads it; 0 for a text). Twelve bytes: a long
// route has tens of thousands. A source read is at most 4 GiB long, so each
// place is a 32-bit offset; a number is read into a field of 32 bits at most.
struct Estensione {
  uint32_t inizio = 0;
  uint32_t fine = 0;
  int32_t valore = 0;

  bool operator==(const Estensione&) const = default;
};

// Which part of the compile met a record.
enum class Fase : uint8_t {
  intestazione_linea,  // the line source's header block
  corpo_linea,         // the line source's body
  treno,               // the train source
  passo,               // a step of the compile itself, not a source record
};

// A record as the compile met it. A keyword field that names no record is
// kept too, with an empty `nome`, so that every field read has its span.
// Eighty bytes: a long route has thousands, and each is read back by every
// tool; the counts fit in 32 bits, as a write's own record does.
struct RecordRegistrato {
  Luogo chiave;           // its keyword field, where it begins and where its text ends
  std::string_view nome;  // the catalogue's own name (it outlives every
                          // compile), or the step's name for a step
  // The fields it read, in order; kept by the journal, and valid as long as
  // it is.
  std::span<const Estensione> campi;
  uint32_t prima_scrittura = 0;  // its writes: scritture()[prima_scrittura, + scritture)
  uint32_t scritture = 0;
  uint32_t toccati = 0;  // cells and rows it wrote to, whether or not a value changed
  // The bracketed section name it stands under (`[curve]`, `[segnali]`):
  // index + 1 in the journal's sezioni(), 0 before the first one.
  uint32_t sezione = 0;
  Fase fase = Fase::passo;
  bool compilato = true;  // false: met after the compile stopped, only examined

  bool passo() const { return fase == Fase::passo; }
  bool riconosciuto() const { return !nome.empty(); }
  // Where the record ends: the end of its last field, or of its keyword.
  size_t fine() const { return campi.empty() ? chiave.fine : campi.back().fine; }
};

const char* nome_campo(CampoCella c);
const char* nome_campo(CampoRiga c);
// The field of that name (as the files name it: `valore_a`, `orario`);
// nullopt for none.
std::optional<CampoCella> campo_cella(std::string_view nome);
std::optional<CampoRiga> campo_riga(std::string_view nome);

// One change to the model. Twenty bytes: a long route has thousands of
// records, and every stored value fits in 32 bits (a field is cut to its
// width before it is written; a count of cells or texts is far below).
struct Scrittura {
  enum class Bersaglio : uint8_t {
    cella,  // field `campo` of cell `indice`
    riga,  // field `campo` of row `indice`; a name's old and new text are testi()[vecchio], [nuovo]
    celle,  // the cells made anew: `nuovo` cells, all empty
    // A fill's run: field `campo` of the `vecchio` cells from `indice` on,
    // each of which held another value, all went to `nuovo`. Only a mark's
    // field (after `tempo`) is filled so; the old values are not kept.
    fascia,
  };
  Bersaglio bersaglio = Bersaglio::cella;
  uint8_t campo = 0;
  int32_t indice = 0;
  uint32_t record = 0;  // index in records()
  int32_t vecchio = 0;
  int32_t nuovo = 0;

  // The cells it wrote: from `indice`, this many (none for a row or the
  // cells made).
  size_t celle() const {
    return bersaglio == Bersaglio::cella    ? 1
           : bersaglio == Bersaglio::fascia ? static_cast<size_t>(vecchio)
                                            : 0;
  }
  // Whether it wrote to cell c.
  bool in_cella(size_t c) const {
    return c >= static_cast<size_t>(indice) && c - static_cast<size_t>(indice) < celle();
  }
};

// A record's object that a later record replaced in its cell.
struct Cancellazione {
  size_t cella = 0;
  size_t erasa = 0;  // the record whose object was there (index in records())
  size_t da = 0;     // the record that wrote over it
  uint8_t tipo_prima = 0;
  uint8_t tipo_dopo = 0;
};

// Where the compile stopped reading a source before its end.
struct Arresto {
  FileSorgente file = FileSorgente::nessuno;
  size_t offset = 0;              // the first character not read
  Fase fase = Fase::corpo_linea;  // the part of the source being read
  size_t errore = 0;  // index + 1 in the diagnostics of the error it stopped on; 0 for none
};

class Giornale {
 public:
  // What the cab-code pass did to a cell.
  enum class Derivazione : uint8_t {
    nessuna,    // nothing: the cell is as its records left it
    posta,      // a code reduction placed in a free cell
    abbassata,  // an existing code reduction lowered to the pass's value
  };

  // A record begins at `chiave`; everything touched until it closes is its.
  // `campi_cella` are the cell fields it stores (a bit per CampoCella): a
  // cell it touches counts them as reached. Returns its index. A step of the
  // compile opens with `passo`, and may reach any field.
  size_t apri(Luogo chiave, std::string_view nome, Fase fase, uint16_t campi_cella = 0);
  // Room for about `records` records, made once.
  void riserva(size_t records) { records_.reserve(records); }
  // The records from now on stand under the section name at `sezione`.
  void sezione(Luogo sezione) {
    sezioni_.push_back(sezione);
    sezione_ = static_cast<uint32_t>(sezioni_.size());
  }
  // Every section name the reading met, compiled or examined, in the order
  // met.
  const std::vector<Luogo>& sezioni() const { return sezioni_; }
  // Where the section name record r stands under begins; nessuno before the
  // first one, and for a step.
  Luogo sezione_di(const RecordRegistrato& r) const {
    return r.sezione == 0 ? Luogo{} : sezioni_[r.sezione - 1];
  }
  // The reading of a source ended on the bracketed name at `nome` (the
  // source's closing `[fine]`): the last field of the text, read and never
  // taken as a record. Every such end, in the order read.
  void chiusa(Luogo nome) { chiusure_.push_back(nome); }
  const std::vector<Luogo>& chiusure() const { return chiusure_; }
  size_t passo(std::string_view nome) { return apri({}, nome, Fase::passo, kOgniCampoCella); }
  // The record open closes with the fields it read; its writes are made.
  void chiudi(std::span<const Estensione> campi = {});
  // A record met after the compile stopped, examined on its own and never
  // compiled.
  void esaminato(Luogo chiave, std::string_view nome, Fase fase, std::span<const Estensione> campi);

  // Told by the model: the record open reached cell c or row r (to judge it
  // or to write it).
  void tocca_cella(size_t c) {
    if (c < rango_celle_.size() && rango_celle_[c] >= primo_rango_) return;
    tocca_cella_nuova(c);
  }
  void tocca_riga(size_t r);
  // Told by the model as it writes: field f of cell c or row r went from
  // `prima` to `dopo` (the same value is no write, but the cell is reached).
  void scrive_cella(size_t c, CampoCella f, int64_t prima, int64_t dopo) {
    tocca_cella(c);
    if (prima != dopo) {
      annota(Scrittura::Bersaglio::cella, static_cast<uint8_t>(f), c, rango_celle_[c], prima, dopo);
    }
  }
  // Told by the model before a fill: field f of every cell of `celle` (cells
  // `da` on) goes to `dopo`. The same account as one scrive_cella a cell,
  // upward, each reading its old value from `celle`, but a mark's field is
  // kept as a run of cells (`fascia`) for each stretch of cells it changes.
  void riempie_celle(std::span<const tratto> celle, size_t da, CampoCella f, int64_t dopo);
  void scrive_riga(size_t r, CampoRiga f, int64_t prima, int64_t dopo);
  void scrive_nome(size_t r, const std::string& prima, const std::string& dopo);
  // The cells made anew, `n` of them.
  void crea_celle(size_t n);

  // The pass placed (`posta`) or lowered a code reduction in cell c because of
  // the object in cell `causa`. A placed cell goes to the record of that
  // object; a lowered one stays with the record that placed it.
  void deriva(size_t c, size_t causa, Derivazione come);

  // The compile stopped reading a source before its end (at most once a
  // source), or never read the train source at all; and the error it
  // stopped with, once the compile is over.
  void ferma(Arresto a) { arresti_.push_back(a); }
  void treno_mai_letto(size_t errore) {
    treno_mai_letto_ = true;
    errore_treno_ = errore;
  }
  void fermata_con(CodiceErrore c) { codice_arresto_ = c; }
  const std::vector<Arresto>& arresti() const { return arresti_; }
  bool treno_non_letto() const { return treno_mai_letto_; }
  // Index + 1 in the diagnostics of the error that kept the train source
  // from being read; 0 for none.
  size_t errore_treno() const { return errore_treno_; }
  CodiceErrore codice_arresto() const { return codice_arresto_; }
  // Whether anything of either source went uncompiled, and how many records.
  bool fermata() const { return !arresti_.empty() || treno_mai_letto_; }
  size_t non_compilati() const;

  const std::vector<RecordRegistrato>& records() const { return records_; }
  const std::vector<Scrittura>& scritture() const { return scritture_; }
  const std::vector<std::string>& testi() const { return testi_; }
  const std::vector<Cancellazione>& cancellazioni() const { return cancellazioni_; }

  // The record that placed the object of cell c, or last changed row r;
  // nullptr for none.
  const RecordRegistrato* record_cella(size_t c) const {
    return record_di(c < celle_.size() ? celle_[c] : 0);
  }
  const RecordRegistrato* record_riga(size_t r) const {
    return record_di(r < righe_.size() ? righe_[r] : 0);
  }
  // The same as the keyword's place (file nessuno for none).
  Luogo cella(size_t c) const;
  Luogo riga(size_t r) const;
  // What the cab-code pass did to cell c, and the record whose object made it.
  Derivazione derivazione(size_t c) const {
    return c < derivazioni_.size() ? derivazioni_[c] : Derivazione::nessuna;
  }
  Luogo causa(size_t c) const;
  // Record i's writes to cell c (single or in a run), one a field, in the
  // order of the fields.
  std::vector<const Scrittura*> scritture_in_cella(size_t i, size_t c) const;
  // The last write to field `campo` of row r or cell c; nullptr when none was made.
  const Scrittura* ultima_scrittura_riga(size_t r, CampoRiga campo) const;
  const Scrittura* ultima_scrittura_cella(size_t c, CampoCella campo) const;
  // Whether any record that stores field `campo` in cells, or any step of the
  // compile, touched cell c of the cells made last: false says that no value
  // of that field ever reached it (a change or not), and it holds what a new
  // cell holds.
  bool raggiunta(size_t c, CampoCella campo) const {
    return c < raggiunte_.size() && (raggiunte_[c] & bit(campo)) != 0;
  }
  static constexpr uint16_t bit(CampoCella c) {
    return static_cast<uint16_t>(1U << static_cast<unsigned>(c));
  }
  static constexpr uint16_t kOgniCampoCella = 0xFFFF;

  // The record whose keyword field begins at `chiave`; nullptr for none.
  const RecordRegistrato* record_a(Luogo chiave) const;

 private:
  void tocca_cella_nuova(size_t c);
  void annota(Scrittura::Bersaglio b, uint8_t campo, size_t indice, uint32_t rango, int64_t prima,
              int64_t dopo);
  void scarica();
  // Takes the open record's runs out of its writes into `tolte_`, to come
  // after them once they are in order; or, when a run shares a cell's field
  // with another write of the record, makes the runs the single writes they
  // stand for, with the old values kept in `vecchi_`, and takes none.
  void togli_fasce();
  void ordina_e_unisci();
  // The writes from `inizio` on, in order: one a field, none that ends
  // where it began.
  void unisci(std::vector<Scrittura>::iterator inizio);
  // Up to this many runs in order are merged; more are sorted by bucket.
  static constexpr size_t kCorseDaFondere = 4;
  const RecordRegistrato* record_di(size_t indice_piu_uno) const {
    return indice_piu_uno == 0 ? nullptr : &records_[indice_piu_uno - 1];
  }

  // A copy of `campi` the journal keeps, in blocks that never move: no
  // allocation a record. A block's room is taken as it is used, never
  // cleared beforehand.
  std::span<const Estensione> conserva(std::span<const Estensione> campi);
  static constexpr size_t kEstensioniBlocco = 4096;
  struct Blocco {
    size_t n = 0;
    void operator()(Estensione* p) const { std::allocator<Estensione>{}.deallocate(p, n); }
  };

  std::vector<RecordRegistrato> records_;
  std::vector<std::unique_ptr<Estensione[], Blocco>> blocchi_;
  size_t capienza_ = 0;  // the last block's length, and how much of it is taken
  size_t usati_ = 0;
  std::vector<Scrittura> scritture_;
  std::vector<std::string> testi_;
  std::vector<Cancellazione> cancellazioni_;
  bool aperto_ = false;
  // The cells and rows the record open reached, and in which order: each
  // takes the next rank when first reached, and the ranks of the record
  // open are those from `primo_rango_` on (0 is never reached).
  uint32_t primo_rango_ = 1;
  uint32_t prossimo_rango_ = 1;
  static constexpr uint32_t kRangoDaRiprendere = uint32_t{1} << 31;
  std::vector<uint32_t> rango_celle_;
  std::array<uint32_t, kRigheTabella> rango_righe_{};
  // The writes not yet put in order: from `da_ordinare_` on; `in_disordine_`
  // once one came out of order or a field came twice.
  size_t da_ordinare_ = 0;
  uint64_t ultima_chiave_ = 0;
  bool in_disordine_ = false;
  // The open record's runs: whether it has any, and the old values of their
  // cells in the order written, should they have to become single writes.
  bool fasce_ = false;
  std::vector<uint8_t> vecchi_;
  std::vector<Scrittura> tolte_;  // room reused from record to record
  std::vector<Scrittura> ordinate_;
  // Owners: index + 1 of the record, 0 for none.
  std::vector<uint32_t> celle_;
  std::vector<uint16_t> raggiunte_;  // per cell, the fields reached (bits of CampoCella)
  uint16_t campi_aperto_ = 0;        // the cell fields of the record open
  std::array<size_t, kRigheTabella> righe_{};
  // What the pass did to each cell. The cause of a placed one is its
  // owner; a lowered one's, index + 1 of the record, by cell.
  std::vector<Derivazione> derivazioni_;
  std::map<uint32_t, uint32_t> abbassate_;
  uint32_t sezione_ = 0;  // index + 1 in sezioni_ of the section open
  std::vector<Luogo> sezioni_;
  std::vector<Luogo> chiusure_;
  std::vector<Arresto> arresti_;
  bool treno_mai_letto_ = false;
  size_t errore_treno_ = 0;
  CodiceErrore codice_arresto_ = CodiceErrore::nessuno;
  // Where a record's objects are read back from when it closes.
  friend struct Modello;
  const Modello* modello_ = nullptr;
};

// "posta", "abbassata"; "" for nessuna.
const char* nome_derivazione(Giornale::Derivazione d);

// The model the journal's writes make from nothing: the same cells and rows
// as the model it watched (the plan is not journalled).
Modello riproduci(const Giornale& g);

}  // namespace calvetra

#endif  // CALVETRA_MODEL_GIORNALE_H_
