#include "model/messaggi.h"

namespace calvetra {

const char* descrizione_errore(int32_t codice) {
  switch (codice) {
    case 0: return "nessun errore";
    case 1: return "la lunghezza del percorso supera 1000000 m";
    case 2: return "una progressiva chilometrica non cade su un multiplo di 50 m";
    case 3: return "il primo valore di ripetizione segnali non e' un multiplo di 50";
    case 4: return "il secondo valore di ripetizione segnali non e' un multiplo di 50";
    case 5: return "il record di ripetizione segnali non indica 4 o 9 codici";
    case 6: return "il cartello cade in una cella gia' occupata";
    case 7: return "l'abbattimento cade in una cella gia' occupata";
    case 8: return "la posizione della stazione non e' un multiplo di 50 m";
    case 9: return "la lunghezza della stazione non e' un multiplo di 100 m";
    case 10: return "le stazioni raggiungono le righe dei cartelli";
    case 11: return "un segnale prima dell'avviso di rallentamento non ha una cella libera davanti";
    case 12: return "nessuna cella libera per un abbattimento prima dell'inizio del rallentamento";
    case 13: return "nessuna cella libera per un abbattimento nel rallentamento o dopo la sua fine";
    case 15: return "la posizione cade oltre l'ultima cella del percorso";
    case 16: return "il segnale cade in una cella gia' occupata";
    case 17: return "la cella di avviso del rallentamento e' gia' occupata";
    case 18: return "la cella di inizio del rallentamento e' gia' occupata";
    case 19: return "la cella di fine del rallentamento e' gia' occupata";
    case 20: return "una cella di preavviso del rallentamento e' gia' occupata";
    case 21: return "gli indicatori di velocita' cadono in una cella gia' occupata";
    case 22: return "la stazione inizia a meno di 350 m dalla fine della precedente";
    case 24: return "la fermata della stazione cadrebbe nelle prime due celle";
    case 25: return "guasto inatteso: un valore fuori dal suo campo o un file finito troppo presto";
    case 101: return "il file sorgente della linea non esiste";
    case 102: return "manca [generale] nel file sorgente della linea";
    case 103: return "curva senza classe 1-6, o geometria oltre il metro 1000000";
    case 1250: return "la cella 1 o la riga 85 occupa lo spazio del marchio di formato";
    case 1251: return "la cella 1 o la riga 85 occupa lo spazio del codice di integrita'";
    default: return "errore sconosciuto";
  }
}

std::string riga_errore(int32_t codice, int32_t posizione) {
  return "errore " + std::to_string(codice) + " (posizione " + std::to_string(posizione) +
         " m): " + descrizione_errore(codice);
}

}  // namespace calvetra
