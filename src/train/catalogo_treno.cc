#include "train/catalogo_treno.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fields/rilettura.h"
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
    std::string m = "la classe del segnale vale " + n(sx) +
                    ", fuori da 1 e 2: il quarto codice (10 volte la rappresentazione, piu' 3 "
                    "volte la classe, piu' il lato) sara' " +
                    n(k.d);
    if (letto.rapp != rapp || letto.classe != classe) {
      m += ", letto come rappresentazione " + n(letto.rapp) + " e classe " + n(letto.classe);
    }
    m += ", e i codici di preavviso prima del segnale " + n(codice_preavviso(classe, 1)) + "-" +
         n(codice_preavviso(classe, 4));
    c.push_back(
        {1, m, {{1, true, letto.classe / 3}, {5, true, letto.rapp}, {6, true, letto.classe % 3}}});
  }
  if (sx == kSxConTempo && k.tempo != tempo) {
    const int64_t alzato = tempo_alzato(tempo);
    std::string m = "il tempo vale " + n(tempo) + ": sara' conservato come " + n(k.tempo);
    if (alzato != tempo) m += " (un tempo da 1 a 100 e' alzato a 101)";
    if (k.tempo != alzato) m += " (la cella ne tiene solo gli 8 bit bassi, da 0 a 255)";
    c.push_back({10, m, {{10, true, k.tempo}}});
  } else if (sx != kSxConTempo && tempo != 0) {
    c.push_back({10,
                 "il tempo vale " + n(tempo) +
                     ", ma solo un segnale di classe 2 conserva il suo tempo: la cella tiene 0",
                 {{10, true, 0}}});
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
  std::string m = "la lunghezza vale " + n(l) + " m: ";
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

// ---- the records read back from the files ----

// A signal's four codes as the simulator reads them, tens and units; the
// class in the units of the fourth gives sx and dx back.
void segnale_riletto(const DaRileggere& r, std::span<Riletto> c) {
  if (r.letti.empty()) return;
  const std::optional<tratto> t = oggetto_riletto(r, cella_di_oggetto(r.letti[0]), kSegnale, c);
  if (!t) return;
  const Cifre a = cifre(t->valore_a);
  const Cifre b = cifre(t->valore_b);
  const Cifre cc = cifre(t->valore_c);
  const Cifre d = cifre(t->valore_d);
  const int64_t v[] = {0,           d.unita / 3, a.decine, b.decine, cc.decine, d.decine,
                       d.unita % 3, a.unita,     b.unita,  cc.unita, t->tempo};
  presenti(c, v);
}

// Why a signal's field is kept otherwise: the code it goes into, tens and
// units, and what 16 bits keep of it.
std::string segnale_perche(const DaRileggere& r, size_t campo, const Riletto& x) {
  if (r.letti.size() < 11) return "";
  const auto l = [&](size_t k) { return r.letti[k]; };
  const auto codice = [&](const std::string& nome, const std::string& formula, int64_t valore,
                          const std::string& letto) {
    const int16_t basso = basso_16(valore);
    std::string m = "`" + nome + "` = " + formula + " = " + n(valore);
    if (basso != valore) {
      m += ", che non entra in 16 bit: il file ne tiene i 16 bit bassi, " + n(basso) + ",";
    }
    return m + " che si legge " + letto;
  };
  if ((campo >= 2 && campo <= 4) || (campo >= 7 && campo <= 9)) {
    // s1 to s3 (fields 2 to 4) with d1 to d3 (7 to 9) in valore_a to valore_c.
    const size_t j = campo <= 4 ? campo - 2 : campo - 7;
    const std::string s = "s" + n(static_cast<int64_t>(j + 1));
    const std::string d = "d" + n(static_cast<int64_t>(j + 1));
    const int64_t valore = 10 * l(2 + j) + l(7 + j);
    const Cifre k = cifre(basso_16(valore));
    return codice(std::string("valore_") + static_cast<char>('a' + j), "10 " + s + " + " + d,
                  valore, "`" + s + "` " + n(k.decine) + " e `" + d + "` " + n(k.unita));
  }
  if (campo == 1 || campo == 5 || campo == 6) {
    const int64_t valore = 10 * l(5) + classe_cabina(l(1), l(6));
    const Cifre k = cifre(basso_16(valore));
    return codice("valore_d", "10 rapp + 3 sx + dx", valore,
                  "`rapp` " + n(k.decine) + " e classe " + n(k.unita) + ", cioe' `sx` " +
                      n(k.unita / 3) + " e `dx` " + n(k.unita % 3));
  }
  if (campo != 10) return "";
  if (l(1) != kSxConTempo) return "solo un segnale con `sx` 2 conserva il suo tempo";
  return tempo_alzato(l(10)) != l(10) && basso_8(tempo_alzato(l(10))) == x.valore
             ? "un tempo da 1 a 100 e' alzato a 101"
             : "la cella tiene il tempo in 8 bit, da 0 a 255";
}

// A slowdown read back at its start cell: speed, end mark and the value of
// every cell, each as 16 bits.
void rallentamento_riletto(const DaRileggere& r, std::span<Riletto> c) {
  if (r.letti.empty()) return;
  const std::optional<tratto> t =
      oggetto_riletto(r, cella_di_oggetto(r.letti[0]), kInizioRallentamento, c);
  if (!t) return;
  const int64_t v[] = {0, t->valore_a, 0, t->valore_c, 0, t->valore_b};
  presenti(c, v);
}

// A code reduction of no value (0 or less) keeps none, as written.
void abbattimento_riletto(const DaRileggere& r, std::span<Riletto> c) {
  if (r.letti.size() < 2) return;
  const int64_t cella = cella_di_tratto(r.letti[0]);
  if (const std::optional<tratto> t = oggetto_riletto(r, cella, kAbbattimento, c)) {
    const int64_t v[] = {0, t->valore_a};
    presenti(c, v);
  } else if (oggetto_riletto(r, cella, kAbbattimentoNullo, c)) {
    const int64_t v[] = {0, r.letti[1] < 1 ? r.letti[1] : 0};
    presenti(c, v);
  }
}

// A station read back from its row: the length from the zone its type
// gives, the time from the seconds after midnight; the options a rule of the
// station drops (under 600 m, types 5 to 8, the first station) are its own.
void stazione_riletta(const DaRileggere& r, std::span<Riletto> c) {
  if (r.riga < 0 || r.riga >= kRigheTabella) return;
  const voce& v = r.m.tabella[static_cast<size_t>(r.riga)];
  const auto letto = [&](size_t k) { return k < r.letti.size() ? r.letti[k] : 0; };
  const bool prima = r.riga == kPrimaRigaStazione;
  const int64_t opz_e = v.opz_e == 0 && (letto(2) < 600 || prima) ? letto(4) : v.opz_e;
  const int64_t opz_d = v.opz_d == 0 && (zona_intera(v.tipo) || prima) ? letto(5) : v.opz_d;
  const int64_t ora = v.orario;
  const bool con_ora = ora_stazione(v.orario).has_value();
  const int64_t valori[] = {v.posizione,
                            v.tipo,
                            lunghezza_da_zona(v.tipo, v.posizione, v.inizio),
                            v.opz_a,
                            opz_e,
                            opz_d,
                            v.cod_a,
                            v.cod_b,
                            v.opz_b,
                            v.cod_c,
                            v.cod_d,
                            v.cod_e,
                            v.opz_c,
                            con_ora ? ora / 3600 : 0,
                            con_ora ? ora / 60 % 60 : 0,
                            con_ora ? ora % 60 : 0,
                            0};
  for (size_t k = 0; k < c.size() && k < std::size(valori); ++k) {
    c[k].riga = r.riga;
    if (!c[k].confrontato) continue;
    c[k].presente = true;
    c[k].valore = valori[k];
  }
  if (c.size() > 16) c[16].testo = v.nome;
}

std::string stazione_perche(const DaRileggere& r, size_t campo, const Riletto& x) {
  const auto letto = [&](size_t k) { return k < r.letti.size() ? r.letti[k] : 0; };
  if (campo == 2) {
    return "la riga tiene la zona della stazione, da `inizio` a `fine`, e non la lunghezza: "
           "la lunghezza si rilegge dalla zona come " +
           n(x.valore) + " m";
  }
  if (campo >= 13 && campo <= 15) {
    const int64_t secondi = orario_stazione(letto(13), letto(14), letto(15));
    return "ore, minuti e secondi sono conservati come secondi dopo la mezzanotte, " + n(secondi) +
           ", che si leggono " + ora_del_giorno(static_cast<int32_t>(secondi));
  }
  return "";
}

// The position bounds of the entries.
constexpr std::string_view kNelPercorso =
    "(p + 100) / 50 al piu' n, l'ultima cella del percorso; se no errore 15";

// The bounds of the values kept as written.
constexpr Limiti kNonNegativo{0, INT64_MAX};
constexpr Limiti kOre{0, 23};
constexpr Limiti kSessanta{0, 59};
constexpr Limiti kCifra{0, 9};
constexpr Limiti k16Bit{INT16_MIN, INT16_MAX};

constexpr Deposito riga(int r, std::string_view campo, Modo m = Modo::come_letto) {
  return {Dove::riga, campo, m, r};
}
constexpr Deposito kCelleDa = in(Dove::celle_da);
constexpr Deposito kCellaOggetto = in(Dove::cella);
constexpr Deposito cella(std::string_view campo, Modo m = Modo::come_letto) {
  return {Dove::cella, campo, m, -1};
}
constexpr Deposito stazione(std::string_view campo, Modo m = Modo::come_letto) {
  return {Dove::riga, campo, m, -1};
}

constexpr CampoRecord kMassa[] = {{"percentage", "percentuale di massa frenata", Formato::i32, "%",
                                   "", riga(84, "inizio"),
                                   "quanta parte della massa del treno frena"}};
constexpr CampoRecord kVetture[] = {{"coaches", "vetture", Formato::i32, "", "0 o piu'",
                                     riga(84, "posizione"), "il numero di vetture del treno",
                                     kNonNegativo}};
constexpr CampoRecord kVelocita[] = {
    {"p", "posizione", Formato::i32, "m", kNelPercorso, kCelleDa,
     "da dove vale il limite: dalla cella p / 50 in poi"},
    {"speed",
     "velocita' massima",
     Formato::i32,
     "km/h",
     "da 0 a 1277",
     cella("velocita", Modo::passi_5_kmh),
     "il limite di velocita' della linea da quel punto",
     {0, 1277},
     kmh_conservati},
};
constexpr CampoRecord kAderenza[] = {
    {"p", "posizione", Formato::i32, "m", kNelPercorso, kCelleDa,
     "da dove vale l'aderenza: dalla cella p / 50 in poi"},
    {"adhesion",
     "aderenza",
     Formato::i32,
     "",
     "da 0 a 255",
     cella("aderenza", Modo::basso_8),
     "la classe di aderenza delle rotaie (bagnate, con foglie, ...)",
     {0, 255},
     basso_8_conservato},
};
constexpr CampoRecord kOrologio[] = {
    {"hours", "ore", Formato::i16, "", "da 0 a 23", riga(86, "cod_c", Modo::bit_16),
     "l'ora dell'orologio alla partenza", kOre},
    {"minutes", "minuti", Formato::i16, "", "da 0 a 59", riga(86, "cod_d", Modo::bit_16),
     "i minuti dell'orologio alla partenza", kSessanta},
    {"seconds", "secondi", Formato::i16, "", "da 0 a 59", riga(86, "cod_e", Modo::bit_16),
     "i secondi dell'orologio alla partenza", kSessanta},
};
constexpr CampoRecord kSabbia[] = {{"sand", "sabbia", Formato::i16, "", "",
                                    riga(86, "cod_a", Modo::bit_16),
                                    "la sabbia a bordo per frenare e avviarsi meglio"}};
constexpr CampoRecord kSegnale[] = {
    {"posizione", "posizione", Formato::i32, "m", kNelPercorso, kCellaOggetto,
     "dove sta il segnale: nella cella p / 50 + 1"},
    {"sx", "classe del segnale", Formato::i32, "", "1 o 2", cella("valore_d", Modo::con_altri),
     "1 segnale ordinario, 2 segnale con tempo; con `dx` da' i codici di preavviso; "
     "`valore_d` = 10 rapp + 3 sx + dx"},
    {"s1", "primo aspetto", Formato::i32, "", "", cella("valore_a", Modo::con_altri),
     "la prima luce del segnale; `valore_a` = 10 s1 + d1"},
    {"s2", "secondo aspetto", Formato::i32, "", "", cella("valore_b", Modo::con_altri),
     "la seconda luce del segnale; `valore_b` = 10 s2 + d2"},
    {"s3", "terzo aspetto", Formato::i32, "", "", cella("valore_c", Modo::con_altri),
     "la terza luce del segnale; `valore_c` = 10 s3 + d3"},
    {"rapp", "rappresentazione", Formato::i32, "", "", cella("valore_d", Modo::con_altri),
     "come il segnale si presenta in cabina; le decine di `valore_d`"},
    {"dx",
     "lato",
     Formato::i32,
     "",
     "da 0 a 2",
     cella("valore_d", Modo::con_altri),
     "il lato del segnale; entra in `valore_d` e nei codici di preavviso",
     {0, 2}},
    {"d1", "cifra del primo aspetto", Formato::i32, "", "da 0 a 9",
     cella("valore_a", Modo::con_altri), "le unita' di `valore_a`", kCifra},
    {"d2", "cifra del secondo aspetto", Formato::i32, "", "da 0 a 9",
     cella("valore_b", Modo::con_altri), "le unita' di `valore_b`", kCifra},
    {"d3", "cifra del terzo aspetto", Formato::i32, "", "da 0 a 9",
     cella("valore_c", Modo::con_altri), "le unita' di `valore_c`", kCifra},
    {"tempo", "tempo", Formato::i32, "", "da 1 a 100 e' alzato a 101",
     cella("tempo", Modo::basso_8), "il tempo del segnale, tenuto solo quando `sx` e' 2"},
};
constexpr CampoRecord kRallentamento[] = {
    {"x", "inizio", Formato::i32, "m", kNelPercorso, kCellaOggetto,
     "dove comincia il rallentamento: cella x / 50 + 1"},
    {"v",
     "velocita' del rallentamento",
     Formato::i32,
     "km/h",
     "da 0 a 32767",
     cella("valore_a", Modo::bit_16),
     "la velocita' da tenere; in `valore_a` dell'avviso, dell'inizio e della fine",
     {0, INT16_MAX},
     in_16_bit},
    {"l", "lunghezza", Formato::i32, "m", "0 o piu'", in(Dove::nessuno),
     "quanto e' lungo: la fine nella cella (x + l) / 50 + 1", kNonNegativo},
    {"f_tt", "segno di fine", Formato::i32, "", "16 bit", cella("valore_c", Modo::bit_16),
     "in `valore_c` dell'inizio e della fine", k16Bit, in_16_bit},
    {"f_ta", "preavvisi", Formato::i32, "", "non 0: preavvisi", in(Dove::nessuno),
     "se non e' 0, quattro celle di preavviso prima dell'avviso"},
    {"d_v", "valore di ogni cella", Formato::i32, "", "16 bit", cella("valore_b", Modo::bit_16),
     "in `valore_b` di ogni cella del rallentamento, quando non e' 0", k16Bit, in_16_bit},
};
constexpr CampoRecord kAbbattimento[] = {
    {"p", "posizione", Formato::i32, "m", kNelPercorso, in(Dove::cella),
     "dove sta l'abbattimento: nella cella p / 50"},
    {"value", "valore", Formato::i32, "km/h", "1 o piu'; se no nessuno",
     cella("valore_a", Modo::bit_16), "la velocita' a cui il codice e' abbattuto", k16Bit,
     in_16_bit},
};
constexpr CampoRecord kStazione[] = {
    {"position", "posizione", Formato::i32, "m",
     "un multiplo di 50 (errore 8); (p + 800) / 50 al piu' n, se no errore 15",
     stazione("posizione"), "dove sta la stazione sulla linea"},
    {"type", "tipo", Formato::u8, "", "5 e 6, 7 e 8, sotto 25, 25 e oltre sono diversi",
     stazione("tipo"), "il genere di stazione: sotto 25 il treno ha una cella di fermata"},
    {"length", "lunghezza", Formato::i32, "m", "un multiplo di 100, se no errore 9",
     stazione("inizio"), "la lunghezza della zona di stazione: `inizio` e `fine` della riga",
     kNonNegativo},
    {"opz_a", "opzione a", Formato::u8, "", "", stazione("opz_a"),
     "opzione della stazione, tenuta come scritta"},
    {"opz_e", "opzione e", Formato::u8, "", "tolta sotto 600 m e alla prima stazione",
     stazione("opz_e"), "opzione della stazione, tolta sotto 600 m e alla prima"},
    {"opz_d", "opzione d", Formato::u8, "", "aggiunge 50 m alla fine di una stazione ordinaria",
     stazione("opz_d"), "tolta per i tipi da 5 a 8 e alla prima stazione"},
    {"cod_a", "codice a", Formato::i16, "", "", stazione("cod_a", Modo::bit_16),
     "codice della stazione, tenuto come scritto"},
    {"cod_b", "codice b", Formato::i16, "", "", stazione("cod_b", Modo::bit_16),
     "codice della stazione, tenuto come scritto"},
    {"opz_b", "opzione b", Formato::u8, "", "", stazione("opz_b"),
     "opzione della stazione, tenuta come scritta"},
    {"cod_c", "codice c", Formato::i16, "", "", stazione("cod_c", Modo::bit_16),
     "codice della stazione, tenuto come scritto"},
    {"cod_d", "codice d", Formato::i16, "", "", stazione("cod_d", Modo::bit_16),
     "codice della stazione, tenuto come scritto"},
    {"cod_e", "codice e", Formato::i16, "", "", stazione("cod_e", Modo::bit_16),
     "codice della stazione, tenuto come scritto"},
    {"opz_c", "opzione c", Formato::u8, "", "", stazione("opz_c"),
     "opzione della stazione, tenuta come scritta"},
    {"hours", "ore", Formato::i32, "", "da 0 a 23", stazione("orario", Modo::secondi),
     "l'ora dell'orario della stazione", kOre},
    {"minutes", "minuti", Formato::i32, "", "da 0 a 59", stazione("orario", Modo::secondi),
     "i minuti dell'orario", kSessanta},
    {"seconds", "secondi", Formato::i32, "", "da 0 a 59", stazione("orario", Modo::secondi),
     "i secondi dell'orario", kSessanta},
    {"name", "nome", Formato::testo, "", "fino alla fine della riga", stazione("nome"),
     "il nome della stazione, come lo legge il macchinista"},
};

const VoceCatalogo<CorpoTreno> kTreno[] = {
    {.record = {.nome = "percentuale massa frenata",
                .prova = contiene_parole("massa", "frenata"),
                .campi = kMassa,
                .effetto = "la percentuale di massa frenata del treno",
                .controllo = Controllo::una_volta,
                .frase = "il record `percentuale massa frenata`"},
     .gestore = voce_massa_frenata},
    {.record = {.nome = "numero vetture",
                .prova = contiene_parole("vetture"),
                .campi = kVetture,
                .effetto = "il numero di vetture del treno",
                .controllo = Controllo::una_volta,
                .frase = "il record `numero vetture`"},
     .gestore = voce_vetture},
    {.record = {.nome = "velocita",
                .prova = contiene_parole("velocit"),
                .campi = kVelocita,
                .effetto =
                    "il limite di velocita' da p in poi; ogni punto riempie le celle dal punto "
                    "prima fino al suo con la velocita' di prima, l'ultimo arriva alla cella n - 3",
                .controllo = Controllo::in_ordine,
                .frase = "il limite di velocita",
                .conservazione = Conservazione::tratto},
     .gestore = voce_velocita},
    {.record = {.nome = "aderenza",
                .prova = contiene_parole("aderenza"),
                .campi = kAderenza,
                .effetto = "la classe di aderenza da p in poi, come la velocita'",
                .controllo = Controllo::in_ordine,
                .frase = "l'aderenza",
                .conservazione = Conservazione::tratto},
     .gestore = voce_aderenza},
    {.record = {.nome = "orologio",
                .prova = contiene_parole("orologio"),
                .campi = kOrologio,
                .effetto = "l'orologio alla partenza",
                .controllo = Controllo::una_volta,
                .frase = "il record `orologio`"},
     .gestore = voce_orologio},
    {.record = {.nome = "sabbia",
                .prova = contiene_parole("sabbia"),
                .campi = kSabbia,
                .effetto = "la sabbia a bordo",
                .controllo = Controllo::una_volta,
                .frase = "il record `sabbia`"},
     .gestore = voce_sabbia},
    {.record =
         {.nome = "segnale",
          .prova = contiene_parole("segnale"),
          .campi = kSegnale,
          .effetto =
              "un segnale con quattro codici in un numero (cella gia' occupata: errore 16); "
              "le celle 2, 4, 6 e 8 prima prendono i codici di preavviso (3 sx + dx) x 10 + 1 "
              "fino a + 4",
          .frase = "il segnale",
          .conserva = segnale_conservato,
          .rileggi = segnale_riletto,
          .perche = segnale_perche},
     .gestore = voce_segnale},
    {.record = {.nome = "rallentamento",
                .prova = contiene_parole("rallentamento"),
                .campi = kRallentamento,
                .effetto =
                    "un rallentamento: celle di inizio e di fine, e oltre x = 1500 una cella "
                    "d'avviso (x - 1200) / 50 + 1 con i preavvisi prima. Celle gia' occupate: "
                    "errore 17 (avviso), 18 (inizio), 19 (fine), 20 (preavviso)",
                .frase = "il rallentamento",
                .conserva = rallentamento_conservato,
                .rileggi = rallentamento_riletto},
     .gestore = voce_rallentamento},
    {.record = {.nome = "abbattimento",
                .prova = contiene_parole("abbattimento"),
                .campi = kAbbattimento,
                .effetto =
                    "un abbattimento del codice, con il suo valore se e' 1 o piu' (cella gia' "
                    "occupata: errore 7)",
                .frase = "l'abbattimento",
                .rileggi = abbattimento_riletto},
     .gestore = voce_abbattimento},
    {.record =
         {.nome = "stazione",
          .prova = contiene_parole("stazione"),
          .campi = kStazione,
          .effetto =
              "una stazione: la prossima riga della tabella da 1 in su (errore 10 alle righe dei "
              "cartelli), una cella di fermata per i tipi sotto 25",
          .controllo = Controllo::in_ordine,
          .frase = "la stazione",
          .rileggi = stazione_riletta,
          .perche = stazione_perche},
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
