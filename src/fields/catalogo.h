// What a record of a source is, written once: its keyword test, its fields in
// order (name, how each is read, unit, the values allowed, where it goes),
// what it does, and what the authors' warnings watch across records of its
// kind. Each source has a catalogue of these (line/catalogo_linea.h,
// train/catalogo_treno.h): the parser loops, the warnings and their "did you
// mean", and the record tables of doc/formats.md all read them.
#ifndef CALVETRA_FIELDS_CATALOGO_H_
#define CALVETRA_FIELDS_CATALOGO_H_

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fields/lettore_campi.h"

namespace calvetra {

struct Modello;
class Giornale;

// How a field is read: a number into a target of 8 bits unsigned, 16 or 32
// bits signed (a value that does not fit is an unexpected failure), or text.
enum class Formato : uint8_t { u8, i16, i32, testo };

// "8 bit", "16 bit", "32 bit", "testo".
const char* nome_formato(Formato f);

// The values a number field keeps as the author wrote them. A value outside
// is read all the same, as it always was: the authors are warned.
struct Limiti {
  int64_t minimo = INT64_MIN;
  int64_t massimo = INT64_MAX;

  bool contiene(int64_t v) const { return v >= minimo && v <= massimo; }
  bool limitato() const { return minimo != INT64_MIN || massimo != INT64_MAX; }
};

// What the scenario keeps of a value as read, back in the field's unit (a
// speed in steps of 5 km/h, a gradient in 8 bits), or nullopt when the value
// does not fit where it goes and the compile ends with error 25 there.
using Conserva = std::optional<int64_t> (*)(int64_t);

// What the cells keep of a record's values taken together, where it differs
// from what was written (a board's two speeds share one number, a signal's
// class and time go through its codes): one sentence a value, at its field
// (the index into the record's fields). Judged with the codecs the handler
// stores with, so what a warning says is kept is what is kept.
// What such a sentence says a field keeps (in the field's unit; `presente`
// false: nothing of it), for the check that nothing differs unsaid.
struct ValoreDichiarato {
  size_t campo = 0;
  bool presente = true;
  int64_t valore = 0;
};
struct Conservato {
  size_t campo = 0;
  std::string messaggio;
  std::vector<ValoreDichiarato> dichiarati = {};
};
using ConservaRecord = std::vector<Conservato> (*)(std::span<const int64_t> valori);

// Where a field's value goes in the scenario: the typed column the tools
// read (the hover's filled stretch, the documentation's "stored" column), so
// that no behaviour hangs on the wording of a field's explanation.
enum class Dove : uint8_t {
  nessuno,   // nowhere by itself: it chooses or adds to what other fields store
  celle_da,  // the position a stretch begins at: the cells from p / 50 on
  cella,     // the cell of the record's object (p / 50 + 1), or one of its fields
  riga,      // a field of a table row
  piano,     // the per-metre plan of the route
};

// How a value is turned into what is stored.
enum class Modo : uint8_t {
  come_letto,     // the number as read
  passi_5_kmh,    // km/h in steps of 5 km/h: the value / 5
  per_mille_100,  // per mille + 100 in 8 bits
  basso_8,        // its low 8 bits
  bit_16,         // 16 bits
  con_altri,      // packed into one number with other fields
  secondi,        // seconds after midnight, with the other parts of the time
};

struct Deposito {
  Dove dove = Dove::nessuno;
  std::string_view campo;  // the system's name of the cell or row field: `pendenza`, `cod_a`
  Modo modo = Modo::come_letto;
  int riga = -1;  // the table row, for a header value
};

// A place with no field name, stored as read.
constexpr Deposito in(Dove d) { return {d, {}, Modo::come_letto, -1}; }

// The column in the author's words: "cella `pendenza`, per mille + 100 in 8 bit".
std::string testo_deposito(const Deposito& d);

// One field of a record: its system name (`sx`, `rapp`, `cod_a`, as the
// files and the documentation name it) and what an author reads about it.
struct CampoRecord {
  std::string_view nome;
  std::string_view etichetta;  // Italian, in route terms: "velocita' massima"
  Formato formato = Formato::i32;
  std::string_view unita;        // "m", "km/h", ...; "" for a plain number
  std::string_view intervallo;   // the values that make sense, in words; "" for any
  Deposito deposito{};           // where the value goes and how
  std::string_view spiegazione;  // one line: what it does on the route
  Limiti limiti{};               // the same values as numbers, where they are bounded
  Conserva conserva = nullptr;   // null: kept as read
};

// "velocita' massima": how messages name a field to an author, in route
// terms (the system's name, `speed`, stays with hover and the documentation).
std::string nome_campo(const CampoRecord& c);

// ---- what the files keep of a record ----

// One field of a compiled record as the files keep it once the compile is
// over, back in the field's unit, and where it is kept. A field that no cell
// or row field keeps by itself (a position that only picks the cell, a
// length, the plan) is not compared.
struct Riletto {
  bool confrontato = false;  // a stored field, to compare with the value as read
  bool presente = false;     // false: the files keep nothing of it (its object is gone)
  int64_t valore = 0;        // a number field's value
  std::string testo;         // a text field's
  int64_t cella = -1;        // the cell that keeps it, or
  int64_t riga = -1;         // the table row
};

// What reading a record back is given: the finished model, the compile's
// journal, the record (its index in the journal) and its values as read, in
// catalogue order (0 for a text, as the journal keeps them).
struct DaRileggere {
  const Modello& m;
  const Giornale& g;
  size_t record = 0;
  std::span<const int64_t> letti;
  int64_t riga = -1;  // the table row the record wrote, -1 for none
  // The compiled record of the same kind and source before it, SIZE_MAX for none.
  size_t precedente = SIZE_MAX;
};
// Fills one Riletto a field; a record whose own rules give a field another
// value by design (a mountain close to the one before becomes kind 3, the
// first station drops its options) gives back the value as read there.
using RileggiRecord = void (*)(const DaRileggere& r, std::span<Riletto> campi);
// Why the record itself keeps field `campo` as `conservato` rather than as
// read, in a few words from the codec it stores with; "" when the field's
// storage says it well enough.
using PercheRecord = std::string (*)(const DaRileggere& r, size_t campo, const Riletto& conservato);

enum class Maiuscole { ignorate, contano };

// The keyword test of a record: the keyword field contains every word of
// `parole` (the keywords proper) and, when there is one, the `qualificatore`:
// a number word or a plural that tells records of one family apart and
// would match far too much on its own.
struct ProvaChiave {
  std::array<std::string_view, 2> parole{};
  std::string_view qualificatore;
  Maiuscole maiuscole = Maiuscole::ignorate;
  // Every letter its words hold (lettere_di): a field that lacks one of
  // them does not pass, and is told so at once.
  uint32_t lettere = 0;

