// Writing text into grids, one character per cell, with "@" colour codes and line breaks.
#pragma once

#include <string>

#include "display/tilemap.h"

namespace dusk {

inline constexpr char kColorCode = '@';
inline constexpr char kLineBreak = '\xff';  // character 255

// Writes text from cell (x, y) in foreground fg on background bg. codes != 0: "@" + number + "@" switches the
// foreground, "@@" returns to fg. breaks != 0: character 255 continues at column x of the next row. force is
// passed to SetTile. Writing stops at the first cell outside the grid. Returns 0.
int InsertString(tilemap& grid, int x, int y, const std::string& text, int fg, int bg, int codes = 0,
                 int force = 0, int breaks = 0);

// The same, ending at column x: the text's last character (codes and breaks counted) lands there.
int InsertRAlignString(tilemap& grid, int x, int y, const std::string& text, int fg, int bg, int codes = 0,
                       int force = 0, int breaks = 0);

}  // namespace dusk
