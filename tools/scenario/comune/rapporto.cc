#include "scenario/comune/rapporto.h"

#include <algorithm>

#include "model/errori.h"
#include "scenario/comune/testo.h"

namespace calvetra::scenario {

namespace {

bool fine_riga(char c) { return c == '\r' || c == '\n'; }

}  // namespace

namespace {

std::string ansi(std::string_view testo, const char* codice, bool colore) {
  if (!colore) return std::string(testo);
  return std::string("\x1b[") + codice + "m" + std::string(testo) + "\x1b[0m";
}

}  // namespace

std::string grassetto(std::string_view testo, bool colore) { return ansi(testo, "1", colore); }
std::string rosso(std::string_view testo, bool colore) { return ansi(testo, "1;31", colore); }
std::string magenta(std::string_view testo, bool colore) { return ansi(testo, "1;35", colore); }
std::string ciano(std::string_view testo, bool colore) { return ansi(testo, "1;36", colore); }

std::string colora_parola(std::string_view parola, bool colore) {
  if (parola == "errore") return rosso(parola, colore);
  if (parola == "avviso") return magenta(parola, colore);
  if (parola == "nota") return ciano(parola, colore);
  return std::string(parola);
}

std::string localizzato(const std::string& file, const IndiceRighe& righe, const Luogo& l,
                        std::string_view parola, std::string_view resto, bool colore) {
  const std::string_view testo = righe.testo();
  const size_t offset = std::min(l.offset, testo.size());
  const PosizioneTesto p = righe.posizione(offset);
  std::string s =
      grassetto(file + ":" + std::to_string(p.riga) + ":" + std::to_string(p.colonna) + ":",
                colore) +
      " " + colora_parola(parola, colore) + utf8_leggibile(resto) + "\n";

  size_t inizio = offset;
  while (inizio > 0 && !fine_riga(testo[inizio - 1])) --inizio;
  size_t fine = offset;
  while (fine < testo.size() && !fine_riga(testo[fine])) ++fine;
  const std::string_view riga = testo.substr(inizio, fine - inizio);

  const std::string numero = std::to_string(p.riga);
  const std::string margine(numero.size() + 1, ' ');
  s += " " + numero + " | " + utf8_leggibile(riga) + "\n";
  // Tabs are copied so that the caret lines up under the field whatever the
  // terminal's tab stops; a byte said as `<81>` takes its four columns, every
  // other character one.
  std::string sotto;
  for (size_t i = inizio, dopo = 0; i < offset; i = dopo) {
    const size_t larghe = colonne_leggibili(testo, i, &dopo);
    if (testo[i] == '\t') {
      sotto += '\t';
    } else {
      sotto.append(larghe, ' ');
    }
  }
  size_t colonne = 0;
  const size_t n = std::min(l.lunghezza(), fine - offset);
  for (size_t i = offset, dopo = 0; i < offset + n; i = dopo) {
    colonne += colonne_leggibili(testo, i, &dopo);
  }
  sotto += '^';
  if (colonne > 1) sotto.append(colonne - 1, '~');
  s += margine + " | " + sotto + "\n";
  return s;
}

namespace {

// The source a place points into; error 101 (no line source) points at the
// line source as a whole.
const SorgenteAutore* sorgente_di(const Luogo& l, CodiceErrore codice, const ScenarioCompilato& s) {
  if (l.file == FileSorgente::linea) return &s.sorgenti().linea;
  if (l.file == FileSorgente::treno) return &s.sorgenti().treno;
  if (codice == CodiceErrore::linea_assente) return &s.sorgenti().linea;
  return nullptr;
}

const IndiceRighe& righe_di(const ScenarioCompilato& s, const SorgenteAutore* f) {
  return s.righe(f == &s.sorgenti().linea ? FileSorgente::linea : FileSorgente::treno);
}

std::string testo_nota(const Nota& n, const ScenarioCompilato& s, bool colore) {
  const SorgenteAutore* f = sorgente_di(n.luogo, CodiceErrore::nessuno, s);
  const std::string resto = ": " + n.testo;
  if (f == nullptr) return colora_parola("nota", colore) + utf8_leggibile(resto) + "\n";
  if (!f->testo) {
    return grassetto(f->percorso + ":", colore) + " " + colora_parola("nota", colore) +
           utf8_leggibile(resto) + "\n";
  }
  return localizzato(f->percorso, righe_di(s, f), n.luogo, "nota", resto, colore);
}

std::string testo_errore(const Diagnostico& e, const ScenarioCompilato& s, bool colore) {
  const SorgenteAutore* f = sorgente_di(e.luogo, e.codice, s);
  const std::string riga = detto(e);
  const std::string resto = riga.substr(std::string("errore").size());
  if (f == nullptr) return colora_parola("errore", colore) + resto + "\n";
  if (!f->testo) {
    return grassetto(f->percorso + ":", colore) + " " + colora_parola("errore", colore) + resto +
           (e.codice == CodiceErrore::linea_assente ? "" : " (il file non esiste)") + "\n";
  }
  return localizzato(f->percorso, righe_di(s, f), e.luogo, "errore", resto, colore);
}

}  // namespace

std::string detto(const Diagnostico& d) {
  if (d.gravita == Gravita::avviso) {
    return d.non_compilato ? d.messaggio + " (record non compilato)" : d.messaggio;
  }
  if (!d.fatale) return riga_errore(d.codice, d.posizione);
  if (d.codice == CodiceErrore::nessuno) return "errore fatale: " + d.messaggio;
  return "errore fatale " + std::to_string(numero(d.codice)) + ": " + descrizione_errore(d.codice);
}

std::string testo_diagnostico(const Diagnostico& d, const ScenarioCompilato& s, bool colore) {
  std::string r;
  if (d.gravita == Gravita::errore) {
    r = testo_errore(d, s, colore);
  } else {
    const std::string resto = ": " + detto(d) + " [" + d.nome + "]";
    const SorgenteAutore* f = sorgente_di(d.luogo, CodiceErrore::nessuno, s);
    if (f != nullptr && f->testo) {
      r = localizzato(f->percorso, righe_di(s, f), d.luogo, "avviso", resto, colore);
    } else {
      r = colora_parola("avviso", colore) + utf8_leggibile(resto) + "\n";
    }
  }
  for (const Nota& n : d.note) r += testo_nota(n, s, colore);
  return r;
}

Posto posto(const Luogo& l, CodiceErrore codice, const ScenarioCompilato& s) {
  const SorgenteAutore* f = sorgente_di(l, codice, s);
  if (f == nullptr) return {};
  if (!f->testo || l.file == FileSorgente::nessuno) return {&f->percorso, std::nullopt};
  return {&f->percorso, righe_di(s, f).posizione(l.offset)};
}

}  // namespace calvetra::scenario
