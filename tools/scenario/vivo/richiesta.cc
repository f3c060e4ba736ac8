// Boost 1.74's Asio, under Beast, uses std::exchange without including its
// header in C++20 mode.
#include <utility>
// clang-format off
#include "scenario/vivo/richiesta.h"
// clang-format on

#include <boost/beast/http/basic_parser.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/beast/http/write.hpp>
#include <cctype>
#include <limits>
#include <sstream>

namespace calvetra::scenario::vivo {

namespace http = boost::beast::http;
using boost::beast::error_code;

namespace {

std::string_view vista(boost::beast::string_view s) { return {s.data(), s.size()}; }

// The media type of a Content-Type, in lower case, without its parameters.
std::string tipo_di(std::string_view v) {
  v = v.substr(0, v.find(';'));
  while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
  while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
  std::string t(v);
  for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return t;
}

}  // namespace

// The parts of a request the judgement needs, as the parser hands them over;
// nothing else of the head is kept, and the body only up to the limit the
// parser holds.
struct LetturaRichiesta::Lettore final : http::basic_parser<true> {
  explicit Lettore(size_t righe_massime) : righe_massime(righe_massime) {}

  size_t righe_massime;
  std::string metodo;
  std::string percorso;
  size_t righe = 0;
  size_t host_visti = 0;
  std::string host;
  std::string tipo;
  bool con_origine = false;
  std::string origine;
  std::string corpo;

