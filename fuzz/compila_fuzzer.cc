// Fuzz target: the whole compile over a line source and a train source taken
// from one input, and the properties every compile has, not only the absence
// of crashes. The two sources are separated by the first NUL byte (no NUL:
// the whole input is the line source and the train source is empty).
//
// Properties checked on every input:
// - the parser is always done with a line source it has found;
// - determinism, and warnings that never change an output: every input is
//   compiled twice, once as the tools do (with the authors' warnings, their
//   "did you mean" left out: see below) and once as `calvetra` does (without
//   warnings); both give the same model, ending, error code and position, and
//   the same errors at the same places. The files are a function of the
//   model alone (the round trip encodes it again), so the same model means
//   the same bytes;
// - round trip: the three files of a finished model are accepted by the
//   reader of the binary files and re-encode to the same bytes;
// - nothing unsaid: every stored field of every compiled record keeps its
//   value as read, or a diagnostic of that record says what the files keep.
// - a fix keeps its promise: each warning offers one fix at most, and each
//   fix offered, applied to its source and compiled again, answers its
//   warning, brings no new diagnostic and reads what it promised.
//
// The "did you mean" of a passed-over field compares its words with the
// record names: a third of a compile of fuzzed text, whose words are mostly
// keywords mutated. It only adds words to a message, and the field-reader target checks it on
// the text fields it reads, against its rule computed a second way.
//
// Work per input is bounded by what the input is worth. Under the sanitizers
// a metre of the plan costs about two microseconds over the passes above (two
// integrations, an encoding, a decoding and a re-encoding), a cell about as
// much, and one route length record of 1000000 m asks for 1007001 metres and
// 20141 cells. So the largest route length that any record of the line source
// could set (a value over the maximum is refused before it sizes anything)
// decides, for a rate of over 1000 inputs a second:
// - up to kLunghezzaConPiano (-5000 m: a plan of 2000 m with the 7000 m
//   run-in, 41 cells): the whole compile, plan included;
// - up to kLunghezzaSenzaPiano (20000 m: 541 cells): the compile without the
//   plan, exactly as a compile that is not asked for one: cells, table, signs,
//   stations and cab codes; curve records are then not read;
// - longer routes: skipped.
// Long routes and their plans are covered by tests/identita (which compiles
// 1000000 m routes) and by the benchmarks (BM_PercorsoSintetico1000000).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "compile/compilazione.h"
#include "compile/correzioni.h"
#include "fields/lettore_campi.h"
#include "model/numeri.h"
#include "model/significato.h"
#include "output/file_tabella.h"
#include "output/lettura.h"
#include "output/scrittura.h"
#include "platform/piattaforma_memoria.h"
#include "proprieta.h"

