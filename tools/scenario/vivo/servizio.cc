// rand_s, the token's random bytes on Windows, is declared only when asked
// for before the C library's first header.
#if defined(_WIN32)
#define _CRT_RAND_S
#endif
// Boost 1.74's Asio uses std::exchange without including its header in
// C++20 mode.
#include <utility>
// clang-format off
#include "scenario/vivo/servizio.h"
// clang-format on

#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/casuale.h"
#include "scenario/vista/vista.h"
#include "scenario/vivo/richiesta.h"

namespace calvetra::scenario::vivo {

namespace asio = boost::asio;
using asio::ip::tcp;
using boost::system::error_code;

namespace {

// 256 random bits as hex, in `gettone`; false with the reason when the
// system has no random bytes to give.
bool gettone_nuovo(std::string* gettone, std::string* errore) {
  unsigned char byte[32];
  if (!byte_casuali(byte, sizeof byte, errore)) return false;
  gettone->clear();
  for (const unsigned char b : byte) {
    char h[3];
    std::snprintf(h, sizeof h, "%02x", static_cast<unsigned>(b));
    *gettone += h;
  }
  return true;
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

// How long an answer may take to leave, and how long a closing connection
// is read (and dropped) so that its answer reaches a client still sending:
// closed with unread bytes, the connection would be reset and the answer lost.
constexpr auto kScrittura = std::chrono::seconds(10);
constexpr auto kCommiato = std::chrono::seconds(1);

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
  bool troppo_profondo = false;
  const Json j = leggi_json_esterno(corpo, 8, &troppo_profondo);
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

namespace {

class Connessione;

// Everything runs on one thread of the server's own, one handler at a time:
// sockets, deadlines and the list of streams need no lock. Only the last
// state, which other threads publish, is under `m`.
struct Nucleo {
  OpzioniServizio opzioni;
  Servizio::Apri apri;
  std::string gettone;  // drawn at the start; no page is served without one
  int porta = 0;
  std::shared_ptr<const std::string> pagina;  // the whole answer, made once

  size_t connessioni = 0;
  size_t flussi = 0;
  std::vector<std::weak_ptr<Connessione>> aperti;  // the event streams

  mutable std::mutex m;
  std::shared_ptr<const std::string> evento;  // the last state, as one event
  uint64_t generazione = 0;

  // Last, so that it goes first: the handlers it still holds, and the
  // connections in them, see everything above alive.
  asio::io_context io{1};
  tcp::acceptor accettore{io};
  asio::steady_timer pausa{io};  // after a failed accept
  std::thread filo;

  void accetta();
  void avvisa_flussi();
  std::pair<std::shared_ptr<const std::string>, uint64_t> ultimo() const {
    const std::lock_guard<std::mutex> l(m);
    return {evento, generazione};
  }
};

// One connection: one request read under its deadline and answered, or an
// event stream held open until the client leaves.
class Connessione : public std::enable_shared_from_this<Connessione> {
 public:
  Connessione(Nucleo& s, tcp::socket socket)
      : s_(s),
        socket_(std::move(socket)),
        scadenza_(s.io),
        battito_(s.io),
        lettura_(RegoleRichiesta{s.gettone, s.porta, s.opzioni.righe_testa, s.opzioni.byte_testa,
                                 s.opzioni.corpo_massimo}) {
    ++s_.connessioni;
  }
  ~Connessione() {
    --s_.connessioni;
    if (flusso_) --s_.flussi;
  }

  void inizia() {
    // One deadline for the whole request, however slowly its bytes come.
    scadi_tra(std::chrono::seconds(s_.opzioni.secondi_richiesta));
    leggi();
  }

  // A new state to send, if the stream is not sending one already.
  void manda() {
    if (!flusso_ || in_volo_) return;
    auto [evento, generazione] = s_.ultimo();
    if (evento && generazione != visto_) {
      visto_ = generazione;
      scrivi_evento(std::move(evento));
    }
  }

 private:
  void scadi_tra(std::chrono::steady_clock::duration d) {
    scadenza_.expires_after(d);
    scadenza_.async_wait([debole = weak_from_this()](error_code ec) {
      if (ec) return;
      // A deadline moved on after this wait had already ended is no deadline.
      auto c = debole.lock();
      if (c && c->scadenza_.expiry() <= std::chrono::steady_clock::now()) c->chiudi();
    });
  }

  void chiudi() {
    error_code ignorato;
    socket_.close(ignorato);
    scadenza_.cancel();
    battito_.cancel();
  }

  void leggi() {
    socket_.async_read_some(
        asio::buffer(buffer_), [io = shared_from_this()](error_code ec, size_t n) {
          if (ec) {
            if (ec == asio::error::eof)
              io->decidi(io->lettura_.fine_ingresso());
            else
              io->chiudi();
            return;
          }
          io->pendenti_.append(io->buffer_.data(), n);
          size_t usati = 0;
          const LetturaRichiesta::Esito e = io->lettura_.alimenta(io->pendenti_, &usati);
          io->pendenti_.erase(0, usati);
          io->decidi(e);
        });
  }

  void decidi(LetturaRichiesta::Esito e) {
    using Esito = LetturaRichiesta::Esito;
    switch (e) {
      case Esito::altro: leggi(); return;
      case Esito::chiudi: chiudi(); return;
      case Esito::rifiuto:
        rispondi(std::make_shared<const std::string>(risposta_breve(lettura_.stato())));
        return;
      case Esito::pagina: rispondi(s_.pagina); return;
      case Esito::apri: {
        // Only on this thread: the editor's side is told one place at a time.
        const bool aperto = s_.apri && s_.apri(lettura_.luogo());
        rispondi(std::make_shared<const std::string>(
            aperto ? risposta_breve(204) : risposta_breve(404, "nessun editor collegato\n")));
        return;
      }
      case Esito::eventi: apri_flusso(); return;
    }
  }

  // The answer, then the end: what the client still sends is read and
  // dropped for a moment, so that the answer reaches it.
  void rispondi(std::shared_ptr<const std::string> risposta) {
    scadi_tra(kScrittura);
    asio::async_write(socket_, asio::buffer(*risposta),
                      [io = shared_from_this(), risposta](error_code ec, size_t) {
                        if (ec) return io->chiudi();
                        error_code ignorato;
                        io->socket_.shutdown(tcp::socket::shutdown_send, ignorato);
                        io->scadi_tra(kCommiato);
                        io->scarta();
                      });
  }

  // Reads until the client closes or the deadline; nothing is kept.
  void scarta() {
    socket_.async_read_some(asio::buffer(buffer_),
                            [io = shared_from_this()](error_code ec, size_t) {
                              if (ec) return io->chiudi();
                              io->scarta();
                            });
  }

  void apri_flusso() {
    if (s_.flussi >= s_.opzioni.flussi_massimi) {
      rispondi(std::make_shared<const std::string>(risposta_breve(503)));
      return;
    }
    flusso_ = true;
    ++s_.flussi;
    s_.aperti.push_back(weak_from_this());
    scadenza_.cancel();
    pendenti_.clear();
    scrivi_evento(std::make_shared<const std::string>(testa_eventi()));
    // A client gone closes its side, and the read ends at once: its place
    // is free for the next page without waiting for a write to fail.
    scarta();
    batti();
  }

  // An idle stream gets a comment now and then: a reader gone that never
  // closed (a machine asleep) shows as a write that does not end.
  void batti() {
    battito_.expires_after(std::chrono::seconds(s_.opzioni.secondi_tra_segnali));
    battito_.async_wait([debole = weak_from_this()](error_code ec) {
      if (ec) return;
      auto c = debole.lock();
      if (!c) return;
      if (!c->in_volo_) c->scrivi_evento(std::make_shared<const std::string>(":\n\n"));
      c->batti();
    });
  }

  void scrivi_evento(std::shared_ptr<const std::string> testo) {
    in_volo_ = true;
    scadi_tra(kScrittura);
    asio::async_write(socket_, asio::buffer(*testo),
                      [io = shared_from_this(), testo](error_code ec, size_t) {
                        io->in_volo_ = false;
                        if (ec) return io->chiudi();
                        io->scadenza_.cancel();
                        io->manda();
                      });
  }

  Nucleo& s_;
  tcp::socket socket_;
  asio::steady_timer scadenza_;
  asio::steady_timer battito_;
  LetturaRichiesta lettura_;
  std::array<char, 4096> buffer_{};
  std::string pendenti_;  // read and not yet consumed: a head is judged whole
  bool flusso_ = false;
  bool in_volo_ = false;
  uint64_t visto_ = 0;
};

void Nucleo::accetta() {
  accettore.async_accept([this](error_code ec, tcp::socket socket) {
    if (ec == asio::error::operation_aborted || !accettore.is_open()) return;
    if (ec) {
      // Out of descriptors, say: tried again in a moment, not in a loop
      // that would take a core while it lasts.
      pausa.expires_after(std::chrono::milliseconds(100));
      pausa.async_wait([this](error_code e) {
        if (!e) accetta();
      });
      return;
    }
    // Past the bound the connection is closed at once: memory and
    // descriptors stay bounded whatever a client opens.
    if (connessioni < opzioni.connessioni_massime) {
      auto c = std::make_shared<Connessione>(*this, std::move(socket));
      c->inizia();
    }
    accetta();
  });
}

void Nucleo::avvisa_flussi() {
  std::erase_if(aperti, [](const std::weak_ptr<Connessione>& d) {
    const auto c = d.lock();
    if (c) c->manda();
    return !c;
  });
}

}  // namespace

struct Servizio::Stato : Nucleo {};

Servizio::Servizio(OpzioniServizio o, Apri apri) : s_(std::make_unique<Stato>()) {
  s_->opzioni = o;
  s_->apri = std::move(apri);
}

Servizio::~Servizio() { ferma(); }

bool Servizio::avvia(std::string* errore) {
  Stato& s = *s_;
  std::string motivo;
  if (!gettone_nuovo(&s.gettone, &motivo)) {
    *errore = "nessun gettone per la pagina: " + motivo;
    return false;
  }
  const tcp::endpoint dove(asio::ip::address_v4::loopback(),
                           static_cast<unsigned short>(s.opzioni.porta));
  error_code ec;
  s.accettore.open(dove.protocol(), ec);
  // The port is this server's alone: never shared with another listening
  // on it (no SO_REUSEPORT, which Asio never sets). On Windows, where an
  // address reused may be taken from under a listener, it is exclusive.
#if defined(_WIN32)
  if (!ec) {
    s.accettore.set_option(
        asio::detail::socket_option::boolean<SOL_SOCKET, SO_EXCLUSIVEADDRUSE>(true), ec);
  }
#else
  // A port just left by an earlier run may be taken again at once.
  if (!ec) s.accettore.set_option(tcp::acceptor::reuse_address(true), ec);
#endif
  if (!ec) s.accettore.bind(dove, ec);
  if (!ec) s.accettore.listen(asio::socket_base::max_listen_connections, ec);
  if (ec) {
    *errore = "porta " + std::to_string(s.opzioni.porta) + " di 127.0.0.1 non disponibile" +
              (ec == asio::error::address_in_use ? " (gia' in uso)" : "") + ": " + ec.message();
    error_code ignorato;
    s.accettore.close(ignorato);
    return false;
  }
  s.porta = s.accettore.local_endpoint().port();
  s.pagina = std::make_shared<const std::string>(
      risposta_pagina(pagina_viva(nullptr), politica_pagina_viva()));
  s.accetta();
  s.filo = std::thread([&s] { s.io.run(); });
  return true;
}

void Servizio::ferma() {
  Stato& s = *s_;
  // Nothing is waited for: a request half read, an answer half written and
  // every stream end where they stand.
  s.io.stop();
  if (s.filo.joinable()) s.filo.join();
}

std::string Servizio::indirizzo() const {
  return "http://127.0.0.1:" + std::to_string(s_->porta) + "/" + s_->gettone + "/";
}

int Servizio::porta() const { return s_->porta; }

const std::string& Servizio::gettone() const { return s_->gettone; }

namespace {

std::string evento(std::string_view nome, const Json& dati) {
  return "event: " + std::string(nome) +
         "\ndata: " + dati.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n\n";
}

}  // namespace

void Servizio::pubblica(const Json& dati) { metti(evento("modello", dati)); }

void Servizio::pubblica_fatale(const std::string& messaggio) {
  metti(evento("fatale", {{"messaggio", messaggio}}));
}

void Servizio::metti(std::string e) {
  {
    const std::lock_guard<std::mutex> l(s_->m);
    s_->evento = std::make_shared<const std::string>(std::move(e));
    ++s_->generazione;
  }
  asio::post(s_->io, [s = s_.get()] { s->avvisa_flussi(); });
}

uint64_t Servizio::pubblicati() const {
  const std::lock_guard<std::mutex> l(s_->m);
  return s_->generazione;
}

}  // namespace calvetra::scenario::vivo
