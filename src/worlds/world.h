// A world: its levels' names, move limits, high scores and star counts, and how each kind is drawn.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "state/progress.h"

namespace dusk {

class stream;

struct world {
  int unlock_next_upon_normal_completion = 1;
  std::array<uint8_t, 256> tilec{};  // glyph of each kind
  std::array<uint8_t, 256> tilef{};  // foreground colour of each kind
  std::array<uint8_t, 256> tileb{};  // background colour of each kind
  // The kinds the data file gave a look: a state look the file doesn't give (worlds compiled before
  // pieces showed their state) leaves that state drawn in the plain look of its kind.
  std::bitset<256> tilegiven;
  int numlevels = 0;                 // number of the last level: the levels are 0 to numlevels
  std::array<std::string, kMaxLevels> levelname{};
  std::array<int, kMaxLevels> levelmoves{};
  std::array<int, kMaxLevels> levelhighs{};
  std::array<int, kMaxLevels> levelstars{};
  std::array<std::string, kMaxLevels> levelnote{};  // the idea each level teaches; empty when none
};

// How many stars level l of world w holds, 0 when it can't be built.
using star_counter = std::function<int(int w, int l)>;

// The stars of level l of world w, counted by building it from its level file.
int CountLevelStars(int w, int l);

// Reads the world data file of world w; none when it can't be opened or holds nothing. Sets the globals
// numworlds and worldname[w]. Levels are built once to count their stars.
std::unique_ptr<world> LoadWorld(int w);
std::unique_ptr<world> LoadWorld(int w, const star_counter& stars);
// The reading itself, from any stream. It stops quietly wherever the data ends, and after 16 levels.
std::unique_ptr<world> LoadWorldFrom(stream& in, int w, const star_counter& stars);

// Start-up: reads world 1, whose data sets numworlds, then every world below numworlds.
int LoadWorlds();

}  // namespace dusk
