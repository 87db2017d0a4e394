// Drawing grids into the window: glyphs in palette colours through brightness and contrast, with particles.
#include "display/draw.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "display/display_state.h"
#include "display/frame_cells.h"
#include "platform/window.h"
#include "state/settings.h"

namespace dusk {

namespace {

constexpr int kGlyphPlane = 0;
constexpr int kForegroundPlane = 1;
constexpr int kBackgroundPlane = 2;

bool Painted(int color, int transparent) {
  return color != transparent && color != kNoValue;
}

}  // namespace

int AdjustedComponent(int component, int contrast, int brightness) {
  int c = component;
  if (contrast != 0) {
    const double k = contrast / 128.0;
    const double spread = std::abs(c - 128) * k;
    const double moved = c < 128 ? c - spread : c + spread;
    c = static_cast<int>(std::trunc(static_cast<float>(moved)));
  }
  if (brightness != 0) c += brightness;
  return std::clamp(c, 0, 255);
}

void SetAdjustedColor(int red, int green, int blue) {
  const int contrast = settings.contrast;
  const int brightness = settings.brightness;
  SetColor(AdjustedComponent(red, contrast, brightness), AdjustedComponent(green, contrast, brightness),
           AdjustedComponent(blue, contrast, brightness));
}

void SetPaletteColor(int index) {
  const auto i = static_cast<size_t>(index & 255);
  SetAdjustedColor(display.palette[i], display.palette[kPaletteColors + i],
                   display.palette[2 * kPaletteColors + i]);
}

int Draw(tilemap& grid, int sx, int sy, int vx, int vy, int vw, int vh) {
  const int scale = display.displayscale;
  const float gw = display.glyphwidth;
  const float gh = display.glyphheight;
  SetDrawScale(static_cast<float>(scale), static_cast<float>(scale));

  if (vw == -1) vw = grid.tmapw;
  if (vh == -1) vh = grid.tmaph;
  vw = std::clamp(vw, 0, grid.tmapw);
  vh = std::clamp(vh, 0, grid.tmaph);
  const float ox = static_cast<float>(sx) * gw * static_cast<float>(scale);
  const float oy = static_cast<float>(sy) * gh * static_cast<float>(scale);
  vx = std::clamp(vx, 0, grid.tmapw - vw);
  vy = std::clamp(vy, 0, grid.tmaph - vh);

  // The view is copied so that particles are laid over the copy, never the grid.
  const size_t cells = static_cast<size_t>(vw) * static_cast<size_t>(vh);
  std::vector<uint8_t> view(3 * cells);
  const auto view_at = [&](int plane, int i, int j) -> uint8_t& {
    return view[static_cast<size_t>(plane) * cells + static_cast<size_t>(j) * static_cast<size_t>(vw) +
                static_cast<size_t>(i)];
  };
  for (int plane = 0; plane < 3; ++plane) {
    for (int j = 0; j < vh; ++j) {
      for (int i = 0; i < vw; ++i) view_at(plane, i, j) = grid.at(plane, vx + i, vy + j);
    }
  }

  for (auto it = grid.tplist.begin(); it != grid.tplist.end();) {
    tparticle& p = *it;
    const bool inside = p.x >= static_cast<float>(vx) && p.y >= static_cast<float>(vy) &&
                        p.x < static_cast<float>(vx + vw) && p.y < static_cast<float>(vy + vh);
    if (!inside) {
      ++it;
      continue;
    }
    const bool shown =
        p.blinkrate == 0 ||
        (p.blinkrate > 0 && static_cast<int64_t>(grid.drawtime % p.blinkrate) * 2 < p.blinkrate);
    if (shown) {
      const int i = static_cast<int>(p.x) - vx;
      const int j = static_cast<int>(p.y) - vy;
      if (p.character != kNoValue) view_at(kGlyphPlane, i, j) = p.character;
      if (p.color != kNoValue) view_at(kForegroundPlane, i, j) = p.color;
      if (p.bgcolor != kNoValue) view_at(kBackgroundPlane, i, j) = p.bgcolor;
    }
    if (p.life >= 0) --p.life;
    p.x += p.xv;
    p.y += p.yv;
    it = p.life == 0 ? grid.tplist.erase(it) : std::next(it);
  }

  const int transparent = grid.transparentcolor;
  const float cellw = gw * static_cast<float>(scale);
  const float cellh = gh * static_cast<float>(scale);
  for (int i = 0; i < vw; ++i) {
    for (int j = 0; j < vh; ++j) {
      const int glyph = view_at(kGlyphPlane, i, j);
      const int fg = view_at(kForegroundPlane, i, j);
      const int bg = view_at(kBackgroundPlane, i, j);
      RecordDrawnCell(sx + i, sy + j, static_cast<uint8_t>(glyph), static_cast<uint8_t>(fg),
                      static_cast<uint8_t>(bg), transparent);
      const float px = static_cast<float>(i) * cellw + ox;
      const float py = static_cast<float>(j) * cellh + oy;
      if (bg == fg) {
        if (Painted(bg, transparent)) {
          SetPaletteColor(bg);
          FillRect(px, py, gw, gh);
        }
        continue;
      }
      if (Painted(bg, transparent) && display.bgsheet) {
        SetPaletteColor(bg);
        DrawCell(*display.bgsheet, px, py, glyph);
      }
      if (Painted(fg, transparent) && display.fgsheet) {
        SetPaletteColor(fg);
        DrawCell(*display.fgsheet, px, py, glyph);
      }
    }
  }

  ++grid.drawtime;
  SetDrawScale(1, 1);
  return 0;
}

}  // namespace dusk
