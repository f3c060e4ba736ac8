// The scenario generator: scenario k of a seed, a line source and a train
// source (either may be missing), for the byte-identity check of the compiler
// (tests/identita/identita.sh, through genera_scenari) and the tests that
// hold a property over many scenarios.
//
// A scenario starts as a well-formed route of 5 to 40 km (now and then one of
// 1000000 m) whose point objects never share a cell and leave room for the
// cab-code pass; most scenarios then get one or more faults: records that
// collide, positions off the grid or beyond the route, values too wide for
// their field, broken header records, junk fields, truncated or missing files.
//
// The same seed always gives the same bytes: every draw comes from the
// generator's own splitmix64 stream (never a library distribution), one
// stream per scenario, so scenario k does not depend on how many are asked for.
#include "genera/scenari.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "model/numeri.h"

namespace {

using calvetra::arrotonda_div;

// A bracketed section name (none when empty) and its lines.
void aggiungi_sezione(std::vector<std::string>* file, const std::string& titolo,
                      const std::vector<std::string>& righe) {
  if (!titolo.empty()) file->push_back(titolo);
  file->insert(file->end(), righe.begin(), righe.end());
}

// splitmix64: small, fast and the same on every platform.
class Caso {
 public:
  explicit Caso(uint64_t seme) : stato_(seme) {}

  uint64_t prossimo() {
    stato_ += 0x9E3779B97F4A7C15ull;
    uint64_t z = stato_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A whole number from `da` to `a`, both included. REQUIRES: da <= a.
  int64_t tra(int64_t da, int64_t a) {
    const auto ampiezza = static_cast<uint64_t>(a - da) + 1;
    return da + static_cast<int64_t>(prossimo() % ampiezza);
  }
  // True `percento` times in a hundred.
  bool su(int64_t percento) { return tra(0, 99) < percento; }
  template <typename T>
  const T& uno_di(const std::vector<T>& v) {
    return v[static_cast<size_t>(tra(0, static_cast<int64_t>(v.size()) - 1))];
  }

 private:
  uint64_t stato_;
};

// A slowdown as written, with the cells the compiler will give it.
struct Rallentamento {
  int64_t x = 0;
  int64_t v = 0;
  int64_t l = 0;
  int64_t inizio = 0;  // start cell
  int64_t fine = 0;    // end cell
  int64_t avviso = 0;  // warning cell, 0 when there is none
};

struct Stazione {
  int64_t posizione = 0;
  int64_t tipo = 0;
  int64_t lunghezza = 0;
  int64_t fine = 0;  // end of the zone, metres
};

// One scenario. Every draw is made in a fixed order: never two drawing calls
// in the arguments of one call or in the operands of one operator, whose order
// the language leaves open (the elements of a braced list are evaluated left
// to right, so they may draw).
class Scenario {
 public:
  explicit Scenario(uint64_t seme) : caso_(seme) {}

  void genera() {
    scegli_lunghezza();
    // Slowdowns first: each needs a long clear stretch.
    for (int64_t i = caso_.tra(caso_.su(85) ? 1 : 0, std::min<int64_t>(1 + L_ / 8000, 5)); i > 0;
         --i) {
      aggiungi_rallentamento(&rallentamenti_validi_);
    }
    linea_valida();
    treno_valido();
    if (caso_.su(68)) {
      const int64_t guasti = caso_.su(75) ? 1 : caso_.tra(2, 3);
      for (int64_t i = 0; i < guasti; ++i) guasto();
    }
    componi();
    if (caso_.su(4)) tronca(&testo_linea_);
    if (caso_.su(4)) tronca(&testo_treno_);
  }

  calvetra::genera::ScenarioGenerato sorgenti() const {
    calvetra::genera::ScenarioGenerato g;
    if (con_linea_) g.linea = testo_linea_;
    if (con_treno_) g.treno = testo_treno_;
    return g;
  }

 private:
  // ---- text of the records ----

  // A number separator: a comma with or without blanks, or now and then
  // blanks alone, which end a number field just as well.
  std::string separatore() {
    switch (caso_.tra(0, 9)) {
      case 0: return ",";
      case 1: return " ,  ";
      case 2: return "   ";
      default: return ",  ";
    }
  }

  // A record: the keyword field, then the numbers. The numbers are drawn
  // before the call; the separators are drawn here.
  std::string record(const std::string& chiave, const std::vector<int64_t>& valori) {
    std::string r = chiave + ",";
    for (size_t i = 0; i < valori.size(); ++i) {
      r += (i == 0 ? std::string(caso_.su(20) ? "" : "  ") : separatore());
      r += std::to_string(valori[i]);
    }
    return r;
  }

