#include "line/catalogo_linea.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fields/rilettura.h"
#include "model/costanti.h"
#include "model/significato.h"

namespace calvetra {

// The cell kinds of a board and a sign, by other names: the catalogue's
// fields of those records are kIndicatori and kCartello below.
constexpr uint8_t kCellaIndicatori = kIndicatori;
constexpr uint8_t kCellaCartello = kCartello;

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

// A progressive read back from the row its triple went to once the three
// were ordered (the flag's 100 taken off again); when no row holds it, from
// `propria`, the row of its own record.
template <size_t propria>
void progressiva_riletta(const DaRileggere& r, std::span<Riletto> c) {
  const auto decodifica = [](const voce& v) {
    return std::array<int64_t, 3>{v.inizio, v.fine - (v.posizione == 1 ? kAggiuntaSegno : 0),
                                  v.posizione};
  };
  const size_t letti = std::min<size_t>({r.letti.size(), c.size(), 3});
  size_t scelta = propria;
  for (size_t riga = kRigaProgressivaTre; riga <= kRigaProgressivaUno; ++riga) {
    const std::array<int64_t, 3> d = decodifica(r.m.tabella[riga]);
    bool uguale = true;
    for (size_t k = 0; k < letti; ++k) uguale = uguale && d[k] == r.letti[k];
    if (uguale) {
      scelta = riga;
      break;
    }
  }
  const std::array<int64_t, 3> d = decodifica(r.m.tabella[scelta]);
  for (size_t k = 0; k < c.size() && k < 3; ++k) {
    c[k].riga = static_cast<int64_t>(scelta);
    c[k].presente = true;
    c[k].valore = d[k];
  }
}

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
                .suggerito = false,
                .rileggi = progressiva_riletta<kRigaProgressivaTre>},
     .gestore = intestazione_progressiva<kRigaProgressivaTre>},
    {.record = {.nome = "progressiva chilometrica due",
                .prova = esatta("progressiva", "due"),
                .campi = kProgressivaDue,
                .effetto = kEffettoProgressiva,
                .controllo = Controllo::una_volta,
                .frase = "il record `progressiva chilometrica due`",
                .suggerito = false,
                .rileggi = progressiva_riletta<kRigaProgressivaDue>},
     .gestore = intestazione_progressiva<kRigaProgressivaDue>},
    {.record = {.nome = "progressiva chilometrica uno",
                .prova = esatta("progressiva", "uno"),
                .campi = kProgressivaUno,
                .effetto = kEffettoProgressiva,
                .controllo = Controllo::una_volta,
                .frase = "il record `progressiva chilometrica uno`",
                .rileggi = progressiva_riletta<kRigaProgressivaUno>},
     .gestore = intestazione_progressiva<kRigaProgressivaUno>},
    {.record = {.nome = "sfondo uno",
                .prova = esatta("sfondo", "uno"),
                .campi = kSfondoUno,
                .effetto = kEffettoSfondo,
                .controllo = Controllo::una_volta,
                .frase = "il record `sfondo uno`"},
     .gestore = intestazione_sfondo<CampoRiga::inizio>},
    {.record = {.nome = "sfondo due",
                .prova = esatta("sfondo", "due"),
                .campi = kSfondoDue,
                .effetto = kEffettoSfondo,
                .controllo = Controllo::una_volta,
                .frase = "il record `sfondo due`",
                .suggerito = false},
     .gestore = intestazione_sfondo<CampoRiga::posizione>},
    {.record = {.nome = "sfondo tre",
                .prova = esatta("sfondo", "tre"),
                .campi = kSfondoTre,
                .effetto = kEffettoSfondo,
                .controllo = Controllo::una_volta,
                .frase = "il record `sfondo tre`",
                .suggerito = false},
     .gestore = intestazione_sfondo<CampoRiga::fine>},
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
                     n(letta.destra_kmh) + " km/h",
                 {{sinistra, true, letta.sinistra_kmh}, {destra, true, letta.destra_kmh}}});
  }
  return c;
}

