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
constexpr std::string_view kNelPercorso =
    "(p + 100) / 50 al piu' n, l'ultima cella del percorso; se no errore 15";

// The bounds of the values kept as written.
constexpr Limiti kNonNegativo{0, INT64_MAX};

std::string n(int64_t v) { return std::to_string(v); }

constexpr Deposito riga(int r, std::string_view campo) {
  return {Dove::riga, campo, Modo::come_letto, r};
}

constexpr CampoRecord kLunghezza[] = {
    {"L", "lunghezza del percorso", Formato::i32, "m", "al piu' 1000000, se no errore 1",
     riga(84, "fine"),
     "la lunghezza del percorso in metri; crea da capo le celle da 0 a n = (L + 7000) / 50 e il "
     "piano dei metri da 0 a L + 7000"},
};
constexpr std::string_view kPrimo = "il primo numero della progressiva chilometrica";
constexpr std::string_view kSecondo = "il secondo numero della progressiva chilometrica";
constexpr std::string_view kSegno = "1 aggiunge 100 m al secondo numero";
constexpr CampoRecord kProgressivaTre[] = {
    {"first", "primo numero", Formato::i32, "m", "un multiplo di 50, se no errore 2",
     riga(81, "inizio"), kPrimo},
    {"second", "secondo numero", Formato::i32, "m", "un multiplo di 50, se no errore 2",
     riga(81, "fine"), kSecondo},
    {"flag", "segno", Formato::i32, "", "0 o 1", riga(81, "posizione"), kSegno},
};
constexpr CampoRecord kProgressivaDue[] = {
    {"first", "primo numero", Formato::i32, "m", "un multiplo di 50, se no errore 2",
     riga(82, "inizio"), kPrimo},
    {"second", "secondo numero", Formato::i32, "m", "un multiplo di 50, se no errore 2",
     riga(82, "fine"), kSecondo},
    {"flag", "segno", Formato::i32, "", "0 o 1", riga(82, "posizione"), kSegno},
};
constexpr CampoRecord kProgressivaUno[] = {
    {"first", "primo numero", Formato::i32, "m", "un multiplo di 50, se no errore 2",
     riga(83, "inizio"), kPrimo},
    {"second", "secondo numero", Formato::i32, "m", "un multiplo di 50, se no errore 2",
     riga(83, "fine"), kSecondo},
    {"flag", "segno", Formato::i32, "", "0 o 1", riga(83, "posizione"), kSegno},
};
constexpr std::string_view kSfondo = "il numero dello sfondo mostrato lungo il percorso";
constexpr CampoRecord kSfondoUno[] = {
    {"background", "sfondo", Formato::i32, "", "", riga(85, "inizio"), kSfondo}};
constexpr CampoRecord kSfondoDue[] = {
    {"background", "sfondo", Formato::i32, "", "", riga(85, "posizione"), kSfondo}};
constexpr CampoRecord kSfondoTre[] = {
    {"background", "sfondo", Formato::i32, "", "", riga(85, "fine"), kSfondo}};
constexpr CampoRecord kRipetizione[] = {
    {"first", "inizio", Formato::i32, "m", "un multiplo di 50, se no errore 3", riga(86, "inizio"),
     "da dove i segnali sono ripetuti in cabina"},
    {"second", "fine", Formato::i32, "m", "un multiplo di 50, se no errore 4", riga(86, "fine"),
     "fin dove i segnali sono ripetuti in cabina; 0 mette a 0 anche `posizione`"},
};

constexpr std::string_view kEffettoProgressiva =
    "una progressiva chilometrica; le tre sono ordinate per il primo numero quando "
    "l'intestazione e' letta, la piu' grande nella riga 81, e un segno 1 aggiunge 100 al "
    "secondo numero";
constexpr std::string_view kEffettoSfondo = "uno sfondo del percorso";

// The header records in the order the parser tests them; one name of each
// family is offered by "did you mean".
const VoceCatalogo<IntestazioneLinea> kIntestazione[] = {
    {.record = {.nome = "lunghezza percorso",
                .prova = contiene_parole("lunghezza", "percorso"),
                .campi = kLunghezza,
                .effetto =
                    "la lunghezza del percorso; crea le celle (e il piano). Va scritta prima "
                    "di ogni record del corpo, se no errore 25",
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
                .effetto = "la ripetizione dei segnali in cabina; il campo della parola chiave "
                           "porta la cifra 4 o 9, il numero dei codici (vince 4), se no errore 5: "
                           "riga 86 `posizione`",
                .controllo = Controllo::una_volta,
                .frase = "il record `ripetizione segnali`",
                .scritta = "ripetizione segnali 4 codici"},
     .gestore = intestazione_ripetizione},
};

constexpr Deposito kCelleDa = in(Dove::celle_da);
constexpr Deposito kCellaOggetto = in(Dove::cella);

constexpr Deposito cella(std::string_view campo, Modo m = Modo::come_letto) {
  return {Dove::cella, campo, m, -1};
}