  void on_request_impl(http::verb, boost::beast::string_view m, boost::beast::string_view target,
                       int, error_code&) override {
    metodo = vista(m);
    const std::string_view t = vista(target);
    percorso = t.substr(0, t.find('?'));
  }
  void on_response_impl(int, boost::beast::string_view, int, error_code& ec) override {
    ec = http::error::bad_method;
  }
  void on_field_impl(http::field campo, boost::beast::string_view, boost::beast::string_view valore,
                     error_code& ec) override {
    if (++righe > righe_massime) {
      ec = http::error::header_limit;
      return;
    }
    if (campo == http::field::host) {
      ++host_visti;
      host = vista(valore);
    } else if (campo == http::field::content_type) {
      tipo = tipo_di(vista(valore));
    } else if (campo == http::field::origin) {
      con_origine = true;
      origine = vista(valore);
    }
  }
  void on_header_impl(error_code&) override {}
  void on_body_init_impl(const boost::optional<std::uint64_t>&, error_code&) override {}
  size_t on_body_impl(boost::beast::string_view b, error_code&) override {
    corpo.append(b.data(), b.size());
    return b.size();
  }
  void on_chunk_header_impl(std::uint64_t, boost::beast::string_view, error_code&) override {}
  size_t on_chunk_body_impl(std::uint64_t, boost::beast::string_view b, error_code&) override {
    corpo.append(b.data(), b.size());
    return b.size();
  }
  void on_finish_impl(error_code&) override {}
};

LetturaRichiesta::LetturaRichiesta(const RegoleRichiesta& regole)
    : l_(std::make_unique<Lettore>(regole.righe_testa)), regole_(regole) {
  l_->header_limit(static_cast<std::uint32_t>(regole.byte_testa));
  // A Content-Length is judged once the head is, and only for the one POST:
  // until then the parser must not refuse a body the request will never
  // have read.
  // (No limit is the largest one: this Beast compares a length with an
  // empty limit as larger.)
  l_->body_limit(std::numeric_limits<std::uint64_t>::max());
  l_->eager(false);
}

LetturaRichiesta::~LetturaRichiesta() = default;

LetturaRichiesta::Esito LetturaRichiesta::rifiuta(int stato) {
  stato_ = stato;
  finito_ = true;
  return esito_ = Esito::rifiuto;
}

LetturaRichiesta::Esito LetturaRichiesta::giudica_testa() {
  testa_letta_ = true;
  const Lettore& l = *l_;
  // Two Hosts: a proxy and the server could each believe a different one.
  if (l.host_visti > 1) return rifiuta(400);
  const Verdetto v = esamina(l.metodo, l.percorso, l.host, regole_.gettone, regole_.porta);
  if (v.stato != 0) return rifiuta(v.stato);
  if (v.via != Via::apri) {
    finito_ = true;
    return esito_ = v.via == Via::pagina ? Esito::pagina : Esito::eventi;
  }
  // Only a request that a form of another site cannot send: a JSON body
  // makes a cross-site browser ask first, and nothing answers that question.
  if (l.tipo != "application/json") return rifiuta(415);
  if (l.con_origine && l.origine != "http://" + l.host) return rifiuta(403);
  const boost::optional<std::uint64_t> lunghezza = l_->content_length();
  if (lunghezza && *lunghezza > regole_.byte_corpo) return rifiuta(413);
  l_->body_limit(regole_.byte_corpo);
  return Esito::altro;
}

LetturaRichiesta::Esito LetturaRichiesta::giudica_corpo() {
  finito_ = true;
  const std::optional<LuogoDaAprire> l = leggi_luogo(l_->corpo);
  if (!l) return rifiuta(400);
  luogo_ = *l;
  return esito_ = Esito::apri;
}

LetturaRichiesta::Esito LetturaRichiesta::alimenta(std::string_view byte, size_t* consumati) {
  *consumati = 0;
  if (finito_) return esito_;
  for (;;) {
    if (testa_letta_ && l_->is_done()) return giudica_corpo();
    if (byte.empty()) return Esito::altro;
    error_code ec;
    const size_t n = l_->put(boost::asio::const_buffer(byte.data(), byte.size()), ec);
    *consumati += n;
    byte.remove_prefix(n);
    if (ec == http::error::need_more) return Esito::altro;
    if (ec == http::error::header_limit) return rifiuta(431);
    if (ec == http::error::body_limit) return rifiuta(413);
    if (ec) return rifiuta(400);
    if (!testa_letta_ && l_->is_header_done()) {
      const Esito e = giudica_testa();
      if (e != Esito::altro) return e;
    }
  }
}

LetturaRichiesta::Esito LetturaRichiesta::fine_ingresso() {
  if (finito_) return esito_;
  finito_ = true;
  return esito_ = Esito::chiudi;
}

namespace {

const char* testo_di(int stato) {
  switch (stato) {
    case 400: return "richiesta non valida\n";
    case 403: return "host o origine non ammessi\n";
    case 404: return "non trovato\n";
    case 405: return "metodo non ammesso\n";
    case 413: return "richiesta troppo grande\n";
    case 415: return "serve Content-Type: application/json\n";
    case 431: return "intestazione troppo grande\n";
    case 503: return "troppe pagine aperte\n";
    default: return "";
  }
}

template <typename Corpo>
void intestazioni_comuni(http::response<Corpo>* r) {
  r->set(http::field::cache_control, "no-store");
  r->set("X-Content-Type-Options", "nosniff");
  r->set("Referrer-Policy", "no-referrer");
  r->keep_alive(false);
}

template <typename Corpo>
std::string byte_di(const http::response<Corpo>& r) {
  std::ostringstream o;
  o << r;
  return o.str();
}

}  // namespace

std::string risposta_breve(int stato, std::string_view testo) {
  http::response<http::string_body> r{static_cast<http::status>(stato), 11};
  intestazioni_comuni(&r);
  if (stato != 204) {
    r.set(http::field::content_type, "text/plain; charset=utf-8");
    r.body() = testo.empty() ? std::string(testo_di(stato)) : std::string(testo);
  }
  r.prepare_payload();
  return byte_di(r);
}

std::string risposta_pagina(std::string_view html, std::string_view politica) {
  http::response<http::string_body> r{http::status::ok, 11};
  intestazioni_comuni(&r);
  r.set(http::field::content_type, "text/html; charset=utf-8");
  r.set("Content-Security-Policy", boost::beast::string_view(politica.data(), politica.size()));
  r.body() = std::string(html);
  r.prepare_payload();
  return byte_di(r);
}

std::string testa_eventi() {
  // No length and no chunks: the events run until the connection closes.
  http::response<http::empty_body> r{http::status::ok, 11};
  intestazioni_comuni(&r);
  r.set(http::field::content_type, "text/event-stream");
  return byte_di(r);
}

}  // namespace calvetra::scenario::vivo