  // Keywords are matched ignoring case (apart from a few header tests): some
  // records are written in capitals.
  std::string record_forse_maiuscolo(const std::string& chiave,
                                     const std::vector<int64_t>& valori) {
    return record(forse_maiuscola(chiave), valori);
  }
  std::string forse_maiuscola(std::string s) {
    if (caso_.su(10)) {
      for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      }
    }
    return s;
  }

  // ---- cells ----

  // True when cells `da` to `a` lie well inside the route and none of them is
  // kept by a valid record: its own cell, or the stretch around a slowdown
  // that the code reductions of the cab-code pass need.
  bool libere(int64_t da, int64_t a) const {
    if (da < 2 || a > n_ - 3) return false;
    for (int64_t c = da; c <= a; ++c) {
      if (prese_[static_cast<size_t>(c)]) return false;
    }
    return true;
  }
  void prendi(int64_t da, int64_t a) {
    for (int64_t c = da; c <= a; ++c) prese_[static_cast<size_t>(c)] = true;
  }
  // A free cell for a point object, `margine` cells clear on each side; -1
  // when a few tries find none.
  int64_t cella_libera(int64_t margine) {
    for (int tentativi = 0; tentativi < 20; ++tentativi) {
      const int64_t c = caso_.tra(4, std::max<int64_t>(4, std::min(n_ - 140, L_ / 50) - 2));
      if (libere(c - margine, c + margine)) return c;
    }
    return -1;
  }
  // A point object at p stands in cell p / 50 + 1.
  static int64_t posizione_di(int64_t cella) { return 50 * (cella - 1); }
  int64_t cella_occupata() {
    if (oggetti_.empty()) return -1;
    return caso_.uno_di(oggetti_);
  }

  // ---- the well-formed route ----

  void scegli_lunghezza() {
    if (caso_.su(1)) {
      L_ = 1000000;
    } else {
      L_ = 50 * caso_.tra(100, 800);
      if (caso_.su(15)) L_ += caso_.tra(1, 49);
    }
    n_ = arrotonda_div(L_ + 7000, 50);
    prese_.assign(static_cast<size_t>(n_ + 1), false);
  }

  void linea_valida() {
    if (caso_.su(30)) {
      preambolo_linea_.push_back("Linea Calvetra, scenario di prova");
      preambolo_linea_.push_back("pendenza, 100, 5");
    }
    intestazione_.push_back(
        record(caso_.uno_di<std::string>(
                   {"lunghezza percorso", "LUNGHEZZA PERCORSO", "lunghezza del percorso (m)"}),
               {L_}));
    const std::vector<std::string> numeri = {"uno", "due", "tre"};
    for (const std::string& quale : numeri) {
      if (caso_.su(70)) {
        intestazione_.push_back(
            record("progressiva chilometrica " + quale,
                   {50 * caso_.tra(0, 2000), 50 * caso_.tra(-200, 2000), caso_.tra(0, 1)}));
      }
      if (caso_.su(50)) intestazione_.push_back(record("sfondo " + quale, {caso_.tra(0, 6)}));
    }
    if (caso_.su(70)) {
      const std::string chiave =
          caso_.su(50) ? "ripetizione segnali 4 codici" : "ripetizione segnali 9 codici";
      intestazione_.push_back(
          record(chiave, {50 * caso_.tra(0, 100), caso_.su(25) ? 0 : 50 * caso_.tra(0, 400)}));
    }
    // The header records are independent: any order reads the same.
    for (size_t i = intestazione_.size(); i > 1; --i) {
      std::swap(intestazione_[i - 1],
                intestazione_[static_cast<size_t>(caso_.tra(0, static_cast<int64_t>(i) - 1))]);
    }
    if (caso_.su(30)) intestazione_.insert(intestazione_.begin(), "-----------------------");

    const int64_t fine_curve = std::min<int64_t>(L_, 999000);
    for (int64_t s = caso_.tra(0, 40) * 50; s < fine_curve;) {
      const int64_t l = 50 * caso_.tra(1, 30);
      if (s + l > fine_curve) break;
      const std::string lato = caso_.su(50) ? "s" : "d";
      const std::string classe = std::to_string(caso_.tra(1, 6));
      const std::string chiave = caso_.su(80) ? "curva" + lato + classe
                                              : caso_.uno_di<std::string>({"CURVA", "Curva "}) +
                                                    (lato == "s" ? "S" : "D") + " " + classe;
      curve_.push_back(record(chiave, {s, l}));
      s += l + 50 * caso_.tra(0, 80);
      if (curve_.size() > 60) break;
    }
    for (int64_t p = 0; p < L_ && pendenze_.size() < 60;) {
      const int64_t g = caso_.su(5) ? caso_.uno_di<int64_t>({-100, 155}) : caso_.tra(-30, 30);
      pendenze_.push_back(record_forse_maiuscolo("pendenza", {p, g}));
      p += caso_.tra(2, 80) * 50;
    }
    for (int64_t inizio = 50 * caso_.tra(10, 100); inizio < L_ && montagne_.size() < 12;) {
      const int64_t fine = inizio + 50 * caso_.tra(4, 60);
      montagne_.push_back(
          record("montagna", {inizio, fine, caso_.uno_di<int64_t>({1, 2, 11, 12})}));
      inizio = fine + (caso_.su(25) ? 50 * caso_.tra(0, 3) : 50 * caso_.tra(4, 100));
    }
    const int64_t indicatori = caso_.tra(0, std::min<int64_t>(L_ / 4000, 12));
    for (int64_t i = 0; i < indicatori; ++i) {
      const int64_t c = cella_libera(2);
      if (c < 0) continue;
      prendi(c, c);
      oggetti_.push_back(c);
      oggetti_linea_.push_back(c);
      const std::vector<int64_t> vs = {60, 80, 100, 110, 130, 160};
      if (caso_.su(70)) {
        cartelli_.push_back(record(
            "indicatori_vmax",
            {posizione_di(c), caso_.uno_di(vs), caso_.uno_di(vs), caso_.uno_di(vs), caso_.tra(0, 1),
             caso_.uno_di(vs), caso_.uno_di(vs), caso_.uno_di(vs), caso_.tra(0, 1)}));
      } else {
        // Empty fields read as 0.
        cartelli_.push_back(record("indicatori_vmax", {posizione_di(c), caso_.uno_di(vs),
                                                       caso_.uno_di(vs), caso_.uno_di(vs), 0}) +
                            ",  ,  ,  ,  0");
      }
    }
    const int64_t segni = caso_.tra(0, std::min<int64_t>(L_ / 3000, 15));
    for (int64_t i = 0; i < segni; ++i) aggiungi_cartello(2);
  }

