#include "line/avvisi_linea.h"

#include <string>

#include "line/catalogo_linea.h"
#include "model/significato.h"

namespace calvetra {

namespace {

bool separatore(const std::string& campo) { return contiene_esatto(campo, "-"); }

bool vuoto(const std::string& campo) { return campo.find_first_not_of(" \t") == std::string::npos; }

// A field that no record takes but that needs no warning: a bracketed
// section name (in the header it closes the block), a separator, nothing.
bool senza_avviso(const std::string& campo) {
  return tra_parentesi(campo) || separatore(campo) || vuoto(campo);
}

template <typename Contesto>
bool nomina(std::span<const VoceCatalogo<Contesto>> catalogo, const std::string& campo,
            bool senza_maiuscole) {
  for (const VoceCatalogo<Contesto>& v : catalogo) {
    if (senza_maiuscole ? v.record.prova.passa_senza_maiuscole(campo)
                        : v.record.prova.passa(campo)) {
      return true;
    }
  }
  return false;
}

}  // namespace

void avvisa_intestazione(Lettura& l, const Riconosciuti& trovati, size_t chiave) {
  if (!l.avvisi_attivi()) return;
  const std::string& campo = l.campo();
  Avvisi& a = l.avvisi();
  a.chiave(l.a(chiave));
  const bool dopo_un_numero = a.chiave_letta(campo, chiave);
  const auto intestazione = catalogo_intestazione_linea();
  if (!trovati.nessuno()) {
    // The field is watched as the first record it names.
    a.record_trovati(trovati);
    a.parola_chiave_nascosta(campo, chiave);
    if (!trovati.attivi.empty() && !dopo_un_numero) a.ripetizione(*trovati.attivi.front());
    return;
  }
  if (senza_avviso(campo)) return;
  if (nomina(intestazione, campo, true)) {
    a.campo_ignorato(campo, chiave,
                     "nell'intestazione le parole chiave `progressiva`, `sfondo`, "
                     "`ripetizione`, `segnali`, `uno`, `due` e `tre` vanno scritte in minuscolo");
  } else if (nomina(catalogo_corpo_linea(), campo, false)) {
    a.campo_ignorato(campo, chiave,
                     "e' un record del corpo, ma l'intestazione finisce solo al primo campo "
                     "tra parentesi quadre (`[curve]`)");
  } else {
    a.campo_ignorato(campo, chiave);
  }
}

void avvisa_corpo(Lettura& l, const Riconosciuti& trovati, size_t chiave) {
  if (!l.avvisi_attivi()) return;
  const std::string& campo = l.campo();
  Avvisi& a = l.avvisi();
  a.chiave(l.a(chiave));
  a.chiave_letta(campo, chiave);
  if (!trovati.nessuno()) {
    a.record_trovati(trovati);
    a.parola_chiave_nascosta(campo, chiave);
    return;
  }
  if (senza_avviso(campo)) return;
  if (nomina(catalogo_intestazione_linea(), campo, false)) {
    a.campo_ignorato(campo, chiave,
                     "e' un record dell'intestazione, che qui non vale piu' (l'intestazione "
                     "finisce al primo campo tra parentesi quadre)");
  } else {
    a.campo_ignorato(campo, chiave);
  }
}

NoteLunghezza note_lunghezza(Lettura& l) {
  NoteLunghezza n;
  // The length record is watched only with the warnings: without them
  // nothing is known about it, and no note is better than a wrong one.
  if (!l.avvisi_attivi()) return n;
  const Modello& m = l.modello();
  const Avvisi::CampoSegnato& s = l.avvisi().segnato();
  if (!s.letto) {
    if (!m.tratti.empty()) return n;
    n.nota = Nota{
        "nell'intestazione della linea manca il record `lunghezza percorso`: il "
        "percorso non ha celle",
        Luogo{}};
    n.sospetta = true;
    return n;
  }
  const Luogo valore = s.luogo;
  const int32_t L = Intestazione(m.tabella).lunghezza_percorso();
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
  d.annota_avvisi("oltre-la-fine", *n.nota);
  if (n.sospetta) d.annota_errori(CodiceErrore::guasto_inatteso, *n.nota);
}

}  // namespace calvetra
