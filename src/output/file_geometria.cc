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

// The bytes of an element of a known tag, tag included; 0 for another tag.
size_t byte_del_genere(uint16_t genere) {
  switch (genere) {
    case static_cast<uint16_t>(Geometria::Genere::vuoto): return kByteEtichetta;
    case static_cast<uint16_t>(Geometria::Genere::intero): return kByteIntero;
    case static_cast<uint16_t>(Geometria::Genere::reale): return kByteReale;
    default: return 0;
  }
}

}  // namespace

StatoLettura leggi_geometria(std::string dati, int32_t lunghezza, PianoLetto* piano) {
  int64_t metri = 0;
  const StatoLettura misura = metri_del_piano(dati, lunghezza, &metri);
  if (!misura.ok()) return misura;
  // Only the tags are looked at here, one after the other, since an
  // element's size is its tag's; the values wait until a metre is asked for.
  LettoreBinario in(dati);
  for (int c = 0; c < 2; ++c) {
    std::vector<PianoLetto::Serie>& serie = piano->serie_[c];
    serie.clear();
    for (int64_t m = 0; m < metri; ++m) {
      const size_t inizio = in.posizione();
      uint16_t genere = 0;
      const bool etichetta = in.get_u16(&genere);
      const size_t byte = byte_del_genere(genere);
      if (etichetta && byte != 0 && in.salta(byte - kByteEtichetta)) {
        const auto g = static_cast<Geometria::Genere>(genere);
        if (serie.empty() || serie.back().genere != g) {
          serie.push_back({static_cast<size_t>(m), inizio, g});
        }
        // The rest of the run at a step of its elements' size: a compiled
        // plan is three runs, a million metres long for the longest route.
        for (uint16_t dopo = 0; m + 1 < metri && in.rimanenti() >= byte; ++m) {
          LettoreBinario avanti = in;
          if (!avanti.get_u16(&dopo) || dopo != genere) break;
          in.salta(byte);
        }
        continue;
      }
      const std::string quale =
          std::string("elemento ") + nome_coordinata(c) + " del metro " + std::to_string(m);
      if (inizio == dati.size()) {
        return StatoLettura::errore("troncato: il file finisce al byte " + n(dati.size()) +
                                        ", prima dell'" + quale + "; la lunghezza " +
                                        std::to_string(lunghezza) + " m della tabella vuole 2 x " +
                                        std::to_string(metri) + " elementi",
                                    inizio);
      }
      if (etichetta && byte == 0) {
        return StatoLettura::errore("corrotto: etichetta " + std::to_string(genere) +
                                        " sconosciuta al byte " + n(inizio) + " (" + quale +
                                        "); valgono solo 0, 2 e 5",
                                    inizio);
      }
      return StatoLettura::errore("troncato: l'" + quale + ", che inizia al byte " + n(inizio) +
                                      ", supera la fine del file (" + n(dati.size()) + " byte)",
                                  inizio);
    }
  }
  if (!in.finito()) {
    return StatoLettura::errore(n(in.rimanenti()) + " byte in eccesso dal byte " +
                                    n(in.posizione()) + ", dopo i 2 x " + std::to_string(metri) +
                                    " elementi della lunghezza " + std::to_string(lunghezza) +
                                    " m (forse il file di una compilazione precedente)",
                                in.posizione());
  }
  piano->metri_ = static_cast<size_t>(metri);
  piano->dati_ = std::move(dati);
  return StatoLettura::bene();
}

StatoLettura leggi_geometria(std::string_view dati, int32_t lunghezza, PianoLetto* piano) {
  return leggi_geometria(std::string(dati), lunghezza, piano);
}

const PianoLetto::Serie& PianoLetto::serie_di(int coordinata, size_t m) const {
  const std::vector<Serie>& s = serie_[coordinata];
  // The last run that starts at or before m; the first starts at metre 0.
  const auto dopo =
      std::upper_bound(s.begin(), s.end(), m, [](size_t v, const Serie& e) { return v < e.metro; });
  return *(dopo - 1);
}

size_t PianoLetto::fine_serie(int coordinata, size_t i) const {
  const std::vector<Serie>& s = serie_[coordinata];
  return i + 1 < s.size() ? s[i + 1].metro : metri_;
}

ElementoGeometria PianoLetto::elemento(int coordinata, size_t m) const {
  const Serie& s = serie_di(coordinata, m);
  const size_t byte = byte_del_genere(static_cast<uint16_t>(s.genere));
  LettoreBinario in(std::string_view(dati_).substr(s.byte + (m - s.metro) * byte, byte));
  ElementoGeometria e;
  decodifica_elemento(&in, &e);  // checked when the file was read
  return e;
}

PianoLetto::Conteggio PianoLetto::conteggio(int coordinata) const {
  Conteggio n;
  for (size_t i = 0; i < serie_[coordinata].size(); ++i) {
    const auto metri =
        static_cast<int64_t>(fine_serie(coordinata, i) - serie_[coordinata][i].metro);
    switch (serie_[coordinata][i].genere) {
      case Geometria::Genere::vuoto: n.vuoti += metri; break;
      case Geometria::Genere::intero: n.interi += metri; break;
      case Geometria::Genere::reale: n.reali += metri; break;
    }
  }
  return n;
}

std::vector<PianoLetto::Intervallo> PianoLetto::pieni() const {
  // The metres with a value of each coordinate, as ranges [da, a).
  std::vector<std::pair<size_t, size_t>> con_valore[2];
  for (int c = 0; c < 2; ++c) {
    for (size_t i = 0; i < serie_[c].size(); ++i) {
      if (serie_[c][i].genere == Geometria::Genere::vuoto) continue;
      const size_t da = serie_[c][i].metro, a = fine_serie(c, i);
      if (!con_valore[c].empty() && con_valore[c].back().second == da) {
        con_valore[c].back().second = a;
      } else {
        con_valore[c].emplace_back(da, a);
      }
    }
  }
  std::vector<Intervallo> r;
  const auto& x = con_valore[0];
  const auto& y = con_valore[1];
  for (size_t i = 0, j = 0; i < x.size() && j < y.size();) {
    const size_t da = std::max(x[i].first, y[j].first);
    const size_t a = std::min(x[i].second, y[j].second);
    if (da < a) r.push_back({da, a - 1});
    if (x[i].second < y[j].second) {
      ++i;
    } else {
      ++j;
    }
  }
  return r;
}

}  // namespace calvetra
