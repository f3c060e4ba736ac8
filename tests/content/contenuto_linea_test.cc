#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "content/testi.h"
#include "content/testo_scritto.h"

namespace calvetra {
namespace {

using test::scrivi_e_leggi;

const std::vector<std::string>& linea() {
  static const std::vector<std::string> righe = scrivi_e_leggi(dati_linea);
  return righe;
}

// The lines of slots da to a inclusive.
std::vector<std::string> slot(size_t da, size_t a) {
  return {linea().begin() + static_cast<std::ptrdiff_t>(da),
          linea().begin() + static_cast<std::ptrdiff_t>(a) + 1};
}

struct Curva {
  char lato;
  int classe;
  int64_t inizio;
  int64_t lunghezza;
};

struct Pendenza {
  int64_t posizione;
  int64_t valore;
};

struct Montagna {
  int64_t inizio;
  int64_t fine;
  int64_t tipo;
};

struct Cartello {
  int64_t posizione;
  std::vector<std::string> righe;  // the text lines, without parentheses
};

// A whole field as a whole number; nullopt for anything else.
std::optional<int64_t> intero(const std::string& s) {
  const size_t segno = !s.empty() && s[0] == '-' ? 1 : 0;
  if (s.size() == segno || s.size() > 12) return std::nullopt;
  for (size_t i = segno; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return std::nullopt;
  }
  return std::stoll(s);
}

// The fields of a row when it has `n` fields and the numbers at `numeri` are
// whole numbers; empty otherwise.
std::vector<std::string> campi_di(const std::string& riga, size_t n, std::vector<size_t> numeri) {
  std::vector<std::string> c = test::campi(riga);
  if (c.size() != n) return {};
  for (size_t i : numeri) {
    if (!intero(c[i])) return {};
  }
  return c;
}

std::vector<Curva> curve() {
  std::vector<Curva> out;
  for (const std::string& r : slot(10, 159)) {
    const std::vector<std::string> c = campi_di(r, 3, {1, 2});
    const bool forma = !c.empty() && c[0].size() == 7 && c[0].rfind("curva", 0) == 0 &&
                       (c[0][5] == 's' || c[0][5] == 'd') && c[0][6] >= '1' && c[0][6] <= '6' &&
                       r == c[0] + ",  " + c[1] + ",  " + c[2];
    EXPECT_TRUE(forma) << r;
    if (!forma) continue;
    out.push_back({c[0][5], c[0][6] - '0', *intero(c[1]), *intero(c[2])});
  }
  return out;
}

std::vector<Pendenza> pendenze() {
  std::vector<Pendenza> out;
  for (const std::string& r : slot(161, 239)) {
    const std::vector<std::string> c = campi_di(r, 3, {1, 2});
    const bool forma = !c.empty() && r == "pendenza,  " + c[1] + ",   " + c[2];
    EXPECT_TRUE(forma) << r;
    if (!forma) continue;
    out.push_back({*intero(c[1]), *intero(c[2])});
  }
  return out;
}

std::vector<Montagna> montagne() {
  std::vector<Montagna> out;
  for (const std::string& r : slot(241, 281)) {
    const std::vector<std::string> c = campi_di(r, 4, {1, 2, 3});
    const bool forma = !c.empty() && r == "montagna,   " + c[1] + ",  " + c[2] + ",  " + c[3];
    EXPECT_TRUE(forma) << r;
    if (!forma) continue;
    out.push_back({*intero(c[1]), *intero(c[2]), *intero(c[3])});
  }
  return out;
}

// The text lines of a sign text: two or three "(...)" one after the other.
std::optional<std::vector<std::string>> righe_cartello(const std::string& testo) {
  std::vector<std::string> righe;
  size_t i = 0;
  while (i < testo.size()) {
    const size_t chiusa = testo.find(')', i);
    if (testo[i] != '(' || chiusa == std::string::npos) return std::nullopt;
    righe.push_back(testo.substr(i + 1, chiusa - i - 1));
    if (righe.back().find_first_of("(\",") != std::string::npos) return std::nullopt;
    i = chiusa + 1;
  }
  if (righe.size() < 2 || righe.size() > 3) return std::nullopt;
  return righe;
}

std::vector<Cartello> cartelli() {
  std::vector<Cartello> out;
  for (const std::string& r : slot(286, 323)) {
    const std::vector<std::string> c = campi_di(r, 3, {1});
    const auto righe = c.empty() ? std::nullopt : righe_cartello(c[2]);
    const bool forma = righe && r == "cartello_indicatore,  " + c[1] + ",   " + c[2];
    EXPECT_TRUE(forma) << r;
    if (!forma) continue;
    out.push_back({*intero(c[1]), *righe});
  }
  return out;
}

const Montagna* montagna_da(const std::vector<Montagna>& m, int64_t inizio) {
  for (const Montagna& x : m) {
    if (x.inizio == inizio) return &x;
  }
  return nullptr;
}

TEST(ContenutoLinea, SectionsStandInTheirSlots) {
  const std::vector<std::string>& r = linea();
  ASSERT_EQ(r.size(), 325u);
  const std::map<size_t, std::string> intestazioni = {
      {0, "[generale]"},   {9, "[curve]"},         {160, "[pendenze]"}, {240, "[montagne]"},
      {282, "[cartelli]"}, {285, "[indicazioni]"}, {324, "[fine]"}};
  for (const auto& [i, testo] : intestazioni) {
    EXPECT_EQ(r[i], testo) << "slot " << i;
  }
  for (size_t i = 0; i < r.size(); ++i) {
    if (intestazioni.count(i) == 0) {
      EXPECT_NE(r[i].front(), '[') << "slot " << i;
    }
    EXPECT_EQ(r[i].find("riferimento fine del file"), std::string::npos);
  }
}

TEST(ContenutoLinea, GeneralAndBoardRowsAreExact) {
  EXPECT_EQ(slot(1, 8), (std::vector<std::string>{
                            "lunghezza percorso,    115000",
                            "progressiva chilometrica uno,    1550,    -1500,    0",
                            "progressiva chilometrica due,    2050,    53950,    0",
                            "progressiva chilometrica tre,    2550,    105000,    1",
                            "sfondo uno,    100000",
                            "sfondo due,    1",
                            "sfondo tre,    54000",
                            "ripetizione segnali 4 codici,    0    ,0",
                        }));
  EXPECT_EQ(slot(283, 284),
            (std::vector<std::string>{
                "indicatori_vmax,  1950,  110,  130,  160,  0,  110,  130,  160,  0",
                "indicatori_vmax,  26600,  60,  60,  60,  0,  ,  ,  ,  0",
            }));
}

TEST(ContenutoLinea, CurvesKeepTheirCountsOrderAndBounds) {
  const std::vector<Curva> c = curve();
  ASSERT_EQ(c.size(), 150u);

  std::map<std::string, int> per_classe;
  for (const Curva& x : c) {
    std::string classe(1, x.lato);
    classe += std::to_string(x.classe);
    ++per_classe[classe];
  }
  EXPECT_EQ(per_classe, (std::map<std::string, int>{{"s4", 39},
                                                    {"d5", 26},
                                                    {"d4", 24},
                                                    {"s5", 17},
                                                    {"d3", 16},
                                                    {"s3", 13},
                                                    {"d2", 6},
                                                    {"s2", 6},
                                                    {"s6", 2},
                                                    {"d1", 1}}));

  int contigue = 0;
  for (size_t i = 0; i < c.size(); ++i) {
    EXPECT_EQ(c[i].inizio % 50, 0) << c[i].inizio;
    EXPECT_EQ(c[i].lunghezza % 50, 0) << c[i].inizio;
    EXPECT_GE(c[i].inizio, 500);
    EXPECT_LE(c[i].inizio, 112150);
    EXPECT_GE(c[i].lunghezza, 50);
    EXPECT_LE(c[i].lunghezza, 3000);
    if (i == 0) continue;
    const int64_t fine_prima = c[i - 1].inizio + c[i - 1].lunghezza;
    EXPECT_GE(c[i].inizio, fine_prima) << "curve at " << c[i].inizio << " overlaps";
    if (c[i].inizio == fine_prima) ++contigue;
  }
  EXPECT_EQ(contigue, 19);

  // Both ends of the lengths occur: 50 m and 3000 m.
  const auto [corta, lunga] = std::minmax_element(
      c.begin(), c.end(), [](const Curva& a, const Curva& b) { return a.lunghezza < b.lunghezza; });
  EXPECT_EQ(corta->lunghezza, 50);
  EXPECT_EQ(lunga->lunghezza, 3000);

  // The class-1 curve is the only one of 3000 m and the longest.
  for (const Curva& x : c) {
    if (x.classe != 1) {
      EXPECT_LT(x.lunghezza, 3000) << x.inizio;
    }
  }
}

TEST(ContenutoLinea, TellingCurveRows) {
  const std::vector<std::string> r = slot(10, 159);
  EXPECT_EQ(r.front(), "curvas6,  500,  500");
  EXPECT_EQ(r.back(), "curvad4,  112150,  700");
  for (const char* riga : {"curvas6,  16650,  100", "curvad1,  81000,  3000"}) {
    EXPECT_NE(std::find(r.begin(), r.end(), riga), r.end()) << riga;
  }
  const auto a32 = std::find(r.begin(), r.end(), "curvas4,  32000,  300");
  ASSERT_LE(a32 + 4, r.end());
  EXPECT_EQ(std::vector<std::string>(a32, a32 + 4),
            (std::vector<std::string>{"curvas4,  32000,  300", "curvad5,  32500,  200",
                                      "curvad4,  32700,  300", "curvas5,  34000,  400"}));
}

TEST(ContenutoLinea, GradientsKeepTheirFormAndBounds) {
  const std::vector<Pendenza> p = pendenze();
  ASSERT_EQ(p.size(), 79u);
  EXPECT_EQ(p.front().posizione, 1900);
  EXPECT_EQ(p.back().posizione, 110700);
  int zeri = 0;
  bool dodici = false;
  for (size_t i = 0; i < p.size(); ++i) {
    EXPECT_EQ(p[i].posizione % 50, 0) << p[i].posizione;
    if (i > 0) {
      EXPECT_GT(p[i].posizione, p[i - 1].posizione);
    }
    EXPECT_EQ(p[i].valore % 2, 0) << p[i].posizione;
    EXPECT_GE(p[i].valore, -20);
    EXPECT_LE(p[i].valore, 12);
    if (p[i].valore == -20) {
      EXPECT_EQ(p[i].posizione, 12700) << "only one steepest row";
    }
    if (p[i].valore == 0) ++zeri;
    if (p[i].valore == 12) dodici = true;
  }
  EXPECT_EQ(zeri, 25);
  EXPECT_TRUE(dodici);
}

TEST(ContenutoLinea, TellingGradientRows) {
  const std::vector<std::string> r = slot(161, 239);
  EXPECT_EQ(r.front(), "pendenza,  1900,   -10");
  EXPECT_EQ(r[1], "pendenza,  2000,   0");
  EXPECT_EQ(r.back(), "pendenza,  110700,   0");
  const auto rampa = std::find(r.begin(), r.end(), "pendenza,  4500,   2");
  ASSERT_LE(rampa + 4, r.end());
  EXPECT_EQ(std::vector<std::string>(rampa, rampa + 4),
            (std::vector<std::string>{"pendenza,  4500,   2", "pendenza,  4600,   4",
                                      "pendenza,  4700,   6", "pendenza,  4800,   8"}));
  EXPECT_NE(std::find(r.begin(), r.end(), "pendenza,  12700,   -20"), r.end());

  // The long descent: -14 from 79400 to 99400, level only at four 400 m stretches.
  const auto discesa = std::find(r.begin(), r.end(), "pendenza,  79400,   -14");
  ASSERT_LE(discesa + 10, r.end());
  EXPECT_EQ(std::vector<std::string>(discesa, discesa + 10),
            (std::vector<std::string>{"pendenza,  79400,   -14", "pendenza,  84900,   0",
                                      "pendenza,  85300,   -14", "pendenza,  89100,   0",
                                      "pendenza,  89500,   -14", "pendenza,  95000,   0",
                                      "pendenza,  95400,   -14", "pendenza,  97450,   0",
                                      "pendenza,  97850,   -14", "pendenza,  99400,   0"}));
}

TEST(ContenutoLinea, MountainsKeepTheirKindsLengthsAndOrder) {
  const std::vector<Montagna> m = montagne();
  ASSERT_EQ(m.size(), 41u);
  EXPECT_EQ(m.front().inizio, 1950);
  EXPECT_EQ(m.back().fine, 114500);

  std::map<int64_t, int> per_tipo;
  std::vector<int64_t> tipo2;
  int64_t piu_lunga = 0;
  for (size_t i = 0; i < m.size(); ++i) {
    EXPECT_EQ(m[i].inizio % 50, 0);
    EXPECT_EQ(m[i].fine % 50, 0);
    EXPECT_LT(m[i].inizio, m[i].fine);
    if (i > 0) {
      EXPECT_GE(m[i].inizio, m[i - 1].fine) << m[i].inizio << " overlaps";
    }
    ++per_tipo[m[i].tipo];
    const int64_t l = m[i].fine - m[i].inizio;
    if (m[i].tipo == 11) {
      EXPECT_GE(l, 100);
      EXPECT_LE(l, 6250);
      piu_lunga = std::max(piu_lunga, l);
    }
    if (m[i].tipo == 2) {
      EXPECT_EQ(l, 50);
      tipo2.push_back(m[i].inizio);
    }
  }
  EXPECT_EQ(per_tipo, (std::map<int64_t, int>{{11, 35}, {2, 4}, {12, 1}, {1, 1}}));
  EXPECT_EQ(tipo2, (std::vector<int64_t>{1950, 4750, 10900, 78450}));
  EXPECT_EQ(piu_lunga, 6250);

  const std::vector<std::string> r = slot(241, 281);
  for (const char* riga : {"montagna,   1950,  2000,  2", "montagna,   39250,  41250,  11",
                           "montagna,   78550,  84800,  11", "montagna,   26300,  26350,  12",
                           "montagna,   106500,  106700,  1"}) {
    EXPECT_NE(std::find(r.begin(), r.end(), riga), r.end()) << riga;
  }

  // Rows close behind the previous one, which the parser turns into kind 3.
  for (int64_t inizio : {71250, 73850, 78550}) {
    const auto it =
        std::find_if(m.begin(), m.end(), [&](const Montagna& x) { return x.inizio == inizio; });
    ASSERT_NE(it, m.end()) << inizio;
    ASSERT_NE(it, m.begin());
    EXPECT_LE(it->inizio - (it - 1)->fine, 150) << inizio;
  }
}

TEST(ContenutoLinea, SignsHaveTheirLinesAndWidths) {
  const std::vector<Cartello> c = cartelli();
  ASSERT_EQ(c.size(), 38u);

  struct Atteso {
    const char* tipo;               // the kind word of the first line, "" for none
    std::vector<size_t> larghezze;  // width of each text line
  };
  const Atteso pl{"", {6, 6, 6}};
  const std::map<int64_t, Atteso> attesi = {
      {1000, {"INIZIO TRATTO", {14, 14, 14}}},
      {1900, {"SOTTOVIA", {11, 11, 0}}},
      {2200, {"BIVIO", {12, 11, 12}}},
      {2500, pl},
      {3950, {"PONTE", {12, 12, 12}}},
      {4700, {"SOTTOVIA", {15, 15, 0}}},
      {5400, pl},
      {10850, {"SOTTOVIA", {10, 10, 0}}},
      {12600, {"PONTE", {18, 18, 0}}},
      {13600, pl},
      {14650, pl},
      {17700, pl},
      {19900, pl},
      {21150, pl},
      {22700, pl},
      {24650, pl},
      {25700, pl},
      {26000, {"PONTE", {14, 14, 14}}},
      {26250, {"SOTTOVIA", {16, 16, 0}}},
      {30700, {"PONTE", {14, 14, 14}}},
      {39200, {"GALLERIA", {14, 14, 14}}},
      {49800, {"BIVIO", {21, 21}}},
      {50300, {"VIADOTTO", {13, 13, 13}}},
      {51650, pl},
      {52400, pl},
      {53300, {"GALLERIA", {8, 8, 8}}},
      {54950, pl},
      {57000, pl},
      {57500, {"GALLERIA", {9, 9, 9}}},
      {64700, {"BIVIO", {20, 20, 20}}},
      {65150, {"BIVIO", {20, 20, 20}}},
      {78400, {"SOTTOVIA", {8, 8}}},
      {78500, {"GALLERIA", {8, 8, 8}}},
      {94150, {"VIADOTTO", {8, 0, 0}}},
      {101150, {"BIVIO", {19, 19, 19}}},
      {106550, {"", {15, 15}}},
      {107300, {"GALLERIA", {17, 17, 17}}},
      {111250, {"", {10, 10, 10}}},
  };
  std::vector<int64_t> posizioni;
  for (const Cartello& x : c) {
    posizioni.push_back(x.posizione);
    const auto a = attesi.find(x.posizione);
    ASSERT_NE(a, attesi.end()) << x.posizione;
    std::vector<size_t> larghezze;
    for (const std::string& l : x.righe) larghezze.push_back(l.size());
    EXPECT_EQ(larghezze, a->second.larghezze) << x.posizione;
    const std::string tipo = a->second.tipo;
    if (!tipo.empty()) {
      // A kind word stands at the left, padded after.
      const std::string& prima = x.righe[0];
      EXPECT_EQ(prima.substr(0, tipo.size()), tipo) << x.posizione;
      EXPECT_EQ(prima.find_first_not_of(' ', tipo.size()), std::string::npos) << x.posizione;
    }
    for (size_t i = tipo.empty() ? 0 : 1; i < x.righe.size(); ++i) {
      const std::string& l = x.righe[i];
      // A length such as "150 m" stands at the right.
      const size_t da = l.find_first_not_of(' ');
      const size_t a = l.find_last_not_of(' ');
      if (da != std::string::npos && a - da > 2 && l.compare(a - 1, 2, " m") == 0 &&
          intero(l.substr(da, a - 1 - da))) {
        EXPECT_EQ(a, l.size() - 1) << x.posizione << " '" << l << "'";
      }
      // A padded line is centred, the odd blank after it.
      const size_t prima = l.find_first_not_of(' ');
      if (prima == std::string::npos || prima == 0 || l.back() != ' ') continue;
      const size_t dopo = l.size() - 1 - l.find_last_not_of(' ');
      EXPECT_TRUE(dopo == prima || dopo == prima + 1) << x.posizione << " '" << l << "'";
    }
  }
  EXPECT_TRUE(std::is_sorted(posizioni.begin(), posizioni.end()));
  EXPECT_EQ(std::adjacent_find(posizioni.begin(), posizioni.end()), posizioni.end());
}

TEST(ContenutoLinea, SignRowsWithoutProperNamesAreExact) {
  const std::vector<std::string> r = slot(286, 323);
  EXPECT_EQ(r[0], "cartello_indicatore,  1000,   (INIZIO TRATTO )(CORRISPONDENTE)(ALLA REALTA'  )");
  EXPECT_EQ(r[2], "cartello_indicatore,  2200,   (BIVIO       )(scalo merci)(inizio linea)");
  EXPECT_EQ(r[8], "cartello_indicatore,  12600,   (PONTE             )(Strada Provinciale)()");
  EXPECT_EQ(r[18], "cartello_indicatore,  26250,   (SOTTOVIA        )(Circonvallazione)()");
  EXPECT_EQ(r[33], "cartello_indicatore,  94150,   (VIADOTTO)()()");
  EXPECT_EQ(r[37], "cartello_indicatore,  111250,   (          )(FINE LINEA)(          )");
  EXPECT_EQ(r[19].substr(r[19].find("(")), r[17].substr(r[17].find("(")))
      << "the two Trebo bridges carry the same sign";

  std::vector<int64_t> passaggi_a_livello;
  for (const Cartello& x : cartelli()) {
    if (x.righe.size() == 3 && x.righe[1] == " P.L. ") {
      EXPECT_EQ(x.righe[0], "      ");
      EXPECT_EQ(x.righe[2], "      ");
      passaggi_a_livello.push_back(x.posizione);
    }
  }
  EXPECT_EQ(passaggi_a_livello,
            (std::vector<int64_t>{2500, 5400, 13600, 14650, 17700, 19900, 21150, 22700, 24650,
                                  25700, 51650, 52400, 54950, 57000}));
}

TEST(ContenutoLinea, UnderpassAndTunnelSignsStand50MetresBeforeTheirStretch) {
  const std::vector<Montagna> m = montagne();
  std::vector<int64_t> sottovia;
  std::vector<int64_t> gallerie;
  for (const Cartello& x : cartelli()) {
    const std::string& tipo = x.righe[0];
    if (tipo.rfind("SOTTOVIA", 0) == 0) {
      sottovia.push_back(x.posizione);
      const Montagna* s = montagna_da(m, x.posizione + 50);
      ASSERT_NE(s, nullptr) << x.posizione;
      EXPECT_TRUE(s->tipo == 2 || s->tipo == 12) << x.posizione;
      EXPECT_EQ(s->fine - s->inizio, 50) << x.posizione;
    }
    if (tipo.rfind("GALLERIA", 0) == 0) {
      gallerie.push_back(x.posizione);
      const Montagna* g = montagna_da(m, x.posizione + 50);
      ASSERT_NE(g, nullptr) << x.posizione;
      EXPECT_EQ(g->tipo, 11) << x.posizione;
    }
  }
  EXPECT_EQ(sottovia, (std::vector<int64_t>{1900, 4700, 10850, 26250, 78400}));
  EXPECT_EQ(gallerie, (std::vector<int64_t>{39200, 53300, 57500, 78500, 107300}));
}

}  // namespace
}  // namespace calvetra
