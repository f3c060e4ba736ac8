#include "scenario/comune/rapporto.h"

#include <algorithm>
#include <ostream>

#include "model/errori.h"
#include "scenario/comune/testo.h"

namespace calvetra::scenario {

namespace {

bool fine_riga(char c) { return c == '\r' || c == '\n'; }

// `testo` appended, in the ANSI colour `codice` when `colore`.
void aggiungi_ansi(std::string* s, std::string_view testo, const char* codice, bool colore) {
  if (!colore) {
    *s += testo;
    return;
  }
  *s += "\x1b[";
  *s += codice;
  *s += 'm';
  *s += testo;
  *s += "\x1b[0m";
}

const char* codice_parola(std::string_view parola) {
  if (parola == "errore") return "1;31";
  if (parola == "avviso") return "1;35";
  if (parola == "nota") return "1;36";
  return nullptr;
}

void aggiungi_parola(std::string* s, std::string_view parola, bool colore) {
  const char* codice = codice_parola(parola);
  aggiungi_ansi(s, parola, codice != nullptr ? codice : "", colore && codice != nullptr);
}

// What `localizzato` gives, appended to `*s`.
void aggiungi_localizzato(std::string* s, const std::string& file, const IndiceRighe& righe,
                          const Luogo& l, std::string_view parola, std::string_view resto,
                          bool colore) {
  const std::string_view testo = righe.testo();
  const size_t offset = std::min(l.offset, testo.size());
  const PosizioneTesto p = righe.posizione(offset);
  const std::string numero = std::to_string(p.riga);
  aggiungi_ansi(s, file + ":" + numero + ":" + std::to_string(p.colonna) + ":", "1", colore);
  *s += ' ';
  aggiungi_parola(s, parola, colore);
  aggiungi_utf8_leggibile(s, resto);
  *s += '\n';

  size_t inizio = offset;
  while (inizio > 0 && !fine_riga(testo[inizio - 1])) --inizio;
  size_t fine = offset;
  while (fine < testo.size() && !fine_riga(testo[fine])) ++fine;
  *s += ' ';
  *s += numero;
  *s += " | ";
  aggiungi_utf8_leggibile(s, testo.substr(inizio, fine - inizio));
  *s += '\n';
  s->append(numero.size() + 1, ' ');
  *s += " | ";
  // Tabs are copied so that the caret lines up under the field whatever the
  // terminal's tab stops; a byte said as `<81>` takes its four columns, every
  // other character one.
  // Printable ASCII, one column a byte, goes a run at a time.
  for (size_t i = inizio, dopo = 0; i < offset; i = dopo) {
    dopo = i;
    while (dopo < offset && ascii_stampabile(testo[dopo])) ++dopo;
    if (dopo > i) {
      s->append(dopo - i, ' ');
      continue;
    }
    const size_t larghe = colonne_leggibili(testo, i, &dopo);
    if (testo[i] == '\t') {
      *s += '\t';
    } else {
      s->append(larghe, ' ');
    }
  }
  size_t colonne = 0;
  const size_t n = std::min(l.lunghezza(), fine - offset);
  for (size_t i = offset, dopo = 0; i < offset + n; i = dopo) {
    if (ascii_stampabile(testo[i])) {
      ++colonne;
      dopo = i + 1;
    } else {
      colonne += colonne_leggibili(testo, i, &dopo);
    }
  }
  *s += '^';
  if (colonne > 1) s->append(colonne - 1, '~');
  *s += '\n';
}

}  // namespace

std::string localizzato(const std::string& file, const IndiceRighe& righe, const Luogo& l,
                        std::string_view parola, std::string_view resto, bool colore) {
  std::string s;
  aggiungi_localizzato(&s, file, righe, l, parola, resto, colore);
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

void aggiungi_nota(std::string* r, const Nota& n, const ScenarioCompilato& s, bool colore) {
  const SorgenteAutore* f = sorgente_di(n.luogo, CodiceErrore::nessuno, s);
  const std::string resto = ": " + n.testo;
  if (f == nullptr || !f->testo) {
    if (f != nullptr) {
      aggiungi_ansi(r, f->percorso + ":", "1", colore);
      *r += ' ';
    }
    aggiungi_parola(r, "nota", colore);
    aggiungi_utf8_leggibile(r, resto);
    *r += '\n';
    return;
  }
  aggiungi_localizzato(r, f->percorso, righe_di(s, f), n.luogo, "nota", resto, colore);
}

void aggiungi_errore(std::string* r, const Diagnostico& e, const ScenarioCompilato& s,
                     bool colore) {
  const SorgenteAutore* f = sorgente_di(e.luogo, e.codice, s);
  const std::string riga = detto(e);
  const std::string_view resto = std::string_view(riga).substr(std::string_view("errore").size());
  if (f == nullptr || !f->testo) {
    if (f != nullptr) {
      aggiungi_ansi(r, f->percorso + ":", "1", colore);
      *r += ' ';
    }
    aggiungi_parola(r, "errore", colore);
    *r += resto;
    if (f != nullptr && e.codice != CodiceErrore::linea_assente) *r += " (il file non esiste)";
    *r += '\n';
    return;
  }
  aggiungi_localizzato(r, f->percorso, righe_di(s, f), e.luogo, "errore", resto, colore);
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

void aggiungi_diagnostico(std::string* r, const Diagnostico& d, const ScenarioCompilato& s,
                          bool colore) {
  if (d.gravita == Gravita::errore) {
    aggiungi_errore(r, d, s, colore);
  } else {
    const std::string resto = ": " + detto(d) + " [" + d.nome + "]";
    const SorgenteAutore* f = sorgente_di(d.luogo, CodiceErrore::nessuno, s);
    if (f != nullptr && f->testo) {
      aggiungi_localizzato(r, f->percorso, righe_di(s, f), d.luogo, "avviso", resto, colore);
    } else {
      aggiungi_parola(r, "avviso", colore);
      aggiungi_utf8_leggibile(r, resto);
      *r += '\n';
    }
  }
  for (const Nota& n : d.note) aggiungi_nota(r, n, s, colore);
}

std::string testo_diagnostico(const Diagnostico& d, const ScenarioCompilato& s, bool colore) {
  std::string r;
  aggiungi_diagnostico(&r, d, s, colore);
  return r;
}

void scrivi_diagnostici(std::ostream& out, std::span<const Diagnostico> diagnostici,
                        const ScenarioCompilato& s, bool colore) {
  // Written a block at a time: one write for a few hundred reports, not one
  // each, and never the whole of a hundred thousand in memory.
  // Its room is made once, a report's worth above the block, and reused.
  constexpr size_t kBlocco = 32 * 1024;
  std::string blocco;
  blocco.reserve(kBlocco + kBlocco / 4);
  for (const Diagnostico& d : diagnostici) {
    aggiungi_diagnostico(&blocco, d, s, colore);
    if (blocco.size() >= kBlocco) {
      out << blocco;
      blocco.clear();
    }
  }
  out << blocco;
}

Posto posto(const Luogo& l, CodiceErrore codice, const ScenarioCompilato& s) {
  const SorgenteAutore* f = sorgente_di(l, codice, s);
  if (f == nullptr) return {};
  if (!f->testo || l.file == FileSorgente::nessuno) return {&f->percorso, std::nullopt};
  return {&f->percorso, righe_di(s, f).posizione(l.offset)};
}

}  // namespace calvetra::scenario
