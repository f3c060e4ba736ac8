#include "fields/lettura.h"

#include <algorithm>
#include <stdexcept>

#include "model/significato.h"

namespace calvetra {

Lettura::Lettura(FileSorgente file, const Lessico& lessico, Destinazione dest)
    : file_(file),
      m_(dest.modello),
      d_(dest.diagnostica),
      giornale_(dest.giornale),
      annullo_(dest.annullo),
      avvisi_(lessico, file, dest.diagnostica, file1_) {
  if (d_.avvisi_attivi()) file1_.osserva(&avvisi_);
}

bool Lettura::leggi_parola_chiave(int separatori, bool controlla_fine) {
  leggi_campo();
  if (fine()) {
    campo_finale();
    return false;
  }
  if (annullo_ != nullptr && annullo_->load(std::memory_order_relaxed)) return false;
  for (int i = 0; i < separatori && contiene_esatto(campo_, "-"); ++i) {
    leggi_campo();
    if (controlla_fine && fine()) {
      campo_finale();
      return false;
    }
  }
  return true;
}

void Lettura::campo_finale() {
  if (giornale_ != nullptr && tra_parentesi(campo_)) giornale_->chiusa(a(inizio_campo()));
}

namespace {

// The cell fields a record's catalogue entry names as where it stores.
uint16_t campi_cella(const DescrizioneRecord& record) {
  uint16_t bit = 0;
  for (const CampoRecord& c : record.campi) {
    if (c.deposito.dove != Dove::cella || c.deposito.campo.empty()) continue;
    for (uint8_t k = 0; k < kCampiCella; ++k) {
      if (c.deposito.campo == nome_campo(static_cast<CampoCella>(k))) {
        bit |= Giornale::bit(static_cast<CampoCella>(k));
      }
    }
  }
  return bit;
}

}  // namespace

void Lettura::apri_record(const DescrizioneRecord& record, size_t chiave) {
  if (giornale_ == nullptr) {
    m_.osservatore.provenienza.apri(a(chiave));
    return;
  }
  // Worked out once a kind of record: a long route has thousands of each.
  auto k = std::find_if(campi_cella_.begin(), campi_cella_.end(),
                        [&](const auto& x) { return x.first == &record; });
  if (k == campi_cella_.end()) {
    campi_cella_.emplace_back(&record, campi_cella(record));
    k = campi_cella_.end() - 1;
  }
  giornale_->apri(a(chiave), record.nome, fase_, k->second);
}

void Lettura::chiudi_record(std::span<const Estensione> campi) {
  if (giornale_ == nullptr) {
    // What comes between two records is the compile's own.
    m_.osservatore.provenienza.apri({});
    return;
  }
  giornale_->chiudi(campi);
  if (!d_.avvisi_attivi()) return;
  const std::vector<Cancellazione>& c = giornale_->cancellazioni();
  for (; cancellazioni_viste_ < c.size(); ++cancellazioni_viste_) {
    avvisi_.oggetto_cancellato(c[cancellazioni_viste_], *giornale_);
  }
}

void Lettura::ferma_lettura() {
  if (giornale_ == nullptr || !file1_.aperto()) return;
  giornale_->ferma({file_, file1_.posizione(), fase_, d_.ultimo_errore()});
}

void Lettura::campo_passato(size_t chiave) {
  if (giornale_ == nullptr) return;
  if (tra_parentesi(campo_)) giornale_->sezione(a(chiave));
  giornale_->apri(a(chiave), {}, fase_);
  giornale_->chiudi();
}

void LetturaRecord::rifiuta_campo() const {
  if (letti_ >= record_.campi.size() || letti_ >= campi_.size()) {
    throw std::logic_error("il record `" + std::string(record_.nome) + "` ha " +
                           std::to_string(record_.campi.size()) + " campi");
  }
  const CampoRecord& campo = record_.campi[letti_];
  throw std::logic_error("il campo " + std::string(campo.nome) + " del record `" +
                         std::string(record_.nome) + "` si legge come " +
                         nome_formato(campo.formato));
}

void LetturaRecord::verifica_completo() const {
  if (letti_ != record_.campi.size()) {
    throw std::logic_error("il record `" + std::string(record_.nome) + "` ha letto " +
                           std::to_string(letti_) + " campi su " +
                           std::to_string(record_.campi.size()));
  }
}

void LetturaRecord::rifiuta_destinazione(const CampoRecord& campo) {
  throw std::logic_error("il campo " + std::string(campo.nome) + " non entra nella destinazione");
}

void LetturaRecord::manca_campo(const CampoRecord& campo) const {
  throw GuastoInatteso("il file finisce prima del campo " + nome_campo(campo) + " del record `" +
                       std::string(record_.nome) + "`");
}

void LetturaRecord::non_entra(const CampoRecord& campo, const GuastoInatteso& e) const {
  const std::string u = campo.unita.empty() ? "" : ", in " + std::string(campo.unita);
  throw GuastoInatteso(std::string(e.what()) + ": il campo " + nome_campo(campo) + u +
                       " del record `" + std::string(record_.nome) + "`, letto a " +
                       nome_formato(campo.formato));
}

std::string LetturaRecord::testo() {
  const CampoRecord& campo = prossimo(false);
  if (l_.fine()) manca_campo(campo);
  l_.avvisi().campo_in_lettura(record_, letti_ - 1);
  std::string t = l_.file1().leggi_testo();
  const size_t inizio = l_.file1().inizio_campo();
  campi_[letti_ - 1] = estensione(inizio, l_.file1().fine_campo(), 0);
  completi_ = letti_;
  l_.avvisi().testo_letto(t, inizio);
  return t;
}

Luogo LetturaRecord::luogo(size_t campo) const {
  if (campo >= letti_) throw std::logic_error("campo non ancora letto");
  return {l_.file(), campi_[campo].inizio, campi_[campo].fine};
}

bool LetturaRecord::oltre_il_percorso(int32_t p, int32_t margine, size_t campo) {
  if (!l_.modello().oltre_limite(p, margine)) {
    if (l_.avvisi_attivi()) {
      const int32_t lunghezza = Intestazione(l_.modello().tabella).lunghezza_percorso();
      if (lunghezza > 0 && p > lunghezza) {
        l_.avvisi().oltre_la_fine(record_.frase, p, lunghezza, luogo(campo).offset);
      }
    }
    return false;
  }
  errore(CodiceErrore::oltre_il_percorso, luogo(campo), p);
  return true;
}

namespace {

void nota_record(Diagnostica& d, const RecordRegistrato* r, const std::string& che) {
  if (r == nullptr || r->chiave.file == FileSorgente::nessuno || d.voci().empty()) return;
  d.annota({"qui il record `" + std::string(r->nome) + "` che " + che, r->chiave});
}

}  // namespace

void LetturaRecord::nota_cella(int64_t cella) {
  const Giornale* g = l_.giornale();
  if (g == nullptr || cella < 0) return;
  nota_record(l_.diagnostica(), g->record_cella(static_cast<size_t>(cella)),
              "occupa gia' la cella " + std::to_string(cella));
}

void LetturaRecord::nota_riga(int64_t riga) {
  nota_riga(riga, "ha scritto la riga " + std::to_string(riga));
}

void LetturaRecord::nota_riga(int64_t riga, const std::string& che) {
  const Giornale* g = l_.giornale();
  if (g == nullptr || riga < 0 || riga >= kRigheTabella) return;
  nota_record(l_.diagnostica(), g->record_riga(static_cast<size_t>(riga)), che);
}

void LetturaRecord::avvisa_conservato() {
  if (record_.conserva == nullptr || !l_.avvisi_attivi()) return;
  std::array<int64_t, kCampiMassimi> valori{};
  for (size_t k = 0; k < letti_; ++k) valori[k] = campi_[k].valore;
  for (const Conservato& c : record_.conserva({valori.data(), letti_})) {
    if (c.campo < letti_) l_.avvisi().conservato(record_, c, campi_[c.campo].inizio);
  }
}

void LetturaRecord::in_ordine(int64_t posizione) {
  l_.avvisi().in_ordine(record_.frase, posizione);
}

void LetturaRecord::senza_sovrapposizione(int64_t inizio, int64_t fine) {
  l_.avvisi().senza_sovrapposizione(record_.frase, inizio, fine);
}

void esamina_record(Lettura& l, const Riconosciuti& trovati, size_t chiave) {
  Giornale* g = l.giornale();
  if (g != nullptr && tra_parentesi(l.campo())) g->sezione(l.a(chiave));
  if (trovati.attivi.empty()) {
    if (g != nullptr) g->esaminato(l.a(chiave), {}, l.fase(), {});
    return;
  }
  for (const DescrizioneRecord* d : trovati.attivi) {
    LetturaRecord r(l, *d, chiave);
    try {
      for (const CampoRecord& c : d->campi) {
        if (c.formato == Formato::testo) {
          r.testo();
        } else {
          r.numero();
        }
      }
    } catch (const GuastoInatteso& e) {
      l.diagnostica().avviso("non-entra",
                             std::string(e.what()) + ": compilato, finirebbe con l'errore 25",
                             l.a(l.inizio_campo()));
    }
    const std::span<const Estensione> campi = r.campi_letti();
    if (g != nullptr) g->esaminato(l.a(chiave), d->nome, l.fase(), campi);
  }
}

// Where examining resumes: the start of the line after `da`, unless `da`
// starts one; the fields left of a record the compile stopped in are its own.
size_t ripresa_esame(std::string_view testo, size_t da) {
  if (da == 0 || da >= testo.size()) return da;
  const char prima = testo[da - 1];
  if (prima == '\n' || prima == '\r') return da;
  while (da < testo.size() && testo[da] != '\n' && testo[da] != '\r') ++da;
  if (da < testo.size() && testo[da] == '\r') ++da;
  if (da < testo.size() && testo[da] == '\n') ++da;
  return da;
}

}  // namespace calvetra
