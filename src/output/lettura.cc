#include "output/lettura.h"

#include <utility>

#include "model/significato.h"
#include "output/file_celle.h"
#include "output/file_tabella.h"

namespace calvetra {

namespace {

StatoLettura leggi_tabella_di(std::string_view dati, const std::string& nome, ScenarioLetto* s) {
  s->byte_tabella = dati.size();
  return leggi_tabella(dati, &s->tabella).con_prefisso(nome);
}

StatoLettura leggi_celle_di(std::string_view dati, const std::string& nome, ScenarioLetto* s) {
  s->byte_celle = dati.size();
  return leggi_celle(dati, Intestazione(s->tabella).lunghezza_percorso(), &s->tratti)
      .con_prefisso(nome);
}

StatoLettura leggi_geometria_di(std::string dati, const std::string& nome, ScenarioLetto* s) {
  s->byte_geometria = dati.size();
  PianoLetto piano;
  const StatoLettura stato =
      leggi_geometria(std::move(dati), Intestazione(s->tabella).lunghezza_percorso(), &piano);
  if (stato.ok()) s->geometria = std::move(piano);
  return stato.con_prefisso(nome);
}

}  // namespace

StatoLettura leggi_scenario(Piattaforma* piattaforma, const std::string& cartella,
                            const NomiScenario& nomi, ScenarioLetto* s) {
  const auto leggi = [piattaforma](const std::string& percorso, std::string* dati) {
    std::string motivo;
    if (piattaforma->leggi(percorso, dati, &motivo)) return StatoLettura::bene();
    return StatoLettura::errore(percorso + ": impossibile leggere: " + motivo, 0);
  };
  s->geometria.reset();
  std::string dati;
  const std::string tabella = nella_cartella(cartella, nomi.tabella());
  StatoLettura stato = leggi(tabella, &dati);
  if (stato.ok()) stato = leggi_tabella_di(dati, tabella, s);
  const std::string celle = nella_cartella(cartella, nomi.celle());
  if (stato.ok()) stato = leggi(celle, &dati);
  if (stato.ok()) stato = leggi_celle_di(dati, celle, s);
  // The plan is the one file a compile may leave out.
  const std::string geometria = nella_cartella(cartella, nomi.geometria());
  if (!stato.ok() || !piattaforma->esiste(geometria)) return stato;
  stato = leggi(geometria, &dati);
  // The plan keeps the file's bytes and decodes a metre when asked.
  if (stato.ok()) stato = leggi_geometria_di(std::move(dati), geometria, s);
  return stato;
}

}  // namespace calvetra
