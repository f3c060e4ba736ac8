#include "driver/file_binari.h"

#include "driver/codifica.h"
#include "driver/form1.h"
#include "driver/sostituzione.h"

namespace calvetra {

void codifica_voce(std::string* s, const voce& v) {
  put_u8(s, v.tipo);
  put_i32(s, v.inizio);
  put_i32(s, v.fine);
  put_i32(s, v.posizione);
  put_u8(s, v.opz_a);
  put_stringa(s, v.nome);
  put_i16(s, v.cod_a);
  put_i16(s, v.cod_b);
  put_i16(s, v.cod_c);
  put_i16(s, v.cod_d);
  put_i16(s, v.cod_e);
  put_u8(s, v.opz_b);
  put_u8(s, v.opz_c);
  put_u8(s, v.opz_d);
  put_u8(s, v.opz_e);
  put_i32(s, v.orario);
}

void codifica_tratto(std::string* s, const tratto& t) {
  put_u8(s, t.tipo);
  put_i16(s, t.valore_a);
  put_i16(s, t.valore_b);
  put_i16(s, t.valore_c);
  put_i16(s, t.valore_d);
  put_u8(s, t.tempo);
  put_u8(s, t.preavviso);
  put_u8(s, t.montagna);
  put_u8(s, t.velocita);
  put_u8(s, t.pendenza);
  put_u8(s, t.aderenza);
}

void codifica_elemento(std::string* s, const Geometria& g, int coordinata, int32_t m) {
  const Geometria::Genere genere = g.genere(m);
  put_u16(s, static_cast<uint16_t>(genere));
  const double v = coordinata == 0 ? g.x(m) : g.y(m);
  if (genere == Geometria::Genere::intero) {
    put_i16(s, static_cast<int16_t>(v));  // the seeds 0 and 1
  } else if (genere == Geometria::Genere::reale) {
    put_f64(s, v);
  }
}

bool decodifica_voce(LettoreBinario* in, voce* v) {
  return in->get_u8(&v->tipo) && in->get_i32(&v->inizio) && in->get_i32(&v->fine) &&
         in->get_i32(&v->posizione) && in->get_u8(&v->opz_a) && in->get_stringa(&v->nome) &&
         in->get_i16(&v->cod_a) && in->get_i16(&v->cod_b) && in->get_i16(&v->cod_c) &&
         in->get_i16(&v->cod_d) && in->get_i16(&v->cod_e) && in->get_u8(&v->opz_b) &&
         in->get_u8(&v->opz_c) && in->get_u8(&v->opz_d) && in->get_u8(&v->opz_e) &&
         in->get_i32(&v->orario);
}

bool decodifica_tratto(LettoreBinario* in, tratto* t) {
  return in->get_u8(&t->tipo) && in->get_i16(&t->valore_a) && in->get_i16(&t->valore_b) &&
         in->get_i16(&t->valore_c) && in->get_i16(&t->valore_d) && in->get_u8(&t->tempo) &&
         in->get_u8(&t->preavviso) && in->get_u8(&t->montagna) && in->get_u8(&t->velocita) &&
         in->get_u8(&t->pendenza) && in->get_u8(&t->aderenza);
}

EsitoElemento decodifica_elemento(LettoreBinario* in, ElementoGeometria* e) {
  uint16_t genere = 0;
  if (!in->get_u16(&genere)) return EsitoElemento::troncato;
  switch (genere) {
    case static_cast<uint16_t>(Geometria::Genere::vuoto):
      *e = ElementoGeometria{};
      return EsitoElemento::ok;
    case static_cast<uint16_t>(Geometria::Genere::intero): {
      int16_t v = 0;
      if (!in->get_i16(&v)) return EsitoElemento::troncato;
      *e = ElementoGeometria{Geometria::Genere::intero, static_cast<double>(v)};
      return EsitoElemento::ok;
    }
    case static_cast<uint16_t>(Geometria::Genere::reale): {
      double v = 0.0;
      if (!in->get_f64(&v)) return EsitoElemento::troncato;
      *e = ElementoGeometria{Geometria::Genere::reale, v};
      return EsitoElemento::ok;
    }
    default:
      return EsitoElemento::genere_sconosciuto;
  }
}

bool Form1::scrivi_file_binari() {
  for (const voce& v : tabella) {
    if (v.nome.size() > 0xFFFF) {
      piattaforma->rapporto("calvetra: un nome della tabella supera 65535 caratteri (" +
                            std::to_string(v.nome.size()) + "); nessun file scritto");
      return false;
    }
  }
  struct File {
    std::string nome;
    std::function<void(Uscita*)> produci;
  };
  std::vector<File> file;
  if (con_geometria != 0) {
    file.push_back({nome_linea + "_linea.dat", [this](Uscita* u) {
                      const int32_t T = geometria.esiste() ? geometria.ultimo_metro() : -1;
                      for (int coordinata = 0; coordinata < 2; ++coordinata) {
                        for (int32_t m = 0; m <= T; ++m) {
                          codifica_elemento(u->buffer(), geometria, coordinata, m);
                          u->forse_svuota();
                        }
                      }
                    }});
  }
  file.push_back({nome_linea + "_" + nome_treni + ".sim", [this](Uscita* u) {
                    for (const voce& v : tabella) {
                      codifica_voce(u->buffer(), v);
                      u->forse_svuota();
                    }
                  }});
  file.push_back({nome_linea + "_" + nome_treni + ".dat", [this](Uscita* u) {
                    for (const tratto& t : tratti) {
                      codifica_tratto(u->buffer(), t);
                      u->forse_svuota();
                    }
                  }});
  for (const File& f : file) {
    const std::string path = percorso(f.nome);
    std::string motivo;
    if (!sostituisci_file(piattaforma, path, f.produci, &motivo)) {
      piattaforma->rapporto("calvetra: impossibile scrivere " + path + ": " + motivo);
      return false;
    }
  }
  return true;
}

}  // namespace calvetra