// A mountain marks the cells from start / 50 to end / 50 - 1: none when the
// end comes before the start or within a cell of it. A kind other than those
// of a line (1 and 2, 11 and 12 with the markers) is kept as written, and
// said for what the cells make of it.
std::vector<Conservato> montagna_conservata(std::span<const int64_t> v) {
  if (v.size() < 3) return {};
  const int64_t inizio = v[0];
  const int64_t fine = v[1];
  const int64_t tipo = v[2];
  if (cella_di_tratto(inizio) > cella_di_tratto(fine - kMetriCella)) {
    return {{1,
             fine < inizio ? "la fine (" + n(fine) + " m) viene prima dell'inizio (" + n(inizio) +
                                 " m): la montagna non segna nessuna cella"
                           : "la montagna da " + n(inizio) + " a " + n(fine) +
                                 " m e' piu' corta di una cella: non ne segna nessuna",
             {{2, false, 0}}}};
  }
  const bool segni = tipo > 10;
  const int64_t classe = segni ? tipo - 10 : tipo;
  if (classe == 1 || classe == 2 || classe != basso_8(classe)) return {};
  std::string m = "il tipo " + n(tipo) +
                  " non e' uno di quelli di una linea (1 e 2, 11 e 12 con i segni di montagna): "
                  "la cella `montagna` tiene " +
                  n(classe);
  if (classe == 3) m += ", il tipo che prende un tratto a 150 m o meno dal precedente";
  if (classe == 0) m += ", cioe' nessuna montagna";
  m += segni ? ", con un segno ogni 4 celle libere"
             : ", e il tratto non ha segni di montagna (con i segni il tipo si scrive " +
                   n(classe + 10) + ")";
  return {{2, m, {{2, true, tipo}}}};
}

// Where a mountain's kind is read back: its first cell that exists, when it
// marks any.
struct CelleMontagna {
  int64_t da = 0;
  int64_t a = -1;
};
CelleMontagna celle_montagna(const Modello& m, int64_t inizio, int64_t fine) {
  return {std::max<int64_t>(cella_di_tratto(inizio), 0),
          std::min<int64_t>(cella_di_tratto(fine - kMetriCella),
                            static_cast<int64_t>(m.tratti.size()) - 1)};
}

// Whether the mountain read back starts 150 m or less after the end of the
// mountain before it, and so is kind 3 whatever it says.
bool montagna_vicina(const DaRileggere& r) {
  if (r.precedente >= r.g.records().size() || r.letti.empty()) return false;
  const RecordRegistrato& p = r.g.records()[r.precedente];
  return p.campi.size() > 1 && r.letti[0] - p.campi[1].valore <= kDistaccoMontagne;
}

// The kind as the cells keep it: the class of the stretch's first cell, 10
// more when the record asked for markers (which only free cells take).
void montagna_riletta(const DaRileggere& r, std::span<Riletto> c) {
  if (r.letti.size() < 3 || c.size() < 3) return;
  const CelleMontagna celle = celle_montagna(r.m, r.letti[0], r.letti[1]);
  c[2].cella = celle.da;
  if (celle.da > celle.a) return;
  const int64_t tipo = r.letti[2];
  const int64_t classe = r.m.tratti[static_cast<size_t>(celle.da)].montagna;
  c[2].presente = true;
  c[2].valore = classe == 3 && montagna_vicina(r) ? tipo : classe + (tipo > 10 ? 10 : 0);
}

std::string montagna_perche(const DaRileggere& r, size_t campo, const Riletto&) {
  if (campo != 2 || r.letti.size() < 3) return "";
  const int64_t tipo = r.letti[2];
  const bool segni = tipo > 10;
  const int64_t classe = segni ? tipo - 10 : tipo;
  return (segni ? "un tipo oltre 10 vuole i segni di montagna e vale " + n(classe) + ": " : "") +
         "la cella `montagna` ne tiene solo gli 8 bit bassi, " + n(basso_8(classe)) +
         (segni ? ", con i segni" : "");
}

