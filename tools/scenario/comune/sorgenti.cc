#include "scenario/comune/sorgenti.h"

#include <algorithm>

#include "fields/distanze.h"
#include "fields/lettore_campi.h"
#include "model/caratteri.h"

namespace calvetra::scenario {

namespace {

Sorgente come_sorgente(const SorgenteAutore& s) {
  return s.testo ? Sorgente::di(*s.testo) : Sorgente{};
}

}  // namespace

const SorgenteAutore* SorgentiAutore::di(FileSorgente f) const {
  if (f == FileSorgente::linea) return &linea;
  if (f == FileSorgente::treno) return &treno;
  return nullptr;
}

bool leggi_sorgenti(Piattaforma* disco, const std::string& cartella, const NomiScenario& nomi,
                    SorgentiAutore* s, std::string* errore) {
  s->linea = {nella_cartella(cartella, nomi.sorgente_linea()), std::nullopt};
  s->treno = {nella_cartella(cartella, nomi.sorgente_treno()), std::nullopt};
  for (SorgenteAutore* a : {&s->linea, &s->treno}) {
    if (!disco->esiste(a->percorso)) continue;
    std::string testo;
    std::string motivo;
    if (!disco->leggi(a->percorso, &testo, &motivo)) {
      *errore = a->percorso + ": impossibile leggere: " + motivo;
      return false;
    }
    a->testo = std::move(testo);
  }
  return true;
}

Compilazione compila_sorgenti(const SorgentiAutore& s, const NomiScenario& nomi,
                              const OpzioniCompilazione& opzioni) {
  // A source in UTF-16 is refused whole, at its first line: read as
  // Windows-1252 every letter would be two bytes, one of them NUL, and
  // nothing of it would be what the author wrote.
  for (const FileSorgente f : {FileSorgente::linea, FileSorgente::treno}) {
    const SorgenteAutore* a = s.di(f);
    if (!a->testo || codifica_utf16(*a->testo) == Utf16::no) continue;
    Compilazione c;
    c.fine = FineCompilazione::rifiutata;
    c.diagnostica.fatale(CodiceErrore::nessuno, {f, 0, 0}, kUtf16);
    return c;
  }
  return compila(come_sorgente(s.linea), come_sorgente(s.treno), nomi, opzioni);
}

namespace {

std::string minuscolo(std::string t) {
  for (char& c : t) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return t;
}

bool finisce_con(const std::string& t, const std::string& fine) {
  return t.size() >= fine.size() && t.compare(t.size() - fine.size(), fine.size(), fine) == 0;
}

// The name without its extensions (`.txt.txt` too), in lower case, hyphens
// and blanks left out.
std::string chiave(const std::string& nome) {
  std::string stelo = nome;
  while (finisce_con(minuscolo(stelo), ".txt")) stelo.resize(stelo.size() - 4);
  const size_t punto = stelo.rfind('.');
  if (punto != std::string::npos && punto > 0) stelo.resize(punto);
  std::erase_if(stelo, [](char c) { return c == '-' || c == ' ' || c == '\t'; });
  return minuscolo(stelo);
}

// The binary files of a scenario share their stems with the sources.
bool binario(const std::string& nome) {
  const std::string n = minuscolo(nome);
  return finisce_con(n, ".dat") || finisce_con(n, ".sim");
}

std::string citato(const std::string& t) { return "`" + t + "`"; }

// An option value as a shell would need it.
std::string argomento(const std::string& t) {
  return t.find_first_of(" \t'\"") == std::string::npos ? t : "'" + t + "'";
}

}  // namespace

std::vector<std::string> nomi_vicini(Piattaforma* disco, const std::string& cartella,
                                     const std::string& nome) {
  const std::string cercata = chiave(nome);
  std::vector<std::string> vicini;
  for (const std::string& n : disco->elenco(cartella)) {
    if (n == nome || binario(n) || distanza_entro(chiave(n), cercata, 3) > 2 ||
        disco->genere(nella_cartella(cartella, n)) != Piattaforma::Genere::file) {
      continue;
    }
    vicini.push_back(n);
  }
  // The directory's order is the system's: they are shown in name order.
  std::sort(vicini.begin(), vicini.end());
  return vicini;
}

std::vector<std::string> note_mancante(Piattaforma* disco, const std::string& cartella,
                                       const NomiScenario& nomi, FileSorgente quale) {
  const bool linea = quale == FileSorgente::linea;
  const std::string cercato = linea ? nomi.sorgente_linea() : nomi.sorgente_treno();
  std::vector<std::string> note;
  std::vector<std::string> gia;
  for (const std::string& v : nomi_vicini(disco, cartella, cercato)) {
    note.push_back("nella cartella c'e' " + citato(v) + ": il nome cercato e' " + citato(cercato) +
                   " (trattini, maiuscole ed estensione contano)");
    gia.push_back(v);
  }
  // The sources of other scenarios, and the options that choose them.
  const std::string prefisso = nomi.linea + "_";
  for (const std::string& n : disco->elenco(cartella)) {
    if (std::find(gia.begin(), gia.end(), n) != gia.end() ||
        disco->genere(nella_cartella(cartella, n)) != Piattaforma::Genere::file) {
      continue;
    }
    if (linea && finisce_con(n, "_linea.txt")) {
      const std::string altra = n.substr(0, n.size() - std::string("_linea.txt").size());
      note.push_back("nella cartella c'e' " + citato(n) + ": per la sua linea usa --linea " +
                     argomento(altra));
    } else if (!linea && finisce_con(n, "-.txt") && n.rfind(prefisso, 0) == 0) {
      const std::string treni = n.substr(prefisso.size(), n.size() - prefisso.size() - 5);
      note.push_back("nella cartella c'e' " + citato(n) + ": per quei treni usa --treni " +
                     argomento(treni));
    } else if (!linea && finisce_con(n, "-.txt") && n.find('_') != std::string::npos) {
      const size_t sotto = n.find('_');
      note.push_back("nella cartella c'e' " + citato(n) + ": per quel treno usa --linea " +
                     argomento(n.substr(0, sotto)) + " --treni " +
                     argomento(n.substr(sotto + 1, n.size() - sotto - 6)));
    }
  }
  std::sort(note.begin() + static_cast<std::ptrdiff_t>(gia.size()), note.end());
  return note;
}

bool treno_mancante(Piattaforma* disco, const std::string& cartella, const NomiScenario& nomi,
                    const SorgentiAutore& s, std::ostream& err) {
  if (!s.linea.testo || s.treno.testo) return false;
  err << s.treno.percorso << ": il sorgente del treno non esiste; nessun file scritto\n";
  for (const std::string& n : note_mancante(disco, cartella, nomi, FileSorgente::treno)) {
    err << "nota: " << n << "\n";
  }
  return true;
}

}  // namespace calvetra::scenario
