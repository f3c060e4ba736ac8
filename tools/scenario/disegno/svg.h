// Drawing helpers shared by the plan and the profile of `scenario plot`: the
// page, the colours and a few SVG elements.
#ifndef CALVETRA_TOOLS_SCENARIO_DISEGNO_SVG_H_
#define CALVETRA_TOOLS_SCENARIO_DISEGNO_SVG_H_

#include <cstdint>
#include <string>

namespace calvetra::scenario::disegno {

// Page and colours.
inline constexpr double kLarghezza = 1400;
inline constexpr double kSinistra = 84;
inline constexpr double kDestra = 36;
inline constexpr const char* kColoreBinario = "#37474f";
inline constexpr const char* kColoreStazione = "#1f4e9c";
inline constexpr const char* kColoreSegnale = "#c62828";
inline constexpr const char* kColoreRallentamento = "#ef6c00";
inline constexpr const char* kColoreVelocita = "#1565c0";
inline constexpr const char* kColoreSalita = "#d84315";
inline constexpr const char* kColoreDiscesa = "#2e7d32";
inline constexpr const char* kColoreAbbattimento = "#6a1b9a";
inline constexpr const char* kColoriMontagna[] = {"#bcaaa4", "#8d6e63", "#5d4037", "#3e2723"};

struct Punto {
  double x = 0, y = 0;
};

struct Riquadro {
  double x0, y0, x1, y1;
  bool sovrapposto(const Riquadro& r) const {
    return x0 < r.x1 && r.x0 < x1 && y0 < r.y1 && r.y0 < y1;
  }
};

std::string f1(double v);
// "07:54" from seconds after midnight; "" for no time.
std::string ora_breve(int32_t secondi);
// A round step (1, 2 or 5 times a power of ten) of at least `minimo`.
double passo_tondo(double minimo);
// Kilometres, with one decimal when the metres are not whole kilometres.
std::string km(double metri);
// SVG elements; `t` is Windows-1252, `attributi` ready-made attributes.
std::string testo(double x, double y, const std::string& t, const std::string& attributi);
std::string linea(double x1, double y1, double x2, double y2, const std::string& attributi);
std::string rettangolo(double x, double y, double w, double h, const std::string& attributi);
// A generous guess of the width of a text in a sans-serif face.
double larghezza_testo(const std::string& t, double corpo);

}  // namespace calvetra::scenario::disegno

#endif  // CALVETRA_TOOLS_SCENARIO_DISEGNO_SVG_H_
