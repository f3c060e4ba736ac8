#include "model/giornale.h"

#include <algorithm>

namespace calvetra {

namespace {

// The fields of a cell and of a row in the order of their enumerations.
void metti_cella(tratto& t, CampoCella c, int64_t v) {
  // Every value was read from a field of the same width.
  const auto u8 = static_cast<uint8_t>(v);
  const auto i16 = static_cast<int16_t>(v);
  switch (c) {
    case CampoCella::tipo: t.tipo = u8; break;
    case CampoCella::valore_a: t.valore_a = i16; break;
    case CampoCella::valore_b: t.valore_b = i16; break;
    case CampoCella::valore_c: t.valore_c = i16; break;
    case CampoCella::valore_d: t.valore_d = i16; break;
    case CampoCella::tempo: t.tempo = u8; break;
    case CampoCella::preavviso: t.preavviso = u8; break;
    case CampoCella::montagna: t.montagna = u8; break;
    case CampoCella::velocita: t.velocita = u8; break;
    case CampoCella::pendenza: t.pendenza = u8; break;
    case CampoCella::aderenza: t.aderenza = u8; break;
  }
}

int64_t leggi_riga(const voce& v, CampoRiga c) {
  switch (c) {
    case CampoRiga::tipo: return v.tipo;
    case CampoRiga::inizio: return v.inizio;
    case CampoRiga::fine: return v.fine;
    case CampoRiga::posizione: return v.posizione;
    case CampoRiga::opz_a: return v.opz_a;
    case CampoRiga::nome: return 0;
    case CampoRiga::cod_a: return v.cod_a;
    case CampoRiga::cod_b: return v.cod_b;
    case CampoRiga::cod_c: return v.cod_c;
    case CampoRiga::cod_d: return v.cod_d;
    case CampoRiga::cod_e: return v.cod_e;
    case CampoRiga::opz_b: return v.opz_b;
    case CampoRiga::opz_c: return v.opz_c;
    case CampoRiga::opz_d: return v.opz_d;
    case CampoRiga::opz_e: return v.opz_e;
    case CampoRiga::orario: return v.orario;
  }
  return 0;
}

void metti_riga(voce& v, CampoRiga c, int64_t x) {
  const auto u8 = static_cast<uint8_t>(x);
  const auto i16 = static_cast<int16_t>(x);
  const auto i32 = static_cast<int32_t>(x);
  switch (c) {
    case CampoRiga::tipo: v.tipo = u8; break;
    case CampoRiga::inizio: v.inizio = i32; break;
    case CampoRiga::fine: v.fine = i32; break;
    case CampoRiga::posizione: v.posizione = i32; break;
    case CampoRiga::opz_a: v.opz_a = u8; break;
    case CampoRiga::nome: break;
    case CampoRiga::cod_a: v.cod_a = i16; break;
    case CampoRiga::cod_b: v.cod_b = i16; break;
    case CampoRiga::cod_c: v.cod_c = i16; break;
    case CampoRiga::cod_d: v.cod_d = i16; break;
    case CampoRiga::cod_e: v.cod_e = i16; break;
    case CampoRiga::opz_b: v.opz_b = u8; break;
    case CampoRiga::opz_c: v.opz_c = u8; break;
    case CampoRiga::opz_d: v.opz_d = u8; break;
    case CampoRiga::opz_e: v.opz_e = u8; break;
    case CampoRiga::orario: v.orario = i32; break;
  }
}

constexpr uint8_t kCampiRiga = static_cast<uint8_t>(CampoRiga::orario) + 1;

// The part of a cell that its object owns.
bool stesso_oggetto(const tratto& a, const tratto& b) {
  return a.tipo == b.tipo && a.valore_a == b.valore_a && a.valore_b == b.valore_b &&
         a.valore_c == b.valore_c && a.valore_d == b.valore_d && a.tempo == b.tempo;
}

// A cell kind that holds a record's object: a mountain marker is only a mark
// that every object may take.
bool oggetto(uint8_t tipo) { return tipo != kLibero && tipo != kSegnoMontagna; }

}  // namespace

const char* nome_campo(CampoCella c) {
  static constexpr std::array<const char*, kCampiCella> kNomi = {
      "tipo",      "valore_a", "valore_b", "valore_c", "valore_d", "tempo",
      "preavviso", "montagna", "velocita", "pendenza", "aderenza"};
  return kNomi[static_cast<size_t>(c)];
}

const char* nome_campo(CampoRiga c) {
  static constexpr std::array<const char*, kCampiRiga> kNomi = {
      "tipo",  "inizio", "fine",  "posizione", "opz_a", "nome",  "cod_a", "cod_b",
      "cod_c", "cod_d",  "cod_e", "opz_b",     "opz_c", "opz_d", "opz_e", "orario"};
  return kNomi[static_cast<size_t>(c)];
}

std::optional<CampoCella> campo_cella(std::string_view nome) {
  for (uint8_t k = 0; k < kCampiCella; ++k) {
    if (nome == nome_campo(static_cast<CampoCella>(k))) return static_cast<CampoCella>(k);
  }
  return std::nullopt;
}

std::optional<CampoRiga> campo_riga(std::string_view nome) {
  for (uint8_t k = 0; k < kCampiRiga; ++k) {
    if (nome == nome_campo(static_cast<CampoRiga>(k))) return static_cast<CampoRiga>(k);
  }
  return std::nullopt;
}

int64_t valore_campo(const tratto& t, CampoCella c) {
  switch (c) {
    case CampoCella::tipo: return t.tipo;
    case CampoCella::valore_a: return t.valore_a;
    case CampoCella::valore_b: return t.valore_b;
    case CampoCella::valore_c: return t.valore_c;
    case CampoCella::valore_d: return t.valore_d;
    case CampoCella::tempo: return t.tempo;
    case CampoCella::preavviso: return t.preavviso;
    case CampoCella::montagna: return t.montagna;
    case CampoCella::velocita: return t.velocita;
    case CampoCella::pendenza: return t.pendenza;
    case CampoCella::aderenza: return t.aderenza;
  }
  return 0;
}

int64_t valore_campo(const voce& v, CampoRiga c) { return leggi_riga(v, c); }

size_t Giornale::apri(Luogo chiave, std::string_view nome, Fase fase, uint16_t campi_cella) {
  if (aperto_) chiudi();
  campi_aperto_ = campi_cella;
  RecordRegistrato r;
  r.chiave = chiave;
  r.nome = nome;
  r.fase = fase;
  if (fase != Fase::passo) r.sezione = sezione_;
  r.prima_scrittura = scritture_.size();
  records_.push_back(std::move(r));
  aperto_ = true;
  return records_.size() - 1;
}

void Giornale::chiudi(std::vector<Estensione> campi) {
  if (!aperto_) return;
  scarica();
  RecordRegistrato& r = records_.back();
  if (!campi.empty()) r.campi = std::move(campi);
  r.scritture = scritture_.size() - r.prima_scrittura;
  aperto_ = false;
}

void Giornale::esaminato(Luogo chiave, std::string_view nome, Fase fase,
                         std::vector<Estensione> campi) {
  if (aperto_) chiudi();
  RecordRegistrato r;
  r.chiave = chiave;
  r.nome = nome;
  r.fase = fase;
  r.sezione = sezione_;
  r.compilato = false;
  r.campi = std::move(campi);
  r.prima_scrittura = scritture_.size();
  records_.push_back(std::move(r));
}

void Giornale::tocca_cella_nuova(size_t c, const tratto& prima) {
  // A write outside every record belongs to the compile itself.
  if (!aperto_) passo("");
  if (visti_celle_.size() <= c) visti_celle_.resize(c + 1, 0);
  visti_celle_[c] = generazione_;
  celle_toccate_.emplace_back(c, prima);
  if (c < raggiunte_.size()) raggiunte_[c] |= campi_aperto_;
}

void Giornale::tocca_riga(size_t r, const voce& prima) {
  if (r >= visti_righe_.size() || visti_righe_[r] == generazione_) return;
  if (!aperto_) passo("");
  visti_righe_[r] = generazione_;
  righe_toccate_.emplace_back(r, prima);
}

void Giornale::crea_celle(size_t n) {
  if (!aperto_) passo("");
  // What was touched before belongs to the cells that are about to go.
  scarica();
  Scrittura s;
  s.bersaglio = Scrittura::Bersaglio::celle;
  s.record = records_.size() - 1;
  s.nuovo = static_cast<int64_t>(n);
  scritture_.push_back(s);
  celle_.assign(n, 0);
  raggiunte_.assign(n, 0);
  derivazioni_.clear();
  cause_.clear();
}

void Giornale::scarica() {
  const size_t indice = records_.size() - 1;
  records_.back().toccati += celle_toccate_.size() + righe_toccate_.size();
  const bool del_record = !records_.back().passo();
  if (modello_ != nullptr) {
    const Modello& m = *modello_;
    for (const auto& toccata : celle_toccate_) {
      // Plain names, not a structured binding: the lambda below captures them.
      const size_t c = toccata.first;
      const tratto& prima = toccata.second;
      if (c >= m.tratti.size()) continue;
      const tratto& dopo = m.tratti[c];
      // Nearly every cell touched changes, so the fields are compared one by
      // one with no comparison of the whole cell first; an unchanged cell
      // writes nothing and keeps its owner.
      const auto campo = [&](CampoCella k, int64_t v, int64_t n) {
        if (v == n) return;
        scritture_.push_back({Scrittura::Bersaglio::cella, static_cast<uint8_t>(k),
                              static_cast<int32_t>(c), indice, v, n});
      };
      campo(CampoCella::tipo, prima.tipo, dopo.tipo);
      campo(CampoCella::valore_a, prima.valore_a, dopo.valore_a);
      campo(CampoCella::valore_b, prima.valore_b, dopo.valore_b);
      campo(CampoCella::valore_c, prima.valore_c, dopo.valore_c);
      campo(CampoCella::valore_d, prima.valore_d, dopo.valore_d);
      campo(CampoCella::tempo, prima.tempo, dopo.tempo);
      campo(CampoCella::preavviso, prima.preavviso, dopo.preavviso);
      campo(CampoCella::montagna, prima.montagna, dopo.montagna);
      campo(CampoCella::velocita, prima.velocita, dopo.velocita);
      campo(CampoCella::pendenza, prima.pendenza, dopo.pendenza);
      campo(CampoCella::aderenza, prima.aderenza, dopo.aderenza);
      if (stesso_oggetto(prima, dopo) || !del_record) continue;
      if (celle_.size() < m.tratti.size()) celle_.resize(m.tratti.size(), 0);
      const size_t proprietario = celle_[c];
      if (oggetto(prima.tipo) && proprietario != 0 && proprietario - 1 != indice) {
        cancellazioni_.push_back({c, proprietario - 1, indice, prima.tipo, dopo.tipo});
      }
      celle_[c] = indice + 1;
    }
    for (const auto& [r, prima] : righe_toccate_) {
      const voce& dopo = m.tabella[r];
      if (prima == dopo) continue;
      for (uint8_t k = 0; k < kCampiRiga; ++k) {
        const auto campo = static_cast<CampoRiga>(k);
        if (campo == CampoRiga::nome) {
          if (prima.nome == dopo.nome) continue;
          testi_.push_back(prima.nome);
          testi_.push_back(dopo.nome);
          scritture_.push_back({Scrittura::Bersaglio::riga, k, static_cast<int32_t>(r), indice,
                                static_cast<int64_t>(testi_.size() - 2),
                                static_cast<int64_t>(testi_.size() - 1)});
          continue;
        }
        const int64_t v = leggi_riga(prima, campo);
        const int64_t n = leggi_riga(dopo, campo);
        if (v == n) continue;
        scritture_.push_back(
            {Scrittura::Bersaglio::riga, k, static_cast<int32_t>(r), indice, v, n});
      }
      if (del_record) righe_[r] = indice + 1;
    }
  }
  celle_toccate_.clear();
  righe_toccate_.clear();
  // A new generation forgets every touch at once; on the rare wrap, by hand.
  if (++generazione_ == 0) {
    std::fill(visti_celle_.begin(), visti_celle_.end(), 0);
    visti_righe_.fill(0);
    generazione_ = 1;
  }
}

void Giornale::deriva(size_t c, size_t causa, Derivazione come) {
  if (c >= celle_.size()) return;
  if (derivazioni_.size() < celle_.size()) {
    derivazioni_.resize(celle_.size(), Derivazione::nessuna);
    cause_.resize(celle_.size(), 0);
  }
  const size_t chi = causa < celle_.size() ? celle_[causa] : 0;
  derivazioni_[c] = come;
  cause_[c] = chi;
  if (come == Derivazione::posta) celle_[c] = chi;
}

Luogo Giornale::cella(size_t c) const {
  const RecordRegistrato* r = record_cella(c);
  return r != nullptr ? r->chiave : Luogo{};
}

Luogo Giornale::riga(size_t r) const {
  const RecordRegistrato* x = record_riga(r);
  return x != nullptr ? x->chiave : Luogo{};
}

Luogo Giornale::causa(size_t c) const {
  const RecordRegistrato* r = record_di(c < cause_.size() ? cause_[c] : 0);
  return r != nullptr ? r->chiave : Luogo{};
}

const Scrittura* Giornale::ultima_scrittura_riga(size_t r, CampoRiga campo) const {
  for (size_t i = scritture_.size(); i-- > 0;) {
    const Scrittura& s = scritture_[i];
    if (s.bersaglio == Scrittura::Bersaglio::riga && s.indice == static_cast<int32_t>(r) &&
        s.campo == static_cast<uint8_t>(campo)) {
      return &s;
    }
  }
  return nullptr;
}

const Scrittura* Giornale::ultima_scrittura_cella(size_t c, CampoCella campo) const {
  for (size_t i = scritture_.size(); i-- > 0;) {
    const Scrittura& s = scritture_[i];
    if (s.bersaglio == Scrittura::Bersaglio::celle) return nullptr;
    if (s.bersaglio == Scrittura::Bersaglio::cella && s.indice == static_cast<int32_t>(c) &&
        s.campo == static_cast<uint8_t>(campo)) {
      return &s;
    }
  }
  return nullptr;
}

size_t Giornale::non_compilati() const {
  size_t n = 0;
  for (const RecordRegistrato& r : records_) n += !r.compilato && r.riconosciuto() ? 1 : 0;
  return n;
}

const RecordRegistrato* Giornale::record_a(Luogo chiave) const {
  for (const RecordRegistrato& r : records_) {
    if (r.chiave == chiave && !r.passo()) return &r;
  }
  return nullptr;
}

const char* nome_derivazione(Giornale::Derivazione d) {
  switch (d) {
    case Giornale::Derivazione::nessuna: return "";
    case Giornale::Derivazione::posta: return "posta";
    case Giornale::Derivazione::abbassata: return "abbassata";
  }
  return "";
}

Modello riproduci(const Giornale& g) {
  Modello m;
  for (const Scrittura& s : g.scritture()) {
    switch (s.bersaglio) {
      case Scrittura::Bersaglio::celle:
        m.tratti.assign(static_cast<size_t>(s.nuovo), tratto{});
        break;
      case Scrittura::Bersaglio::cella:
        metti_cella(m.tratti.at(static_cast<size_t>(s.indice)), static_cast<CampoCella>(s.campo),
                    s.nuovo);
        break;
      case Scrittura::Bersaglio::riga: {
        voce& v = m.tabella.at(static_cast<size_t>(s.indice));
        const auto campo = static_cast<CampoRiga>(s.campo);
        if (campo == CampoRiga::nome) {
          v.nome = g.testi().at(static_cast<size_t>(s.nuovo));
        } else {
          metti_riga(v, campo, s.nuovo);
        }
        break;
      }
    }
  }
  return m;
}

}  // namespace calvetra
