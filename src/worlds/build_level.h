// Levels are drawn, not written: a level image is a screen file whose glyphs say what stands on each cell
// and whose colours carry the parameters (keys, gate phases, how movers behave).
#pragma once

#include <optional>

#include "display/tilemap.h"
#include "puzzle/level.h"

namespace dusk {

// The level from "leveldata\world X\X-Y.slv"; none when the file can't be read (the reader reports why)
// or the image holds no playable level (see BuildLevelFromImage).
std::optional<level> BuildLevel(int worldno, int levelno);

// The level an image shows: one layer per whole 15 rows, columns 0 to 14. None for an image narrower than
// 15 columns, taller than 225 rows (15 layers) or without a player start.
std::optional<level> BuildLevelFromImage(const tilemap& image);

}  // namespace dusk
