#include "scenario/lsp/posizioni.h"

#include <algorithm>

#include "scenario/comune/json.h"
#include "scenario/comune/testo.h"
#include "scenario/lsp/smistatore.h"

namespace calvetra::scenario::lsp {

namespace {

uint8_t larghezza(uint32_t cp, Codifica c) {
  if (c == Codifica::utf16) return cp > 0xFFFF ? 2 : 1;
  return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

int64_t intero_non_negativo(const Json& j, const char* nome) {
  const Json& v = j.at(nome);
  if (!v.is_number_integer() || v.get<int64_t>() < 0) {
    throw ErroreRpc(CodiceRpc::parametri_non_validi,
                    std::string("`") + nome + "` e' un intero non negativo");
  }
  return v.get<int64_t>();
}

}  // namespace

// Built member by member: a brace list copies every value it holds, and an
// outline of the longest route makes some 16000 of these.
Json json_posizione(Posizione p) {
  Json j = oggetto_json(2);
  metti_membro(&j, "line", p.riga);
  metti_membro(&j, "character", p.carattere);
  return j;
}

Posizione posizione_da_json(const Json& j) {
  return {intero_non_negativo(j, "line"), intero_non_negativo(j, "character")};
}

template <typename Prossimo>
void IndicePosizioni::costruisci(std::string_view testo, Prossimo prossimo, Codifica c) {
  // One character a byte at most: the widths are written in place, and the
  // list cut to the characters found.
  larghezze_.resize(testo.size());
  inizi_.assign(1, 0);
  fini_.clear();
  size_t n = 0;
  for (size_t i = 0; i < testo.size();) {
    const uint32_t cp = prossimo(&i);
    larghezze_[n] = larghezza(cp, c);
    if (cp == '\r' || cp == '\n') {
      fini_.push_back(n);
      // CR LF ends one line: the LF belongs to the CR's end.
      if (cp == '\r' && i < testo.size() && testo[i] == '\n') {
        larghezze_[++n] = 1;
        ++i;
      }
      inizi_.push_back(n + 1);
    }
    ++n;
  }
  larghezze_.resize(n);
  fini_.push_back(n);
}

IndicePosizioni IndicePosizioni::da_1252(std::string_view testo, Codifica c) {
  IndicePosizioni x;
  x.costruisci(
      testo,
      [&](size_t* i) { return punto_di_codice_1252(static_cast<unsigned char>(testo[(*i)++])); },
      c);
  return x;
}

IndicePosizioni IndicePosizioni::da_utf8(std::string_view testo, Codifica c) {
  IndicePosizioni x;
  x.costruisci(
      testo,
      [&](size_t* i) -> uint32_t {
        const auto b = static_cast<unsigned char>(testo[*i]);
        if (b >= 0x80) return prossimo_utf8(testo, i);
        ++*i;
        return b;
      },
      c);
  return x;
}

Posizione IndicePosizioni::posizione(size_t i) const {
  i = std::min(i, larghezze_.size());
  const size_t riga =
      static_cast<size_t>(std::upper_bound(inizi_.begin(), inizi_.end(), i) - inizi_.begin()) - 1;
  int64_t carattere = 0;
  for (size_t k = inizi_[riga]; k < i; ++k) carattere += larghezze_[k];
  return {static_cast<int64_t>(riga), carattere};
}

size_t IndicePosizioni::indice(Posizione p) const {
  if (p.riga < 0) return 0;
  if (static_cast<uint64_t>(p.riga) >= inizi_.size()) return larghezze_.size();
  const auto riga = static_cast<size_t>(p.riga);
  size_t i = inizi_[riga];
  int64_t carattere = 0;
  while (i < fini_[riga] && carattere + larghezze_[i] <= p.carattere) carattere += larghezze_[i++];
  return i;
}

size_t byte_utf8(std::string_view testo, Posizione p, Codifica c) {
  size_t i = 0;
  for (int64_t riga = 0; riga < p.riga; ++riga) {
    while (i < testo.size() && testo[i] != '\r' && testo[i] != '\n') ++i;
    if (i >= testo.size()) return testo.size();
    i += testo[i] == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n' ? 2 : 1;
  }
  int64_t carattere = 0;
  while (i < testo.size() && testo[i] != '\r' && testo[i] != '\n') {
    size_t dopo = i;
    const uint32_t cp = prossimo_utf8(testo, &dopo);
    carattere += larghezza(cp, c);
    if (carattere > p.carattere) break;
    i = dopo;
  }
  return i;
}

}  // namespace calvetra::scenario::lsp
