#include "line/avvisi_linea.h"

#include "line/corpo_linea.h"

namespace calvetra {

namespace {

bool separatore(const std::string& campo) { return contiene_esatto(campo, "-"); }

bool vuoto(const std::string& campo) { return campo.find_first_not_of(" \t") == std::string::npos; }

// The header tests of the parser, with the case-sensitive ones as they are;
// the name of the record a field is, or null.
const char* record_intestazione(const std::string& campo) {
  if (contiene(campo, "percorso") && contiene(campo, "lunghezza")) return "lunghezza percorso";
  if (contiene_esatto(campo, "progressiva")) {
    if (contiene_esatto(campo, "tre")) return "progressiva chilometrica tre";
    if (contiene_esatto(campo, "due")) return "progressiva chilometrica due";
    if (contiene_esatto(campo, "uno")) return "progressiva chilometrica uno";
  }
  if (contiene_esatto(campo, "sfondo")) {
    if (contiene_esatto(campo, "uno")) return "sfondo uno";
    if (contiene_esatto(campo, "due")) return "sfondo due";
    if (contiene_esatto(campo, "tre")) return "sfondo tre";
  }
  if (contiene_esatto(campo, "segnali") && contiene_esatto(campo, "ripetizione")) {
    return "ripetizione segnali";
  }
  return nullptr;
}

bool record_corpo(const std::string& campo) {
  return contiene(campo, "pendenza") || contiene(campo, "curva") || contiene(campo, "montagna") ||
         contiene(campo, "indicatori_v") ||
         (contiene(campo, "indicat") && contiene(campo, "cartello"));
}

}  // namespace

void avvisa_intestazione(Lettura& l, const std::string& campo, size_t chiave) {
  if (!l.diagnostica.avvisi_attivi()) return;
  Avvisi& a = l.avvisi;
  a.chiave(chiave);
  const char* record = record_intestazione(campo);
  if (record == nullptr) {
    // A bracketed field closes the header; one with a hyphen is a separator.
    if (tra_parentesi(campo) || separatore(campo) || vuoto(campo)) return;
    std::string minuscolo = campo;
    for (char& ch : minuscolo)
      ch = (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
    if (record_intestazione(minuscolo) != nullptr) {
      a.campo_ignorato(campo, chiave,
                       "nell'intestazione le parole chiave `progressiva`, `sfondo`, "
                       "`ripetizione`, `segnali`, `uno`, `due` e `tre` vanno scritte in minuscolo");
    } else if (record_corpo(campo)) {
      a.campo_ignorato(campo, chiave,
                       "e' un record del corpo, ma l'intestazione finisce solo al primo campo "
                       "tra parentesi quadre (`[curve]`)");
    } else {
      a.campo_ignorato(campo, chiave);
    }
    return;
  }
  a.record_letto();
  if (tra_parentesi(campo)) a.sezione_con_parola_chiave(campo, chiave);
  a.una_volta("il record `" + std::string(record) + "`");
  if (std::string(record) == "lunghezza percorso") a.segna_prossimo_numero();
}

void avvisa_corpo(CorpoLinea& c) {
  if (!c.l.diagnostica.avvisi_attivi()) return;
  Avvisi& a = c.l.avvisi;
  const std::string& campo = c.l.campo;
  const size_t chiave = c.l.file1.inizio_campo();
  a.chiave(chiave);
  if (record_corpo(campo)) {
    a.record_letto();
    if (tra_parentesi(campo)) a.sezione_con_parola_chiave(campo, chiave);
    // Without the plan a curve's keyword is taken by no test and its two
    // values are passed over as keyword fields, as meant.
    if (!c.con_geometria && contiene(campo, "curva") && !contiene(campo, "pendenza") &&
        !contiene(campo, "montagna") && !contiene(campo, "indicat")) {
      a.tollera_numeri(2);
    }
    return;
  }
  if (tra_parentesi(campo) || separatore(campo) || vuoto(campo)) return;
  if (record_intestazione(campo) != nullptr) {
    a.campo_ignorato(campo, chiave,
                     "e' un record dell'intestazione, che qui non vale piu' (l'intestazione "
                     "finisce al primo campo tra parentesi quadre)");
  } else {
    a.campo_ignorato(campo, chiave);
  }
}

void avvisa_pendenza(CorpoLinea& c, int32_t P) { c.l.avvisi.in_ordine("la pendenza", P); }

void avvisa_curva(CorpoLinea& c, int32_t S, int32_t l) {
  c.l.avvisi.senza_sovrapposizione("la curva", S, int64_t{S} + l);
}

void avvisa_montagna(CorpoLinea& c, int32_t inizio, int32_t fine) {
  c.l.avvisi.senza_sovrapposizione("la montagna", inizio, fine);
}

NoteLunghezza note_lunghezza(const Lettura& l, const Modello& m) {
  NoteLunghezza n;
  // The length record is watched only with the warnings: without them
  // nothing is known about it, and no note is better than a wrong one.
  if (!l.diagnostica.avvisi_attivi()) return n;
  const Avvisi::CampoSegnato& s = l.avvisi.segnato();
  if (!s.letto) {
    if (!m.tratti.empty()) return n;
    n.nota = Nota{
        "nell'intestazione della linea manca il record `lunghezza percorso`: il "
        "percorso non ha celle",
        Luogo{}};
    n.sospetta = true;
    return n;
  }
  const Luogo valore{FileSorgente::linea, s.inizio};
  const int32_t L = m.tabella[kRigaPercorso].fine;
  if (!s.numero) {
    n.nota = Nota{"la lunghezza del percorso non e' un numero e vale 0", valore};
    n.sospetta = true;
  } else if (L <= 0) {
    n.nota = Nota{"la lunghezza del percorso e' " + std::to_string(L) + " m", valore};
    n.sospetta = true;
  } else {
    n.nota = Nota{"il percorso e' lungo " + std::to_string(L) + " m", valore};
  }
  return n;
}

void annota_lunghezza(const NoteLunghezza& n, Diagnostica& d) {
  if (!n.nota) return;
  d.annota_errori(CodiceErrore::oltre_il_percorso, *n.nota);
  if (n.sospetta) d.annota_errori(CodiceErrore::guasto_inatteso, *n.nota);
}

}  // namespace calvetra
