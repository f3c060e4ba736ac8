// Stations: one `tabella` row each, from row 1 upward in file order, and for
// the ordinary types a stop cell at the end of the station zone with four
// approach cells before it.
#include <cstdint>
#include <string>

#include "model/numeri.h"
#include "train/voci_treno.h"

namespace calvetra {

namespace {

// Types at or above this mark no cells.
constexpr int kTipoSenzaCelle = 25;
// Least gap between one station zone and the next, metres.
constexpr int64_t kDistanzaMinima = 350;

voce& riga_stazione(Modello& m, int32_t r) {
  // Stations stay below the sign rows, so a row outside 1 to 80 cannot be
  // reached by a well-formed run.
  if (r < kPrimaRigaStazione || r > kUltimaRigaCartello) {
    throw GuastoInatteso("riga di stazione " + std::to_string(r));
  }
  return m.tabella[static_cast<size_t>(r)];
}

Seguito termina(CorpoTreno& c, CodiceErrore codice, size_t campo) {
  c.l.diagnostica.errore(codice, c.l.a(campo));
  return Seguito::esci;
}

Seguito termina_con_posizione(CorpoTreno& c, CodiceErrore codice, size_t campo, int32_t posizione) {
  c.l.diagnostica.errore(codice, c.l.a(campo), posizione);
  return Seguito::esci;
}

// Zone start and end by type; types 5 to 8 never take the extra 50 m and lose
// `opz_d` once both ends are stored (a zone end that does not fit leaves it as read).
void zona(voce& v, int64_t L) {
  const int64_t pos = v.posizione;
  const bool zona_piena = v.tipo >= 5 && v.tipo <= 8;
  int64_t inizio = pos - L / 2;
  int64_t fine = pos + L / 2 + (v.opz_d != 0 ? kMetriCella : 0);
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
void celle_di_avvicinamento(Modello& m, const voce& v) {
  const int64_t H = m.ultima_cella();
  const int64_t base = arrotonda_div(v.fine, kMetriCella);
  for (int k = 1; k <= 4; ++k) {
    const int64_t t = base - k - 1;
    if (t > 1 && t <= H) m.cella(t).preavviso = static_cast<uint8_t>(80 + k);
  }
}

}  // namespace

Seguito voce_stazione(CorpoTreno& c, size_t chiave) {
  const int32_t r = c.s.riga_stazione;
  // A row that already holds a sign text (the line has 80 signs) is never
  // written over: the station is refused before anything of it is stored.
  if (r > c.riga_cartello)
    return termina(c, CodiceErrore::stazioni_sulle_righe_dei_cartelli, chiave);

  LettoreCampi& file1 = c.l.file1;
  voce& v = riga_stazione(c.m, r);
  v.posizione = file1.leggi_32();
  const size_t campo_posizione = file1.inizio_campo();
  if (c.l.oltre_il_percorso(c.m, v.posizione, kMargineStazione, campo_posizione))
    return Seguito::fine_corpo;
  c.l.avvisi.in_ordine("la stazione", v.posizione);
  if (v.posizione % kMetriCella != 0) {
    return termina_con_posizione(c, CodiceErrore::stazione_fuori_passo, campo_posizione,
                                 v.posizione);
  }

  v.tipo = file1.leggi_8();
  const int32_t L = file1.leggi_32();
  if (L % 100 != 0)
    return termina_con_posizione(c, CodiceErrore::lunghezza_stazione_fuori_passo,
                                 file1.inizio_campo(), v.posizione);

  v.opz_a = file1.leggi_8();
  v.opz_e = file1.leggi_8();
  v.opz_d = file1.leggi_8();
  v.cod_a = file1.leggi_16();
  v.cod_b = file1.leggi_16();
  v.opz_b = file1.leggi_8();
  v.cod_c = file1.leggi_16();
  v.cod_d = file1.leggi_16();
  v.cod_e = file1.leggi_16();
  v.opz_c = file1.leggi_8();
  const int64_t ore = file1.leggi_32();
  const int64_t minuti = file1.leggi_32();
  const int64_t secondi = file1.leggi_32();
  v.orario = in_campo<int32_t>((ore * 60 + minuti) * 60 + secondi, "orario");
  v.nome = file1.leggi_testo();
  c.l.avvisi.testo_letto(v.nome, file1.inizio_campo());

  zona(v, L);
  if (L < 600) v.opz_e = 0;
  // The first station never has these options; its 50 m, if any, are
  // already in `fine`.
  if (r == kPrimaRigaStazione) {
    v.opz_d = 0;
    v.opz_e = 0;
  }

  if (v.tipo < kTipoSenzaCelle) {
    if (v.tipo != 5 && v.tipo != 6) celle_di_avvicinamento(c.m, v);
    const int64_t t = arrotonda_div(v.fine, kMetriCella) - 1;
    if (t <= 1) return termina(c, CodiceErrore::fermata_nelle_prime_celle, chiave);
    tratto& fermata = c.m.cella(t);
    fermata.tipo = kFermata;
    fermata.valore_a = in_campo<int16_t>(r, "valore_a");
  }

  if (r > kPrimaRigaStazione) {
    const voce& precedente = riga_stazione(c.m, r - 1);
    if (static_cast<int64_t>(v.inizio) - kDistanzaMinima < precedente.fine) {
      return termina_con_posizione(c, CodiceErrore::stazioni_troppo_vicine, campo_posizione,
                                   v.posizione);
    }
  }

  c.s.riga_stazione = r + 1;
  if (c.s.riga_stazione >= c.riga_cartello)
    return termina(c, CodiceErrore::stazioni_sulle_righe_dei_cartelli, chiave);
  return Seguito::avanti;
}

}  // namespace calvetra
