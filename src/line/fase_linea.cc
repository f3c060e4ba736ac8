// The line phase of the parser: preamble, header block, sizing of the model,
// and the body loop that hands each record to its handler.
#include "line/fase_linea.h"

#include <string>

#include "line/catalogo_linea.h"
#include "model/numeri.h"

namespace calvetra {

namespace {

// Separator fields a keyword field may stand in for, in a row.
constexpr int kSeparatoriIntestazione = 10;
constexpr int kSeparatoriCorpo = 2;

// A bracketed field that is not a separator line closes the header block.
bool chiude_intestazione(const std::string& campo) {
  if (!contiene_esatto(campo, "[") || !contiene_esatto(campo, "]")) return false;
  size_t i = 0;
  while (i < campo.size() && (campo[i] == ' ' || campo[i] == '\t')) ++i;
  return i >= campo.size() || campo[i] != '-';
}

// The header block up to the first bracketed field. False when an error
// has ended the phase.
bool intestazione(Lettura& l, IntestazioneLinea& c) {
  for (;;) {
    if (l.fine()) return true;
    // The end of the file is not looked at between separators here.
    if (!l.leggi_parola_chiave(kSeparatoriIntestazione, false)) return true;
    const size_t chiave = l.inizio_campo();
    const Riconosciuti trovati = riconosci(catalogo_intestazione_linea(), l.campo(), c);
    avvisa_intestazione(l, trovati, chiave);
    if (leggi_record(l, catalogo_intestazione_linea(), trovati, c, chiave) == Seguito::esci) {
      return false;
    }
    if (chiude_intestazione(l.campo())) return true;
  }
}

// The body loop. False when an error has ended the phase.
bool corpo(Lettura& l, CorpoLinea& c) {
  for (;;) {
    if (l.fine()) return true;
    if (!l.leggi_parola_chiave(kSeparatoriCorpo, true)) return true;
    const size_t chiave = l.inizio_campo();
    const Riconosciuti trovati = riconosci(catalogo_corpo_linea(), l.campo(), c);
    avvisa_corpo(l, trovati, chiave);
    const Seguito s = leggi_record(l, catalogo_corpo_linea(), trovati, c, chiave);
    if (s == Seguito::esci) return false;
    if (s == Seguito::fine_corpo) {
      l.ferma_lettura();
      return true;
    }
  }
}

FineFase leggi_linea(Lettura& l, const Sorgente& sorgente, bool con_geometria,
                     StatoCorpoLinea& stato) {
  if (!sorgente.esiste()) {
    l.diagnostica().errore(CodiceErrore::linea_assente, Luogo{});
    return FineFase::interrotta;
  }
  if (sorgente.stato == Sorgente::Stato::illeggibile) {
    throw GuastoInatteso("il file della linea non si puo' leggere");
  }
  if (sorgente.stato == Sorgente::Stato::troppo_grande) {
    throw GuastoInatteso("il file della linea supera i 4 GiB, e non e' letto");
  }
  l.apri(sorgente.testo);

  // Preamble: everything up to "[generale]" is passed over.
  for (;;) {
    l.leggi_campo();
    if (l.fine()) {
      l.avvisi().generale_mancante(sorgente.testo.size(), true);
      l.diagnostica().errore(CodiceErrore::generale_assente, l.qui());
      return FineFase::interrotta;
    }
    if (contiene(l.campo(), "[generale]")) {
      if (Giornale* g = l.giornale()) g->sezione(l.qui());
      break;
    }
  }

  Modello& m = l.modello();
  IntestazioneLinea testa{m, con_geometria};
  l.fase(Fase::intestazione_linea);
  if (!intestazione(l, testa)) return FineFase::interrotta;
  // The ordering writes the progressive rows in place.
  l.passo("ordine delle progressive");
  Tabella ordinata = m.tabella;
  m.osservatore.progressive.ordina(progressive_ordina(ordinata));
  for (size_t riga = kRigaProgressivaTre; riga <= kRigaProgressivaUno; ++riga) {
    m.scrivi_voce(riga, ordinata[riga]);
  }
  CorpoLinea c{m, stato, con_geometria};
  inizia_corpo(c);
  l.fase(Fase::corpo_linea);
  if (!corpo(l, c)) return FineFase::interrotta;
  l.chiudi();
  l.passo("chiusura della linea");
  chiusura_corpo(c);
  return FineFase::completa;
}

}  // namespace

void esamina_linea(std::string_view testo, size_t da, Fase fase, bool con_geometria, Diagnostica& d,
                   Giornale& g, const std::atomic<bool>* annullo) {
  Modello vuoto;
  Lettura l(FileSorgente::linea, lessico_linea(), {vuoto, d, &g, annullo});
  l.apri(testo);
  l.file1().salta_a(ripresa_esame(testo, da));
  IntestazioneLinea testa{vuoto, con_geometria};
  StatoCorpoLinea stato;
  CorpoLinea c{vuoto, stato, con_geometria};
  try {
    if (fase == Fase::intestazione_linea) {
      l.fase(Fase::intestazione_linea);
      for (;;) {
        if (l.fine() || !l.leggi_parola_chiave(kSeparatoriIntestazione, false)) return;
        const size_t chiave = l.inizio_campo();
        const Riconosciuti trovati = riconosci(catalogo_intestazione_linea(), l.campo(), testa);
        avvisa_intestazione(l, trovati, chiave);
        esamina_record(l, trovati, chiave);
        if (chiude_intestazione(l.campo())) break;
      }
    }
    l.fase(Fase::corpo_linea);
    for (;;) {
      if (l.fine() || !l.leggi_parola_chiave(kSeparatoriCorpo, true)) return;
      const size_t chiave = l.inizio_campo();
      const Riconosciuti trovati = riconosci(catalogo_corpo_linea(), l.campo(), c);
      avvisa_corpo(l, trovati, chiave);
      esamina_record(l, trovati, chiave);
    }
  } catch (const GuastoInatteso&) {
    // The file ends inside a record: nothing more to examine.
  }
}

void inizia_corpo(CorpoLinea& c) {
  c.s = StatoCorpoLinea{};
  if (c.con_geometria) {
    Geometria& g = c.m.geometria;
    if (!g.esiste() || g.ultimo_metro() < 1) {
      throw GuastoInatteso("la geometria del percorso non esiste");
    }
    g.semina();
  }
}

void chiusura_corpo(CorpoLinea& c) {
  // The last gradient runs up to cell n - 3; the three cells after it keep 0.
  riempi_pendenze(c.m, c.s, int64_t{c.m.ultima_cella()} - 2);
  // The plan goes straight on to T - 2; the last two metres stay empty.
  if (c.con_geometria) {
    Geometria& g = c.m.geometria;
    avanza_piano(g, g.ultimo_metro(), Andamento::rettilineo, 0.0, false);
  }
}

EsitoLinea fase_linea(const Sorgente& sorgente, const NomiScenario& nomi, bool con_geometria,
                      Destinazione dest) {
  dest.modello.scrivi_nome(kRigaLinea, nomi.linea_in_tabella());
  dest.modello.scrivi_nome(kRigaTreni, nomi.treni_in_tabella());
  EsitoLinea esito;
  Lettura l(FileSorgente::linea, lessico_linea(), dest);
  try {
    esito.fine = leggi_linea(l, sorgente, con_geometria, esito.corpo);
    if (esito.fine == FineFase::interrotta) l.ferma_lettura();
  } catch (const GuastoInatteso& e) {
    l.diagnostica().errore(CodiceErrore::guasto_inatteso, l.qui());
    l.ferma_lettura();
    // For authors, what failed: the error's own sentence says only "unexpected".
    if (l.avvisi_attivi()) l.diagnostica().annota({e.what(), l.qui()});
    esito.fine = FineFase::guasto;
  }
  esito.lunghezza = note_lunghezza(l);
  annota_lunghezza(esito.lunghezza, l.diagnostica());
  return esito;
}

}  // namespace calvetra
