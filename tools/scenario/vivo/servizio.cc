#include "scenario/vivo/servizio.h"

#include <httplib.h>
#include <sys/random.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <utility>

#include "scenario/vista/vista.h"

namespace calvetra::scenario::vivo {

namespace {

// 256 random bits as hex, from the kernel's generator.
std::string gettone_nuovo() {
  unsigned char byte[32];
  size_t letti = 0;
  while (letti < sizeof byte) {
    const ssize_t n = getrandom(byte + letti, sizeof byte - letti, 0);
    if (n > 0) letti += static_cast<size_t>(n);
  }
  std::string t;
  for (const unsigned char b : byte) {
    char h[3];
    std::snprintf(h, sizeof h, "%02x", static_cast<unsigned>(b));
    t += h;
  }
  return t;
}

// Compares without stopping at the first difference: how long a refusal
// takes says nothing of how much of a guessed token was right.
bool uguali(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  unsigned diversi = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    diversi |=
        static_cast<unsigned>(static_cast<unsigned char>(a[i]) ^ static_cast<unsigned char>(b[i]));
  }
  return diversi == 0;
}

}  // namespace

Verdetto esamina(std::string_view metodo, std::string_view percorso, std::string_view host,
                 std::string_view gettone, int porta) {
  const std::string p = std::to_string(porta);
  if (host != "127.0.0.1:" + p && host != "localhost:" + p) return {403, Via::pagina};
  // "/TOKEN/" and then what is asked for.
  if (percorso.size() < gettone.size() + 2 || percorso[0] != '/' ||
      !uguali(percorso.substr(1, gettone.size()), gettone) || percorso[gettone.size() + 1] != '/') {
    return {404, Via::pagina};
  }
  const std::string_view resto = percorso.substr(gettone.size() + 2);
  Via via;
  if (resto.empty()) {
    via = Via::pagina;
  } else if (resto == "eventi") {
    via = Via::eventi;
  } else if (resto == "apri") {
    via = Via::apri;
  } else {
    return {404, Via::pagina};
  }
  const std::string_view voluto = via == Via::apri ? "POST" : "GET";
  if (metodo != voluto) return {405, via};
  return {0, via};
}

std::optional<LuogoDaAprire> leggi_luogo(std::string_view corpo) {
  const Json j = Json::parse(corpo, nullptr, false);
  if (!j.is_object()) return std::nullopt;
  const auto file = j.find("file");
  const auto riga = j.find("riga");
  const auto colonna = j.find("colonna");
  if (file == j.end() || !file->is_string() || riga == j.end() || !riga->is_number_integer()) {
    return std::nullopt;
  }
  LuogoDaAprire l;
  l.file = file->get<std::string>();
  l.riga = riga->get<int64_t>();
  l.colonna = colonna != j.end() && colonna->is_number_integer() ? colonna->get<int64_t>() : 1;
  if (l.file.empty() || l.riga < 1 || l.riga > (int64_t{1} << 31) || l.colonna < 1 ||
      l.colonna > (int64_t{1} << 31)) {
    return std::nullopt;
  }
  return l;
}

struct Servizio::Stato {
  OpzioniServizio opzioni;
  Apri apri;
  std::string gettone = gettone_nuovo();
  httplib::Server server;
  std::thread filo;
  int porta = 0;
  std::atomic<size_t> flussi{0};

  // The last state as one event, shared by every stream.
  mutable std::mutex m;
  std::condition_variable cambiato;
  std::shared_ptr<const std::string> evento;
  uint64_t generazione = 0;
  bool fermo = false;

  void metti(std::string e) {
    {
      const std::lock_guard<std::mutex> l(m);
      evento = std::make_shared<const std::string>(std::move(e));
      ++generazione;
    }
    cambiato.notify_all();
  }

  void rispondi(httplib::Response& res, Via via) {
    res.set_header("Cache-Control", "no-store");
    res.set_header("X-Content-Type-Options", "nosniff");
    if (via == Via::pagina) {
      res.set_header("Content-Security-Policy",
                     "default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; "
                     "img-src data:; connect-src 'self'; frame-ancestors 'none'");
      res.set_content(pagina_viva(nullptr), "text/html; charset=utf-8");
      return;
    }
    if (flussi.fetch_add(1) >= opzioni.flussi_massimi) {
      flussi.fetch_sub(1);
      res.status = 503;
      res.set_content("troppe pagine aperte\n", "text/plain; charset=utf-8");
      return;
    }
    auto visto = std::make_shared<uint64_t>(0);
    res.set_chunked_content_provider(
        "text/event-stream",
        [this, visto](size_t, httplib::DataSink& sink) {
          std::shared_ptr<const std::string> e;
          {
            std::unique_lock<std::mutex> l(m);
            const bool nuovo =
                cambiato.wait_for(l, std::chrono::seconds(opzioni.secondi_tra_segnali),
                                  [&] { return fermo || (evento && generazione != *visto); });
            if (fermo) return false;
            if (nuovo) {
              e = evento;
              *visto = generazione;
            }
          }
          // An idle stream gets a comment: a reader gone shows as a failed write.
          const std::string_view testo = e ? std::string_view(*e) : std::string_view(":\n\n");
          return sink.write(testo.data(), testo.size());
        },
        [this](bool) { flussi.fetch_sub(1); });
  }
};

