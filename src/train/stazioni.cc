// Stations: one `tabella` row each, from row 1 upward in file order, and for
// the ordinary types a stop cell at the end of the station zone with four
// approach cells before it.
#include <cstdint>
#include <string>

#include "model/numeri.h"
#include "train/fase_treno.h"

namespace calvetra {

namespace {

// Types at or above this mark no cells.
constexpr int kTipoSenzaCelle = 25;
// Least gap between one station zone and the next, metres.
constexpr int64_t kDistanzaMinima = 350;

voce& riga_stazione(Form1& f, int32_t r) {
  // Stations stay below the sign rows, so a row outside 1 to 80 cannot be
  // reached by a well-formed run.
  if (r < 1 || r > 80) throw GuastoInatteso("riga di stazione " + std::to_string(r));
  return f.tabella[static_cast<size_t>(r)];
}

Seguito termina(Form1& f, int32_t codice, size_t campo) {
  f.chiudi_ed_elimina(f.nome_file_treno());
  f.registra_errore(codice, campo);
  return Seguito::esci;
}

Seguito termina_con_posizione(Form1& f, int32_t codice, size_t campo, int32_t posizione) {
  termina(f, codice, campo);
  f.posizione_errore = posizione;
  return Seguito::esci;
}

// Zone start and end by type; types 5 to 8 never take the extra 50 m and lose
// `opz_d` once both ends are stored (a zone end that does not fit leaves it as read).
void zona(voce& v, int64_t L) {
  const int64_t pos = v.posizione;
  const bool zona_piena = v.tipo >= 5 && v.tipo <= 8;
  int64_t inizio = pos - L / 2;
  int64_t fine = pos + L / 2 + (v.opz_d != 0 ? 50 : 0);
  if (v.tipo == 5 || v.tipo == 6) {
    inizio = pos - L;
    fine = pos + 150;
  } else if (v.tipo == 7 || v.tipo == 8) {
    inizio = pos - L;
    fine = pos + L;
  }
  v.inizio = in_campo<int32_t>(inizio, "inizio");
  v.fine = in_campo<int32_t>(fine, "fine");
  if (zona_piena) v.opz_d = 0;
}

// The four cells before the stop cell carry 81 to 84, 81 nearest. Cells that
// would fall outside the route are skipped.
void celle_di_avvicinamento(Form1& f, const voce& v) {
  const int64_t H = f.ultima_cella();
  const int64_t base = arrotonda_div(v.fine, 50);
  for (int k = 1; k <= 4; ++k) {
    const int64_t t = base - k - 1;
    if (t > 1 && t <= H) f.cella(t).preavviso = static_cast<uint8_t>(80 + k);
  }
}

}  // namespace

Seguito voce_stazione(Form1& f, StatoTreno& s, size_t chiave) {
  const int32_t r = s.riga_stazione;
  // A row that already holds a sign text (the line has 80 signs) is never
  // written over: the station is refused before anything of it is stored.
  if (r > f.riga_cartello) return termina(f, 10, chiave);

  voce& v = riga_stazione(f, r);
  v.posizione = f.file1.leggi_32();
  const size_t campo_posizione = f.file1.inizio_campo();
  if (oltre_il_percorso(f, v.posizione, 800, campo_posizione)) return Seguito::fine_corpo;
  if (v.posizione % 50 != 0) return termina_con_posizione(f, 8, campo_posizione, v.posizione);

  v.tipo = f.file1.leggi_8();
  const int32_t L = f.file1.leggi_32();
  if (L % 100 != 0) {
    return termina_con_posizione(f, 9, f.file1.inizio_campo(), v.posizione);
  }

  v.opz_a = f.file1.leggi_8();
  v.opz_e = f.file1.leggi_8();
  v.opz_d = f.file1.leggi_8();
  v.cod_a = f.file1.leggi_16();
  v.cod_b = f.file1.leggi_16();
  v.opz_b = f.file1.leggi_8();
  v.cod_c = f.file1.leggi_16();
  v.cod_d = f.file1.leggi_16();
  v.cod_e = f.file1.leggi_16();
  v.opz_c = f.file1.leggi_8();
  const int64_t ore = f.file1.leggi_32();
  const int64_t minuti = f.file1.leggi_32();
  const int64_t secondi = f.file1.leggi_32();
  v.orario = in_campo<int32_t>((ore * 60 + minuti) * 60 + secondi, "orario");
  v.nome = f.file1.leggi_testo();

  zona(v, L);
  if (L < 600) v.opz_e = 0;
  // The first station never has these options; its 50 m, if any, are
  // already in `fine`.
  if (r == 1) {
    v.opz_d = 0;
    v.opz_e = 0;
  }

  if (v.tipo < kTipoSenzaCelle) {
    if (v.tipo != 5 && v.tipo != 6) celle_di_avvicinamento(f, v);
    const int64_t t = arrotonda_div(v.fine, 50) - 1;
    if (t <= 1) return termina(f, 24, chiave);
    tratto& fermata = f.cella(t);
    fermata.tipo = kFermata;
    fermata.valore_a = in_campo<int16_t>(r, "valore_a");
  }

  if (r > 1) {
    const voce& precedente = riga_stazione(f, r - 1);
    if (static_cast<int64_t>(v.inizio) - kDistanzaMinima < precedente.fine) {
      return termina_con_posizione(f, 22, campo_posizione, v.posizione);
    }
  }

  s.riga_stazione = r + 1;
  if (s.riga_stazione >= f.riga_cartello) return termina(f, 10, chiave);
  return Seguito::avanti;
}

}  // namespace calvetra
