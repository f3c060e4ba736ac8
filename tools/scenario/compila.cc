#include "compila.h"

#include <filesystem>
#include <optional>
#include <vector>

#include "argomenti.h"
#include "compile/compilazione.h"
#include "diagnostica.h"
#include "model/messaggi.h"
#include "output/scrittura.h"
#include "platform/piattaforma.h"

namespace calvetra::scenario {

namespace {

constexpr const char* kAiuto =
    "uso: scenario compile [--linea NOME] [--treni COPPIA] [--senza-geometria] CARTELLA\n"
    "\n"
    "Compila i sorgenti NOME_linea.txt e NOME_COPPIA-.txt della CARTELLA con lo\n"
    "stesso compilatore di calvetra e vi scrive i file binari NOME_linea.dat,\n"
    "NOME_COPPIA.sim e NOME_COPPIA.dat. I sorgenti restano come sono: il\n"
    "compilatore lavora su copie.\n"
    "\n"
    "  --linea NOME        nome della linea (predefinito \"Calvetra\")\n"
    "  --treni COPPIA      coppia di treni (predefinita \"2718 - 5340\")\n"
    "  --senza-geometria   non calcola ne' scrive la geometria (NOME_linea.dat)\n"
    "\n"
    "Un errore registrato e' riportato come FILE:RIGA:COLONNA: errore N\n"
    "(posizione P m): significato, con la riga del sorgente e un segno sotto il\n"
    "campo che lo ha sollevato.\n"
    "\n"
    "Uscita: 0 compilazione pulita, 3 errore registrato (file scritti comunque),\n"
    "1 fine fatale (1250/1251, nessuna cella, file illeggibili o non scrivibili),\n"
    "2 uso errato.\n";

struct SorgenteAutore {
  std::string percorso;
  std::optional<std::string> testo;  // empty when the file does not exist
};

// The located report of one recorded error, or its file-less form.
std::string rapporto_errore(const Diagnostico& e, const SorgenteAutore& linea,
                            const SorgenteAutore& treno) {
  const SorgenteAutore* s = nullptr;
  if (e.luogo.file == FileSorgente::linea) s = &linea;
  if (e.luogo.file == FileSorgente::treno) s = &treno;
  if (s == nullptr) return diagnostica_senza_file(e.codice, e.posizione);
  if (!s->testo) {
    return s->percorso + ": " + riga_errore(e.codice, e.posizione) + " (il file non esiste)\n";
  }
  return diagnostica(s->percorso, *s->testo, e.luogo.offset, e.codice, e.posizione);
}

Sorgente come_sorgente(const SorgenteAutore& s) {
  return s.testo ? Sorgente::di(*s.testo) : Sorgente{};
}

}  // namespace

EsitoCompila compila(const OpzioniCompila& o, std::ostream& out, std::ostream& err) {
  EsitoCompila esito;
  std::error_code ec;
  if (!std::filesystem::is_directory(o.cartella, ec)) {
    err << "scenario: " << o.cartella << ": la cartella non esiste\n";
    return esito;
  }
  PiattaformaPosix cartella(o.cartella);
  SorgenteAutore linea{nella_cartella(o.cartella, o.nomi.sorgente_linea()), std::nullopt};
  SorgenteAutore treno{nella_cartella(o.cartella, o.nomi.sorgente_treno()), std::nullopt};
  for (SorgenteAutore* s : {&linea, &treno}) {
    if (!cartella.esiste(s->percorso)) continue;
    std::string testo;
    std::string motivo;
    if (!cartella.leggi(s->percorso, &testo, &motivo)) {
      err << s->percorso << ": impossibile leggere: " << motivo << "\n";
      return esito;
    }
    s->testo = std::move(testo);
  }

  // The compiler reads the texts in place: the author's files are never
  // deleted or changed.
  const int32_t j = o.con_geometria ? 1 : 0;
  const Compilazione c = calvetra::compila(come_sorgente(linea), come_sorgente(treno), o.nomi, j);
  esito.codice_errore = c.codice_errore();
  esito.posizione_errore = c.posizione_errore();
  const std::vector<Diagnostico> errori = c.diagnostica.errori();
  if (!errori.empty()) {
    esito.file_errore = errori.back().luogo.file;
    esito.campo_errore = errori.back().luogo.offset;
  }
  // Every error of the run, in the order recorded; the last one is the code
  // the run ends with.
  if (c.codice_errore() != 0) {
    for (const Diagnostico& e : errori) err << rapporto_errore(e, linea, treno);
  }

  switch (c.fine) {
    case FineCompilazione::senza_celle:
      err << "scenario: nessuna cella creata, nessun file scritto\n";
      return esito;
    case FineCompilazione::poche_celle:
      err << "scenario: troppo poche celle, nessun file scritto\n";
      return esito;
    case FineCompilazione::fatale:
      err << "scenario: Errore n. " << c.errore_fatale << ": "
          << descrizione_errore(c.errore_fatale) << "; nessun file scritto\n";
      return esito;
    case FineCompilazione::pronta: break;
  }
  std::string motivo;
  if (!scrivi_file_binari(&cartella, o.nomi, c.modello, j, &motivo)) {
    err << "scenario: " << motivo << "\n";
    return esito;
  }
  esito.stato = stato_uscita(c);
  if (o.con_geometria) out << "scritto " << nella_cartella(o.cartella, o.nomi.geometria()) << "\n";
  out << "scritto " << nella_cartella(o.cartella, o.nomi.tabella()) << "\n";
  out << "scritto " << nella_cartella(o.cartella, o.nomi.celle()) << "\n";
  return esito;
}

int comando_compile(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  OpzioniCompila o;
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
    if (a.nome("--linea", &o.nomi.linea) || a.nome("--treni", &o.nomi.treni)) continue;
    if (a.errore() || !a.posizionale(&posizionali)) break;
  }
  if (a.errore() || posizionali.size() != 1) {
    err << "scenario compile: " << (a.errore() ? a.messaggio() : "serve una CARTELLA") << "\n"
        << "uso: scenario compile [--linea NOME] [--treni COPPIA] [--senza-geometria] CARTELLA\n";
    return kUscitaUso;
  }
  o.cartella = posizionali[0];
  return compila(o, out, err).stato;
}

}  // namespace calvetra::scenario
