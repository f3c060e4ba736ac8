// Stations: one `tabella` row each, from row 1 upward in file order, and for
// the ordinary types a stop cell at the end of the station zone with four
// approach cells before it.
#include <cstdint>
#include <string>

#include "model/numeri.h"
#include "model/significato.h"
#include "train/voci_treno.h"

namespace calvetra {

namespace {

// Least gap between one station zone and the next, metres.
constexpr int64_t kDistanzaMinima = 350;
// A station's length is a whole number of these, metres.
constexpr int32_t kPassoLunghezza = 100;

size_t riga_stazione(int32_t r) {
  // Stations stay below the sign rows, so a row outside 1 to 80 cannot be
  // reached by a well-formed run.
  if (r < kPrimaRigaStazione || r > kUltimaRigaCartello) {
    throw GuastoInatteso("riga di stazione " + std::to_string(r));
  }
  return static_cast<size_t>(r);
}

// Zone start and end by type; types 5 to 8 never take the extra 50 m and lose
// `opz_d` once both ends are stored (a zone end that does not fit leaves it as read).
void zona(voce& v, int64_t L) {
  const ZonaStazione z = zona_stazione(v.tipo, v.posizione, L, v.opz_d != 0);
  v.inizio = in_campo<int32_t>(z.inizio, "inizio");
  v.fine = in_campo<int32_t>(z.fine, "fine");
  if (zona_intera(v.tipo)) v.opz_d = 0;
}

// The columns of a station go to its row as they are read: the row is where
// a station is kept, and a reading that stops half-way (a position beyond the
// route, a misplaced station, a value that does not fit its field) leaves
// there what it had read. The row is empty before: stations take new rows.
class ColonneNellaRiga {
 public:
  ColonneNellaRiga(voce& v, Stazione& s) : v_(v), s_(s) {}
  ColonneNellaRiga(const ColonneNellaRiga&) = delete;
  ColonneNellaRiga& operator=(const ColonneNellaRiga&) = delete;
  ~ColonneNellaRiga() {
    v_.posizione = s_.posizione;
    v_.tipo = s_.tipo;
    v_.opz_a = s_.opz_a;
    v_.opz_e = s_.opz_e;
    v_.opz_d = s_.opz_d;
    v_.cod_a = s_.cod_a;
    v_.cod_b = s_.cod_b;
    v_.opz_b = s_.opz_b;
    v_.cod_c = s_.cod_c;
    v_.cod_d = s_.cod_d;
    v_.cod_e = s_.cod_e;
    v_.opz_c = s_.opz_c;
    v_.orario = s_.orario;
    v_.nome.swap(s_.nome);
  }

 private:
  voce& v_;
  Stazione& s_;
};

// A station's row, worked on in a copy and written back field by field once
// its columns are settled, or however the station ends before: the model is
// written only through its one place of writing.
class RigaDellaStazione {
 public:
  RigaDellaStazione(Modello& m, size_t r) : m_(m), r_(r), v_(m.riga(r)) {}
  RigaDellaStazione(const RigaDellaStazione&) = delete;
  RigaDellaStazione& operator=(const RigaDellaStazione&) = delete;
  ~RigaDellaStazione() { scrivi(); }
  voce& operator*() { return v_; }
  // Writing again what is there already changes nothing.
  void scrivi() { m_.scrivi_voce(r_, v_); }

