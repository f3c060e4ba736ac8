#include "train/catalogo_treno.h"

#include <cstdint>

#include "model/significato.h"

namespace calvetra {

namespace {

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
          .controllo = Controllo::in_ordine,
          .frase = "il segnale"},
     .gestore = voce_segnale},
    {.record = {.nome = "rallentamento",
                .prova = contiene_parole("rallentamento"),
                .campi = kRallentamento,
                .effetto =
                    "a temporary slowdown: start and end cells, and above x = 1500 a warning cell "
                    "(x - 1200) / 50 + 1 with pre-warnings before it. Taken cells: error 17 "
                    "(warning), 18 (start), 19 (end), 20 (pre-warning)",
                .frase = "il rallentamento"},
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
