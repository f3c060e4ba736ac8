#include "scenario/disegno/pianta.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "scenario/comune/testo.h"

namespace calvetra::scenario::disegno {

namespace {

class Pianta {
 public:
  // Turns the plan so that its longest extent runs across the page, from the
  // start on the left: the plane is the route's own, so any turn shows it as
  // truly, and a long straight route then fills the width instead of a
  // narrow column. `lunghezza` is the route length L.
  Pianta(const PianoLetto& p, double lunghezza, double w, double h_massima) : piano_(p) {
    ultimo_ = 0;
    for (size_t m = 0; m < p.metri(); ++m) {
      const ElementoGeometria x = p.x(m), y = p.y(m);
      if (x.genere != Geometria::Genere::vuoto && y.genere != Geometria::Genere::vuoto &&
          std::isfinite(x.valore) && std::isfinite(y.valore)) {
        ultimo_ = m;
      } else {
        break;  // the plan is computed forward: the first empty metre ends it
      }
    }
    if (ultimo_ < 1) return;
    const size_t fine = std::min(ultimo_, static_cast<size_t>(std::max(lunghezza, 1.0)));
    const size_t passo = std::max<size_t>(1, fine / 4000);
    double mx = 0, my = 0, n = 0;
    for (size_t m = 0; m <= fine; m += passo, ++n) {
      mx += p.x(m).valore;
      my += p.y(m).valore;
    }
    mx /= n;
    my /= n;
    double sxx = 0, syy = 0, sxy = 0;
    for (size_t m = 0; m <= fine; m += passo) {
      const double dx = p.x(m).valore - mx, dy = p.y(m).valore - my;
      sxx += dx * dx;
      syy += dy * dy;
      sxy += dx * dy;
    }
    const double angolo = 0.5 * std::atan2(2 * sxy, sxx - syy);
    coseno_ = std::cos(angolo);
    seno_ = std::sin(angolo);
    const Punto inizio = ruota(0), arrivo = ruota(static_cast<double>(fine));
    if (arrivo.x < inizio.x) {
      coseno_ = -coseno_;
      seno_ = -seno_;
    }
    minx_ = maxx_ = ruota(0).x;
    miny_ = maxy_ = ruota(0).y;
    for (size_t m = 0; m <= ultimo_; ++m) {
      const Punto q = ruota(static_cast<double>(m));
      minx_ = std::min(minx_, q.x);
      maxx_ = std::max(maxx_, q.x);
      miny_ = std::min(miny_, q.y);
      maxy_ = std::max(maxy_, q.y);
    }
    scala_ = std::min(w / std::max(maxx_ - minx_, 1.0), h_massima / std::max(maxy_ - miny_, 1.0));
  }

  bool valida() const { return ultimo_ >= 1; }
  double ultimo() const { return static_cast<double>(ultimo_); }
  double scala() const { return scala_; }
  double altezza() const { return (maxy_ - miny_) * scala_; }

  // Centres the plan in the area of the page.
  void colloca(double x0, double y0, double w, double h) {
    cx_ = x0 + w / 2 - (minx_ + maxx_) / 2 * scala_;
    cy_ = y0 + h / 2 + (miny_ + maxy_) / 2 * scala_;
  }

  // The page point of metre m of the route (clamped to the computed metres).
  Punto a(double m) const {
    const Punto q = ruota(m);
    return {cx_ + q.x * scala_, cy_ - q.y * scala_};
  }
  // The direction of the route at metre m, on the page, of unit length.
  Punto direzione(double m) const {
    const Punto p = a(m - 20), q = a(m + 20);
    const double l = std::hypot(q.x - p.x, q.y - p.y);
    if (l < 1e-9) return {0, -1};
    return {(q.x - p.x) / l, (q.y - p.y) / l};
  }

