#include "model/giornale.h"

#include <algorithm>
#include <iterator>

namespace calvetra {

namespace {

// The fields of a cell that belong to its object; the later ones (the
// approach code, the mountain and the three stretches) are marks any object
// takes.
bool dell_oggetto(uint8_t campo) { return campo <= static_cast<uint8_t>(CampoCella::tempo); }

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

size_t Giornale::apri(Luogo chiave, std::string_view nome, Fase fase, uint16_t campi_cella) {
  if (aperto_) chiudi();
  campi_aperto_ = campi_cella;
  RecordRegistrato r;
  r.chiave = chiave;
  r.nome = nome;
  r.fase = fase;
  if (fase != Fase::passo) r.sezione = sezione_;
  r.prima_scrittura = static_cast<uint32_t>(scritture_.size());
  records_.push_back(std::move(r));
  aperto_ = true;
  return records_.size() - 1;
}

std::span<const Estensione> Giornale::conserva(std::span<const Estensione> campi) {
  if (campi.empty()) return {};
  // A record's fields that do not fit in the last block begin a new one,
  // as long as they need.
  if (capienza_ - usati_ < campi.size()) {
    capienza_ = std::max(campi.size(), kEstensioniBlocco);
    blocchi_.emplace_back(std::allocator<Estensione>{}.allocate(capienza_), Blocco{capienza_});
    usati_ = 0;
  }
  Estensione* posto = blocchi_.back().get() + usati_;
  std::uninitialized_copy(campi.begin(), campi.end(), posto);
  usati_ += campi.size();
  return {posto, campi.size()};
}

void Giornale::chiudi(std::span<const Estensione> campi) {
  if (!aperto_) return;
  scarica();
  RecordRegistrato& r = records_.back();
  if (!campi.empty()) r.campi = conserva(campi);
  r.scritture = static_cast<uint32_t>(scritture_.size() - r.prima_scrittura);
  aperto_ = false;
}

void Giornale::esaminato(Luogo chiave, std::string_view nome, Fase fase,
                         std::span<const Estensione> campi) {
  if (aperto_) chiudi();
  RecordRegistrato r;
  r.chiave = chiave;
  r.nome = nome;
  r.fase = fase;
  r.sezione = sezione_;
  r.compilato = false;
  r.campi = conserva(campi);
  r.prima_scrittura = static_cast<uint32_t>(scritture_.size());
  records_.push_back(std::move(r));
}

void Giornale::tocca_cella_nuova(size_t c) {
  // A write outside every record belongs to the compile itself.
  if (!aperto_) passo("");
  if (rango_celle_.size() <= c) rango_celle_.resize(c + 1, 0);
  rango_celle_[c] = prossimo_rango_++;
  ++records_.back().toccati;
  if (c < raggiunte_.size()) raggiunte_[c] |= campi_aperto_;
}

void Giornale::tocca_riga(size_t r) {
  if (r >= rango_righe_.size() || rango_righe_[r] >= primo_rango_) return;
  if (!aperto_) passo("");
  rango_righe_[r] = prossimo_rango_++;
  ++records_.back().toccati;
}

void Giornale::scrive_riga(size_t r, CampoRiga f, int64_t prima, int64_t dopo) {
  tocca_riga(r);
  if (prima == dopo || r >= rango_righe_.size()) return;
  annota(Scrittura::Bersaglio::riga, static_cast<uint8_t>(f), r, rango_righe_[r], prima, dopo);
}

void Giornale::scrive_nome(size_t r, const std::string& prima, const std::string& dopo) {
  tocca_riga(r);
  if (prima == dopo || r >= rango_righe_.size()) return;
  testi_.push_back(prima);
  testi_.push_back(dopo);
  annota(Scrittura::Bersaglio::riga, static_cast<uint8_t>(CampoRiga::nome), r, rango_righe_[r],
         static_cast<int64_t>(testi_.size() - 2), static_cast<int64_t>(testi_.size() - 1));
}

namespace {

// Where a write stands in the order the readers know: cells before rows,
// each in the order the record reached it, its fields in the order of their
// enumeration. Plus one, so that every key is above the 0 of none.
uint64_t chiave(Scrittura::Bersaglio b, uint32_t rango, uint8_t campo) {
  return ((uint64_t{static_cast<uint8_t>(b)} << 40) | (uint64_t{rango} << 8) | campo) + 1;
}

}  // namespace

void Giornale::annota(Scrittura::Bersaglio b, uint8_t campo, size_t indice, uint32_t rango,
                      int64_t prima, int64_t dopo) {
  const uint64_t k = chiave(b, rango, campo);
  // A field written twice, or a cell reached earlier written later: the
  // record's writes are put in order when it closes.
  if (k <= ultima_chiave_) in_disordine_ = true;
  ultima_chiave_ = k;
  scritture_.push_back({b, campo, static_cast<int32_t>(indice),
                        static_cast<uint32_t>(records_.size() - 1), static_cast<int32_t>(prima),
                        static_cast<int32_t>(dopo)});
}

void Giornale::riempie_celle(std::span<const tratto> celle, size_t da, CampoCella f, int64_t dopo) {
  if (celle.empty()) return;
  if (!aperto_) passo("");
  // An object's field is written a cell at a time: who owns a cell, and
  // what a later record erased, follow from those writes.
  if (dell_oggetto(static_cast<uint8_t>(f))) {
    for (size_t k = 0; k < celle.size(); ++k) {
      scrive_cella(da + k, f, valore_campo(celle[k], f), dopo);
    }
    return;
  }
  const size_t fine = da + celle.size();
  if (rango_celle_.size() < fine) rango_celle_.resize(fine, 0);
  const auto campo = static_cast<uint8_t>(f);
  const auto record = static_cast<uint32_t>(records_.size() - 1);
  const auto nuovo = static_cast<uint8_t>(dopo);
  const size_t gia = vecchi_.size();
  vecchi_.resize(gia + celle.size());
  // What the loop keeps of the journal is held in locals, which no write
  // can touch (an old value is a byte, and a byte written may be any
  // memory), and put back after it.
  const auto riempie = [&](auto membro) {
    const size_t primo = da;
    const size_t oltre = fine;
    const size_t n = oltre - primo;
    const uint8_t valore = nuovo;
    const tratto* const prime = celle.data();
    uint8_t* const vecchio = vecchi_.data() + gia;
    // Each cell the record open had not reached takes the next rank; when
    // it had reached none yet (a record's one fill), the ranks are simply
    // those that follow.
    uint32_t* const ranghi = rango_celle_.data();
    uint32_t rango = prossimo_rango_;
    size_t toccati = 0;
    if (prossimo_rango_ == primo_rango_) {
      for (size_t k = 0; k < n; ++k) ranghi[primo + k] = rango + static_cast<uint32_t>(k);
      rango += static_cast<uint32_t>(n);
      toccati = n;
    } else {
      const uint32_t primo_rango = primo_rango_;
      for (size_t c = primo; c < oltre; ++c) {
        if (ranghi[c] >= primo_rango) continue;
        ranghi[c] = rango++;
        ++toccati;
      }
    }
    prossimo_rango_ = rango;
    records_.back().toccati += static_cast<uint32_t>(toccati);
    // The fields of the record open reach every cell of the fill (again or
    // not: the same bits).
    uint16_t* const raggiunte = raggiunte_.data();
    const uint16_t campi_aperto = campi_aperto_;
    const size_t raggiungibili = std::min(oltre, raggiunte_.size());
    for (size_t c = primo; c < raggiungibili; ++c) raggiunte[c] |= campi_aperto;
    // The old values, and whether any cell held the new one already. Most
    // often none did: the fill is one run.
    size_t uguali = 0;
    for (size_t k = 0; k < n; ++k) {
      const uint8_t prima = prime[k].*membro;
      vecchio[k] = prima;
      uguali += prima == valore ? 1 : 0;
    }
    if (uguali == 0) {
      scritture_.push_back({Scrittura::Bersaglio::fascia, campo, static_cast<int32_t>(primo),
                            record, static_cast<int32_t>(n), nuovo});
      return n;
    }
    // Otherwise a run for each stretch of cells that changed, and the old
    // values of those alone.
    uint8_t* v = vecchio;
    size_t inizio = oltre;  // the first cell of the run being read; oltre for none
    for (size_t c = primo; c < oltre; ++c) {
      const uint8_t prima = prime[c - primo].*membro;
      if (prima != valore) {
        if (inizio == oltre) inizio = c;
        *v++ = prima;
        continue;
      }
      if (inizio != oltre) {
        scritture_.push_back({Scrittura::Bersaglio::fascia, campo, static_cast<int32_t>(inizio),
                              record, static_cast<int32_t>(c - inizio), nuovo});
        inizio = oltre;
      }
    }
    if (inizio != oltre) {
      scritture_.push_back({Scrittura::Bersaglio::fascia, campo, static_cast<int32_t>(inizio),
                            record, static_cast<int32_t>(oltre - inizio), nuovo});
    }
    return static_cast<size_t>(v - vecchio);
  };
  size_t cambiate = 0;
  switch (f) {
    case CampoCella::preavviso: cambiate = riempie(&tratto::preavviso); break;
    case CampoCella::montagna: cambiate = riempie(&tratto::montagna); break;
    case CampoCella::velocita: cambiate = riempie(&tratto::velocita); break;
    case CampoCella::pendenza: cambiate = riempie(&tratto::pendenza); break;
    case CampoCella::aderenza: cambiate = riempie(&tratto::aderenza); break;
    default: break;
  }
  vecchi_.resize(gia + cambiate);
  fasce_ = fasce_ || cambiate > 0;
}

void Giornale::crea_celle(size_t n) {
  if (!aperto_) passo("");
  // What was written before belongs to the cells that are about to go.
  scarica();
  Scrittura s;
  s.bersaglio = Scrittura::Bersaglio::celle;
  s.record = static_cast<uint32_t>(records_.size() - 1);
  s.nuovo = static_cast<int32_t>(n);
  scritture_.push_back(s);
  // Room for a few writes a cell: the fills write every cell twice or three
  // times, and a vector that grows by doubling copies all it holds and
  // touches fresh pages each time. Pages reserved and never written cost
  // nothing.
  scritture_.reserve(scritture_.size() + 4 * n);
  da_ordinare_ = scritture_.size();
  // Sized once: a fill reaches the cells one by one, upward.
  if (rango_celle_.size() < n) rango_celle_.resize(n, 0);
  celle_.assign(n, 0);
  raggiunte_.assign(n, 0);
  derivazioni_.clear();
  abbassate_.clear();
}

void Giornale::ordina_e_unisci() {
  const auto inizio = scritture_.begin() + static_cast<std::ptrdiff_t>(da_ordinare_);
  const auto chiave_di = [this](const Scrittura& s) {
    const auto i = static_cast<size_t>(s.indice);
    return chiave(s.bersaglio,
                  s.bersaglio == Scrittura::Bersaglio::cella ? rango_celle_[i] : rango_righe_[i],
                  s.campo);
  };
  // Mostly a few runs already in order, one a fill (the closing step fills
  // the speeds, then the adhesions, over the same cells): merged, stably,
  // they are in order at a comparison a write.
  std::vector<std::ptrdiff_t> corse = {0};
  for (auto i = inizio + 1; i < scritture_.end() && corse.size() <= kCorseDaFondere; ++i) {
    if (chiave_di(*i) < chiave_di(*(i - 1))) corse.push_back(i - inizio);
  }
  if (corse.size() <= kCorseDaFondere) {
    const auto per_chiave = [&chiave_di](const Scrittura& a, const Scrittura& b) {
      return chiave_di(a) < chiave_di(b);
    };
    for (size_t k = 1; k < corse.size(); ++k) {
      const auto fine = k + 1 < corse.size() ? inizio + corse[k + 1] : scritture_.end();
      std::inplace_merge(inizio, inizio + corse[k], fine, per_chiave);
    }
    unisci(inizio);
    return;
  }
  // Each cell and row reached has a rank from primo_rango_ to below
  // prossimo_rango_: the writes go into one bucket per rank (the rows' after
  // the cells'), in the order they were made, and each bucket's few fields
  // are then put in order in place. Linear: the fills of a closing step
  // reach thousands of cells.
  const size_t ranghi = prossimo_rango_ - primo_rango_;
  const auto secchio = [this, ranghi](const Scrittura& s) {
    const auto i = static_cast<size_t>(s.indice);
    return s.bersaglio == Scrittura::Bersaglio::cella ? size_t{rango_celle_[i] - primo_rango_}
                                                      : ranghi + (rango_righe_[i] - primo_rango_);
  };
  std::vector<size_t> posto(2 * ranghi + 1, 0);
  for (auto i = inizio; i != scritture_.end(); ++i) ++posto[secchio(*i) + 1];
  for (size_t b = 1; b < posto.size(); ++b) posto[b] += posto[b - 1];
  std::vector<Scrittura> ordinate(static_cast<size_t>(scritture_.end() - inizio));
  for (auto i = inizio; i != scritture_.end(); ++i) ordinate[posto[secchio(*i)]++] = *i;
  // Stable: two writes of one field keep the order they were made in.
  for (size_t k = 1; k < ordinate.size(); ++k) {
    const Scrittura s = ordinate[k];
    size_t j = k;
    for (; j > 0; --j) {
      const Scrittura& p = ordinate[j - 1];
      if (p.bersaglio != s.bersaglio || p.indice != s.indice || p.campo <= s.campo) break;
      ordinate[j] = p;
    }
    ordinate[j] = s;
  }
  std::copy(ordinate.begin(), ordinate.end(), inizio);
  unisci(inizio);
}

void Giornale::unisci(std::vector<Scrittura>::iterator inizio) {
  // One write a field: from the value before the first to the value after
  // the last; none when they are the same.
  auto fuori = inizio;
  for (auto i = inizio; i != scritture_.end(); ++i) {
    if (fuori != inizio) {
      Scrittura& p = *(fuori - 1);
      if (p.bersaglio == i->bersaglio && p.indice == i->indice && p.campo == i->campo) {
        p.nuovo = i->nuovo;
        continue;
      }
    }
    *fuori++ = *i;
  }
  scritture_.erase(fuori, scritture_.end());
  const auto uguale = [this](const Scrittura& s) {
    if (s.bersaglio == Scrittura::Bersaglio::riga &&
        s.campo == static_cast<uint8_t>(CampoRiga::nome)) {
      return testi_[static_cast<size_t>(s.vecchio)] == testi_[static_cast<size_t>(s.nuovo)];
    }
    return s.vecchio == s.nuovo;
  };
  scritture_.erase(std::remove_if(inizio, scritture_.end(), uguale), scritture_.end());
}

void Giornale::togli_fasce() {
  tolte_.clear();
  if (!fasce_) return;
  const auto inizio = scritture_.begin() + static_cast<std::ptrdiff_t>(da_ordinare_);
  const auto e_fascia = [](const Scrittura& s) {
    return s.bersaglio == Scrittura::Bersaglio::fascia;
  };
  std::copy_if(inizio, scritture_.end(), std::back_inserter(tolte_), e_fascia);
  // Most often a record's one fill and nothing else: nothing to look for.
  if (tolte_.size() == 1 && scritture_.end() - inizio == 1) {
    scritture_.erase(inizio, scritture_.end());
    return;
  }
  // The runs by field and first cell: two runs of a field that share a
  // cell, or a single write inside a run of its field, are one field
  // written twice.
  ordinate_.assign(tolte_.begin(), tolte_.end());
  const auto prima = [](const Scrittura& a, const Scrittura& b) {
    return a.campo != b.campo ? a.campo < b.campo : a.indice < b.indice;
  };
  std::sort(ordinate_.begin(), ordinate_.end(), prima);
  bool due_volte = false;
  for (size_t k = 1; k < ordinate_.size() && !due_volte; ++k) {
    due_volte = ordinate_[k].campo == ordinate_[k - 1].campo &&
                ordinate_[k].indice - ordinate_[k - 1].indice < ordinate_[k - 1].vecchio;
  }
  uint16_t campi = 0;
  for (const Scrittura& f : tolte_) campi |= bit(static_cast<CampoCella>(f.campo));
  for (auto i = inizio; i != scritture_.end() && !due_volte; ++i) {
    if (i->bersaglio != Scrittura::Bersaglio::cella ||
        (campi & bit(static_cast<CampoCella>(i->campo))) == 0) {
      continue;
    }
    // The last run of its field that begins at or before its cell.
    Scrittura cerca;
    cerca.campo = i->campo;
    cerca.indice = i->indice;
    const auto dopo = std::upper_bound(ordinate_.begin(), ordinate_.end(), cerca, prima);
    due_volte = dopo != ordinate_.begin() && (dopo - 1)->campo == i->campo &&
                (dopo - 1)->in_cella(static_cast<size_t>(i->indice));
  }
  if (!due_volte) {
    scritture_.erase(std::remove_if(inizio, scritture_.end(), e_fascia), scritture_.end());
    return;
  }
  // Each run becomes its single writes where it stood, and the record's
  // writes are put in order and merged as any others.
  std::vector<Scrittura> singole;
  const uint8_t* vecchio = vecchi_.data();
  for (auto i = inizio; i != scritture_.end(); ++i) {
    if (!e_fascia(*i)) {
      singole.push_back(*i);
      continue;
    }
    for (size_t c = 0; c < i->celle(); ++c) {
      singole.push_back({Scrittura::Bersaglio::cella, i->campo,
                         static_cast<int32_t>(static_cast<size_t>(i->indice) + c), i->record,
                         *vecchio++, i->nuovo});
    }
  }
  scritture_.erase(inizio, scritture_.end());
  scritture_.insert(scritture_.end(), singole.begin(), singole.end());
  in_disordine_ = true;
  tolte_.clear();
}

void Giornale::scarica() {
  togli_fasce();
  if (in_disordine_) ordina_e_unisci();
  scritture_.insert(scritture_.end(), tolte_.begin(), tolte_.end());
  fasce_ = false;
  vecchi_.clear();
  const size_t indice = records_.size() - 1;
  // A step of the compile owns nothing: its writes go to the records whose
  // objects caused them.
  if (!records_.back().passo() && modello_ != nullptr) {
    const std::vector<tratto>& tratti = modello_->tratti;
    for (size_t k = da_ordinare_; k < scritture_.size(); ++k) {
      const Scrittura& s = scritture_[k];
      const auto i = static_cast<size_t>(s.indice);
      if (s.bersaglio == Scrittura::Bersaglio::riga) {
        righe_[i] = indice + 1;
        continue;
      }
      // The first write to a cell is its first field written: the object's,
      // if the object changed at all.
      if (s.bersaglio != Scrittura::Bersaglio::cella || !dell_oggetto(s.campo) ||
          (k > da_ordinare_ && scritture_[k - 1].bersaglio == s.bersaglio &&
           scritture_[k - 1].indice == s.indice) ||
          i >= tratti.size()) {
        continue;
      }
      if (celle_.size() < tratti.size()) celle_.resize(tratti.size(), 0);
      const uint8_t tipo_prima = s.campo == static_cast<uint8_t>(CampoCella::tipo)
                                     ? static_cast<uint8_t>(s.vecchio)
                                     : tratti[i].tipo;
      const size_t proprietario = celle_[i];
      if (oggetto(tipo_prima) && proprietario != 0 && proprietario - 1 != indice) {
        cancellazioni_.push_back({i, proprietario - 1, indice, tipo_prima, tratti[i].tipo});
      }
      celle_[i] = static_cast<uint32_t>(indice + 1);
    }
  }
  da_ordinare_ = scritture_.size();
  ultima_chiave_ = 0;
  in_disordine_ = false;
  // The next record's ranks begin past this one's, which forgets every
  // touch at once. A record reaches each cell and row once at most, so the
  // ranks are begun again, by hand, long before they could run out.
  if (prossimo_rango_ >= kRangoDaRiprendere) {
    std::fill(rango_celle_.begin(), rango_celle_.end(), 0);
    rango_righe_.fill(0);
    prossimo_rango_ = 1;
  }
  primo_rango_ = prossimo_rango_;
}

void Giornale::deriva(size_t c, size_t causa, Derivazione come) {
  if (c >= celle_.size()) return;
  if (derivazioni_.size() < celle_.size()) derivazioni_.resize(celle_.size(), Derivazione::nessuna);
  const uint32_t chi = causa < celle_.size() ? celle_[causa] : 0;
  derivazioni_[c] = come;
  // A placed cell is its cause's (nothing after the pass writes an
  // object); a lowered one keeps its cause apart. causa() reads the one
  // that the cell's derivation names.
  if (come == Derivazione::posta) {
    celle_[c] = chi;
  } else {
    abbassate_[static_cast<uint32_t>(c)] = chi;
  }
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
  size_t chi = 0;
  switch (derivazione(c)) {
    case Derivazione::nessuna: break;
    case Derivazione::posta: chi = celle_[c]; break;
    case Derivazione::abbassata: chi = abbassate_.at(static_cast<uint32_t>(c)); break;
  }
  const RecordRegistrato* r = record_di(chi);
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
    if (s.campo == static_cast<uint8_t>(campo) && s.in_cella(c)) return &s;
  }
  return nullptr;
}

std::vector<const Scrittura*> Giornale::scritture_in_cella(size_t i, size_t c) const {
  std::vector<const Scrittura*> in_cella;
  if (i >= records_.size()) return in_cella;
  const RecordRegistrato& r = records_[i];
  for (size_t k = r.prima_scrittura; k < r.prima_scrittura + r.scritture; ++k) {
    if (scritture_[k].in_cella(c)) in_cella.push_back(&scritture_[k]);
  }
  // The single writes come in the order of their fields, the runs after.
  std::stable_sort(in_cella.begin(), in_cella.end(),
                   [](const Scrittura* a, const Scrittura* b) { return a->campo < b->campo; });
  return in_cella;
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
      case Scrittura::Bersaglio::fascia:
        for (size_t c = 0; c < s.celle(); ++c) {
          metti_campo(m.tratti.at(static_cast<size_t>(s.indice) + c),
                      static_cast<CampoCella>(s.campo), s.nuovo);
        }
        break;
      case Scrittura::Bersaglio::riga: {
        voce& v = m.tabella.at(static_cast<size_t>(s.indice));
        const auto campo = static_cast<CampoRiga>(s.campo);
        if (campo == CampoRiga::nome) {
          v.nome = g.testi().at(static_cast<size_t>(s.nuovo));
        } else {
          metti_campo(v, campo, s.nuovo);
        }
        break;
      }
    }
  }
  return m;
}

}  // namespace calvetra
