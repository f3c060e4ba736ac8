#include "content/righe.h"

#include <stdexcept>

namespace calvetra {

std::string testo_righe(const Righe& righe) {
  std::string s;
  for (const std::string& riga : righe) {
    if (riga == kFineRighe) break;
    s += riga;
    s += "\r\n";
  }
  return s;
}

void carica_righe(Righe* righe, const std::vector<std::string>& testo) {
  const size_t slot = kSlotRighe;
  if (testo.size() >= slot) {
    throw std::length_error("troppe righe per la lista: " + std::to_string(testo.size()));
  }
  righe->assign(slot, "");
  for (size_t i = 0; i < testo.size(); ++i) (*righe)[i] = testo[i];
  (*righe)[testo.size()] = kFineRighe;
}

std::string a_destra(std::string_view testo, size_t larghezza) {
  std::string s;
  if (testo.size() < larghezza) s.assign(larghezza - testo.size(), ' ');
  s.append(testo);
  return s;
}

std::string a_sinistra(std::string_view testo, size_t larghezza) {
  std::string s(testo);
  if (s.size() < larghezza) s.append(larghezza - s.size(), ' ');
  return s;
}

std::string al_centro(std::string_view testo, size_t larghezza) {
  if (testo.size() >= larghezza) return std::string(testo);
  const size_t prima = (larghezza - testo.size()) / 2;
  return a_sinistra(std::string(prima, ' ') + std::string(testo), larghezza);
}

}  // namespace calvetra
