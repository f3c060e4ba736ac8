#include "model/significato.h"

#include <cstdio>

namespace calvetra {

std::optional<int64_t> kmh_a_passi(int64_t kmh) {
  // Far past any speed the step no longer matters, and the product must not overflow.
  if (kmh > INT32_MAX || kmh < INT32_MIN) return std::nullopt;
  return arrotonda_div(kmh, kPassoVelocita) * kPassoVelocita;
}

std::optional<int64_t> kmh_conservati(int64_t kmh) {
  const std::optional<int64_t> k = kmh_a_passi(kmh);
  if (!k || !sta_in<uint8_t>(*k / kPassoVelocita)) return std::nullopt;
  return k;
}

std::optional<int64_t> per_mille_conservati(int64_t per_mille) {
  return int64_t{pendenza_da_per_mille(per_mille)} - kScartoPendenza;
}

std::optional<int64_t> basso_8_conservato(int64_t v) { return int64_t{basso_8(v)}; }

std::optional<int64_t> in_16_bit(int64_t v) {
  if (!sta_in<int16_t>(v)) return std::nullopt;
  return v;
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

std::optional<int32_t> per_mille_da_pendenza(uint8_t pendenza) {
  if (pendenza == 0) return std::nullopt;
  return int32_t{pendenza} - kScartoPendenza;
}

int64_t valore_coppia(int64_t vs, int64_t vd) {
  return arrotonda_div(100 * vs + vd, kPassoVelocita);
}

CoppiaVelocita coppia_da_valore(int16_t valore) {
  return {valore / 100 * kPassoVelocita, valore % 100 * kPassoVelocita};
}

CodiceCabina codice_cabina(int16_t valore_d) { return {valore_d / 10, valore_d % 10}; }

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

namespace {

std::string n(int64_t v) { return std::to_string(v); }
std::string kmh(int64_t v) { return std::to_string(v) + " km/h"; }
std::string coppia(int16_t v) {
  const CoppiaVelocita c = coppia_da_valore(v);
  return n(c.sinistra_kmh) + "/" + n(c.destra_kmh) + " km/h";
}

}  // namespace

std::vector<ValoreNominato> significato_cella(const tratto& t) {
  switch (t.tipo) {
    case kSegnale: {
      const CodiceCabina k = codice_cabina(t.valore_d);
      std::vector<ValoreNominato> v = {{"codice 1", n(t.valore_a)},
                                       {"codice 2", n(t.valore_b)},
                                       {"codice 3", n(t.valore_c)},
                                       {"classe di cabina", n(k.classe)},
                                       {"rapp", n(k.rapp)}};
      if (t.tempo != 0) v.push_back({"tempo", n(t.tempo)});
      return v;
    }
    case kFineRallentamento:
    case kInizioRallentamento:
      return {{"velocita", kmh(t.valore_a)}, {"d_v", n(t.valore_b)}, {"f_tt", n(t.valore_c)}};
    case kAvvisoRallentamento: return {{"velocita", kmh(t.valore_a)}, {"d_v", n(t.valore_b)}};
    case kPreavvisoRallentamento: return {{"passo", n(t.valore_a)}};
    case kIndicatori:
      return {{"velocita 1 (sx/dx)", coppia(t.valore_a)},
              {"velocita 2 (sx/dx)", coppia(t.valore_b)},
              {"velocita 3 (sx/dx)", coppia(t.valore_c)},
              {"strisce (10 sx + dx)", n(t.valore_d)}};
    case kFermata: return {{"riga della stazione", n(t.valore_a)}};
    case kAbbattimento: return {{"velocita", kmh(t.valore_a)}};
    case kCartello: return {{"riga del testo", n(t.valore_a)}};
    default: return {};
  }
}

std::optional<int32_t> riga_puntata(const tratto& t) {
  if (t.tipo == kCartello || t.tipo == kFermata) return t.valore_a;
  return std::nullopt;
}

bool cella_con_contenuto(const tratto& t) {
  return t.tipo != kLibero || t.valore_a != 0 || t.valore_b != 0 || t.valore_c != 0 ||
         t.valore_d != 0;
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

std::vector<TrattoRallentato> rallentamenti(const std::vector<tratto>& tratti) {
  std::vector<TrattoRallentato> r;
  const auto n = static_cast<int64_t>(tratti.size());
  for (int64_t c = 0; c < n; ++c) {
    const tratto& t = tratti[static_cast<size_t>(c)];
    if (t.tipo != kInizioRallentamento) continue;
    // The stretch runs to the next end cell; a slowdown shorter than a cell
    // has none of its own and ends where it starts.
    int64_t e = c;
    for (int64_t k = c + 1; k < n; ++k) {
      const uint8_t tk = tratti[static_cast<size_t>(k)].tipo;
      if (tk == kFineRallentamento) {
        e = k;
        break;
      }
      if (tk == kInizioRallentamento) break;
    }
    r.push_back({c, e, t.valore_a});
  }
  return r;
}

RecordLetto record_della_cella(const std::vector<tratto>& tratti, size_t c) {
  if (c >= tratti.size()) return {};
  const tratto& t = tratti[c];
  const int64_t p = posizione_oggetto(t.tipo, static_cast<int64_t>(c));
  switch (t.tipo) {
    case kSegnale: {
      const CodiceCabina k = codice_cabina(t.valore_d);
      return {"segnale",
              {{"posizione", p},
               {"sx", k.classe / 3},
               {"s1", t.valore_a / 10},
               {"s2", t.valore_b / 10},
               {"s3", t.valore_c / 10},
               {"rapp", k.rapp},
               {"dx", k.classe % 3},
               {"d1", t.valore_a % 10},
               {"d2", t.valore_b % 10},
               {"d3", t.valore_c % 10},
               {"tempo", t.tempo}}};
    }
    case kInizioRallentamento: {
      RecordLetto r{"rallentamento", {{"x", p}, {"v", t.valore_a}}};
      for (const TrattoRallentato& q : rallentamenti(tratti)) {
        if (q.cella_inizio == static_cast<int64_t>(c)) r.campi.push_back({"l", q.a() - q.da()});
      }
      r.campi.push_back({"f_tt", t.valore_c});
      r.campi.push_back({"d_v", t.valore_b});
      return r;
    }
    case kFineRallentamento:
      return {"rallentamento", {{"v", t.valore_a}, {"f_tt", t.valore_c}, {"d_v", t.valore_b}}};
    case kAvvisoRallentamento: return {"rallentamento", {{"v", t.valore_a}, {"d_v", t.valore_b}}};
    case kPreavvisoRallentamento: return {"rallentamento", {}};
    case kIndicatori: {
      const CoppiaVelocita a = coppia_da_valore(t.valore_a);
      const CoppiaVelocita b = coppia_da_valore(t.valore_b);
      const CoppiaVelocita cc = coppia_da_valore(t.valore_c);
      return {"indicatori_vmax",
              {{"p", p},
               {"vas", a.sinistra_kmh},
               {"vbs", b.sinistra_kmh},
               {"vcs", cc.sinistra_kmh},
               {"strisces", t.valore_d / 10},
               {"vad", a.destra_kmh},
               {"vbd", b.destra_kmh},
               {"vcd", cc.destra_kmh},
               {"strisced", t.valore_d % 10}}};
    }
    case kAbbattimento: return {"abbattimento", {{"p", p}, {"value", t.valore_a}}};
    case kAbbattimentoNullo: return {"abbattimento", {{"p", p}}};
    case kCartello: return {"cartello_indicatore", {{"p", p}}};
    case kSegnoMontagna: return {"montagna", {{"kind", int64_t{t.montagna} + 10}}};
    default: return {};
  }
}

RecordLetto record_della_stazione(const voce& v) {
  // Types 5 to 8 reach back the whole length before the position; the others
  // half of it.
  const bool indietro = v.tipo >= 5 && v.tipo <= 8;
  const int64_t lunghezza = (int64_t{v.posizione} - v.inizio) * (indietro ? 1 : 2);
  const int64_t ora = v.orario;
  return {"stazione",
          {{"position", v.posizione},
           {"type", v.tipo},
           {"length", lunghezza},
           {"opz_a", v.opz_a},
           {"opz_e", v.opz_e},
           {"opz_d", v.opz_d},
           {"cod_a", v.cod_a},
           {"cod_b", v.cod_b},
           {"opz_b", v.opz_b},
           {"cod_c", v.cod_c},
           {"cod_d", v.cod_d},
           {"cod_e", v.cod_e},
           {"opz_c", v.opz_c},
           {"hours", ora / 3600},
           {"minutes", ora / 60 % 60},
           {"seconds", ora % 60}}};
}

bool voce_vuota(const voce& v) { return v == voce{}; }

std::array<UsoRiga, kRigheTabella> usi_righe(const Tabella& tabella,
                                             const std::vector<tratto>& tratti) {
  std::array<UsoRiga, kRigheTabella> usi{};
  for (size_t r = 0; r < usi.size(); ++r) {
    usi[r] = voce_vuota(tabella[r]) ? UsoRiga::vuota : UsoRiga::stazione;
  }
  for (const tratto& t : tratti) {
    if (t.tipo == kCartello && t.valore_a >= kPrimaRigaStazione &&
        t.valore_a <= kUltimaRigaCartello) {
      usi[static_cast<size_t>(t.valore_a)] = UsoRiga::cartello;
    }
  }
  for (size_t r = kRigaProgressivaTre; r < usi.size(); ++r) usi[r] = UsoRiga::intestazione;
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

std::vector<CampoVoce> campi_voce(const voce& v) {
  return {{"tipo", n(v.tipo)},           {"inizio", n(v.inizio)}, {"fine", n(v.fine)},
          {"posizione", n(v.posizione)}, {"opz_a", n(v.opz_a)},   {"nome", v.nome, true},
          {"cod_a", n(v.cod_a)},         {"cod_b", n(v.cod_b)},   {"cod_c", n(v.cod_c)},
          {"cod_d", n(v.cod_d)},         {"cod_e", n(v.cod_e)},   {"opz_b", n(v.opz_b)},
          {"opz_c", n(v.opz_c)},         {"opz_d", n(v.opz_d)},   {"opz_e", n(v.opz_e)},
          {"orario", n(v.orario)}};
}

const char* ruolo_intestazione(size_t riga) {
  switch (riga) {
    case kRigaProgressivaTre:
    case kRigaProgressivaDue:
    case kRigaProgressivaUno: return "progressiva chilometrica (inizio, fine, flag)";
    case kRigaPercorso: return "massa frenata %, lunghezza del percorso m, vetture";
    case kRigaLinea: return "sfondo uno, tre, due; nome linea; marchio 610; codice st";
    case kRigaTreni: return "ripetizione segnali, codici; coppia treni; sabbia; orologio";
    default: return "";
  }
}

Intestazione::Progressiva Intestazione::progressiva(size_t i) const {
  const voce& r = riga(kRigaProgressivaTre + i);
  return {r.inizio, r.fine, r.posizione};
}

std::string ora_del_giorno(int32_t secondi) {
  if (secondi < 0) return "";
  char s[32];
  std::snprintf(s, sizeof s, "%02d:%02d:%02d", secondi / 3600, secondi / 60 % 60, secondi % 60);
  return s;
}

}  // namespace calvetra
