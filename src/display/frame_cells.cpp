// The frame's cells as drawn, and their text form.
#include "display/frame_cells.h"

#include <algorithm>
#include <cstdio>

#include "display/code_page_437.h"
#include "display/display_state.h"
#include "platform/window.h"

namespace dusk {

namespace {

constexpr uint8_t kNothing = 255;
// The configuration names the screen's size; the record never grows past this whatever it says.
constexpr int kMostCells = 256;

frame_cells& Cells() {
  static frame_cells cells;
  return cells;
}

// Drawing after a present starts the next frame: the record starts over at the screen's present size.
frame_cells& CurrentFrame() {
  frame_cells& cells = Cells();
  const int frame = FramesPresented();
  const int width = std::clamp(display.displaywidth, 0, kMostCells);
  const int height = std::clamp(display.displayheight, 0, kMostCells);
  if (cells.frame != frame || cells.width != width || cells.height != height) {
    cells.frame = frame;
    cells.width = width;
    cells.height = height;
    const auto n = static_cast<size_t>(width) * static_cast<size_t>(height);
    cells.glyph.assign(n, kNothing);
    cells.fg.assign(n, kNothing);
    cells.bg.assign(n, kNothing);
  }
  return cells;
}

std::string ColorRows(const frame_cells& cells, const std::vector<uint8_t>& plane) {
  std::string text;
  for (int y = 0; y < cells.height; ++y) {
    for (int x = 0; x < cells.width; ++x) {
      const uint8_t c = plane[static_cast<size_t>(y * cells.width + x)];
      char hex[4];
      std::snprintf(hex, sizeof hex, "%02X", c);
      if (x > 0) text += ' ';
      text += c == kNothing ? "--" : hex;
    }
    text += '\n';
  }
  return text;
}

}  // namespace

const frame_cells& FrameCells() {
  return Cells();
}

void ResetFrameCells() {
  Cells() = frame_cells{};
}

void RecordDrawnCell(int x, int y, uint8_t glyph, uint8_t fg, uint8_t bg, int transparent) {
  frame_cells& cells = CurrentFrame();
  if (x < 0 || y < 0 || x >= cells.width || y >= cells.height) return;
  const auto i = static_cast<size_t>(y * cells.width + x);
  const bool fgpainted = fg != transparent && fg != kNothing;
  const bool bgpainted = bg != transparent && bg != kNothing;
  // As the pixels go: one colour fills the cell; else the background around the glyph, then the glyph.
  if (fg == bg) {
    if (!bgpainted) return;
    cells.glyph[i] = 0;
    cells.fg[i] = bg;
    cells.bg[i] = bg;
    return;
  }
  if (bgpainted) {
    cells.glyph[i] = glyph;
    cells.bg[i] = bg;
  }
  if (fgpainted) {
    cells.glyph[i] = glyph;
    cells.fg[i] = fg;
  }
}

std::string FrameCellsText(const frame_cells& cells) {
  std::string text;
  for (int y = 0; y < cells.height; ++y) {
    for (int x = 0; x < cells.width; ++x) text += GlyphText(cells.glyph[static_cast<size_t>(y * cells.width + x)]);
    text += '\n';
  }
  text += "foreground\n" + ColorRows(cells, cells.fg);
  text += "background\n" + ColorRows(cells, cells.bg);
  return text;
}

}  // namespace dusk