constexpr CampoRecord kPendenza[] = {
    {"P", "posizione", Formato::i32, "m", kNelPercorso, kCelleDa,
     "da dove vale la pendenza: dalla cella P / 50 in poi"},
    {"g",
     "pendenza",
     Formato::i32,
     "per mille",
     "da -100 a 155",
     cella("pendenza", Modo::per_mille_100),
     "la salita (positiva) o la discesa (negativa) della linea",
     {-100, 155},
     per_mille_conservati},
};
constexpr CampoRecord kCurva[] = {
    {"S", "inizio", Formato::i32, "m", kNelPercorso, in(Dove::piano),
     "il metro dove comincia la curva"},
    {"l", "sviluppo", Formato::i32, "m", "S + l al piu' 999999, se no errore 103", in(Dove::piano),
     "la lunghezza della curva: il piano piega sui metri da S + 1 a S + l", kNonNegativo},
};
constexpr CampoRecord kMontagna[] = {
    {"start", "inizio", Formato::i32, "m", kNelPercorso, kCelleDa,
     "dove comincia il tratto di montagna: dalla cella start / 50"},
    {"end", "fine", Formato::i32, "m", "", in(Dove::nessuno),
     "dove finisce: fino alla cella end / 50 - 1"},
    {"kind", "tipo", Formato::i32, "", "1, 2; 11, 12 con i segni", cella("montagna"),
     "il tipo di montagna: la cella tiene 1, 2 o 3"},
};
constexpr CampoRecord kIndicatori[] = {
    {"p", "posizione", Formato::i32, "m", kNelPercorso, kCellaOggetto,
     "dove stanno i cartelli: nella cella p / 50 + 1"},
    {"vas", "prima velocita' a sinistra", Formato::i32, "km/h", "0 o piu'",
     cella("valore_a", Modo::con_altri), "`valore_a` = 20 vas + vad / 5", kNonNegativo},
    {"vbs", "seconda velocita' a sinistra", Formato::i32, "km/h", "0 o piu'",
     cella("valore_b", Modo::con_altri), "`valore_b` = 20 vbs + vbd / 5", kNonNegativo},
    {"vcs", "terza velocita' a sinistra", Formato::i32, "km/h", "0 o piu'",
     cella("valore_c", Modo::con_altri), "`valore_c` = 20 vcs + vcd / 5", kNonNegativo},
    {"strisces", "strisce a sinistra", Formato::i32, "", "", cella("valore_d", Modo::con_altri),
     "`valore_d` = 10 strisces + strisced"},
    {"vad", "prima velocita' a destra", Formato::i32, "km/h", "da 0 a 495",
     cella("valore_a", Modo::con_altri), "la velocita' a destra del primo cartello"},
    {"vbd", "seconda velocita' a destra", Formato::i32, "km/h", "da 0 a 495",
     cella("valore_b", Modo::con_altri), "la velocita' a destra del secondo cartello"},
    {"vcd", "terza velocita' a destra", Formato::i32, "km/h", "da 0 a 495",
     cella("valore_c", Modo::con_altri), "la velocita' a destra del terzo cartello"},
    {"strisced",
     "strisce a destra",
     Formato::i32,
     "",
     "da 0 a 9",
     cella("valore_d", Modo::con_altri),
     "il numero di strisce a destra",
     {0, 9}},
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
    const std::string_view a = kIndicatori[sinistra].etichetta;
    const std::string_view b = kIndicatori[destra].etichetta;
    c.push_back({v[sinistra] % kPassoVelocita != 0 ? sinistra : destra,
                 "la " + std::string(a) + " (" + n(v[sinistra]) + " km/h) e la " + std::string(b) +
                     " (" + n(v[destra]) + " km/h) stanno in un solo numero, " + n(*codice) +
                     ", e saranno lette come " + n(letta.sinistra_kmh) + " e " +
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
    {"p", "posizione", Formato::i32, "m", kNelPercorso, kCellaOggetto,
     "dove sta il cartello: nella cella p / 50 + 1, che in `valore_a` tiene la riga del testo"},
    {"text",
     "testo",
     Formato::testo,
     "",
     "tra virgolette se contiene una virgola",
     {Dove::riga, "nome"},
     "il testo scritto sul cartello, nelle righe 80, 79, ..."},
};

bool con_piano(const CorpoLinea& c) { return c.con_geometria; }

const VoceCatalogo<CorpoLinea> kCorpo[] = {
    {.record = {.nome = "pendenza",
                .prova = contiene_parole("pendenza"),
                .campi = kPendenza,
                .effetto = "la pendenza g vale da P in poi",
                .controllo = Controllo::in_ordine,
                .frase = "la pendenza",
                .conservazione = Conservazione::tratto},
     .gestore = corpo_pendenza},
    {.record = {.nome = "curva",
                .prova = contiene_parole("curva"),
                .campi = kCurva,
                .effetto =
                    "una curva da S per l metri; la sua classe e' la prima cifra da 1 a 6 nel "
                    "campo della parola chiave (nessuna: errore 103); una `s` nel campo la "
                    "volta a sinistra, se no a destra. Letta solo compilando con il piano",
                .controllo = Controllo::senza_sovrapposizione,
                .frase = "la curva",
                .scritta = "curvad1"},
     .gestore = corpo_curva,
     .attiva = con_piano},
    {.record = {.nome = "montagna",
                .prova = contiene_parole("montagna"),
                .campi = kMontagna,
                .effetto = "un tratto di montagna; uno che comincia 150 m o meno dopo la fine del "
                           "precedente diventa tipo 3; con i segni, una cella libera ogni quattro "
                           "del tratto e' un `segno_montagna`. Al piu' 80",
                .controllo = Controllo::senza_sovrapposizione,
                .frase = "la montagna",
                .conserva = montagna_conservata},
     .gestore = corpo_montagna},
    {.record = {.nome = "indicatori_vmax",
                .prova = contiene_parole("indicatori_v"),
                .campi = kIndicatori,
                .effetto =
                    "una coppia di cartelli indicatori di velocita' in una cella (cella gia' "
                    "occupata: errore 21)",
                .frase = "gli indicatori",
                .conserva = indicatori_conservati},
     .gestore = corpo_indicatori},
    {.record = {.nome = "cartello_indicatore",
                .prova = contiene_parole("indicat", "cartello"),
                .campi = kCartello,
                .effetto = "un cartello lungo la linea (cella gia' occupata: errore 6); il testo "
                           "prende la prossima riga dei cartelli. Al piu' 80",
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
