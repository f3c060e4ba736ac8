// Well-formedness check for the SVG of the author tools: a small XML
// checker. It returns an empty string when the text is well formed,
// otherwise what is wrong and where. (JSON documents are parsed whole by the
// JSON library.)
#ifndef CALVETRA_TESTS_TOOLS_SINTASSI_H_
#define CALVETRA_TESTS_TOOLS_SINTASSI_H_

#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace calvetra::test {

namespace sintassi_dettaglio {

inline bool utf8_valido(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t n = 0;
    if (c >= 0x80) {
      if ((c >> 5) == 6) {
        n = 1;
      } else if ((c >> 4) == 14) {
        n = 2;
      } else if ((c >> 3) == 30) {
        n = 3;
      } else {
        return false;
      }
    }
    if (i + n >= s.size()) return false;
    for (size_t k = 1; k <= n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
    }
    i += n + 1;
  }
  return true;
}

inline bool nome_xml(std::string_view s, size_t* i) {
  const size_t inizio = *i;
  while (*i < s.size() && (std::isalnum(static_cast<unsigned char>(s[*i])) || s[*i] == '-' ||
                           s[*i] == '_' || s[*i] == ':' || s[*i] == '.')) {
    ++*i;
  }
  return *i > inizio;
}

// Character data: '<' never, '&' only as a known or numeric entity.
inline bool dati_xml(std::string_view t) {
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '<') return false;
    if (t[i] == '&') {
      const size_t fine = t.find(';', i);
      if (fine == std::string_view::npos) return false;
      const std::string_view e = t.substr(i + 1, fine - i - 1);
      if (e != "amp" && e != "lt" && e != "gt" && e != "quot" && e != "apos" &&
          (e.empty() || e[0] != '#')) {
        return false;
      }
    }
    const auto u = static_cast<unsigned char>(t[i]);
    if (u < 0x20 && t[i] != '\n' && t[i] != '\r' && t[i] != '\t') return false;
  }
  return true;
}

}  // namespace sintassi_dettaglio

// Elements balanced with one root, attributes quoted, character data and
// attribute values escaped, valid UTF-8. No DTD, no CDATA.
inline std::string xml_ben_formato(std::string_view s) {
  using namespace sintassi_dettaglio;
  if (!utf8_valido(s)) return "UTF-8 non valido";
  std::vector<std::string> aperti;
  size_t radici = 0;
  size_t i = 0;
  if (s.substr(0, 5) == "<?xml") {
    i = s.find("?>");
    if (i == std::string_view::npos) return "dichiarazione non chiusa";
    i += 2;
  }
  while (i < s.size()) {
    const size_t lt = s.find('<', i);
    const std::string_view dati = s.substr(i, (lt == std::string_view::npos ? s.size() : lt) - i);
    if (!dati_xml(dati)) return "testo non valido al byte " + std::to_string(i);
    if (aperti.empty() && dati.find_first_not_of(" \r\n\t") != std::string_view::npos) {
      return "testo fuori dalla radice al byte " + std::to_string(i);
    }
    if (lt == std::string_view::npos) break;
    i = lt + 1;
    if (s.substr(i, 3) == "!--") {
      const size_t fine = s.find("-->", i);
      if (fine == std::string_view::npos) return "commento non chiuso";
      i = fine + 3;
      continue;
    }
    const bool chiusura = i < s.size() && s[i] == '/';
    if (chiusura) ++i;
    const size_t inizio_nome = i;
    if (!nome_xml(s, &i)) return "nome di elemento atteso al byte " + std::to_string(i);
    const std::string nome(s.substr(inizio_nome, i - inizio_nome));
    if (chiusura) {
      while (i < s.size() && s[i] == ' ') ++i;
      if (i >= s.size() || s[i] != '>') return "'>' atteso al byte " + std::to_string(i);
      if (aperti.empty() || aperti.back() != nome) return "chiusura di " + nome + " inattesa";
      aperti.pop_back();
      ++i;
      continue;
    }
    std::vector<std::string> attributi;
    for (;;) {
      const size_t prima = i;
      while (i < s.size() && (s[i] == ' ' || s[i] == '\n' || s[i] == '\t')) ++i;
      if (i >= s.size()) return "elemento " + nome + " non chiuso";
      if (s[i] == '>' || (s[i] == '/' && i + 1 < s.size() && s[i + 1] == '>')) break;
      if (i == prima) return "spazio atteso prima di un attributo al byte " + std::to_string(i);
      const size_t inizio_attr = i;
      if (!nome_xml(s, &i)) return "attributo atteso al byte " + std::to_string(i);
      const std::string attr(s.substr(inizio_attr, i - inizio_attr));
      for (const std::string& a : attributi) {
        if (a == attr) return "attributo " + attr + " ripetuto al byte " + std::to_string(i);
      }
      attributi.push_back(attr);
      if (i + 1 >= s.size() || s[i] != '=' || (s[i + 1] != '"' && s[i + 1] != '\'')) {
        return "valore di " + attr + " non tra virgolette al byte " + std::to_string(i);
      }
      const char q = s[i + 1];
      const size_t fine = s.find(q, i + 2);
      if (fine == std::string_view::npos) return "valore di " + attr + " non chiuso";
      if (!dati_xml(s.substr(i + 2, fine - i - 2))) return "valore di " + attr + " non valido";
      i = fine + 1;
    }
    const bool vuoto = s[i] == '/';
    i += vuoto ? 2 : 1;
    if (aperti.empty() && ++radici > 1) return "piu' di una radice";
    if (!vuoto) aperti.push_back(nome);
  }
  if (!aperti.empty()) return "elemento " + aperti.back() + " non chiuso";
  if (radici != 1) return "nessuna radice";
  return "";
}

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_TOOLS_SINTASSI_H_
