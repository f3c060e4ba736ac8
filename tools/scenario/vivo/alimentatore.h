// Feeds the live page: the newest sources are compiled on a thread of its
// own and published, so that whoever hands them over (the watch of the
// directory, the language server's protocol loop) never waits for a
// compile. Sources that come while one compiles wait as one: the last wins.
// Its end gives up the page being built.
#ifndef CALVETRA_TOOLS_SCENARIO_VIVO_ALIMENTATORE_H_
#define CALVETRA_TOOLS_SCENARIO_VIVO_ALIMENTATORE_H_

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <variant>

#include "model/costanti.h"
#include "scenario/comune/compilato.h"
#include "scenario/comune/sorgenti.h"
#include "scenario/vista/vista.h"
#include "scenario/vivo/servizio.h"

namespace calvetra::scenario::vivo {

// The sources as they stand, or their compile when the caller made one (the
// language server's: an edit is compiled once), and how the page links back
// to them.
struct Istantanea {
  SorgentiAutore sorgenti;
  Compilato compilato;  // when set, `sorgenti` is not read
  NomiScenario nomi;
  std::string cartella;  // absolute
  std::string editor;    // the link template of `--editor`; "" for none
  bool apri_dal_server = false;
};

class Alimentatore {
 public:
  explicit Alimentatore(Servizio* servizio);
  ~Alimentatore();
  Alimentatore(const Alimentatore&) = delete;
  Alimentatore& operator=(const Alimentatore&) = delete;

  void nuove(Istantanea i);
  // Nothing to compile: the message (UTF-8) takes the route's place.
  void fatale(std::string messaggio);

  // States built so far (compiled here or handed over); for tests and
  // benchmarks.
  uint64_t compilazioni() const;

 private:
  void ciclo();

  Servizio* servizio_;
  mutable std::mutex m_;
  std::condition_variable c_;
  std::optional<std::variant<Istantanea, std::string>> in_attesa_;
  bool fine_ = false;
  // At the end a page being built is given up: the end waits for no build.
  Annullo annullo_{false};
  uint64_t compilazioni_ = 0;
  std::thread filo_;
};

}  // namespace calvetra::scenario::vivo

#endif  // CALVETRA_TOOLS_SCENARIO_VIVO_ALIMENTATORE_H_
