// The error numbers a compile records, named once, each with its sentence.
// The numbers are what the run reports and the simulator's authors know;
// nothing outside this file writes one as a bare number.
#ifndef CALVETRA_MODEL_ERRORI_H_
#define CALVETRA_MODEL_ERRORI_H_

#include <cstdint>
#include <span>
#include <string>

namespace calvetra {

enum class CodiceErrore : int32_t {
  nessuno = 0,
  percorso_troppo_lungo = 1,
  progressiva_fuori_passo = 2,
  ripetizione_primo_fuori_passo = 3,
  ripetizione_secondo_fuori_passo = 4,
  ripetizione_senza_codici = 5,
  cartello_su_cella_occupata = 6,
  abbattimento_su_cella_occupata = 7,
  stazione_fuori_passo = 8,
  lunghezza_stazione_fuori_passo = 9,
  stazioni_sulle_righe_dei_cartelli = 10,
  segnale_senza_cella_davanti = 11,
  abbattimento_prima_senza_cella = 12,
  abbattimento_dopo_senza_cella = 13,
  oltre_il_percorso = 15,
  segnale_su_cella_occupata = 16,
  avviso_su_cella_occupata = 17,
  inizio_su_cella_occupata = 18,
  fine_su_cella_occupata = 19,
  preavviso_su_cella_occupata = 20,
  indicatori_su_cella_occupata = 21,
  stazioni_troppo_vicine = 22,
  fermata_nelle_prime_celle = 24,
  guasto_inatteso = 25,
  linea_assente = 101,
  generale_assente = 102,
  curva_senza_classe = 103,
  marchio_occupato = 1250,
  codice_integrita_occupato = 1251,
};

// The number as reported.
constexpr int32_t numero(CodiceErrore c) { return static_cast<int32_t>(c); }

// Every code but `nessuno`, in number order.
std::span<const CodiceErrore> codici_errore();

// The sentence of a code.
const char* descrizione_errore(CodiceErrore c);

// "errore N (posizione P m): sentence", the report of a recorded error.
std::string riga_errore(CodiceErrore c, int32_t posizione);

}  // namespace calvetra

#endif  // CALVETRA_MODEL_ERRORI_H_
