#include "diagnostica.h"

#include <algorithm>

#include "fields/lettore_campi.h"
#include "model/messaggi.h"
#include "testo.h"

namespace calvetra::scenario {

namespace {

bool fine_riga(char c) { return c == '\r' || c == '\n'; }

}  // namespace

size_t lunghezza_campo(std::string_view testo, size_t offset) {
  if (offset >= testo.size() || fine_riga(testo[offset])) return 1;
  size_t fine = offset;
  if (testo[offset] == '"') {
    ++fine;
    while (fine < testo.size() && testo[fine] != '"' && !fine_riga(testo[fine])) ++fine;
    if (fine < testo.size() && testo[fine] == '"') ++fine;
  } else {
    while (fine < testo.size() && testo[fine] != ',' && !fine_riga(testo[fine])) ++fine;
    while (fine > offset + 1 && (testo[fine - 1] == ' ' || testo[fine - 1] == '\t')) --fine;
  }
  return fine > offset ? fine - offset : 1;
}

namespace {

std::string ansi(std::string_view testo, const char* codice, bool colore) {
  if (!colore) return std::string(testo);
  return std::string("\x1b[") + codice + "m" + std::string(testo) + "\x1b[0m";
}

}  // namespace

std::string grassetto(std::string_view testo, bool colore) { return ansi(testo, "1", colore); }
std::string rosso(std::string_view testo, bool colore) { return ansi(testo, "1;31", colore); }
std::string magenta(std::string_view testo, bool colore) { return ansi(testo, "1;35", colore); }
std::string ciano(std::string_view testo, bool colore) { return ansi(testo, "1;36", colore); }

std::string colora_parola(std::string_view parola, bool colore) {
  if (parola == "errore") return rosso(parola, colore);
  if (parola == "avviso") return magenta(parola, colore);
  if (parola == "nota") return ciano(parola, colore);
  return std::string(parola);
}

IndiceRighe::IndiceRighe(std::string_view testo) : testo_(testo), inizi_{0} {
  for (size_t i = 0; i < testo.size(); ++i) {
    if (testo[i] == '\n' || (testo[i] == '\r' && (i + 1 >= testo.size() || testo[i + 1] != '\n'))) {
      inizi_.push_back(i + 1);
    }
  }
}

PosizioneTesto IndiceRighe::posizione(size_t offset) const {
  if (offset > testo_.size()) offset = testo_.size();
  // The last line start at or before the offset; only its own line is read.
  const auto k = std::upper_bound(inizi_.begin(), inizi_.end(), offset) - inizi_.begin() - 1;
  const size_t inizio = inizi_[static_cast<size_t>(k)];
  PosizioneTesto p = posizione_in(testo_.substr(inizio), offset - inizio);
  p.riga = static_cast<int>(k) + 1;
  return p;
}

std::string localizzato(const std::string& file, const IndiceRighe& righe, size_t offset,
                        std::string_view parola, std::string_view resto, bool colore) {
  const std::string_view testo = righe.testo();
  if (offset > testo.size()) offset = testo.size();
  const PosizioneTesto p = righe.posizione(offset);
  std::string s =
      grassetto(file + ":" + std::to_string(p.riga) + ":" + std::to_string(p.colonna) + ":",
                colore) +
      " " + colora_parola(parola, colore) + utf8_da_1252(resto) + "\n";

  size_t inizio = offset;
  while (inizio > 0 && !fine_riga(testo[inizio - 1])) --inizio;
  size_t fine = offset;
  while (fine < testo.size() && !fine_riga(testo[fine])) ++fine;
  const std::string_view riga = testo.substr(inizio, fine - inizio);

  const std::string numero = std::to_string(p.riga);
  const std::string margine(numero.size() + 1, ' ');
  s += " " + numero + " | " + utf8_da_1252(riga) + "\n";
  // Tabs are copied so that the caret lines up under the field whatever the
  // terminal's tab stops; every other byte is one column.
  std::string sotto;
  for (size_t i = inizio; i < offset; ++i) sotto += testo[i] == '\t' ? '\t' : ' ';
  sotto += '^';
  const size_t n = lunghezza_campo(testo, offset);
  if (n > 1) sotto.append(n - 1, '~');
  s += margine + " | " + sotto + "\n";
  return s;
}

}  // namespace calvetra::scenario
