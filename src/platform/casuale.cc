#include "platform/casuale.h"

namespace calvetra {

bool suffisso_casuale(std::string* suffisso, std::string* errore) {
  static constexpr char kCaratteri[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  unsigned char byte[10];
  if (!byte_casuali(byte, sizeof byte, errore)) return false;
  suffisso->clear();
  for (unsigned char b : byte) suffisso->push_back(kCaratteri[b % 64]);
  return true;
}

}  // namespace calvetra
