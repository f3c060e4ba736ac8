#include "fields/lettura.h"

#include <stdexcept>

#include "model/significato.h"

namespace calvetra {

Lettura::Lettura(FileSorgente file, const Lessico& lessico, Destinazione dest)
    : file_(file),
      m_(dest.modello),
      d_(dest.diagnostica),
      provenienze_(dest.provenienze),
      avvisi_(lessico, file, dest.diagnostica, file1_) {
  if (d_.avvisi_attivi()) file1_.osserva(&avvisi_);
}

bool Lettura::leggi_parola_chiave(int separatori, bool controlla_fine) {
  leggi_campo();
  if (fine()) return false;
  for (int i = 0; i < separatori && contiene_esatto(campo_, "-"); ++i) {
    leggi_campo();
    if (controlla_fine && fine()) return false;
  }
  return true;
}

void Lettura::osserva() const {
  if (provenienze_ != nullptr) provenienze_->osserva(m_);
}

void Lettura::accredita(size_t chiave) const {
  if (provenienze_ != nullptr) provenienze_->accredita(m_, a(chiave));
}

void Lettura::registra(const DescrizioneRecord& record, size_t chiave,
                       std::span<const size_t> campi) const {
  if (provenienze_ == nullptr) return;
  provenienze_->registra({a(chiave), record.nome, {campi.begin(), campi.end()}});
}

void LetturaRecord::rifiuta_campo() const {
  if (letti_ >= record_.campi.size() || letti_ >= inizi_.size()) {
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
  throw GuastoInatteso("il file finisce prima del campo " + std::string(campo.nome) +
                       " del record `" + std::string(record_.nome) + "`");
}

void LetturaRecord::non_entra(const CampoRecord& campo, const GuastoInatteso& e) const {
  const std::string u = campo.unita.empty() ? "" : ", in " + std::string(campo.unita);
  throw GuastoInatteso(std::string(e.what()) + ": il campo " + std::string(campo.nome) + u +
                       " del record `" + std::string(record_.nome) + "`, letto a " +
                       nome_formato(campo.formato));
}

std::string LetturaRecord::testo() {
  const CampoRecord& campo = prossimo(false);
  if (l_.fine()) manca_campo(campo);
  std::string t = l_.file1().leggi_testo();
  const size_t inizio = l_.file1().inizio_campo();
  inizi_[letti_ - 1] = inizio;
  l_.avvisi().testo_letto(t, inizio);
  return t;
}

Luogo LetturaRecord::luogo(size_t campo) const {
  if (campo >= letti_) throw std::logic_error("campo non ancora letto");
  return l_.a(inizi_[campo]);
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

void LetturaRecord::avvisa_conservato() {
  if (record_.conserva == nullptr || !l_.avvisi_attivi()) return;
  for (const Conservato& c : record_.conserva({valori_.data(), letti_})) {
    if (c.campo < letti_) l_.avvisi().conservato(record_, c.messaggio, inizi_[c.campo]);
  }
}

void LetturaRecord::in_ordine(int64_t posizione) {
  l_.avvisi().in_ordine(record_.frase, posizione);
}

void LetturaRecord::senza_sovrapposizione(int64_t inizio, int64_t fine) {
  l_.avvisi().senza_sovrapposizione(record_.frase, inizio, fine);
}

}  // namespace calvetra
