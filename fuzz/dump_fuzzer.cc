// Fuzz target: the reader of `scenario dump` over a table file, a cell file
// and a geometry file taken from one input, then the text and JSON writers
// over whatever it accepts.
//
// Input layout: one flag byte (bit 0: there is a geometry file), the table
// length and the cell length as 32-bit little-endian numbers, then the table
// bytes, the cell bytes and, with the flag, the rest as the geometry file.
// Lengths beyond the input are cut to what is left.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "proprieta.h"
#include "scenario/dump.h"
#include "scenario/leggi_scenario.h"

namespace {

using calvetra::scenario::PianoLetto;
using calvetra::scenario::ScenarioLetto;

// Takes what the writers emit and drops it. A put area that is simply
// rewound when full keeps single characters off the virtual calls.
class Scarico : public std::streambuf {
 public:
  Scarico() { setp(area_, area_ + sizeof area_); }

 protected:
  int_type overflow(int_type c) override {
    setp(area_, area_ + sizeof area_);
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }

 private:
  char area_[4096];
};

uint32_t u32(std::string_view s, size_t da) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) {
    v |= static_cast<uint32_t>(static_cast<uint8_t>(s[da + i])) << (8 * i);
  }
  return v;
}

std::string_view prendi(std::string_view* resto, uint32_t quanti) {
  const size_t n = quanti < resto->size() ? quanti : resto->size();
  const std::string_view parte = resto->substr(0, n);
  resto->remove_prefix(n);
  return parte;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione) {
  std::string_view resto(reinterpret_cast<const char*>(dati), dimensione);
  if (resto.size() < 9) return 0;
  const bool con_geometria = (static_cast<uint8_t>(resto[0]) & 1u) != 0;
  const uint32_t byte_tabella = u32(resto, 1);
  const uint32_t byte_celle = u32(resto, 5);
  resto.remove_prefix(9);
  const std::string_view tabella = prendi(&resto, byte_tabella);
  const std::string_view celle = prendi(&resto, byte_celle);
  const std::string_view geometria = con_geometria ? resto : std::string_view();

  // The same steps as `scenario dump`: table, then cells and plan sized by
  // the route length of the table (by the files themselves for a length
  // outside the limits).
  ScenarioLetto s;
  std::string errore;
  if (!calvetra::scenario::leggi_tabella(tabella, "tabella", &s.tabella, &errore)) return 0;
  s.byte_tabella = tabella.size();
  const int32_t L = s.tabella[84].fine;
  if (!calvetra::scenario::leggi_celle(celle, "celle", L, &s.tratti, &errore)) return 0;
  s.byte_celle = celle.size();
  const int64_t celle_attese = calvetra::scenario::celle_attese(L);
  calvetra::fuzz::verifica(static_cast<int64_t>(s.tratti.size()) == celle_attese ||
                           (celle_attese == 0 && s.tratti.size() >= 2));
  if (con_geometria) {
    PianoLetto piano;
    if (!calvetra::scenario::leggi_geometria(geometria, "geometria", L, &piano, &errore)) return 0;
    calvetra::fuzz::verifica(
        piano.x.size() == piano.y.size() &&
        (static_cast<int64_t>(piano.x.size()) == static_cast<int64_t>(L) + 7001 ||
         (celle_attese == 0 && !piano.x.empty())));
    s.geometria = std::move(piano);
    s.byte_geometria = geometria.size();
  }
  calvetra::fuzz::verifica_ricodifica(tabella, celle, geometria, s);

  Scarico scarico;
  std::ostream out(&scarico);
  calvetra::scenario::OpzioniDump o;
  o.cartella = "scenario";
  o.passo_campioni = 1 + static_cast<int32_t>(static_cast<uint8_t>(dati[0]) >> 1) * 97;
  calvetra::scenario::scrivi_testo(s, o, out);
  calvetra::scenario::scrivi_json(s, o, out);
  return 0;
}
