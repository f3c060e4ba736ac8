#include "vista.h"

#include "model/costanti.h"
#include "output/codici_gara.h"

namespace calvetra::scenario {

bool voce_vuota(const voce& v) {
  return v.tipo == 0 && v.inizio == 0 && v.fine == 0 && v.posizione == 0 && v.opz_a == 0 &&
         v.nome.empty() && v.cod_a == 0 && v.cod_b == 0 && v.cod_c == 0 && v.cod_d == 0 &&
         v.cod_e == 0 && v.opz_b == 0 && v.opz_c == 0 && v.opz_d == 0 && v.opz_e == 0 &&
         v.orario == 0;
}

std::vector<Campo> campi_voce(const voce& v) {
  const auto n = [](int64_t x) { return std::to_string(x); };
  return {{"tipo", n(v.tipo)},           {"inizio", n(v.inizio)}, {"fine", n(v.fine)},
          {"posizione", n(v.posizione)}, {"opz_a", n(v.opz_a)},   {"nome", v.nome, true},
          {"cod_a", n(v.cod_a)},         {"cod_b", n(v.cod_b)},   {"cod_c", n(v.cod_c)},
          {"cod_d", n(v.cod_d)},         {"cod_e", n(v.cod_e)},   {"opz_b", n(v.opz_b)},
          {"opz_c", n(v.opz_c)},         {"opz_d", n(v.opz_d)},   {"opz_e", n(v.opz_e)},
          {"orario", n(v.orario)}};
}

std::array<UsoRiga, kRigheTabella> usi_righe(const Tabella& tabella,
                                             const std::vector<tratto>& tratti) {
  std::array<UsoRiga, kRigheTabella> usi{};
  for (size_t r = 0; r < usi.size(); ++r) {
    usi[r] = voce_vuota(tabella[r]) ? UsoRiga::vuota : UsoRiga::stazione;
  }
  for (const tratto& t : tratti) {
    if (t.tipo == kCartello && t.valore_a >= 1 && t.valore_a <= 80) {
      usi[static_cast<size_t>(t.valore_a)] = UsoRiga::cartello;
    }
  }
  usi[0] = voce_vuota(tabella[0]) ? UsoRiga::vuota : UsoRiga::stazione;
  for (size_t r = 81; r < usi.size(); ++r) usi[r] = UsoRiga::intestazione;
  return usi;
}

const char* nome_uso(UsoRiga u) {
  switch (u) {
    case UsoRiga::vuota: return "vuota";
    case UsoRiga::stazione: return "stazione";
    case UsoRiga::cartello: return "cartello";
    case UsoRiga::intestazione: return "intestazione";
  }
  return "";
}

const char* nome_tipo_cella(uint8_t tipo) {
  switch (tipo) {
    case kLibero: return "libero";
    case kSegnale: return "segnale";
    case kFineRallentamento: return "fine_rallentamento";
    case kInizioRallentamento: return "inizio_rallentamento";
    case kAvvisoRallentamento: return "avviso_rallentamento";
    case kPreavvisoRallentamento: return "preavviso_rallentamento";
    case kIndicatori: return "indicatori";
    case kFermata: return "fermata";
    case kSegnoMontagna: return "segno_montagna";
    case kAbbattimento: return "abbattimento";
    case kAbbattimentoNullo: return "abbattimento_nullo";
    case kCartello: return "cartello";
    default: return nullptr;
  }
}

int64_t posizione_oggetto(uint8_t tipo, int64_t c) {
  switch (tipo) {
    case kSegnale:
    case kFineRallentamento:
    case kInizioRallentamento:
    case kAvvisoRallentamento:
    case kIndicatori:
    case kCartello: return (c - 1) * kMetriCella;
    case kFermata: return (c + 1) * kMetriCella;
    default: return c * kMetriCella;
  }
}

std::vector<Sequenza> sequenze(const std::vector<tratto>& tratti, CampoByte campo) {
  std::vector<Sequenza> s;
  for (size_t i = 0; i < tratti.size(); ++i) {
    const uint8_t v = tratti[i].*campo;
    const auto c = static_cast<int64_t>(i);
    if (!s.empty() && s.back().valore == v && s.back().a == c - 1) {
      s.back().a = c;
    } else {
      s.push_back({c, c, v});
    }
  }
  return s;
}

const std::array<CampoNominato, 6>& campi_byte() {
  static const std::array<CampoNominato, 6> campi = {{
      {"tempo", &tratto::tempo},
      {"preavviso", &tratto::preavviso},
      {"montagna", &tratto::montagna},
      {"velocita", &tratto::velocita},
      {"pendenza", &tratto::pendenza},
      {"aderenza", &tratto::aderenza},
  }};
  return campi;
}

Integrita integrita(const Tabella& tabella, const std::vector<tratto>& tratti) {
  Integrita i;
  i.st_letto = tabella[kRigaLinea].orario;
  i.st_atteso = codice_gara_st(tabella);
  i.og_letto = tratti[kCellaIntestazione].valore_b;
  i.og_atteso = codice_gara_og(tabella);
  return i;
}

}  // namespace calvetra::scenario