namespace calvetra::fuzz {
namespace {

// The longest routes compiled with and without the plan (see above).
constexpr int32_t kLunghezzaConPiano = -5000;
constexpr int32_t kLunghezzaSenzaPiano = 20000;

// The largest route length that a field naming it sets, anywhere in the
// source (the parser reads no more than this); a value over the maximum is
// refused before it sizes anything and does not count.
int64_t lunghezza_massima(std::string_view linea) {
  LettoreCampi f;
  f.apri(linea);
  int64_t massima = INT64_MIN;
  while (!f.fine()) {
    const std::string campo = f.leggi_testo();
    if (!contiene(campo, "percorso") || !contiene(campo, "lunghezza") || f.fine()) continue;
    // A number that does not fit is passed over: the parser may read the
    // same text as something else (a preamble, a name) and go on.
    try {
      const int32_t L = f.leggi_32();
      if (L > massima && L <= kLunghezzaMassima) massima = L;
    } catch (const GuastoInatteso&) {
    }
  }
  return massima;
}

// The three files of a finished model, written into memory.
struct File {
  std::string geometria;
  std::string tabella;
  std::string celle;
};

File scrivi(const Compilazione& c, bool con_geometria) {
  PiattaformaMemoria p;
  std::string motivo;
  const NomiScenario nomi;
  // Writing a finished model fails only for a name too long to store.
  if (!scrivi_file_binari(&p, p.cartella(), nomi, c.modello, con_geometria, &motivo)) {
    verifica(motivo.find(std::to_string(formato_tabella::kNomeMassimo)) != std::string::npos);
    return {};
  }
  const auto prendi = [&p](const std::string& nome) {
    return std::move(p.file[nella_cartella(p.cartella(), nome)]);
  };
  File f;
  if (con_geometria) f.geometria = prendi(nomi.geometria());
  f.tabella = prendi(nomi.tabella());
  f.celle = prendi(nomi.celle());
  return f;
}

// The files decode with the reader of the binary files and re-encode to the
// same bytes.
void verifica_lettura(const File& f, bool con_geometria) {
  controllata("andata_ritorno");
  ScenarioLetto s;
  verifica(leggi_tabella(f.tabella, &s.tabella).ok());
  const int32_t L = Intestazione(s.tabella).lunghezza_percorso();
  verifica(leggi_celle(f.celle, L, &s.tratti).ok());
  if (con_geometria) {
    PianoLetto piano;
    verifica(leggi_geometria(f.geometria, L, &piano).ok());
    s.geometria = std::move(piano);
  }
  verifica_ricodifica(f.tabella, f.celle, f.geometria, s);
}

// The errors of a run, without the fatal ends said for authors.
std::vector<Diagnostico> errori_del_run(const Compilazione& c) {
  std::vector<Diagnostico> e = c.diagnostica.errori();
  std::erase_if(e, [](const Diagnostico& d) { return d.fatale; });
  return e;
}

// The two compiles of one input agree: the same model, ending, code and
// position, and the same errors (their notes may differ: the note on the
// route length comes with the warnings' watch of it); where the compile
// without a journal places an error, the other places it there too (the
// journal places more: the errors of the cab-code pass, error 2).
void verifica_uguali(const Compilazione& c, const Compilazione& senza) {
  verifica(!senza.diagnostica.ha_avvisi());
  verifica(senza.modello == c.modello && senza.fine == c.fine &&
           senza.errore_fatale == c.errore_fatale && senza.codice_errore() == c.codice_errore() &&
           senza.posizione_errore() == c.posizione_errore());
  const std::vector<Diagnostico> a = errori_del_run(c);
  const std::vector<Diagnostico> b = errori_del_run(senza);
  verifica(a.size() == b.size());
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    verifica(a[i].codice == b[i].codice && a[i].posizione == b[i].posizione &&
             (b[i].luogo == Luogo{} || a[i].luogo == b[i].luogo));
  }
}

// The journal's writes replayed over an empty model make the same cells and
// rows; a check (the plan only measured) says exactly what the compile says;
// a table name too long to write is a fatal end said at its record.
void verifica_giornale(const Compilazione& c, const Compilazione& check) {
  controllata("giornale");
  const Modello r = riproduci(c.giornale);
  verifica(r.tratti == c.modello.tratti && r.tabella == c.modello.tabella);
  verifica(check.diagnostica.voci() == c.diagnostica.voci() && check.fine == c.fine);
  bool troppo_lungo = false;
  for (const Diagnostico& d : c.diagnostica.voci()) {
    troppo_lungo = troppo_lungo || (d.fatale && d.codice == CodiceErrore::nessuno);
  }
  verifica(troppo_lungo == !non_scrivibile(c.modello).empty());
}

// Every fix offered was compiled before it was offered; compiled again, it
// keeps its promise.
void verifica_correzioni_offerte(const Compilazione& c, const DaCorreggere& s) {
  const std::vector<Diagnostico>& voci = c.diagnostica.voci();
  for (size_t i = 0; i < voci.size(); ++i) {
    verifica(voci[i].correzioni.size() <= 1);
    for (const Correzione& f : voci[i].correzioni) {
      controllata("correzioni");
      verifica(prova_correzione(c, i, f, s).empty());
    }
  }
}

}  // namespace
}  // namespace calvetra::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione) {
  using namespace calvetra;
  using namespace calvetra::fuzz;
  const std::string_view input(reinterpret_cast<const char*>(dati), dimensione);
  const size_t separatore = input.find('\0');
  const std::string_view linea = input.substr(0, separatore);
  const std::string_view treno =
      separatore == std::string_view::npos ? std::string_view() : input.substr(separatore + 1);
  const int64_t lunghezza = lunghezza_massima(linea);
  if (lunghezza > kLunghezzaSenzaPiano) return 0;
  const bool con_geometria = lunghezza <= kLunghezzaConPiano;

  const auto compila_con = [&](ModoAvvisi avvisi, bool coordinate) {
    OpzioniCompilazione o;
    o.con_geometria = con_geometria;
    o.coordinate = coordinate;
    o.avvisi = avvisi;
    return compila(Sorgente::di(linea), Sorgente::di(treno), {}, o);
  };
  const Compilazione c = compila_con(ModoAvvisi::senza_suggerimenti, true);
  verifica(c.consumate.linea);
  const Compilazione senza = compila_con(ModoAvvisi::spenti, true);
  controllata(con_geometria ? "determinismo_con_piano" : "determinismo_senza_piano");
  if (c.diagnostica.ha_avvisi()) controllata("avvisi");
  verifica_uguali(c, senza);
  {
    OpzioniCompilazione o;
    o.con_geometria = con_geometria;
    o.avvisi = ModoAvvisi::senza_suggerimenti;
    const Sorgente l = Sorgente::di(linea);
    const Sorgente t = Sorgente::di(treno);
    verifica_correzioni_offerte(c, {l, t, {}, o});
  }
  verifica_giornale(c, compila_con(ModoAvvisi::senza_suggerimenti, false));
  verifica_nulla_di_non_detto(c, linea, treno);
  if (senza.fine != FineCompilazione::pronta) return 0;

  const File f = scrivi(senza, con_geometria);
  if (f.tabella.empty()) return 0;
  verifica_lettura(f, con_geometria);
  return 0;
}
