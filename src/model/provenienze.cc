#include "model/provenienze.h"

namespace calvetra {

namespace {

// The part of a cell that its object owns.
bool stesso_oggetto(const tratto& a, const tratto& b) {
  return a.tipo == b.tipo && a.valore_a == b.valore_a && a.valore_b == b.valore_b &&
         a.valore_c == b.valore_c && a.valore_d == b.valore_d && a.tempo == b.tempo;
}

}  // namespace

void Provenienze::osserva(const Modello& m) {
  tratti_visti_ = m.tratti;
  tabella_vista_ = m.tabella;
  if (celle_.size() < m.tratti.size()) celle_.resize(m.tratti.size());
}

void Provenienze::accredita(const Modello& m, Luogo record) {
  // Cells made anew since the last look are compared with empty ones.
  if (tratti_visti_.size() != m.tratti.size()) tratti_visti_.resize(m.tratti.size());
  if (celle_.size() < m.tratti.size()) celle_.resize(m.tratti.size());
  for (size_t c = 0; c < m.tratti.size(); ++c) {
    if (stesso_oggetto(m.tratti[c], tratti_visti_[c])) continue;
    celle_[c] = record;
    tratti_visti_[c] = m.tratti[c];
  }
  for (size_t r = 0; r < m.tabella.size(); ++r) {
    if (m.tabella[r] == tabella_vista_[r]) continue;
    righe_[r] = record;
    tabella_vista_[r] = m.tabella[r];
  }
}

const char* nome_derivazione(Provenienze::Derivazione d) {
  switch (d) {
    case Provenienze::Derivazione::nessuna: return "";
    case Provenienze::Derivazione::posta: return "posta";
    case Provenienze::Derivazione::abbassata: return "abbassata";
  }
  return "";
}

void Provenienze::deriva(size_t c, size_t causa, Derivazione come) {
  if (c >= celle_.size()) return;
  if (derivazioni_.size() < celle_.size()) {
    derivazioni_.resize(celle_.size());
    cause_.resize(celle_.size());
  }
  const Luogo l = cella(causa);
  derivazioni_[c] = come;
  cause_[c] = l;
  if (come == Derivazione::posta) celle_[c] = l;
}

}  // namespace calvetra
