// The line phase of the parser: preamble, header block, sizing of the model,
// and the body loop that hands each record to its handler.
#include <string>

#include "run/form1.h"
#include "model/numeri.h"

namespace calvetra {

namespace {

constexpr int32_t kLunghezzaMassima = 1000000;

bool multiplo_di_50(int32_t v) { return v % 50 == 0; }

// A bracketed field that is not a separator line closes the header block.
bool chiude_intestazione(const std::string& campo) {
  if (!contiene_esatto(campo, "[") || !contiene_esatto(campo, "]")) return false;
  size_t i = 0;
  while (i < campo.size() && (campo[i] == ' ' || campo[i] == '\t')) ++i;
  return i >= campo.size() || campo[i] != '-';
}

}  // namespace

bool Form1::fase_linea() {
  tabella[85].nome = nome_linea;
  tabella[86].nome = nome_treni;

  const std::string path = percorso(nome_file_linea());
  if (!piattaforma->esiste(path)) {
    registra_errore_senza_campo(101);
    return false;
  }
  std::string testo;
  std::string motivo;
  if (!piattaforma->leggi(path, &testo, &motivo)) {
    throw GuastoInatteso("impossibile leggere " + path + ": " + motivo);
  }
  file1.apri(std::move(testo));
  file_corrente = FileSorgente::linea;

  // Preamble: everything up to "[generale]" is passed over.
  for (;;) {
    campo = file1.leggi_testo();
    if (file1.fine()) {
      chiudi_ed_elimina(nome_file_linea());
      registra_errore(102, file1.inizio_campo());
      return false;
    }
    if (contiene(campo, "[generale]")) break;
  }

  // Header block.
  for (;;) {
    if (file1.fine()) break;
    campo = file1.leggi_testo();
    if (file1.fine()) break;
    for (int i = 0; i < 10 && contiene_esatto(campo, "-"); ++i) campo = file1.leggi_testo();
    const size_t chiave = file1.inizio_campo();

    if (contiene(campo, "percorso") && contiene(campo, "lunghezza")) {
      tabella[84].fine = file1.leggi_32();
      const int32_t L = tabella[84].fine;
      if (L > kLunghezzaMassima) {
        chiudi_ed_elimina(nome_file_linea());
        registra_errore(1, file1.inizio_campo());
        return false;
      }
      const int64_t T = static_cast<int64_t>(L) + 7000;
      const int64_t n = arrotonda_div(T, 50);
      // A length so negative that not even cell 0 exists cannot size the
      // cells; one that leaves cell 0 makes the cells anew and then cannot
      // size the plan.
      if (n < 0) throw GuastoInatteso("lunghezza del percorso negativa");
      tratti.assign(static_cast<size_t>(n) + 1, tratto{});
      if (con_geometria != 0) {
        if (T < 0) throw GuastoInatteso("lunghezza del percorso negativa");
        geometria.crea(static_cast<int32_t>(T));
      }
    }
    if (contiene_esatto(campo, "tre") && contiene_esatto(campo, "progressiva")) {
      tabella[81].inizio = file1.leggi_32();
      tabella[81].fine = file1.leggi_32();
      tabella[81].posizione = file1.leggi_32();
    }
    if (contiene_esatto(campo, "due") && contiene_esatto(campo, "progressiva")) {
      tabella[82].inizio = file1.leggi_32();
      tabella[82].fine = file1.leggi_32();
      tabella[82].posizione = file1.leggi_32();
    }
    if (contiene_esatto(campo, "uno") && contiene_esatto(campo, "progressiva")) {
      tabella[83].inizio = file1.leggi_32();
      tabella[83].fine = file1.leggi_32();
      tabella[83].posizione = file1.leggi_32();
    }
    if (contiene_esatto(campo, "sfondo") && contiene_esatto(campo, "uno")) {
      tabella[85].inizio = file1.leggi_32();
    }
    if (contiene_esatto(campo, "sfondo") && contiene_esatto(campo, "due")) {
      tabella[85].posizione = file1.leggi_32();
    }
    if (contiene_esatto(campo, "sfondo") && contiene_esatto(campo, "tre")) {
      tabella[85].fine = file1.leggi_32();
    }
    if (contiene_esatto(campo, "segnali") && contiene_esatto(campo, "ripetizione")) {
      tabella[86].inizio = file1.leggi_32();
      const size_t primo = file1.inizio_campo();
      tabella[86].fine = file1.leggi_32();
      const size_t secondo = file1.inizio_campo();
      if (!multiplo_di_50(tabella[86].inizio)) {
        chiudi_ed_elimina(nome_file_linea());
        registra_errore(3, primo);
        return false;
      }
      if (!multiplo_di_50(tabella[86].fine)) {
        chiudi_ed_elimina(nome_file_linea());
        registra_errore(4, secondo);
        return false;
      }
      if (contiene_esatto(campo, "4")) {
        tabella[86].posizione = 4;
      } else if (contiene_esatto(campo, "9")) {
        tabella[86].posizione = 9;
      } else {
        chiudi_ed_elimina(nome_file_linea());
        registra_errore(5, chiave);
        return false;
      }
      if (tabella[86].fine == 0) tabella[86].posizione = 0;
    }
    if (chiude_intestazione(campo)) break;
  }

  progressive_ordina();
  inizia_corpo();

  // Body.
  for (;;) {
    if (file1.fine()) break;
    campo = file1.leggi_testo();
    if (file1.fine()) break;
    if (contiene_esatto(campo, "-")) {
      campo = file1.leggi_testo();
      if (file1.fine()) break;
      if (contiene_esatto(campo, "-")) {
        campo = file1.leggi_testo();
        if (file1.fine()) break;
      }
    }
    Seguito s = Seguito::avanti;
    if (contiene(campo, "pendenza")) s = corpo_pendenza();
    if (s == Seguito::avanti && con_geometria != 0 && contiene(campo, "curva")) s = corpo_curva();
    if (s == Seguito::avanti && contiene(campo, "montagna")) s = corpo_montagna();
    if (s == Seguito::avanti && contiene(campo, "indicatori_v")) s = corpo_indicatori();
    if (s == Seguito::avanti && contiene(campo, "indicat") && contiene(campo, "cartello")) {
      s = corpo_cartello();
    }
    if (s == Seguito::esci) return false;
    if (s == Seguito::fine_corpo) break;
  }

  chiudi_ed_elimina(nome_file_linea());
  chiusura_corpo();
  return true;
}

}  // namespace calvetra
