#include "scenario/disegno/svg.h"

#include <algorithm>
#include <cmath>

#include "model/significato.h"
#include "scenario/comune/testo.h"

namespace calvetra::scenario::disegno {

std::string f1(double v) { return decimali(v, 1); }

std::string ora_breve(int32_t secondi) {
  return secondi > 0 ? ora_del_giorno(secondi).substr(0, 5) : "";
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