  void aggiungi_cartello(int64_t margine) {
    const int64_t c = cella_libera(margine);
    if (c < 0) return;
    prendi(c, c);
    oggetti_.push_back(c);
    oggetti_linea_.push_back(c);
    const std::vector<std::string> testi = {"(      )( P.L. )(      )", "\"( P.L. ), km 12\"",
                                            "STAZIONE DI CITT\xC0",     "(  G  )",
                                            "\"Forl\xEC, bivio\"",      "LIMITE MANOVRA"};
    const std::string testo = caso_.uno_di(testi);
    indicazioni_.push_back(record("cartello_indicatore", {posizione_di(c)}) + ",  " + testo);
  }

  void treno_valido() {
    if (caso_.su(30)) voci_.push_back("numero vetture, 99");  // before [generale]: skipped
    voci_.push_back("[generale]");
    voci_.push_back(record_forse_maiuscolo("numero vetture", {caso_.tra(1, 12)}));
    voci_.push_back(record_forse_maiuscolo("percentuale massa frenata", {caso_.tra(50, 160)}));
    voci_.push_back(record("sabbia", {caso_.tra(0, 1000)}));
    // Blanks alone between the three numbers.
    const int64_t ore = caso_.tra(0, 23);
    const int64_t minuti = caso_.tra(0, 59);
    const int64_t secondi = caso_.tra(0, 59);
    voci_.push_back("orologio,    " + std::to_string(ore) + "   " + std::to_string(minuti) + "  " +
                    std::to_string(secondi));
    voci_.push_back("[aderenze]");
    for (int64_t p = 0, i = caso_.tra(1, 3); i > 0 && p < L_; --i) {
      voci_.push_back(record("aderenza", {p, caso_.su(10) ? 300 : caso_.tra(20, 200)}));
      p += 50 * caso_.tra(20, 300);
    }
    voci_.push_back("[vel_limite]");
    for (int64_t p = 0; p < L_ && velocita_ < 40; ++velocita_) {
      voci_.push_back(record_forse_maiuscolo("velocita", {p, 5 * caso_.tra(6, 40)}));
      p += 50 * caso_.tra(10, 200);
    }

    std::vector<std::string> stazioni;
    for (int64_t p = 50 * caso_.tra(20, 60); p < L_ && stazioni.size() < 30;) {
      Stazione s;
      s.tipo = caso_.uno_di<int64_t>({1, 2, 3, 5, 6, 7, 8, 12, 25, 30});
      s.lunghezza = 100 * caso_.tra(2, 8);
      const int64_t opz_d = caso_.tra(0, 1);
      const bool lunga = s.tipo >= 5 && s.tipo <= 8;  // the zone starts L before
      // Now and then the zone starts at the least distance from the previous one.
      if (!stazioni_.empty() && caso_.su(30)) {
        p = stazioni_.back().fine + 350 + (lunga ? s.lunghezza : s.lunghezza / 2);
      }
      if (p + 800 > 50 * n_) break;
      s.posizione = p;
      const int64_t inizio = p - (lunga ? s.lunghezza : s.lunghezza / 2);
      s.fine = p + s.lunghezza / 2 + 50 * opz_d;
      if (s.tipo == 5 || s.tipo == 6) s.fine = p + 150;
      if (s.tipo == 7 || s.tipo == 8) s.fine = p + s.lunghezza;
      const int64_t fermata = arrotonda_div(s.fine, 50) - 1;
      const bool ci_sta = stazioni_.empty() || inizio - 350 >= stazioni_.back().fine;
      if (ci_sta && (s.tipo >= 25 || libere(fermata - 1, fermata + 1))) {
        if (s.tipo < 25) {
          prendi(fermata, fermata);
          oggetti_.push_back(fermata);
        }
        stazioni_.push_back(s);
        const std::string nome =
            caso_.uno_di<std::string>({"ROVELLA", "SAN MARCO", "CITT\xC0 ALTA", "FORL\xCC",
                                       "PIAN DEL L\xC8GO", "BIVIO NORD"});
        const std::string r = record_forse_maiuscolo(
            "stazione",
            {p, s.tipo, s.lunghezza, caso_.tra(0, 1), caso_.tra(0, 1), opz_d, caso_.tra(0, 9),
             caso_.tra(0, 9), caso_.tra(0, 1), caso_.tra(0, 3), caso_.tra(0, 3), caso_.tra(0, 3),
             caso_.uno_di<int64_t>({0, 1, 15, 30, 60}), caso_.tra(5, 22), caso_.tra(0, 59),
             caso_.tra(0, 59)});
        stazioni.push_back(r + ",  " + nome);
      }
      p = std::max(s.fine + 400, p + 50 * caso_.tra(20, 200));
    }

    std::vector<std::string> segnali;
    const int64_t quanti_segnali = caso_.tra(0, std::min<int64_t>(L_ / 1500, 40));
    for (int64_t i = 0; i < quanti_segnali; ++i) {
      const int64_t c = cella_libera(2);
      if (c >= 0) segnali.push_back(segnale(c));
    }

    std::vector<std::string> abbattimenti;
    for (int64_t i = caso_.tra(0, 3); i > 0; --i) {
      const int64_t c = cella_libera(2);
      if (c < 0) continue;
      prendi(c, c);
      oggetti_.push_back(c);
      // A code reduction at p takes cell p / 50.
      abbattimenti.push_back(
          record("abbattimento", {50 * c, caso_.su(30) ? 0 : 10 * caso_.tra(3, 18)}));
    }

    aggiungi_sezione(&voci_, "[stazioni]", stazioni);
    aggiungi_sezione(&voci_, "[rallentamenti]", rallentamenti_validi_);
    aggiungi_sezione(&voci_, "[segnali]", segnali);
    aggiungi_sezione(&voci_, "[codici]", abbattimenti);
  }

