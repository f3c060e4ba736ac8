#include "compila.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <vector>

#include "argomenti.h"
#include "compile/compilazione.h"
#include "diagnostica.h"
#include "model/messaggi.h"
#include "output/scrittura.h"
#include "platform/piattaforma.h"
#include "rapporto.h"
#include "sorgenti.h"
#include "vicini.h"

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

constexpr const char* kUso =
    "[--linea NOME] [--treni COPPIA] [--senza-geometria] [--json] [--rigoroso] CARTELLA\n";

const char* nome_fine(FineCompilazione f) {
  switch (f) {
    case FineCompilazione::pronta: return "pronta";
    case FineCompilazione::senza_celle: return "senza_celle";
    case FineCompilazione::poche_celle: return "poche_celle";
    case FineCompilazione::fatale: return "fatale";
  }
  return "";
}

// The note under the error of a missing source: the path looked for, and a
// file of the directory with nearly that name.
void annota_mancante(std::vector<Diagnostico>* diagnostici, const OpzioniCompila& o,
                     const SorgenteAutore& s, FileSorgente file, const std::string& nome) {
  if (s.testo) return;
  const std::string vicino = nome_vicino(o.cartella, nome);
  if (vicino.empty()) return;
  for (Diagnostico& d : *diagnostici) {
    if (d.gravita != Gravita::errore) continue;
    const bool suo = file == FileSorgente::linea ? d.codice == 101 : d.luogo.file == file;
    if (!suo) continue;
    d.note.push_back({"nella cartella c'e' `" + vicino + "`: il nome cercato e' `" + nome +
                          "` (trattini, maiuscole ed estensione contano)",
                      Luogo{}});
  }
}

}  // namespace

EsitoCompila compila(const OpzioniCompila& o, std::ostream& out, std::ostream& err) {
  EsitoCompila esito;
  std::error_code ec;
  if (!std::filesystem::is_directory(o.cartella, ec)) {
    err << "scenario: " << o.cartella << ": la cartella non esiste\n";
    return esito;
  }
  SorgentiAutore lette;
  std::string errore;
  if (!leggi_sorgenti(o.cartella, o.nomi, &lette, &errore)) {
    err << errore << "\n";
    return esito;
  }
  const SorgenteAutore& linea = lette.linea;
  const SorgenteAutore& treno = lette.treno;

  // The compiler reads the texts in place: the author's files are never
  // deleted or changed.
  const int32_t j = o.con_geometria ? 1 : 0;
  const Compilazione c = compila_sorgenti(lette, o.nomi, o.con_geometria, false);
  esito.codice_errore = c.codice_errore();
  esito.posizione_errore = c.posizione_errore();
  const std::vector<Diagnostico> errori = c.diagnostica.errori();
  if (!errori.empty()) {
    esito.file_errore = errori.back().luogo.file;
    esito.campo_errore = errori.back().luogo.offset;
  }
  std::vector<Diagnostico> diagnostici = c.diagnostica.voci();
  annota_mancante(&diagnostici, o, linea, FileSorgente::linea, o.nomi.sorgente_linea());
  annota_mancante(&diagnostici, o, treno, FileSorgente::treno, o.nomi.sorgente_treno());
  for (const Diagnostico& d : diagnostici) esito.avvisi += d.gravita == Gravita::avviso ? 1 : 0;
  const SorgentiRapporto sorgenti{linea, treno};
  RiepilogoJson riepilogo;
  riepilogo.comando = o.scrivi ? "compile" : "check";
  riepilogo.codice_errore = c.codice_errore();
  riepilogo.posizione_errore = c.posizione_errore();
  riepilogo.fine = nome_fine(c.fine);
  riepilogo.errore_fatale = c.errore_fatale;
  const auto concludi = [&](int stato) {
    esito.stato = stato;
    riepilogo.stato = stato;
    if (o.json) out << documento_json(diagnostici, sorgenti, riepilogo);
    return esito;
  };

  // Every diagnostic of the run, in the order recorded; the last error is
  // the code the run ends with.
  if (!o.json) {
    for (const Diagnostico& d : diagnostici) err << testo_diagnostico(d, sorgenti, o.colore);
  }
  std::string fatale;
  switch (c.fine) {
    case FineCompilazione::senza_celle: fatale = "nessuna cella creata, nessun file scritto"; break;
    case FineCompilazione::poche_celle: fatale = "troppo poche celle, nessun file scritto"; break;
    case FineCompilazione::fatale:
      fatale = "Errore n. " + std::to_string(c.errore_fatale) + ": " +
               descrizione_errore(c.errore_fatale) + "; nessun file scritto";
      break;
    case FineCompilazione::pronta: break;
  }
  if (!fatale.empty()) {
    if (!o.json) err << "scenario: " << fatale << "\n";
    return concludi(kUscitaFatale);
  }
  if (o.scrivi) {
    std::string motivo;
    PiattaformaPosix cartella(o.cartella);
    if (!scrivi_file_binari(&cartella, o.nomi, c.modello, j, &motivo)) {
      if (!o.json) err << "scenario: " << motivo << "\n";
      riepilogo.motivo = motivo;
      return concludi(kUscitaFatale);
    }
    if (o.con_geometria)
      riepilogo.scritti.push_back(nella_cartella(o.cartella, o.nomi.geometria()));
    riepilogo.scritti.push_back(nella_cartella(o.cartella, o.nomi.tabella()));
    riepilogo.scritti.push_back(nella_cartella(o.cartella, o.nomi.celle()));
    if (!o.json) {
      for (const std::string& f : riepilogo.scritti) out << "scritto " << f << "\n";
    }
  }
  int stato = stato_uscita(c);
  if (o.rigoroso && stato == kUscitaPulita && esito.avvisi > 0) stato = kUscitaConAvvisi;
  return concludi(stato);
}

namespace {

// compile and check: the same options; check writes nothing.
int comando(const char* nome, bool scrivi, int argc, const char* const* argv, std::ostream& out,
            std::ostream& err) {
  OpzioniCompila o;
  o.scrivi = scrivi;
  // Colours only for the process's own standard error.
  o.colore = &err == &std::cerr && colori_su_stderr();
  Argomenti a(argc, argv);
  std::vector<std::string> posizionali;
  while (!a.finiti()) {
    if (a.opzione("--help") || a.opzione("-h")) {
      out << kAiuto;
      return kUscitaPulita;
    }
    if (a.opzione("--senza-geometria")) {
      o.con_geometria = false;
      continue;
    }
    if (a.opzione("--json")) {
      o.json = true;
      continue;
    }
    if (a.opzione("--rigoroso")) {
      o.rigoroso = true;
      continue;
    }
    if (a.nome("--linea", &o.nomi.linea) || a.nome("--treni", &o.nomi.treni)) continue;
    if (a.errore() || !a.posizionale(&posizionali)) break;
  }
  if (a.errore() || posizionali.size() != 1) {
    err << "scenario " << nome << ": "
        << (a.errore() ? a.messaggio() : motivo_cartella(posizionali)) << "\n"
        << "uso: scenario " << nome << " " << kUso;
    return kUscitaUso;
  }
  o.cartella = posizionali[0];
  return compila(o, out, err).stato;
}

}  // namespace

bool colori_su_stderr() {
  const char* no_color = std::getenv("NO_COLOR");
  if (no_color != nullptr && no_color[0] != '\0') return false;
  return isatty(STDERR_FILENO) != 0;
}

int comando_compile(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  return comando("compile", true, argc, argv, out, err);
}

int comando_check(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  return comando("check", false, argc, argv, out, err);
}

}  // namespace calvetra::scenario
