// Drawing grids into the window: glyphs in palette colours through brightness and contrast, with particles.
#pragma once

#include "display/tilemap.h"

namespace dusk {

// Draws the view of vw x vh cells whose top-left cell is (vx, vy) with its top-left corner at window cell
// (sx, sy); -1 for vw or vh means the grid's width or height. The view is pushed back inside the grid.
// Particles inside the view are laid over it, then moved and aged; the grid's own cells never change.
int Draw(tilemap& grid, int sx, int sy, int vx = 0, int vy = 0, int vw = -1, int vh = -1);

// The current drawing colour: palette colour index (0 to 255), through SetAdjustedColor.
void SetPaletteColor(int index);
// Applies the player's contrast and brightness and sets the drawing colour.
void SetAdjustedColor(int red, int green, int blue);
// One colour component through contrast and brightness (what SetAdjustedColor does to each).
int AdjustedComponent(int component, int contrast, int brightness);

}  // namespace dusk