  // A slowdown where its cells and the code reductions of the cab-code pass
  // around it find room; nothing when a try finds none.
  void aggiungi_rallentamento(std::vector<std::string>* voci) {
    Rallentamento r;
    r.x = 50 * caso_.tra(4, std::max<int64_t>(5, L_ / 50 - 60));
    r.l = 50 * caso_.tra(2, 40);
    r.v = 10 * caso_.tra(1, 15);
    const int64_t f_ta = caso_.tra(0, 1);
    r.inizio = arrotonda_div(r.x + 50, 50);
    r.fine = arrotonda_div(r.x + r.l + 50, 50);
    r.avviso = r.x > 1500 ? arrotonda_div(r.x - 1150, 50) : 0;
    const int64_t da = std::max<int64_t>((r.avviso > 0 ? r.avviso - 4 : r.inizio) - 22, 2);
    if (!libere(da, r.fine + 14)) return;
    prendi(da, r.fine + 14);
    for (int64_t c : {r.inizio, r.fine, r.avviso}) {
      if (c > 0) oggetti_.push_back(c);
    }
    if (r.avviso > 0 && f_ta != 0) {
      for (int64_t c = r.avviso - 4; c < r.avviso; ++c) oggetti_.push_back(c);
    }
    rallentamenti_.push_back(r);
    voci->push_back(record_forse_maiuscolo(
        "rallentamento",
        {r.x, r.v, r.l, caso_.tra(0, 1), f_ta, caso_.su(30) ? 10 * caso_.tra(1, 5) : 0}));
    // A signal shortly after the end, which gets a code reduction in front.
    if (caso_.su(50)) voci->push_back(segnale(r.fine + caso_.tra(3, 12)));
    // A signal behind the warning board, which gets one too.
    if (r.avviso > 30 && caso_.su(50)) voci->push_back(segnale(r.avviso - caso_.tra(6, 18)));
  }