  // A path along the route from metre da to metre a.
  std::string percorso(double da, double a, const std::string& attributi) const {
    da = std::clamp(da, 0.0, ultimo());
    a = std::clamp(a, 0.0, ultimo());
    if (a < da) std::swap(da, a);
    const double passo = std::max(1.0, std::floor((a - da) / 1500.0));
    std::string d;
    for (double m = da;; m += passo) {
      if (m > a) m = a;
      const Punto p = this->a(m);
      d += (d.empty() ? "M" : " L") + f1(p.x) + " " + f1(p.y);
      if (m >= a) break;
    }
    if (da == a) {
      const Punto p = this->a(da);
      d += " L" + f1(p.x + 0.1) + " " + f1(p.y);
    }
    return "<path d=\"" + d + "\" fill=\"none\" " + attributi + "/>\n";
  }

 private:
  size_t indice(double m) const {
    if (!(m > 0)) return 0;
    if (m >= static_cast<double>(ultimo_)) return ultimo_;
    return static_cast<size_t>(std::lround(m));
  }

  // The turned plan coordinates of metre m.
  Punto ruota(double m) const {
    const size_t i = indice(m);
    const double x = piano_.x(i).valore, y = piano_.y(i).valore;
    return {x * coseno_ + y * seno_, -x * seno_ + y * coseno_};
  }

  const PianoLetto& piano_;
  size_t ultimo_ = 0;
  double coseno_ = 1, seno_ = 0;
  double minx_ = 0, maxx_ = 0, miny_ = 0, maxy_ = 0;
  double scala_ = 1, cx_ = 0, cy_ = 0;
};

// Places a label near a point of the route: on either side, a little
// further out when the place is taken; the first free place wins.
class Etichette {
 public:
  explicit Etichette(const Riquadro& area) : area_(area) {}

  std::string metti(const Pianta& p, double m, const std::string& t, double corpo,
                    const std::string& attributi) {
    const Punto q = p.a(m);
    const Punto d = p.direzione(m);
    const Punto normale{-d.y, d.x};
    const double w = larghezza_testo(t, corpo) * 1.08;  // room for bold faces
    Riquadro scelto{};
    std::string ancora;
    double tx = 0, ty = 0;
    bool trovato = false;
    for (double distanza : {12.0, 26.0, 40.0, 54.0, 68.0, 82.0, 96.0}) {
      for (int lato : {1, -1}) {
        const double nx = normale.x * lato, ny = normale.y * lato;
        const double x = q.x + nx * distanza;
        const double y = q.y + ny * distanza + corpo * 0.35;
        // Beside a line that runs across the page the label is centred
        // above or below the point; beside one that runs up, it starts
        // there or ends there.
        const char* a = std::abs(nx) < 0.5 ? "middle" : nx > 0 ? "start" : "end";
        double x0 = a[0] == 'm' ? x - w / 2 : a[0] == 's' ? x : x - w;
        // Near the edges the label slides inward rather than leave the page.
        const double scarto = std::max(0.0, area_.x0 - x0) - std::max(0.0, x0 + w - area_.x1);
        x0 += scarto;
        const Riquadro r{x0, y - corpo, x0 + w, y + 3};
        bool libero = r.y0 >= area_.y0 && r.y1 <= area_.y1;
        for (const Riquadro& altro : presi_) libero = libero && !r.sovrapposto(altro);
        if (libero || (!trovato && distanza == 12.0 && lato == 1)) {
          scelto = r;
          ancora = a;
          tx = x + scarto;
          ty = y;
          if (!libero) continue;
          trovato = true;
          break;
        }
      }
      if (trovato) break;
    }
    presi_.push_back(scelto);
    double lx = ancora == "start" ? scelto.x0 - 2 : scelto.x1 + 2;
    double ly = (scelto.y0 + scelto.y1) / 2;
    if (ancora == "middle") {
      lx = std::clamp(q.x, scelto.x0, scelto.x1);
      ly = q.y < scelto.y0 ? scelto.y0 - 1 : scelto.y1 + 1;
    }
    std::string s;
    if (std::hypot(lx - q.x, ly - q.y) > 16) {
      s += linea(q.x, q.y, lx, ly, "stroke=\"#90a4ae\" stroke-width=\"0.7\"");
    }
    return s + testo(tx, ty, t,
                     "font-size=\"" + f1(corpo) + "\" text-anchor=\"" + ancora + "\" " + attributi);
  }
  void riserva(const Riquadro& r) { presi_.push_back(r); }

