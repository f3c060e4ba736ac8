#include "fields/avvisi.h"

#include <algorithm>
#include <bitset>
#include <utility>

namespace calvetra {

namespace {

char minuscola(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool spazio(char c) { return c == ' ' || c == '\t'; }

std::string citato(std::string_view testo) {
  std::string s;
  s.reserve(testo.size() + 2);
  s += '`';
  s += testo;
  s += '`';
  return s;
}

// The first keyword of the source that `campo` contains; empty when none.
std::string_view parola_contenuta(FileSorgente file, std::string_view campo) {
  for (std::string_view p : parole_chiave(file)) {
    if (contiene(campo, p)) return p;
  }
  return {};
}

// Fills row i (from 1) of the edit table of `a` against `b`, letter case
// ignored, from the row before (`una`) and, for a swap of neighbours, the one
// before that (`due`, read only when i > 1); returns the row's least entry.
size_t riga_modifica(std::string_view a, std::string_view b, size_t i, const size_t* due,
                     const size_t* una, size_t* ora) {
  ora[0] = i;
  size_t minimo = i;
  for (size_t j = 1; j <= b.size(); ++j) {
    const bool uguale = minuscola(a[i - 1]) == minuscola(b[j - 1]);
    ora[j] = std::min({una[j] + 1, ora[j - 1] + 1, una[j - 1] + (uguale ? 0 : 1)});
    if (i > 1 && j > 1 && minuscola(a[i - 1]) == minuscola(b[j - 2]) &&
        minuscola(a[i - 2]) == minuscola(b[j - 1])) {
      ora[j] = std::min(ora[j], due[j - 2] + 1);
    }
    minimo = std::min(minimo, ora[j]);
  }
  return minimo;
}

}  // namespace

size_t distanza_modifica(std::string_view a, std::string_view b) {
  // Three rows of the edit table: two back for the swap of neighbours.
  std::vector<size_t> due(b.size() + 1), una(b.size() + 1), ora(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) una[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    riga_modifica(a, b, i, due.data(), una.data(), ora.data());
    std::swap(due, una);
    std::swap(una, ora);
  }
  return una[b.size()];
}

size_t distanza_entro(std::string_view a, std::string_view b, size_t tetto) {
  constexpr size_t kColonne = 64;
  if (b.size() >= kColonne) return std::min(distanza_modifica(a, b), tetto);
  // The difference of the lengths is a lower bound of the distance.
  if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) >= tetto) return tetto;
  // Three rows of the edit table used in turn: row i lives in righe[i % 3],
  // so row i - 2 in righe[(i + 1) % 3].
  size_t righe[3][kColonne];
  for (size_t j = 0; j <= b.size(); ++j) righe[0][j] = j;
  size_t minimo_prima = 0;  // the least entry of the row before the last
  for (size_t i = 1; i <= a.size(); ++i) {
    const size_t minimo =
        riga_modifica(a, b, i, righe[(i + 1) % 3], righe[(i - 1) % 3], righe[i % 3]);
    // Every later entry grows from one of the last two rows: once both are
    // at the ceiling, so is the distance.
    if (i > 1 && minimo >= tetto && minimo_prima >= tetto) return tetto;
    minimo_prima = minimo;
  }
  return std::min(righe[a.size() % 3][b.size()], tetto);
}

namespace {

// A word of a record name (five letters or more: shorter ones are never
// suggested from) and the bytes it is made of, in either case.
struct VoceNome {
  std::string_view nome;
  std::string_view voce;
  std::bitset<256> lettere;
};

std::vector<VoceNome> voci_di(FileSorgente file) {
  std::vector<VoceNome> voci;
  for (std::string_view nome : nomi_record(file)) {
    size_t j = 0;
    while (j < nome.size()) {
      size_t k = nome.find(' ', j);
      if (k == std::string_view::npos) k = nome.size();
      VoceNome v{nome, nome.substr(j, k - j), {}};
      j = k + 1;
      if (v.voce.size() < 5) continue;
      for (char c : v.voce) {
        v.lettere.set(static_cast<unsigned char>(c));
        if (c >= 'a' && c <= 'z') v.lettere.set(static_cast<unsigned char>(c - 'a' + 'A'));
      }
      voci.push_back(v);
    }
  }
  return voci;
}

const std::vector<VoceNome>& voci_nomi(FileSorgente file) {
  static const std::vector<VoceNome> linea = voci_di(FileSorgente::linea);
  static const std::vector<VoceNome> treno = voci_di(FileSorgente::treno);
  static const std::vector<VoceNome> nessuna;
  if (file == FileSorgente::linea) return linea;
  if (file == FileSorgente::treno) return treno;
  return nessuna;
}

}  // namespace

