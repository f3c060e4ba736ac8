#include "scenario/lsp/server.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/percorsi.h"
#include "scenario/comune/argomenti.h"
#include "scenario/comune/testo.h"
#include "scenario/lsp/analisi.h"
#include "scenario/lsp/diagnosi.h"
#include "scenario/lsp/documenti.h"
#include "scenario/lsp/funzioni.h"
#include "scenario/lsp/posizioni.h"
#include "scenario/lsp/smistatore.h"
#include "scenario/lsp/trasporto.h"
#include "scenario/vivo/alimentatore.h"
#include "scenario/vivo/servizio.h"
#include "versione.h"

namespace calvetra::scenario::lsp {

namespace {

std::string senza_barra_finale(std::string p) {
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

std::string cartella_di(const std::string& percorso) {
  const size_t barra = percorso.rfind('/');
  return barra == std::string::npos ? std::string(".")
         : barra == 0               ? std::string("/")
                                    : percorso.substr(0, barra);
}

class Server {
 public:
  Server(std::istream& in, std::ostream& out, std::ostream& log, Piattaforma* disco,
         const OpzioniServer& o)
      : trasporto_(in, out), log_(log), disco_(disco), opzioni_(o) {
    scenario_.nomi = o.nomi;
    registra();
  }

  int esegui() {
    std::string corpo;
    std::string errore;
    for (;;) {
      // A burst of edits is checked once: only when nothing else waits.
      if (!trasporto_.in_attesa()) {
        pubblica();
        alimenta();
      }
      const Trasporto::Esito e = trasporto_.leggi(&corpo, &errore);
      if (e == Trasporto::Esito::fine) {
        pubblica();
        return smistatore_.stato_uscita();
      }
      if (e == Trasporto::Esito::guasto) {
        log_ << "scenario lsp: " << errore << "\n";
        return 1;
      }
      if (const std::optional<std::string> r = smistatore_.tratta(corpo)) invia_testo(*r);
      if (smistatore_.finito()) return smistatore_.stato_uscita();
    }
  }

 private:
  // The page's server asks the editor to open a record from its own
  // thread: messages go out whole, one at a time.
  void invia(const Json& messaggio) { invia_testo(testo_messaggio(messaggio)); }
  void invia_testo(std::string_view testo) {
    const std::lock_guard<std::mutex> l(scrittura_);
    trasporto_.scrivi(testo);
  }
  void notifica(const char* metodo, Json parametri) {
    invia({{"jsonrpc", "2.0"}, {"method", metodo}, {"params", std::move(parametri)}});
  }
  void messaggio(int tipo, const std::string& testo) {
    notifica("window/showMessage", {{"type", tipo}, {"message", testo}});
  }

  // The check of the scenario as it now stands, made when something asks.
  const Analisi& analisi() {
    if (!analisi_) {
      // With the page on the plan is kept: the page draws from this compile.
      analisi_ = std::make_shared<const Analisi>(
          analizza(disco_, scenario_, documenti_, codifica_, feed_ != nullptr));
    }
    return *analisi_;
  }
  const Analisi& diagnosi() { return analisi(); }
  void cambiato() {
    analisi_.reset();
    da_pubblicare_ = true;
    da_alimentare_ = true;
  }

  // ---- the live page ----

  // Starts the page's server once; false when the port cannot be had.
  bool avvia_vista() {
    if (servizio_) return true;
    auto servizio = std::make_unique<vivo::Servizio>(
        vivo::OpzioniServizio{}, [this](const vivo::LuogoDaAprire& l) { return apri_luogo(l); });
    std::string errore;
    if (!servizio->avvia(&errore)) {
      log_ << "scenario lsp: " << errore << "\n";
      return false;
    }
    servizio_ = std::move(servizio);
    feed_ = std::make_unique<vivo::Alimentatore>(servizio_.get());
    da_alimentare_ = true;
    // A check made before holds no plan: the next one keeps it.
    analisi_.reset();
    return true;
  }

  // The check of the sources as they stand, to the page: its compile is
  // the page's, never made again.
  void alimenta() {
    if (!feed_ || !da_alimentare_ || scenario_.cartella.empty()) return;
    da_alimentare_ = false;
    const Analisi& a = diagnosi();
    {
      const std::lock_guard<std::mutex> l(destinazioni_.m);
      destinazioni_.cartella = scenario_.cartella;
      destinazioni_.nomi = scenario_.nomi;
      destinazioni_.analisi = analisi_;
    }
    vivo::Istantanea i;
    i.compilato = a.scenario;
    i.nomi = scenario_.nomi;
    i.cartella = scenario_.cartella;
    i.apri_dal_server = true;
    feed_->nuove(std::move(i));
  }

  // A click on the page: the editor shows the record, selected. On a thread
  // of the page's server; it reads only what `alimenta` left under the lock.
  bool apri_luogo(const vivo::LuogoDaAprire& luogo) {
    Json params;
    {
      const std::lock_guard<std::mutex> l(destinazioni_.m);
      const std::shared_ptr<const Analisi> a = destinazioni_.analisi;
      if (!a) return false;
      FileSorgente f = FileSorgente::nessuno;
      if (luogo.file == destinazioni_.nomi.sorgente_linea()) f = FileSorgente::linea;
      if (luogo.file == destinazioni_.nomi.sorgente_treno()) f = FileSorgente::treno;
      const SorgenteAutore* s = a->sorgenti().di(f);
      if (s == nullptr || !s->testo) return false;
      std::string uri = a->fonte(f).uri;
      if (uri.empty()) uri = uri_da_percorso(destinazioni_.cartella + "/" + luogo.file);
      // The record's line, whole, as the selection, in the places of the
      // text the page was drawn from. A line the source does not have is no
      // place to open.
      const IndicePosizioni& indice = a->fonte(f).indice;
      const int64_t riga = luogo.riga - 1;
      if (indice.posizione(indice.indice({riga, 0})).riga != riga) return false;
      const Posizione fine = indice.posizione(indice.indice({riga, INT64_MAX}));
      params = {
          {"uri", uri},
          {"takeFocus", true},
          {"selection", {{"start", json_posizione({riga, 0})}, {"end", json_posizione(fine)}}}};
    }
    invia({{"jsonrpc", "2.0"},
           {"id", "scenario-apri-" + std::to_string(++richieste_)},
           {"method", "window/showDocument"},
           {"params", std::move(params)}});
    return true;
  }
  void pubblica() {
    if (!da_pubblicare_ || scenario_.cartella.empty()) return;
    da_pubblicare_ = false;
    for (Json& p : pubblicazioni(diagnosi())) {
      // What was checked of a dropped document is the file on the disk, not
      // what the editor shows: nothing is placed in its text.
      const std::string percorso = percorso_da_uri(p.at("uri").get<std::string>());
      if (scartati_.contains(percorso)) {
        p["diagnostics"] = Json::array();
        p.erase("version");
      } else if (const auto c = codifiche_.find(percorso); c != codifiche_.end()) {
        p["diagnostics"].insert(p["diagnostics"].begin(), c->second);
      }
      notifica("textDocument/publishDiagnostics", std::move(p));
    }
  }

  // The directory a client names in initialize, when it names one.
  void cartella_da(const Json& p) {
    std::string percorso;
    const Json opzioni = p.value("initializationOptions", Json::object());
    if (opzioni.is_object() && opzioni.contains("cartella")) {
      percorso = opzioni.at("cartella").get<std::string>();
      cartella_data_ = true;
    } else if (p.contains("rootUri") && p.at("rootUri").is_string()) {
      percorso = percorso_da_uri(p.at("rootUri").get<std::string>());
    } else if (p.contains("rootPath") && p.at("rootPath").is_string()) {
      percorso = p.at("rootPath").get<std::string>();
    }
    if (percorso_assoluto(percorso)) {
      scenario_.cartella = senza_barra_finale(percorso_normale(percorso));
    }
  }

  Json initialize(const Json& p) {
    const Json opzioni = p.value("initializationOptions", Json::object());
    if (opzioni.is_object() && !opzioni_.nomi_dati) {
      for (auto [chiave, nome, nome_1252] :
           {std::tuple{"linea", &scenario_.nomi.linea, &scenario_.nomi.linea_1252},
            std::tuple{"treni", &scenario_.nomi.treni, &scenario_.nomi.treni_1252}}) {
        if (!opzioni.contains(chiave)) continue;
        const std::string v = opzioni.at(chiave).get<std::string>();
        std::string motivo;
        if (!accetta_nome(v, nome, nome_1252, &motivo)) {
          throw ErroreRpc(CodiceRpc::parametri_non_validi,
                          std::string("initializationOptions.") + chiave + ": " + motivo);
        }
      }
    }
    cartella_da(p);
    const Json codifiche = p.value("capabilities", Json::object())
                               .value("general", Json::object())
                               .value("positionEncodings", Json::array());
    for (const Json& c : codifiche) {
      if (c == "utf-8") codifica_ = Codifica::utf8;
    }
    mostra_documenti_ = p.value("capabilities", Json::object())
                            .value("window", Json::object())
                            .value("showDocument", Json::object())
                            .value("support", false);
    if (opzioni.is_object() && opzioni.value("vista", false) == true) opzioni_.vista = true;
    if (opzioni.is_object() && opzioni.value("nomi_campi", true) == false) nomi_campi_ = false;
    if (opzioni_.vista && opzioni_.vista_permessa) avvia_vista();
    snippet_ = p.value("capabilities", Json::object())
                   .value("textDocument", Json::object())
                   .value("completion", Json::object())
                   .value("completionItem", Json::object())
                   .value("snippetSupport", false);
    return {{"capabilities",
             {{"positionEncoding", codifica_ == Codifica::utf8 ? "utf-8" : "utf-16"},
              {"textDocumentSync", {{"openClose", true}, {"change", 2}}},
              {"hoverProvider", true},
              {"completionProvider", Json::object()},
              {"signatureHelpProvider", {{"triggerCharacters", {","}}}},
              {"documentSymbolProvider", true},
              {"inlayHintProvider", nomi_campi_},
              {"foldingRangeProvider", true},
              {"workspaceSymbolProvider", true},
              {"definitionProvider", true},
              {"documentFormattingProvider", true},
              {"semanticTokensProvider",
               {{"legend", {{"tokenTypes", kLegendaGettoni}, {"tokenModifiers", Json::array()}}},
                {"full", true}}},
              {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
              {"executeCommandProvider", {{"commands", {"scenario.vista"}}}}}},
            {"serverInfo", {{"name", "scenario"}, {"version", CALVETRA_VERSIONE}}}};
  }

  // The source of the scenario a request names; nothing for any other
  // document (the client attached it, the server does not check it: its
  // requests get empty answers, not errors that every hover would show) and
  // for a source dropped after a change that could not be applied.
  std::optional<FileSorgente> sorgente(const Json& p) {
    const std::string percorso = percorso_da_uri(p.at("textDocument").at("uri").get<std::string>());
    const FileSorgente f =
        scenario_.cartella.empty() ? FileSorgente::nessuno : ruolo(scenario_, percorso);
    if (f == FileSorgente::nessuno || scartati_.contains(percorso)) return std::nullopt;
    return f;
  }
  size_t carattere(const Analisi& a, FileSorgente f, const Json& posizione) {
    return a.fonte(f).indice.indice(posizione_da_json(posizione));
  }

  void apri(const Json& p) {
    const Json& d = p.at("textDocument");
    const std::string uri = d.at("uri").get<std::string>();
    const std::string percorso = percorso_da_uri(uri);
    // Without a directory from initialize, the first source opened names
    // it; and so does the first one below the editor's root, when that root
    // is a project holding route folders rather than a route folder itself
    // (one server a project, as some editors start them).
    const bool sotto_la_radice = !scenario_.cartella.empty() && !cartella_data_ &&
                                 documenti_.quanti() == 0 &&
                                 nella_cartella_di(percorso, scenario_.cartella) &&
                                 ruolo(scenario_, percorso) == FileSorgente::nessuno;
    if ((scenario_.cartella.empty() || sotto_la_radice) && !percorso.empty()) {
      Scenario prova{cartella_di(percorso), scenario_.nomi};
      if (ruolo(prova, percorso) != FileSorgente::nessuno) scenario_.cartella = prova.cartella;
    }
    if (scenario_.cartella.empty() || ruolo(scenario_, percorso) == FileSorgente::nessuno) {
      messaggio(2, uri_mostrato(uri) + " non e' un sorgente dello scenario in " +
                       (scenario_.cartella.empty() ? std::string("(nessuna cartella)")
                                                   : scenario_.cartella) +
                       ": non viene controllato");
      return;
    }
    documenti_.apri(uri, d.at("text").get<std::string>(), d.at("version").get<int64_t>());
    scartati_.erase(percorso);
    controlla_codifica(uri, false);
    cambiato();
  }

  // The editor holds a source in UTF-8 and may read or save the file so,
  // where calvetra reads it as Windows-1252; the server checks the buffer,
  // converted, and would never see it. No client says which encoding it
  // saved in, but where the file can be read the server knows: a file in
  // UTF-8 that holds the buffer's very text was read or written so.
  // What it finds stays among the source's diagnostics, at its first line,
  // until the file is looked at again: every publication carries it.
  void controlla_codifica(const std::string& uri, bool salvato) {
    const Documento* d = documenti_.trova(uri);
    if (d == nullptr) return;
    const std::string percorso = percorso_da_uri(uri);
    std::string sul_disco;
    std::string motivo;
    codifiche_.erase(percorso);
    if (!disco_->esiste(percorso) || !disco_->leggi(percorso, &sul_disco, &motivo)) return;
    if (std::optional<Json> c = codifica_sul_disco(sul_disco, d->testo, salvato)) {
      codifiche_[percorso] = std::move(*c);
    }
    da_pubblicare_ = true;
  }

  // A change is read whole, applied to a copy and committed whole. One that
  // cannot be (a member missing, a range outside the text, a document the
  // server does not hold) means the editor and the server no longer hold the
  // same text: the document is dropped and the author told, so that nothing
  // is answered from a text that is not the editor's.
  void cambia(const Json& p) {
    const std::string uri = p.at("textDocument").at("uri").get<std::string>();
    const std::string percorso = percorso_da_uri(uri);
    const bool nostro =
        !scenario_.cartella.empty() && ruolo(scenario_, percorso) != FileSorgente::nessuno;
    // Already dropped, and said; or a document the server never checked.
    if (scartati_.contains(percorso) || (!nostro && documenti_.trova(uri) == nullptr)) return;
    std::string motivo;
    try {
      const Json& d = p.at("textDocument");
      // A client that gives no version (or null) still counts its changes.
      const auto v = d.find("version");
      const std::optional<int64_t> versione =
          v == d.end() || v->is_null() ? std::nullopt : std::optional(v->get<int64_t>());
      std::vector<Modifica> modifiche;
      for (const Json& c : p.at("contentChanges")) {
        Modifica m;
        if (c.contains("range")) {
          m.intervallo = {posizione_da_json(c.at("range").at("start")),
                          posizione_da_json(c.at("range").at("end"))};
        }
        m.testo = c.at("text").get<std::string>();
        modifiche.push_back(std::move(m));
      }
      if (documenti_.cambia(uri, modifiche, versione, codifica_, &motivo)) {
        cambiato();
        return;
      }
    } catch (const ErroreRpc& e) {
      motivo = e.what();
    } catch (const std::exception&) {
      motivo = "modifica malformata: un membro manca o ha il tipo sbagliato";
    }
    documenti_.chiudi(uri);
    scartati_.insert(percorso);
    messaggio(1, uri_mostrato(uri) + ": modifica non applicabile (" + motivo +
                     "); il documento non e' piu' controllato: chiudilo e riaprilo");
    cambiato();
  }

  void chiudi(const Json& p) {
    const std::string uri = p.at("textDocument").at("uri").get<std::string>();
    // Closed, the file on the disk is the source again.
    const bool scartato = scartati_.erase(percorso_da_uri(uri)) > 0;
    // The compile reads the file itself again, and says what it finds there.
    codifiche_.erase(percorso_da_uri(uri));
    if (documenti_.trova(uri) == nullptr && !scartato) return;
    documenti_.chiudi(uri);
    cambiato();
  }

  void registra() {
    Smistatore& s = smistatore_;
    s.prima_di_ogni_richiesta([this] { pubblica(); });
    s.richiesta("initialize", [this](const Json& p) { return initialize(p); });
    s.richiesta("shutdown", [](const Json&) { return Json(nullptr); });
    s.notifica("initialized", [this](const Json&) {
      // The client opens the page in the browser when it can.
      if (servizio_ && mostra_documenti_) {
        invia({{"jsonrpc", "2.0"},
               {"id", "scenario-vista"},
               {"method", "window/showDocument"},
               {"params", {{"uri", servizio_->indirizzo()}, {"external", true}}}});
      }
    });
    s.richiesta("workspace/executeCommand", [this](const Json& p) {
      const std::string comando = p.at("command").get<std::string>();
      if (comando != "scenario.vista") {
        throw ErroreRpc(CodiceRpc::parametri_non_validi, "comando sconosciuto: " + comando);
      }
      if (!servizio_) {
        throw ErroreRpc(CodiceRpc::richiesta_non_valida,
                        "la pagina dal vivo e' spenta: avviare con scenario lsp --vista o "
                        "initializationOptions.vista");
      }
      return Json{{"url", servizio_->indirizzo()}};
    });
    s.notifica("textDocument/didOpen", [this](const Json& p) { apri(p); });
    s.notifica("textDocument/didChange", [this](const Json& p) { cambia(p); });
    s.notifica("textDocument/didClose", [this](const Json& p) { chiudi(p); });
    s.notifica("textDocument/didSave", [this](const Json& p) {
      cambiato();
      controlla_codifica(p.at("textDocument").at("uri").get<std::string>(), true);
    });
    // A document the server does not check gets the protocol's empty
    // answer of each request.
    s.richiesta("textDocument/hover", [this](const Json& p) {
      const std::optional<FileSorgente> f = sorgente(p);
      if (!f) return Json(nullptr);
      const Analisi& a = analisi();
      return hover(a, *f, carattere(a, *f, p.at("position")));
    });
    s.richiesta("textDocument/completion", [this](const Json& p) {
      const std::optional<FileSorgente> f = sorgente(p);
      if (!f) return Json::array();
      const Analisi& a = analisi();
      return completamento(a, *f, carattere(a, *f, p.at("position")), snippet_);
    });
    s.richiesta("textDocument/signatureHelp", [this](const Json& p) {
      const std::optional<FileSorgente> f = sorgente(p);
      if (!f) return Json(nullptr);
      const Analisi& a = analisi();
      return firma(a, *f, carattere(a, *f, p.at("position")));
    });
    s.richiesta("textDocument/inlayHint", [this](const Json& p) {
      const std::optional<FileSorgente> f = sorgente(p);
      if (!f || !nomi_campi_) return Json::array();
      const Analisi& a = analisi();
      const Json& r = p.at("range");
      return nomi_dei_campi(a, *f, carattere(a, *f, r.at("start")), carattere(a, *f, r.at("end")));
    });
    s.richiesta("textDocument/foldingRange", [this](const Json& p) {
      const std::optional<FileSorgente> f = sorgente(p);
      if (!f) return Json::array();
      return pieghe(analisi(), *f);
    });
    s.richiesta_scritta("textDocument/documentSymbol", [this](const Json& p) {
      const std::optional<FileSorgente> f = sorgente(p);
      if (!f) return std::string("[]");
      return simboli(analisi(), *f);
    });
    s.richiesta("textDocument/definition", [this](const Json& p) {
      const std::optional<FileSorgente> f = sorgente(p);
      if (!f) return Json(nullptr);
      const Analisi& a = analisi();
      return definizione(a, *f, carattere(a, *f, p.at("position")));
    });
    s.richiesta("textDocument/semanticTokens/full", [this](const Json& p) {
      const std::optional<FileSorgente> f = sorgente(p);
      if (!f) return Json{{"data", Json::array()}};
      return gettoni(analisi(), *f);
    });
    s.richiesta("textDocument/formatting", [this](const Json& p) {
      const std::optional<FileSorgente> f = sorgente(p);
      if (!f) return Json::array();
      return formatta(analisi(), *f);
    });
    s.richiesta("workspace/symbol", [this](const Json& p) {
      if (scenario_.cartella.empty()) return Json::array();
      return simboli_dello_scenario(analisi(), p.value("query", std::string()));
    });
    s.richiesta("textDocument/codeAction", [this](const Json& p) {
      const std::optional<FileSorgente> f = sorgente(p);
      if (!f) return Json::array();
      const Analisi& a = diagnosi();
      const Json& r = p.at("range");
      return azioni(a, *f, carattere(a, *f, r.at("start")), carattere(a, *f, r.at("end")));
    });
  }

  Trasporto trasporto_;
  std::ostream& log_;
  Piattaforma* disco_;
  OpzioniServer opzioni_;
  Smistatore smistatore_;
  Documenti documenti_;
  Scenario scenario_;
  Codifica codifica_ = Codifica::utf16;
  bool snippet_ = false;
  bool nomi_campi_ = true;      // inlay hints: the field names before the values
  bool cartella_data_ = false;  // initializationOptions.cartella: never moved
  // Shared: a click on the page reads the check it was drawn from.
  std::shared_ptr<const Analisi> analisi_;
  bool da_pubblicare_ = false;
  // What the file of each open source on the disk was found in (UTF-8,
  // UTF-16) at its last open or save, by path: shown until looked at again.
  std::map<std::string, Json> codifiche_;
  // The sources dropped after a change that could not be applied, by path,
  // until the editor opens or closes them again.
  std::set<std::string> scartati_;
  bool da_alimentare_ = false;
  bool mostra_documenti_ = false;  // the client takes window/showDocument
  std::mutex scrittura_;
  // What a click on the page needs, as `alimenta` last left it.
  struct Destinazioni {
    std::mutex m;
    std::string cartella;
    NomiScenario nomi;
    std::shared_ptr<const Analisi> analisi;
  } destinazioni_;
  std::atomic<uint64_t> richieste_{0};  // of the page's clicks, for their ids
  // Last, so they stop first: their threads call back into the server.
  std::unique_ptr<vivo::Servizio> servizio_;
  std::unique_ptr<vivo::Alimentatore> feed_;
};

}  // namespace

int servi(std::istream& in, std::ostream& out, std::ostream& log, Piattaforma* disco,
          const OpzioniServer& o) {
  Server s(in, out, log, disco, o);
  return s.esegui();
}

}  // namespace calvetra::scenario::lsp
