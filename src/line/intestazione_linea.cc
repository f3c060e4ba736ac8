#include "line/intestazione_linea.h"

#include "model/costanti.h"
#include "model/significato.h"

namespace calvetra {

namespace {

bool multiplo_di_50(int32_t v) { return v % kMetriCella == 0; }

}  // namespace

void dimensiona(Modello& m, int32_t L, bool con_geometria) {
  const int64_t T = int64_t{L} + kRincorsa;
  const int64_t n = ultima_cella_per(L);
  // A length so negative that not even cell 0 exists cannot size the cells;
  // one that leaves cell 0 makes the cells anew and then cannot size the plan.
  if (n < 0) throw GuastoInatteso("lunghezza del percorso negativa");
  m.crea_tratti(static_cast<size_t>(n) + 1);
  if (con_geometria) {
    if (T < 0) throw GuastoInatteso("lunghezza del percorso negativa");
    m.geometria.crea(static_cast<int32_t>(T));
  }
}

Seguito intestazione_lunghezza(LetturaRecord& r, IntestazioneLinea& c) {
  // The warnings watch the value: it explains the errors of positions beyond
  // the route.
  r.avvisi().segna_prossimo_numero();
  const int32_t L = r.numero();
  c.m.scrivi_riga(kRigaPercorso, CampoRiga::fine, L);
  if (L > kLunghezzaMassima) {
    r.errore(CodiceErrore::percorso_troppo_lungo, r.luogo(0));
    return Seguito::esci;
  }
  dimensiona(c.m, L, c.con_geometria);
  return Seguito::avanti;
}

Seguito intestazione_ripetizione(LetturaRecord& r, IntestazioneLinea& c) {
  const voce& v = c.m.riga(kRigaTreni);
  c.m.scrivi_riga(kRigaTreni, CampoRiga::inizio, r.numero());
  c.m.scrivi_riga(kRigaTreni, CampoRiga::fine, r.numero());
  if (!multiplo_di_50(v.inizio)) {
    r.errore(CodiceErrore::ripetizione_primo_fuori_passo, r.luogo(0));
    return Seguito::esci;
  }
  if (!multiplo_di_50(v.fine)) {
    r.errore(CodiceErrore::ripetizione_secondo_fuori_passo, r.luogo(1));
    return Seguito::esci;
  }
  // The number of codes comes from the keyword field: 4 wins over 9.
  if (contiene_esatto(r.parola(), "4")) {
    c.m.scrivi_riga(kRigaTreni, CampoRiga::posizione, 4);
  } else if (contiene_esatto(r.parola(), "9")) {
    c.m.scrivi_riga(kRigaTreni, CampoRiga::posizione, 9);
  } else {
    r.errore(CodiceErrore::ripetizione_senza_codici, r.chiave());
    return Seguito::esci;
  }
  if (v.fine == 0) c.m.scrivi_riga(kRigaTreni, CampoRiga::posizione, 0);
  return Seguito::avanti;
}

}  // namespace calvetra
