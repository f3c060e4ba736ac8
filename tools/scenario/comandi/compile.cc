#include "scenario/comandi/compile.h"

#include <algorithm>
#include <vector>

#include "compile/compilazione.h"
#include "output/scrittura.h"
#include "scenario/comune/compilato.h"
#include "scenario/comune/json.h"
#include "scenario/comune/rapporto.h"
#include "scenario/comune/sorgenti.h"

namespace calvetra::scenario {

namespace {

constexpr const char* kAiuto =
    "uso: scenario compile [OPZIONI] CARTELLA\n"
    "     scenario check [OPZIONI] CARTELLA\n"
    "\n"
    "compile compila i sorgenti NOME_linea.txt e NOME_COPPIA-.txt della CARTELLA\n"
    "con lo stesso compilatore di calvetra e vi scrive i file binari\n"
    "NOME_linea.dat, NOME_COPPIA.sim e NOME_COPPIA.dat. I sorgenti restano come\n"
    "sono: il compilatore lavora su copie. check fa gli stessi controlli e non\n"
    "scrive nessun file.\n"
    "\n"
    "  --linea NOME        nome della linea (predefinito \"Calvetra\")\n"
    "  --treni COPPIA      coppia di treni (predefinita \"2718 - 5340\")\n"
    "  --senza-geometria   non calcola ne' scrive la geometria (NOME_linea.dat)\n"
    "  --json              un solo documento JSON con ogni diagnostica, su stdout\n"
    "  --rigoroso          una compilazione con avvisi esce con 4\n"
    "\n"
    "Un errore registrato e' riportato come FILE:RIGA:COLONNA: errore N\n"
    "(posizione P m): significato, un avviso come FILE:RIGA:COLONNA: avviso:\n"
    "messaggio [nome], con la riga del sorgente e un segno sotto il campo; le\n"
    "righe nota: che seguono indicano la causa o il record precedente. Gli\n"
    "avvisi non cambiano mai i file scritti ne' lo stato di uscita, salvo\n"
    "--rigoroso. Colori solo su un terminale e senza NO_COLOR.\n"
    "\n"
    "Uscita: 0 compilazione pulita, 3 errore registrato (compile scrive comunque\n"
    "i file), 4 con --rigoroso: avvisi e nessun errore (compile scrive comunque\n"
    "i file), 1 fine fatale (1250/1251, nessuna cella, file illeggibili o non\n"
    "scrivibili), 2 uso errato. check non scrive mai nessun file.\n";

// The error 101 of a missing line source.
bool linea_mancante(const Diagnostico& d) {
  return d.gravita == Gravita::errore && d.codice == CodiceErrore::linea_assente;
}

// The notes under a missing line source's error 101: the files of nearly its
// name, and other routes in the directory.
void annota_linea_mancante(std::vector<Diagnostico>* diagnostici, Piattaforma* disco,
                           const OpzioniCompila& o) {
  for (Diagnostico& d : *diagnostici) {
    if (!linea_mancante(d)) continue;
    for (std::string& n : note_mancante(disco, o.cartella, o.nomi, FileSorgente::linea)) {
      d.note.push_back({std::move(n), Luogo{}});
    }
  }
}

// "1 errore, 2 avvisi", "nessun errore, nessun avviso", "1 errore fatale,
// 2 avvisi". A run that ends fatally with no fatal diagnostic of its own (no
// cells, a file that cannot be written) counts its end as one.
std::string conteggio(const std::vector<Diagnostico>& diagnostici, bool fine_fatale) {
  size_t errori = 0;
  size_t fatali = 0;
  size_t avvisi = 0;
  for (const Diagnostico& d : diagnostici) {
    ++(d.gravita == Gravita::avviso ? avvisi : d.fatale ? fatali : errori);
  }
  if (fine_fatale && fatali == 0) fatali = 1;
  const auto quanti = [](size_t n, const char* uno, const char* molti, const char* nessuno) {
    return n == 0 ? std::string(nessuno) : std::to_string(n) + " " + (n == 1 ? uno : molti);
  };
  std::string s = quanti(errori, "errore", "errori", "nessun errore");
  if (fatali > 0) {
    s = (errori > 0 ? s + ", " : "") + quanti(fatali, "errore fatale", "errori fatali", "");
  }
  return s + ", " + quanti(avvisi, "avviso", "avvisi", "nessun avviso");
}

// What the JSON document holds besides the diagnostics.
struct Riepilogo {
  const char* comando = "";  // "compile" or "check"
  int stato = 0;
  const Compilazione* compilazione = nullptr;
  std::vector<std::string> scritti;
  std::string motivo;  // why a file could not be written; empty otherwise
};

// Sets "file", "riga" and "colonna" of a place in `j`, null where there is none.
void metti_posto(Json* j, const Luogo& l, CodiceErrore codice, const ScenarioCompilato& s) {
  const Posto p = posto(l, codice, s);
  (*j)["file"] = p.file != nullptr ? Json(*p.file) : Json(nullptr);
  (*j)["riga"] = p.posizione ? Json(p.posizione->riga) : Json(nullptr);
  (*j)["colonna"] = p.posizione ? Json(p.posizione->colonna) : Json(nullptr);
}

Json json_diagnostico(const Diagnostico& d, const ScenarioCompilato& s) {
  const bool errore = d.gravita == Gravita::errore;
  Json j;
  j["gravita"] = errore ? "errore" : "avviso";
  j["codice"] = errore ? Json(numero(d.codice)) : Json(nullptr);
  j["nome"] = errore ? Json(nullptr) : Json(d.nome);
  metti_posto(&j, d.luogo, d.codice, s);
  j["posizione"] = d.con_posizione ? Json(d.posizione) : Json(nullptr);
  // A fatal end without a number of its own says why in its message.
  const bool numerato = errore && d.codice != CodiceErrore::nessuno;
  j["messaggio"] = testo_json(numerato ? std::string(descrizione_errore(d.codice)) : d.messaggio);
  j["fatale"] = d.fatale;
  j["non_compilato"] = d.non_compilato;
  j["note"] = Json::array();
  for (const Nota& n : d.note) {
    Json nota = {{"messaggio", testo_json(n.testo)}};
    metti_posto(&nota, n.luogo, CodiceErrore::nessuno, s);
    j["note"].push_back(std::move(nota));
  }
  // A fix: replace `lunghezza` bytes of the source from its place with `testo`.
  j["correzioni"] = Json::array();
  for (const Correzione& c : d.correzioni) {
    Json f = {{"titolo", testo_json(c.titolo)}};
    metti_posto(&f, c.luogo, CodiceErrore::nessuno, s);
    f["offset"] = c.luogo.offset;
    f["lunghezza"] = c.lunghezza;
    f["testo"] = testo_json(c.testo);
    j["correzioni"].push_back(std::move(f));
  }
  return j;
}

Json documento_json(const std::vector<Diagnostico>& diagnostici, const ScenarioCompilato& s,
                    const Riepilogo& r) {
  const Compilazione& c = *r.compilazione;
  Json j;
  j["comando"] = r.comando;
  j["linea"] = s.sorgenti().linea.percorso;
  j["treno"] = s.sorgenti().treno.percorso;
  j["stato"] = r.stato;
  j["codice_errore"] = numero(c.codice_errore());
  j["posizione_errore"] = c.posizione_errore();
  // A compile ready for its files that ended with none written (a text too
  // long for the table, a disk that refused them) says so.
  const bool non_scritta = c.fine == FineCompilazione::pronta && r.stato == kUscitaFatale;
  j["fine"] = non_scritta ? "non_scritta" : nome_fine(c.fine);
  j["errore_fatale"] = numero(c.errore_fatale);
  j["motivo"] = r.motivo.empty() ? Json(nullptr) : Json(r.motivo);
  j["scritti"] = r.scritti;
  j["diagnostici"] = Json::array();
  for (const Diagnostico& d : diagnostici) j["diagnostici"].push_back(json_diagnostico(d, s));
  return j;
}

// Why a compilation that ended with `c` writes no file; "" when it writes them.
std::string senza_file_scritti(const Compilazione& c) {
  if (c.fine == FineCompilazione::fatale) {
    return "Errore n. " + std::to_string(numero(c.errore_fatale)) + ": " +
           descrizione_errore(c.errore_fatale) + "; nessun file scritto";
  }
  const char* perche = senza_file(c.fine);
  return perche != nullptr ? std::string(perche) + ", nessun file scritto" : "";
}

// Writes the binary files of `m` and lists them in `r`; false with the
// reason in `r->motivo`.
bool scrivi_file(const Contesto& ctx, const OpzioniCompila& o, const Modello& m, Riepilogo* r) {
  if (!scrivi_file_binari(ctx.disco, o.cartella, o.nomi, m, o.con_geometria, &r->motivo)) {
    return false;
  }
  if (o.con_geometria) r->scritti.push_back(nella_cartella(o.cartella, o.nomi.geometria()));
  r->scritti.push_back(nella_cartella(o.cartella, o.nomi.tabella()));
  r->scritti.push_back(nella_cartella(o.cartella, o.nomi.celle()));
  return true;
}

}  // namespace

EsitoCompila compila_cartella(const Contesto& ctx, const OpzioniCompila& o) {
  EsitoCompila esito;
  if (!cartella_da_leggere(ctx, o.cartella)) return esito;
  SorgentiAutore lette;
  std::string errore;
  if (!leggi_sorgenti(ctx.disco, o.cartella, o.nomi, &lette, &errore)) {
    ctx.err << errore << "\n";
    return esito;
  }
  if (treno_mancante(ctx.disco, o.cartella, o.nomi, lette, ctx.err)) return esito;
  // A check writes nothing: its plan is only measured, which gives every
  // diagnostic of the whole plan at a fraction of the time and memory.
  const Compilato compilato = ScenarioCompilato::compila(
      std::move(lette), o.nomi, {.con_geometria = o.con_geometria, .coordinate = o.scrivi});
  const Compilazione& c = compilato->compilazione();
  esito.codice_errore = c.codice_errore();
  esito.posizione_errore = c.posizione_errore();
  const std::vector<Diagnostico> errori = c.diagnostica.errori();
  if (!errori.empty()) {
    esito.file_errore = errori.back().luogo.file;
    esito.campo_errore = errori.back().luogo.offset;
  }
  // The compile's own diagnostics, copied only to add the notes of a line
  // source that is missing.
  std::vector<Diagnostico> annotati;
  const std::vector<Diagnostico>* tutti = &c.diagnostica.voci();
  if (std::any_of(tutti->begin(), tutti->end(), linea_mancante)) {
    annotati = *tutti;
    annota_linea_mancante(&annotati, ctx.disco, o);
    tutti = &annotati;
  }
  const std::vector<Diagnostico>& diagnostici = *tutti;
  for (const Diagnostico& d : diagnostici) esito.avvisi += d.gravita == Gravita::avviso ? 1 : 0;
  const ScenarioCompilato& sorgenti = *compilato;
  Riepilogo riepilogo{o.scrivi ? "compile" : "check", 0, &c, {}, ""};
  const auto concludi = [&](int stato) {
    esito.stato = riepilogo.stato = stato;
    if (o.json) {
      ctx.out << scrivi_json(documento_json(diagnostici, sorgenti, riepilogo), 2);
    } else if (stato != kUscitaFatale || !diagnostici.empty()) {
      // One line, one write.
      ctx.err << "scenario " + std::string(riepilogo.comando) + ": " +
                     conteggio(diagnostici, stato == kUscitaFatale) + "\n";
    }
    return esito;
  };

  // Every diagnostic of the run, in the order recorded; the last error is
  // the code the run ends with.
  if (!o.json) {
    scrivi_diagnostici(ctx.err, diagnostici, sorgenti, ctx.colore);
  }
  std::string fatale = senza_file_scritti(c);
  // A check ends where the compile would fail to write, whatever the disk.
  if (fatale.empty() && !o.scrivi) fatale = non_scrivibile(c.modello);
  if (!fatale.empty()) {
    if (!o.json) ctx.err << "scenario: " << fatale << "\n";
    return concludi(kUscitaFatale);
  }
  if (o.scrivi) {
    if (!scrivi_file(ctx, o, c.modello, &riepilogo)) {
      if (!o.json) ctx.err << "scenario: " << riepilogo.motivo << "\n";
      return concludi(kUscitaFatale);
    }
    if (!o.json) {
      for (const std::string& f : riepilogo.scritti) ctx.out << "scritto " << f << "\n";
    }
  }
  int stato = stato_uscita(c);
  if (o.rigoroso && stato == kUscitaPulita && esito.avvisi > 0) stato = kUscitaConAvvisi;
  return concludi(stato);
}

namespace {

// compile and check: the same options; check writes nothing.
int comando(const char* nome, bool scrivi, const Contesto& c, const Argomenti& a) {
  OpzioniCompila o;
  o.scrivi = scrivi;
  bool senza_geometria = false;
  Sintassi s(nome, kAiuto);
  s.nomi_scenario(&o.nomi)
      .bandiera("--senza-geometria", &senza_geometria)
      .bandiera("--json", &o.json)
      .bandiera("--rigoroso", &o.rigoroso)
      .cartella(&o.cartella);
  if (const std::optional<int> fine = s.leggi(a, c.out, c.err)) return *fine;
  o.con_geometria = !senza_geometria;
  return compila_cartella(c, o).stato;
}

}  // namespace

int comando_compile(const Contesto& c, const Argomenti& a) {
  return comando("compile", true, c, a);
}

int comando_check(const Contesto& c, const Argomenti& a) { return comando("check", false, c, a); }

}  // namespace calvetra::scenario
