// What the stored values of a scenario mean, decoded in one place: the
// header rows, a cell's speed and gradient bytes, the kind of a cell and the
// values of its object, the use of a table row, the position an object was
// given in its source, and the fields of the record that placed it (for the
// author tools, which name them as the record catalogues do). The compiler
// encodes with the same functions, so a reading can never drift from a
// writing. doc/formats.md, "The binary files", says the same in prose.
#ifndef CALVETRA_MODEL_SIGNIFICATO_H_
#define CALVETRA_MODEL_SIGNIFICATO_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/costanti.h"
#include "model/giornale.h"
#include "model/numeri.h"
#include "model/records.h"

namespace calvetra {

// ---- positions and cells ----

// The last cell n of a route of length L: (L + 7000) / 50, rounded half to
// even; the cells run from 0 to n and the plan from metre 0 to L + 7000.
constexpr int64_t ultima_cella_per(int64_t lunghezza) {
  return arrotonda_div(lunghezza + kRincorsa, kMetriCella);
}

// The cell of a point object (signal, slowdown cell, board, sign) at p
// metres: p / 50 + 1, rounded half to even.
constexpr int64_t cella_di_oggetto(int64_t p) {
  return arrotonda_div(p + kMetriCella, kMetriCella);
}
// The first cell of a stretch (gradient, speed, adhesion, mountain) and the
// cell of a code reduction at p metres: p / 50, rounded half to even.
constexpr int64_t cella_di_tratto(int64_t p) { return arrotonda_div(p, kMetriCella); }

// The position, in metres, that the source gave the object in cell c: point
// objects sit in the cell after their position, a stop cell in the cell
// before the end of its station zone, anything else in the cell of its
// position.
int64_t posizione_oggetto(uint8_t tipo, int64_t c);

// ---- the byte fields of a cell ----

// Speed limits are kept as counts of 5 km/h.
inline constexpr int32_t kPassoVelocita = 5;
// km/h as a cell stores it: divided by 5 and rounded half to even; a result
// outside 0 to 255 is an unexpected failure.
inline uint8_t velocita_da_kmh(int64_t kmh) {
  return in_campo<uint8_t>(arrotonda_div(kmh, kPassoVelocita), "velocita");
}
constexpr int32_t kmh_da_velocita(uint8_t velocita) { return velocita * kPassoVelocita; }

// Gradients are kept as the gradient in per mille + 100, low 8 bits. The
// simulator reads byte 0 as -100 per mille, whether a record wrote it or no
// gradient reached the cell: only the compile's own account of its writes
// can tell the two apart, so a tool that has it says so beside the value.
inline constexpr int32_t kScartoPendenza = 100;
constexpr uint8_t pendenza_da_per_mille(int64_t per_mille) {
  return basso_8(per_mille + kScartoPendenza);
}
constexpr int32_t per_mille_da_pendenza(uint8_t pendenza) {
  return int32_t{pendenza} - kScartoPendenza;
}
// A gradient byte in words, "-7 per mille". `raggiunta`, given by a tool
// that holds the compile's account, says whether a gradient reached the
// cell: a byte 0 that none reached is said to be so.
std::string testo_pendenza(uint8_t pendenza, std::optional<bool> raggiunta = std::nullopt);

// A position in metres as railways write it: 27250 is "27+250", -20 is
// "-0+020".
std::string testo_progressiva(int64_t metri);

// What the cells keep of a value as written, back in its unit, for the
// authors' warnings: a speed in steps of 5 km/h (nullopt past 1277 km/h: the
// compile fails there), a gradient in 8 bits (160 per mille is kept as -96),
// a value of which the low 8 bits are kept, and a value that must fit 16
// bits. The compiler itself stores through the codecs above.
std::optional<int64_t> kmh_conservati(int64_t kmh);
std::optional<int64_t> per_mille_conservati(int64_t per_mille);
std::optional<int64_t> basso_8_conservato(int64_t v);
std::optional<int64_t> in_16_bit(int64_t v);
// A speed in steps of 5 km/h, with no bound (a board's left speed: the bound
// is on the packed value).
std::optional<int64_t> kmh_a_passi(int64_t kmh);

// A speed board value: the left and right speeds as two-digit counts of
// 5 km/h, 20 vs + vd / 5 rounded. The two halves share one number, so a left
// speed off the 5 km/h step, or a right one of 500 and more, changes the
// other half: what the board shows is the pair read back from the value.
struct CoppiaVelocita {
  int32_t sinistra_kmh = 0;
  int32_t destra_kmh = 0;
  bool operator==(const CoppiaVelocita&) const = default;
};
int64_t valore_coppia(int64_t vs, int64_t vd);
// The value a cell keeps; nullopt when it does not fit 16 bits (the compile
// fails there).
std::optional<int16_t> codifica_coppia(int64_t vs, int64_t vd);
CoppiaVelocita coppia_da_valore(int16_t valore);

// ---- signals ----

// The values of a `segnale` record that its cells keep.
struct ValoriSegnale {
  int32_t sx = 0;
  int32_t s1 = 0;
  int32_t s2 = 0;
  int32_t s3 = 0;
  int32_t rapp = 0;
  int32_t dx = 0;
  int32_t d1 = 0;
  int32_t d2 = 0;
  int32_t d3 = 0;
  int32_t tempo = 0;
  bool operator==(const ValoriSegnale&) const = default;
};
// What a signal's own cell keeps: four packed codes, low 16 bits each, and
// the time code.
struct CodiciSegnale {
  int16_t a = 0;  // 10 s1 + d1
  int16_t b = 0;  // 10 s2 + d2
  int16_t c = 0;  // 10 s3 + d3
  int16_t d = 0;  // 10 rapp + 3 sx + dx
  uint8_t tempo = 0;
  bool operator==(const CodiciSegnale&) const = default;
};
// A time of 1 to 100 is raised to this.
inline constexpr int32_t kTempoMinimo = 101;
// The time as the signal keeps it before its low 8 bits are taken: raised
// to 101 when it is 1 to 100.
constexpr int64_t tempo_alzato(int64_t tempo) {
  return tempo >= 1 && tempo < kTempoMinimo ? kTempoMinimo : tempo;
}
// Only a signal with sx 2 keeps its time.
inline constexpr int32_t kSxConTempo = 2;
// The classes of a signal's s-group that the simulator knows.
constexpr bool sx_conosciuto(int64_t sx) { return sx == 1 || sx == 2; }
// The cab-signal class 3 sx + dx, which its approach codes carry.
constexpr int64_t classe_cabina(int64_t sx, int64_t dx) { return 3 * sx + dx; }
CodiciSegnale codifica_segnale(const ValoriSegnale& s);

// A packed code read back as the simulator reads it, tens and units: the
// units are 0 to 9 whatever the sign, so a negative `rapp` reads back whole.
struct Cifre {
  int32_t decine = 0;
  int32_t unita = 0;
  bool operator==(const Cifre&) const = default;
};
constexpr Cifre cifre(int16_t codice) {
  const int32_t u = ((codice % 10) + 10) % 10;
  return {(codice - u) / 10, u};
}
// The fourth code as rapp and class: the class is its units digit, so a
// class of 10 and more (an sx of 3 with a dx, or any larger sx) reads as
// something else; `conosciuta` says whether the class is one of an sx of 1 or
// 2 with a dx of 0 to 2, as the record wrote it.
struct CodiceCabina {
  int32_t rapp = 0;
  int32_t classe = 0;
  bool conosciuta = false;
  bool operator==(const CodiceCabina&) const = default;
};
CodiceCabina codice_cabina(int16_t valore_d);
// The record's values given back from the codes, where the codes tell them:
// nullopt for a class that is not one of an sx of 1 or 2.
std::optional<ValoriSegnale> decodifica_segnale(const CodiciSegnale& c);

// The name of a cell kind ("segnale", "fermata", ...); nullptr for a kind
// the compiler never writes.
const char* nome_tipo_cella(uint8_t tipo);

// What a cell holds beyond its kind, a value each, in the words of dump.
struct ValoreNominato {
  std::string nome;
  std::string valore;
  bool operator==(const ValoreNominato&) const = default;
};
std::vector<ValoreNominato> significato_cella(const tratto& t);

// The table row a sign or stop cell points at; nothing for any other cell.
std::optional<int32_t> riga_puntata(const tratto& t);

// A cell that holds an object or any value: free cells with four zero
// values are nothing to show.
bool cella_con_contenuto(const tratto& t);

// A run of cells with the same value in one byte field; for the gradient,
// when the compile's account is at hand, whether a gradient reached them.
struct Sequenza {
  int64_t da = 0;
  int64_t a = 0;
  uint8_t valore = 0;
  std::optional<bool> raggiunta;
  bool operator==(const Sequenza&) const = default;
};
using CampoByte = uint8_t tratto::*;
// With the journal `g` of the compile that made `tratti`, the gradient's runs
// are also split where the cells a gradient reached meet those none did.
std::vector<Sequenza> sequenze(const std::vector<tratto>& tratti, CampoByte campo,
                               const Giornale* g = nullptr);

struct CampoNominato {
  const char* nome;
  CampoByte campo;
};
// tempo, preavviso, montagna, velocita, pendenza, aderenza: the byte fields
// in file order.
const std::array<CampoNominato, 6>& campi_byte();

// A slowdown as its cells show it: from the start cell to the end cell after
// it (the start itself when a slowdown is shorter than a cell), at v km/h.
struct TrattoRallentato {
  int64_t cella_inizio = 0;
  int64_t cella_fine = 0;
  int32_t kmh = 0;
  int64_t da() const { return posizione_oggetto(kInizioRallentamento, cella_inizio); }
  int64_t a() const { return posizione_oggetto(kFineRallentamento, cella_fine); }
  bool operator==(const TrattoRallentato&) const = default;
};
std::vector<TrattoRallentato> rallentamenti(const std::vector<tratto>& tratti);

// The cab-code pass: code reductions of this speed, one every this many
// cells from a slowdown's start to the next end cell for a slowdown below
// the speed that takes none.
inline constexpr int16_t kKmhAbbattimento = 180;
inline constexpr int kCelleTraAbbattimenti = 8;
inline constexpr int16_t kKmhSenzaAbbattimentiPeriodici = 110;

// ---- what the source records said ----

// One field of a source record as the stored values give it back, by its
// name in the record catalogue (`campo`); the unit is the catalogue's too.
struct CampoLetto {
  std::string_view campo;
  int64_t valore = 0;
  bool operator==(const CampoLetto&) const = default;
};
// The record that places an object, by its catalogue name, with the fields
// that the stored values give back, in catalogue order. A field the files do
// not keep (a station's name, a sign's text: in their row) is left out, and
// so is one that cannot be told again (a slowdown's f_ta). `record` is
// nullptr for what no record places alone.
struct RecordLetto {
  const char* record = nullptr;
  std::vector<CampoLetto> campi;
  bool operator==(const RecordLetto&) const = default;
};
// The record behind the object in cell c: a signal's sx, s1 to s3, rapp, dx,
// d1 to d3 and tempo; a slowdown's x, v, l, f_tt and d_v at its start cell
// (v and d_v at its other cells); a board's speeds and stripes; a code
// reduction's value; a mountain marker's kind. A stop cell is told by its
// station row (`record_della_stazione`), a sign by its text row.
RecordLetto record_della_cella(const std::vector<tratto>& tratti, size_t c);
// A station row as its `stazione` record: position, type, length (given back
// from the zone), the option and code columns and the time as hours,
// minutes and seconds.
RecordLetto record_della_stazione(const voce& v);

// The approach code that a signal of cab class k (3 sx + dx) writes n-th
// nearest (1 to 4, every 100 m) before it: 10 k + n, low 8 bits.
constexpr uint8_t codice_preavviso(int64_t classe, int64_t n) { return basso_8(classe * 10 + n); }
// A station's stop writes the codes of the class 8 (81 to 84, 81 nearest).
inline constexpr int32_t kClasseFermata = 8;
constexpr uint8_t codice_preavviso_fermata(int64_t n) {
  return codice_preavviso(kClasseFermata, n);
}
// An approach code as the simulator reads it: the class and how near (1 to
// 4). The byte is shown as stored beside it: a class of 26 and more, or an
// sx outside 1 and 2, keeps only what 8 bits hold.
struct Preavviso {
  int32_t classe = 0;
  int32_t vicinanza = 0;
  bool operator==(const Preavviso&) const = default;
};
constexpr Preavviso preavviso_da_codice(uint8_t codice) { return {codice / 10, codice % 10}; }

// ---- the table ----

enum class UsoRiga { vuota, stazione, cartello, intestazione };

bool voce_vuota(const voce& v);
// Rows 81 to 86 are header rows; a row that a sign cell points at is a sign
// text; any other row with content is a station.
std::array<UsoRiga, kRigheTabella> usi_righe(const Tabella& tabella,
                                             const std::vector<tratto>& tratti);
const char* nome_uso(UsoRiga u);

// One field of a row, as its name and its value already formatted.
struct CampoVoce {
  const char* nome;
  std::string testo;  // a number, or the Windows-1252 text of `nome`
  bool stringa = false;
};
// The fields of a row in file order, by the names of the table file.
std::vector<CampoVoce> campi_voce(const voce& v);

// Stations of this type and above mark no cell: no stop, no approach codes.
inline constexpr int kTipoStazioneSenzaCelle = 25;
constexpr bool stazione_con_celle(int tipo) { return tipo < kTipoStazioneSenzaCelle; }

// A station's zone by its type: an ordinary station reaches half its length
// each side (and 50 m more ahead with `opz_d`), types 5 and 6 the whole
// length back and 150 m ahead, types 7 and 8 the whole length both ways.
struct ZonaStazione {
  int64_t inizio = 0;
  int64_t fine = 0;
  bool operator==(const ZonaStazione&) const = default;
};
constexpr bool zona_intera(int64_t tipo) { return tipo >= 5 && tipo <= 8; }
ZonaStazione zona_stazione(int64_t tipo, int64_t posizione, int64_t lunghezza, bool opz_d);
// The length given back from the stored zone start. REQUIRES: the length was
// even (the record's is a multiple of 100).
int64_t lunghezza_da_zona(int64_t tipo, int64_t posizione, int64_t inizio);
// The stop cell of a station whose zone ends at `fine`, and the cell of the
// n-th approach code before it (1 to 4, 1 nearest).
constexpr int64_t cella_fermata(int64_t fine) { return cella_di_tratto(fine) - 1; }
constexpr int64_t cella_preavviso_fermata(int64_t fine, int64_t n) {
  return cella_fermata(fine) - n;
}

// A station's time: hours, minutes and seconds as seconds after midnight.
// 0 is a station without a time (a place passed without stopping): the
// simulator shows none.
struct OraStazione {
  int32_t ore = 0;
  int32_t minuti = 0;
  int32_t secondi = 0;
  bool operator==(const OraStazione&) const = default;
};
constexpr int64_t orario_stazione(int64_t ore, int64_t minuti, int64_t secondi) {
  return (ore * 60 + minuti) * 60 + secondi;
}
std::optional<OraStazione> ora_stazione(int32_t orario);
// "07:53:30"; "" for a station without a time.
std::string testo_ora_stazione(int32_t orario);

// ---- cell 1's header slots ----

// Cell 1 keeps the format mark in `valore_a` and the integrity code og in
// `valore_b` besides its own object, whose own values there must be 0 (the
// compile fails otherwise): those two values are never the object's.
struct SlotCella {
  int16_t marchio = 0;
  int16_t og = 0;
  bool operator==(const SlotCella&) const = default;
};
void scrivi_slot_cella(tratto& cella, const SlotCella& s);
// The same into cell c of the model, through its writes.
void scrivi_slot_cella(Modello& m, int64_t c, const SlotCella& s);
SlotCella slot_cella(const tratto& cella);
// The object of cell c as its record left it: cell 1 without its header slots.
tratto oggetto_della_cella(const tratto& t, size_t c);

// What a header row holds, in a few words; "" for any other row.
const char* ruolo_intestazione(size_t riga);

// The header rows 81 to 86 by name.
class Intestazione {
 public:
  explicit Intestazione(const Tabella& t) : t_(t) {}

