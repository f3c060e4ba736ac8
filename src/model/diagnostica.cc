#include "model/diagnostica.h"

#include <algorithm>
#include <utility>

namespace calvetra {

namespace {

// Adds `nota` to every diagnostic that `scelto` picks and that does not carry it yet.
template <typename Scelta>
void annota_se(std::vector<Diagnostico>& voci, const Nota& nota, Scelta scelto) {
  for (Diagnostico& d : voci) {
    if (scelto(d) && std::find(d.note.begin(), d.note.end(), nota) == d.note.end()) {
      d.note.push_back(nota);
    }
  }
}

}  // namespace

void Diagnostica::aggiungi(Diagnostico d) {
  // Room for many at the first: a vector that grows by doubling moves all
  // it holds each time, and touches fresh pages for them. Room reserved and
  // never written costs nothing.
  if (voci_.capacity() == 0) voci_.reserve(kVociIniziali);
  voci_.push_back(std::move(d));
}

void Diagnostica::errore(CodiceErrore codice, Luogo luogo) {
  Diagnostico d;
  d.codice = codice;
  d.posizione = posizione_errore_;
  d.con_posizione = true;
  d.luogo = luogo;
  for (auto a = attese_.begin(); a != attese_.end();) {
    if (a->codice == CodiceErrore::nessuno || a->codice == codice) {
      d.note.push_back(std::move(a->nota));
      a = attese_.erase(a);
    } else {
      ++a;
    }
  }
  aggiungi(std::move(d));
  ultimo_errore_ = voci_.size();
  codice_errore_ = codice;
}

void Diagnostica::errore(CodiceErrore codice, Luogo luogo, int32_t posizione) {
  posizione_errore_ = posizione;
  errore(codice, luogo);
}

void Diagnostica::fatale(CodiceErrore codice, Luogo luogo, std::string messaggio) {
  Diagnostico d;
  d.codice = codice;
  d.messaggio = std::move(messaggio);
  d.luogo = luogo;
  d.fatale = true;
  aggiungi(std::move(d));
}

void Diagnostica::segna_non_compilati(size_t da) {
  for (size_t i = da; i < voci_.size(); ++i) voci_[i].non_compilato = true;
}

void Diagnostica::riposiziona(int32_t posizione) {
  posizione_errore_ = posizione;
  if (ultimo_errore_ != 0) voci_[ultimo_errore_ - 1].posizione = posizione;
}

void Diagnostica::riposiziona(int32_t posizione, const Luogo& da) {
  const bool altrove = ultimo_errore_ != 0 && voci_[ultimo_errore_ - 1].posizione != posizione;
  riposiziona(posizione);
  if (!avvisi_attivi() || !altrove || da.file == FileSorgente::nessuno) return;
  Diagnostico& e = voci_[ultimo_errore_ - 1];
  e.note.push_back(
      {"la posizione " + std::to_string(posizione) + " m e' di questo record, letto con l'errore " +
           std::to_string(numero(e.codice)) + " gia' registrato: qui la compilazione si ferma",
       da});
}

void Diagnostica::avviso(std::string nome, std::string messaggio, Luogo luogo,
                         std::vector<Nota> note) {
  if (!avvisi_attivi()) return;
  Diagnostico d;
  d.gravita = Gravita::avviso;
  d.nome = std::move(nome);
  d.messaggio = std::move(messaggio);
  d.luogo = luogo;
  d.note = std::move(note);
  aggiungi(std::move(d));
}

void Diagnostica::colloca(int32_t posizione) {
  if (!avvisi_attivi() || voci_.empty()) return;
  Diagnostico& d = voci_.back();
  d.posizione = posizione;
  d.con_posizione = true;
}

void Diagnostica::correggi(Correzione c) {
  if (!avvisi_attivi() || voci_.empty()) return;
  voci_.back().correzioni.push_back(std::move(c));
}

void Diagnostica::senza_correzione(std::string messaggio) {
  if (!avvisi_attivi() || voci_.empty()) return;
  voci_.back().senza_correzione = std::move(messaggio);
}

void Diagnostica::pretende(Pretesa p) {
  if (!avvisi_attivi() || voci_.empty()) return;
  voci_.back().pretesa = p;
}

void Diagnostica::dichiara(Dichiarazione d) {
  if (!avvisi_attivi() || voci_.empty()) return;
  voci_.back().dichiarazioni.push_back(std::move(d));
}

void Diagnostica::attendi(CodiceErrore codice, Nota nota) {
  if (avvisi_attivi()) attese_.push_back({codice, std::move(nota)});
}

void Diagnostica::dimentica(CodiceErrore codice) {
  std::erase_if(attese_, [&](const Attesa& a) { return a.codice == codice; });
}

void Diagnostica::annota_avvisi(std::string_view nome, const Nota& nota) {
  annota_se(voci_, nota,
            [&](const Diagnostico& d) { return d.gravita == Gravita::avviso && d.nome == nome; });
}

void Diagnostica::annota(Nota nota) { voci_.back().note.push_back(std::move(nota)); }

void Diagnostica::annota_errori(CodiceErrore codice, const Nota& nota) {
  annota_se(voci_, nota, [&](const Diagnostico& d) {
    return d.gravita == Gravita::errore && d.codice == codice;
  });
}

std::vector<Diagnostico> Diagnostica::errori() const {
  std::vector<Diagnostico> e;
  for (const Diagnostico& d : voci_) {
    if (d.gravita == Gravita::errore) e.push_back(d);
  }
  return e;
}

bool Diagnostica::ha_avvisi() const {
  for (const Diagnostico& d : voci_) {
    if (d.gravita == Gravita::avviso) return true;
  }
  return false;
}

}  // namespace calvetra
