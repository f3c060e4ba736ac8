// The run: one object that owns every procedure and all the state of a
// compilation, from the writing of the sources to the binary files.
//
// Procedures keep the names they have in the system's own vocabulary and are
// defined in the file of their subsystem (driver/, line/, train/, content/).
// The object never touches the process: files, the waiting notice and the
// reports go through the Piattaforma it is given.
#ifndef CALVETRA_RUN_FORM1_H_
#define CALVETRA_RUN_FORM1_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/piattaforma.h"
#include "model/records.h"
#include "fields/lettore_campi.h"

namespace calvetra {

// Exit statuses of every program of the project.
enum StatoUscita : int {
  kUscitaPulita = 0,
  kUscitaFatale = 1,
  kUscitaUso = 2,
  kUscitaConErrore = 3,
};

// What a record handler tells the reading loop to do next.
enum class Seguito {
  avanti,      // go on with the next keyword field
  fine_corpo,  // stop reading, but run the closing steps of the phase
  esci,        // leave memorizza_dati at once
};

// Which source file a recorded error came from.
enum class FileSorgente { nessuno, linea, treno };

// One recorded error and where it came from: the source file and the byte
// offset of the field that raised it (for the authors' diagnostics).
struct ErroreRegistrato {
  int32_t codice = 0;
  int32_t posizione = 0;
  FileSorgente file = FileSorgente::nessuno;
  size_t campo = 0;
};

class Form1 {
 public:
  explicit Form1(Piattaforma* piattaforma);

  // ---- Run sequence and compile driver (driver/) ----

  // The whole run; returns the exit status.
  int Form_Load();
  // The compile driver; j non-zero builds and writes the geometry. Returns
  // the exit status: files written (0 or 3) or a fatal end (1).
  int memorizza_percorso(int32_t j);
  // Fatal report: shows " Errore n. " + a and ends the run (never returns).
  [[noreturn]] void errore(const std::string& a);

  // The cab-code pass over `tratti`.
  void passo_codici();
  // Header finalisation: slot checks, format marks, integrity codes.
  void finalizza_intestazione();
  int32_t codice_gara_st() const;
  int16_t codice_gara_og() const;
  // Writes the binary files; false (with the reason reported) on failure.
  bool scrivi_file_binari();

  // ---- Text writers (content/) ----
  void dati_linea();
  void dati_treno();
  void dati_note();
  void dati_rallentamenti();
  void dati_scheda();
  // The text-emission sequence: writes `righe` up to the end marker into the
  // named file of the program directory.
  void emetti_righe(const std::string& nome_file);

  // ---- Parser (line/ and train/) ----
  void memorizza_dati();
  // Line phase; false when memorizza_dati must return without the train phase.
  bool fase_linea();
  void progressive_ordina();
  void inizia_corpo();
  Seguito corpo_pendenza();
  Seguito corpo_curva();
  Seguito corpo_montagna();
  Seguito corpo_indicatori();
  Seguito corpo_cartello();
  void chiusura_corpo();
  void memo_montagna(int32_t& inizio, int32_t& fine, int32_t& tipo);
  void memo_indicatori_v_max(int32_t posizione, int32_t& vas, int32_t& vbs, int32_t& vcs,
                             int32_t& strisces, int32_t& vad, int32_t& vbd, int32_t& vcd,
                             int32_t& strisced);
  // Train phase.
  void fase_treno();
  void memo_segnale(int32_t posizione, int32_t& sx, int32_t& s1, int32_t& s2, int32_t& s3,
                    int32_t& rapp, int32_t& dx, int32_t& d1, int32_t& d2, int32_t& d3,
                    int32_t& tempo);
  void memo_rallentamento(int32_t x, int32_t& v, int32_t& l, int32_t& f_tt, int32_t f_ta,
                          int32_t& d_v);

  // ---- Helpers shared by the parser phases ----

  // Full path of a file of the program directory.
  std::string percorso(const std::string& nome_file) const;
  std::string nome_file_linea() const { return nome_linea + "_linea.txt"; }
  std::string nome_file_treno() const { return nome_linea + "_" + nome_treni + "-.txt"; }
  // Closes file 1 and deletes the named source file if it exists.
  void chiudi_ed_elimina(const std::string& nome_file);
  // Last cell index n; an unexpected failure when the cells do not exist yet.
  int32_t ultima_cella() const;
  // Cell i; an unexpected failure when i is outside 0 to n.
  tratto& cella(int64_t i);
  // The position bound: true when (p + margine) / 50 is beyond the last cell.
  bool oltre_limite(int64_t p, int64_t margine) const;
  // Records an error raised by the field that begins at byte `campo` of the
  // file being read (for diagnostics), or by no field at all.
  void registra_errore(int32_t codice, size_t campo);
  void registra_errore_senza_campo(int32_t codice);
  // The error just recorded by a placing procedure came from the field at
  // `campo` of the record that called it.
  void attribuisci_campo(size_t campo);
  // Every error recorded in the run, oldest first. A later error replaces an
  // earlier one in `codice_errore`; this log keeps them all.
  std::vector<ErroreRegistrato> errori_registrati() const;

  // ---- Run state ----
  Piattaforma* piattaforma;
  std::string nome_linea;
  std::string nome_treni;
  int32_t con_geometria = 0;
  int32_t codice_errore = 0;
  int32_t posizione_errore = 0;
  std::vector<tratto> tratti;  // empty until the route length is read
  Tabella tabella;
  Geometria geometria;

  // Where the recorded error came from (for the authors' diagnostics only).
  FileSorgente file_errore = FileSorgente::nessuno;
  size_t campo_errore = 0;
  // The log behind errori_registrati(); the position of an entry is taken
  // when the next error is recorded, since callers set posizione_errore
  // right after recording.
  std::vector<ErroreRegistrato> errori;
  // Which source file the parser is reading, and the original texts of both
  // (kept for diagnostics).
  FileSorgente file_corrente = FileSorgente::nessuno;

  // ---- Parser state ----
  LettoreCampi file1;  // file number 1
  std::string campo;
  int32_t riga_cartello = 80;
  int32_t numero_montagne = 0;
  std::array<int32_t, 81> inizi_montagne{};
  std::array<int32_t, 81> fini_montagne{};
  // Gradient state of the line body: next cell to fill and gradient in force.
  int64_t cella_pendenza = 0;
  int32_t pendenza_in_vigore = 0;

  // ---- Line list of the text writers ----
  static constexpr int kSlotRighe = 1001;
  static constexpr const char* kFineRighe = "riferimento fine del file";
  std::vector<std::string> righe;  // kSlotRighe slots
};

// `minimo`: y when x > y, otherwise x.
template <typename T>
T minimo(const T& x, const T& y) {
  return x > y ? y : x;
}

}  // namespace calvetra

#endif  // CALVETRA_RUN_FORM1_H_
