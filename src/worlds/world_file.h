// World files: the small text file beside a world's level sources that gives its name, unlock flag, how
// each kind is drawn and the order of its levels (worlds/FORMAT.md), and the world text the compiler reads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "worlds/level_source.h"

namespace dusk {

// One entry of a world's appearance table.
struct world_look {
  uint8_t kind = 0;
  uint8_t glyph = 0;
  uint8_t fg = 0;
  uint8_t bg = 0;
  int line = 0;  // where the world file gives it; 0 for a look made from the others
};

struct world_file {
  std::string file;
  std::string name;
  int unlock = 1;  // 1: winning the last level opens the next world
  // The kinds the world is about, in the order written: the level report checks that its levels need them.
  // The game never sees them.
  std::vector<uint8_t> featured;
  std::vector<world_look> looks;  // as given, then the state looks the world left out (AddStateLooks)
  std::vector<std::string> levels;  // level source files, relative to the world file's folder, in order
  std::vector<int> levellines;      // the line of each, for messages
};

// Adds the looks of piece and object states (movers' and turners' headings, gate countdowns, teleporter
// roles, pair and key colours) that the world doesn't give, made from the looks of their kinds, for every
// kind the world gives a look.
void AddStateLooks(std::vector<world_look>& looks);

// The name a kind has in the looks and featured lists ("one-way up", "turner"), or none for a kind
// without a name. The looks of states have names too (world_looks.h), but are no kinds.
std::optional<std::string_view> KindName(uint8_t kind);

std::optional<world_file> ParseWorldFile(std::string_view text, const std::string& file, source_error& error);
std::optional<world_file> ReadWorldFile(const std::string& path, source_error& error);

// The world text file the world compiler reads: name, unlock flag, appearance table, then per level its
// name, move limit and high score and its level file.
struct compiled_level {
  std::string name;
  int moves = 0;
  int highscore = 0;
  std::string screenfile;  // the level file's name under "levels\"
  std::string note;        // the idea the level teaches; may be empty
};
std::string WorldText(const world_file& world, const std::vector<compiled_level>& levels);

}  // namespace dusk
