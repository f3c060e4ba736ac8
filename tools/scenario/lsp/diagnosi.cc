#include "scenario/lsp/diagnosi.h"

#include <algorithm>

#include "fields/avvisi.h"
#include "model/caratteri.h"
#include "model/errori.h"
#include "scenario/comune/json.h"
#include "scenario/comune/rapporto.h"
#include "scenario/comune/testo.h"

namespace calvetra::scenario::lsp {

namespace {

constexpr int kGravitaErrore = 1;
constexpr int kGravitaAvviso = 2;

// The source a place points into: a diagnostic without a place (no line
// source, a fatal end) is shown at the start of the line source.
FileSorgente dove(const Luogo& l) {
  return l.file == FileSorgente::nessuno ? FileSorgente::linea : l.file;
}

// The range of a place, as the field reader measured it.
Json intervallo_campo(const Analisi& a, const Luogo& l) {
  const FileSorgente f = dove(l);
  const std::string_view testo = a.testo(f);
  if (l.file == FileSorgente::nessuno || testo.empty()) return intervallo(a.fonte(f), 0, 0);
  const size_t inizio = std::min(l.offset, testo.size());
  return intervallo(a.fonte(f), inizio, std::min(l.fine_estesa(), testo.size()) - inizio);
}

Json diagnostico(const Analisi& a, const Diagnostico& d) {
  const bool errore = d.gravita == Gravita::errore;
  Json j = oggetto_json(6);
  j["range"] = intervallo_campo(a, d.luogo);
  j["severity"] = errore ? kGravitaErrore : kGravitaAvviso;
  j["code"] = errore ? Json(numero(d.codice)) : Json(d.nome);
  j["source"] = "scenario";
  std::string messaggio = detto(d);
  Json collegate = Json::array();
  for (const Nota& n : d.note) {
    // A note without a place of its own stays with the message.
    if (n.luogo.file == FileSorgente::nessuno || a.testo(n.luogo.file).empty()) {
      messaggio += "\nnota: " + n.testo;
      continue;
    }
    Json luogo = oggetto_json(2);
    luogo["uri"] = a.fonte(n.luogo.file).uri;
    luogo["range"] = intervallo_campo(a, n.luogo);
    Json collegata = oggetto_json(2);
    collegata["location"] = std::move(luogo);
    collegata["message"] = utf8_leggibile(n.testo);
    collegate.push_back(std::move(collegata));
  }
  j["message"] = utf8_leggibile(messaggio);
  if (!collegate.empty()) j["relatedInformation"] = std::move(collegate);
  return j;
}

// The k-th character of the buffer that Windows-1252 lacks, named: a pasted
// one may not be seen at all.
Json non_rappresentabile(const Fonte& f, size_t k) {
  const uint32_t cp = k < f.mancanti.size() ? f.mancanti[k] : 0xFFFD;
  std::string m = nome_carattere(cp) +
                  ": un sorgente in Windows-1252 non puo' contenerlo, e il compilatore legge `?`";
  if (k < f.correzioni_mancanti.size() && f.correzioni_mancanti[k]) {
    m += "; " + f.correzioni_mancanti[k]->titolo;
  }
  return {{"range", intervallo(f, f.non_rappresentabili[k], 1)},
          {"severity", kGravitaAvviso},
          {"code", kNonRappresentabile},
          {"source", "scenario"},
          {"message", utf8_da_1252(m)}};
}

// A source that does not exist, said at the start of the other one: the
// editor has that one open, and may have no window on the missing file's URI.
Json sorgente_mancante(const Analisi& a, const Fonte& mancante, const Fonte& aperta) {
  const SorgenteAutore* s = a.sorgenti().di(mancante.file);
  std::string messaggio = s->percorso + ": il sorgente " +
                          (mancante.file == FileSorgente::treno ? "del treno" : "della linea") +
                          " non esiste; la coppia non si compila e nessun file verrebbe scritto";
  for (const std::string& n : mancante.note_mancante) messaggio += "\nnota: " + n;
  return {{"range", intervallo(aperta, 0, 0)},
          {"severity", kGravitaErrore},
          {"code", kSorgenteMancante},
          {"source", "scenario"},
          {"message", messaggio}};  // paths and names as the file system holds them
}

}  // namespace

Json intervallo(const Fonte& f, size_t inizio, size_t lunghezza) {
  Json j = oggetto_json(2);
  metti_membro(&j, "start", json_posizione(f.indice.posizione(inizio)));
  metti_membro(&j, "end", json_posizione(f.indice.posizione(inizio + lunghezza)));
  return j;
}

std::vector<Json> pubblicazioni(const Analisi& a) {
  std::vector<Json> p;
  for (const Fonte* f : {&a.linea, &a.treno}) {
    Json lista = Json::array();
    for (size_t k = 0; k < f->non_rappresentabili.size(); ++k) {
      lista.push_back(non_rappresentabile(*f, k));
    }
    const Fonte& altra = f == &a.linea ? a.treno : a.linea;
    if (altra.mancante && !f->mancante) lista.push_back(sorgente_mancante(a, altra, *f));
    for (const Diagnostico& d : a.compilazione().diagnostica.voci()) {
      if (dove(d.luogo) == f->file) lista.push_back(diagnostico(a, d));
    }
    Json j = oggetto_json(3);
    j["uri"] = f->uri;
    j["diagnostics"] = std::move(lista);
    if (f->versione) j["version"] = *f->versione;
    p.push_back(std::move(j));
  }
  return p;
}

namespace {

Json azione(const Fonte& f, const Correzione& c, const Json& mostrato, bool preferita) {
  Json modifica = {{"range", intervallo(f, c.luogo.offset, c.lunghezza)},
                   {"newText", utf8_da_1252(c.testo)}};
  return {{"title", utf8_leggibile(c.titolo)},
          {"kind", "quickfix"},
          {"diagnostics", Json::array({mostrato})},
          {"isPreferred", preferita},
          {"edit", {{"changes", {{f.uri, Json::array({std::move(modifica)})}}}}}};
}

}  // namespace

Json azioni(const Analisi& a, FileSorgente file, size_t da, size_t fino) {
  Json lista = Json::array();
  const Fonte& f = a.fonte(file);
  for (size_t k = 0; k < f.correzioni_mancanti.size(); ++k) {
    const size_t i = f.non_rappresentabili[k];
    if (!f.correzioni_mancanti[k] || i + 1 < da || i > fino) continue;
    lista.push_back(azione(f, *f.correzioni_mancanti[k], non_rappresentabile(f, k), true));
  }
  for (const Diagnostico& d : a.compilazione().diagnostica.voci()) {
    if (d.correzioni.empty() || dove(d.luogo) != file) continue;
    const size_t inizio = d.luogo.offset;
    const size_t fine = d.luogo.fine_estesa();
    if (fine < da || inizio > fino) continue;
    const Json mostrato = diagnostico(a, d);
    for (const Correzione& c : d.correzioni) {
      if (c.luogo.file != file) continue;
      lista.push_back(azione(f, c, mostrato, d.correzioni.size() == 1));
    }
  }
  return lista;
}

std::optional<Json> codifica_sul_disco(std::string_view sul_disco, std::string_view buffer_utf8,
                                       bool salvato) {
  const auto a_capo = [](std::string m) {
    return Json{
        {"range",
         {{"start", {{"line", 0}, {"character", 0}}}, {"end", {{"line", 0}, {"character", 0}}}}},
        {"code", kCodifica},
        {"source", "scenario"},
        {"message", std::move(m)}};
  };
  if (codifica_utf16(sul_disco) != Utf16::no) {
    Json d = a_capo(std::string(salvato ? "salvato in UTF-16: " : "") + kUtf16);
    d["severity"] = kGravitaErrore;
    return d;
  }
  // A file in UTF-8 that holds the buffer's very text was read or written so.
  if (!sembra_utf8(sul_disco) || utf8_a_1252(sul_disco).testo != utf8_a_1252(buffer_utf8).testo) {
    return std::nullopt;
  }
  Json d = a_capo(std::string(salvato ? "salvato in UTF-8" : "il file e' in UTF-8") +
                  ", ma calvetra legge i sorgenti in Windows-1252: ogni lettera accentata "
                  "diventerebbe due caratteri. Salvalo in Windows-1252 (in Neovim "
                  "`:set fileencoding=cp1252 fileformat=dos` e `:w`)");
  d["severity"] = kGravitaAvviso;
  return d;
}

}  // namespace calvetra::scenario::lsp
