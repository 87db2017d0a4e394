// The level select of one world: its unlocked levels, each with its "*" when it reached its high score, or
// its dot when it was won below it.
#pragma once

#include "ui/select_list.h"

namespace dusk {

// The replay key's label on the level select's bottom bar.
inline constexpr const char* kReplayKeyLabel = "V: Watch replay";
// What the bar says for a second when V finds no replay of the level.
inline constexpr const char* kNoReplayYet = "No replay yet";

// The list of the world's unlocked levels. Level 1 of the world is unlocked first, as entering the screen
// always makes it available.
select_screen BuildLevelList(int worldno);

// The chosen level number, or -1 for back; -1 at once when the world's record is missing or the world is
// locked.
int LevelSelect(int worldno, int cursor);

}  // namespace dusk
