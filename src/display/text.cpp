// Writing text into grids, one character per cell, with "@" colour codes and line breaks.
#include "display/text.h"

#include "display/text_number.h"

namespace dusk {

int InsertString(tilemap& grid, int x, int y, const std::string& text, int fg, int bg, int codes, int force,
                 int breaks) {
  int cx = x;
  std::string digits;
  bool incode = false;
  int cur = fg;
  for (const char c : text) {
    const int k = static_cast<unsigned char>(c);
    if (c == kColorCode && codes != 0) {
      incode = !incode;
      if (incode) cur = fg;
    } else if (c == kLineBreak && breaks != 0) {
      cx = x;
      ++y;
    } else if (incode && codes != 0) {
      // Codes with nothing written between them run together, as the digits are only emptied on a write.
      digits += c;
      cur = TextToInt(digits) & 255;
    } else {
      digits.clear();
      if (grid.SetTile(cx, y, k, cur, bg, force) == 0) break;
      ++cx;
    }
  }
  return 0;
}

int InsertRAlignString(tilemap& grid, int x, int y, const std::string& text, int fg, int bg, int codes,
                       int force, int breaks) {
  return InsertString(grid, x - static_cast<int>(text.size()) + 1, y, text, fg, bg, codes, force, breaks);
}

}  // namespace dusk