// A board read back from its cell: each value a pair of speeds as two-digit
// counts of 5 km/h, the stripes as tens and units.
void indicatori_riletti(const DaRileggere& r, std::span<Riletto> c) {
  if (r.letti.empty()) return;
  const std::optional<tratto> t =
      oggetto_riletto(r, cella_di_oggetto(r.letti[0]), kCellaIndicatori, c);
  if (!t) return;
  const CoppiaVelocita a = coppia_da_valore(t->valore_a);
  const CoppiaVelocita b = coppia_da_valore(t->valore_b);
  const CoppiaVelocita cc = coppia_da_valore(t->valore_c);
  const int64_t v[] = {0,
                       a.sinistra_kmh,
                       b.sinistra_kmh,
                       cc.sinistra_kmh,
                       t->valore_d / 10,
                       a.destra_kmh,
                       b.destra_kmh,
                       cc.destra_kmh,
                       t->valore_d % 10};
  presenti(c, v);
}

std::string indicatori_perche(const DaRileggere& r, size_t campo, const Riletto& x) {
  if (r.letti.size() < 9 || campo == 0) return "";
  if (campo == 4 || campo == 8) {
    const int64_t d = 10 * r.letti[4] + r.letti[8];
    return "`valore_d` = 10 * " + n(r.letti[4]) + " + " + n(r.letti[8]) + " = " + n(d) +
           ", che si legge " + n(d / 10) + " per le " + std::string(kIndicatori[4].etichetta) +
           " e " + n(d % 10) + " per le " + std::string(kIndicatori[8].etichetta);
  }
  const size_t sinistra = campo < 4 ? campo : campo - 4;
  const size_t destra = sinistra + 4;
  const char* valore[] = {"", "valore_a", "valore_b", "valore_c"};
  const int64_t codice = valore_coppia(r.letti[sinistra], r.letti[destra]);
  const CoppiaVelocita letta = coppia_da_valore(static_cast<int16_t>(codice));
  (void)x;
  return "la " + std::string(kIndicatori[sinistra].etichetta) + " e la " +
         std::string(kIndicatori[destra].etichetta) + " stanno in un solo numero, `" +
         valore[sinistra] + "` = 20 * " + n(r.letti[sinistra]) + " + " + n(r.letti[destra]) +
         " / 5 = " + n(codice) + ", che si legge " + n(letta.sinistra_kmh) + " e " +
         n(letta.destra_kmh) + " km/h";
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

// A sign's text, read back from the row its cell points at.
void cartello_riletto(const DaRileggere& r, std::span<Riletto> c) {
  if (r.letti.empty() || c.size() < 2) return;
  const std::optional<tratto> t =
      oggetto_riletto(r, cella_di_oggetto(r.letti[0]), kCellaCartello, c);
  if (!t || t->valore_a < kPrimaRigaStazione || t->valore_a > kUltimaRigaCartello) return;
  c[1].riga = t->valore_a;
  c[1].presente = true;
  c[1].testo = r.m.tabella[static_cast<size_t>(t->valore_a)].nome;
}

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
                .conserva = montagna_conservata,
                .rileggi = montagna_riletta,
                .perche = montagna_perche},
     .gestore = corpo_montagna},
    {.record = {.nome = "indicatori_vmax",
                .prova = contiene_parole("indicatori_v"),
                .campi = kIndicatori,
                .effetto =
                    "una coppia di cartelli indicatori di velocita' in una cella (cella gia' "
                    "occupata: errore 21)",
                .frase = "gli indicatori",
                .conserva = indicatori_conservati,
                .rileggi = indicatori_riletti,
                .perche = indicatori_perche},
     .gestore = corpo_indicatori},
    {.record = {.nome = "cartello_indicatore",
                .prova = contiene_parole("indicat", "cartello"),
                .campi = kCartello,
                .effetto = "un cartello lungo la linea (cella gia' occupata: errore 6); il testo "
                           "prende la prossima riga dei cartelli. Al piu' 80",
                .frase = "il cartello",
                .rileggi = cartello_riletto},
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