std::string_view suggerimento(FileSorgente file, std::string_view campo) {
  std::string_view migliore;
  size_t distanza_migliore = 3;
  size_t i = 0;
  while (i < campo.size()) {
    while (i < campo.size() && (spazio(campo[i]) || campo[i] == ',')) ++i;
    size_t fine = i;
    while (fine < campo.size() && !spazio(campo[fine]) && campo[fine] != ',') ++fine;
    const std::string_view parola = campo.substr(i, fine - i);
    i = fine;
    if (parola.size() < 4) continue;
    for (const VoceNome& v : voci_nomi(file)) {
      const std::string_view voce = v.voce;
      const size_t soglia = voce.size() >= 7 ? 2 : 1;
      // Each letter of the word's start (what every comparison below reads)
      // that the name's word lacks costs an edit of its own: past the
      // threshold no table is worth building. Junk text stops here.
      size_t assenti = 0;
      const size_t inizio = std::min(parola.size(), voce.size());
      for (size_t c = 0; c < inizio && assenti <= soglia; ++c) {
        if (!v.lettere[static_cast<unsigned char>(parola[c])]) ++assenti;
      }
      if (assenti > soglia) continue;
      // Lengths further apart than the threshold are never close, and a
      // long field is compared by its start alone: the cost stays small.
      const size_t scarto =
          parola.size() > voce.size() ? parola.size() - voce.size() : voce.size() - parola.size();
      // Only distances below 3 can be suggested, so none is computed further.
      constexpr size_t kTetto = 3;
      size_t dist = scarto <= 2 ? distanza_entro(parola, voce, kTetto) : scarto;
      if (parola.size() > voce.size()) {
        dist = std::min(dist, distanza_entro(parola.substr(0, voce.size()), voce, kTetto));
      } else if (parola.size() >= 5) {
        // A keyword cut short: one edit more than its start.
        dist = std::min(dist, distanza_entro(parola, voce.substr(0, parola.size()), kTetto) + 1);
      }
      if (dist <= soglia && dist < distanza_migliore) {
        distanza_migliore = dist;
        migliore = v.nome;
      }
    }
  }
  return migliore;
}

bool sembra_utf8(std::string_view testo) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(testo[i]); };
  const auto seguito = [&](size_t i) { return i < testo.size() && (byte(i) & 0xC0) == 0x80; };
  for (size_t i = 0; i < testo.size(); ++i) {
    const unsigned char c = byte(i);
    size_t n = 0;
    if (c >= 0xC2 && c <= 0xDF) n = 1;
    if (c >= 0xE0 && c <= 0xEF) n = 2;
    if (c >= 0xF0 && c <= 0xF4) n = 3;
    if (n == 0) continue;
    bool tutti = true;
    for (size_t k = 1; k <= n; ++k) tutti = tutti && seguito(i + k);
    if (tutti) return true;
  }
  return false;
}

const std::vector<std::string_view>& nomi_record(FileSorgente file) {
  static const std::vector<std::string_view> linea = {
      "lunghezza percorso", "progressiva chilometrica uno",
      "sfondo uno",         "ripetizione segnali",
      "pendenza",           "curva",
      "montagna",           "indicatori_vmax",
      "cartello_indicatore"};
  static const std::vector<std::string_view> treno = {"percentuale massa frenata",
                                                      "numero vetture",
                                                      "velocita",
                                                      "aderenza",
                                                      "orologio",
                                                      "sabbia",
                                                      "segnale",
                                                      "rallentamento",
                                                      "abbattimento",
                                                      "stazione"};
  static const std::vector<std::string_view> nessuno;
  if (file == FileSorgente::linea) return linea;
  if (file == FileSorgente::treno) return treno;
  return nessuno;
}

const std::vector<std::string_view>& parole_chiave(FileSorgente file) {
  static const std::vector<std::string_view> linea = {
      "lunghezza", "percorso", "progressiva", "sfondo",  "ripetizione",
      "pendenza",  "curva",    "montagna",    "indicat", "cartello"};
  static const std::vector<std::string_view> treno = {
      "massa",  "frenata", "vetture",       "velocit",      "aderenza", "orologio",
      "sabbia", "segnale", "rallentamento", "abbattimento", "stazione"};
  static const std::vector<std::string_view> nessuno;
  if (file == FileSorgente::linea) return linea;
  if (file == FileSorgente::treno) return treno;
  return nessuno;
}

bool tra_parentesi(std::string_view campo) {
  size_t i = 0;
  while (i < campo.size() && spazio(campo[i])) ++i;
  return i < campo.size() && campo[i] == '[' && campo.find(']', i) != std::string_view::npos;
}

void Avvisi::numero_letto(std::string_view campo, size_t inizio) noexcept {
  try {
    if (segna_) {
      segna_ = false;
      segnato_ = {true, inizio, e_numero(campo)};
    }
    size_t i = 0;
    while (i < campo.size() && spazio(campo[i])) ++i;
    if (i == campo.size() || e_numero(campo)) return;
    const std::string_view parola = parola_contenuta(file_, campo);
    if (!parola.empty()) {
      d_.avviso("parola-chiave-come-valore",
                "il campo " + citato(campo) + " e' letto come valore e vale 0: al record manca " +
                    "un valore, e questa parola chiave non apre un nuovo record",
                a(inizio));
      return;
    }
    d_.avviso("numero-non-valido", citato(campo) + " non e' un numero e vale 0", a(inizio));
  } catch (...) {
    // A warning that cannot be recorded is simply not recorded.
  }
}