 private:
  Riquadro area_;
  std::vector<Riquadro> presi_;
};

// The route, the run past its end in grey, the slowdowns and the station
// zones along it, the signals and the station centres; what labels must
// leave free is reserved in `etichette`.
std::string tracciato(const Pianta& p, const Oggetti& o, double L, Etichette* etichette) {
  std::string svg =
      p.percorso(L, p.ultimo(), "stroke=\"#b0bec5\" stroke-width=\"2\" stroke-dasharray=\"6 4\"");
  svg += p.percorso(0, L,
                    std::string("stroke=\"") + kColoreBinario +
                        "\" stroke-width=\"3\" stroke-linejoin=\"round\"");
  // Slowdowns as orange stretches over the line; their speed is a label.
  for (const Rallentamento& r : o.rallentamenti) {
    svg += p.percorso(r.da, r.a,
                      std::string("stroke=\"") + kColoreRallentamento +
                          "\" stroke-width=\"8\" stroke-linecap=\"round\" "
                          "stroke-opacity=\"0.85\"");
  }
  // The line itself is no place for a label.
  for (double m = 0; m <= p.ultimo(); m += 6 / p.scala()) {
    const Punto q = p.a(m);
    etichette->riserva({q.x - 3, q.y - 3, q.x + 3, q.y + 3});
  }
  for (const Stazione& st : o.stazioni) {
    svg += p.percorso(st.inizio, st.fine,
                      std::string("stroke=\"") + kColoreStazione +
                          "\" stroke-width=\"7\" stroke-opacity=\"0.45\"");
  }
  for (double m : o.segnali) {
    const Punto q = p.a(m);
    svg += "<circle cx=\"" + f1(q.x) + "\" cy=\"" + f1(q.y) + "\" r=\"2.6\" fill=\"" +
           kColoreSegnale + "\"/>\n";
  }
  for (const Stazione& st : o.stazioni) {
    const Punto q = p.a(st.posizione);
    svg += "<circle cx=\"" + f1(q.x) + "\" cy=\"" + f1(q.y) +
           "\" r=\"5\" fill=\"#ffffff\" stroke=\"" + kColoreStazione +
           "\" stroke-width=\"2.5\"/>\n";
    etichette->riserva({q.x - 6, q.y - 6, q.x + 6, q.y + 6});
  }
  return svg;
}

// Kilometre marks, station names, slowdown speeds and the two ends, each
// label where it finds room.
std::string scritte(const Pianta& p, const Oggetti& o, double L, Etichette* etichette) {
  std::string svg;
  const double passo_km = passo_tondo(L / 12.0 / 1000.0) * 1000.0;
  for (double m = passo_km; m < L; m += passo_km) {
    const Punto q = p.a(m);
    const Punto d = p.direzione(m);
    svg += linea(q.x - d.y * 6, q.y + d.x * 6, q.x + d.y * 6, q.y - d.x * 6,
                 "stroke=\"#263238\" stroke-width=\"1.5\"");
  }
  for (double m = passo_km; m < L; m += passo_km) {
    svg += etichette->metti(p, m, "km " + km(m), 10, "fill=\"#546e7a\"");
  }
  for (const Stazione& st : o.stazioni) {
    const std::string orario = ora_breve(st.orario);
    svg += etichette->metti(p, st.posizione, orario.empty() ? st.nome : st.nome + " " + orario, 12,
                            std::string("fill=\"") + kColoreStazione + "\" font-weight=\"bold\"");
  }
  for (const Rallentamento& r : o.rallentamenti) {
    svg +=
        etichette->metti(p, (r.da + r.a) / 2, std::to_string(r.velocita) + " km/h", 11,
                         std::string("fill=\"") + kColoreRallentamento + "\" font-weight=\"bold\"");
  }
  for (const auto& [m, nome] : {std::pair{0.0, "inizio"}, {L, "fine del percorso"}}) {
    const Punto q = p.a(m);
    svg += "<circle cx=\"" + f1(q.x) + "\" cy=\"" + f1(q.y) + "\" r=\"4\" fill=\"#263238\"/>\n";
    svg += etichette->metti(p, m, nome, 11, "fill=\"#263238\" font-style=\"italic\"");
  }
  return svg;
}

// The scale bar at (x, y) and the note at the right edge `destra`.
std::string scala(const Pianta& p, double x, double y, double destra) {
  const double metri_barra = passo_tondo(100.0 / p.scala());
  const double lw = metri_barra * p.scala();
  std::string svg = linea(x, y, x + lw, y, "stroke=\"#263238\" stroke-width=\"2\"");
  svg += linea(x, y - 4, x, y + 4, "stroke=\"#263238\" stroke-width=\"1.5\"");
  svg += linea(x + lw, y - 4, x + lw, y + 4, "stroke=\"#263238\" stroke-width=\"1.5\"");
  svg += testo(x + lw + 6, y + 4,
               metri_barra >= 1000 ? km(metri_barra) + " km" : f1(metri_barra) + " m",
               "font-size=\"11\" fill=\"#263238\"");
  svg += testo(destra, y + 4,
               "Pianta nel piano del percorso, girata perch\xE9 la sua estensione maggiore vada "
               "da sinistra a destra",
               "font-size=\"10\" text-anchor=\"end\" fill=\"#78909c\"");
  return svg;
}

}  // namespace

std::string disegna_pianta(const ScenarioLetto& s, const Oggetti& o, double y0, double* altezza) {
  const double w = kLarghezza - kSinistra - kDestra;
  // Room around the line for the labels, above and below.
  const double margine = 110;
  std::optional<Pianta> pianta;
  double h = 300;
  if (s.geometria) {
    pianta.emplace(*s.geometria, o.lunghezza, w - 60, 560 - 2 * margine);
    if (pianta->valida()) h = std::clamp(pianta->altezza() + 2 * margine, 300.0, 560.0);
  }
  std::string svg = "<g id=\"pianta\">\n";
  svg += testo(kSinistra, y0 + 16, "Pianta del percorso",
               "font-size=\"16\" font-weight=\"bold\" fill=\"#263238\"");
  const double top = y0 + 30;
  svg += rettangolo(kSinistra - 10, top, w + 20, h + 20,
                    "fill=\"#fafafa\" stroke=\"#cfd8dc\" stroke-width=\"1\"");
  *altezza = h + 60;
  if (!pianta || !pianta->valida()) {
    svg += testo(kSinistra + w / 2, top + h / 2,
                 !pianta ? "Geometria assente: il percorso \xE8 stato compilato senza geometria"
                         : "La geometria non ha metri calcolati",
                 "font-size=\"15\" text-anchor=\"middle\" fill=\"#607d8b\"");
    return svg + "</g>\n";
  }
  Pianta& p = *pianta;
  p.colloca(kSinistra + 30, top + 10, w - 60, h);
  const double L = std::min(o.lunghezza, p.ultimo());
  Etichette etichette({kSinistra - 6, top + 4, kSinistra + w + 6, top + h + 4});
  // Labels keep off the scale bar and the note under the plan.
  etichette.riserva({kSinistra, top + h - 10, kSinistra + 260, top + h + 20});
  etichette.riserva({kSinistra + w - 560, top + h - 6, kSinistra + w, top + h + 20});
  svg += tracciato(p, o, L, &etichette);
  svg += scritte(p, o, L, &etichette);
  svg += scala(p, kSinistra + 10, top + h + 4, kSinistra + w);
  return svg + "</g>\n";
}

}  // namespace calvetra::scenario::disegno
