#include "scenario/lsp/server.h"

#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include "scenario/comune/argomenti.h"
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

  // The check of the scenario as it now stands, made when something asks:
  // the diagnostics need the compile alone, the features the records too.
  const Analisi& analisi(bool con_provenienze = true) {
    std::unique_ptr<Analisi>& a = con_provenienze ? analisi_completa_ : analisi_;
    if (!a)
      a = std::make_unique<Analisi>(
          analizza(disco_, scenario_, documenti_, codifica_, con_provenienze));
    return *a;
  }
  // Either check gives the same diagnostics: the one at hand.
  const Analisi& diagnosi() { return analisi_completa_ ? *analisi_completa_ : analisi(false); }
  void cambiato() {
    analisi_.reset();
    analisi_completa_.reset();
    da_pubblicare_ = true;
  }
  void pubblica() {
    if (!da_pubblicare_ || scenario_.cartella.empty()) return;
    da_pubblicare_ = false;
    for (Json& p : pubblicazioni(diagnosi())) {
      notifica("textDocument/publishDiagnostics", std::move(p));
    }
  }

  // The directory a client names in initialize, when it names one.
  void cartella_da(const Json& p) {
    std::string percorso;
    const Json opzioni = p.value("initializationOptions", Json::object());
    if (opzioni.is_object() && opzioni.contains("cartella")) {
      percorso = opzioni.at("cartella").get<std::string>();
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

  // The source of the scenario a request names; refused for any other document.
  FileSorgente sorgente(const Json& p) {
    const std::string uri = p.at("textDocument").at("uri").get<std::string>();
    const std::string percorso = percorso_da_uri(uri);
    const FileSorgente f =
        scenario_.cartella.empty() ? FileSorgente::nessuno : ruolo(scenario_, percorso);
    if (f == FileSorgente::nessuno) {
      throw ErroreRpc(CodiceRpc::parametri_non_validi,
                      uri + " non e' un sorgente dello scenario (" +
                          nella_cartella(scenario_.cartella, scenario_.nomi.sorgente_linea()) +
                          " o " + scenario_.nomi.sorgente_treno() + ")");
    }
    return f;
  }
  size_t carattere(const Analisi& a, FileSorgente f, const Json& posizione) {
    return a.fonte(f).indice.indice(posizione_da_json(posizione));
  }

  void apri(const Json& p) {
    const Json& d = p.at("textDocument");
    const std::string uri = d.at("uri").get<std::string>();
    const std::string percorso = percorso_da_uri(uri);
    // Without a directory from initialize, the first source opened names it.
    if (scenario_.cartella.empty() && !percorso.empty()) {
      Scenario prova{cartella_di(percorso), scenario_.nomi};
      if (ruolo(prova, percorso) != FileSorgente::nessuno) scenario_.cartella = prova.cartella;
    }
    if (scenario_.cartella.empty() || ruolo(scenario_, percorso) == FileSorgente::nessuno) {
      messaggio(2, uri + " non e' un sorgente dello scenario in " +
                       (scenario_.cartella.empty() ? std::string("(nessuna cartella)")
                                                   : scenario_.cartella) +
                       ": non viene controllato");
      return;
    }
    documenti_.apri(uri, d.at("text").get<std::string>(), d.at("version").get<int64_t>());
    cambiato();
  }

  void cambia(const Json& p) {
    const Json& d = p.at("textDocument");
    const std::string uri = d.at("uri").get<std::string>();
    const int64_t versione = d.value("version", int64_t{0});
    for (const Json& c : p.at("contentChanges")) {
      std::optional<std::pair<Posizione, Posizione>> r;
      if (c.contains("range")) {
        r = {posizione_da_json(c.at("range").at("start")),
             posizione_da_json(c.at("range").at("end"))};
      }
      if (!documenti_.cambia(uri, r, c.at("text").get<std::string>(), versione, codifica_)) {
        return;
      }
    }
    cambiato();
  }

  void chiudi(const Json& p) {
    const std::string uri = p.at("textDocument").at("uri").get<std::string>();
    if (documenti_.trova(uri) == nullptr) return;
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
    s.notifica("textDocument/didSave", [this](const Json&) { cambiato(); });
    s.richiesta("textDocument/hover", [this](const Json& p) {
      const FileSorgente f = sorgente(p);
      const Analisi& a = analisi();
      return hover(a, f, carattere(a, f, p.at("position")));
    });
    s.richiesta("textDocument/completion", [this](const Json& p) {
      const FileSorgente f = sorgente(p);
      const Analisi& a = analisi();
      return completamento(a, f, carattere(a, f, p.at("position")), snippet_);
    });
    s.richiesta("textDocument/signatureHelp", [this](const Json& p) {
      const FileSorgente f = sorgente(p);
      const Analisi& a = analisi();
      return firma(a, f, carattere(a, f, p.at("position")));
    });
    s.richiesta("textDocument/documentSymbol", [this](const Json& p) {
      const FileSorgente f = sorgente(p);
      return simboli(analisi(), f);
    });
    s.richiesta("textDocument/codeAction", [this](const Json& p) {
      const FileSorgente f = sorgente(p);
      const Analisi& a = diagnosi();
      const Json& r = p.at("range");
      return azioni(a, f, carattere(a, f, r.at("start")), carattere(a, f, r.at("end")));
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
  std::unique_ptr<Analisi> analisi_;
  std::unique_ptr<Analisi> analisi_completa_;
  bool da_pubblicare_ = false;
};

}  // namespace

int servi(std::istream& in, std::ostream& out, std::ostream& log, Piattaforma* disco,
          const OpzioniServer& o) {
  Server s(in, out, log, disco, o);
  return s.esegui();
}

}  // namespace calvetra::scenario::lsp
