// The world and level loop that the main menu's "Play" runs: world select, level select, level play,
// scoring and unlocks.
#pragma once

namespace dusk {

// Runs until the player leaves the world select.
void PlayWorlds();

}  // namespace dusk
