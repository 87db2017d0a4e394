// The cell grid every screen is made of: glyph, foreground and background planes, plus particles.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <vector>

namespace dusk {

// Cell value that means "no value": written with force 0 it leaves the plane unchanged.
inline constexpr int kNoValue = 255;
inline constexpr int kTransparentColor = 9;

// A moving, blinking single-cell overlay of a grid (see Draw).
struct tparticle {
  float x = 0;
  float y = 0;
  float xv = 0;
  float yv = 0;
  int blinkrate = 0;
  int life = 0;
  uint8_t character = 255;  // "char" in the screen designs
  uint8_t color = 255;
  uint8_t bgcolor = 255;
};

class tilemap {
 public:
  int drawtime = 0;
  int tmapw = 0;
  int tmaph = 0;
  std::vector<uint8_t> tmap;  // plane p, cell (x, y) at p * tmapw * tmaph + y * tmapw + x
  std::list<tparticle> tplist;
  int transparentcolor = kTransparentColor;
  std::string uscore;  // input-field cursor text: "" or "_"
  int utime = 0;
  int utoggletime = 24;

  static tilemap Create(int w, int h);

  // Plane accessors for code that knows (x, y) is inside.
  uint8_t& at(int plane, int x, int y) { return tmap[Index(plane, x, y)]; }
  uint8_t at(int plane, int x, int y) const { return tmap[Index(plane, x, y)]; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < tmapw && y < tmaph; }

  int GrabTile(int x, int y, uint8_t& glyph, uint8_t& fg, uint8_t& bg) const;
  int GrabTileInt(int x, int y, int& glyph, int& fg, int& bg) const;
  int SetTile(int x, int y, int glyph, int fg, int bg, int force);
  int SetTiles(int x, int y, int w, int h, int glyph, int fg, int bg, int force);
  int SetColors(int x, int y, int w, int h, int fg, int bg, int force);
  int Fill(int glyph, int fg, int bg, int force);
  int FillColor(int fg, int bg, int force);
  int Rectangle(int x, int y, int w, int h, int glyph, int fg, int bg);
  int InsertCharTable(int x, int y);
  int InsertColorTable(int x, int y);
  static int CopyRect(const tilemap& source, int sx, int sy, int w, int h, tilemap& dest, int dx, int dy,
                      int force);
  int InsertMapImage(const tilemap& source, int x, int y, int force);
  tilemap Copy() const;
  int FloodFill(tilemap& target, int x, int y, int glyph, int fg, int bg, int diagonal, int border,
                int force) const;

  // Particles (drawn, moved and aged by Draw).
  tparticle& AddParticle(float x, float y, float xv, float yv, int blinkrate, int life, int character,
                         int color, int bgcolor);
  int ClearParticles();

 private:
  size_t Index(int plane, int x, int y) const {
    return static_cast<size_t>(plane) * static_cast<size_t>(tmapw) * static_cast<size_t>(tmaph) +
           static_cast<size_t>(y) * static_cast<size_t>(tmapw) + static_cast<size_t>(x);
  }
};

// The grid as text, for failing assertions: one line per row, glyphs as characters (printable ASCII as itself,
// others as '.'), optionally followed by the two colour planes as hex pairs.
std::string to_string(const tilemap& grid, bool with_colors = false);

}  // namespace dusk
