// Curve records: the plan of the route goes forward in stretches. Each metre
// repeats the previous one-metre step, turned by the curvature k of the record
// (or not turned on the straight run-in before it); the plan keeps the
// stretches, and the metres are integrated as the file is written.
#include <algorithm>
#include <string_view>

#include "line/corpo_linea.h"
#include "model/numeri.h"

namespace calvetra {

namespace {

// Curvature per metre of the classes "1" to "6".
constexpr double kCurvatura[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

// The class named by the first of the digits "1" to "6" in the keyword field;
// false when there is none.
bool classe_curva(const std::string& campo, double* k) {
  static constexpr std::string_view kCifre[] = {"1", "2", "3", "4", "5", "6"};
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
  // Past the last metre asked for, or one metre past the last allowed: the
  // metres are worked out when the plan is written.
  int64_t dopo = tetto + 1;
  if (con_limite) dopo = std::min(dopo, std::max<int64_t>(kMetroMassimo, g.prossimo()) + 1);
  g.avanza(static_cast<int32_t>(dopo), andamento == Andamento::curva, k);
  return !(con_limite && g.prossimo() > kMetroMassimo);
}

Seguito corpo_curva(LetturaRecord& r, CorpoLinea& c) {
  Curva curva;
  curva.inizio = r.numero();
  curva.lunghezza = r.numero();
  if (r.oltre_il_percorso(curva.inizio, kMargineRecord)) return Seguito::fine_corpo;
  r.senza_sovrapposizione(curva.inizio, int64_t{curva.inizio} + curva.lunghezza);
  double k = 0.0;
  if (!classe_curva(r.parola(), &k)) {
    r.errore(CodiceErrore::curva_senza_classe, r.chiave());
    return Seguito::esci;
  }
  if (contiene(r.parola(), "s")) k = k * -1.0;  // a left-hand curve

  // A record that begins before the metre reached bends only what is left of
  // it; one that ends before it changes nothing. Past the last metre allowed,
  // the field that asked for it is blamed: the start for the run-in, the
  // length for the curve.
  Geometria& g = c.m.geometria;
  if (!avanza_piano(g, curva.inizio, Andamento::rettilineo, 0.0, true)) {
    r.errore(CodiceErrore::curva_senza_classe, r.luogo(0));
    return Seguito::esci;
  }
  if (!avanza_piano(g, int64_t{curva.inizio} + curva.lunghezza, Andamento::curva, k, true)) {
    r.errore(CodiceErrore::curva_senza_classe, r.luogo(1));
    return Seguito::esci;
  }
  return Seguito::avanti;
}

}  // namespace calvetra
