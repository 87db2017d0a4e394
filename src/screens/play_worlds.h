// The world and level loop that the main menu's "Play" runs: world select, level select, level play,
// scoring and unlocks.
#pragma once

#include <functional>

namespace dusk {

// Runs until the player leaves the world select.
void PlayWorlds();

// The same loop with another way of playing a level (tests play levels without their screens). play
// answers as PlayLevel does: the moves of a win, 0 when left, -1 when the level can't be built.
using level_player = std::function<int(int worldno, int levelno)>;
void PlayWorldsWith(const level_player& play);

// The loop entered straight at level l of world w, as if it had been chosen from the level select; back
// from it comes to the world select, and leaving that ends the loop as usual.
void PlayWorldsFrom(int w, int l);
void PlayWorldsWith(const level_player& play, int w, int l);

}  // namespace dusk
