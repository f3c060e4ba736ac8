// Fuzz target: the live page's server from the bytes a client sends to the
// answer it gets back, without a socket: the request read under its limits
// (tools/scenario/vivo/richiesta.h: Beast's parser, the head's bytes and
// lines, the Host, the token, the method, the type and origin of the one
// POST, its body chunked or not), the place that body names, and the bytes
// of the answer. The input is one byte that says how the bytes arrive (whole,
// or in pieces of 1 to 127 bytes, as reads from a socket), then the bytes.
// For any input:
// - a request is accepted whole exactly when it is accepted in pieces, and
//   then for the same thing; no piece is consumed beyond what was given;
// - it is accepted only on the three paths under the token, each with its
//   one method, with a Host of 127.0.0.1 or localhost at the port; a place
//   only from a POST of application/json, with a file name and a line and
//   column from 1; a refusal has one of the statuses the server gives;
// - every answer carries the headers that keep it private and closes its
//   connection, and the page its policy.
// The sockets, deadlines and streams around it are left to the loopback
// tests (tests/tools/vivo_limiti_test.cc).
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "proprieta.h"
#include "scenario/vivo/richiesta.h"

namespace calvetra::fuzz {
namespace {

namespace vivo = scenario::vivo;
using Esito = vivo::LetturaRichiesta::Esito;

constexpr std::string_view kGettone =
    "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff";
constexpr int kPorta = 8080;

struct Giudizio {
  Esito esito = Esito::altro;
  int stato = 0;
  vivo::LuogoDaAprire luogo;
};

// The bytes fed as the server feeds them: what has come and is not yet
// consumed, each time more comes; the end of the input as the client
// closing its side.
Giudizio leggi(std::string_view byte, size_t pezzo) {
  vivo::LetturaRichiesta l(vivo::RegoleRichiesta{kGettone, kPorta});
  std::string pendenti;
  Esito e = Esito::altro;
  while (e == Esito::altro && !byte.empty()) {
    const size_t n = std::min(pezzo, byte.size());
    pendenti.append(byte.substr(0, n));
    byte.remove_prefix(n);
    size_t usati = 0;
    e = l.alimenta(pendenti, &usati);
    verifica(usati <= pendenti.size());
    pendenti.erase(0, usati);
  }
  if (e == Esito::altro) e = l.fine_ingresso();
  return {e, l.stato(), l.luogo()};
}

std::string minuscolo(std::string_view s) {
  std::string m(s);
  for (char& c : m) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return m;
}

bool contiene(std::string_view s, std::string_view parte) {
  return s.find(parte) != std::string_view::npos;
}

// The answer keeps itself private and closes. An answer depends on its
// status alone: each is checked once a process, and only counted after.
void verifica_risposta(std::string_view r, int stato) {
  calvetra::fuzz::controllata("risposte");
  static std::set<const char*> viste;  // the answers are kept whole for the process
  if (!viste.insert(r.data()).second) return;
  verifica(r.substr(0, 13) == "HTTP/1.1 " + std::to_string(stato) + " ");
  for (const char* h : {"Cache-Control: no-store\r\n", "X-Content-Type-Options: nosniff\r\n",
                        "Referrer-Policy: no-referrer\r\n", "Connection: close\r\n"}) {
    verifica(contiene(r, h));
  }
}

const std::string& risposta_breve(int stato) {
  static std::map<int, std::string> fatte;
  std::string& r = fatte[stato];
  if (r.empty()) r = vivo::risposta_breve(stato);
  return r;
}

}  // namespace
}  // namespace calvetra::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione) {
  using calvetra::fuzz::contiene;
  using calvetra::fuzz::Esito;
  using calvetra::fuzz::kGettone;
  using calvetra::fuzz::verifica;
  namespace vivo = calvetra::scenario::vivo;
  if (dimensione == 0) return 0;
  const size_t pezzo = dati[0] & 0x7F;
  const std::string_view richiesta(reinterpret_cast<const char*>(dati) + 1, dimensione - 1);

  const calvetra::fuzz::Giudizio intera = calvetra::fuzz::leggi(richiesta, richiesta.size() + 1);
  if (pezzo != 0) {
    calvetra::fuzz::controllata("pezzi");
    const calvetra::fuzz::Giudizio a_pezzi = calvetra::fuzz::leggi(richiesta, pezzo);
    // A request that is not HTTP (a bare line feed, say) may be refused
    // whole and only cut off by the deadline in pieces: the parser looks
    // again only at what came since; either way nothing is answered.
    const auto accolta = [](const calvetra::fuzz::Giudizio& g) {
      return g.esito != Esito::rifiuto && g.esito != Esito::chiudi;
    };
    verifica(accolta(a_pezzi) == accolta(intera));
    if (accolta(intera)) {
      verifica(a_pezzi.esito == intera.esito && a_pezzi.luogo.file == intera.luogo.file &&
               a_pezzi.luogo.riga == intera.luogo.riga &&
               a_pezzi.luogo.colonna == intera.luogo.colonna);
    }
  }

  const std::string base = "/" + std::string(kGettone) + "/";
  const bool host = contiene(richiesta, "127.0.0.1:8080") || contiene(richiesta, "localhost:8080");
  switch (intera.esito) {
    case Esito::altro:
      verifica(false);  // the end of the input always ends the reading
      break;
    case Esito::chiudi: break;
    case Esito::rifiuto: {
      calvetra::fuzz::controllata("richieste");
      const int s = intera.stato;
      verifica(s == 400 || s == 403 || s == 404 || s == 405 || s == 413 || s == 415 || s == 431);
      calvetra::fuzz::verifica_risposta(calvetra::fuzz::risposta_breve(s), s);
      break;
    }
    case Esito::pagina:
      calvetra::fuzz::controllata("richieste");
      verifica(host && (richiesta.starts_with("GET " + base + " ") ||
                        richiesta.starts_with("GET " + base + "?")));
      {
        static const std::string pagina = vivo::risposta_pagina("<p>", "default-src 'none'");
        calvetra::fuzz::verifica_risposta(pagina, 200);
        verifica(contiene(pagina, "\r\nContent-Security-Policy: default-src 'none'\r\n"));
      }
      break;
    case Esito::eventi:
      calvetra::fuzz::controllata("richieste");
      verifica(host && (richiesta.starts_with("GET " + base + "eventi ") ||
                        richiesta.starts_with("GET " + base + "eventi?")));
      {
        static const std::string testa = vivo::testa_eventi();
        calvetra::fuzz::verifica_risposta(testa, 200);
      }
      break;
    case Esito::apri:
      calvetra::fuzz::controllata("richieste");
      calvetra::fuzz::controllata("luoghi");
      verifica(host && richiesta.starts_with("POST " + base + "apri"));
      verifica(contiene(calvetra::fuzz::minuscolo(richiesta), "application/json"));
      verifica(!intera.luogo.file.empty() && intera.luogo.riga >= 1 && intera.luogo.colonna >= 1);
      calvetra::fuzz::verifica_risposta(calvetra::fuzz::risposta_breve(204), 204);
      break;
  }
  return 0;
}
