// The train source of the pair 2718 - 5340 on the route Calvetra: the first
// train from ROVELLA to CALDERINA, the second on from CALDERINA to MARENZA
// CENTRALE with the same rolling stock.
#include "content/contenuto_treno.h"

#include <string>
#include <vector>

#include "content/righe.h"
#include "content/testi.h"

namespace calvetra {

namespace {

std::string colonna(int32_t v, size_t larghezza) { return a_destra(std::to_string(v), larghezza); }

}  // namespace

std::string riga_stazione(const Stazione& s) {
  std::string r = "stazione,";
  r += colonna(s.posizione, 8) + ",";
  r += colonna(s.tipo, 3) + ",";
  r += colonna(s.lunghezza, 5) + ",";
  r += colonna(s.opz_a, 3) + ",";
  r += colonna(s.opz_e, 2) + ",";
  r += colonna(s.opz_d, 2) + ",";
  r += colonna(s.cod_a, 3) + ",";
  r += std::to_string(s.cod_b) + ",";
  r += std::to_string(s.opz_b) + ",";
  r += colonna(s.cod_c, 3) + ",";
  r += std::to_string(s.cod_d) + ",";
  r += std::to_string(s.cod_e) + ",";
  r += colonna(s.opz_c, 5) + ",";
  r += colonna(s.ore, 4) + ",";
  r += colonna(s.minuti, 2) + ",";
  r += colonna(s.secondi, 2) + ", ";
  r.append(s.nome);
  return r;
}

Righe dati_treno() {
  Righe righe;
  // One literal line of the document per line, as laid out here.
  // clang-format off
  carica_righe(&righe, {
      "[generale]",
      "numero vetture,    3",
      "percentuale massa frenata,    150",
      "sabbia,    300",
      "orologio,    7               53            30 ",
      "[aderenze]",
      "aderenza,   0,    100",
      "[vel_limite]",
      "velocita,       0,    35",
      "velocita,    2400,   110",
      "velocita,    4000,    35",
      "velocita,    4150,   110",
      "velocita,   26350,    30",
      "velocita,   27500,   110",
      "velocita,   39900,    35",
      "velocita,   40400,   110",
      "velocita,   48400,    35",
      "velocita,   50000,   110",
      "velocita,   63400,    35",
      "velocita,   65150,   110",
      "velocita,  103250,    35",
      "velocita,  104600,    60",
      "velocita,  107300,   110",
      "velocita,  109950,    30",
      "[stazioni]",
      riga_stazione({1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, "ROVELLA"}),
      riga_stazione({7350, 28, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Casalino"}),
      riga_stazione({11300, 28, 400, 0, 0, 0, 0, 0, 0, 0, 0, 0, 15, 8, 2, 0, "SAN PROSPERO"}),
      riga_stazione({13100, 28, 400, 0, 0, 0, 0, 0, 0, 0, 0, 0, 15, 8, 5, 0, "CASE NUOVE"}),
      riga_stazione({15000, 12, 400, 0, 0, 0, 1, 1, 0, 4, 1, 1, 15, 8, 8, 0, "BORGO LIVERA"}),
      riga_stazione({19000, 28, 400, 0, 0, 0, 0, 0, 0, 0, 0, 0, 15, 8, 13, 0, "TORRICELLA"}),
      riga_stazione({22850, 28, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Fornaci"}),
      riga_stazione({27250, 4, 500, 1, 0, 0, 4, 1, 0, 2, 1, 1, 30, 8, 22, 0, "SAN LORENZO"}),
      riga_stazione({32500, 28, 400, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Molino Trebo"}),
      riga_stazione({36300, 12, 400, 0, 0, 0, 1, 1, 0, 4, 1, 1, 15, 8, 30, 0, "MONTECALVO"}),
      riga_stazione({42000, 28, 400, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Poggio Ventoso"}),
      riga_stazione({49500, 2, 500, 1, 0, 0, 4, 1, 0, 2, 1, 1, 60, 9, 0, 0, "CALDERINA"}),
      riga_stazione({52150, 28, 400, 0, 0, 0, 0, 0, 0, 0, 0, 0, 15, 9, 4, 0, "PONTE LISORIO"}),
      riga_stazione({56850, 28, 400, 0, 0, 0, 0, 0, 0, 0, 0, 0, 15, 9, 9, 0, "SAN ROCCO"}),
      riga_stazione({62350, 12, 400, 0, 0, 0, 1, 1, 0, 3, 4, 1, 15, 9, 15, 0, "CERRETO"}),
      riga_stazione({64500, 2, 500, 1, 0, 0, 4, 1, 0, 2, 1, 1, 30, 9, 19, 0, "VELSANO"}),
      riga_stazione({72800, 12, 400, 0, 0, 0, 1, 1, 0, 4, 1, 1, 15, 9, 29, 0, "SALICETO"}),
      riga_stazione({78250, 12, 400, 0, 0, 0, 1, 1, 0, 4, 1, 1, 15, 9, 35, 0, "CERASOLA"}),
      riga_stazione({85100, 12, 400, 0, 0, 0, 1, 1, 0, 4, 1, 1, 15, 9, 43, 0, "CASTELNUOVO"}),
      riga_stazione({89300, 28, 400, 0, 0, 0, 0, 0, 0, 0, 0, 0, 15, 9, 50, 0, "MARENZA SAN FELICE"}),
      riga_stazione({95200, 28, 400, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Marenza Smistamento"}),
      riga_stazione({97650, 28, 400, 0, 0, 0, 0, 0, 0, 0, 0, 0, 15, 9, 59, 0, "MARENZA SANTA RITA"}),
      riga_stazione({99600, 28, 400, 0, 0, 0, 0, 0, 0, 0, 0, 0, 15, 10, 2, 0, "MARENZA PORTA NORD"}),
      riga_stazione({104300, 12, 600, 0, 1, 0, 1, 1, 0, 5, 6, 1, 30, 10, 9, 0, "MARENZA SAN PAOLO"}),
      riga_stazione({107000, 2, 600, 1, 1, 0, 4, 1, 0, 2, 1, 1, 30, 10, 16, 0,
                     "MARENZA PORTA GARIBALDI"}),
      riga_stazione({111000, 2, 600, 1, 1, 0, 1, 1, 0, 2, 1, 1, 0, 10, 22, 0, "MARENZA CENTRALE"}),
      "[rallentamenti]",
      "rallentamento,    4000,    30,  150, 1,  1,  0",
      "rallentamento,   39900,    60,  500, 1,  1,  0",
      "[segnali]",
      "segnale,   13250,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   14600,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   23650,   2, 4, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   25000,   1, 3, 4,  0, 0,    0,  0,0,0, 0",
      "segnale,   26350,   2, 2, 3,  1, 0,    0,  0,0,0, 0",
      "segnale,   34550,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   35900,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   47050,   1, 3, 4,  0, 0,    0,  0,0,0, 0",
      "segnale,   48400,   2, 2, 3,  0, 0,    0,  0,0,0, 0",
      "segnale,   60600,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   61950,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   63400,   2, 2, 3,  0, 0,    0,  0,0,0, 0",
      "segnale,   71050,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   72400,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   76500,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   77850,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   83350,   1, 5, 1,  0, 0,    1,  3,1,0, 0",
      "segnale,   84700,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
      "segnale,   99200,   1, 4, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,  100550,   2, 4, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,  101900,   1, 3, 1,  0, 0,    1,  3,1,0, 0",
      "segnale,  103250,   2, 2, 3,  1, 0,    2,  3,1,1, 220",
      "segnale,  105950,   2, 2, 3,  1, 0,    2,  2,1,1, 0",
      "segnale,  108600,   1, 3, 4,  1, 0,    1,  3,1,1, 0",
      "segnale,  109950,   2, 2, 3,  1, 0,    2,  2,1,1, 0",
      "[codici]",
      "[fine]",
  });
  // clang-format on
  return righe;
}

}  // namespace calvetra
