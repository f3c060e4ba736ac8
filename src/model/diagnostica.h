// The diagnostics of one compilation: every recorded error (and, for authors,
// every warning) as a value, in the order the compiler met them.
//
// An error is recorded with one call at the place where it arises, with the
// source and byte offset of the field that raised it and, for the errors that
// locate a place on the route, a position in metres. `codice_errore` and
// `posizione_errore` are what the run state holds: the code of the last error,
// and the last position set (an error that locates nothing leaves the
// position of the one before it standing).
#ifndef CALVETRA_MODEL_DIAGNOSTICA_H_
#define CALVETRA_MODEL_DIAGNOSTICA_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/errori.h"

namespace calvetra {

// Which source a diagnostic points into.
enum class FileSorgente { nessuno, linea, treno };

// A place in one of the sources (or nowhere): the byte where the field, or
// the part of it meant, begins, and where its text ends as the field reader
// read it. A place whose end is not known (`fine` at or before `offset`)
// spans one byte.
struct Luogo {
  FileSorgente file = FileSorgente::nessuno;
  size_t offset = 0;
  size_t fine = 0;

  // The bytes the place spans: one at least, for a caret to stand under.
  size_t lunghezza() const { return fine > offset ? fine - offset : 1; }
  size_t fine_estesa() const { return offset + lunghezza(); }
  // Two places are one when they begin at the same byte of the same source.
  bool operator==(const Luogo& o) const { return file == o.file && offset == o.offset; }
};

enum class Gravita { errore, avviso };

// What a compile records for authors besides the errors: nothing, the
// warnings, or the warnings with the "did you mean" of a passed-over field
// (edit distances to every record name: worth it only when someone reads
// the messages).
enum class ModoAvvisi { spenti, senza_suggerimenti, completi };

// A remark attached to a diagnostic, with a place of its own.
struct Nota {
  std::string testo;
  Luogo luogo;

  bool operator==(const Nota&) const = default;
};

// What a fix promises the compile will read once it is applied: the numbers
// of the fields from the one that then begins at `offset` on (`8, 22, 0`),
// the text of the text field that begins there, or the record that the
// keyword field beginning there names and compiles. `offset` is a place of
// the source with the fix applied.
struct Promessa {
  enum class Tipo : uint8_t { nessuna, numeri, testo, record };
  Tipo tipo = Tipo::nessuna;
  size_t offset = 0;
  std::vector<int64_t> numeri;
  std::string testo;  // the text read, or the record's name

  bool operator==(const Promessa&) const = default;
};

// A fix the diagnostic knows: replace `lunghezza` bytes at `luogo` with
// `testo` (source bytes, Windows-1252). `titolo` says it in a few words
// ("scrivi `stazione`"). A fix is offered only once it has been applied to
// a copy of the source and compiled, and kept its promise: the diagnostic it
// answers gone, no other one new, and `promessa` read.
struct Correzione {
  std::string titolo;
  Luogo luogo;
  size_t lunghezza = 0;
  std::string testo;
  Promessa promessa;
  // The diagnostic's whole message when this fix is the one offered (one of
  // several candidates, each with its own "forse"); "" keeps the message.
  std::string messaggio;

  bool operator==(const Correzione&) const = default;
};

// A claim a warning makes about what the compile will store, to be checked
// against what it did store once it is over: the value kept as the warning
// says, or the compile ending with error 25. `record` is the keyword field of
// the record read; the claim is the tail of the message from `da`.
struct Pretesa {
  enum class Tipo : uint8_t { nessuna, conservato, errore_25 };
  Tipo tipo = Tipo::nessuna;
  Luogo record;
  size_t da = 0;

  bool operator==(const Pretesa&) const = default;
};

// What a diagnostic says the files keep of one field of a record, for the
// check that nothing stored differs unsaid from what was written: the record
// (its keyword field), the field (its index in the record's catalogue entry)
// and what is kept, in the field's unit: a number, a text, or nothing (the
// record's object is not in the files).
struct Dichiarazione {
  Luogo record;
  uint8_t campo = 0;
  bool presente = true;
  int64_t valore = 0;
  std::string testo;

  bool operator==(const Dichiarazione& o) const {
    return record == o.record && campo == o.campo && presente == o.presente && valore == o.valore &&
           testo == o.testo;
  }
};

struct Diagnostico {
  Gravita gravita = Gravita::errore;
  CodiceErrore codice = CodiceErrore::nessuno;  // an error's number
  std::string nome;                             // a warning's short stable name
  std::string messaggio;  // a warning's sentence (an error's comes from its number)
  // Metres: for an error, `posizione_errore` as it stands once the error is
  // recorded; for a warning, the place on the route it concerns, when
  // `con_posizione` (a warning about a record that places nothing has none).
  int32_t posizione = 0;
  bool con_posizione = false;
  Luogo luogo;
  std::vector<Nota> note;
  // The fixes to try, in order: once checked, the first that keeps its
  // promise and no other.
  std::vector<Correzione> correzioni;
  // The message when no fix keeps its promise: what is wrong, without the
  // fix ("" keeps the message as it is).
  std::string senza_correzione;
  // An error that ends the run with nothing written (1250, 1251); it is not
  // the run's `codice_errore`.
  bool fatale = false;
  // A warning about a record met after the compile had stopped: judged on
  // its own, never compiled.
  bool non_compilato = false;
  Pretesa pretesa;
  // What it says the files keep, field by field.
  std::vector<Dichiarazione> dichiarazioni;