void Avvisi::testo_letto(std::string_view testo, size_t inizio) {
  if (!d_.avvisi_attivi()) return;
  if (sembra_utf8(testo)) {
    d_.avviso("testo-utf8",
              "il testo " + citato(testo) +
                  " sembra scritto in UTF-8, ma i sorgenti sono letti in Windows-1252",
              a(inizio));
  }
  // A text that opens a line and holds a keyword: the record's text is
  // missing and the next record's keyword took its place.
  const std::string_view sorgente = lettore_.testo();
  size_t i = std::min(inizio, sorgente.size());
  while (i > 0 && spazio(sorgente[i - 1])) --i;
  const bool a_capo = i == 0 || sorgente[i - 1] == '\n' || sorgente[i - 1] == '\r';
  if (a_capo && !parola_contenuta(file_, testo).empty()) {
    d_.avviso("parola-chiave-come-valore",
              "il testo " + citato(testo) +
                  " e' una parola chiave letta come valore: al record manca il testo?",
              a(inizio));
  }
}

void Avvisi::campo_ignorato(std::string_view campo, size_t inizio, std::string_view perche) {
  if (!d_.avvisi_attivi()) return;
  constexpr int kTutti = 1 << 30;
  if (e_numero(campo)) {
    if (numeri_tollerati_ > 0) {
      --numeri_tollerati_;
      return;
    }
    d_.avviso("campo-ignorato",
              "valore " + citato(campo) +
                  " di troppo: letto al posto di una parola chiave e ignorato, come i numeri " +
                  "che lo seguono",
              a(inizio));
    numeri_tollerati_ = kTutti;
    return;
  }
  numeri_tollerati_ = kTutti;
  std::string messaggio = "campo " + citato(campo) + " ignorato: ";
  if (!perche.empty()) {
    messaggio += perche;
  } else {
    messaggio += "non apre nessun record";
    const std::string_view nome = d_.suggerimenti_attivi() ? suggerimento(file_, campo) : "";
    if (!nome.empty()) messaggio += "; forse " + citato(nome) + "?";
  }
  d_.avviso("campo-ignorato", messaggio, a(inizio));
}

void Avvisi::sezione_con_parola_chiave(std::string_view campo, size_t inizio) {
  if (!d_.avvisi_attivi()) return;
  d_.avviso("sezione-con-parola-chiave",
            "il nome di sezione " + citato(campo) + " contiene la parola chiave " +
                citato(parola_contenuta(file_, campo)) + " e vale come record",
            a(inizio));
}

Nota Avvisi::nota_precedente(const Precedente& p, const std::string& tipo) const {
  return {"qui " + tipo + " precedente", a(p.chiave)};
}

void Avvisi::registra(const std::string& tipo, int64_t inizio, int64_t fine) {
  precedenti_[tipo] = {inizio, fine, chiave_};
}

void Avvisi::in_ordine(const std::string& tipo, int64_t p) {
  if (!d_.avvisi_attivi()) return;
  const auto i = precedenti_.find(tipo);
  if (i != precedenti_.end() && p <= i->second.inizio) {
    d_.avviso("fuori-ordine",
              tipo + " a " + std::to_string(p) + " m non viene dopo il record precedente, a " +
                  std::to_string(i->second.inizio) + " m: vanno in ordine di posizione crescente",
              a(chiave_), {nota_precedente(i->second, tipo)});
  }
  registra(tipo, p, p);
}

void Avvisi::senza_sovrapposizione(const std::string& tipo, int64_t inizio, int64_t fine) {
  if (!d_.avvisi_attivi()) return;
  const auto i = precedenti_.find(tipo);
  if (i != precedenti_.end() && inizio < i->second.fine) {
    d_.avviso("sovrapposizione",
              tipo + " da " + std::to_string(inizio) + " m comincia prima della fine (" +
                  std::to_string(i->second.fine) + " m) di quella precedente",
              a(chiave_), {nota_precedente(i->second, tipo)});
  }
  registra(tipo, inizio, fine);
}

void Avvisi::una_volta(const std::string& tipo) {
  if (!d_.avvisi_attivi()) return;
  const auto i = precedenti_.find(tipo);
  if (i != precedenti_.end()) {
    d_.avviso("sovrascrittura",
              tipo + " ripetuto: i valori letti qui prendono il posto di quelli del record " +
                  "precedente",
              a(chiave_), {nota_precedente(i->second, tipo)});
  }
  registra(tipo, 0, 0);
}

}  // namespace calvetra