  // A kilometre-progressive definition: rows 81 to 83, largest first number
  // first once ordered.
  struct Progressiva {
    int32_t primo = 0;
    int32_t secondo = 0;
    int32_t flag = 0;
  };
  Progressiva progressiva(size_t i) const;  // i from 0 (row 81) to 2 (row 83)

  int32_t massa_frenata() const { return riga(kRigaPercorso).inizio; }
  int32_t lunghezza_percorso() const { return riga(kRigaPercorso).fine; }
  int32_t vetture() const { return riga(kRigaPercorso).posizione; }

  int32_t sfondo_uno() const { return riga(kRigaLinea).inizio; }
  int32_t sfondo_due() const { return riga(kRigaLinea).posizione; }
  int32_t sfondo_tre() const { return riga(kRigaLinea).fine; }
  const std::string& nome_linea() const { return riga(kRigaLinea).nome; }
  int16_t marchio() const { return riga(kRigaLinea).cod_a; }
  int32_t codice_st() const { return riga(kRigaLinea).orario; }

  int32_t ripetizione_inizio() const { return riga(kRigaTreni).inizio; }
  int32_t ripetizione_fine() const { return riga(kRigaTreni).fine; }
  int32_t codici_ripetizione() const { return riga(kRigaTreni).posizione; }
  const std::string& nome_treni() const { return riga(kRigaTreni).nome; }
  int16_t sabbia() const { return riga(kRigaTreni).cod_a; }
  // The starting clock: hours, minutes, seconds.
  std::array<int16_t, 3> orologio() const {
    const voce& r = riga(kRigaTreni);
    return {r.cod_c, r.cod_d, r.cod_e};
  }

 private:
  const voce& riga(size_t r) const { return t_[r]; }
  const Tabella& t_;
};

// "07:53:30" from seconds after midnight; "" for a negative time.
std::string ora_del_giorno(int32_t secondi);

// The position of the object in cell c as its source gave it: a stop cell
// by the position of its station's row, any other by the cell.
int64_t posizione_della_cella(const std::vector<tratto>& tratti, const Tabella& tabella, size_t c);

}  // namespace calvetra

#endif  // CALVETRA_MODEL_SIGNIFICATO_H_
