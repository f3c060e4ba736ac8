#include "scenario/lsp/smistatore.h"

namespace calvetra::scenario::lsp {

Json risposta_errore(const Json& id, CodiceRpc codice, const std::string& messaggio) {
  return Json{{"jsonrpc", "2.0"},
              {"id", id},
              {"error", {{"code", static_cast<int>(codice)}, {"message", messaggio}}}};
}

std::string testo_messaggio(const Json& messaggio) {
  return messaggio.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::optional<std::string> Smistatore::tratta(std::string_view corpo) {
  const auto errore = [](const Json& id, CodiceRpc codice, const std::string& messaggio) {
    return testo_messaggio(risposta_errore(id, codice, messaggio));
  };
  bool troppo_profondo = false;
  Json m = leggi_json_esterno(corpo, kLivelliMassimi, &troppo_profondo);
  if (troppo_profondo) {
    return errore(
        nullptr, CodiceRpc::richiesta_non_valida,
        "messaggio annidato oltre " + std::to_string(kLivelliMassimi) + " livelli: rifiutato");
  }
  if (m.is_discarded()) return errore(nullptr, CodiceRpc::json_illeggibile, "JSON illeggibile");
  const auto rifiuta = [&errore](const Json& id, const std::string& perche) {
    return errore(id, CodiceRpc::richiesta_non_valida, perche);
  };
  if (!m.is_object()) return rifiuta(nullptr, "un messaggio e' un oggetto JSON");
  const auto id = m.find("id");
  const bool con_id = id != m.end();
  if (con_id && !id->is_number_integer() && !id->is_string() && !id->is_null()) {
    return rifiuta(nullptr, "`id` e' un numero intero o una stringa");
  }
  const Json id_valore = con_id ? *id : Json(nullptr);
  const auto versione = m.find("jsonrpc");
  if (versione == m.end() || !versione->is_string() ||
      versione->get_ref<const std::string&>() != "2.0") {
    return rifiuta(id_valore, "`jsonrpc` deve essere \"2.0\"");
  }
  const auto metodo = m.find("method");
  if (metodo == m.end()) {
    // A reply of the client to a request of ours: the server sends none
    // that waits for one.
    if (con_id) return std::nullopt;
    return rifiuta(nullptr, "messaggio senza `method`");
  }
  if (!metodo->is_string()) return rifiuta(id_valore, "`method` e' una stringa");
  const std::string nome = metodo->get<std::string>();
  const auto p = m.find("params");
  // The methods that take no parameters: some clients say so with null.
  const bool senza_parametri = nome == "shutdown" || nome == "exit";
  const bool assenti = p == m.end() || (senza_parametri && p->is_null());
  const Json parametri = assenti ? Json::object() : *p;
  if (!parametri.is_object() && !parametri.is_array()) {
    // `exit` reads nothing: whatever it carries, the server ends.
    if (!con_id && nome == "exit") tratta_notifica(nome, Json::object());
    if (!con_id) return std::nullopt;
    return errore(id_valore, CodiceRpc::parametri_non_validi, "`params` e' un oggetto o un array");
  }
  if (con_id) return tratta_richiesta(id_valore, nome, parametri);
  tratta_notifica(nome, parametri);
  return std::nullopt;
}

std::optional<std::string> Smistatore::tratta_richiesta(const Json& id, const std::string& metodo,
                                                        const Json& parametri) {
  const auto errore = [&id](CodiceRpc codice, const std::string& messaggio) {
    return testo_messaggio(risposta_errore(id, codice, messaggio));
  };
  if (chiuso_) {
    return errore(CodiceRpc::richiesta_non_valida,
                  "il server e' chiuso (shutdown): solo exit e' accettato");
  }
  if (!iniziato_ && metodo != "initialize") {
    return errore(CodiceRpc::non_inizializzato, "serve prima initialize");
  }
  if (iniziato_ && metodo == "initialize") {
    return errore(CodiceRpc::richiesta_non_valida, "initialize gia' ricevuto");
  }
  const auto h = richieste_.find(metodo);
  const auto scritta = scritte_.find(metodo);
  if (h == richieste_.end() && scritta == scritte_.end()) {
    return errore(CodiceRpc::metodo_sconosciuto, "metodo sconosciuto: " + metodo);
  }
  try {
    if (prima_) prima_();
    if (h == richieste_.end()) {
      // The result as its handler wrote it, in the message the library
      // would write around it.
      const std::string risultato = scritta->second(parametri);
      std::string m = "{\"jsonrpc\":\"2.0\",\"id\":" + testo_messaggio(id) + ",\"result\":";
      m.reserve(m.size() + risultato.size() + 1);
      m += risultato;
      m += '}';
      return m;
    }
    Json risultato = h->second(parametri);
    if (metodo == "initialize") iniziato_ = true;
    if (metodo == "shutdown") chiuso_ = true;
    return testo_messaggio(Json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(risultato)}});
  } catch (const ErroreRpc& e) {
    return errore(e.codice, e.what());
  } catch (const Json::exception& e) {
    // A member missing or of the wrong type.
    return errore(CodiceRpc::parametri_non_validi,
                  std::string("parametri non validi: ") + e.what());
  } catch (const std::exception& e) {
    return errore(CodiceRpc::errore_interno, e.what());
  }
}

void Smistatore::tratta_notifica(const std::string& metodo, const Json& parametri) {
  if (metodo == "exit") {
    finito_ = true;
    return;
  }
  // Before initialize and after shutdown notifications are dropped, as are
  // those of unknown methods ("$/cancelRequest" among them).
  if (!iniziato_ || chiuso_) return;
  const auto h = notifiche_.find(metodo);
  if (h == notifiche_.end()) return;
  try {
    h->second(parametri);
  } catch (const std::exception&) {
    // A notification has no reply to carry the error: what it would have
    // changed stays as it was.
  }
}

}  // namespace calvetra::scenario::lsp
