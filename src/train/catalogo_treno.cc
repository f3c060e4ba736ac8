#include "train/catalogo_treno.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/significato.h"

namespace calvetra {

namespace {

std::string n(int64_t v) { return std::to_string(v); }

// A signal's class and time go through its codes: an sx other than 1 or 2
// gives another class and other approach codes, and the time is raised or
// cut where only sx 2 keeps it.
std::vector<Conservato> segnale_conservato(std::span<const int64_t> v) {
  std::vector<Conservato> c;
  if (v.size() < 11) return c;
  const auto i32 = [&](size_t k) { return static_cast<int32_t>(v[k]); };
  const int64_t sx = v[1];
  const int64_t rapp = v[5];
  const int64_t dx = v[6];
  const int64_t tempo = v[10];
  const CodiciSegnale k = codifica_segnale(
      {i32(1), i32(2), i32(3), i32(4), i32(5), i32(6), i32(7), i32(8), i32(9), i32(10)});
  if (!sx_conosciuto(sx)) {
    const int64_t classe = classe_cabina(sx, dx);
    const CodiceCabina letto = codice_cabina(k.d);
    std::string m = "il campo `sx` vale " + n(sx) +
                    ", fuori da 1 e 2: il quarto codice (10 rapp + 3 sx + dx) sara' " + n(k.d);
    if (letto.rapp != rapp || letto.classe != classe) {
      m += ", letto come `rapp` " + n(letto.rapp) + " e classe " + n(letto.classe);
    }
    m += ", e i codici di preavviso prima del segnale " + n(codice_preavviso(classe, 1)) + "-" +
         n(codice_preavviso(classe, 4));
    c.push_back({1, m});
  }
  if (sx == kSxConTempo && k.tempo != tempo) {
    const int64_t alzato = tempo_alzato(tempo);
    std::string m = "il campo `tempo` vale " + n(tempo) + ": sara' conservato come " + n(k.tempo);
    if (alzato != tempo) m += " (un tempo da 1 a 100 e' alzato a 101)";
    if (k.tempo != alzato) m += " (la cella ne tiene solo gli 8 bit bassi, da 0 a 255)";
    c.push_back({10, m});
  } else if (sx != kSxConTempo && tempo != 0) {
    c.push_back(
        {10, "il campo `tempo` vale " + n(tempo) +
                 ", ma solo un segnale con `sx` 2 conserva il suo tempo: la cella tiene 0"});
  }
  return c;
}

// A slowdown whose end falls in its start's cell (or before it) has no end
// cell: the start wins the cell, and the cab-code pass runs on past it.
std::vector<Conservato> rallentamento_conservato(std::span<const int64_t> v) {
  if (v.size() < 6) return {};
  const int64_t x = v[0];
  const int64_t velocita = v[1];
  const int64_t l = v[2];
  const int64_t inizio = cella_di_oggetto(x);
  const int64_t fine = cella_di_oggetto(x + l);
  if (fine > inizio) return {};
  std::string m = "il campo `l` vale " + n(l) + " m: ";
  m += fine == inizio
           ? "la fine cade nella cella dell'inizio (" + n(inizio) + "), che tiene l'inizio"
           : "la fine (cella " + n(fine) + ") cade prima dell'inizio (cella " + n(inizio) + ")";
  m += ", e il rallentamento non ha una cella di fine dopo il suo inizio";
  if (velocita < kKmhSenzaAbbattimentiPeriodici) {
    m += ": il passo dei codici mettera' un abbattimento a " + n(kKmhAbbattimento) + " km/h ogni " +
         n(kCelleTraAbbattimenti * kMetriCella) +
         " m dall'inizio fino alla prossima cella di fine di un rallentamento, o fino alla fine "
         "del percorso";
  }
  return {{2, m}};
}

// The position bounds of the entries.
constexpr std::string_view kNelPercorso = "(p + 100) / 50 at most n, else error 15";

// The bounds of the values kept as written.
constexpr Limiti kNonNegativo{0, INT64_MAX};
constexpr Limiti kOre{0, 23};
constexpr Limiti kSessanta{0, 59};
constexpr Limiti kCifra{0, 9};
constexpr Limiti k16Bit{INT16_MIN, INT16_MAX};

constexpr CampoRecord kMassa[] = {{"percentage", Formato::i32, "%", "", "row 84 `inizio`"}};
constexpr CampoRecord kVetture[] = {
    {"coaches", Formato::i32, "", "0 or more", "row 84 `posizione`", kNonNegativo}};
constexpr CampoRecord kVelocita[] = {
    {"p", Formato::i32, "m", kNelPercorso, "the cells from p / 50 on"},
    {"speed",
     Formato::i32,
     "km/h",
     "0 to 1277",
     "cell `velocita`: speed / 5",
     {0, 1277},
     kmh_conservati},
};
constexpr CampoRecord kAderenza[] = {
    {"p", Formato::i32, "m", kNelPercorso, "the cells from p / 50 on"},
    {"adhesion",
     Formato::i32,
     "",
     "0 to 255",
     "cell `aderenza`: low 8 bits",
     {0, 255},
     basso_8_conservato},
};
constexpr CampoRecord kOrologio[] = {
    {"hours", Formato::i16, "", "0 to 23", "row 86 `cod_c`", kOre},
    {"minutes", Formato::i16, "", "0 to 59", "row 86 `cod_d`", kSessanta},
    {"seconds", Formato::i16, "", "0 to 59", "row 86 `cod_e`", kSessanta},
};
constexpr CampoRecord kSabbia[] = {{"sand", Formato::i16, "", "", "row 86 `cod_a`"}};
constexpr CampoRecord kSegnale[] = {
    {"posizione", Formato::i32, "m", kNelPercorso, "cell p / 50 + 1"},
    {"sx", Formato::i32, "", "1 or 2", "`valore_d`: 10 rapp + 3 sx + dx; approach codes"},
    {"s1", Formato::i32, "", "", "`valore_a`: 10 s1 + d1"},
    {"s2", Formato::i32, "", "", "`valore_b`: 10 s2 + d2"},
    {"s3", Formato::i32, "", "", "`valore_c`: 10 s3 + d3"},
    {"rapp", Formato::i32, "", "", "`valore_d`"},
    {"dx", Formato::i32, "", "0 to 2", "`valore_d`; approach codes", {0, 2}},
    {"d1", Formato::i32, "", "0 to 9", "`valore_a`", kCifra},
    {"d2", Formato::i32, "", "0 to 9", "`valore_b`", kCifra},
    {"d3", Formato::i32, "", "0 to 9", "`valore_c`", kCifra},
    {"tempo", Formato::i32, "", "1 to 100 is raised to 101", "cell `tempo` when sx is 2"},
};
constexpr CampoRecord kRallentamento[] = {
    {"x", Formato::i32, "m", kNelPercorso, "start cell x / 50 + 1"},
    {"v",
     Formato::i32,
     "km/h",
     "0 to 32767",
     "`valore_a` of warning, start and end",
     {0, INT16_MAX},
     in_16_bit},
    {"l", Formato::i32, "m", "0 or more", "end cell (x + l) / 50 + 1", kNonNegativo},
    {"f_tt", Formato::i32, "", "16 bits", "`valore_c` of start and end", k16Bit, in_16_bit},
    {"f_ta", Formato::i32, "", "not 0: pre-warnings", "four pre-warning cells"},
    {"d_v", Formato::i32, "", "16 bits", "`valore_b` of every cell, when not 0", k16Bit, in_16_bit},
};
constexpr CampoRecord kAbbattimento[] = {
    {"p", Formato::i32, "m", kNelPercorso, "cell p / 50"},
    {"value", Formato::i32, "km/h", "1 or more; else none", "`valore_a`", k16Bit, in_16_bit},
};
constexpr CampoRecord kStazione[] = {
    {"position", Formato::i32, "m",
     "a multiple of 50 (error 8); (p + 800) / 50 at most n, else error 15", "`posizione`"},
    {"type", Formato::u8, "", "5 and 6, 7 and 8, below 25, 25 and above differ", "`tipo`"},
    {"length", Formato::i32, "m", "a multiple of 100, else error 9", "the zone `inizio` and `fine`",
     kNonNegativo},
    {"opz_a", Formato::u8, "", "", "`opz_a`"},
    {"opz_e", Formato::u8, "", "cleared below 600 m and at the first station", "`opz_e`"},
    {"opz_d", Formato::u8, "", "adds 50 m to an ordinary station's end",
     "`opz_d`; cleared for types 5 to 8 and at the first station"},
    {"cod_a", Formato::i16, "", "", "`cod_a`"},
    {"cod_b", Formato::i16, "", "", "`cod_b`"},
    {"opz_b", Formato::u8, "", "", "`opz_b`"},
    {"cod_c", Formato::i16, "", "", "`cod_c`"},
    {"cod_d", Formato::i16, "", "", "`cod_d`"},
    {"cod_e", Formato::i16, "", "", "`cod_e`"},
    {"opz_c", Formato::u8, "", "", "`opz_c`"},
    {"hours", Formato::i32, "", "0 to 23", "`orario`, seconds after midnight", kOre},
    {"minutes", Formato::i32, "", "0 to 59", "`orario`", kSessanta},
    {"seconds", Formato::i32, "", "0 to 59", "`orario`", kSessanta},
    {"name", Formato::testo, "", "to the end of the line", "`nome`"},
};

const VoceCatalogo<CorpoTreno> kTreno[] = {
    {.record = {.nome = "percentuale massa frenata",
                .prova = contiene_parole("massa", "frenata"),
                .campi = kMassa,
                .effetto = "the braked-mass percentage",
                .controllo = Controllo::una_volta,
                .frase = "il record `percentuale massa frenata`"},
     .gestore = voce_massa_frenata},
    {.record = {.nome = "numero vetture",
                .prova = contiene_parole("vetture"),
                .campi = kVetture,
                .effetto = "the number of coaches",
                .controllo = Controllo::una_volta,
                .frase = "il record `numero vetture`"},
     .gestore = voce_vetture},
    {.record = {.nome = "velocita",
                .prova = contiene_parole("velocit"),
                .campi = kVelocita,
                .effetto =
                    "the speed limit from p onward; each point fills the cells from the one before "
                    "up to its own with the speed before, the last one runs to cell n - 3",
                .controllo = Controllo::in_ordine,
                .frase = "il limite di velocita",
                .conservazione = Conservazione::tratto},
     .gestore = voce_velocita},
    {.record = {.nome = "aderenza",
                .prova = contiene_parole("aderenza"),
                .campi = kAderenza,
                .effetto = "the adhesion class from p onward, as the speed",
                .controllo = Controllo::in_ordine,
                .frase = "l'aderenza",
                .conservazione = Conservazione::tratto},
     .gestore = voce_aderenza},
    {.record = {.nome = "orologio",
                .prova = contiene_parole("orologio"),
                .campi = kOrologio,
                .effetto = "the starting clock",
                .controllo = Controllo::una_volta,
                .frase = "il record `orologio`"},
     .gestore = voce_orologio},
    {.record = {.nome = "sabbia",
                .prova = contiene_parole("sabbia"),
                .campi = kSabbia,
                .effetto = "the sand",
                .controllo = Controllo::una_volta,
                .frase = "il record `sabbia`"},
     .gestore = voce_sabbia},
    {.record =
         {.nome = "segnale",
          .prova = contiene_parole("segnale"),
          .campi = kSegnale,
          .effetto =
              "a signal with four packed codes (cell taken: error 16); the cells 2, 4, 6 and 8 "
              "before it get the approach codes (3 sx + dx) x 10 + 1 to + 4",
          .frase = "il segnale",
          .conserva = segnale_conservato},
     .gestore = voce_segnale},
    {.record = {.nome = "rallentamento",
                .prova = contiene_parole("rallentamento"),
                .campi = kRallentamento,
                .effetto =
                    "a temporary slowdown: start and end cells, and above x = 1500 a warning cell "
                    "(x - 1200) / 50 + 1 with pre-warnings before it. Taken cells: error 17 "
                    "(warning), 18 (start), 19 (end), 20 (pre-warning)",
                .frase = "il rallentamento",
                .conserva = rallentamento_conservato},
     .gestore = voce_rallentamento},
    {.record = {.nome = "abbattimento",
                .prova = contiene_parole("abbattimento"),
                .campi = kAbbattimento,
                .effetto =
                    "a code reduction, with its value when it is 1 or more (cell taken: error 7)",
                .frase = "l'abbattimento"},
     .gestore = voce_abbattimento},
    {.record =
         {.nome = "stazione",
          .prova = contiene_parole("stazione"),
          .campi = kStazione,
          .effetto =
              "a station: the next table row from 1 upward (error 10 at the sign rows), a stop "
              "cell for types below 25",
          .controllo = Controllo::in_ordine,
          .frase = "la stazione"},
     .gestore = voce_stazione},
};

}  // namespace

std::span<const VoceCatalogo<CorpoTreno>> catalogo_treno() { return kTreno; }

std::vector<const DescrizioneRecord*> record_treno() { return descrizioni(catalogo_treno()); }

const Lessico& lessico_treno() {
  static const Lessico lessico(record_treno());
  return lessico;
}

}  // namespace calvetra
