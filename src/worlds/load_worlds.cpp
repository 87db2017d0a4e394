// Loading the worlds at start-up, with each level built once to count its stars.
#include <optional>

#include "worlds/build_level.h"
#include "worlds/world.h"
#include "worlds/worlds_state.h"

namespace dusk {

int CountLevelStars(int w, int l) {
  const std::optional<level> built = BuildLevel(w, l);
  return built ? built->totalstars : 0;
}

std::unique_ptr<world> LoadWorld(int w) {
  return LoadWorld(w, CountLevelStars);
}

int LoadWorlds() {
  // World 1's file carries the number of worlds.
  gameworlds.worlds[1] = LoadWorld(1);
  if (gameworlds.numworlds > 1) {
    // World 1 is loaded already; reading it again would only repeat its damaged levels' messages.
    for (int n = 0; n < gameworlds.numworlds && n < kMaxWorlds; ++n) {
      if (n != 1) gameworlds.worlds[n] = LoadWorld(n);
    }
  }
  return 0;
}

}  // namespace dusk
