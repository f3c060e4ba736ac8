// The integrity codes: sums over a 25-character key made of the train pair
// and the route name, lower-cased, then a fixed filler.
#include "output/codici_gara.h"

#include <string>

#include "model/costanti.h"

namespace calvetra {

namespace {

constexpr char kRiempitivo[] = "bbddffhhjjllnnpprrttvvxxzz";
constexpr size_t kLunghezzaChiave = 25;

// Lower case in the Windows-1252 code page: A-Z and the accented capitals.
unsigned char minuscola_1252(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A: return 0x9A;  // S caron
    case 0x8C: return 0x9C;  // OE
    case 0x8E: return 0x9E;  // Z caron
    case 0x9F: return 0xFF;  // Y diaeresis
    default: return c;
  }
}

std::string chiave(const Tabella& tabella) {
  std::string k = tabella[kRigaTreni].nome + tabella[kRigaLinea].nome;
  for (char& c : k) c = static_cast<char>(minuscola_1252(static_cast<unsigned char>(c)));
  k += kRiempitivo;
  k.resize(kLunghezzaChiave);
  return k;
}

}  // namespace

int32_t codice_gara_st(const Tabella& tabella) {
  const std::string k = chiave(tabella);
  int32_t somma = 0;
  for (size_t i = 0; i < kLunghezzaChiave; ++i) {
    somma += static_cast<int32_t>(i + 1) * static_cast<unsigned char>(k[i]);
  }
  return somma;  // at most 255 * 325
}

int16_t codice_gara_og(const Tabella& tabella) {
  const std::string k = chiave(tabella);
  int32_t somma = 0;
  for (char c : k) somma += static_cast<unsigned char>(c);
  return static_cast<int16_t>(somma);  // at most 25 * 255
}

Integrita integrita(const Tabella& tabella, const std::vector<tratto>& tratti) {
  Integrita i;
  i.st_letto = tabella[kRigaLinea].orario;
  i.st_atteso = codice_gara_st(tabella);
  i.og_letto = tratti[kCellaIntestazione].valore_b;
  i.og_atteso = codice_gara_og(tabella);
  return i;
}

}  // namespace calvetra
