#include "profilo.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "model/costanti.h"
#include "testo.h"
#include "vista.h"

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
  Profilo(double metri) : metri_(std::max(metri, double{kMetriCella})) {}
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

}  // namespace

std::string disegna_profilo(const ScenarioLetto& s, const Oggetti& o, double y0, double* altezza) {
  const Profilo pr(o.fine_celle);
  const double w = Profilo::larghezza();
  std::string svg = "<g id=\"profilo\">\n";
  svg += testo(kSinistra, y0 + 16, "Profilo lungo il percorso (per cella da 50 m)",
               "font-size=\"16\" font-weight=\"bold\" fill=\"#263238\"");

  // Vertical layout of the tracks.
  // The slanted station names need as much height as the longest one.
  double nome_piu_lungo = 40;
  for (const Stazione& st : o.stazioni) {
    nome_piu_lungo = std::max(nome_piu_lungo, larghezza_testo(st.nome + " 00:00", 11));
  }
  const double nomi_y = y0 + 30, nomi_h = nome_piu_lungo * 0.82 + 24;
  const double ogg_y = nomi_y + nomi_h, ogg_h = 58;
  const double vel_y = ogg_y + ogg_h + 24, vel_h = 170;
  const double pen_y = vel_y + vel_h + 24, pen_h = 130;
  const double mon_y = pen_y + pen_h + 24, mon_h = 26;
  const double asse_y = mon_y + mon_h + 8;
  *altezza = asse_y + 70 - y0;

  // Past the end of the route: shaded across every track.
  const double xL = pr.x(o.lunghezza);
  if (o.lunghezza < pr.metri()) {
    svg += rettangolo(xL, ogg_y, pr.x(pr.metri()) - xL, asse_y - ogg_y,
                      "fill=\"#eceff1\" stroke=\"none\"");
    svg += testo(xL + 4, asse_y - 4, "oltre la fine", "font-size=\"10\" fill=\"#90a4ae\"");
  }
  // Track frames.
  for (auto [ty, th] : {std::pair{ogg_y, ogg_h}, {vel_y, vel_h}, {pen_y, pen_h}, {mon_y, mon_h}}) {
    svg += rettangolo(kSinistra, ty, w, th, "fill=\"none\" stroke=\"#cfd8dc\" stroke-width=\"1\"");
  }

  // Stations: a line through every track and the name above, slanted.
  for (const Stazione& st : o.stazioni) {
    const double x = pr.x(st.posizione);
    svg += rettangolo(pr.x(st.inizio), ogg_y + 1, pr.x(st.fine) - pr.x(st.inizio), ogg_h - 2,
                      "fill=\"#c5cae9\" fill-opacity=\"0.7\" stroke=\"none\"");
    svg += linea(x, nomi_y + nomi_h - 6, x, asse_y,
                 std::string("stroke=\"") + kColoreStazione +
                     "\" stroke-width=\"0.8\" stroke-dasharray=\"3 3\" stroke-opacity=\"0.7\"");
    const std::string orario = ora_breve(st.orario);
    svg += "<g transform=\"translate(" + f1(x + 3) + " " + f1(nomi_y + nomi_h - 8) +
           ") rotate(-55)\">\n" +
           testo(0, 0, orario.empty() ? st.nome : st.nome + " " + orario,
                 std::string("font-size=\"11\" fill=\"") + kColoreStazione +
                     (st.tipo < 25 ? "\" font-weight=\"bold\"" : "\"")) +
           "</g>\n";
  }

  // Objects: signals, boards and signs, code reductions, slowdowns.
  svg += nome_riga(ogg_y + 13, "segnali");
  svg += nome_riga(ogg_y + 30, "cartelli");
  svg += nome_riga(ogg_y + 48, "rallentam.");
  for (double m : o.segnali) {
    const double x = pr.x(m);
    svg += linea(x, ogg_y + 4, x, ogg_y + 18,
                 std::string("stroke=\"") + kColoreSegnale + "\" stroke-width=\"1.4\"");
    svg += "<circle cx=\"" + f1(x) + "\" cy=\"" + f1(ogg_y + 6) + "\" r=\"2.4\" fill=\"" +
           kColoreSegnale + "\"/>\n";
  }
  for (double m : o.indicatori) {
    svg += rettangolo(pr.x(m) - 2, ogg_y + 24, 4, 9, "fill=\"#37474f\"");
  }
  for (double m : o.cartelli) {
    svg += rettangolo(pr.x(m) - 1.5, ogg_y + 26, 3, 6, "fill=\"#90a4ae\"");
  }
  for (double m : o.abbattimenti) {
    svg += linea(pr.x(m), ogg_y + 38, pr.x(m), ogg_y + 56,
                 std::string("stroke=\"") + kColoreAbbattimento + "\" stroke-width=\"1\"");
  }
  for (double m : o.avvisi) {
    const double x = pr.x(m);
    svg += "<path d=\"M" + f1(x) + " " + f1(ogg_y + 40) + " L" + f1(x + 5) + " " + f1(ogg_y + 50) +
           " L" + f1(x - 5) + " " + f1(ogg_y + 50) + " Z\" fill=\"" + kColoreRallentamento +
           "\"/>\n";
  }
  for (const Rallentamento& r : o.rallentamenti) {
    svg += rettangolo(pr.x(r.da), ogg_y + 42, pr.x(r.a) - pr.x(r.da), 10,
                      std::string("fill=\"") + kColoreRallentamento + "\"");
  }

  // Speed limit, with the slowdowns at their own speed.
  const std::vector<Sequenza> vel = sequenze(s.tratti, &tratto::velocita);
  double vmax = 40;
  for (const Sequenza& q : vel) vmax = std::max(vmax, q.valore * 5.0);
  for (const Rallentamento& r : o.rallentamenti) vmax = std::max(vmax, double(r.velocita));
  const double passo_v = passo_tondo(vmax / 6);
  vmax = std::ceil(vmax / passo_v) * passo_v;
  const auto yv = [&](double v) { return vel_y + vel_h - v / vmax * (vel_h - 8); };
  svg += titolo_traccia(vel_y, "Velocit\xE0 massima e rallentamenti (km/h)");
  for (double v = 0; v <= vmax; v += passo_v) {
    svg += linea(kSinistra, yv(v), kSinistra + w, yv(v), "stroke=\"#eceff1\" stroke-width=\"1\"");
    svg += testo(kSinistra - 6, yv(v) + 4, decimali(v, 0),
                 "font-size=\"10\" text-anchor=\"end\" fill=\"#78909c\"");
  }
  svg += gradini(
      pr, vel, [&](uint8_t v) { return yv(v * 5.0); }, yv(0), kColoreVelocita, "#bbdefb");
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
          (x0 + x1) / 2, yv(q.valore * 5.0) - 4, std::to_string(q.valore * 5),
          std::string("font-size=\"10\" text-anchor=\"middle\" fill=\"") + kColoreVelocita + "\"");
    }
  }

  // Gradient: bars above (rising) or below (falling) the level line.
  std::vector<Sequenza> pen;
  for (const Sequenza& q : sequenze(s.tratti, &tratto::pendenza)) {
    if (q.valore != 0) pen.push_back(q);  // 0: a cell the gradient never reached
  }
  double gmax = 5;
  for (const Sequenza& q : pen) gmax = std::max(gmax, std::abs(q.valore - 100.0));
  const double passo_g = passo_tondo(gmax / 2);
  gmax = std::ceil(gmax / passo_g) * passo_g;
  const double zero_g = pen_y + pen_h / 2;
  const auto yg = [&](double g) { return zero_g - g / gmax * (pen_h / 2 - 6); };
  svg += titolo_traccia(pen_y, "Pendenza");
  for (double g = -gmax; g <= gmax; g += passo_g) {
    svg += linea(
        kSinistra, yg(g), kSinistra + w, yg(g),
        g == 0 ? "stroke=\"#90a4ae\" stroke-width=\"1\"" : "stroke=\"#eceff1\" stroke-width=\"1\"");
    svg += testo(kSinistra - 6, yg(g) + 4, con_segno(g),
                 "font-size=\"10\" text-anchor=\"end\" fill=\"#78909c\"");
  }
  for (const Sequenza& q : pen) {
    const double g = q.valore - 100.0;
    const double x0 = pr.x(static_cast<double>(q.da) * kMetriCella);
    const double x1 = pr.x(static_cast<double>(q.a + 1) * kMetriCella);
    svg += rettangolo(x0, zero_g, x1 - x0, yg(g) - zero_g,
                      std::string("fill=\"") + (g >= 0 ? kColoreSalita : kColoreDiscesa) +
                          "\" fill-opacity=\"0.75\"");
    if (x1 - x0 >= 22 && g != 0) {
      svg += testo((x0 + x1) / 2, g > 0 ? yg(g) - 3 : yg(g) + 11, con_segno(g),
                   "font-size=\"10\" text-anchor=\"middle\" fill=\"#37474f\"");
    }
  }

  // Mountain stretches by class, and their markers.
  svg += titolo_traccia(mon_y, "Tratti di montagna (classe)");
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

  // The end of the route and the kilometre axis.
  if (o.lunghezza < pr.metri()) {
    svg += linea(xL, ogg_y, xL, asse_y, "stroke=\"#263238\" stroke-width=\"1.2\"");
  }
  svg += linea(kSinistra, asse_y, kSinistra + w, asse_y, "stroke=\"#263238\" stroke-width=\"1\"");
  const double km_totali = pr.metri() / 1000;
  const double passo_etichetta = passo_tondo(km_totali * 55 / w);
  const double passo_tacca = passo_tondo(km_totali * 6 / w);
  for (double k = 0; k <= km_totali + 1e-9; k += passo_tacca) {
    const double x = pr.x(k * 1000);
    const bool grande = std::fmod(k + 1e-9, passo_etichetta) < 1e-6;
    svg += linea(x, asse_y, x, asse_y + (grande ? 7 : 3), "stroke=\"#263238\" stroke-width=\"1\"");
    if (grande) {
      svg += testo(x, asse_y + 19, decimali(k, passo_etichetta < 1 ? 1 : 0),
                   "font-size=\"11\" text-anchor=\"middle\" fill=\"#263238\"");
    }
  }
  svg += testo(kSinistra + w / 2, asse_y + 36, "chilometri dall'inizio del percorso",
               "font-size=\"12\" text-anchor=\"middle\" fill=\"#263238\"");
  return svg + "</g>\n";
}

}  // namespace calvetra::scenario::disegno
