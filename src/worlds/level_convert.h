// From level sources to what the world compiler reads: every world of a sources folder is parsed, each level
// is solved to prove it can be won within its allowance (and to fill in "auto" high scores), and the level
// screen files, world text files and the index "_WORLDINDEX.txt" are written into a levels folder.
//
// A sources folder holds "worlds.txt" (the world folders in world order, world 0 being the bonus world) and
// one folder per world with its "world.txt" and its level sources (see worlds/FORMAT.md).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "display/tilemap.h"
#include "puzzle/solver.h"
#include "worlds/level_source.h"
#include "worlds/world_file.h"

namespace dusk {

struct convert_options {
  double max_seconds = 20;  // solver budget per level
  std::size_t max_states = 4'000'000;
  int threads = 1;  // levels solved at once
  // When set, solutions are kept here, one file per level, keyed by a hash of the level source, the solver
  // budget and the converting program itself, so a conversion solves again only the levels that changed.
  std::string cachefolder;
};

struct converted_level {
  std::string source;  // path of the level source
  level_source parsed;
  solve_result solution;
  int highscore = 0;
  std::string screenfile;  // file name inside the levels folder
  tilemap image;
};

struct converted_world {
  std::string folder;  // its folder name, also the stem of its output files
  world_file world;
  std::vector<converted_level> levels;
};

struct conversion {
  std::vector<converted_world> worlds;
  std::vector<std::string>
      errors;  // "file:line:column: message" lines; nothing is written while there are any
};

// The worlds a sources folder lists, in world order. An entry that can't be used carries its error
// ("file:line:column: message") and no world; the list stops at the sixteenth world.
struct listed_world {
  std::string folder;  // the world's folder name inside the sources folder
  std::string path;    // that folder's path
  std::optional<world_file> world;
  std::string error;
};
std::vector<listed_world> ListWorlds(const std::string& sourcesfolder);
// The path of a level source of a listed world.
std::string LevelSourcePath(const listed_world& world, const std::string& level);

// Reads, checks and solves everything; writes nothing.
conversion ConvertWorlds(const std::string& sourcesfolder, const convert_options& options = {});

// The files of a conversion, by name inside the levels folder, and their bytes.
struct output_file {
  std::string name;
  std::vector<uint8_t> bytes;
};
std::vector<output_file> ConversionFiles(const conversion& result);
// Writes them into the folder (made when missing), each replaced in one step. False when one can't be
// written.
[[nodiscard]] bool WriteConversion(const conversion& result, const std::string& levelsfolder);

// A solution as the cache keeps it, read back; none when the text is not one whole, well-formed entry.
std::optional<solve_result> ParseCachedSolution(std::string_view text);

// One line per level: its moves, score, states and time, and whether the score is proven best.
std::string LevelSummary(const converted_level& level);

}  // namespace dusk