  // A signal in `cella`, marked taken; the caller has checked it is free or
  // means it to collide.
  std::string segnale(int64_t cella) {
    if (cella >= 0 && cella <= n_) {
      prese_[static_cast<size_t>(cella)] = true;
      oggetti_.push_back(cella);
    }
    const int64_t sx = caso_.tra(0, 2);
    return record_forse_maiuscolo(
        "segnale", {posizione_di(cella), sx, caso_.tra(0, 9), caso_.tra(0, 9), caso_.tra(0, 9),
                    caso_.tra(0, 9), caso_.tra(0, 2), caso_.tra(0, 9), caso_.tra(0, 9),
                    caso_.tra(0, 9), sx == 2 ? caso_.tra(0, 200) : 0});
  }

  // ---- faults ----

  // `r` among the lines of `v`, at `da` or after.
  void inserisci(std::vector<std::string>* v, int64_t da, const std::string& r) {
    const int64_t dove = caso_.tra(da, static_cast<int64_t>(v->size()));
    v->insert(v->begin() + dove, r);
  }
  // Two lines of `v`, at `da` or after, swapped.
  void scambia(std::vector<std::string>* v, int64_t da) {
    const auto i = static_cast<size_t>(caso_.tra(da, static_cast<int64_t>(v->size()) - 1));
    const auto j = static_cast<size_t>(caso_.tra(da, static_cast<int64_t>(v->size()) - 1));
    std::swap((*v)[i], (*v)[j]);
  }
  // A record placed somewhere in the body of the line source.
  void nel_corpo(const std::string& r) {
    std::vector<std::string>* sezioni[] = {&curve_, &pendenze_, &montagne_, &cartelli_,
                                           &indicazioni_};
    inserisci(sezioni[caso_.tra(0, 4)], 0, r);
  }
  // A train entry after everything else.
  void in_coda(const std::string& r) { voci_.push_back(r); }

  int64_t oltre() { return 50 * n_ - 100 + caso_.tra(1, 5000); }

  std::string spazzatura() {
    const std::vector<std::string> pezzi = {
        "xyz",  "123",     "-",           "\"a,b\"",  "",   "   ",      "pend",
        "[",    "]",       "segnale",     "stazione", "4",  "-7",       "curva",
        "\xE8", "velocit", "99999999999", "montagna", "\"", "cartello", "indicat"};
    std::string r;
    for (int64_t i = caso_.tra(1, 8); i > 0; --i) {
      r += caso_.uno_di(pezzi);
      if (i > 1) r += caso_.su(70) ? "," : " ";
    }
    return r;
  }