 private:
  Modello& m_;
  size_t r_;
  voce v_;
};

// The columns in order, with the checks that stop the reading on the way.
Seguito leggi_stazione(LetturaRecord& r, Stazione& s) {
  s.posizione = r.numero();
  if (r.oltre_il_percorso(s.posizione, kMargineStazione)) return Seguito::fine_corpo;
  r.in_ordine(s.posizione);
  if (s.posizione % kMetriCella != 0) {
    r.errore(CodiceErrore::stazione_fuori_passo, r.luogo(0), s.posizione);
    return Seguito::esci;
  }
  s.tipo = r.numero<uint8_t>();
  s.lunghezza = r.numero();
  if (s.lunghezza % kPassoLunghezza != 0) {
    r.errore(CodiceErrore::lunghezza_stazione_fuori_passo, r.luogo(2), s.posizione);
    return Seguito::esci;
  }
  for (uint8_t* o : {&s.opz_a, &s.opz_e, &s.opz_d}) *o = r.numero<uint8_t>();
  s.cod_a = r.numero<int16_t>();
  s.cod_b = r.numero<int16_t>();
  s.opz_b = r.numero<uint8_t>();
  for (int16_t* k : {&s.cod_c, &s.cod_d, &s.cod_e}) *k = r.numero<int16_t>();
  s.opz_c = r.numero<uint8_t>();
  s.ore = r.numero();
  s.minuti = r.numero();
  s.secondi = r.numero();
  s.orario = in_campo<int32_t>(orario_stazione(s.ore, s.minuti, s.secondi), "orario");
  s.nome = r.testo();
  return Seguito::avanti;
}

// The four cells before the stop cell carry 81 to 84, 81 nearest. Cells that
// would fall outside the route are skipped.
void celle_di_avvicinamento(Modello& m, const voce& v) {
  const int64_t H = m.ultima_cella();
  for (int k = 1; k <= 4; ++k) {
    const int64_t t = cella_preavviso_fermata(v.fine, k);
    if (t > 1 && t <= H) m.scrivi_cella(t, CampoCella::preavviso, codice_preavviso_fermata(k));
  }
}

// Error 10 names the signs of the line source that took the rows: a note at
// the last of them, the one in the lowest row.
void nota_cartelli(LetturaRecord& r, int32_t riga_cartello) {
  const int32_t ultima = riga_cartello + 1;
  if (ultima > kUltimaRigaCartello) return;
  const int32_t cartelli = kUltimaRigaCartello - riga_cartello;
  r.nota_riga(ultima, "e' l'ultimo dei " + std::to_string(cartelli) +
                          " cartelli della linea, che prendono le righe da " +
                          std::to_string(kUltimaRigaCartello) + " a " + std::to_string(ultima) +
                          ": le stazioni prendono le righe da " +
                          std::to_string(kPrimaRigaStazione) + " in su, sotto di loro");
}

}  // namespace

Seguito voce_stazione(LetturaRecord& r, CorpoTreno& c) {
  const int32_t riga = c.s.riga_stazione;
  // A row that already holds a sign text (the line has 80 signs) is never
  // written over: the station is refused before anything of it is stored.
  if (riga > c.riga_cartello) {
    r.errore(CodiceErrore::stazioni_sulle_righe_dei_cartelli, r.chiave());
    nota_cartelli(r, c.riga_cartello);
    return Seguito::esci;
  }
  RigaDellaStazione scritta(c.m, riga_stazione(riga));
  voce& v = *scritta;
  Stazione st;
  {
    ColonneNellaRiga colonne(v, st);
    const Seguito letta = leggi_stazione(r, st);
    if (letta != Seguito::avanti) return letta;
  }

  zona(v, st.lunghezza);
  if (st.lunghezza < 600) v.opz_e = 0;
  // The first station never has these options; its 50 m, if any, are
  // already in `fine`.
  if (riga == kPrimaRigaStazione) {
    v.opz_d = 0;
    v.opz_e = 0;
  }
  scritta.scrivi();

  if (stazione_con_celle(v.tipo)) {
    if (v.tipo != 5 && v.tipo != 6) celle_di_avvicinamento(c.m, v);
    const int64_t t = cella_fermata(v.fine);
    if (t <= 1) {
      r.errore(CodiceErrore::fermata_nelle_prime_celle, r.chiave());
      return Seguito::esci;
    }
    c.m.scrivi_cella(t, CampoCella::tipo, kFermata);
    c.m.scrivi_cella(t, CampoCella::valore_a, in_campo<int16_t>(riga, "valore_a"));
  }

  if (riga > kPrimaRigaStazione) {
    const voce& precedente = c.m.riga(riga_stazione(riga - 1));
    if (static_cast<int64_t>(v.inizio) - kDistanzaMinima < precedente.fine) {
      r.errore(CodiceErrore::stazioni_troppo_vicine, r.luogo(0), st.posizione);
      r.nota_riga(riga - 1);
      return Seguito::esci;
    }
  }

  c.s.riga_stazione = riga + 1;
  if (c.s.riga_stazione >= c.riga_cartello) {
    r.errore(CodiceErrore::stazioni_sulle_righe_dei_cartelli, r.chiave());
    nota_cartelli(r, c.riga_cartello);
    return Seguito::esci;
  }
  return Seguito::avanti;
}

}  // namespace calvetra
