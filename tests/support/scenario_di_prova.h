// Test support: a small but complete scenario (curves, gradients, mountains,
// a board, a sign, stations, signals, a slowdown) that compiles cleanly.
#ifndef CALVETRA_TESTS_SUPPORT_SCENARIO_DI_PROVA_H_
#define CALVETRA_TESTS_SUPPORT_SCENARIO_DI_PROVA_H_

#include <string>
#include <string_view>

namespace calvetra::test {

// Text with LF line ends turned into the CR LF of the sources.
inline std::string crlf(std::string_view testo) {
  std::string s;
  for (char c : testo) {
    if (c == '\n') s += '\r';
    s += c;
  }
  return s;
}

inline const std::string kLineaProva = crlf(
    "Linea di prova per gli strumenti degli autori\n"
    "[generale]\n"
    "lunghezza percorso,    20000\n"
    "progressiva chilometrica uno,    1550,  -1500,  0\n"
    "progressiva chilometrica due,    2050,   3950,  0\n"
    "progressiva chilometrica tre,    2550,   5000,  1\n"
    "sfondo uno,    1\n"
    "sfondo due,    2\n"
    "sfondo tre,    3\n"
    "ripetizione segnali 4 codici,    100,    50\n"
    "[curve]\n"
    "curvad4,   2000,   800\n"
    "curvas3,   5000,  1500\n"
    "curvad6,   9000,   600\n"
    "curvas5,  13000,  1000\n"
    "[pendenze]\n"
    "pendenza,     0,     0\n"
    "pendenza,  1900,   -10\n"
    "pendenza,  4000,    12\n"
    "pendenza,  8000,    18\n"
    "pendenza, 11000,    -6\n"
    "pendenza, 15000,     0\n"
    "[montagne]\n"
    "montagna,   6000,   7500,  11\n"
    "montagna,   7600,   8400,   2\n"
    "montagna,  16000,  17000,   1\n"
    "[cartelli]\n"
    "indicatori_vmax,  1950,  110,  130,  160,  0,  110,  130,  160,  0\n"
    "cartello_indicatore,  8600,   (      )( P.L. )(      )\n"
    "[fine]\n");

inline const std::string kTrenoProva = crlf(
    "[generale]\n"
    "numero vetture,    3\n"
    "percentuale massa frenata,    150\n"
    "sabbia,    300\n"
    "orologio,    7               53            30 \n"
    "[aderenze]\n"
    "aderenza,   0,    100\n"
    "[vel_limite]\n"
    "velocita,       0,    35\n"
    "velocita,    1000,   110\n"
    "velocita,    9500,    80\n"
    "velocita,   10500,   110\n"
    "velocita,   18000,    60\n"
    "[stazioni]\n"
    "stazione,    1500,  2,  800,  1, 1, 0,  4,1,0,  2,1,1,    1,   7,54, 0, Porto Alto\n"
    "stazione,    7350, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, Bivio Nord\n"
    "stazione,   11300, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,   15,   8, 2, 0, Citt\xE0 Vecchia\n"
    "stazione,   18000,  2,  600,  0, 0, 0,  1,1,0,  4,1,1,   30,   8,10, 0, Capolinea\n"
    "[rallentamenti]\n"
    "rallentamento,    4000,    30,  150, 1,  1,  0\n"
    "[segnali]\n"
    "segnale,    2500,   1, 5, 1,  0, 0,    0,  0,0,0, 0\n"
    "segnale,    6000,   1, 4, 3,  0, 1,    1,  1,0,0, 0\n"
    "segnale,    9000,   2, 2, 3,  1, 0,    2,  3,1,1, 220\n"
    "segnale,   12500,   1, 5, 1,  0, 0,    0,  0,0,0, 0\n"
    "segnale,   16000,   1, 3, 1,  0, 2,    0,  0,0,0, 0\n"
    "segnale,   17500,   2, 5, 1,  0, 0,    0,  0,0,0, 101\n"
    "[codici]\n"
    "[fine]\n");

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_SUPPORT_SCENARIO_DI_PROVA_H_
