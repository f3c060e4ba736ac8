// The synthetic longest route of the benchmarks and the tests: 1000000 m with 2000 curves
// of every class and side, 2000 gradients and 80 mountains; a train source
// of 330 speed points, 330 signals, 60 slowdowns and 70 stations.
#ifndef CALVETRA_TESTS_SUPPORT_PERCORSO_SINTETICO_H_
#define CALVETRA_TESTS_SUPPORT_PERCORSO_SINTETICO_H_

#include <string>

namespace calvetra {

inline std::string linea_sintetica() {
  std::string s = "[generale]\r\nlunghezza percorso,  1000000\r\n[curve]\r\n";
  for (int i = 0; i < 2000; ++i) {
    s += std::string("curva") + (i % 3 == 0 ? "s" : "d") + std::to_string(1 + i % 6) + ",  " +
         std::to_string(500 * i + 100) + ",  300\r\n";
  }
  for (int i = 0; i < 2000; ++i) {
    s += "pendenza,  " + std::to_string(1900 + 450 * i) + ",   " + std::to_string(i % 13 - 6) +
         "\r\n";
  }
  for (int i = 0; i < 80; ++i) {
    s += "montagna,   " + std::to_string(5000 + 12000 * i) + ",  " +
         std::to_string(9000 + 12000 * i) + ",  11\r\n";
  }
  return s + "[fine]\r\n";
}

// Signals every 3000 m, slowdowns every 15000 m and stations every 12000 m,
// placed so that no two objects share a cell.
inline std::string treno_sintetico() {
  std::string s = "[generale]\r\nnumero vetture, 3\r\naderenza, 0, 100\r\n";
  for (int i = 0; i < 330; ++i) {
    s += "velocita, " + std::to_string(500 + 3000 * i) + ", " + std::to_string(60 + 5 * (i % 11)) +
         "\r\n";
  }
  for (int i = 0; i < 330; ++i) {
    s += "segnale, " + std::to_string(1000 + 3000 * i) + ", 2, 2, 3, 1, 0, 2, 3, 1, 1, 50\r\n";
  }
  for (int j = 0; j < 60; ++j) {
    s += "rallentamento, " + std::to_string(20000 + 15000 * j) + ", 60, 100, 1, 1, 0\r\n";
  }
  for (int k = 0; k < 70; ++k) {
    s += "stazione, " + std::to_string(10000 + 12000 * k) +
         ", 28, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0, LUOGO\r\n";
  }
  return s + "[fine]\r\n";
}

}  // namespace calvetra

#endif  // CALVETRA_TESTS_SUPPORT_PERCORSO_SINTETICO_H_
