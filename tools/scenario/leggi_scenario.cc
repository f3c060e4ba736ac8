#include "leggi_scenario.h"

#include <array>

#include "model/codifica.h"
#include "model/costanti.h"
#include "model/numeri.h"
#include "platform/piattaforma.h"

namespace calvetra::scenario {

namespace {

std::string n(size_t v) { return std::to_string(v); }

const char* nome_coordinata(int c) { return c == 0 ? "x" : "y"; }

}  // namespace

int64_t celle_attese(int32_t lunghezza) {
  if (lunghezza > kLunghezzaMassima || lunghezza < -kRincorsa) return 0;
  return arrotonda_div(static_cast<int64_t>(lunghezza) + kRincorsa, kMetriCella) + 1;
}

bool leggi_tabella(std::string_view dati, const std::string& nome, Tabella* tabella,
                   std::string* errore) {
  LettoreBinario in(dati);
  std::array<size_t, kRigheTabella> inizi{};
  for (size_t r = 0; r < tabella->size(); ++r) {
    const size_t inizio = in.posizione();
    inizi[r] = inizio;
    if (!decodifica_voce(&in, &(*tabella)[r])) {
      *errore = nome + ": troncato: la riga " + n(r) + ", che inizia al byte " + n(inizio) +
                ", supera la fine del file (" + n(dati.size()) + " byte); servono 87 righe";
      return false;
    }
  }
  if (!in.finito()) {
    *errore = nome + ": " + n(in.rimanenti()) + " byte in eccesso dal byte " + n(in.posizione()) +
              ", dopo le 87 righe della tabella";
    return false;
  }
  const voce& r85 = (*tabella)[kRigaLinea];
  if (r85.cod_a != kMarchioTabella) {
    *errore = nome + ": corrotto: al byte " + n(inizi[kRigaLinea] + 16 + r85.nome.size()) +
              " (riga 85, cod_a) c'e' " + std::to_string(r85.cod_a) + " invece del marchio " +
              std::to_string(kMarchioTabella);
    return false;
  }
  // A length outside the limits is one the compile refused after an earlier
  // record had sized the route: the other files give their own sizes.
  const int32_t L = (*tabella)[kRigaPercorso].fine;
  if (celle_attese(L) == 1) {
    *errore = nome + ": corrotto: al byte " + n(inizi[kRigaPercorso] + 5) +
              " (riga 84, fine) la lunghezza del percorso " + std::to_string(L) +
              " m da' una sola cella";
    return false;
  }
  return true;
}

bool leggi_celle(std::string_view dati, const std::string& nome, int32_t lunghezza,
                 std::vector<tratto>* tratti, std::string* errore) {
  int64_t attese = celle_attese(lunghezza);
  if (dati.size() % kByteCella != 0) {
    const size_t resto = dati.size() % kByteCella;
    *errore = nome + ": corrotto: " + n(dati.size()) + " byte non sono un multiplo di " +
              n(kByteCella) + "; gli ultimi " + n(resto) + " byte, dal byte " +
              n(dati.size() - resto) + ", non formano una cella";
    return false;
  }
  if (attese == 0) {
    // A length the compile refused: the cells are those of an earlier record.
    attese = static_cast<int64_t>(dati.size() / kByteCella);
    if (attese < 2) {
      *errore = nome + ": troncato: " + n(dati.size()) + " byte, meno delle 2 celle che " +
                "il compilatore scrive almeno";
      return false;
    }
  }
  const auto byte_attesi = static_cast<size_t>(attese) * kByteCella;
  if (dati.size() < byte_attesi) {
    *errore = nome + ": troncato: il file finisce al byte " + n(dati.size()) + " dopo " +
              n(dati.size() / kByteCella) + " celle; la lunghezza " + std::to_string(lunghezza) +
              " m della tabella ne vuole " + std::to_string(attese) + " (" + n(byte_attesi) +
              " byte)";
    return false;
  }
  if (dati.size() > byte_attesi) {
    *errore = nome + ": " + n(dati.size() - byte_attesi) + " byte in eccesso dal byte " +
              n(byte_attesi) + ": la lunghezza " + std::to_string(lunghezza) +
              " m della tabella vuole " + std::to_string(attese) + " celle";
    return false;
  }
  LettoreBinario in(dati);
  tratti->assign(static_cast<size_t>(attese), tratto{});
  for (tratto& t : *tratti) {
    if (!decodifica_tratto(&in, &t)) {  // cannot happen: the size was checked
      *errore = nome + ": troncato al byte " + n(in.posizione());
      return false;
    }
  }
  if ((*tratti)[1].valore_a != kMarchioCelle) {
    *errore = nome + ": corrotto: al byte 16 (cella 1, valore_a) c'e' " +
              std::to_string((*tratti)[1].valore_a) + " invece del marchio " +
              std::to_string(kMarchioCelle);
    return false;
  }
  return true;
}

namespace {

// The elements of a plan file, counted; false with a message at the first
// one that cannot be decoded.
bool conta_elementi(std::string_view dati, const std::string& nome, int64_t* quanti,
                    std::string* errore) {
  LettoreBinario in(dati);
  *quanti = 0;
  while (!in.finito()) {
    const size_t inizio = in.posizione();
    ElementoGeometria e;
    const EsitoElemento esito = decodifica_elemento(&in, &e);
    if (esito != EsitoElemento::ok) {
      *errore = nome + (esito == EsitoElemento::troncato ? ": troncato: " : ": corrotto: ") +
                "l'elemento " + std::to_string(*quanti) + ", che inizia al byte " + n(inizio) +
                (esito == EsitoElemento::troncato ? ", supera la fine del file"
                                                  : ", ha un'etichetta sconosciuta");
      return false;
    }
    ++*quanti;
  }
  return true;
}

}  // namespace

bool leggi_geometria(std::string_view dati, const std::string& nome, int32_t lunghezza,
                     PianoLetto* piano, std::string* errore) {
  int64_t metri = static_cast<int64_t>(lunghezza) + 7001;
  const int64_t celle = celle_attese(lunghezza);
  if (celle == 1) {
    *errore = nome + ": la lunghezza " + std::to_string(lunghezza) + " m non da' una geometria";
    return false;
  }
  if (celle == 0) {
    // A length the compile refused: the plan is that of an earlier record,
    // x and y of the same number of metres.
    int64_t elementi = 0;
    if (!conta_elementi(dati, nome, &elementi, errore)) return false;
    if (elementi == 0 || elementi % 2 != 0) {
      *errore = nome + ": corrotto: " + std::to_string(elementi) +
                " elementi non si dividono in x e y dello stesso numero di metri";
      return false;
    }
    metri = elementi / 2;
  }
  LettoreBinario in(dati);
  for (int c = 0; c < 2; ++c) {
    std::vector<ElementoGeometria>& coordinata = c == 0 ? piano->x : piano->y;
    coordinata.assign(static_cast<size_t>(metri), ElementoGeometria{});
    for (int64_t m = 0; m < metri; ++m) {
      const size_t inizio = in.posizione();
      // Named only in a message: built when one is written.
      const auto quale = [c, m] {
        return std::string("elemento ") + nome_coordinata(c) + " del metro " + std::to_string(m);
      };
      if (in.finito()) {
        *errore = nome + ": troncato: il file finisce al byte " + n(dati.size()) + ", prima dell'" +
                  quale() + "; la lunghezza " + std::to_string(lunghezza) +
                  " m della tabella vuole 2 x " + std::to_string(metri) + " elementi";
        return false;
      }
      switch (decodifica_elemento(&in, &coordinata[static_cast<size_t>(m)])) {
        case EsitoElemento::ok: break;
        case EsitoElemento::troncato:
          *errore = nome + ": troncato: l'" + quale() + ", che inizia al byte " + n(inizio) +
                    ", supera la fine del file (" + n(dati.size()) + " byte)";
          return false;
        case EsitoElemento::genere_sconosciuto: {
          const auto tag = static_cast<unsigned>(static_cast<unsigned char>(dati[inizio])) |
                           static_cast<unsigned>(static_cast<unsigned char>(dati[inizio + 1])) << 8;
          *errore = nome + ": corrotto: etichetta " + std::to_string(tag) +
                    " sconosciuta al byte " + n(inizio) + " (" + quale() +
                    "); valgono solo 0, 2 e 5";
          return false;
        }
      }
    }
  }
  if (!in.finito()) {
    *errore = nome + ": " + n(in.rimanenti()) + " byte in eccesso dal byte " + n(in.posizione()) +
              ", dopo i 2 x " + std::to_string(metri) + " elementi della lunghezza " +
              std::to_string(lunghezza) + " m (forse il file di una compilazione precedente)";
    return false;
  }
  return true;
}

bool leggi_scenario(const std::string& cartella, const NomiScenario& nomi, ScenarioLetto* s,
                    std::string* errore) {
  PiattaformaPosix fs(cartella);
  std::string dati;
  std::string motivo;
  const auto leggi = [&](const std::string& nome) {
    const std::string percorso = nella_cartella(cartella, nome);
    if (!fs.leggi(percorso, &dati, &motivo)) {
      *errore = percorso + ": impossibile leggere: " + motivo;
      return false;
    }
    return true;
  };

  if (!leggi(nomi.tabella())) return false;
  s->byte_tabella = dati.size();
  if (!leggi_tabella(dati, nella_cartella(cartella, nomi.tabella()), &s->tabella, errore)) {
    return false;
  }
  const int32_t L = s->tabella[kRigaPercorso].fine;

  if (!leggi(nomi.celle())) return false;
  s->byte_celle = dati.size();
  if (!leggi_celle(dati, nella_cartella(cartella, nomi.celle()), L, &s->tratti, errore)) {
    return false;
  }

  s->geometria.reset();
  const std::string percorso_geometria = nella_cartella(cartella, nomi.geometria());
  if (fs.esiste(percorso_geometria)) {
    if (!leggi(nomi.geometria())) return false;
    s->byte_geometria = dati.size();
    PianoLetto piano;
    if (!leggi_geometria(dati, percorso_geometria, L, &piano, errore)) return false;
    s->geometria = std::move(piano);
  }
  return true;
}

}  // namespace calvetra::scenario
