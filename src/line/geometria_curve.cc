// Curve records: the plan of the route is integrated metre by metre in one
// forward pass. Each metre repeats the previous one-metre step, turned by the
// curvature k of the record (or not turned on the straight run-in before it).
//
// The operations and their order are fixed so that the geometry file comes out
// bit for bit the same on every build (the build forbids fused multiply-add).
#include <algorithm>

#include "line/avvisi_linea.h"
#include "line/corpo_linea.h"

namespace calvetra {

namespace {

// Curvature per metre of the classes "1" to "6".
constexpr double kCurvatura[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

// The class named by the first of the digits "1" to "6" in the keyword field;
// false when there is none.
bool classe_curva(const std::string& campo, double* k) {
  static constexpr const char* kCifre[] = {"1", "2", "3", "4", "5", "6"};
  for (size_t i = 0; i < 6; ++i) {
    if (contiene_esatto(campo, kCifre[i])) {
      *k = kCurvatura[i];
      return true;
    }
  }
  return false;
}

}  // namespace

bool avanza_piano(Geometria& g, int64_t fino, Andamento andamento, double k, bool con_limite) {
  if (g.prossimo() < 2) throw GuastoInatteso("la geometria del percorso non e' seminata");
  // Metres T - 1 and T always stay empty, whatever the record asks for.
  const int64_t tetto = std::min(fino, int64_t{g.ultimo_metro()} - 2);
  if (g.prossimo() > tetto) return true;
  // The two metres before the next one ride along in registers: reading them
  // back from the table would put a store and a load into every step of a
  // chain where each metre waits for the one before it.
  double x2 = g.x(g.prossimo() - 2);
  double y2 = g.y(g.prossimo() - 2);
  double x1 = g.x(g.prossimo() - 1);
  double y1 = g.y(g.prossimo() - 1);
  while (g.prossimo() <= tetto) {
    const double dx = x1 - x2;
    const double dy = y1 - y2;
    double x = 0.0;
    double y = 0.0;
    if (andamento == Andamento::curva) {
      x = x1 + (dx + k * dy);
      y = y1 + (dy - k * dx);
    } else {
      x = x1 + dx;
      y = y1 + dy;
    }
    g.aggiungi(x, y);
    x2 = x1;
    y2 = y1;
    x1 = x;
    y1 = y;
    if (con_limite && g.prossimo() > kMetroMassimo) return false;
  }
  return true;
}

Seguito corpo_curva(CorpoLinea& c) {
  LettoreCampi& file1 = c.l.file1;
  Diagnostica& d = c.l.diagnostica;
  const size_t campo_chiave = file1.inizio_campo();
  const int32_t S = file1.leggi_32();
  const size_t campo_S = file1.inizio_campo();
  const int32_t l = file1.leggi_32();
  const size_t campo_l = file1.inizio_campo();
  if (c.l.oltre_il_percorso(c.m, S, 100, campo_S)) return Seguito::fine_corpo;
  avvisa_curva(c, S, l);
  double k = 0.0;
  if (!classe_curva(c.l.campo, &k)) {
    d.errore(CodiceErrore::curva_senza_classe, c.l.a(campo_chiave));
    return Seguito::esci;
  }
  if (contiene(c.l.campo, "s")) k = k * -1.0;  // a left-hand curve

  // A record that begins before the metre reached bends only what is left of
  // it; one that ends before it changes nothing.
  size_t campo_oltre = campo_S;
  Geometria& g = c.m.geometria;
  bool entro = avanza_piano(g, S, Andamento::rettilineo, 0.0, true);
  if (entro) {
    campo_oltre = campo_l;
    entro = avanza_piano(g, int64_t{S} + l, Andamento::curva, k, true);
  }
  if (!entro) {
    d.errore(CodiceErrore::curva_senza_classe, c.l.a(campo_oltre));
    return Seguito::esci;
  }
  return Seguito::avanti;
}

}  // namespace calvetra
