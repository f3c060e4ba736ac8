#include "scenario/disegno/profilo.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "model/significato.h"
#include "scenario/comune/testo.h"

namespace calvetra::scenario::disegno {

namespace {

// A gradient in per mille with its sign: "+12", "0", "-14".
std::string con_segno(double g) {
  std::string s = g > 0 ? "+" : "";
  s += decimali(g, 0);
  return s;
}

class Profilo {
 public:
  explicit Profilo(double metri) : metri_(std::max(metri, double{kMetriCella})) {}
  double x(double m) const { return kSinistra + m / metri_ * larghezza(); }
  static double larghezza() { return kLarghezza - kSinistra - kDestra; }
  double metri() const { return metri_; }

 private:
  double metri_;
};

// A step line and its fill for a run-by-run value; `y` maps a value to the page.
template <typename Y>
std::string gradini(const Profilo& pr, const std::vector<Sequenza>& seq, Y y, double base,
                    const std::string& tratto, const std::string& riempimento) {
  std::string d, area;
  for (const Sequenza& q : seq) {
    const double x0 = pr.x(static_cast<double>(q.da) * kMetriCella);
    const double x1 = pr.x(static_cast<double>(q.a + 1) * kMetriCella);
    const double v = y(q.valore);
    d += (d.empty() ? "M" : " L") + f1(x0) + " " + f1(v) + " L" + f1(x1) + " " + f1(v);
  }
  if (d.empty()) return "";
  const double primo = pr.x(static_cast<double>(seq.front().da) * kMetriCella);
  const double ultimo = pr.x(static_cast<double>(seq.back().a + 1) * kMetriCella);
  area = d + " L" + f1(ultimo) + " " + f1(base) + " L" + f1(primo) + " " + f1(base) + " Z";
  return "<path d=\"" + area + "\" fill=\"" + riempimento + "\" stroke=\"none\"/>\n" +
         "<path d=\"" + d + "\" fill=\"none\" stroke=\"" + tratto +
         "\" stroke-width=\"1.6\" stroke-linejoin=\"round\"/>\n";
}

// A row name at the left of the object strip.
std::string nome_riga(double y, const std::string& t) {
  return testo(kSinistra - 8, y, t,
               "font-size=\"11\" text-anchor=\"end\" fill=\"#455a64\" font-weight=\"bold\"");
}

// The title of a track, just above its frame.
std::string titolo_traccia(double y_traccia, const std::string& t) {
  return testo(kSinistra + 2, y_traccia - 5, t,
               "font-size=\"11\" fill=\"#455a64\" font-weight=\"bold\"");
}

// Where the tracks of the profile lie on the page, top to bottom.
struct Tracce {
  double nomi_y, nomi_h, ogg_y, ogg_h, vel_y, vel_h, pen_y, pen_h, mon_y, mon_h, asse_y;
};

Tracce tracce(const Oggetti& o, double y0) {
  // The slanted station names need as much height as the longest one.
  double nome_piu_lungo = 40;
  for (const Stazione& st : o.stazioni) {
    nome_piu_lungo = std::max(nome_piu_lungo, larghezza_testo(st.nome + " 00:00", 11));
  }
  Tracce t{};
  t.nomi_y = y0 + 30;
  t.nomi_h = nome_piu_lungo * 0.82 + 24;
  t.ogg_y = t.nomi_y + t.nomi_h;
  t.ogg_h = 58;
  t.vel_y = t.ogg_y + t.ogg_h + 24;
  t.vel_h = 170;
  t.pen_y = t.vel_y + t.vel_h + 24;
  t.pen_h = 130;
  t.mon_y = t.pen_y + t.pen_h + 24;
  t.mon_h = 26;
  t.asse_y = t.mon_y + t.mon_h + 8;
  return t;
}

// The track frames, the shade past the end of the route, and the stations:
// their zones, a line through every track and the name above, slanted.
std::string sfondo_e_stazioni(const Profilo& pr, const Oggetti& o, const Tracce& t) {
  std::string svg;
  const double w = Profilo::larghezza();
  const double xL = pr.x(o.lunghezza);
  if (o.lunghezza < pr.metri()) {
    svg += rettangolo(xL, t.ogg_y, pr.x(pr.metri()) - xL, t.asse_y - t.ogg_y,
                      "fill=\"#eceff1\" stroke=\"none\"");
    svg += testo(xL + 4, t.asse_y - 4, "oltre la fine", "font-size=\"10\" fill=\"#90a4ae\"");
  }
  for (auto [ty, th] :
       {std::pair{t.ogg_y, t.ogg_h}, {t.vel_y, t.vel_h}, {t.pen_y, t.pen_h}, {t.mon_y, t.mon_h}}) {
    svg += rettangolo(kSinistra, ty, w, th, "fill=\"none\" stroke=\"#cfd8dc\" stroke-width=\"1\"");
  }
  for (const Stazione& st : o.stazioni) {
    const double x = pr.x(st.posizione);
    svg += rettangolo(pr.x(st.inizio), t.ogg_y + 1, pr.x(st.fine) - pr.x(st.inizio), t.ogg_h - 2,
                      "fill=\"#c5cae9\" fill-opacity=\"0.7\" stroke=\"none\"");
    svg += linea(x, t.nomi_y + t.nomi_h - 6, x, t.asse_y,
                 std::string("stroke=\"") + kColoreStazione +
                     "\" stroke-width=\"0.8\" stroke-dasharray=\"3 3\" stroke-opacity=\"0.7\"");
    const std::string orario = ora_breve(st.orario);
    svg += "<g transform=\"translate(" + f1(x + 3) + " " + f1(t.nomi_y + t.nomi_h - 8) +
           ") rotate(-55)\">\n" +
           testo(0, 0, orario.empty() ? st.nome : st.nome + " " + orario,
                 std::string("font-size=\"11\" fill=\"") + kColoreStazione +
                     (stazione_con_celle(st.tipo) ? "\" font-weight=\"bold\"" : "\"")) +
           "</g>\n";
  }
  return svg;
}

// Signals, boards and signs, code reductions and slowdowns in their strips.
std::string oggetti_lungo(const Profilo& pr, const Oggetti& o, double y) {
  std::string svg = nome_riga(y + 13, "segnali");
  svg += nome_riga(y + 30, "cartelli");
  svg += nome_riga(y + 48, "rallentam.");
  for (double m : o.segnali) {
    const double x = pr.x(m);
    svg += linea(x, y + 4, x, y + 18,
                 std::string("stroke=\"") + kColoreSegnale + "\" stroke-width=\"1.4\"");
    svg += "<circle cx=\"" + f1(x) + "\" cy=\"" + f1(y + 6) + "\" r=\"2.4\" fill=\"" +
           kColoreSegnale + "\"/>\n";
  }
  for (double m : o.indicatori) svg += rettangolo(pr.x(m) - 2, y + 24, 4, 9, "fill=\"#37474f\"");
  for (double m : o.cartelli) svg += rettangolo(pr.x(m) - 1.5, y + 26, 3, 6, "fill=\"#90a4ae\"");
  for (double m : o.abbattimenti) {
    svg += linea(pr.x(m), y + 38, pr.x(m), y + 56,
                 std::string("stroke=\"") + kColoreAbbattimento + "\" stroke-width=\"1\"");
  }
  for (double m : o.avvisi) {
    const double x = pr.x(m);
    svg += "<path d=\"M" + f1(x) + " " + f1(y + 40) + " L" + f1(x + 5) + " " + f1(y + 50) + " L" +
           f1(x - 5) + " " + f1(y + 50) + " Z\" fill=\"" + kColoreRallentamento + "\"/>\n";
  }
  for (const Rallentamento& r : o.rallentamenti) {
    svg += rettangolo(pr.x(r.da), y + 42, pr.x(r.a) - pr.x(r.da), 10,
                      std::string("fill=\"") + kColoreRallentamento + "\"");
  }
  return svg;
}

// The speed limit, with the slowdowns at their own speed, in the track at
// `vel_y` of height `vel_h`.
std::string velocita_lungo(const Profilo& pr, const ScenarioLetto& s, const Oggetti& o,
                           double vel_y, double vel_h) {
  const double w = Profilo::larghezza();
  const std::vector<Sequenza> vel = sequenze(s.tratti, &tratto::velocita);
  const auto kmh = [](uint8_t v) { return static_cast<double>(kmh_da_velocita(v)); };
  double vmax = 40;
  for (const Sequenza& q : vel) vmax = std::max(vmax, kmh(q.valore));
  for (const Rallentamento& r : o.rallentamenti) vmax = std::max(vmax, double(r.velocita));
  const double passo_v = passo_tondo(vmax / 6);
  vmax = std::ceil(vmax / passo_v) * passo_v;
  const auto yv = [&](double v) { return vel_y + vel_h - v / vmax * (vel_h - 8); };
  std::string svg = titolo_traccia(vel_y, "Velocit\xE0 massima e rallentamenti (km/h)");
  for (double v = 0; v <= vmax; v += passo_v) {
    svg += linea(kSinistra, yv(v), kSinistra + w, yv(v), "stroke=\"#eceff1\" stroke-width=\"1\"");
    svg += testo(kSinistra - 6, yv(v) + 4, decimali(v, 0),
                 "font-size=\"10\" text-anchor=\"end\" fill=\"#78909c\"");
  }
  svg += gradini(
      pr, vel, [&](uint8_t v) { return yv(kmh(v)); }, yv(0), kColoreVelocita, "#bbdefb");
  for (const Rallentamento& r : o.rallentamenti) {
    const double x0 = pr.x(r.da), x1 = std::max(pr.x(r.a), x0 + 2), y = yv(r.velocita);
    svg += rettangolo(x0, y, x1 - x0, yv(0) - y,
                      std::string("fill=\"") + kColoreRallentamento + "\" fill-opacity=\"0.25\"");
    svg += linea(x0, y, x1, y,
                 std::string("stroke=\"") + kColoreRallentamento + "\" stroke-width=\"3\"");
    svg +=
        testo((x0 + x1) / 2, y - 5, std::to_string(r.velocita),
              std::string("font-size=\"11\" text-anchor=\"middle\" font-weight=\"bold\" fill=\"") +
                  kColoreRallentamento + "\"");
  }
  // Label each speed step once, where there is room.
  for (const Sequenza& q : vel) {
    const double x0 = pr.x(static_cast<double>(q.da) * kMetriCella);
    const double x1 = pr.x(static_cast<double>(q.a + 1) * kMetriCella);
    if (x1 - x0 >= 26 && q.valore != 0) {
      svg += testo(
          (x0 + x1) / 2, yv(kmh(q.valore)) - 4, std::to_string(kmh_da_velocita(q.valore)),
          std::string("font-size=\"10\" text-anchor=\"middle\" fill=\"") + kColoreVelocita + "\"");
    }
  }
  return svg;
}

// The gradient as bars above (rising) or below (falling) the level line.
std::string pendenza_lungo(const Profilo& pr, const ScenarioLetto& s, double pen_y, double pen_h) {
  const double w = Profilo::larghezza();
  struct Tratto {
    double x0, x1, g;
  };
  std::vector<Tratto> pen;
  double gmax = 5;
  for (const Sequenza& q : sequenze(s.tratti, &tratto::pendenza)) {
    // The drawing shows the gradients the records gave: byte 0, which the
    // simulator reads as -100 per mille, is mostly the run-out that no
    // gradient reached, and would only flatten the scale.
    if (q.valore == 0) continue;
    const int32_t g = per_mille_da_pendenza(q.valore);
    pen.push_back({pr.x(static_cast<double>(q.da) * kMetriCella),
                   pr.x(static_cast<double>(q.a + 1) * kMetriCella), static_cast<double>(g)});
    gmax = std::max(gmax, std::abs(pen.back().g));
  }
  const double passo_g = passo_tondo(gmax / 2);
  gmax = std::ceil(gmax / passo_g) * passo_g;
  const double zero_g = pen_y + pen_h / 2;
  const auto yg = [&](double g) { return zero_g - g / gmax * (pen_h / 2 - 6); };
  std::string svg = titolo_traccia(pen_y, "Pendenza");
  for (double g = -gmax; g <= gmax; g += passo_g) {
    svg += linea(
        kSinistra, yg(g), kSinistra + w, yg(g),
        g == 0 ? "stroke=\"#90a4ae\" stroke-width=\"1\"" : "stroke=\"#eceff1\" stroke-width=\"1\"");
    svg += testo(kSinistra - 6, yg(g) + 4, con_segno(g),
                 "font-size=\"10\" text-anchor=\"end\" fill=\"#78909c\"");
  }
  for (const Tratto& t : pen) {
    svg += rettangolo(t.x0, zero_g, t.x1 - t.x0, yg(t.g) - zero_g,
                      std::string("fill=\"") + (t.g >= 0 ? kColoreSalita : kColoreDiscesa) +
                          "\" fill-opacity=\"0.75\"");
    if (t.x1 - t.x0 >= 22 && t.g != 0) {
      svg += testo((t.x0 + t.x1) / 2, t.g > 0 ? yg(t.g) - 3 : yg(t.g) + 11, con_segno(t.g),
                   "font-size=\"10\" text-anchor=\"middle\" fill=\"#37474f\"");
    }
  }
  return svg;
}

// Mountain stretches by class, and their markers.
std::string montagne_lungo(const Profilo& pr, const ScenarioLetto& s, double mon_y, double mon_h) {
  std::string svg = titolo_traccia(mon_y, "Tratti di montagna (classe)");
  for (const Sequenza& q : sequenze(s.tratti, &tratto::montagna)) {
    if (q.valore == 0) continue;
    const double x0 = pr.x(static_cast<double>(q.da) * kMetriCella);
    const double x1 = pr.x(static_cast<double>(q.a + 1) * kMetriCella);
    const char* colore = kColoriMontagna[std::min<size_t>(q.valore, 4) - 1];
    svg += rettangolo(x0, mon_y + 2, x1 - x0, mon_h - 4, std::string("fill=\"") + colore + "\"");
    if (x1 - x0 >= 14) {
      svg += testo((x0 + x1) / 2, mon_y + 17, std::to_string(q.valore),
                   "font-size=\"10\" text-anchor=\"middle\" fill=\"#ffffff\"");
    }
  }
  for (size_t c = 0; c < s.tratti.size(); ++c) {
    if (s.tratti[c].tipo != kSegnoMontagna) continue;
    const double x = pr.x(static_cast<double>(c) * kMetriCella + kMetriCella / 2.0);
    svg += linea(x, mon_y, x, mon_y + 3, "stroke=\"#3e2723\" stroke-width=\"1\"");
  }
  return svg;
}

// The end of the route and the kilometre axis.
std::string asse_lungo(const Profilo& pr, const Oggetti& o, const Tracce& t) {
  const double w = Profilo::larghezza();
  std::string svg;
  if (o.lunghezza < pr.metri()) {
    const double xL = pr.x(o.lunghezza);
    svg += linea(xL, t.ogg_y, xL, t.asse_y, "stroke=\"#263238\" stroke-width=\"1.2\"");
  }
  svg +=
      linea(kSinistra, t.asse_y, kSinistra + w, t.asse_y, "stroke=\"#263238\" stroke-width=\"1\"");
  const double km_totali = pr.metri() / 1000;
  const double passo_etichetta = passo_tondo(km_totali * 55 / w);
  const double passo_tacca = passo_tondo(km_totali * 6 / w);
  for (double k = 0; k <= km_totali + 1e-9; k += passo_tacca) {
    const double x = pr.x(k * 1000);
    const bool grande = std::fmod(k + 1e-9, passo_etichetta) < 1e-6;
    svg +=
        linea(x, t.asse_y, x, t.asse_y + (grande ? 7 : 3), "stroke=\"#263238\" stroke-width=\"1\"");
    if (grande) {
      svg += testo(x, t.asse_y + 19, decimali(k, passo_etichetta < 1 ? 1 : 0),
                   "font-size=\"11\" text-anchor=\"middle\" fill=\"#263238\"");
    }
  }
  svg += testo(kSinistra + w / 2, t.asse_y + 36, "chilometri dall'inizio del percorso",
               "font-size=\"12\" text-anchor=\"middle\" fill=\"#263238\"");
  return svg;
}

}  // namespace

std::string disegna_profilo(const ScenarioLetto& s, const Oggetti& o, double y0, double* altezza) {
  const Profilo pr(o.fine_celle);
  const Tracce t = tracce(o, y0);
  *altezza = t.asse_y + 70 - y0;
  std::string svg = "<g id=\"profilo\">\n";
  svg += testo(kSinistra, y0 + 16, "Profilo lungo il percorso (per cella da 50 m)",
               "font-size=\"16\" font-weight=\"bold\" fill=\"#263238\"");
  svg += sfondo_e_stazioni(pr, o, t);
  svg += oggetti_lungo(pr, o, t.ogg_y);
  svg += velocita_lungo(pr, s, o, t.vel_y, t.vel_h);
  svg += pendenza_lungo(pr, s, t.pen_y, t.pen_h);
  svg += montagne_lungo(pr, s, t.mon_y, t.mon_h);
  svg += asse_lungo(pr, o, t);
  return svg + "</g>\n";
}

}  // namespace calvetra::scenario::disegno
