// The line phase of the parser: preamble, header block, sizing of the model,
// and the body loop that hands each record to its handler.
#include "line/fase_linea.h"

#include <string>

#include "line/corpo_linea.h"
#include "model/numeri.h"

namespace calvetra {

namespace {

bool multiplo_di_50(int32_t v) { return v % kMetriCella == 0; }

// A bracketed field that is not a separator line closes the header block.
bool chiude_intestazione(const std::string& campo) {
  if (!contiene_esatto(campo, "[") || !contiene_esatto(campo, "]")) return false;
  size_t i = 0;
  while (i < campo.size() && (campo[i] == ' ' || campo[i] == '\t')) ++i;
  return i >= campo.size() || campo[i] != '-';
}

// The route length: the cells made anew from it, and the plan when wanted.
void dimensiona(Modello& m, int32_t L, bool con_geometria) {
  const int64_t T = int64_t{L} + kRincorsa;
  const int64_t n = arrotonda_div(T, kMetriCella);
  // A length so negative that not even cell 0 exists cannot size the cells;
  // one that leaves cell 0 makes the cells anew and then cannot size the plan.
  if (n < 0) throw GuastoInatteso("lunghezza del percorso negativa");
  m.tratti.assign(static_cast<size_t>(n) + 1, tratto{});
  if (con_geometria) {
    if (T < 0) throw GuastoInatteso("lunghezza del percorso negativa");
    m.geometria.crea(static_cast<int32_t>(T));
  }
}

void tre_numeri(Lettura& l, voce& riga) {
  riga.inizio = l.file1.leggi_32();
  riga.fine = l.file1.leggi_32();
  riga.posizione = l.file1.leggi_32();
}

// The header block up to the first bracketed field. False when an error
// has ended the phase.
bool intestazione(Lettura& l, Modello& m, bool con_geometria) {
  Tabella& t = m.tabella;
  Diagnostica& d = l.diagnostica;
  for (;;) {
    if (l.file1.fine()) return true;
    l.campo = l.file1.leggi_testo();
    if (l.file1.fine()) return true;
    for (int i = 0; i < 10 && contiene_esatto(l.campo, "-"); ++i) l.campo = l.file1.leggi_testo();
    const std::string& campo = l.campo;
    const size_t chiave = l.file1.inizio_campo();
    avvisa_intestazione(l, campo, chiave);

    if (contiene(campo, "percorso") && contiene(campo, "lunghezza")) {
      t[kRigaPercorso].fine = l.file1.leggi_32();
      const int32_t L = t[kRigaPercorso].fine;
      if (L > kLunghezzaMassima) {
        d.errore(CodiceErrore::percorso_troppo_lungo, l.qui());
        return false;
      }
      dimensiona(m, L, con_geometria);
    }
    if (contiene_esatto(campo, "tre") && contiene_esatto(campo, "progressiva")) {
      tre_numeri(l, t[kRigaProgressivaTre]);
    }
    if (contiene_esatto(campo, "due") && contiene_esatto(campo, "progressiva")) {
      tre_numeri(l, t[kRigaProgressivaDue]);
    }
    if (contiene_esatto(campo, "uno") && contiene_esatto(campo, "progressiva")) {
      tre_numeri(l, t[kRigaProgressivaUno]);
    }
    if (contiene_esatto(campo, "sfondo") && contiene_esatto(campo, "uno")) {
      t[kRigaLinea].inizio = l.file1.leggi_32();
    }
    if (contiene_esatto(campo, "sfondo") && contiene_esatto(campo, "due")) {
      t[kRigaLinea].posizione = l.file1.leggi_32();
    }
    if (contiene_esatto(campo, "sfondo") && contiene_esatto(campo, "tre")) {
      t[kRigaLinea].fine = l.file1.leggi_32();
    }
    if (contiene_esatto(campo, "segnali") && contiene_esatto(campo, "ripetizione")) {
      voce& r = t[kRigaTreni];
      r.inizio = l.file1.leggi_32();
      const size_t primo = l.file1.inizio_campo();
      r.fine = l.file1.leggi_32();
      const size_t secondo = l.file1.inizio_campo();
      if (!multiplo_di_50(r.inizio)) {
        d.errore(CodiceErrore::ripetizione_primo_fuori_passo, l.a(primo));
        return false;
      }
      if (!multiplo_di_50(r.fine)) {
        d.errore(CodiceErrore::ripetizione_secondo_fuori_passo, l.a(secondo));
        return false;
      }
      if (contiene_esatto(campo, "4")) {
        r.posizione = 4;
      } else if (contiene_esatto(campo, "9")) {
        r.posizione = 9;
      } else {
        d.errore(CodiceErrore::ripetizione_senza_codici, l.a(chiave));
        return false;
      }
      if (r.fine == 0) r.posizione = 0;
    }
    if (chiude_intestazione(campo)) return true;
  }
}

// The body loop. False when an error has ended the phase.
bool corpo(CorpoLinea& c) {
  Lettura& l = c.l;
  for (;;) {
    if (l.file1.fine()) return true;
    l.campo = l.file1.leggi_testo();
    if (l.file1.fine()) return true;
    if (contiene_esatto(l.campo, "-")) {
      l.campo = l.file1.leggi_testo();
      if (l.file1.fine()) return true;
      if (contiene_esatto(l.campo, "-")) {
        l.campo = l.file1.leggi_testo();
        if (l.file1.fine()) return true;
      }
    }
    const std::string& campo = l.campo;
    const size_t chiave = l.file1.inizio_campo();
    avvisa_corpo(c);
    Seguito s = Seguito::avanti;
    if (contiene(campo, "pendenza")) s = corpo_pendenza(c);
    if (s == Seguito::avanti && c.con_geometria && contiene(campo, "curva")) {
      s = corpo_curva(c);
    }
    if (s == Seguito::avanti && contiene(campo, "montagna")) s = corpo_montagna(c);
    if (s == Seguito::avanti && contiene(campo, "indicatori_v")) s = corpo_indicatori(c);
    if (s == Seguito::avanti && contiene(campo, "indicat") && contiene(campo, "cartello")) {
      s = corpo_cartello(c);
    }
    l.accredita(c.m, chiave);
    if (s == Seguito::esci) return false;
    if (s == Seguito::fine_corpo) return true;
  }
}

FineFase leggi_linea(Lettura& l, const Sorgente& sorgente, bool con_geometria, Modello& m,
                     StatoCorpoLinea& stato) {
  if (!sorgente.esiste()) {
    l.diagnostica.errore(CodiceErrore::linea_assente, Luogo{});
    return FineFase::interrotta;
  }
  if (sorgente.stato == Sorgente::Stato::illeggibile) {
    throw GuastoInatteso("il file della linea non si puo' leggere");
  }
  l.file1.apri(sorgente.testo);

  // Preamble: everything up to "[generale]" is passed over.
  for (;;) {
    l.campo = l.file1.leggi_testo();
    if (l.file1.fine()) {
      l.diagnostica.errore(CodiceErrore::generale_assente, l.qui());
      return FineFase::interrotta;
    }
    if (contiene(l.campo, "[generale]")) break;
  }

  if (!intestazione(l, m, con_geometria)) return FineFase::interrotta;
  progressive_ordina(m.tabella);
  CorpoLinea c{l, m, stato, con_geometria};
  inizia_corpo(c);
  l.osserva(m);
  if (!corpo(c)) return FineFase::interrotta;
  l.file1.chiudi();
  chiusura_corpo(c);
  return FineFase::completa;
}

}  // namespace

EsitoLinea fase_linea(const Sorgente& sorgente, const NomiScenario& nomi, bool con_geometria,
                      Destinazione dest) {
  Modello& m = dest.modello;
  Diagnostica& d = dest.diagnostica;
  m.tabella[kRigaLinea].nome = nomi.linea;
  m.tabella[kRigaTreni].nome = nomi.treni;
  EsitoLinea esito;
  Lettura l(FileSorgente::linea, &d);
  l.provenienze = dest.provenienze;
  try {
    esito.fine = leggi_linea(l, sorgente, con_geometria, m, esito.corpo);
  } catch (const GuastoInatteso&) {
    d.errore(CodiceErrore::guasto_inatteso, l.qui());
    esito.fine = FineFase::guasto;
  }
  esito.lunghezza = note_lunghezza(l, m);
  annota_lunghezza(esito.lunghezza, d);
  return esito;
}

}  // namespace calvetra
