#include "line/catalogo_linea.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/costanti.h"
#include "model/significato.h"

namespace calvetra {

namespace {

// The position bound every body record is tested against.
constexpr std::string_view kNelPercorso = "(p + 100) / 50 at most n, else error 15";

// The bounds of the values kept as written.
constexpr Limiti kNonNegativo{0, INT64_MAX};

std::string n(int64_t v) { return std::to_string(v); }

constexpr CampoRecord kLunghezza[] = {
    {"L", Formato::i32, "m", "at most 1000000, else error 1",
     "row 84 `fine`; the cells 0 to n = (L + 7000) / 50 and the plan of metres 0 to L + 7000 are "
     "made anew"},
};
constexpr CampoRecord kProgressivaTre[] = {
    {"first", Formato::i32, "m", "a multiple of 50, else error 2", "row 81 `inizio`"},
    {"second", Formato::i32, "m", "a multiple of 50, else error 2", "row 81 `fine`"},
    {"flag", Formato::i32, "", "1 adds 100 to the second", "row 81 `posizione`"},
};
constexpr CampoRecord kProgressivaDue[] = {
    {"first", Formato::i32, "m", "a multiple of 50, else error 2", "row 82 `inizio`"},
    {"second", Formato::i32, "m", "a multiple of 50, else error 2", "row 82 `fine`"},
    {"flag", Formato::i32, "", "1 adds 100 to the second", "row 82 `posizione`"},
};
constexpr CampoRecord kProgressivaUno[] = {
    {"first", Formato::i32, "m", "a multiple of 50, else error 2", "row 83 `inizio`"},
    {"second", Formato::i32, "m", "a multiple of 50, else error 2", "row 83 `fine`"},
    {"flag", Formato::i32, "", "1 adds 100 to the second", "row 83 `posizione`"},
};
constexpr CampoRecord kSfondoUno[] = {{"background", Formato::i32, "", "", "row 85 `inizio`"}};
constexpr CampoRecord kSfondoDue[] = {{"background", Formato::i32, "", "", "row 85 `posizione`"}};
constexpr CampoRecord kSfondoTre[] = {{"background", Formato::i32, "", "", "row 85 `fine`"}};
constexpr CampoRecord kRipetizione[] = {
    {"first", Formato::i32, "m", "a multiple of 50, else error 3", "row 86 `inizio`"},
    {"second", Formato::i32, "m", "a multiple of 50, else error 4",
     "row 86 `fine`; 0 also sets `posizione` to 0"},
};

constexpr std::string_view kEffettoProgressiva =
    "a kilometre-progressive definition; the three are sorted by their first number once the "
    "header is read, largest in row 81, and a flag of 1 adds 100 to the second number";
constexpr std::string_view kEffettoSfondo = "a background setting of the route";

// The header records in the order the parser tests them; one name of each
// family is offered by "did you mean".
const VoceCatalogo<IntestazioneLinea> kIntestazione[] = {
    {.record = {.nome = "lunghezza percorso",
                .prova = contiene_parole("lunghezza", "percorso"),
                .campi = kLunghezza,
                .effetto = "the route length; creates the cells (and the plan). Must come before "
                           "any body record, else error 25",
                .controllo = Controllo::una_volta,
                .frase = "il record `lunghezza percorso`"},
     .gestore = intestazione_lunghezza},
    {.record = {.nome = "progressiva chilometrica tre",
                .prova = esatta("progressiva", "tre"),
                .campi = kProgressivaTre,
                .effetto = kEffettoProgressiva,
                .controllo = Controllo::una_volta,
                .frase = "il record `progressiva chilometrica tre`",
                .suggerito = false},
     .gestore = intestazione_progressiva<kRigaProgressivaTre>},
    {.record = {.nome = "progressiva chilometrica due",
                .prova = esatta("progressiva", "due"),
                .campi = kProgressivaDue,
                .effetto = kEffettoProgressiva,
                .controllo = Controllo::una_volta,
                .frase = "il record `progressiva chilometrica due`",
                .suggerito = false},
     .gestore = intestazione_progressiva<kRigaProgressivaDue>},
    {.record = {.nome = "progressiva chilometrica uno",
                .prova = esatta("progressiva", "uno"),
                .campi = kProgressivaUno,
                .effetto = kEffettoProgressiva,
                .controllo = Controllo::una_volta,
                .frase = "il record `progressiva chilometrica uno`"},
     .gestore = intestazione_progressiva<kRigaProgressivaUno>},
    {.record = {.nome = "sfondo uno",
                .prova = esatta("sfondo", "uno"),
                .campi = kSfondoUno,
                .effetto = kEffettoSfondo,
                .controllo = Controllo::una_volta,
                .frase = "il record `sfondo uno`"},
     .gestore = intestazione_sfondo<&voce::inizio>},
    {.record = {.nome = "sfondo due",
                .prova = esatta("sfondo", "due"),
                .campi = kSfondoDue,
                .effetto = kEffettoSfondo,
                .controllo = Controllo::una_volta,
                .frase = "il record `sfondo due`",
                .suggerito = false},
     .gestore = intestazione_sfondo<&voce::posizione>},
    {.record = {.nome = "sfondo tre",
                .prova = esatta("sfondo", "tre"),
                .campi = kSfondoTre,
                .effetto = kEffettoSfondo,
                .controllo = Controllo::una_volta,
                .frase = "il record `sfondo tre`",
                .suggerito = false},
     .gestore = intestazione_sfondo<&voce::fine>},
    {.record = {.nome = "ripetizione segnali",
                .prova = esatta("ripetizione", "segnali"),
                .campi = kRipetizione,
                .effetto = "cab-signal repetition; the keyword field must hold the digit 4 or 9, "
                           "the number of codes (4 wins), else error 5: row 86 `posizione`",
                .controllo = Controllo::una_volta,
                .frase = "il record `ripetizione segnali`",
                .scritta = "ripetizione segnali 4 codici"},
     .gestore = intestazione_ripetizione},
};

constexpr CampoRecord kPendenza[] = {
    {"P", Formato::i32, "m", kNelPercorso, "the cells from P / 50 on"},
    {"g",
     Formato::i32,
     "per mille",
     "-100 to 155",
     "cell `pendenza`: g + 100, low 8 bits",
     {-100, 155},
     per_mille_conservati},
};
constexpr CampoRecord kCurva[] = {
    {"S", Formato::i32, "m", kNelPercorso, "the plan from metre S"},
    {"l", Formato::i32, "m", "S + l at most 999999, else error 103",
     "the plan bends over metres S + 1 to S + l", kNonNegativo},
};
constexpr CampoRecord kMontagna[] = {
    {"start", Formato::i32, "m", kNelPercorso, "the cells from start / 50"},
    {"end", Formato::i32, "m", "", "to end / 50 - 1"},
    {"kind", Formato::i32, "", "1, 2; 11, 12 with markers", "cell `montagna`: 1, 2 or 3"},
};
constexpr CampoRecord kIndicatori[] = {
    {"p", Formato::i32, "m", kNelPercorso, "cell p / 50 + 1"},
    {"vas", Formato::i32, "km/h", "0 or more", "`valore_a`: 20 vas + vad / 5", kNonNegativo},
    {"vbs", Formato::i32, "km/h", "0 or more", "`valore_b`: 20 vbs + vbd / 5", kNonNegativo},
    {"vcs", Formato::i32, "km/h", "0 or more", "`valore_c`: 20 vcs + vcd / 5", kNonNegativo},
    {"strisces", Formato::i32, "", "", "`valore_d`: 10 strisces + strisced"},
    {"vad", Formato::i32, "km/h", "0 to 495", "`valore_a`"},
    {"vbd", Formato::i32, "km/h", "0 to 495", "`valore_b`"},
    {"vcd", Formato::i32, "km/h", "0 to 495", "`valore_c`"},
    {"strisced", Formato::i32, "", "0 to 9", "`valore_d`", {0, 9}},
};

// A board's two speeds share one number, as two-digit counts of 5 km/h: a
// left speed off the step, or a right one of 500 or more, carries into the
// other. Said as the pair will read, from the value the cell keeps.
std::vector<Conservato> indicatori_conservati(std::span<const int64_t> v) {
  std::vector<Conservato> c;
  if (v.size() < 9) return c;
  for (size_t k = 0; k < 3; ++k) {
    const size_t sinistra = 1 + k;
    const size_t destra = 5 + k;
    const std::optional<int16_t> codice = codifica_coppia(v[sinistra], v[destra]);
    if (!codice) continue;  // the compile fails on it, and says so
    const CoppiaVelocita letta = coppia_da_valore(*codice);
    if (letta.sinistra_kmh == v[sinistra] && letta.destra_kmh == v[destra]) continue;
    const std::string_view a = kIndicatori[sinistra].nome;
    const std::string_view b = kIndicatori[destra].nome;
    c.push_back({v[sinistra] % kPassoVelocita != 0 ? sinistra : destra,
                 "le velocita' `" + std::string(a) + "` " + n(v[sinistra]) + " e `" +
                     std::string(b) + "` " + n(v[destra]) + " km/h stanno in un solo numero, " +
                     n(*codice) + ", e saranno lette come " + n(letta.sinistra_kmh) + " e " +
                     n(letta.destra_kmh) + " km/h"});
  }
  return c;
}

// A mountain marks the cells from start / 50 to end / 50 - 1: none when the
// end comes before the start or within a cell of it.
std::vector<Conservato> montagna_conservata(std::span<const int64_t> v) {
  if (v.size() < 3) return {};
  const int64_t inizio = v[0];
  const int64_t fine = v[1];
  if (cella_di_tratto(inizio) <= cella_di_tratto(fine - kMetriCella)) return {};
  return {{1, fine < inizio ? "la fine (" + n(fine) + " m) viene prima dell'inizio (" + n(inizio) +
                                  " m): la montagna non segna nessuna cella"
                            : "la montagna da " + n(inizio) + " a " + n(fine) +
                                  " m e' piu' corta di una cella: non ne segna nessuna"}};
}
constexpr CampoRecord kCartello[] = {
    {"p", Formato::i32, "m", kNelPercorso, "cell p / 50 + 1; `valore_a` the row of its text"},
    {"text", Formato::testo, "", "quoted if it holds a comma", "`nome` of rows 80, 79, ..."},
};

bool con_piano(const CorpoLinea& c) { return c.con_geometria; }

const VoceCatalogo<CorpoLinea> kCorpo[] = {
    {.record = {.nome = "pendenza",
                .prova = contiene_parole("pendenza"),
                .campi = kPendenza,
                .effetto = "the gradient g holds from P onward",
                .controllo = Controllo::in_ordine,
                .frase = "la pendenza",
                .conservazione = Conservazione::tratto},
     .gestore = corpo_pendenza},
    {.record = {.nome = "curva",
                .prova = contiene_parole("curva"),
                .campi = kCurva,
                .effetto = "a curve from S over l metres; its class is the first digit 1 to 6 in "
                           "the keyword field (none: error 103); an `s` in the field turns left, "
                           "anything else right. Read only when compiling with the plan",
                .controllo = Controllo::senza_sovrapposizione,
                .frase = "la curva",
                .scritta = "curvad1"},
     .gestore = corpo_curva,
     .attiva = con_piano},
    {.record = {.nome = "montagna",
                .prova = contiene_parole("montagna"),
                .campi = kMontagna,
                .effetto = "a mountain stretch; one starting 150 m or less after the previous "
                           "one's end becomes kind 3; with markers, every fourth free cell of the "
                           "stretch is a `segno_montagna`. At most 80",
                .controllo = Controllo::senza_sovrapposizione,
                .frase = "la montagna",
                .conserva = montagna_conservata},
     .gestore = corpo_montagna},
    {.record = {.nome = "indicatori_vmax",
                .prova = contiene_parole("indicatori_v"),
                .campi = kIndicatori,
                .effetto = "a pair of speed-indicator boards in one cell (cell taken: error 21)",
                .frase = "gli indicatori",
                .conserva = indicatori_conservati},
     .gestore = corpo_indicatori},
    {.record = {.nome = "cartello_indicatore",
                .prova = contiene_parole("indicat", "cartello"),
                .campi = kCartello,
                .effetto = "a lineside sign (cell taken: error 6); the text takes the next sign "
                           "row. At most 80",
                .frase = "il cartello"},
     .gestore = corpo_cartello},
};

}  // namespace

std::span<const VoceCatalogo<IntestazioneLinea>> catalogo_intestazione_linea() {
  return kIntestazione;
}

std::span<const VoceCatalogo<CorpoLinea>> catalogo_corpo_linea() { return kCorpo; }

std::vector<const DescrizioneRecord*> record_linea() {
  std::vector<const DescrizioneRecord*> r = descrizioni(catalogo_intestazione_linea());
  for (const DescrizioneRecord* d : descrizioni(catalogo_corpo_linea())) r.push_back(d);
  return r;
}

const Lessico& lessico_linea() {
  static const Lessico lessico(record_linea());
  return lessico;
}

}  // namespace calvetra
