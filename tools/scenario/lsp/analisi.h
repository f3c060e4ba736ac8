// One check of the scenario as the editor shows it: the two sources, each
// from its open buffer (UTF-8, converted to Windows-1252 as the file would
// hold it) or else from the disk, compiled together by the compile of
// `check`, with the record behind every object kept for the features.
#ifndef CALVETRA_TOOLS_SCENARIO_LSP_ANALISI_H_
#define CALVETRA_TOOLS_SCENARIO_LSP_ANALISI_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compile/compilazione.h"
#include "model/costanti.h"
#include "model/diagnostica.h"
#include "platform/piattaforma.h"
#include "scenario/comune/compilato.h"
#include "scenario/comune/sorgenti.h"
#include "scenario/lsp/documenti.h"
#include "scenario/lsp/posizioni.h"

namespace calvetra::scenario::lsp {

// The scenario the server checks: its directory (absolute) and the names of
// its two sources.
struct Scenario {
  std::string cartella;
  NomiScenario nomi;
};

// Which source of `s` the file at `percorso` is; nessuno for any other file.
FileSorgente ruolo(const Scenario& s, std::string_view percorso);

// One source as checked.
struct Fonte {
  FileSorgente file = FileSorgente::nessuno;
  std::string uri;                          // the editor's own URI when it is open
  std::optional<int64_t> versione;          // the buffer's version when it is open
  std::vector<size_t> non_rappresentabili;  // characters of the buffer that became '?'
  std::vector<uint32_t> mancanti;           // the character each of them was
  // For each, the fix that writes what it stands for (nothing for a
  // character that takes no room, `-` for a minus sign), where one does and
  // it compiled clean; empty where none.
  std::vector<std::optional<Correzione>> correzioni_mancanti;
  IndicePosizioni indice;
  // Neither open nor on the disk: the files of nearly its name and the other
  // routes' sources in the directory, as `check` lists them.
  bool mancante = false;
  std::vector<std::string> note_mancante;
};

struct Analisi {
  // The sources (Windows-1252, as the compiler reads them) and their one
  // compile, which the live page is handed too.
  Compilato scenario;
  Fonte linea;
  Fonte treno;

  const SorgentiAutore& sorgenti() const { return scenario->sorgenti(); }
  const Compilazione& compilazione() const { return scenario->compilazione(); }

  const Fonte& fonte(FileSorgente f) const { return f == FileSorgente::treno ? treno : linea; }
  std::string_view testo(FileSorgente f) const {
    const SorgenteAutore* a = sorgenti().di(f);
    return a != nullptr && a->testo ? std::string_view(*a->testo) : std::string_view();
  }
  // The source a URI names; nessuno for another document.
  FileSorgente di(std::string_view uri) const;
};

// Checks `s`: open buffers win over the files on disk. The compile is the
// one of `check`, every diagnostic the same; its journal gives the record
// behind every object and every record met, for hover, signature help and
// symbols. The plan is only measured unless `per_la_pagina`: then it is kept
// for the live page, which draws from this same compile.
Analisi analizza(Piattaforma* disco, const Scenario& s, const Documenti& documenti, Codifica c,
                 bool per_la_pagina = false);

}  // namespace calvetra::scenario::lsp

#endif  // CALVETRA_TOOLS_SCENARIO_LSP_ANALISI_H_
