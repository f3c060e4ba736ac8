#include "scenario/comandi/view.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <utility>
#include <variant>

#include "output/lettura.h"
#include "platform/processo.h"
#include "scenario/comune/comando.h"
#include "scenario/comune/documento.h"
#include "scenario/comune/sorgenti.h"
#include "scenario/comune/testo.h"
#include "scenario/vivo/alimentatore.h"
#include "scenario/vivo/servizio.h"
#include "scenario/vivo/sorveglia.h"

namespace calvetra::scenario {

namespace {

constexpr const char* kAiuto =
    "uso: scenario view [--linea NOME] [--treni COPPIA] [--editor MODELLO] CARTELLA\n"
    "                   -o FILE.html\n"
    "     scenario view --serve [--porta N] [--linea NOME] [--treni COPPIA]\n"
    "                   [--editor MODELLO | --comando-editor COMANDO] CARTELLA\n"
    "\n"
    "Scrive una pagina HTML autonoma (nessun accesso alla rete) per esplorare il\n"
    "percorso in un browser: il profilo lungo il percorso con velocita',\n"
    "rallentamenti, pendenze, montagne, stazioni, segnali, cartelli e\n"
    "abbattimenti, da ingrandire fino alla singola cella da 50 m; la pianta con\n"
    "la parte mostrata; i valori di ogni oggetto con i nomi dei campi del suo\n"
    "record; la ricerca di stazioni e cartelli per una parola del nome o del\n"
    "testo e di posizioni (27+250, 27.250, 27250); errori e avvisi sull'asse.\n"
    "L'indirizzo della pagina segue la vista (#27250@2km): ricaricarla o\n"
    "passarla ad altri riapre la stessa vista.\n"
    "\n"
    "Con i sorgenti nella CARTELLA li compila in memoria (non scrive file\n"
    "binari) e collega ogni oggetto alla riga del record che lo ha posto;\n"
    "senza sorgenti legge i file binari.\n"
    "\n"
    "Con --editor il file e la riga di un record diventano un collegamento che lo\n"
    "apre nel proprio editor: MODELLO e' un indirizzo in cui {path}, {line} e\n"
    "{col} diventano il percorso assoluto del sorgente, la riga e la colonna, per\n"
    "esempio 'vscode://file/{path}:{line}:{col}' o 'file://{path}'.\n"
    "\n"
    "Con --serve la stessa pagina e' servita dal vivo su http://127.0.0.1 (la\n"
    "porta N, o una libera con 0, il predefinito): la prima riga scritta e'\n"
    "l'indirizzo da aprire, con un gettone segreto nuovo a ogni avvio. A ogni\n"
    "salvataggio di uno dei due sorgenti la pagina si ridisegna da se', nello\n"
    "stesso punto e con lo stesso ingrandimento; un sorgente mancante o\n"
    "illeggibile mostra il messaggio al posto del percorso finche' non torna.\n"
    "Termina con Ctrl-C (SIGINT) o SIGTERM, con uscita 0.\n"
    "\n"
    "Con --comando-editor un clic su \"apri nel sorgente\" avvia COMANDO per il\n"
    "record: {path}, {line} e {col} diventano il percorso assoluto del sorgente,\n"
    "la riga e la colonna, e il percorso resta un solo argomento, per esempio\n"
    "'notepad++ -n{line} \"{path}\"' o 'gvim +{line} {path}'. Nessuna shell.\n"
    "\n"
    "Uscita: 0 pagina scritta (o servizio terminato), 1 fine fatale come per\n"
    "check (il sorgente del treno manca accanto a quello della linea, nessuna\n"
    "cella, sorgenti illeggibili, file binari mancanti o non validi, pagina non\n"
    "scrivibile, porta non disponibile), 2 uso errato.\n";

}  // namespace

namespace {

// The scenario compiled from the sources, in memory; false with a message
// on `c.err` when there is nothing to show.
bool da_sorgenti(const Contesto& c, const OpzioniView& o, SorgentiAutore sorgenti,
                 ScenarioVisto* v) {
  std::string fatale;
  std::optional<ScenarioVisto> visto = vista_da_sorgenti(std::move(sorgenti), o.nomi, &fatale);
  if (!visto) {
    c.err << "scenario: " << fatale << "\n";
    return false;
  }
  visto->editor = std::move(v->editor);
  visto->cartella = std::move(v->cartella);
  *v = std::move(*visto);
  return true;
}

// The absolute folder of the sources, as the editor's links name it.
std::string cartella_assoluta(const Contesto& c, const std::string& data) {
  std::filesystem::path cartella(data);
  if (cartella.is_relative() && !c.cartella_lavoro.empty()) {
    cartella = std::filesystem::path(c.cartella_lavoro) / cartella;
  }
  std::string s = cartella.lexically_normal().generic_string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

// The scenario read from its binary files; false with a message on `c.err`.
bool da_binari(const Contesto& c, const OpzioniView& o, ScenarioVisto* v) {
  ScenarioLetto s;
  const StatoLettura stato = leggi_scenario(c.disco, o.cartella, o.nomi, &s);
  if (!stato.ok()) {
    c.err << "scenario: " << stato.messaggio() << "\n";
    return false;
  }
  v->tabella = std::move(s.tabella);
  v->tratti = std::move(s.tratti);
  if (s.geometria) v->pianta = campiona(*s.geometria);
  return true;
}

}  // namespace

int view(const Contesto& c, const OpzioniView& o) {
  SorgentiAutore sorgenti;
  std::string errore;
  if (!leggi_sorgenti(c.disco, o.cartella, o.nomi, &sorgenti, &errore)) {
    c.err << "scenario: " << errore << "\n";
    return kUscitaFatale;
  }
  // Shown from its line source alone, the page would be a route with no
  // station, signal or slowdown, as if nothing were wrong.
  if (treno_mancante(c.disco, o.cartella, o.nomi, sorgenti, c.err)) return kUscitaFatale;
  ScenarioVisto v;
  v.editor = o.editor;
  v.cartella = cartella_assoluta(c, o.cartella);
  const bool letto =
      sorgenti.qualcuna() ? da_sorgenti(c, o, std::move(sorgenti), &v) : da_binari(c, o, &v);
  if (!letto) return kUscitaFatale;
  return scrivi_documento(c, o.uscita, pagina_vista(v));
}

namespace {

// The sources as they stand now, for the feed of the page: a source missing
// or unreadable takes the route's place with its message.
std::variant<vivo::Istantanea, std::string> leggi_ora(const Contesto& c, const OpzioniView& o,
                                                      const std::string& cartella) {
  vivo::Istantanea i;
  std::string errore;
  if (!leggi_sorgenti(c.disco, o.cartella, o.nomi, &i.sorgenti, &errore)) {
    return utf8_da_1252(errore);
  }
  for (const SorgenteAutore* s : {&i.sorgenti.linea, &i.sorgenti.treno}) {
    if (!s->testo) return utf8_da_1252(s->percorso + ": il sorgente non esiste");
  }
  i.nomi = o.nomi;
  i.cartella = cartella;
  i.editor = o.editor;
  i.apri_dal_server = !o.comando_editor.empty();
  return i;
}

void pubblica(std::variant<vivo::Istantanea, std::string> letto, vivo::Alimentatore* feed) {
  if (auto* i = std::get_if<vivo::Istantanea>(&letto)) {
    feed->nuove(std::move(*i));
  } else {
    feed->fatale(std::move(std::get<std::string>(letto)));
  }
}

// What a click on "apri nel sorgente" runs: the author's command for the
// record's file and line. The page names the record (one of the two
// sources, a line, a column), never a path or a command.
vivo::Servizio::Apri apri_con_comando(const Contesto& c, const OpzioniView& o,
                                      const std::string& cartella) {
  if (o.comando_editor.empty()) return {};
  std::string motivo;
  const std::vector<std::string> parole = *parole_comando(o.comando_editor, &motivo);
  return [&c, nomi = o.nomi, cartella, parole](const vivo::LuogoDaAprire& l) {
    if (l.file != nomi.sorgente_linea() && l.file != nomi.sorgente_treno()) return false;
    const std::vector<std::string> comando =
        riempi_comando(parole, nella_cartella(cartella, l.file), l.riga, l.colonna);
    std::string errore;
    if (avvia_programma(comando, &errore)) return true;
    c.err << "scenario view: --comando-editor: " << errore << std::endl;
    return false;
  };
}

}  // namespace

int view_dal_vivo(const Contesto& c, const OpzioniView& o) {
  if (!cartella_da_leggere(c, o.cartella)) return kUscitaFatale;
  vivo::Sorveglianza sorveglianza;
  std::string errore;
  if (!sorveglianza.apri(o.cartella, {o.nomi.sorgente_linea(), o.nomi.sorgente_treno()}, &errore)) {
    c.err << "scenario view: " << errore << "\n";
    return kUscitaFatale;
  }
  const std::string cartella = cartella_assoluta(c, o.cartella);
  vivo::OpzioniServizio opzioni;
  opzioni.porta = o.porta;
  vivo::Servizio servizio(opzioni, apri_con_comando(c, o, cartella));
  if (!servizio.avvia(&errore)) {
    c.err << "scenario view: " << errore << "\n";
    return kUscitaFatale;
  }
  c.out << servizio.indirizzo() << std::endl;
  c.err << "scenario view: pagina dal vivo di " << o.cartella << "; Ctrl-C per terminare"
        << std::endl;
  vivo::Alimentatore feed(&servizio);
  pubblica(leggi_ora(c, o, cartella), &feed);
  for (;;) {
    switch (sorveglianza.attendi()) {
      case vivo::Sorveglianza::Evento::fine: return kUscitaPulita;
      case vivo::Sorveglianza::Evento::cartella_assente:
        feed.fatale(utf8_da_1252(o.cartella + ": la cartella non esiste piu'; la pagina "
                                              "riprende da se' quando torna"));
        break;
      case vivo::Sorveglianza::Evento::salvato: {
        auto letto = leggi_ora(c, o, cartella);
        // A save caught halfway (a file truncated, not yet written) is
        // never shown: the whole one follows.
        if (sorveglianza.intatta()) pubblica(std::move(letto), &feed);
        break;
      }
    }
  }
}

int comando_view(const Contesto& c, const Argomenti& a) {
  OpzioniView o;
  Sintassi s("view", kAiuto);
  s.nomi_scenario(&o.nomi).cartella(&o.cartella);
  s.valore("-o", "FILE.html", &o.uscita).alias("--output");
  s.valore("--editor", "MODELLO", &o.editor);
  s.valore("--comando-editor", "COMANDO", &o.comando_editor);
  s.bandiera("--serve", &o.servi);
  s.numero("--porta", "N", 0, 65535, &o.porta);
  if (const std::optional<int> fine = s.leggi(a, c.out, c.err)) return *fine;
  if (o.servi == !o.uscita.empty()) {
    c.err << "scenario view: " << (o.servi ? "-o e --serve insieme" : "manca -o FILE.html")
          << ": la pagina va in un file (-o FILE.html) oppure e' servita (--serve)\n";
    return kUscitaUso;
  }
  if (!o.comando_editor.empty()) {
    std::string motivo;
    const char* perche = !o.servi            ? "vale solo con --serve"
                         : !o.editor.empty() ? "e --editor insieme: la pagina apre in un modo solo"
                                             : nullptr;
    if (perche == nullptr && !parole_comando(o.comando_editor, &motivo)) {
      c.err << "scenario view: --comando-editor: " << motivo << "\n";
      return kUscitaUso;
    }
    if (perche != nullptr) {
      c.err << "scenario view: --comando-editor " << perche << "\n";
      return kUscitaUso;
    }
  }
  if (o.servi) return view_dal_vivo(c, o);
  return view(c, o);
}

}  // namespace calvetra::scenario
