#include "disegno.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "model/costanti.h"
#include "testo.h"
#include "vista.h"

namespace calvetra::scenario::disegno {

Oggetti raccogli(const ScenarioLetto& s) {
  Oggetti o;
  o.lunghezza = s.tabella[kRigaPercorso].fine;
  o.fine_celle = static_cast<double>(s.tratti.size()) * kMetriCella;
  const auto usi = usi_righe(s.tabella, s.tratti);
  for (size_t r = 1; r <= 80; ++r) {
    if (usi[r] != UsoRiga::stazione) continue;
    const voce& v = s.tabella[r];
    o.stazioni.push_back({v.nome, static_cast<double>(v.posizione), static_cast<double>(v.inizio),
                          static_cast<double>(v.fine), v.tipo, v.orario});
  }
  const auto n = static_cast<int64_t>(s.tratti.size());
  for (int64_t c = 0; c < n; ++c) {
    const tratto& t = s.tratti[static_cast<size_t>(c)];
    const auto p = static_cast<double>(posizione_oggetto(t.tipo, c));
    switch (t.tipo) {
      case kSegnale: o.segnali.push_back(p); break;
      case kAvvisoRallentamento: o.avvisi.push_back(p); break;
      case kIndicatori: o.indicatori.push_back(p); break;
      case kCartello: o.cartelli.push_back(p); break;
      case kAbbattimento:
      case kAbbattimentoNullo: o.abbattimenti.push_back(p); break;
      case kInizioRallentamento: {
        // The stretch runs to the next end cell; a slowdown shorter than a
        // cell has none and ends where it starts.
        int64_t e = c;
        for (int64_t k = c + 1; k < n; ++k) {
          const uint8_t tk = s.tratti[static_cast<size_t>(k)].tipo;
          if (tk == kFineRallentamento) {
            e = k;
            break;
          }
          if (tk == kInizioRallentamento) break;
        }
        o.rallentamenti.push_back(
            {p, static_cast<double>(posizione_oggetto(kFineRallentamento, e)), t.valore_a});
        break;
      }
      default: break;
    }
  }
  return o;
}

std::string f1(double v) { return decimali(v, 1); }

std::string ora_breve(int32_t secondi) {
  if (secondi <= 0) return "";
  char s[16];
  std::snprintf(s, sizeof s, "%02d:%02d", secondi / 3600 % 100, secondi / 60 % 60);
  return s;
}

double passo_tondo(double minimo) {
  double p = 1;
  while (p < minimo) {
    if (p * 2 >= minimo) return p * 2;
    if (p * 5 >= minimo) return p * 5;
    p *= 10;
  }
  return p;
}

std::string km(double metri) {
  std::string s = decimali(metri / 1000.0, std::fmod(metri, 1000.0) == 0 ? 0 : 1);
  return s;
}

std::string testo(double x, double y, const std::string& t, const std::string& attributi) {
  return "<text x=\"" + f1(x) + "\" y=\"" + f1(y) + "\" " + attributi + ">" + testo_xml(t) +
         "</text>\n";
}

std::string linea(double x1, double y1, double x2, double y2, const std::string& attributi) {
  return "<line x1=\"" + f1(x1) + "\" y1=\"" + f1(y1) + "\" x2=\"" + f1(x2) + "\" y2=\"" + f1(y2) +
         "\" " + attributi + "/>\n";
}

std::string rettangolo(double x, double y, double w, double h, const std::string& attributi) {
  if (h < 0) {
    y += h;
    h = -h;
  }
  return "<rect x=\"" + f1(x) + "\" y=\"" + f1(y) + "\" width=\"" + f1(std::max(w, 0.6)) +
         "\" height=\"" + f1(h) + "\" " + attributi + "/>\n";
}

// A generous guess of the width of a text in a sans-serif face: capitals
// and digits are wider than small letters.
double larghezza_testo(const std::string& t, double corpo) {
  double em = 0;
  for (char c : t) {
    if (c >= 'A' && c <= 'Z') {
      em += 0.72;
    } else if (c >= '0' && c <= '9') {
      em += 0.64;
    } else if (c == ' ' || c == '.' || c == ':' || c == ',') {
      em += 0.34;
    } else {
      em += 0.6;
    }
  }
  return em * corpo;
}

}  // namespace calvetra::scenario::disegno
