#include "run/form1.h"

#include <utility>

#include "content/testi.h"
#include "model/errori.h"
#include "output/scrittura.h"
#include "platform/sostituzione.h"

namespace calvetra {

Form1::Form1(Piattaforma* piattaforma, NomiScenario nomi)
    : piattaforma_(piattaforma), nomi_(std::move(nomi)) {}

int Form1::Form_Load() {
  nomi_ = NomiScenario{};
  piattaforma_->avviso_attesa("Attendere");
  // A writer that fails ends the run; the files already written stay where
  // they are, the sources included.
  const std::pair<std::string, Righe (*)()> testi[] = {
      {nomi_.sorgente_linea(), dati_linea},
      {nomi_.sorgente_treno(), dati_treno},
      {nomi_.note(), dati_note},
      {nomi_.rallentamenti(), dati_rallentamenti},
      {nomi_.scheda(), dati_scheda},
  };
  for (const auto& [nome, dati] : testi) {
    if (!emetti_righe(nome, dati())) return kUscitaFatale;
  }
  return memorizza_percorso(1);
}

int Form1::memorizza_percorso(int32_t j) {
  std::string testo_linea;
  std::string testo_treno;
  const Sorgente linea = leggi_sorgente(nomi_.sorgente_linea(), &testo_linea);
  const Sorgente treno = leggi_sorgente(nomi_.sorgente_treno(), &testo_treno);
  // The run reports errors only: the authors' warnings are left to the tools.
  OpzioniCompilazione opzioni;
  opzioni.con_geometria = j != 0;
  opzioni.avvisi = ModoAvvisi::spenti;
  compilazione_.emplace(compila(linea, treno, nomi_, opzioni));
  const Compilazione& c = *compilazione_;

  if (c.consumate.linea) elimina_sorgente(nomi_.sorgente_linea());
  if (c.consumate.treno) elimina_sorgente(nomi_.sorgente_treno());

  if (c.fine == FineCompilazione::fatale) return errore(std::to_string(numero(c.errore_fatale)));
  if (const char* perche = senza_file(c.fine)) {
    piattaforma_->rapporto(riga_errore(c.codice_errore(), c.posizione_errore()) + "; " + perche +
                           ", nessun file scritto");
    return kUscitaFatale;
  }
  std::string motivo;
  if (!scrivi_file_binari(piattaforma_, piattaforma_->cartella(), nomi_, c.modello,
                          opzioni.con_geometria, &motivo)) {
    piattaforma_->rapporto("calvetra: " + motivo);
    return kUscitaFatale;
  }
  if (c.diagnostica.con_errore()) {
    piattaforma_->rapporto(riga_errore(c.codice_errore(), c.posizione_errore()));
  }
  return stato_uscita(c);
}

int Form1::errore(const std::string& a) {
  piattaforma_->rapporto_fatale(" Errore n. " + a);
  return kUscitaFatale;
}

std::string Form1::percorso(const std::string& nome_file) const {
  return nella_cartella(piattaforma_->cartella(), nome_file);
}

bool Form1::emetti_righe(const std::string& nome_file, const Righe& righe) {
  const std::string path = percorso(nome_file);
  const std::string testo = testo_righe(righe);
  std::string motivo;
  const bool ok = sostituisci_file(
      piattaforma_, path, [&testo](Uscita* uscita) { uscita->buffer()->append(testo); }, &motivo);
  if (!ok) piattaforma_->rapporto("calvetra: impossibile scrivere " + path + ": " + motivo);
  return ok;
}

Sorgente Form1::leggi_sorgente(const std::string& nome_file, std::string* testo) {
  const std::string path = percorso(nome_file);
  if (!piattaforma_->esiste(path)) return Sorgente{};
  std::string motivo;
  if (!piattaforma_->leggi(path, testo, &motivo)) return {Sorgente::Stato::illeggibile, {}};
  return Sorgente::di(*testo);
}

void Form1::elimina_sorgente(const std::string& nome_file) {
  const std::string path = percorso(nome_file);
  std::string motivo;
  // A source left behind harms nothing (the next run replaces it), so the
  // run goes on; the user is told why the file is still there.
  if (piattaforma_->esiste(path) && !piattaforma_->elimina(path, &motivo)) {
    piattaforma_->rapporto("calvetra: impossibile eliminare " + path + ": " + motivo);
  }
}

}  // namespace calvetra
