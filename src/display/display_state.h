// The display module's program-wide state: configuration settings, glyph sheets, palette and line splitter.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/window.h"

namespace dusk {

inline constexpr int kConfigArgSlots = 16;
inline constexpr int kPaletteColors = 256;

struct display_state {
  // Settings of the display configuration, with their values before a file is read.
  int displaywidth = 96;
  int displayheight = 32;
  std::string tilesetpath = "data\\image\\curses.png";
  std::string palettepath = "data\\image\\pallet.png";
  std::string windowtitle = "Duskmarrow";
  int displayscale = 1;
  uint8_t glyphwidth = 0;
  uint8_t glyphheight = 0;
  int windowwidth = 0;
  int windowheight = 0;
  int configloaded = 0;
  // Desktop fullscreen: the screen is drawn at the largest whole scale that fits, and the windowed scale
  // is kept for coming back.
  bool fullscreen = false;
  int windowedscale = 1;

  cell_sheet_ptr fgsheet;
  cell_sheet_ptr bgsheet;

  // Reds of colours 0 to 255, then greens, then blues.
  std::array<uint8_t, 3 * kPaletteColors> palette{};

  // The arguments of the last configuration line split.
  std::array<std::string, kConfigArgSlots> configargs;
  uint8_t configargcount = 0;
};

// Never destroyed: at program exit the platform layer that owns the sheets' textures may already be gone,
// so the sheets must not be released then. ResetDisplay releases them while everything is alive.
extern display_state& display;

// Back to the start state (sheets released, palette black), as the display module starts.
void ResetDisplay();

}  // namespace dusk
