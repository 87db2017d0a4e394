// Fullscreen changes only how large the cells are drawn and where: the screens draw as before.
#include "display/fullscreen.h"

#include <algorithm>

#include "display/display_state.h"
#include "platform/window.h"

namespace dusk {

namespace {

constexpr int kBorderColor = 20;

}  // namespace

void ApplyWindowMode() {
  if (!display.fullscreen) return;
  display.windowedscale = display.displayscale;
  if (!SetFullscreen(true)) {
    display.fullscreen = false;
    return;
  }
  int width = 0;
  int height = 0;
  const int framew = display.displaywidth * display.glyphwidth;
  const int frameh = display.displayheight * display.glyphheight;
  if (!WindowPixelSize(width, height) || framew <= 0 || frameh <= 0) return;
  const int scale = std::max(1, std::min(width / framew, height / frameh));
  // Around the screen, the colour the menus and lists are drawn on.
  SetBorderColor(display.palette[kBorderColor], display.palette[kPaletteColors + kBorderColor],
                 display.palette[2 * kPaletteColors + kBorderColor]);
  display.displayscale = scale;
  SetFrameArea(std::max(0, (width - framew * scale) / 2), std::max(0, (height - frameh * scale) / 2),
               framew * scale, frameh * scale);
}

void ToggleFullscreen() {
  if (!WindowIsOpen()) return;
  if (!display.fullscreen) {
    display.fullscreen = true;
    ApplyWindowMode();
    return;
  }
  display.fullscreen = false;
  SetFullscreen(false);
  display.displayscale = display.windowedscale;
  SetFrameArea(0, 0, 0, 0);
}

}  // namespace dusk
