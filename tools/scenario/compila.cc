#include "compila.h"

#include <charconv>
#include <filesystem>
#include <map>
#include <optional>

#include "argomenti.h"
#include "diagnostica.h"
#include "model/messaggi.h"
#include "piattaforma_copie.h"

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

struct Sorgente {
  std::string percorso;
  std::optional<std::string> testo;  // empty when the file does not exist
};

// The located report of one recorded error, or its file-less form.
std::string rapporto_errore(const ErroreRegistrato& e, const Sorgente& linea,
                            const Sorgente& treno) {
  const Sorgente* s = nullptr;
  if (e.file == FileSorgente::linea) s = &linea;
  if (e.file == FileSorgente::treno) s = &treno;
  if (s == nullptr) return diagnostica_senza_file(e.codice, e.posizione);
  if (!s->testo) {
    return s->percorso + ": " + riga_errore(e.codice, e.posizione) + " (il file non esiste)\n";
  }
  return diagnostica(s->percorso, *s->testo, e.campo, e.codice, e.posizione);
}

// The compiler speaks as calvetra; in this tool its lines speak as scenario.
std::string come_scenario(const std::string& riga) {
  const std::string prefisso = "calvetra: ";
  if (riga.rfind(prefisso, 0) == 0) return "scenario: " + riga.substr(prefisso.size());
  return "scenario: " + riga;
}

}  // namespace

EsitoCompila compila(const OpzioniCompila& o, std::ostream& out, std::ostream& err) {
  EsitoCompila esito;
  std::error_code ec;
  if (!std::filesystem::is_directory(o.cartella, ec)) {
    err << "scenario: " << o.cartella << ": la cartella non esiste\n";
    return esito;
  }
  PiattaformaPosix vera(o.cartella);
  Sorgente linea{nella_cartella(o.cartella, o.nomi.sorgente_linea()), std::nullopt};
  Sorgente treno{nella_cartella(o.cartella, o.nomi.sorgente_treno()), std::nullopt};
  std::map<std::string, std::string> copie;
  for (Sorgente* s : {&linea, &treno}) {
    if (!vera.esiste(s->percorso)) continue;
    std::string testo;
    std::string motivo;
    if (!vera.leggi(s->percorso, &testo, &motivo)) {
      err << s->percorso << ": impossibile leggere: " << motivo << "\n";
      return esito;
    }
    copie[s->percorso] = testo;
    s->testo = std::move(testo);
  }

  PiattaformaCopie piattaforma(&vera, std::move(copie), {linea.percorso, treno.percorso});
  Form1 f(&piattaforma);
  f.nome_linea = o.nomi.linea;
  f.nome_treni = o.nomi.treni;
  esito.stato = f.memorizza_percorso(o.con_geometria ? 1 : 0);
  esito.codice_errore = f.codice_errore;
  esito.posizione_errore = f.posizione_errore;
  esito.file_errore = f.file_errore;
  esito.campo_errore = f.campo_errore;

  // The driver reports the recorded error as one plain line; it is replaced by
  // the located report, and whatever the driver added after it is kept.
  const std::string semplice = riga_errore(f.codice_errore, f.posizione_errore);
  // Every error of the run, in the order recorded; the last one is the code
  // the run ends with.
  if (f.codice_errore != 0) {
    for (const ErroreRegistrato& e : f.errori_registrati()) err << rapporto_errore(e, linea, treno);
  }
  for (const std::string& riga : piattaforma.rapporti) {
    if (f.codice_errore != 0 && riga.rfind(semplice, 0) == 0) {
      std::string resto = riga.substr(semplice.size());
      while (!resto.empty() && (resto.front() == ';' || resto.front() == ' ')) resto.erase(0, 1);
      if (!resto.empty()) err << "scenario: " << resto << "\n";
    } else {
      err << come_scenario(riga) << "\n";
    }
  }
  for (const std::string& fatale : piattaforma.fatali) {
    std::string testo = fatale;
    while (!testo.empty() && testo.front() == ' ') testo.erase(0, 1);
    // " Errore n. 1250": the number closes the message.
    const size_t cifre = testo.find_last_not_of("0123456789");
    const size_t da = cifre == std::string::npos ? 0 : cifre + 1;
    int32_t codice = 0;
    std::from_chars(testo.data() + da, testo.data() + testo.size(), codice);
    err << "scenario: " << testo << ": " << descrizione_errore(codice) << "; nessun file scritto\n";
  }

  if (esito.stato == kUscitaPulita || esito.stato == kUscitaConErrore) {
    if (o.con_geometria)
      out << "scritto " << nella_cartella(o.cartella, o.nomi.geometria()) << "\n";
    out << "scritto " << nella_cartella(o.cartella, o.nomi.tabella()) << "\n";
    out << "scritto " << nella_cartella(o.cartella, o.nomi.celle()) << "\n";
  }
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
    if (a.valore("--linea", &o.nomi.linea) || a.valore("--treni", &o.nomi.treni)) continue;
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
