// Header finalisation and the two integrity codes stamped from the scenario's
// identity (route name and train pair).
#include <string>

#include "run/form1.h"

namespace calvetra {

namespace {

constexpr char kRiempitivo[] = "bbddffhhjjllnnpprrttvvxxzz";

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

// The first 25 characters of the key: train pair, route name, lower-cased,
// then the filler.
std::string chiave(const Tabella& tabella) {
  std::string k = tabella[86].nome + tabella[85].nome;
  for (char& c : k) c = static_cast<char>(minuscola_1252(static_cast<unsigned char>(c)));
  k += kRiempitivo;
  k.resize(25);
  return k;
}

}  // namespace

int32_t Form1::codice_gara_st() const {
  const std::string k = chiave(tabella);
  int32_t somma = 0;
  for (int i = 0; i < 25; ++i) {
    somma += (i + 1) * static_cast<unsigned char>(k[static_cast<size_t>(i)]);
  }
  return somma;  // at most 255 * 325
}

int16_t Form1::codice_gara_og() const {
  const std::string k = chiave(tabella);
  int32_t somma = 0;
  for (char c : k) somma += static_cast<unsigned char>(c);
  return static_cast<int16_t>(somma);  // at most 25 * 255
}

void Form1::finalizza_intestazione() {
  // REQUIRES: tratti has cell 1 (checked by the compile driver).
  if (tabella[85].cod_a != 0 || tratti[1].valore_a != 0) errore("1250");
  tabella[85].cod_a = 610;
  tratti[1].valore_a = 5121;
  if (tabella[85].orario != 0 || tratti[1].valore_b != 0) errore("1251");
  tabella[85].orario = codice_gara_st();
  tratti[1].valore_b = codice_gara_og();
}

}  // namespace calvetra
