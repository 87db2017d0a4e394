// The world compiler: world sources under "levels\" become what the game reads under "leveldata\".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dusk {

class stream;

// Compiles every world listed in "levels\" + indexname + ".txt". Progress and errors go to log as lines
// (carriage return and line feed); with log none nothing is written anywhere. Returns 0.
int CompileWorlds(const std::string& indexname, stream* log);
// Compiles the world text file name (any extension is replaced by ".txt") as world number w. Returns 0.
int CompileWorld(const std::string& name, int w, stream* log);

// A world text file transcribed: the world data bytes after the world count, the "!" lines' names, and each
// level's note (the "&" line before its "!" line; empty when it has none).
struct world_source {
  std::vector<uint8_t> data;
  std::vector<std::string> levels;
  std::vector<std::string> notes;
};
// Reads the lines of a world text file up to "%" or its end. Pure: touches no file and no global.
world_source TranscribeWorldSource(stream& in);

// Drops the part from the last "." on, unless there is none or a path separator follows it; backslashes
// come back as forward slashes.
std::string RemoveExtension(std::string_view name);
// Removes every character with a code of 32 or less from both ends.
std::string_view TrimLine(std::string_view line);

}  // namespace dusk
