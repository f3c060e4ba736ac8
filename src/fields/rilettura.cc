#include "fields/rilettura.h"

#include <algorithm>

#include "model/significato.h"

namespace calvetra {

bool campo_conservato(const CampoRecord& c) {
  return (c.deposito.dove == Dove::cella || c.deposito.dove == Dove::riga) &&
         !c.deposito.campo.empty();
}

std::optional<CampoCella> campo_cella_di(const CampoRecord& c) {
  if (c.deposito.dove != Dove::cella) return std::nullopt;
  return campo_cella(c.deposito.campo);
}

std::optional<CampoRiga> campo_riga_di(const CampoRecord& c) {
  if (c.deposito.dove != Dove::riga) return std::nullopt;
  return campo_riga(c.deposito.campo);
}

int64_t da_conservato(Modo m, int64_t grezzo) {
  switch (m) {
    case Modo::passi_5_kmh: return kmh_da_velocita(static_cast<uint8_t>(grezzo));
    case Modo::per_mille_100: return per_mille_da_pendenza(static_cast<uint8_t>(grezzo));
    case Modo::come_letto:
    case Modo::basso_8:
    case Modo::bit_16:
    case Modo::con_altri:
    case Modo::secondi: break;
  }
  return grezzo;
}

std::optional<tratto> oggetto_riletto(const DaRileggere& r, int64_t c, uint8_t tipo,
                                      std::span<Riletto> campi) {
  for (Riletto& x : campi) x.cella = c;
  if (c < 0 || c >= static_cast<int64_t>(r.m.tratti.size())) return std::nullopt;
  const auto i = static_cast<size_t>(c);
  if (r.m.tratti[i].tipo != tipo || r.record >= r.g.records().size() ||
      r.g.record_cella(i) != &r.g.records()[r.record]) {
    return std::nullopt;
  }
  return oggetto_della_cella(r.m.tratti[i], i);
}

void presenti(std::span<Riletto> campi, std::span<const int64_t> v) {
  for (size_t k = 0; k < campi.size() && k < v.size(); ++k) {
    if (!campi[k].confrontato) continue;
    campi[k].presente = true;
    campi[k].valore = v[k];
  }
}

void da_cella(const Modello& m, int64_t c, const CampoRecord& campo, Riletto& r) {
  r.cella = c;
  const std::optional<CampoCella> f = campo_cella_di(campo);
  if (!f || c < 0 || c >= static_cast<int64_t>(m.tratti.size())) {
    r.presente = false;
    return;
  }
  const auto i = static_cast<size_t>(c);
  r.presente = true;
  r.valore =
      da_conservato(campo.deposito.modo, valore_campo(oggetto_della_cella(m.tratti[i], i), *f));
}

void rileggi_da_deposito(const DescrizioneRecord& d, const DaRileggere& r,
                         std::span<Riletto> campi) {
  // A stretch begins at the cell of its position.
  std::optional<int64_t> inizio;
  for (size_t k = 0; k < d.campi.size() && k < r.letti.size(); ++k) {
    if (d.campi[k].deposito.dove == Dove::celle_da) {
      inizio = std::max<int64_t>(cella_di_tratto(r.letti[k]), 0);
    }
  }
  for (size_t k = 0; k < d.campi.size() && k < campi.size(); ++k) {
    const CampoRecord& c = d.campi[k];
    if (!campi[k].confrontato) continue;
    if (c.deposito.dove == Dove::riga && c.deposito.riga >= 0) {
      const std::optional<CampoRiga> f = campo_riga_di(c);
      if (!f) continue;
      const voce& v = r.m.tabella[static_cast<size_t>(c.deposito.riga)];
      campi[k].presente = true;
      campi[k].riga = c.deposito.riga;
      if (*f == CampoRiga::nome) {
        campi[k].testo = v.nome;
      } else {
        campi[k].valore = da_conservato(c.deposito.modo, valore_campo(v, *f));
      }
    } else if (c.deposito.dove == Dove::cella && inizio) {
      da_cella(r.m, *inizio, c, campi[k]);
    }
  }
}

void rileggi_record(const DescrizioneRecord& d, const DaRileggere& r, std::span<Riletto> campi) {
  for (size_t k = 0; k < d.campi.size() && k < campi.size(); ++k) {
    campi[k] = Riletto{};
    campi[k].confrontato = campo_conservato(d.campi[k]);
  }
  if (d.rileggi != nullptr) {
    d.rileggi(r, campi);
  } else {
    rileggi_da_deposito(d, r, campi);
  }
}

std::string perche_modo(Modo m, int64_t letto, int64_t conservato) {
  const auto n = [](int64_t v) { return std::to_string(v); };
  switch (m) {
    case Modo::passi_5_kmh:
      return "la cella tiene la velocita' in passi di 5 km/h: " + n(letto) + " / 5 fa " +
             n(conservato / kPassoVelocita) + " passi, cioe' " + n(conservato) + " km/h";
    case Modo::per_mille_100:
      return "la cella tiene la pendenza + 100 in 8 bit: " + n(letto) +
             " + 100 = " + n(letto + kScartoPendenza) + ", di cui restano gli 8 bit bassi, " +
             n(conservato + kScartoPendenza) + ", che si leggono " + n(conservato) + " per mille";
    case Modo::basso_8: return "la cella ne tiene solo gli 8 bit bassi, da 0 a 255";
    case Modo::bit_16: return "il campo ne tiene 16 bit";
    case Modo::come_letto:
    case Modo::con_altri:
    case Modo::secondi: break;
  }
  return "";
}

}  // namespace calvetra
