#include "scenario/comune/json.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "model/caratteri.h"
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
  Json j = oggetto_json(16);  // room for what dump and the page add
  metti_membro(&j, "cella", c);
  metti_membro(&j, "tipo", t.tipo);
  metti_membro(&j, "nome_tipo", nome_cella(t, c));
  metti_membro(&j, "valore_a", t.valore_a);
  metti_membro(&j, "valore_b", t.valore_b);
  metti_membro(&j, "valore_c", t.valore_c);
  metti_membro(&j, "valore_d", t.valore_d);
  metti_membro(&j, "tempo", t.tempo);
  metti_membro(&j, "posizione", posizione);
  metti_membro(&j, "significato", json_significato(t, c));
  return j;
}

namespace {

// One serializer of the library for a whole document, appending to it: a
// value written by dump() would bring a string and a serializer of its own.
class Scrittura {
 public:
  explicit Scrittura(std::string* s)
      : s_(s),
        compatta_(nlohmann::detail::output_adapter<char, std::string>(*s), ' ',
                  Json::error_handler_t::replace) {}

  void compatto(const Json& j) { compatta_.dump(j, false, false, 0); }

  void chiave(const std::string& k) { aggiungi_stringa_json(s_, k); }

  void scrivi(const Json& j, int livelli, size_t rientro) {
    if (livelli <= 0 || !j.is_structured() || j.empty()) {
      compatto(j);
      return;
    }
    const bool oggetto = j.is_object();
    *s_ += oggetto ? '{' : '[';
    const char* separatore = "\n";
    for (auto it = j.begin(); it != j.end(); ++it) {
      *s_ += separatore;
      separatore = ",\n";
      s_->append(rientro + 2, ' ');
      if (oggetto) {
        chiave(it.key());
        *s_ += ": ";
      }
      scrivi(*it, livelli - 1, rientro + 2);
    }
    *s_ += '\n';
    s_->append(rientro, ' ');
    *s_ += oggetto ? '}' : ']';
  }

 private:
  std::string* s_;
  nlohmann::detail::serializer<Json> compatta_;
};

}  // namespace

std::string scrivi_json(const Json& documento, int livelli) {
  std::string s;
  Scrittura(&s).scrivi(documento, livelli, 0);
  return s + "\n";
}

void aggiungi_stringa_json(std::string* s, std::string_view testo) {
  // A text of printable ASCII but the quote and the backslash, and of
  // well-formed UTF-8, is written as it stands, which is what the library
  // would write; any other goes through it.
  bool semplice = true;
  for (size_t i = 0; i < testo.size() && semplice;) {
    const auto c = static_cast<unsigned char>(testo[i]);
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      ++i;
      continue;
    }
    const size_t n = sequenza_utf8(testo, i);
    semplice = n > 0;
    i += n;
  }
  if (semplice) {
    *s += '"';
    s->append(testo);
    *s += '"';
    return;
  }
  s->append(Json(testo).dump(-1, ' ', false, Json::error_handler_t::replace));
}

}  // namespace calvetra::scenario
