#include "scenario/vivo/alimentatore.h"

#include <utility>

#include "scenario/comune/testo.h"
#include "scenario/vista/vista.h"

namespace calvetra::scenario::vivo {

Alimentatore::Alimentatore(Servizio* servizio) : servizio_(servizio), filo_([this] { ciclo(); }) {}

Alimentatore::~Alimentatore() {
  {
    const std::lock_guard<std::mutex> l(m_);
    fine_ = true;
  }
  annullo_ = true;
  c_.notify_all();
  filo_.join();
}

void Alimentatore::nuove(Istantanea i) {
  {
    const std::lock_guard<std::mutex> l(m_);
    in_attesa_ = std::move(i);
  }
  c_.notify_all();
}

void Alimentatore::fatale(std::string messaggio) {
  {
    const std::lock_guard<std::mutex> l(m_);
    in_attesa_ = std::move(messaggio);
  }
  c_.notify_all();
}

uint64_t Alimentatore::compilazioni() const {
  const std::lock_guard<std::mutex> l(m_);
  return compilazioni_;
}

void Alimentatore::ciclo() {
  for (;;) {
    std::variant<Istantanea, std::string> lavoro;
    {
      std::unique_lock<std::mutex> l(m_);
      c_.wait(l, [&] { return fine_ || in_attesa_; });
      if (fine_) return;
      lavoro = std::move(*in_attesa_);
      in_attesa_.reset();
    }
    if (std::string* messaggio = std::get_if<std::string>(&lavoro)) {
      servizio_->pubblica_fatale(*messaggio);
      continue;
    }
    Istantanea& i = std::get<Istantanea>(lavoro);
    std::string fatale;
    std::optional<ScenarioVisto> v =
        i.compilato ? vista_da_compilato(std::move(i.compilato), &fatale)
                    : vista_da_sorgenti(std::move(i.sorgenti), i.nomi, &fatale, &annullo_);
    if (annullo_) return;
    if (v) {
      v->editor = std::move(i.editor);
      v->cartella = std::move(i.cartella);
      v->apri_dal_server = i.apri_dal_server;
      const std::optional<Json> dati = json_vista(*v, annullo_);
      if (!dati) return;
      servizio_->pubblica(*dati);
    } else {
      servizio_->pubblica_fatale(fatale);
    }
    const std::lock_guard<std::mutex> l(m_);
    ++compilazioni_;
  }
}

}  // namespace calvetra::scenario::vivo