  bool operator==(const Diagnostico&) const = default;
};

class Diagnostica {
 public:
  // An error that locates no place on the route.
  void errore(CodiceErrore codice, Luogo luogo);
  // An error at `posizione` metres.
  void errore(CodiceErrore codice, Luogo luogo, int32_t posizione);
  // An error that ends the run with nothing written: recorded for authors
  // with its place, leaving `codice_errore` and `posizione_errore` as they
  // stand.
  // One that has no number of its own (nessuno) says why in `messaggio`.
  void fatale(CodiceErrore codice, Luogo luogo, std::string messaggio = {});
  // Sets `posizione_errore` anew without recording an error: a placing step
  // that finds an error already standing stops there and records its own
  // position with it.
  void riposiziona(int32_t posizione);
  // The same, by the record at `da` whose position it is: with warnings on,
  // the error gets a note there, since its position is no longer its own
  // record's.
  void riposiziona(int32_t posizione, const Luogo& da);
  // A warning for authors; it never changes the code or the position.
  void avviso(std::string nome, std::string messaggio, Luogo luogo, std::vector<Nota> note = {});
  // The warning just recorded concerns the route at `posizione` metres (an
  // error has its position already). Like `correggi`, nothing when warnings
  // are off.
  void colloca(int32_t posizione);
  // The warning just recorded knows the fix `c` (one more candidate, tried
  // after those before it).
  void correggi(Correzione c);
  // The warning just recorded says `messaggio` when none of its fixes holds.
  void senza_correzione(std::string messaggio);
  // The warning just recorded makes the claim `p`.
  void pretende(Pretesa p);
  // The diagnostic just recorded says what the files keep of a field. Like
  // `correggi`, nothing when warnings are off.
  void dichiara(Dichiarazione d);
  // Every diagnostic, to be amended once the compile is over (the claims
  // that did not hold).
  std::vector<Diagnostico>& voci_da_rivedere() { return voci_; }
  // Set before a compile: with `spenti` warnings are not recorded and the
  // reader of a source is not watched for them.
  void imposta(ModoAvvisi modo) { modo_ = modo; }
  bool avvisi_attivi() const { return modo_ != ModoAvvisi::spenti; }
  bool suggerimenti_attivi() const { return modo_ == ModoAvvisi::completi; }
  // A likely cause met before its error (a speed that will not fit its
  // cell, a record short by a value): `nota` goes under the next error of
  // `codice` recorded (of any code for CodiceErrore::nessuno), once, unless
  // `dimentica` drops it first. Nothing when warnings are off.
  void attendi(CodiceErrore codice, Nota nota);
  void dimentica(CodiceErrore codice);
  // Adds a note to the last diagnostic recorded. REQUIRES: one has been recorded.
  void annota(Nota nota);
  // Index + 1 of the last error recorded, 0 for none; and a note for the
  // diagnostic of index + 1 `voce`. REQUIRES: 0 < voce <= voci().size().
  size_t ultimo_errore() const { return ultimo_errore_; }
  void annota_voce(size_t voce, Nota nota) { voci_[voce - 1].note.push_back(std::move(nota)); }
  // Every diagnostic recorded from index `da` on concerns records never compiled.
  void segna_non_compilati(size_t da);
  // Adds `nota` to every error of code `codice` that does not carry it yet.
  void annota_errori(CodiceErrore codice, const Nota& nota);
  // Adds `nota` to every warning named `nome` that does not carry it yet.
  void annota_avvisi(std::string_view nome, const Nota& nota);

  CodiceErrore codice_errore() const { return codice_errore_; }
  bool con_errore() const { return codice_errore_ != CodiceErrore::nessuno; }
  int32_t posizione_errore() const { return posizione_errore_; }

  // Every diagnostic, oldest first.
  const std::vector<Diagnostico>& voci() const { return voci_; }
  // The errors alone, oldest first.
  std::vector<Diagnostico> errori() const;
  bool ha_avvisi() const;

 private:
  struct Attesa {
    CodiceErrore codice;
    Nota nota;
  };
  void aggiungi(Diagnostico d);
  static constexpr size_t kVociIniziali = 1024;
  std::vector<Diagnostico> voci_;
  std::vector<Attesa> attese_;
  size_t ultimo_errore_ = 0;  // index + 1 of the last error; 0 for none
  CodiceErrore codice_errore_ = CodiceErrore::nessuno;
  int32_t posizione_errore_ = 0;
  ModoAvvisi modo_ = ModoAvvisi::completi;
};

}  // namespace calvetra

#endif  // CALVETRA_MODEL_DIAGNOSTICA_H_
