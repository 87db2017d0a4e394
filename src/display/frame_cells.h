// The frame as the player sees it, cell by cell: every Draw of a grid also lays its cells over this record,
// which starts afresh with each new frame. Tests read it, and scripted runs write it out as text (the
// "cells" command) for bug reports and checks that need no pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dusk {

struct frame_cells {
  int width = 0;   // the screen's size in cells
  int height = 0;
  int frame = -1;  // the FramesPresented count the drawing belongs to
  // Per cell, row by row: the glyph on top and its colours; 255 where nothing was painted.
  std::vector<uint8_t> glyph;
  std::vector<uint8_t> fg;
  std::vector<uint8_t> bg;
};

// The cells of the frame drawn last (the one on screen once it is presented).
const frame_cells& FrameCells();
// Draw's record of one cell drawn at screen cell (x, y); colours 255 and the transparent one paint nothing.
void RecordDrawnCell(int x, int y, uint8_t glyph, uint8_t fg, uint8_t bg, int transparent);
void ResetFrameCells();

// The cells as text: the first lines are the glyphs of each screen row, top to bottom, as UTF-8 pictures of
// code page 437 (blank glyphs 0 and 255 as spaces); then a line "foreground" and a line per row of the
// foreground colours as two hexadecimal digits each, separated by spaces ("--" where nothing was painted);
// then "background" and the background colours the same way.
std::string FrameCellsText(const frame_cells& cells);

}  // namespace dusk
