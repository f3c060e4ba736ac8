#include "output/file_tabella.h"

#include <array>

#include "model/costanti.h"
#include "model/significato.h"
#include "output/file_celle.h"

namespace calvetra {

using namespace formato_tabella;

void codifica_voce(std::string* s, const voce& v) {
  // The fixed fields before and after the name are packed in place: three
  // appends instead of one a field.
  char testa[kNome];
  scrivi_le(testa + kTipo, v.tipo, 1);
  scrivi_le(testa + kInizio, static_cast<uint32_t>(v.inizio), 4);
  scrivi_le(testa + kFine, static_cast<uint32_t>(v.fine), 4);
  scrivi_le(testa + kPosizione, static_cast<uint32_t>(v.posizione), 4);
  scrivi_le(testa + kOpzA, v.opz_a, 1);
  scrivi_le(testa + kLunghezzaNome, static_cast<uint16_t>(v.nome.size()), 2);  // REQUIRES: fits
  char coda[kCoda];
  scrivi_le(coda + kCodA, static_cast<uint16_t>(v.cod_a), 2);
  scrivi_le(coda + kCodB, static_cast<uint16_t>(v.cod_b), 2);
  scrivi_le(coda + kCodC, static_cast<uint16_t>(v.cod_c), 2);
  scrivi_le(coda + kCodD, static_cast<uint16_t>(v.cod_d), 2);
  scrivi_le(coda + kCodE, static_cast<uint16_t>(v.cod_e), 2);
  scrivi_le(coda + kOpzB, v.opz_b, 1);
  scrivi_le(coda + kOpzC, v.opz_c, 1);
  scrivi_le(coda + kOpzD, v.opz_d, 1);
  scrivi_le(coda + kOpzE, v.opz_e, 1);
  scrivi_le(coda + kOrario, static_cast<uint32_t>(v.orario), 4);
  s->append(testa, sizeof testa);
  s->append(v.nome);
  s->append(coda, sizeof coda);
}

bool decodifica_voce(LettoreBinario* in, voce* v) {
  return in->get_u8(&v->tipo) && in->get_i32(&v->inizio) && in->get_i32(&v->fine) &&
         in->get_i32(&v->posizione) && in->get_u8(&v->opz_a) && in->get_stringa(&v->nome) &&
         in->get_i16(&v->cod_a) && in->get_i16(&v->cod_b) && in->get_i16(&v->cod_c) &&
         in->get_i16(&v->cod_d) && in->get_i16(&v->cod_e) && in->get_u8(&v->opz_b) &&
         in->get_u8(&v->opz_c) && in->get_u8(&v->opz_d) && in->get_u8(&v->opz_e) &&
         in->get_i32(&v->orario);
}

void codifica_tabella(const Tabella& tabella, Uscita* u) {
  for (const voce& v : tabella) {
    codifica_voce(u->buffer(), v);
    u->forse_svuota();
  }
}

bool nomi_codificabili(const Tabella& tabella, size_t* lunghezza) {
  for (const voce& v : tabella) {
    if (v.nome.size() > kNomeMassimo) {
      *lunghezza = v.nome.size();
      return false;
    }
  }
  return true;
}

namespace {

std::string n(size_t v) { return std::to_string(v); }

}  // namespace

StatoLettura leggi_tabella(std::string_view dati, Tabella* tabella) {
  LettoreBinario in(dati);
  std::array<size_t, kRigheTabella> inizi{};
  for (size_t r = 0; r < tabella->size(); ++r) {
    const size_t inizio = in.posizione();
    inizi[r] = inizio;
    if (!decodifica_voce(&in, &(*tabella)[r])) {
      return StatoLettura::errore("troncato: la riga " + n(r) + ", che inizia al byte " +
                                      n(inizio) + ", supera la fine del file (" + n(dati.size()) +
                                      " byte); servono " + n(kRigheTabella) + " righe",
                                  inizio);
    }
  }
  if (!in.finito()) {
    return StatoLettura::errore(n(in.rimanenti()) + " byte in eccesso dal byte " +
                                    n(in.posizione()) + ", dopo le " + n(kRigheTabella) +
                                    " righe della tabella",
                                in.posizione());
  }
  const voce& r85 = (*tabella)[kRigaLinea];
  if (r85.cod_a != kMarchioTabella) {
    const size_t byte = inizi[kRigaLinea] + kNome + r85.nome.size() + kCodA;
    return StatoLettura::errore("corrotto: al byte " + n(byte) + " (riga " + n(kRigaLinea) +
                                    ", cod_a) c'e' " + std::to_string(r85.cod_a) +
                                    " invece del marchio " + std::to_string(kMarchioTabella),
                                byte);
  }
  const int32_t L = Intestazione(*tabella).lunghezza_percorso();
  if (celle_attese(L) == 1) {
    const size_t byte = inizi[kRigaPercorso] + kFine;
    return StatoLettura::errore("corrotto: al byte " + n(byte) + " (riga " + n(kRigaPercorso) +
                                    ", fine) la lunghezza del percorso " + std::to_string(L) +
                                    " m da' una sola cella",
                                byte);
  }
  return StatoLettura::bene();
}

}  // namespace calvetra