  void guasto() {
    switch (caso_.tra(0, 43)) {
      case 0:  // route too long
        intestazione_.push_back(record("lunghezza percorso", {1000000 + caso_.tra(1, 2000000)}));
        break;
      case 1:  // zero or negative length
        intestazione_.push_back(
            record("lunghezza percorso", {caso_.su(50) ? 0 : -caso_.tra(1, 9000)}));
        break;
      case 2:  // the length record in the body: the cells do not exist yet
        for (auto it = intestazione_.begin(); it != intestazione_.end(); ++it) {
          if (it->find("ercorso") != std::string::npos ||
              it->find("ERCORSO") != std::string::npos) {
            curve_.insert(curve_.begin(), *it);
            intestazione_.erase(it);
            break;
          }
        }
        break;
      case 3: senza_generale_linea_ = true; break;
      case 4: con_linea_ = false; break;
      case 5: con_treno_ = false; break;
      case 6:
        if (caso_.su(50)) {
          vuota_linea_ = true;
        } else {
          vuoto_treno_ = true;
        }
        break;
      case 7: {  // a progressive off the 50 m grid
        const std::string chiave =
            "progressiva chilometrica " + caso_.uno_di<std::string>({"uno", "due", "tre"});
        const int64_t primo = 50 * caso_.tra(0, 100);
        const int64_t storto = caso_.su(50) ? caso_.tra(1, 49) : 0;
        const int64_t secondo = 50 * caso_.tra(0, 100);
        intestazione_.push_back(record(chiave, {primo + storto, secondo + caso_.tra(1, 49), 1}));
        break;
      }
      case 8:
      case 40:  // signal repetition: off-grid values, no count of codes
        switch (caso_.tra(0, 2)) {
          case 0: intestazione_.push_back(record("ripetizione segnali 4 codici", {25, 100})); break;
          case 1:
            intestazione_.push_back(
                record("ripetizione segnali 9 codici", {100, 50 * caso_.tra(1, 9) + 10}));
            break;
          default: intestazione_.push_back(record("ripetizione segnali codici", {100, 200})); break;
        }
        break;
      case 9:
      case 41: {  // a sign or a board on a taken cell
        if (oggetti_linea_.empty()) aggiungi_cartello(0);
        if (oggetti_linea_.empty()) break;
        const int64_t c = caso_.uno_di(oggetti_linea_);
        if (caso_.su(50)) {
          indicazioni_.push_back(record("cartello_indicatore", {posizione_di(c)}) + ", DOPPIO");
        } else {
          indicazioni_.push_back(
              record("indicatori_vmax", {posizione_di(c), 60, 60, 60, 0, 60, 60, 60, 0}));
        }
        break;
      }
      case 10: {  // a code reduction or a signal on a taken cell
        const int64_t c = cella_occupata();
        if (c < 0) break;
        if (caso_.su(50)) {
          in_coda(record("abbattimento", {50 * c, 60}));
        } else {
          in_coda(segnale(c));
        }
        break;
      }
      case 11: {  // a station off the grid, or of a length not in hundreds of metres
        const int64_t p = 50 * caso_.tra(20, std::max<int64_t>(21, L_ / 50 - 20));
        if (caso_.su(50)) {
          in_coda(record("stazione",
                         {p + caso_.tra(1, 49), 1, 400, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 8, 0, 0}) +
                  ", STORTA");
        } else {
          const int64_t centinaia = 100 * caso_.tra(1, 6);
          in_coda(record("stazione", {p, 1, centinaia + caso_.tra(1, 99), 0, 0, 0, 1, 1, 0, 0, 0, 0,
                                      0, 8, 0, 0}) +
                  ", CORTA");
        }
        break;
      }
      case 12: {  // signs take the rows the stations need
        const int64_t voluti = 80 - static_cast<int64_t>(stazioni_.size()) + caso_.tra(-1, 2);
        for (int64_t i = static_cast<int64_t>(indicazioni_.size()); i < voluti; ++i)
          aggiungi_cartello(0);
        break;
      }
      case 13:
      case 38:
      case 43: {  // a slowdown whose warning, start, end or pre-warning cell is taken
        const int64_t c = cella_occupata();
        if (c < 0) break;
        int64_t x = 50 * (c - 1);
        int64_t l = 50 * caso_.tra(2, 10);
        switch (caso_.tra(0, 3)) {
          case 0: x = 50 * c + 1150; break;   // warning
          case 1: break;                      // start
          case 2: x -= l; break;              // end
          default: x = 50 * c + 1200; break;  // pre-warning
        }
        in_coda(record("rallentamento", {x, 60, l, 1, 1, 0}));
        break;
      }
      case 14:
      case 42: {  // a station too close to the one before, or swapped stations
        if (stazioni_.empty()) break;
        const Stazione& s = stazioni_.back();
        // Up to 500 m after its end: 450 m is the nearest that is still allowed.
        const int64_t dopo = caso_.su(50) ? caso_.tra(8, 9) : caso_.tra(0, 10);
        in_coda(record("stazione", {50 * arrotonda_div(s.fine, 50) + 50 * dopo, 2, 200, 0, 0, 0, 1,
                                    1, 0, 0, 0, 0, 0, 9, 0, 0}) +
                ", VICINA");
        break;
      }
      case 15:  // a first station whose stop cell would be cell 1 or before
        for (auto it = voci_.begin(); it != voci_.end(); ++it) {
          if (*it == "[stazioni]") {
            voci_.insert(it + 1, record("stazione", {50 * caso_.tra(0, 1), caso_.tra(0, 4),
                                                     100 * caso_.tra(1, 2), 0, 0, 0, 0, 0, 0, 0, 0,
                                                     0, 0, 6, 0, 0}) +
                                     ", ORIGINE");
            break;
          }
        }
        break;
      case 16:  // a line record beyond the route
        switch (caso_.tra(0, 4)) {
          case 0: nel_corpo(record("pendenza", {oltre(), 3})); break;
          case 1: nel_corpo(record("montagna", {oltre(), oltre() + 500, 1})); break;
          case 2:
            nel_corpo(record("indicatori_vmax", {oltre(), 60, 60, 60, 0, 60, 60, 60, 0}));
            break;
          case 3: nel_corpo(record("cartello_indicatore", {oltre()}) + ", LONTANO"); break;
          default: curve_.push_back(record("curvad3", {oltre(), 100})); break;
        }
        break;
      case 17:  // a train entry beyond the route
        switch (caso_.tra(0, 5)) {
          case 0: in_coda(record("velocita", {oltre(), 60})); break;
          case 1: in_coda(record("aderenza", {oltre(), 60})); break;
          case 2: in_coda(record("segnale", {oltre(), 1, 1, 1, 1, 1, 1, 1, 1, 1, 0})); break;
          case 3: in_coda(record("rallentamento", {oltre(), 30, 200, 1, 1, 0})); break;
          case 4: in_coda(record("abbattimento", {oltre(), 60})); break;
          default:
            in_coda(record("stazione", {50 * n_ - 800 + 50 * caso_.tra(1, 20), 1, 200, 0, 0, 0, 0,
                                        0, 0, 0, 0, 0, 0, 9, 0, 0}) +
                    ", FINE");
            break;
        }
        break;
      case 18:  // the last position still inside the route: no fault at all
        if (caso_.su(50)) {
          in_coda(record("velocita", {50 * n_ - 100, 40}));
        } else {
          in_coda(record("aderenza", {50 * n_ - 100, 40}));
        }
        break;
      case 19:  // a value too wide for its field
        switch (caso_.tra(0, 7)) {
          case 0: in_coda(record("sabbia", {32768})); break;
          case 1: in_coda("orologio, 7 70000 0"); break;
          case 2:
            in_coda(record("stazione", {50 * caso_.tra(20, 100), 256, 200, 0, 0, 0, 0, 0, 0, 0, 0,
                                        0, 0, 7, 0, 0}) +
                    ", LARGA");
            break;
          case 3: in_coda(record("velocita", {0, caso_.su(50) ? 2000 : -30})); break;
          case 4: nel_corpo(record("pendenza", {3000000000})); break;
          case 5: in_coda(record("numero vetture", {-3000000000})); break;
          case 6:
            nel_corpo(record("indicatori_vmax",
                             {50 * (cella_libera(0) - 1), 2000, 60, 60, 0, 60, 60, 60, 0}));
            break;
          default:
            in_coda(record("rallentamento", {50 * caso_.tra(40, 100), 40000, 200, 1, 0, 0}));
            break;
        }
        break;
      case 20:  // a curve with no class, or one running past metre 1000000
        if (caso_.su(70) || L_ < 999000) {
          const std::string chiave = caso_.uno_di<std::string>({"curvas", "curva7", "CURVAD0"});
          curve_.push_back(record(chiave, {50 * caso_.tra(0, 100), 100}));
        } else {
          curve_.push_back(record("curvas2", {999500, 1000}));
        }
        break;
      case 21:  // records out of order
        for (std::vector<std::string>* v : {&pendenze_, &curve_, &montagne_}) {
          if (v->size() >= 2 && caso_.su(60)) scambia(v, 0);
        }
        // Two train entries swapped: stations, speeds, or anything.
        if (voci_.size() > 8) scambia(&voci_, 6);
        break;
      case 22:
      case 23:  // junk fields anywhere
        if (caso_.su(40)) {
          nel_corpo(spazzatura());
        } else if (caso_.su(30)) {
          inserisci(&intestazione_, 0, spazzatura());
        } else {
          inserisci(&voci_, 1, spazzatura());
        }
        break;
      case 24:
      case 25:
      case 39: {  // three signals side by side near a slowdown: the cab-code pass finds no room
        for (int i = 0; i < 10 && rallentamenti_.empty(); ++i) aggiungi_rallentamento(&voci_);
        if (rallentamenti_.empty()) break;
        const int64_t scelta = caso_.tra(0, 3);
        const Rallentamento* r = &caso_.uno_di(rallentamenti_);
        int64_t ultimo = r->inizio - caso_.uno_di<int64_t>({5, 11, 18});
        if (scelta == 1 && r->avviso > 0) ultimo = r->avviso - caso_.tra(3, 15);
        if (scelta >= 2) {
          // Inside a slow slowdown, where a code reduction goes every 8 cells.
          for (const Rallentamento& lento : rallentamenti_) {
            if (lento.v < 110 && lento.fine - lento.inizio > 10) ultimo = lento.inizio + 9;
          }
        }
        for (int64_t c = ultimo - 2; c <= ultimo; ++c) {
          // The whole stretch around a slowdown is kept, but only the cells
          // where a record really stands are taken.
          if (c > 1 && c < n_ - 2 &&
              std::find(oggetti_.begin(), oggetti_.end(), c) == oggetti_.end()) {
            in_coda(segnale(c));
          }
        }
        break;
      }
      case 26:  // header tests that are case-sensitive, written in capitals
        intestazione_.push_back(caso_.su(50) ? record("Progressiva chilometrica uno", {100, 200, 0})
                                             : record("RIPETIZIONE SEGNALI 4", {100, 200}));
        break;
      case 27:  // runs of separator lines
        if (caso_.su(50)) {
          for (int64_t i = caso_.tra(9, 12); i > 0; --i)
            intestazione_.insert(intestazione_.begin(), "----------");
        } else {
          for (int i = 0; i < 3; ++i) pendenze_.insert(pendenze_.begin(), "--- - ---");
        }
        break;
      case 28:  // something in cell 1, where the format mark goes
        if (caso_.su(50)) {
          indicazioni_.push_back("cartello_indicatore, 0, ORIGINE");
        } else {
          in_coda("abbattimento, 50, 100");
        }
        break;
      case 29:  // more than 80 mountain stretches
        for (int64_t i = 0; i < 81; ++i)
          montagne_.push_back(record("montagna", {100 * i, 100 * i + 50, 1}));
        break;
      case 30:  // a sign text with a comma and no quotes
        indicazioni_.push_back(
            record("cartello_indicatore", {50 * (std::max<int64_t>(cella_libera(0), 3) - 1)}) +
            ", PRIMA, pendenza, 0, 0");
        break;
      case 31:  // a record split over two lines
        if (!pendenze_.empty()) {
          std::string& r = pendenze_.back();
          const size_t virgola = r.find(',');
          r = r.substr(0, virgola) + "\r\n" + r.substr(virgola + 1);
        }
        break;
      case 32:  // [generale] as the very last field of the line source
        senza_generale_linea_ = true;
        generale_in_fondo_ = true;
        break;
      case 33: {  // the train source without [generale]: nothing in it is read
        const auto generale = std::find(voci_.begin(), voci_.end(), "[generale]");
        if (generale != voci_.end()) voci_.erase(generale);
        break;
      }
      case 34:  // no bracketed field after the header: the body records are header fields
        senza_curve_ = true;
        break;
      case 35:  // a second length record, shorter, in the header: the cells are made anew
        intestazione_.push_back(record("lunghezza percorso", {50 * caso_.tra(40, 200)}));
        break;
      case 36:  // no closing [fine]: the last field of each file is never read
        senza_fine_ = true;
        break;
      default:  // negative positions
        if (caso_.su(50)) {
          in_coda(record("segnale", {-50 * caso_.tra(1, 40), 1, 1, 1, 1, 1, 1, 1, 1, 1, 0}));
        } else {
          nel_corpo(record("montagna", {-50 * caso_.tra(1, 40), 500, 11}));
        }
        break;
    }
  }

