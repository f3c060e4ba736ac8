#include "model/errori.h"

#include <array>

namespace calvetra {

std::span<const CodiceErrore> codici_errore() {
  using enum CodiceErrore;
  static constexpr std::array kCodici = {
      percorso_troppo_lungo,
      progressiva_fuori_passo,
      ripetizione_primo_fuori_passo,
      ripetizione_secondo_fuori_passo,
      ripetizione_senza_codici,
      cartello_su_cella_occupata,
      abbattimento_su_cella_occupata,
      stazione_fuori_passo,
      lunghezza_stazione_fuori_passo,
      stazioni_sulle_righe_dei_cartelli,
      segnale_senza_cella_davanti,
      abbattimento_prima_senza_cella,
      abbattimento_dopo_senza_cella,
      oltre_il_percorso,
      segnale_su_cella_occupata,
      avviso_su_cella_occupata,
      inizio_su_cella_occupata,
      fine_su_cella_occupata,
      preavviso_su_cella_occupata,
      indicatori_su_cella_occupata,
      stazioni_troppo_vicine,
      fermata_nelle_prime_celle,
      guasto_inatteso,
      linea_assente,
      generale_assente,
      curva_senza_classe,
      marchio_occupato,
      codice_integrita_occupato,
  };
  return kCodici;
}

const char* descrizione_errore(CodiceErrore c) {
  using enum CodiceErrore;
  switch (c) {
    case nessuno: return "nessun errore";
    case percorso_troppo_lungo: return "la lunghezza del percorso supera 1000000 m";
    case progressiva_fuori_passo:
      return "una progressiva chilometrica non cade su un multiplo di 50 m";
    case ripetizione_primo_fuori_passo:
      return "il primo valore di ripetizione segnali non e' un multiplo di 50";
    case ripetizione_secondo_fuori_passo:
      return "il secondo valore di ripetizione segnali non e' un multiplo di 50";
    case ripetizione_senza_codici:
      return "il record di ripetizione segnali non indica 4 o 9 codici";
    case cartello_su_cella_occupata: return "il cartello cade in una cella gia' occupata";
    case abbattimento_su_cella_occupata: return "l'abbattimento cade in una cella gia' occupata";
    case stazione_fuori_passo: return "la posizione della stazione non e' un multiplo di 50 m";
    case lunghezza_stazione_fuori_passo:
      return "la lunghezza della stazione non e' un multiplo di 100 m";
    case stazioni_sulle_righe_dei_cartelli: return "le stazioni raggiungono le righe dei cartelli";
    case segnale_senza_cella_davanti:
      return "un segnale prima dell'avviso di rallentamento non ha una cella libera davanti";
    case abbattimento_prima_senza_cella:
      return "nessuna cella libera per un abbattimento prima dell'inizio del rallentamento";
    case abbattimento_dopo_senza_cella:
      return "nessuna cella libera per un abbattimento nel rallentamento o dopo la sua fine";
    case oltre_il_percorso: return "la posizione cade oltre l'ultima cella del percorso";
    case segnale_su_cella_occupata: return "il segnale cade in una cella gia' occupata";
    case avviso_su_cella_occupata: return "la cella di avviso del rallentamento e' gia' occupata";
    case inizio_su_cella_occupata: return "la cella di inizio del rallentamento e' gia' occupata";
    case fine_su_cella_occupata: return "la cella di fine del rallentamento e' gia' occupata";
    case preavviso_su_cella_occupata:
      return "una cella di preavviso del rallentamento e' gia' occupata";
    case indicatori_su_cella_occupata:
      return "gli indicatori di velocita' cadono in una cella gia' occupata";
    case stazioni_troppo_vicine:
      return "la stazione inizia a meno di 350 m dalla fine della precedente";
    case fermata_nelle_prime_celle:
      return "la fermata della stazione cadrebbe nelle prime due celle";
    case guasto_inatteso:
      return "guasto inatteso: un valore fuori dal suo campo o un file finito troppo presto";
    case linea_assente: return "il file sorgente della linea non esiste";
    case generale_assente: return "manca [generale] nel file sorgente della linea";
    case curva_senza_classe: return "curva senza classe 1-6, o geometria oltre il metro 1000000";
    case marchio_occupato: return "la cella 1 o la riga 85 occupa lo spazio del marchio di formato";
    case codice_integrita_occupato:
      return "la cella 1 o la riga 85 occupa lo spazio del codice di integrita'";
  }
  return "errore sconosciuto";
}

std::string riga_errore(CodiceErrore c, int32_t posizione) {
  return "errore " + std::to_string(numero(c)) + " (posizione " + std::to_string(posizione) +
         " m): " + descrizione_errore(c);
}

}  // namespace calvetra
