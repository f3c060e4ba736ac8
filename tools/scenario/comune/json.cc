#include "scenario/comune/json.h"

#include <string>

#include "model/significato.h"
#include "scenario/comune/testo.h"

namespace calvetra::scenario {

Json testo_json(std::string_view testo_1252) { return utf8_da_1252(testo_1252); }

void metti_campi_voce(Json* j, const voce& v) {
  for (const CampoVoce& c : campi_voce(v)) {
    (*j)[c.nome] = c.stringa ? testo_json(c.testo) : Json(std::stoll(c.testo));
  }
}

Json json_significato(const tratto& t, size_t c) {
  Json j = Json::object();
  for (const ValoreNominato& v : significato_cella(oggetto_della_cella(t, c))) {
    j[v.nome] = testo_json(v.valore);
  }
  return j;
}

std::string nome_cella(const tratto& t, size_t c) {
  if (c == kCellaIntestazione && t.tipo == kLibero) return "intestazione";
  const char* nome = nome_tipo_cella(t.tipo);
  return nome != nullptr ? nome : "tipo sconosciuto";
}

namespace {

// Thrown from inside the parse, which has no other way to stop early.
struct TroppoProfondo {};

}  // namespace

Json leggi_json_esterno(std::string_view testo, int livelli, bool* troppo_profondo) {
  *troppo_profondo = false;
  const auto misura = [livelli](int profondita, Json::parse_event_t e, Json&) {
    const bool apre =
        e == Json::parse_event_t::object_start || e == Json::parse_event_t::array_start;
    if (apre && profondita >= livelli) throw TroppoProfondo{};
    return true;
  };
  try {
    return Json::parse(testo, misura, false);
  } catch (const TroppoProfondo&) {
    *troppo_profondo = true;
    return Json(Json::value_t::discarded);
  }
}

Json oggetto_json(size_t membri) {
  Json j(Json::value_t::object);
  j.get_ref<Json::object_t&>().reserve(membri);
  return j;
}

Json json_cella(const tratto& t, size_t c, int64_t posizione) {
  return {{"cella", c},
          {"tipo", t.tipo},
          {"nome_tipo", nome_cella(t, c)},
          {"valore_a", t.valore_a},
          {"valore_b", t.valore_b},
          {"valore_c", t.valore_c},
          {"valore_d", t.valore_d},
          {"tempo", t.tempo},
          {"posizione", posizione},
          {"significato", json_significato(t, c)}};
}

namespace {

std::string compatto(const Json& j) {
  return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void scrivi(std::string* s, const Json& j, int livelli, size_t rientro) {
  if (livelli <= 0 || !j.is_structured() || j.empty()) {
    *s += compatto(j);
    return;
  }
  const bool oggetto = j.is_object();
  *s += oggetto ? '{' : '[';
  const char* separatore = "\n";
  for (auto it = j.begin(); it != j.end(); ++it) {
    *s += separatore;
    separatore = ",\n";
    s->append(rientro + 2, ' ');
    if (oggetto) *s += compatto(it.key()) + ": ";
    scrivi(s, *it, livelli - 1, rientro + 2);
  }
  *s += '\n';
  s->append(rientro, ' ');
  *s += oggetto ? '}' : ']';
}

}  // namespace

std::string scrivi_json(const Json& documento, int livelli) {
  std::string s;
  scrivi(&s, documento, livelli, 0);
  return s + "\n";
}

}  // namespace calvetra::scenario