  bool passa(std::string_view campo) const { return passa_con(maiuscole, campo); }
  // Asked of every keyword field for every record of its source, with the
  // field's lettere_di worked out once for them all.
  bool passa(std::string_view campo, uint32_t lettere_campo) const {
    return (lettere & ~lettere_campo) == 0 && passa(campo);
  }
  // The same test with letter case ignored throughout.
  bool passa_senza_maiuscole(std::string_view campo) const {
    return passa_con(Maiuscole::ignorate, campo);
  }

 private:
  bool contiene_con(Maiuscole m, std::string_view campo, std::string_view parola) const {
    return m == Maiuscole::contano ? contiene_esatto(campo, parola) : contiene(campo, parola);
  }
  bool passa_con(Maiuscole m, std::string_view campo) const {
    for (std::string_view parola : parole) {
      if (!parola.empty() && !contiene_con(m, campo, parola)) return false;
    }
    return qualificatore.empty() || contiene_con(m, campo, qualificatore);
  }
};

// Tests letter case ignored: the field contains `a` (and `b`).
constexpr ProvaChiave contiene_parole(std::string_view a, std::string_view b = {}) {
  return ProvaChiave{{a, b}, {}, Maiuscole::ignorate, lettere_di(a) | lettere_di(b)};
}
// A case-sensitive test of a keyword and the qualifier that picks one record
// of its family.
constexpr ProvaChiave esatta(std::string_view parola, std::string_view qualificatore) {
  return ProvaChiave{{parola, {}},
                     qualificatore,
                     Maiuscole::contano,
                     lettere_di(parola) | lettere_di(qualificatore)};
}

// What the authors' warnings watch across the records of one kind.
enum class Controllo {
  nessuno,
  una_volta,              // it stores a value once: a second record overwrites the first
  in_ordine,              // positions ascending
  senza_sovrapposizione,  // stretches that do not overlap
};

// When a record's values reach the model.
enum class Conservazione : uint8_t {
  propria,  // while the record is read: its own cells and rows
  tratto,   // a stretch: its value fills the cells from its own on when the
            // next record of its kind is read, or the phase closes
};

struct DescrizioneRecord {
  std::string_view nome;  // as authors write it: "pendenza", "lunghezza percorso"
  ProvaChiave prova;
  std::span<const CampoRecord> campi;
  std::string_view effetto;  // what it does to the scenario, for the documentation
  Controllo controllo = Controllo::nessuno;
  std::string_view frase;  // how a warning names one: "la pendenza", "il record `sabbia`"
  bool suggerito = true;   // offered by "did you mean" (one name of a family is enough)
  // When given, what a stored record keeps of its values (one a field, in
  // catalogue order; 0 for a text).
  ConservaRecord conserva = nullptr;
  Conservazione conservazione = Conservazione::propria;
  // The keyword field a new record is written with, when the name alone
  // would not compile (a curve needs its class, a repetition its number of
  // codes); "" for the name itself.
  std::string_view scritta = {};
  // How the files' values give the record back, where the catalogue's
  // storage column alone does not tell it (a header row or a stretch's cell
  // are read back from it); and why its own storing keeps a field otherwise.
  RileggiRecord rileggi = nullptr;
  PercheRecord perche = nullptr;

