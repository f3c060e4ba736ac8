// The records of the line header: the route length that sizes the model, the
// kilometre progressives, the backgrounds and the signal repetition, each
// stored in the header rows of the table.
#ifndef CALVETRA_LINE_INTESTAZIONE_LINEA_H_
#define CALVETRA_LINE_INTESTAZIONE_LINEA_H_

#include <cstddef>
#include <cstdint>

#include "fields/lettura.h"
#include "model/records.h"

namespace calvetra {

// One reading of the line header: the model it fills and whether the plan is
// built.
struct IntestazioneLinea {
  Modello& m;
  bool con_geometria;
};

// The route length: row 84 and the cells (and the plan) made anew from it.
Seguito intestazione_lunghezza(LetturaRecord& r, IntestazioneLinea& c);
// A kilometre-progressive definition into one of the rows 81 to 83.
template <size_t riga>
Seguito intestazione_progressiva(LetturaRecord& r, IntestazioneLinea& c);
// A background setting into one field of row 85.
template <CampoRiga campo>
Seguito intestazione_sfondo(LetturaRecord& r, IntestazioneLinea& c);
// The signal repetition, row 86, with the number of codes from its keyword field.
Seguito intestazione_ripetizione(LetturaRecord& r, IntestazioneLinea& c);

// Makes the cells anew for a route of length L and, with the plan, the plan.
void dimensiona(Modello& m, int32_t L, bool con_geometria);

template <size_t riga>
Seguito intestazione_progressiva(LetturaRecord& r, IntestazioneLinea& c) {
  c.m.riga(riga);
  for (const CampoRiga campo : {CampoRiga::inizio, CampoRiga::fine, CampoRiga::posizione}) {
    c.m.scrivi_riga(riga, campo, r.numero());
  }
  c.m.osservatore.progressive.letta(riga - kRigaProgressivaTre,
                                    {r.luogo(0), r.luogo(1), r.luogo(2)});
  return Seguito::avanti;
}

template <CampoRiga campo>
Seguito intestazione_sfondo(LetturaRecord& r, IntestazioneLinea& c) {
  c.m.scrivi_riga(kRigaLinea, campo, r.numero());
  return Seguito::avanti;
}

}  // namespace calvetra

#endif  // CALVETRA_LINE_INTESTAZIONE_LINEA_H_