  // ---- the files ----

  static std::string unisci(const std::vector<std::string>& righe) {
    std::string t;
    for (const std::string& r : righe) t += r + "\r\n";
    return t;
  }

  void componi() {
    std::vector<std::string> linea = preambolo_linea_;
    if (!senza_generale_linea_) linea.push_back(caso_.su(10) ? "[GENERALE]" : "[generale]");
    linea.insert(linea.end(), intestazione_.begin(), intestazione_.end());
    aggiungi_sezione(&linea, senza_curve_ ? "" : "[curve]", curve_);
    aggiungi_sezione(&linea, "[pendenze]", pendenze_);
    aggiungi_sezione(&linea, "[montagne]", montagne_);
    aggiungi_sezione(&linea, "[cartelli]", cartelli_);
    aggiungi_sezione(&linea, "[indicazioni]", indicazioni_);
    if (generale_in_fondo_) {
      linea.push_back("[generale]");
    } else if (!senza_fine_) {
      linea.push_back("[fine]");
    }
    std::vector<std::string> treno = voci_;
    if (!senza_fine_) treno.push_back("[fine]");
    testo_linea_ = vuota_linea_ ? std::string() : unisci(linea);
    testo_treno_ = vuoto_treno_ ? std::string() : unisci(treno);
  }

