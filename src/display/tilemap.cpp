// The cell grid: creation, single cells, area operations, copying and flood fill.
#include "display/tilemap.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <utility>

namespace dusk {

namespace {

constexpr uint8_t kNoByte = static_cast<uint8_t>(kNoValue);

// Cell arguments are bytes: only the low 8 bits of an int argument count.
uint8_t Byte(int value) { return static_cast<uint8_t>(value); }

// The columns (or rows) first … first + count - 1 that lie within 0 … limit - 1, as a half-open range.
// Area operations skip outside cells one by one; looping over the inside part alone does the same work
// without walking a huge rectangle cell by cell.
std::pair<int, int> Clip(int first, int count, int limit) {
  int64_t lo = std::max<int64_t>(first, 0);
  int64_t hi = std::min<int64_t>(static_cast<int64_t>(first) + count, limit);
  if (hi <= lo) return {0, 0};
  return {static_cast<int>(lo), static_cast<int>(hi)};
}

}  // namespace

tilemap tilemap::Create(int w, int h) {
  tilemap grid;
  // A negative size would make a negative byte count; such a grid is simply empty.
  grid.tmapw = std::max(w, 0);
  grid.tmaph = std::max(h, 0);
  grid.tmap.assign(static_cast<size_t>(grid.tmapw) * static_cast<size_t>(grid.tmaph) * 3, 0);
  return grid;
}

int tilemap::GrabTile(int x, int y, uint8_t& glyph, uint8_t& fg, uint8_t& bg) const {
  if (!Inside(x, y)) return 0;
  glyph = at(0, x, y);
  fg = at(1, x, y);
  bg = at(2, x, y);
  return 0;
}

int tilemap::GrabTileInt(int x, int y, int& glyph, int& fg, int& bg) const {
  if (!Inside(x, y)) return 0;
  glyph = at(0, x, y);
  fg = at(1, x, y);
  bg = at(2, x, y);
  return 0;
}

int tilemap::SetTile(int x, int y, int glyph, int fg, int bg, int force) {
  if (!Inside(x, y)) return 0;
  const uint8_t values[3] = {Byte(glyph), Byte(fg), Byte(bg)};
  for (int plane = 0; plane < 3; ++plane) {
    if (values[plane] != kNoByte || force != 0) at(plane, x, y) = values[plane];
  }
  return 1;
}

int tilemap::SetTiles(int x, int y, int w, int h, int glyph, int fg, int bg, int force) {
  auto [x0, x1] = Clip(x, w, tmapw);
  auto [y0, y1] = Clip(y, h, tmaph);
  for (int i = x0; i < x1; ++i) {
    for (int j = y0; j < y1; ++j) SetTile(i, j, glyph, fg, bg, force);
  }
  return 0;
}

int tilemap::SetColors(int x, int y, int w, int h, int fg, int bg, int force) {
  if (Byte(fg) == kNoByte && Byte(bg) == kNoByte && force == 0) return 0;
  auto [x0, x1] = Clip(x, w, tmapw);
  auto [y0, y1] = Clip(y, h, tmaph);
  for (int i = x0; i < x1; ++i) {
    for (int j = y0; j < y1; ++j) {
      if (Byte(fg) != kNoByte || force != 0) at(1, i, j) = Byte(fg);
      if (Byte(bg) != kNoByte || force != 0) at(2, i, j) = Byte(bg);
    }
  }
  return 0;
}

int tilemap::Fill(int glyph, int fg, int bg, int force) {
  if (Byte(glyph) == kNoByte && Byte(fg) == kNoByte && Byte(bg) == kNoByte && force == 0) return 0;
  SetTiles(0, 0, tmapw, tmaph, glyph, fg, bg, force);
  return 1;
}

int tilemap::FillColor(int fg, int bg, int force) {
  if (Byte(fg) == kNoByte && Byte(bg) == kNoByte && force == 0) return 0;
  SetColors(0, 0, tmapw, tmaph, fg, bg, force);
  return 1;
}

int tilemap::Rectangle(int x, int y, int w, int h, int glyph, int fg, int bg) {
  // The far edge may lie beyond the range of int; such a cell is outside the grid anyway.
  auto set = [&](int64_t cx, int64_t cy) {
    if (cx >= 0 && cy >= 0 && cx < tmapw && cy < tmaph)
      SetTile(static_cast<int>(cx), static_cast<int>(cy), glyph, fg, bg, 0);
  };
  const int64_t right = static_cast<int64_t>(x) + w - 1;
  const int64_t bottom = static_cast<int64_t>(y) + h - 1;
  auto [x0, x1] = Clip(x, w, tmapw);
  for (int i = x0; i < x1; ++i) {
    set(i, y);
    set(i, bottom);
  }
  auto [y0, y1] = Clip(y, h, tmaph);
  for (int j = y0; j < y1; ++j) {
    set(x, j);
    set(right, j);
  }
  return 0;
}

int tilemap::InsertCharTable(int x, int y) {
  for (int i = 0; i < 256; ++i) SetTile(x + i % 16, y + i / 16, i, kNoValue, kNoValue, 0);
  return 0;
}

int tilemap::InsertColorTable(int x, int y) {
  for (int i = 0; i < 256; ++i) SetTile(x + i % 16, y + i / 16, 0, kNoValue, i, 0);
  return 0;
}

int tilemap::CopyRect(const tilemap& source, int sx, int sy, int w, int h, tilemap& dest, int dx, int dy,
                      int force) {
  if (&source == &dest) {
    // Rectangles in one grid count as apart only when one starts more than a width (or height) past the
    // other; touching or overlapping ones go through a separate grid so that no cell is read after it was
    // written.
    const int64_t across = std::abs(static_cast<int64_t>(dx) - sx);
    const int64_t down = std::abs(static_cast<int64_t>(dy) - sy);
    if (across <= w && down <= h) {
      tilemap temporary = Create(w, h);
      CopyRect(source, sx, sy, w, h, temporary, 0, 0, force);
      CopyRect(temporary, 0, 0, w, h, dest, dx, dy, force);
      return 0;
    }
  }
  // A source cell outside the source grid repeats the values read last, so the outputs live across cells.
  uint8_t glyph = 0, fg = 0, bg = 0;
  for (int i = 0; i < w; ++i) {
    for (int j = 0; j < h; ++j) {
      source.GrabTile(sx + i, sy + j, glyph, fg, bg);
      dest.SetTile(dx + i, dy + j, glyph, fg, bg, force);
    }
  }
  return 0;
}

int tilemap::InsertMapImage(const tilemap& source, int x, int y, int force) {
  CopyRect(source, 0, 0, source.tmapw, source.tmaph, *this, x, y, force);
  return 0;
}

tilemap tilemap::Copy() const {
  tilemap copy;
  copy.drawtime = drawtime;
  copy.tmapw = tmapw;
  copy.tmaph = tmaph;
  copy.tmap = tmap;
  copy.tplist = tplist;
  copy.transparentcolor = transparentcolor;
  return copy;
}

int tilemap::FloodFill(tilemap& target, int x, int y, int glyph, int fg, int bg, int diagonal, int border,
                       int force) const {
  uint8_t seed[3] = {0, 0, 0};
  GrabTile(x, y, seed[0], seed[1], seed[2]);

  // The seed is not marked: it is painted only when a matching neighbour reaches it again.
  std::vector<uint8_t> visited(static_cast<size_t>(tmapw) * static_cast<size_t>(tmaph), 0);
  std::deque<std::pair<int, int>> pending{{x, y}};
  int count = 0;
  while (!pending.empty()) {
    auto [cx, cy] = pending.front();
    pending.pop_front();
    for (int ox = -1; ox <= 1; ++ox) {
      for (int oy = -1; oy <= 1; ++oy) {
        const int steps = std::abs(ox) + std::abs(oy);
        if (steps == 0 || steps - 1 > diagonal) continue;
        const int64_t nx64 = static_cast<int64_t>(cx) + ox;
        const int64_t ny64 = static_cast<int64_t>(cy) + oy;
        if (nx64 < 0 || ny64 < 0 || nx64 >= tmapw || ny64 >= tmaph) continue;
        const int nx = static_cast<int>(nx64);
        const int ny = static_cast<int>(ny64);
        uint8_t& seen = visited[static_cast<size_t>(ny) * static_cast<size_t>(tmapw) + static_cast<size_t>(nx)];
        if (seen != 0) continue;
        // Read now: when painting into this same grid, cells painted earlier read with their new values.
        const bool match = at(0, nx, ny) == seed[0] && at(1, nx, ny) == seed[1] && at(2, nx, ny) == seed[2];
        if (border == 1) {
          target.SetTile(nx, ny, glyph, fg, bg, force);
          ++count;
        }
        if (match) {
          pending.emplace_back(nx, ny);
          target.SetTile(nx, ny, glyph, fg, bg, force);
          seen = 1;
          if (border == 0) ++count;
        }
      }
    }
  }
  return count;
}

tparticle& tilemap::AddParticle(float x, float y, float xv, float yv, int blinkrate, int life, int character,
                                int color, int bgcolor) {
  tparticle particle;
  // Half a cell on, so a whole cell position puts the particle at that cell's centre.
  particle.x = x + 0.5f;
  particle.y = y + 0.5f;
  particle.xv = xv;
  particle.yv = yv;
  particle.blinkrate = blinkrate;
  particle.life = life;
  particle.character = Byte(character);
  particle.color = Byte(color);
  particle.bgcolor = Byte(bgcolor);
  tplist.push_back(particle);
  return tplist.back();
}

int tilemap::ClearParticles() {
  tplist.clear();
  return 0;
}

std::string to_string(const tilemap& grid, bool with_colors) {
  std::string text;
  for (int y = 0; y < grid.tmaph; ++y) {
    for (int x = 0; x < grid.tmapw; ++x) {
      uint8_t glyph = grid.at(0, x, y);
      text.push_back(glyph >= 32 && glyph < 127 ? static_cast<char>(glyph) : '.');
    }
    text.push_back('\n');
  }
  if (!with_colors) return text;
  for (int plane = 1; plane <= 2; ++plane) {
    text += plane == 1 ? "fg:\n" : "bg:\n";
    for (int y = 0; y < grid.tmaph; ++y) {
      for (int x = 0; x < grid.tmapw; ++x) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", grid.at(plane, x, y));
        if (x > 0) text.push_back(' ');
        text += pair;
      }
      text.push_back('\n');
    }
  }
  return text;
}

}  // namespace dusk
