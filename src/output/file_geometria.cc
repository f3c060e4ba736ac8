#include "output/file_geometria.h"

#include <algorithm>
#include <bit>
#include <memory>

#include "model/costanti.h"
#include "model/significato.h"
#include "output/file_celle.h"

namespace calvetra {

using namespace formato_geometria;

namespace {

// Writes one element at p in the packed layout; returns its size.
size_t scrivi_elemento(char* p, Geometria::Genere genere, double v) {
  scrivi_le(p, static_cast<uint16_t>(genere), kByteEtichetta);
  if (genere == Geometria::Genere::intero) {
    // The seeds 0 and 1, as a 16-bit two's complement number.
    scrivi_le(p + kByteEtichetta, static_cast<uint16_t>(static_cast<int16_t>(v)), 2);
    return kByteIntero;
  }
  if (genere == Geometria::Genere::reale) {
    scrivi_le(p + kByteEtichetta, std::bit_cast<uint64_t>(v), 8);
    return kByteReale;
  }
  return kByteEtichetta;
}

// The file in blocks of metres: for each coordinate, each block's values are
// worked out and its elements handed to `in_coda`, which gives the room for
// n bytes at the end of the output.
template <typename InCoda>
void percorri_file(const Geometria& g, InCoda in_coda) {
  constexpr int32_t kMetriPerBlocco = 1 << 12;  // 40 KB of elements at most
  const int32_t T = g.esiste() ? g.ultimo_metro() : -1;
  if (T < 0) return;
  const std::unique_ptr<double[]> x(new double[kMetriPerBlocco]);
  const std::unique_ptr<double[]> y(new double[kMetriPerBlocco]);
  // The y part starts where x ends, a size known before the first metre; y
  // is worked out again rather than kept from the x part.
  for (int coordinata = 0; coordinata < 2; ++coordinata) {
    CalcoloPiano calcolo(g);
    for (int32_t m = 0; m <= T; m += kMetriPerBlocco) {
      const int32_t fino = T - m < kMetriPerBlocco ? T : m + kMetriPerBlocco - 1;
      calcolo.prossimi(x.get(), y.get(), fino - m + 1);
      codifica_elementi(in_coda(byte_elementi(g, m, fino)), g, m, fino,
                        coordinata == 0 ? x.get() : y.get());
    }
  }
}

}  // namespace

size_t byte_elementi(const Geometria& g, int32_t da, int32_t a) {
  const auto entro = [da, a](int64_t dal, int64_t al) -> size_t {
    const int64_t inizio = dal > da ? dal : da;
    const int64_t fine = al < a ? al : a;
    return fine >= inizio ? static_cast<size_t>(fine - inizio + 1) : 0;
  };
  const size_t tutti = entro(da, a);
  if (g.genere(0) != Geometria::Genere::intero) return kByteEtichetta * tutti;
  const size_t semi = entro(0, 1);
  const size_t calcolati = entro(2, int64_t{g.prossimo()} - 1);
  return kByteIntero * semi + kByteReale * calcolati + kByteEtichetta * (tutti - semi - calcolati);
}

void codifica_elemento(std::string* s, Geometria::Genere genere, double valore) {
  char elemento[kByteReale];
  s->append(elemento, scrivi_elemento(elemento, genere, valore));
}

void codifica_elementi(char* p, const Geometria& g, int32_t da, int32_t a, const double* valori) {
  // The metres that hold a coordinate come first; the empty ones after
  // them are not read from `valori`.
  const int32_t pieni =
      g.genere(0) == Geometria::Genere::vuoto ? da : std::clamp(g.prossimo(), da, a + 1);
  int32_t m = da;
  for (; m < pieni; ++m) p += scrivi_elemento(p, g.genere(m), valori[m - da]);
  for (; m <= a; ++m) p += scrivi_elemento(p, Geometria::Genere::vuoto, 0.0);
}

void codifica_geometria(const Geometria& geometria, Uscita* u) {
  constexpr size_t kMargine = kByteReale << 12;  // one block of elements
  const int32_t T = geometria.esiste() ? geometria.ultimo_metro() : -1;
  u->prevedi(2 * byte_elementi(geometria, 0, T), kMargine);
  percorri_file(geometria, [u](size_t n) {
    u->forse_svuota();
    return u->in_coda(n);
  });
}

std::string codifica_geometria(const Geometria& geometria) {
  std::string s;
  const int32_t T = geometria.esiste() ? geometria.ultimo_metro() : -1;
  s.reserve(2 * byte_elementi(geometria, 0, T));
  percorri_file(geometria, [&s](size_t n) {
    s.resize(s.size() + n);
    return s.data() + s.size() - n;
  });
  return s;
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

namespace {

std::string n(size_t v) { return std::to_string(v); }

const char* nome_coordinata(int c) { return c == 0 ? "x" : "y"; }

// The elements of a plan file, counted; a failure at the first one that
// cannot be decoded.
StatoLettura conta_elementi(std::string_view dati, int64_t* quanti) {
  LettoreBinario in(dati);
  *quanti = 0;
  while (!in.finito()) {
    const size_t inizio = in.posizione();
    ElementoGeometria e;
    const EsitoElemento esito = decodifica_elemento(&in, &e);
    if (esito != EsitoElemento::ok) {
      const bool troncato = esito == EsitoElemento::troncato;
      return StatoLettura::errore(
          std::string(troncato ? "troncato: " : "corrotto: ") + "l'elemento " +
              std::to_string(*quanti) + ", che inizia al byte " + n(inizio) +
              (troncato ? ", supera la fine del file" : ", ha un'etichetta sconosciuta"),
          inizio);
    }
    ++*quanti;
  }
  return StatoLettura::bene();
}

// The metres a plan file holds: L + 7001 for a length the compiler accepts,
// otherwise half its elements.
StatoLettura metri_del_piano(std::string_view dati, int32_t lunghezza, int64_t* metri) {
  const int64_t celle = celle_attese(lunghezza);
  if (celle == 1) {
    return StatoLettura::errore(
        "la lunghezza " + std::to_string(lunghezza) + " m non da' una geometria", 0);
  }
  if (celle != 0) {
    *metri = int64_t{lunghezza} + kRincorsa + 1;
    return StatoLettura::bene();
  }
  // A length the compile refused: the plan is that of an earlier record, x
  // and y of the same number of metres.
  int64_t elementi = 0;
  const StatoLettura contati = conta_elementi(dati, &elementi);
  if (!contati.ok()) return contati;
  if (elementi == 0 || elementi % 2 != 0) {
    return StatoLettura::errore("corrotto: " + std::to_string(elementi) +
                                    " elementi non si dividono in x e y dello stesso numero di "
                                    "metri",
                                0);
  }
  *metri = elementi / 2;
  return StatoLettura::bene();
}

}  // namespace

StatoLettura leggi_geometria(std::string_view dati, int32_t lunghezza, PianoLetto* piano) {
  int64_t metri = 0;
  const StatoLettura misura = metri_del_piano(dati, lunghezza, &metri);
  if (!misura.ok()) return misura;
  LettoreBinario in(dati);
  for (int c = 0; c < 2; ++c) {
    std::vector<ElementoGeometria>& coordinata = c == 0 ? piano->x : piano->y;
    coordinata.assign(static_cast<size_t>(metri), ElementoGeometria{});
    for (int64_t m = 0; m < metri; ++m) {
      const size_t inizio = in.posizione();
      // Named only in a message: built when one is written.
      const auto quale = [c, m] {
        return std::string("elemento ") + nome_coordinata(c) + " del metro " + std::to_string(m);
      };
      if (in.finito()) {
        return StatoLettura::errore("troncato: il file finisce al byte " + n(dati.size()) +
                                        ", prima dell'" + quale() + "; la lunghezza " +
                                        std::to_string(lunghezza) + " m della tabella vuole 2 x " +
                                        std::to_string(metri) + " elementi",
                                    inizio);
      }
      switch (decodifica_elemento(&in, &coordinata[static_cast<size_t>(m)])) {
        case EsitoElemento::ok: break;
        case EsitoElemento::troncato:
          return StatoLettura::errore("troncato: l'" + quale() + ", che inizia al byte " +
                                          n(inizio) + ", supera la fine del file (" +
                                          n(dati.size()) + " byte)",
                                      inizio);
        case EsitoElemento::genere_sconosciuto: {
          LettoreBinario etichetta(dati.substr(inizio));
          uint16_t tag = 0;
          etichetta.get_u16(&tag);
          return StatoLettura::errore("corrotto: etichetta " + std::to_string(tag) +
                                          " sconosciuta al byte " + n(inizio) + " (" + quale() +
                                          "); valgono solo 0, 2 e 5",
                                      inizio);
        }
      }
    }
  }
  if (!in.finito()) {
    return StatoLettura::errore(n(in.rimanenti()) + " byte in eccesso dal byte " +
                                    n(in.posizione()) + ", dopo i 2 x " + std::to_string(metri) +
                                    " elementi della lunghezza " + std::to_string(lunghezza) +
                                    " m (forse il file di una compilazione precedente)",
                                in.posizione());
  }
  return StatoLettura::bene();
}

}  // namespace calvetra