  std::string_view parola_nuova() const { return scritta.empty() ? nome : scritta; }
};

// How a reading takes field `c`.
inline ModoCampo modo_campo(const CampoRecord& c) {
  return c.formato == Formato::testo ? ModoCampo::testo : ModoCampo::numero;
}

// A record of kind `d` as a reading takes it from its keyword field at
// `chiave`: the keyword field (a text), then each of the record's fields as
// its catalogue entry reads it; fewer when the text ends first. What a tool
// counts, places or rewrites in a record is these, never a split of its own.
std::vector<Campo> campi_del_record(std::string_view testo, size_t chiave,
                                    const DescrizioneRecord& d);
// The same after the field `prima`, which comes first: the keyword field, or
// the last field of the record read before this one from the same keyword
// (a keyword that names several records).
std::vector<Campo> campi_del_record(std::string_view testo, const Campo& prima,
                                    const DescrizioneRecord& d);

// Some records of one catalogue, kept without an allocation: the warnings
// ask for them at every keyword field.
class ElencoRecord {
 public:
  // The most records a catalogue holds.
  static constexpr size_t kMassimo = 16;

  // REQUIRES: fewer than kMassimo records so far.
  void push_back(const DescrizioneRecord* r) { v_[n_++] = r; }
  bool empty() const { return n_ == 0; }
  const DescrizioneRecord* front() const { return v_[0]; }
  const DescrizioneRecord* const* begin() const { return v_.data(); }
  const DescrizioneRecord* const* end() const { return v_.data() + n_; }

 private:
  std::array<const DescrizioneRecord*, kMassimo> v_{};
  size_t n_ = 0;
};

// The records of a catalogue that a keyword field names.
struct Riconosciuti {
  ElencoRecord attivi;
  ElencoRecord inattivi;  // named, but not read in this reading
  bool nessuno() const { return attivi.empty() && inattivi.empty(); }
};

// The words a source's records are known by, for the warnings: the names
// that "did you mean" offers and the keywords that a field read as a value
// may hold.
class Lessico {
 public:
  // The records of a source in the order its parser tests them.
  explicit Lessico(const std::vector<const DescrizioneRecord*>& records);

  // The names offered, in order.
  const std::vector<std::string_view>& nomi() const { return nomi_; }
  // The keywords proper, each once; a keyword that holds another one is left
  // out (`indicatori_v` holds `indicat`), so the shorter is the one named.
  const std::vector<std::string_view>& parole() const { return parole_; }

  // The first keyword that `campo` contains, letter case ignored; empty for none.
  std::string_view parola_contenuta(std::string_view campo) const;
  // The name closest to some word of `campo`, or empty when none is close: a
  // word matches a name's word when a few edits turn it (or its start, as long
  // as that word) into it, or it into the start of that word. Short words like
  // "uno" are not compared.
  std::string_view suggerimento(std::string_view campo) const;

  // The keyword fields a misspelt `campo` may have meant, in the order to be
  // tried. For each catalogue keyword, the field with the fewest edits that
  // make it pass the record's keyword test, the rest of the field kept: first
  // those that only add letters (a keyword with a letter missing is
  // completed where it stands: `curvs4` is `curvas4`, a left curve of class
  // 4), closest first; then the name "did you mean" finds and the keyword a
  // new record of that name is written with (`vettxrx`: `numero vetture`);
  // then every other keyword by its edits. At most `quanti`.
  struct Candidato {
    std::string testo;
    const DescrizioneRecord* record = nullptr;
  };
  std::vector<Candidato> candidati(std::string_view campo, size_t quanti) const;

 private:
  // A word of a name (five letters or more: shorter ones are never suggested
  // from) and the bytes it is made of, in either case.
  struct VoceNome {
    std::string_view nome;
    std::string_view voce;
    std::bitset<256> lettere;
  };

  std::vector<const DescrizioneRecord*> records_;
  std::vector<std::string_view> nomi_;
  std::vector<std::string_view> parole_;
  std::vector<VoceNome> voci_;
};

// The record tables of doc/formats.md for these records: one of the records
// (keyword test, values, what it does) and one of their fields (how each is
// read, unit, values allowed, where it goes), in Markdown.
std::string tabelle_record(const std::vector<const DescrizioneRecord*>& records);

}  // namespace calvetra

#endif  // CALVETRA_FIELDS_CATALOGO_H_