Servizio::Servizio(OpzioniServizio o, Apri apri) : s_(std::make_unique<Stato>()) {
  s_->opzioni = o;
  s_->apri = std::move(apri);
}

Servizio::~Servizio() { ferma(); }

bool Servizio::avvia(std::string* errore) {
  Stato& s = *s_;
  // Every stream holds a thread while it is open: room for all of them and
  // for the page and the refusals beside.
  const size_t fili = s.opzioni.flussi_massimi + 8;
  s.server.new_task_queue = [fili] { return new httplib::ThreadPool(fili); };
  s.server.set_payload_max_length(s.opzioni.corpo_massimo);
  s.server.set_keep_alive_timeout(2);
  s.server.set_pre_routing_handler([&s](const httplib::Request& req, httplib::Response& res) {
    const Verdetto v =
        esamina(req.method, req.path, req.get_header_value("Host"), s.gettone, s.porta);
    if (v.stato != 0) {
      res.status = v.stato;
      res.set_content(v.stato == 403   ? "host non ammesso\n"
                      : v.stato == 405 ? "metodo non ammesso\n"
                                       : "non trovato\n",
                      "text/plain; charset=utf-8");
      return httplib::Server::HandlerResponse::Handled;
    }
    if (v.via == Via::apri) {
      // A body said to be too large is refused before a byte of it is read.
      const std::string detta = req.get_header_value("Content-Length");
      uint64_t lunghezza = 0;
      const auto letto = std::from_chars(detta.data(), detta.data() + detta.size(), lunghezza);
      if (letto.ec == std::errc::result_out_of_range || lunghezza > s.opzioni.corpo_massimo) {
        res.status = 413;
        res.set_header("Connection", "close");
        res.set_content("richiesta troppo grande\n", "text/plain; charset=utf-8");
        return httplib::Server::HandlerResponse::Handled;
      }
      return httplib::Server::HandlerResponse::Unhandled;
    }
    s.rispondi(res, v.via);
    return httplib::Server::HandlerResponse::Handled;
  });
  s.server.Post("/" + s.gettone + "/apri",
                [&s](const httplib::Request& req, httplib::Response& res) {
                  const std::optional<LuogoDaAprire> l = leggi_luogo(req.body);
                  if (!l) {
                    res.status = 400;
                    res.set_content("luogo non valido\n", "text/plain; charset=utf-8");
                    return;
                  }
                  if (!s.apri || !s.apri(*l)) {
                    res.status = 404;
                    res.set_content("nessun editor collegato\n", "text/plain; charset=utf-8");
                    return;
                  }
                  res.status = 204;
                });
  if (s.opzioni.porta == 0) {
    s.porta = s.server.bind_to_any_port("127.0.0.1");
  } else {
    s.porta = s.server.bind_to_port("127.0.0.1", s.opzioni.porta) ? s.opzioni.porta : -1;
  }
  if (s.porta <= 0) {
    *errore = "porta " + std::to_string(s.opzioni.porta) + " di 127.0.0.1 non disponibile";
    return false;
  }
  s.filo = std::thread([&s] { s.server.listen_after_bind(); });
  return true;
}

void Servizio::ferma() {
  Stato& s = *s_;
  {
    const std::lock_guard<std::mutex> l(s.m);
    s.fermo = true;
  }
  s.cambiato.notify_all();
  if (s.filo.joinable()) {
    s.server.stop();
    s.filo.join();
  }
}

std::string Servizio::indirizzo() const {
  return "http://127.0.0.1:" + std::to_string(s_->porta) + "/" + s_->gettone + "/";
}

int Servizio::porta() const { return s_->porta; }

const std::string& Servizio::gettone() const { return s_->gettone; }

void Servizio::pubblica(const Json& dati) {
  s_->metti("event: modello\ndata: " + dati.dump(-1, ' ', false, Json::error_handler_t::replace) +
            "\n\n");
}

void Servizio::pubblica_fatale(const std::string& messaggio) {
  const Json j = {{"messaggio", messaggio}};
  s_->metti("event: fatale\ndata: " + j.dump(-1, ' ', false, Json::error_handler_t::replace) +
            "\n\n");
}

uint64_t Servizio::pubblicati() const {
  const std::lock_guard<std::mutex> l(s_->m);
  return s_->generazione;
}

}  // namespace calvetra::scenario::vivo
