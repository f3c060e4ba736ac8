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

std::string testo_pendenza(uint8_t pendenza, std::optional<bool> raggiunta) {
  std::string t = std::to_string(per_mille_da_pendenza(pendenza)) + " per mille";
  if (pendenza == 0 && raggiunta == false) t += ", che nessuna pendenza ha raggiunto";
  return t;
}

int64_t valore_coppia(int64_t vs, int64_t vd) {
  return arrotonda_div(100 * vs + vd, kPassoVelocita);
}

std::optional<int16_t> codifica_coppia(int64_t vs, int64_t vd) {
  // Far past any speed the sum must not overflow: such a value fits nothing.
  if (vs > INT32_MAX || vs < INT32_MIN || vd > INT32_MAX || vd < INT32_MIN) return std::nullopt;
  const int64_t v = valore_coppia(vs, vd);
  if (!sta_in<int16_t>(v)) return std::nullopt;
  return static_cast<int16_t>(v);
}

CoppiaVelocita coppia_da_valore(int16_t valore) {
  return {valore / 100 * kPassoVelocita, valore % 100 * kPassoVelocita};
}

CodiciSegnale codifica_segnale(const ValoriSegnale& s) {
  const auto codice = [](int64_t decine, int64_t unita) { return basso_16(10 * decine + unita); };
  return {codice(s.s1, s.d1), codice(s.s2, s.d2), codice(s.s3, s.d3),
          codice(s.rapp, classe_cabina(s.sx, s.dx)),
          s.sx == kSxConTempo ? basso_8(tempo_alzato(s.tempo)) : uint8_t{0}};
}

CodiceCabina codice_cabina(int16_t valore_d) {
  const Cifre c = cifre(valore_d);
  return {c.decine, c.unita, sx_conosciuto(c.unita / 3)};
}

std::optional<ValoriSegnale> decodifica_segnale(const CodiciSegnale& c) {
  const CodiceCabina k = codice_cabina(c.d);
  if (!k.conosciuta) return std::nullopt;
  const Cifre a = cifre(c.a);
  const Cifre b = cifre(c.b);
  const Cifre cc = cifre(c.c);
  return ValoriSegnale{k.classe / 3, a.decine, b.decine, cc.decine, k.rapp,
                       k.classe % 3, a.unita,  b.unita,  cc.unita,  c.tempo};
}

ZonaStazione zona_stazione(int64_t tipo, int64_t posizione, int64_t lunghezza, bool opz_d) {
  if (tipo == 5 || tipo == 6) return {posizione - lunghezza, posizione + 150};
  if (tipo == 7 || tipo == 8) return {posizione - lunghezza, posizione + lunghezza};
  return {posizione - lunghezza / 2, posizione + lunghezza / 2 + (opz_d ? kMetriCella : 0)};
}

int64_t lunghezza_da_zona(int64_t tipo, int64_t posizione, int64_t inizio) {
  return (posizione - inizio) * (zona_intera(tipo) ? 1 : 2);
}

std::optional<OraStazione> ora_stazione(int32_t orario) {
  if (orario == 0) return std::nullopt;
  return OraStazione{orario / 3600, orario / 60 % 60, orario % 60};
}

std::string testo_progressiva(int64_t metri) {
  const uint64_t a = metri < 0 ? 0 - static_cast<uint64_t>(metri) : static_cast<uint64_t>(metri);
  std::string resto = std::to_string(a % 1000);
  resto.insert(0, 3 - resto.size(), '0');
  return (metri < 0 ? "-" : "") + std::to_string(a / 1000) + "+" + resto;
}

std::string testo_ora_stazione(int32_t orario) {
  return orario == 0 ? std::string() : ora_del_giorno(orario);
}

void scrivi_slot_cella(tratto& cella, const SlotCella& s) {
  cella.valore_a = s.marchio;
  cella.valore_b = s.og;
}

void scrivi_slot_cella(Modello& m, int64_t c, const SlotCella& s) {
  m.scrivi_cella(c, CampoCella::valore_a, s.marchio);
  m.scrivi_cella(c, CampoCella::valore_b, s.og);
}

SlotCella slot_cella(const tratto& cella) { return {cella.valore_a, cella.valore_b}; }

tratto oggetto_della_cella(const tratto& t, size_t c) {
  if (c != kCellaIntestazione) return t;
  tratto o = t;
  scrivi_slot_cella(o, {});
  return o;
}

