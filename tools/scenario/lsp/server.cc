#include "scenario/lsp/server.h"

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "fields/avvisi.h"
#include "scenario/comune/argomenti.h"
#include "scenario/comune/testo.h"
#include "scenario/lsp/analisi.h"
#include "scenario/lsp/diagnosi.h"
#include "scenario/lsp/documenti.h"
#include "scenario/lsp/funzioni.h"
#include "scenario/lsp/smistatore.h"
#include "scenario/lsp/trasporto.h"
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
      if (!trasporto_.in_attesa()) pubblica();
      const Trasporto::Esito e = trasporto_.leggi(&corpo, &errore);
      if (e == Trasporto::Esito::fine) {
        pubblica();
        return smistatore_.stato_uscita();
      }
      if (e == Trasporto::Esito::guasto) {
        log_ << "scenario lsp: " << errore << "\n";
        return 1;
      }
      if (std::optional<Json> r = smistatore_.tratta(corpo)) invia(*r);
      if (smistatore_.finito()) return smistatore_.stato_uscita();
    }
  }

 private:
  void invia(const Json& messaggio) {
    trasporto_.scrivi(messaggio.dump(-1, ' ', false, Json::error_handler_t::replace));
  }
  void notifica(const char* metodo, Json parametri) {
    invia({{"jsonrpc", "2.0"}, {"method", metodo}, {"params", std::move(parametri)}});
  }
  void messaggio(int tipo, const std::string& testo) {
    notifica("window/showMessage", {{"type", tipo}, {"message", testo}});
  }

  // The check of the scenario as it now stands, made when something asks.
  const Analisi& analisi() {
    if (!analisi_)
      analisi_ = std::make_unique<Analisi>(analizza(disco_, scenario_, documenti_, codifica_));
    return *analisi_;
  }
  const Analisi& diagnosi() { return analisi(); }
  void cambiato() {
    analisi_.reset();
    da_pubblicare_ = true;
  }
  void pubblica() {
    if (!da_pubblicare_ || scenario_.cartella.empty()) return;
    da_pubblicare_ = false;
    for (Json& p : pubblicazioni(diagnosi())) {
      // What was checked of a dropped document is the file on the disk, not
      // what the editor shows: nothing is placed in its text.
      if (scartati_.contains(percorso_da_uri(p.at("uri").get<std::string>()))) {
        p["diagnostics"] = Json::array();
        p.erase("version");
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
    if (!percorso.empty() && percorso.front() == '/') {
      scenario_.cartella = senza_barra_finale(percorso);
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
              {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}}}},
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
    const bool sotto_la_radice =
        !scenario_.cartella.empty() && !cartella_data_ && documenti_.quanti() == 0 &&
        percorso.starts_with(scenario_.cartella == "/" ? "/" : scenario_.cartella + "/") &&
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
  void controlla_codifica(const std::string& uri, bool salvato) {
    const Documento* d = documenti_.trova(uri);
    if (d == nullptr) return;
    const std::string percorso = percorso_da_uri(uri);
    std::string sul_disco;
    std::string motivo;
    if (!disco_->esiste(percorso) || !disco_->leggi(percorso, &sul_disco, &motivo)) return;
    if (!sembra_utf8(sul_disco) || utf8_a_1252(sul_disco).testo != utf8_a_1252(d->testo).testo) {
      return;
    }
    messaggio(2, percorso + (salvato ? ": salvato in UTF-8" : ": il file e' in UTF-8") +
                     ", ma calvetra legge i sorgenti in Windows-1252: ogni lettera accentata "
                     "diventerebbe due caratteri. Salvalo in Windows-1252 (in Neovim "
                     "`:set fileencoding=cp1252 fileformat=dos` e `:w`)");
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
      const int64_t versione = d.value("version", int64_t{0});
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
    if (documenti_.trova(uri) == nullptr && !scartato) return;
    documenti_.chiudi(uri);
    cambiato();
  }

  void registra() {
    Smistatore& s = smistatore_;
    s.prima_di_ogni_richiesta([this] { pubblica(); });
    s.richiesta("initialize", [this](const Json& p) { return initialize(p); });
    s.richiesta("shutdown", [](const Json&) { return Json(nullptr); });
    s.notifica("initialized", [](const Json&) {});
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
    s.richiesta("textDocument/documentSymbol", [this](const Json& p) {
      const std::optional<FileSorgente> f = sorgente(p);
      if (!f) return Json::array();
      return simboli(analisi(), *f);
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
  bool cartella_data_ = false;  // initializationOptions.cartella: never moved
  std::unique_ptr<Analisi> analisi_;
  bool da_pubblicare_ = false;
  // The sources dropped after a change that could not be applied, by path,
  // until the editor opens or closes them again.
  std::set<std::string> scartati_;
};

}  // namespace

int servi(std::istream& in, std::ostream& out, std::ostream& log, Piattaforma* disco,
          const OpzioniServer& o) {
  Server s(in, out, log, disco, o);
  return s.esegui();
}

}  // namespace calvetra::scenario::lsp
