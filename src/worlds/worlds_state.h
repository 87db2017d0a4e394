// The loaded worlds, shared by start-up, the select screens and level play for the whole run.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "state/progress.h"
#include "worlds/world.h"

namespace dusk {

struct worlds_state {
  std::array<std::unique_ptr<world>, kMaxWorlds> worlds{};  // none where a world failed to load
  int numworlds = 0;  // worlds 0 to numworlds - 1 are listed; never more than kMaxWorlds
  std::array<std::string, kMaxWorlds> worldname{};
};

extern worlds_state gameworlds;
inline void ResetWorlds() {
  gameworlds = worlds_state{};
}

}  // namespace dusk