  void tronca(std::string* testo) {
    if (testo->empty()) return;
    testo->resize(static_cast<size_t>(caso_.tra(0, static_cast<int64_t>(testo->size()) - 1)));
  }

  Caso caso_;
  int64_t L_ = 0;
  int64_t n_ = 0;  // the last cell
  std::vector<bool> prese_;
  std::vector<int64_t> oggetti_;        // cells that a record really takes
  std::vector<int64_t> oggetti_linea_;  // those taken by the line source
  std::vector<Rallentamento> rallentamenti_;
  std::vector<Stazione> stazioni_;
  int64_t velocita_ = 0;

  std::vector<std::string> preambolo_linea_, intestazione_, curve_, pendenze_, montagne_, cartelli_,
      indicazioni_, voci_, rallentamenti_validi_;
  bool con_linea_ = true, con_treno_ = true;
  bool vuota_linea_ = false, vuoto_treno_ = false;
  bool senza_generale_linea_ = false, generale_in_fondo_ = false;
  bool senza_curve_ = false, senza_fine_ = false;
  std::string testo_linea_, testo_treno_;
};

}  // namespace

namespace calvetra::genera {

ScenarioGenerato scenario(uint64_t seme, uint64_t k) {
  // One stream per scenario, apart from its neighbours.
  Caso semi(seme ^ (k * 0xD1B54A32D192ED03ull));
  Scenario s(semi.prossimo());
  s.genera();
  return s.sorgenti();
}

}  // namespace calvetra::genera
