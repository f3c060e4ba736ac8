#include "output/file_binari.h"

#include <bit>
#include <cstring>

#include "model/codifica.h"

namespace calvetra {

void codifica_voce(std::string* s, const voce& v) {
  // The fixed fields before and after the name are packed in place: three
  // appends instead of one a field.
  char testa[16];
  scrivi_le(testa, v.tipo, 1);
  scrivi_le(testa + 1, static_cast<uint32_t>(v.inizio), 4);
  scrivi_le(testa + 5, static_cast<uint32_t>(v.fine), 4);
  scrivi_le(testa + 9, static_cast<uint32_t>(v.posizione), 4);
  scrivi_le(testa + 13, v.opz_a, 1);
  scrivi_le(testa + 14, static_cast<uint16_t>(v.nome.size()), 2);  // REQUIRES: <= 65535
  char coda[kByteVoceVuota - sizeof testa];
  scrivi_le(coda, static_cast<uint16_t>(v.cod_a), 2);
  scrivi_le(coda + 2, static_cast<uint16_t>(v.cod_b), 2);
  scrivi_le(coda + 4, static_cast<uint16_t>(v.cod_c), 2);
  scrivi_le(coda + 6, static_cast<uint16_t>(v.cod_d), 2);
  scrivi_le(coda + 8, static_cast<uint16_t>(v.cod_e), 2);
  scrivi_le(coda + 10, v.opz_b, 1);
  scrivi_le(coda + 11, v.opz_c, 1);
  scrivi_le(coda + 12, v.opz_d, 1);
  scrivi_le(coda + 13, v.opz_e, 1);
  scrivi_le(coda + 14, static_cast<uint32_t>(v.orario), 4);
  s->append(testa, sizeof testa);
  s->append(v.nome);
  s->append(coda, sizeof coda);
}

void codifica_tratto(std::string* s, const tratto& t) {
  // The record is packed in place and appended once: a route has tens of
  // thousands of cells.
  char r[kByteCella];
  scrivi_le(r, t.tipo, 1);
  scrivi_le(r + 1, static_cast<uint16_t>(t.valore_a), 2);
  scrivi_le(r + 3, static_cast<uint16_t>(t.valore_b), 2);
  scrivi_le(r + 5, static_cast<uint16_t>(t.valore_c), 2);
  scrivi_le(r + 7, static_cast<uint16_t>(t.valore_d), 2);
  scrivi_le(r + 9, t.tempo, 1);
  scrivi_le(r + 10, t.preavviso, 1);
  scrivi_le(r + 11, t.montagna, 1);
  scrivi_le(r + 12, t.velocita, 1);
  scrivi_le(r + 13, t.pendenza, 1);
  scrivi_le(r + 14, t.aderenza, 1);
  s->append(r, kByteCella);
}

namespace {

// The longest element: a tag and a double.
constexpr size_t kByteElementoMassimo = 10;

// Writes one element at p in the packed layout; returns its size.
size_t scrivi_elemento(char* p, Geometria::Genere genere, double v) {
  scrivi_le(p, static_cast<uint16_t>(genere), 2);
  if (genere == Geometria::Genere::intero) {
    // The seeds 0 and 1, as a 16-bit two's complement number.
    scrivi_le(p + 2, static_cast<uint16_t>(static_cast<int16_t>(v)), 2);
    return 4;
  }
  if (genere == Geometria::Genere::reale) {
    scrivi_le(p + 2, std::bit_cast<uint64_t>(v), 8);
    return 10;
  }
  return 2;
}

double coordinata_di(const Geometria& g, int coordinata, int32_t m) {
  return coordinata == 0 ? g.x(m) : g.y(m);
}

// The bytes of the elements of metres da to a of one coordinate: the seeds
// take 4, the computed metres 10, the empty ones 2.
size_t byte_elementi(const Geometria& g, int32_t da, int32_t a) {
  const auto entro = [da, a](int64_t dal, int64_t al) -> size_t {
    const int64_t inizio = dal > da ? dal : da;
    const int64_t fine = al < a ? al : a;
    return fine >= inizio ? static_cast<size_t>(fine - inizio + 1) : 0;
  };
  const size_t tutti = entro(da, a);
  if (g.genere(0) != Geometria::Genere::intero) return 2 * tutti;
  const size_t semi = entro(0, 1);
  const size_t calcolati = entro(2, int64_t{g.prossimo()} - 1);
  return 4 * semi + 10 * calcolati + 2 * (tutti - semi - calcolati);
}

}  // namespace

void codifica_elemento(std::string* s, const Geometria& g, int coordinata, int32_t m) {
  char elemento[kByteElementoMassimo];
  s->append(elemento, scrivi_elemento(elemento, g.genere(m), coordinata_di(g, coordinata, m)));
}

void codifica_elementi(std::string* s, const Geometria& g, int coordinata, int32_t da, int32_t a) {
  if (a < da) return;
  // The plan is written one element at a time into space made once: growing
  // the buffer byte by byte costs several times the integration itself.
  const size_t inizio = s->size();
  s->resize(inizio + byte_elementi(g, da, a));
  char* p = s->data() + inizio;
  for (int32_t m = da; m <= a; ++m) {
    p += scrivi_elemento(p, g.genere(m), coordinata_di(g, coordinata, m));
  }
}

bool decodifica_voce(LettoreBinario* in, voce* v) {
  return in->get_u8(&v->tipo) && in->get_i32(&v->inizio) && in->get_i32(&v->fine) &&
         in->get_i32(&v->posizione) && in->get_u8(&v->opz_a) && in->get_stringa(&v->nome) &&
         in->get_i16(&v->cod_a) && in->get_i16(&v->cod_b) && in->get_i16(&v->cod_c) &&
         in->get_i16(&v->cod_d) && in->get_i16(&v->cod_e) && in->get_u8(&v->opz_b) &&
         in->get_u8(&v->opz_c) && in->get_u8(&v->opz_d) && in->get_u8(&v->opz_e) &&
         in->get_i32(&v->orario);
}

bool decodifica_tratto(LettoreBinario* in, tratto* t) {
  return in->get_u8(&t->tipo) && in->get_i16(&t->valore_a) && in->get_i16(&t->valore_b) &&
         in->get_i16(&t->valore_c) && in->get_i16(&t->valore_d) && in->get_u8(&t->tempo) &&
         in->get_u8(&t->preavviso) && in->get_u8(&t->montagna) && in->get_u8(&t->velocita) &&
         in->get_u8(&t->pendenza) && in->get_u8(&t->aderenza);
}

EsitoElemento decodifica_elemento(LettoreBinario* in, ElementoGeometria* e) {
  uint16_t genere = 0;
  if (!in->get_u16(&genere)) return EsitoElemento::troncato;
  switch (genere) {
    case static_cast<uint16_t>(Geometria::Genere::vuoto):
      *e = ElementoGeometria{};
      return EsitoElemento::ok;
    case static_cast<uint16_t>(Geometria::Genere::intero): {
      int16_t v = 0;
      if (!in->get_i16(&v)) return EsitoElemento::troncato;
      *e = ElementoGeometria{Geometria::Genere::intero, static_cast<double>(v)};
      return EsitoElemento::ok;
    }
    case static_cast<uint16_t>(Geometria::Genere::reale): {
      double v = 0.0;
      if (!in->get_f64(&v)) return EsitoElemento::troncato;
      *e = ElementoGeometria{Geometria::Genere::reale, v};
      return EsitoElemento::ok;
    }
    default: return EsitoElemento::genere_sconosciuto;
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

void codifica_geometria(const Geometria& geometria, Uscita* u) {
  constexpr int32_t kMetriPerBlocco = 1 << 12;  // 40 KB of elements at most
  const int32_t T = geometria.esiste() ? geometria.ultimo_metro() : -1;
  // The plan is the one large file: its buffer is made once instead of being
  // regrown and copied.
  u->prevedi(2 * byte_elementi(geometria, 0, T), kByteElementoMassimo * kMetriPerBlocco);
  for (int coordinata = 0; coordinata < 2; ++coordinata) {
    for (int32_t m = 0; m <= T; m += kMetriPerBlocco) {
      const int32_t fino = T - m < kMetriPerBlocco ? T : m + kMetriPerBlocco - 1;
      codifica_elementi(u->buffer(), geometria, coordinata, m, fino);
      u->forse_svuota();
    }
  }
}

void codifica_tabella(const Tabella& tabella, Uscita* u) {
  for (const voce& v : tabella) {
    codifica_voce(u->buffer(), v);
    u->forse_svuota();
  }
}

void codifica_celle(const std::vector<tratto>& tratti, Uscita* u) {
  u->prevedi(kByteCella * tratti.size(), kByteCella);
  for (const tratto& t : tratti) {
    codifica_tratto(u->buffer(), t);
    u->forse_svuota();
  }
}

}  // namespace calvetra