int64_t posizione_della_cella(const std::vector<tratto>& tratti, const Tabella& tabella, size_t c) {
  const tratto& t = tratti.at(c);
  if (t.tipo == kFermata && t.valore_a >= kPrimaRigaStazione && t.valore_a <= kUltimaRigaCartello) {
    return tabella[static_cast<size_t>(t.valore_a)].posizione;
  }
  return posizione_oggetto(t.tipo, static_cast<int64_t>(c));
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
      // The fourth code is shown as stored; its class and rapp only where
      // they read back as a record of sx 1 or 2 wrote them.
      const CodiceCabina k = codice_cabina(t.valore_d);
      std::vector<ValoreNominato> v = {
          {"codice 1", n(t.valore_a)}, {"codice 2", n(t.valore_b)}, {"codice 3", n(t.valore_c)}};
      if (k.conosciuta) {
        v.push_back({"classe di cabina", n(k.classe)});
        v.push_back({"rapp", n(k.rapp)});
      } else {
        v.push_back({"codice 4", n(t.valore_d)});
      }
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

std::vector<Sequenza> sequenze(const std::vector<tratto>& tratti, CampoByte campo,
                               const Giornale* g) {
  // Only the gradient's writers are all known to the journal: the gradient
  // records, which name the cell field they store, and the compile's steps.
  const bool conto = g != nullptr && campo == &tratto::pendenza;
  std::vector<Sequenza> s;
  for (size_t i = 0; i < tratti.size(); ++i) {
    const uint8_t v = tratti[i].*campo;
    const auto c = static_cast<int64_t>(i);
    std::optional<bool> r;
    if (conto) r = g->raggiunta(i, CampoCella::pendenza);
    if (!s.empty() && s.back().valore == v && s.back().raggiunta == r && s.back().a == c - 1) {
      s.back().a = c;
    } else {
      s.push_back({c, c, v, r});
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
  // Starts and ends pair as brackets do: a slowdown with another inside it
  // ends at the end after the inner one's. A slowdown shorter than a cell has
  // no end of its own and ends where it starts, as does a start that no end
  // follows.
  std::vector<size_t> aperti;
  for (size_t c = 0; c < tratti.size(); ++c) {
    const tratto& t = tratti[c];
    if (t.tipo == kInizioRallentamento) {
      aperti.push_back(r.size());
      const auto i = static_cast<int64_t>(c);
      // Cell 1's first value is the format mark, never the slowdown's speed.
      r.push_back({i, i, oggetto_della_cella(t, c).valore_a});
    } else if (t.tipo == kFineRallentamento && !aperti.empty()) {
      r[aperti.back()].cella_fine = static_cast<int64_t>(c);
      aperti.pop_back();
    }
  }
  return r;
}

RecordLetto record_della_cella(const std::vector<tratto>& tratti, size_t c) {
  if (c >= tratti.size()) return {};
  const tratto t = oggetto_della_cella(tratti[c], c);
  const int64_t p = posizione_oggetto(t.tipo, static_cast<int64_t>(c));
  switch (t.tipo) {
    case kSegnale: {
      const std::optional<ValoriSegnale> s =
          decodifica_segnale({t.valore_a, t.valore_b, t.valore_c, t.valore_d, t.tempo});
      // A class that no sx of 1 or 2 writes cannot be told back into its
      // values: the position alone is the record's.
      if (!s) return {"segnale", {{"posizione", p}}};
      return {"segnale",
              {{"posizione", p},
               {"sx", s->sx},
               {"s1", s->s1},
               {"s2", s->s2},
               {"s3", s->s3},
               {"rapp", s->rapp},
               {"dx", s->dx},
               {"d1", s->d1},
               {"d2", s->d2},
               {"d3", s->d3},
               {"tempo", s->tempo}}};
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
  const int64_t lunghezza = lunghezza_da_zona(v.tipo, v.posizione, v.inizio);
  const int64_t ora = v.orario;
  RecordLetto r{"stazione",
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
                 {"opz_c", v.opz_c}}};
  // A station without a time has none to give back.
  if (ora_stazione(v.orario)) {
    r.campi.push_back({"hours", ora / 3600});
    r.campi.push_back({"minutes", ora / 60 % 60});
    r.campi.push_back({"seconds", ora % 60});
  }
  return r;
}

bool voce_vuota(const voce& v) { return v == voce{}; }

std::array<UsoRiga, kRigheTabella> usi_righe(const Tabella& tabella,
                                             const std::vector<tratto>& tratti) {
  std::array<UsoRiga, kRigheTabella> usi{};
  for (size_t r = 0; r < usi.size(); ++r) {
    usi[r] = voce_vuota(tabella[r]) ? UsoRiga::vuota : UsoRiga::stazione;
    // A sign row keeps its text alone, and keeps it even when a later object
    // took its cell (a station holds more than its name, but for one at 0 m
    // with every value 0, which reads as a sign here).
    voce solo_nome;
    solo_nome.nome = tabella[r].nome;
    if (r >= kPrimaRigaStazione && r <= kUltimaRigaCartello && !tabella[r].nome.empty() &&
        tabella[r] == solo_nome) {
      usi[r] = UsoRiga::cartello;
    }
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
