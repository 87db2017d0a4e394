// Level sources: the readable text form levels are authored in (worlds/FORMAT.md describes it), and what
// they turn into: the level image the game reads (glyphs and colours carrying every parameter) and the
// level itself, built through the level's own API the same way the level builder builds it from the image.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "display/tilemap.h"
#include "puzzle/level.h"

namespace dusk {

// Where a source is wrong: "file:line:column: message". Lines and columns count from 1.
struct source_error {
  std::string file;
  int line = 0;
  int column = 0;
  std::string message;
  std::string text() const;
};

// What one cell of a level source holds: its ground and at most one object or piece, with the fields
// the level gives it (teleporter send and receive keys, switch and door keys, door closed flag, gate
// phase lengths and closed flag, mover headings, turning sense).
struct source_cell {
  uint8_t ground = 0;  // kind::floor
  uint8_t thing = 0;   // kind of the object or piece, 0 for none
  uint8_t f = 0;
  uint8_t b = 0;
  uint8_t s = 0;
  friend bool operator==(const source_cell&, const source_cell&) = default;
};

// A level's note fits two rows of 20 cells.
inline constexpr size_t kMaxNoteLength = 40;

struct level_source {
  std::string file;
  std::string name;
  std::string note;  // the idea the level teaches, in one sentence; may be empty
  int moves = 0;
  std::optional<int> highscore;  // none: "auto", the solver's best score
  int depth = 0;
  std::vector<source_cell> cells;  // depth layers of 15 x 15, index z * 225 + y * 15 + x
  int stars = 0;

  const source_cell& at(int x, int y, int z) const {
    return cells[static_cast<size_t>(z * 225 + y * 15 + x)];
  }
};

// Parses a level source; none with error filled in at the first mistake.
std::optional<level_source> ParseLevelSource(std::string_view text, const std::string& file,
                                             source_error& error);
std::optional<level_source> ReadLevelSource(const std::string& path, source_error& error);

// The level image: 15 columns, 15 rows per layer, one cell per source cell through the glyph table.
tilemap LevelImage(const level_source& source);
// The level the image stands for, built directly: same scan order, pieces in scan order, teleporters sending
// to the first teleporter receiving their key, switches linked to every door of their key.
level BuildSourceLevel(const level_source& source);

}  // namespace dusk
