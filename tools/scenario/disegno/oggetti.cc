#include "scenario/disegno/oggetti.h"

#include "model/significato.h"

namespace calvetra::scenario::disegno {

Oggetti raccogli(const ScenarioLetto& s) {
  Oggetti o;
  o.lunghezza = Intestazione(s.tabella).lunghezza_percorso();
  o.fine_celle = static_cast<double>(s.tratti.size()) * kMetriCella;
  const auto usi = usi_righe(s.tabella, s.tratti);
  for (size_t r = kPrimaRigaStazione; r <= kUltimaRigaCartello; ++r) {
    if (usi[r] != UsoRiga::stazione) continue;
    const voce& v = s.tabella[r];
    o.stazioni.push_back({v.nome, static_cast<double>(v.posizione), static_cast<double>(v.inizio),
                          static_cast<double>(v.fine), v.tipo, v.orario});
  }
  for (size_t c = 0; c < s.tratti.size(); ++c) {
    const uint8_t tipo = s.tratti[c].tipo;
    const auto p = static_cast<double>(posizione_oggetto(tipo, static_cast<int64_t>(c)));
    switch (tipo) {
      case kSegnale: o.segnali.push_back(p); break;
      case kAvvisoRallentamento: o.avvisi.push_back(p); break;
      case kIndicatori: o.indicatori.push_back(p); break;
      case kCartello: o.cartelli.push_back(p); break;
      case kAbbattimento:
      case kAbbattimentoNullo: o.abbattimenti.push_back(p); break;
      default: break;
    }
  }
  for (const TrattoRallentato& r : rallentamenti(s.tratti)) {
    o.rallentamenti.push_back(
        {static_cast<double>(r.da()), static_cast<double>(r.a()), static_cast<int>(r.kmh)});
  }
  return o;
}

}  // namespace calvetra::scenario::disegno
