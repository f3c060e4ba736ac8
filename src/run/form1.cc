#include "run/form1.h"

#include <stdexcept>

#include "model/messaggi.h"
#include "model/numeri.h"
#include "platform/sostituzione.h"

namespace calvetra {

namespace {

// Ends the run from anywhere inside it with an exit status; caught by the
// outermost procedure of the run, never by the parser.
struct FineEsecuzione {
  int stato;
};

}  // namespace

Form1::Form1(Piattaforma* p) : piattaforma(p), righe(kSlotRighe) {}

int Form1::Form_Load() {
  try {
    nome_linea = "Calvetra";
    nome_treni = "2718 - 5340";
    piattaforma->avviso_attesa("Attendere");
    dati_linea();
    dati_treno();
    dati_note();
    dati_rallentamenti();
    dati_scheda();
  } catch (const FineEsecuzione& fine) {
    // A run that ends here leaves the files it has written where they are,
    // the sources included: only the parser deletes those.
    return fine.stato;
  }
  return memorizza_percorso(1);
}

int Form1::memorizza_percorso(int32_t j) {
  try {
    con_geometria = j;
    codice_errore = 0;
    for (voce& v : tabella) v = voce{};
    memorizza_dati();

    // The header slots live in cell 1: without it there is nothing to write.
    if (tratti.size() < 2) {
      piattaforma->rapporto(riga_errore(codice_errore, posizione_errore) +
                            (tratti.empty() ? "; nessuna cella creata, nessun file scritto"
                                            : "; troppo poche celle, nessun file scritto"));
      return kUscitaFatale;
    }
    passo_codici();
    finalizza_intestazione();
    if (!scrivi_file_binari()) return kUscitaFatale;
  } catch (const FineEsecuzione& fine) {
    return fine.stato;
  }
  if (codice_errore != 0) {
    piattaforma->rapporto(riga_errore(codice_errore, posizione_errore));
    return kUscitaConErrore;
  }
  return kUscitaPulita;
}

void Form1::errore(const std::string& a) {
  piattaforma->rapporto_fatale(" Errore n. " + a);
  throw FineEsecuzione{kUscitaFatale};
}

void Form1::emetti_righe(const std::string& nome_file) {
  const std::string path = percorso(nome_file);
  std::string motivo;
  const bool ok = sostituisci_file(
      piattaforma, path,
      [this](Uscita* uscita) {
        for (const std::string& riga : righe) {
          if (riga == kFineRighe) break;
          uscita->buffer()->append(riga);
          uscita->buffer()->append("\r\n");
          uscita->forse_svuota();
        }
      },
      &motivo);
  if (!ok) {
    piattaforma->rapporto("calvetra: impossibile scrivere " + path + ": " + motivo);
    throw FineEsecuzione{kUscitaFatale};
  }
}

std::string Form1::percorso(const std::string& nome_file) const {
  const std::string dir = piattaforma->cartella();
  if (dir.empty()) return nome_file;
  if (dir.back() == '/') return dir + nome_file;
  return dir + "/" + nome_file;
}

void Form1::chiudi_ed_elimina(const std::string& nome_file) {
  file1.chiudi();
  const std::string path = percorso(nome_file);
  std::string motivo;
  // A source left behind harms nothing (the next run replaces it), so the
  // run goes on; the user is told why the file is still there.
  if (piattaforma->esiste(path) && !piattaforma->elimina(path, &motivo)) {
    piattaforma->rapporto("calvetra: impossibile eliminare " + path + ": " + motivo);
  }
}

int32_t Form1::ultima_cella() const {
  if (tratti.empty()) throw GuastoInatteso("le celle del percorso non esistono ancora");
  return static_cast<int32_t>(tratti.size()) - 1;
}

tratto& Form1::cella(int64_t i) {
  if (i < 0 || i > ultima_cella()) {
    throw GuastoInatteso("cella " + std::to_string(i) + " fuori dal percorso");
  }
  return tratti[static_cast<size_t>(i)];
}

bool Form1::oltre_limite(int64_t p, int64_t margine) const {
  return p + margine > 50 * static_cast<int64_t>(ultima_cella());
}

void Form1::registra_errore(int32_t codice, size_t campo) {
  if (!errori.empty()) errori.back().posizione = posizione_errore;
  codice_errore = codice;
  file_errore = file_corrente;
  campo_errore = campo;
  errori.push_back({codice, posizione_errore, file_errore, campo});
}

void Form1::registra_errore_senza_campo(int32_t codice) {
  registra_errore(codice, 0);
  file_errore = FileSorgente::nessuno;
  errori.back().file = FileSorgente::nessuno;
}

void Form1::attribuisci_campo(size_t campo) {
  file_errore = file_corrente;
  campo_errore = campo;
  if (!errori.empty()) {
    errori.back().file = file_corrente;
    errori.back().campo = campo;
  }
}

std::vector<ErroreRegistrato> Form1::errori_registrati() const {
  std::vector<ErroreRegistrato> tutti = errori;
  if (!tutti.empty()) tutti.back().posizione = posizione_errore;
  return tutti;
}

}  // namespace calvetra
