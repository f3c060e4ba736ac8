#include "output/file_celle.h"

#include "model/costanti.h"
#include "model/significato.h"

namespace calvetra {

using namespace formato_celle;

void codifica_tratto(std::string* s, const tratto& t) {
  // The record is packed in place and appended once: a route has tens of
  // thousands of cells.
  char r[kByteCella];
  scrivi_le(r + kTipo, t.tipo, 1);
  scrivi_le(r + kValoreA, static_cast<uint16_t>(t.valore_a), 2);
  scrivi_le(r + kValoreB, static_cast<uint16_t>(t.valore_b), 2);
  scrivi_le(r + kValoreC, static_cast<uint16_t>(t.valore_c), 2);
  scrivi_le(r + kValoreD, static_cast<uint16_t>(t.valore_d), 2);
  scrivi_le(r + kTempo, t.tempo, 1);
  scrivi_le(r + kPreavviso, t.preavviso, 1);
  scrivi_le(r + kMontagna, t.montagna, 1);
  scrivi_le(r + kVelocita, t.velocita, 1);
  scrivi_le(r + kPendenza, t.pendenza, 1);
  scrivi_le(r + kAderenza, t.aderenza, 1);
  s->append(r, kByteCella);
}

bool decodifica_tratto(LettoreBinario* in, tratto* t) {
  return in->get_u8(&t->tipo) && in->get_i16(&t->valore_a) && in->get_i16(&t->valore_b) &&
         in->get_i16(&t->valore_c) && in->get_i16(&t->valore_d) && in->get_u8(&t->tempo) &&
         in->get_u8(&t->preavviso) && in->get_u8(&t->montagna) && in->get_u8(&t->velocita) &&
         in->get_u8(&t->pendenza) && in->get_u8(&t->aderenza);
}

void codifica_celle(const std::vector<tratto>& tratti, Uscita* u) {
  u->prevedi(kByteCella * tratti.size(), kByteCella);
  for (const tratto& t : tratti) {
    codifica_tratto(u->buffer(), t);
    u->forse_svuota();
  }
}

int64_t celle_attese(int32_t lunghezza) {
  if (lunghezza > kLunghezzaMassima || lunghezza < -kRincorsa) return 0;
  return ultima_cella_per(lunghezza) + 1;
}

namespace {

std::string n(size_t v) { return std::to_string(v); }

}  // namespace

StatoLettura leggi_celle(std::string_view dati, int32_t lunghezza, std::vector<tratto>* tratti) {
  int64_t attese = celle_attese(lunghezza);
  if (dati.size() % kByteCella != 0) {
    const size_t resto = dati.size() % kByteCella;
    return StatoLettura::errore("corrotto: " + n(dati.size()) + " byte non sono un multiplo di " +
                                    n(kByteCella) + "; gli ultimi " + n(resto) +
                                    " byte, dal byte " + n(dati.size() - resto) +
                                    ", non formano una cella",
                                dati.size() - resto);
  }
  if (attese == 0) {
    // A length the compile refused: the cells are those of an earlier record.
    attese = static_cast<int64_t>(dati.size() / kByteCella);
    if (attese < kCelleMinime) {
      return StatoLettura::errore("troncato: " + n(dati.size()) + " byte, meno delle " +
                                      std::to_string(kCelleMinime) +
                                      " celle che il compilatore scrive almeno",
                                  dati.size());
    }
  }
  const auto byte_attesi = static_cast<size_t>(attese) * kByteCella;
  if (dati.size() < byte_attesi) {
    return StatoLettura::errore("troncato: il file finisce al byte " + n(dati.size()) + " dopo " +
                                    n(dati.size() / kByteCella) + " celle; la lunghezza " +
                                    std::to_string(lunghezza) + " m della tabella ne vuole " +
                                    std::to_string(attese) + " (" + n(byte_attesi) + " byte)",
                                dati.size());
  }
  if (dati.size() > byte_attesi) {
    return StatoLettura::errore(n(dati.size() - byte_attesi) + " byte in eccesso dal byte " +
                                    n(byte_attesi) + ": la lunghezza " + std::to_string(lunghezza) +
                                    " m della tabella vuole " + std::to_string(attese) + " celle",
                                byte_attesi);
  }
  LettoreBinario in(dati);
  tratti->assign(static_cast<size_t>(attese), tratto{});
  for (tratto& t : *tratti) decodifica_tratto(&in, &t);  // the size was checked
  const int16_t marchio = (*tratti)[kCellaIntestazione].valore_a;
  if (marchio != kMarchioCelle) {
    const size_t byte = kCellaIntestazione * kByteCella + kValoreA;
    return StatoLettura::errore(
        "corrotto: al byte " + n(byte) + " (cella " + n(kCellaIntestazione) + ", valore_a) c'e' " +
            std::to_string(marchio) + " invece del marchio " + std::to_string(kMarchioCelle),
        byte);
  }
  return StatoLettura::bene();
}

}  // namespace calvetra
