// Generated scenarios: scenario k of a seed as its two sources, the same
// bytes on every platform and whatever else is asked of the same seed.
#ifndef CALVETRA_TOOLS_GENERA_SCENARI_H_
#define CALVETRA_TOOLS_GENERA_SCENARI_H_

#include <cstdint>
#include <optional>
#include <string>

namespace calvetra::genera {

// A scenario's sources; nullopt for a source the scenario lacks.
struct ScenarioGenerato {
  std::optional<std::string> linea;
  std::optional<std::string> treno;
};

ScenarioGenerato scenario(uint64_t seme, uint64_t k);

}  // namespace calvetra::genera

#endif  // CALVETRA_TOOLS_GENERA_SCENARI_H_
