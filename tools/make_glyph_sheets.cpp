// Makes the game's glyph sheets from GNU Unifont, and previews them with the palette.
//
//   make_glyph_sheets [unifont.hex] [output base]
//       Writes <base>_fg.png and <base>_bg.png (defaults: /usr/share/unifont/unifont.hex and
//       game/graphics/glyphs): the 256 glyphs of the PC code page 437 in 16 x 16 cells, 16 to a
//       row, white on transparent black. "_fg" holds the glyph's pixels, "_bg" the rest of the cell,
//       so that the two tinted and laid over each other make one cell.
//   make_glyph_sheets --preview <graphics dir> <output dir>
//       Reads glyphs_fg.png, glyphs_bg.png and palette.png from the graphics directory and writes
//       preview_glyphs.png, preview_palette.png and preview_screens.png, composed the way the game
//       composes cells.
//
// Unifont's 8 x 16 glyphs are doubled in width. Small symbols (at most 8 rows high) are doubled in
// height as well so they keep their shape. Box drawing, blocks, shades and a few round shapes are
// drawn here at 16 x 16 instead, so that lines meet across cells and circles stay round.

#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace dusk {
namespace {

constexpr int kCell = 16;
constexpr int kSheet = kCell * 16;

// One glyph: 16 rows of 16 pixels, bit 15 the leftmost.
using glyph = std::array<std::uint16_t, kCell>;

// The Unicode character shown by each code page 437 glyph. 0, 32 and 255 are blank.
constexpr std::array<char32_t, 256> kCodePage437 = {
    0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9, 0x2642,
    0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC, 0x0020, 0x0021, 0x0022, 0x0023,
    0x0024, 0x0025, 0x0026, 0x0027, 0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F,
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B,
    0x003C, 0x003D, 0x003E, 0x003F, 0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047,
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F, 0x0050, 0x0051, 0x0052, 0x0053,
    0x0054, 0x0055, 0x0056, 0x0057, 0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F,
    0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067, 0x0068, 0x0069, 0x006A, 0x006B,
    0x006C, 0x006D, 0x006E, 0x006F, 0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077,
    0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x2302, 0x00C7, 0x00FC, 0x00E9, 0x00E2,
    0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2,
    0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566,
    0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0,
    0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A,
    0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// ---- Unifont ----------------------------------------------------------------------------------

struct font_glyph {
  int width = 0;  // 8 or 16
  glyph rows{};   // left-aligned: an 8-wide glyph uses bits 15 to 8
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads the characters the code page needs from a Unifont .hex file ("CODE:BITMAP" lines).
bool ReadUnifont(const std::string& path, std::map<char32_t, font_glyph>& out) {
  std::ifstream in(path);
  if (!in) return false;
  std::vector<bool> wanted(0x10000, false);
  for (char32_t c : kCodePage437) wanted[c] = true;
  std::string line;
  while (std::getline(in, line)) {
    const auto colon = line.find(':');
    if (colon == std::string::npos || colon > 6) continue;
    const unsigned long code = std::stoul(line.substr(0, colon), nullptr, 16);
    if (code >= wanted.size() || !wanted[code]) continue;
    const std::string bits = line.substr(colon + 1);
    const std::size_t digits_per_row = bits.size() / kCell;
    if (digits_per_row != 2 && digits_per_row != 4) continue;
    font_glyph g;
    g.width = static_cast<int>(digits_per_row * 4);
    for (int row = 0; row < kCell; ++row) {
      unsigned value = 0;
      for (std::size_t d = 0; d < digits_per_row; ++d) {
        const int digit = HexDigit(bits[static_cast<std::size_t>(row) * digits_per_row + d]);
        if (digit < 0) return false;
        value = value * 16 + static_cast<unsigned>(digit);
      }
      g.rows[static_cast<std::size_t>(row)] =
          static_cast<std::uint16_t>(digits_per_row == 2 ? value << 8 : value);
    }
    out[static_cast<char32_t>(code)] = g;
  }
  return true;
}

bool FontPixel(const font_glyph& g, int x, int y) {
  return (g.rows[static_cast<std::size_t>(y)] >> (15 - x)) & 1;
}

void Set(glyph& g, int x, int y) {
  if (x >= 0 && x < kCell && y >= 0 && y < kCell)
    g[static_cast<std::size_t>(y)] = static_cast<std::uint16_t>(g[static_cast<std::size_t>(y)] | (0x8000 >> x));
}

bool Get(const glyph& g, int x, int y) { return (g[static_cast<std::size_t>(y)] >> (15 - x)) & 1; }

void FillRect(glyph& g, int x0, int y0, int x1, int y1) {  // [x0, x1) x [y0, y1)
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) Set(g, x, y);
}

// Fits a font glyph into a 16 x 16 cell: 16-wide glyphs as they are, 8-wide glyphs doubled in width,
// and small symbols doubled in height too, centred on the cell's middle rows.
glyph FromFont(const font_glyph& f, bool symbol) {
  glyph g{};
  if (f.width == 16) return f.rows;
  int top = kCell, bottom = -1;
  for (int y = 0; y < kCell; ++y)
    if (f.rows[static_cast<std::size_t>(y)]) top = std::min(top, y), bottom = std::max(bottom, y);
  const int height = bottom - top + 1;
  const bool tall = symbol && bottom >= 0 && height * 2 <= kCell;
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < 8; ++x) {
      if (!FontPixel(f, x, y)) continue;
      if (tall) {
        const int ty = (kCell - 2 * height) / 2 + 2 * (y - top);
        FillRect(g, 2 * x, ty, 2 * x + 2, ty + 2);
      } else {
        FillRect(g, 2 * x, y, 2 * x + 2, y + 1);
      }
    }
  }
  return g;
}

// ---- Glyphs drawn here -------------------------------------------------------------------------

// Line weights of the four arms of a box-drawing glyph: 0 none, 1 single, 2 double.
struct arms {
  int up, down, left, right;
};

constexpr arms kBoxArms[] = {
    {1, 1, 0, 0}, {1, 1, 1, 0}, {1, 1, 2, 0}, {2, 2, 1, 0}, {0, 2, 1, 0}, {0, 1, 2, 0},  // 179-184
    {2, 2, 2, 0}, {2, 2, 0, 0}, {0, 2, 2, 0}, {2, 0, 2, 0}, {2, 0, 1, 0}, {1, 0, 2, 0},  // 185-190
    {0, 1, 1, 0}, {1, 0, 0, 1}, {1, 0, 1, 1}, {0, 1, 1, 1}, {1, 1, 0, 1}, {0, 0, 1, 1},  // 191-196
    {1, 1, 1, 1}, {1, 1, 0, 2}, {2, 2, 0, 1}, {2, 0, 0, 2}, {0, 2, 0, 2}, {2, 0, 2, 2},  // 197-202
    {0, 2, 2, 2}, {2, 2, 0, 2}, {0, 0, 2, 2}, {2, 2, 2, 2}, {1, 0, 2, 2}, {2, 0, 1, 1},  // 203-208
    {0, 1, 2, 2}, {0, 2, 1, 1}, {2, 0, 0, 1}, {1, 0, 0, 2}, {0, 1, 0, 2}, {0, 2, 0, 1},  // 209-214
    {2, 2, 1, 1}, {1, 1, 2, 2}, {1, 0, 1, 0}, {0, 1, 0, 1},                              // 215-218
};

// Line geometry, symmetric about the cell's centre line at 8: a single line covers [7, 9), a double
// line two rails [5, 7) and [9, 11). Every arm reaches the cell's edge at these same positions, so
// neighbouring cells join.
constexpr int kSingleLo = 7, kSingleHi = 9;
constexpr int kOuterLo = 5, kOuterHi = 11;

glyph BoxGlyph(arms a) {
  glyph g{};
  const bool double_vertical = a.up == 2 || a.down == 2;
  const bool double_horizontal = a.left == 2 || a.right == 2;
  const bool any_single = a.up == 1 || a.down == 1 || a.left == 1 || a.right == 1;

  if (!double_vertical && !double_horizontal) {
    if (a.up) FillRect(g, kSingleLo, 0, kSingleHi, kSingleHi);
    if (a.down) FillRect(g, kSingleLo, kSingleLo, kSingleHi, kCell);
    if (a.left) FillRect(g, 0, kSingleLo, kSingleHi, kSingleHi);
    if (a.right) FillRect(g, kSingleLo, kSingleLo, kCell, kSingleHi);
    return g;
  }

  if (!any_single) {
    // Double lines only: the arms as 6-pixel bands, less the 2-pixel gaps between their rails. The
    // gaps of meeting arms cut each other's rails, which leaves the inner corners open.
    glyph band{}, gap{};
    if (a.up) FillRect(band, kOuterLo, 0, kOuterHi, kOuterHi), FillRect(gap, kSingleLo, 0, kSingleHi, kSingleHi);
    if (a.down) FillRect(band, kOuterLo, kOuterLo, kOuterHi, kCell), FillRect(gap, kSingleLo, kSingleLo, kSingleHi, kCell);
    if (a.left) FillRect(band, 0, kOuterLo, kOuterHi, kOuterHi), FillRect(gap, 0, kSingleLo, kSingleHi, kSingleHi);
    if (a.right) FillRect(band, kOuterLo, kOuterLo, kCell, kOuterHi), FillRect(gap, kSingleLo, kSingleLo, kCell, kSingleHi);
    for (int y = 0; y < kCell; ++y)
      g[static_cast<std::size_t>(y)] = static_cast<std::uint16_t>(band[static_cast<std::size_t>(y)] & ~gap[static_cast<std::size_t>(y)]);
    return g;
  }

  // One axis double, the other single. Work with the double lines vertical and transpose after.
  const bool transpose = double_horizontal;
  const int lo_double = transpose ? a.left : a.up;    // arm towards the low edge of the double axis
  const int hi_double = transpose ? a.right : a.down;
  const int lo_single = transpose ? a.up : a.left;
  const int hi_single = transpose ? a.down : a.right;
  glyph v{};
  // Rails run from their edge to the far side of the single line.
  if (lo_double) FillRect(v, kOuterLo, 0, kSingleLo, kSingleHi), FillRect(v, kSingleHi, 0, kOuterHi, kSingleHi);
  if (hi_double) FillRect(v, kOuterLo, kSingleLo, kSingleLo, kCell), FillRect(v, kSingleHi, kSingleLo, kOuterHi, kCell);
  const bool rails_through = lo_double && hi_double;
  if (rails_through && lo_single && hi_single) {
    FillRect(v, 0, kSingleLo, kCell, kSingleHi);  // a crossing goes straight through both rails
  } else if (rails_through) {
    // A tee stops at the near rail.
    if (lo_single) FillRect(v, 0, kSingleLo, kOuterLo, kSingleHi);
    if (hi_single) FillRect(v, kOuterHi, kSingleLo, kCell, kSingleHi);
  } else {
    // A corner or a tee into the end of the rails runs to the far rail.
    if (lo_single) FillRect(v, 0, kSingleLo, kOuterHi, kSingleHi);
    if (hi_single) FillRect(v, kOuterLo, kSingleLo, kCell, kSingleHi);
  }
  if (!transpose) return v;
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x)
      if (Get(v, x, y)) Set(g, y, x);
  return g;
}

// Shades in 2 x 2 dots, so they tile with period 4 dots (8 pixels) and match the doubled font.
glyph ShadeGlyph(int level) {
  glyph g{};
  for (int v = 0; v < kCell / 2; ++v) {
    for (int u = 0; u < kCell / 2; ++u) {
      const bool quarter = (v % 2 == 0 && u % 4 == 0) || (v % 2 == 1 && u % 4 == 2);
      const bool half = (u + v) % 2 == 0;
      const bool on = level == 1 ? quarter : level == 2 ? half : !quarter;
      if (on) FillRect(g, 2 * u, 2 * v, 2 * u + 2, 2 * v + 2);
    }
  }
  return g;
}

// Round shapes centred on the cell: pixels whose centres lie within the radius.
bool InDisc(int x, int y, double radius) {
  const double dx = x + 0.5 - kCell / 2.0, dy = y + 0.5 - kCell / 2.0;
  return dx * dx + dy * dy <= radius * radius;
}

glyph Disc(double outer, double inner = -1.0) {
  glyph g{};
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x)
      if (InDisc(x, y, outer) && !(inner > 0 && InDisc(x, y, inner))) Set(g, x, y);
  return g;
}

glyph Inverse(const glyph& g) {
  glyph out{};
  for (int y = 0; y < kCell; ++y)
    out[static_cast<std::size_t>(y)] = static_cast<std::uint16_t>(~g[static_cast<std::size_t>(y)]);
  return out;
}

// Faces: a ring (1) or a disc (2) with eyes and a smile; on the disc they are cut out.
glyph Face(bool filled) {
  glyph features{};
  FillRect(features, 5, 5, 7, 7);
  FillRect(features, 9, 5, 11, 7);
  FillRect(features, 4, 9, 5, 10);
  FillRect(features, 11, 9, 12, 10);
  FillRect(features, 5, 10, 11, 11);
  glyph g = filled ? Disc(7.1) : Disc(7.1, 5.6);
  for (int y = 0; y < kCell; ++y) {
    const auto row = static_cast<std::size_t>(y);
    g[row] = static_cast<std::uint16_t>(filled ? g[row] & ~features[row] : g[row] | features[row]);
  }
  return g;
}

glyph Transpose(const glyph& g) {
  glyph out{};
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x)
      if (Get(g, x, y)) Set(out, y, x);
  return out;
}

glyph Diamond() {
  glyph g{};
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x)
      if (std::fabs(x + 0.5 - kCell / 2.0) + std::fabs(y + 0.5 - kCell / 2.0) <= 6.0) Set(g, x, y);
  return g;
}

// Two lobes over a point.
glyph Heart() {
  glyph g{};
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < kCell; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      const bool lobe = std::hypot(px - 4.8, py - 5.6) <= 3.4 || std::hypot(px - 11.2, py - 5.6) <= 3.4;
      const bool point = py >= 6.5 && std::fabs(px - 8.0) <= (14.2 - py) * 0.9;
      if (lobe || point) Set(g, x, y);
    }
  }
  return g;
}

// The spade is the heart turned over, on a stem; the club three lobes on the same stem.
glyph Stem(glyph g) {
  FillRect(g, 7, 10, 9, 14);
  FillRect(g, 5, 13, 11, 15);
  return g;
}

glyph Spade() {
  const glyph heart = Heart();
  glyph g{};
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x)
      if (Get(heart, x, y) && 13 - y >= 0) Set(g, x, 13 - y);
  return Stem(g);
}

glyph Club() {
  glyph g{};
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < kCell; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      if (std::hypot(px - 8.0, py - 4.5) <= 3.1 || std::hypot(px - 4.4, py - 9.0) <= 3.1 ||
          std::hypot(px - 11.6, py - 9.0) <= 3.1 || std::hypot(px - 8.0, py - 8.0) <= 2.0)
        Set(g, x, y);
    }
  }
  return Stem(g);
}

std::array<glyph, 256> MakeGlyphs(const std::map<char32_t, font_glyph>& font) {
  std::array<glyph, 256> glyphs{};
  for (int i = 0; i < 256; ++i) {
    const char32_t c = kCodePage437[static_cast<std::size_t>(i)];
    const bool symbol = (i > 0 && i < 32) || i == 127 || i == 240 || i == 247;
    if (i == 0 || i == 32 || i == 255) continue;
    const auto found = font.find(c);
    if (found != font.end()) glyphs[static_cast<std::size_t>(i)] = FromFont(found->second, symbol);
    else std::fprintf(stderr, "make_glyph_sheets: no glyph for U+%04X (glyph %d)\n", static_cast<unsigned>(c), i);
  }
  glyphs[1] = Face(false);
  glyphs[2] = Face(true);
  glyphs[3] = Heart();
  glyphs[4] = Diamond();
  glyphs[5] = Club();
  glyphs[6] = Spade();
  // The vertical arrows are the horizontal ones turned, so all four match.
  glyphs[24] = Transpose(glyphs[27]);
  glyphs[25] = Transpose(glyphs[26]);
  glyphs[18] = Transpose(glyphs[29]);
  glyphs[7] = Disc(3.6);
  glyphs[8] = Inverse(glyphs[7]);
  glyphs[9] = Disc(5.6, 3.6);
  glyphs[10] = Inverse(glyphs[9]);
  for (int level = 1; level <= 3; ++level) glyphs[static_cast<std::size_t>(175 + level)] = ShadeGlyph(level);
  for (int i = 179; i <= 218; ++i) glyphs[static_cast<std::size_t>(i)] = BoxGlyph(kBoxArms[i - 179]);
  glyph block{};
  FillRect(block, 0, 0, kCell, kCell);
  glyphs[219] = block;
  glyphs[220] = {};
  FillRect(glyphs[220], 0, kCell / 2, kCell, kCell);
  glyphs[221] = {};
  FillRect(glyphs[221], 0, 0, kCell / 2, kCell);
  glyphs[222] = {};
  FillRect(glyphs[222], kCell / 2, 0, kCell, kCell);
  glyphs[223] = {};
  FillRect(glyphs[223], 0, 0, kCell, kCell / 2);
  glyphs[249] = Disc(2.6);
  glyphs[250] = Disc(1.6);
  glyphs[254] = {};
  FillRect(glyphs[254], 4, 4, 12, 12);
  return glyphs;
}

// ---- PNG ---------------------------------------------------------------------------------------

struct image {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;  // 4 bytes a pixel
};

bool WritePng(const std::string& path, const image& img) {
  png_image out{};
  out.version = PNG_IMAGE_VERSION;
  out.width = static_cast<png_uint_32>(img.width);
  out.height = static_cast<png_uint_32>(img.height);
  out.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&out, path.c_str(), 0, img.rgba.data(), img.width * 4, nullptr)) {
    std::fprintf(stderr, "make_glyph_sheets: %s: %s\n", path.c_str(), out.message);
    return false;
  }
  return true;
}

bool ReadPng(const std::string& path, image& img) {
  png_image in{};
  in.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&in, path.c_str())) {
    std::fprintf(stderr, "make_glyph_sheets: %s: %s\n", path.c_str(), in.message);
    return false;
  }
  in.format = PNG_FORMAT_RGBA;
  img.width = static_cast<int>(in.width);
  img.height = static_cast<int>(in.height);
  img.rgba.assign(PNG_IMAGE_SIZE(in), 0);
  if (!png_image_finish_read(&in, nullptr, img.rgba.data(), 0, nullptr)) {
    std::fprintf(stderr, "make_glyph_sheets: %s: %s\n", path.c_str(), in.message);
    return false;
  }
  return true;
}

// Both sheets are white where they draw and transparent black elsewhere: the alpha decides for
// readers that honour it, and the black mask for those that don't.
image SheetImage(const std::array<glyph, 256>& glyphs, bool background) {
  image img{kSheet, kSheet, std::vector<std::uint8_t>(kSheet * kSheet * 4, 0)};
  for (int i = 0; i < 256; ++i) {
    for (int y = 0; y < kCell; ++y) {
      for (int x = 0; x < kCell; ++x) {
        if (Get(glyphs[static_cast<std::size_t>(i)], x, y) == background) continue;
        const int px = (i % 16) * kCell + x, py = (i / 16) * kCell + y;
        std::fill_n(img.rgba.begin() + (py * kSheet + px) * 4, 4, std::uint8_t{255});
      }
    }
  }
  return img;
}

// ---- Preview -----------------------------------------------------------------------------------

struct cell {
  std::uint8_t glyph = 0, fg = 0, bg = 20;
};

struct screen {
  int width, height;
  std::vector<cell> cells;
  screen(int w, int h) : width(w), height(h), cells(static_cast<std::size_t>(w * h)) {}
  void Put(int x, int y, int g, int fg, int bg) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    cells[static_cast<std::size_t>(y * width + x)] = {static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(fg),
                                                      static_cast<std::uint8_t>(bg)};
  }
  void Text(int x, int y, const std::string& text, int fg, int bg) {
    for (char c : text) Put(x++, y, static_cast<unsigned char>(c), fg, bg);
  }
  void Fill(int x0, int y0, int w, int h, int g, int fg, int bg) {
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x) Put(x, y, g, fg, bg);
  }
};

struct look {
  image fg, bg, palette;
};

// Composes cells as the game does: fg over bg, colour 9 and 255 never painted, equal colours a block.
image Render(const screen& s, const look& l, int scale) {
  const int cw = kCell * scale;
  image out{s.width * cw, s.height * cw, {}};
  out.rgba.assign(static_cast<std::size_t>(out.width * out.height * 4), 0);
  auto colour = [&](int index, int channel) {
    return l.palette.rgba[static_cast<std::size_t>(index * 4 + channel)];
  };
  auto painted = [](int index) { return index != 9 && index != 255; };
  for (int cy = 0; cy < s.height; ++cy) {
    for (int cx = 0; cx < s.width; ++cx) {
      const cell& c = s.cells[static_cast<std::size_t>(cy * s.width + cx)];
      for (int y = 0; y < cw; ++y) {
        for (int x = 0; x < cw; ++x) {
          const int sx = (c.glyph % 16) * kCell + x / scale, sy = (c.glyph / 16) * kCell + y / scale;
          const auto at = static_cast<std::size_t>((sy * kSheet + sx) * 4 + 3);
          int index = -1;
          if (c.fg == c.bg) {
            index = c.fg;
          } else if (l.fg.rgba[at] >= 128 && painted(c.fg)) {
            index = c.fg;
          } else if (l.bg.rgba[at] >= 128 && painted(c.bg)) {
            index = c.bg;
          }
          const auto o = static_cast<std::size_t>(((cy * cw + y) * out.width + cx * cw + x) * 4);
          out.rgba[o + 3] = 255;
          if (index < 0 || !painted(index)) continue;
          for (int ch = 0; ch < 3; ++ch) out.rgba[o + static_cast<std::size_t>(ch)] = colour(index, ch);
        }
      }
    }
  }
  return out;
}

std::string Hex1(int v) { return std::string(1, "0123456789ABCDEF"[v & 15]); }

screen GlyphPreview() {
  // Left: every glyph in text colour 0 on 20, cells touching so that lines must join. Right: the
  // same on alternating backgrounds, to show each cell's extent.
  screen s(36, 17);
  s.Fill(0, 0, 36, 17, 0, 0, 20);
  for (int i = 0; i < 16; ++i) {
    s.Text(1 + i, 0, Hex1(i), 45, 20);
    s.Text(19 + i, 0, Hex1(i), 45, 20);
    s.Text(0, 1 + i, Hex1(i), 45, 20);
    s.Text(18, 1 + i, Hex1(i), 45, 20);
  }
  for (int g = 0; g < 256; ++g) {
    s.Put(1 + g % 16, 1 + g / 16, g, 0, 20);
    s.Put(19 + g % 16, 1 + g / 16, g, 47, (g + g / 16) % 2 ? 22 : 48);
  }
  return s;
}

screen PalettePreview(const look& l) {
  // Each colour as a 3 x 2 swatch: a solid row, then its number in black or white.
  screen s(48, 32);
  for (int i = 0; i < 256; ++i) {
    const int x = (i % 16) * 3, y = (i / 16) * 2;
    const auto p = static_cast<std::size_t>(i * 4);
    const double luma = 0.299 * l.palette.rgba[p] + 0.587 * l.palette.rgba[p + 1] + 0.114 * l.palette.rgba[p + 2];
    s.Fill(x, y, 3, 1, 219, i, i);
    char number[4];
    std::snprintf(number, sizeof number, "%3d", i);
    s.Text(x, y + 1, number, luma > 110 ? 63 : 62, i);
  }
  return s;
}

void MenuScreen(screen& s, int ox) {
  s.Fill(ox, 0, 20, 15, 0, 0, 20);
  s.Fill(ox, 0, 20, 1, 0, 36, 36);
  s.Text(ox + 4, 0, "Level select", 0, 36);
  s.Fill(ox, 14, 20, 1, 0, 36, 36);
  s.Text(ox + 17, 14, "F1", 0, 36);
  s.Text(ox + 5, 2, "Duskmarrow", 40, 20);
  s.Put(ox, 3, 24, 28, 20);
  s.Put(ox, 11, 25, 28, 20);
  s.Put(ox, 4, 42, 5, 20);
  s.Text(ox + 2, 4, "World 0: Hollow", 44, 20);
  s.Put(ox + 1, 5, 26, 30, 20);
  s.Text(ox + 2, 5, "World 1: Dawnmere", 46, 20);
  s.Put(ox, 6, 42, 5, 20);
  s.Text(ox + 2, 6, "World 2: Ashfen", 46, 20);
  s.Text(ox + 1, 8, "Credits", 47, 20);
  s.Text(ox + 2, 9, "Music", 46, 20);
  s.Text(ox + 10, 9, "Y", 47, 20);
  s.Fill(ox, 10, 20, 4, 0, 3, 48);
  s.Text(ox, 10, "Moves:14   Score:31", 3, 48);
  s.Text(ox, 11, "Spacebar to continue", 3, 48);
  s.Text(ox + 3, 12, "No more moves!", 26, 48);
  s.Text(ox + 1, 13, "[ctrl] skips level", 10, 48);
  s.Put(ox + 19, 12, 42, 21, 48);
  s.Put(ox + 0, 12, 42, 21, 48);
}

void PlayScreen(screen& s, int ox) {
  s.Fill(ox, 0, 20, 15, 0, 0, 20);
  // Heads-up display.
  const char* labels[] = {"LEVEL", "MOVES", "SCORE", "HIGHS"};
  for (int i = 0; i < 5; ++i) s.Fill(ox, 1 + 3 * i, 5, 1, 205, 0, 20);
  for (int i = 0; i < 4; ++i) s.Text(ox, 2 + 3 * i, labels[i], 0, 20);
  s.Text(ox + 1, 3, "1-3", 0, 20);
  s.Text(ox + 1, 6, "  7", 32, 20);
  s.Text(ox + 1, 9, "000", 45, 20);
  s.Text(ox + 1, 12, " 42", 35, 20);
  // A patch of play field in some of the game colours.
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 15; ++x) s.Put(ox + 5 + x, y, 0, 8, 23);
  for (int x = 0; x < 15; ++x) s.Put(ox + 5 + x, 0, 35, 24, 52), s.Put(ox + 5 + x, 14, 35, 24, 52);
  s.Put(ox + 7, 3, 2, 21, 23);
  s.Put(ox + 8, 3, 219, 29, 23), s.Put(ox + 9, 3, 219, 29, 23);
  s.Put(ox + 12, 4, 42, 5, 23);
  s.Put(ox + 15, 6, 15, 34, 23);
  s.Put(ox + 10, 7, 9, 50, 23);
  s.Put(ox + 13, 8, 43, 39, 23);
  s.Put(ox + 8, 9, 7, 16, 23), s.Put(ox + 9, 9, 8, 16, 23);
  s.Put(ox + 11, 10, 233, 12, 23);
  s.Put(ox + 14, 11, 26, 37, 24), s.Put(ox + 16, 11, 16, 55, 23);
  s.Fill(ox + 6, 12, 4, 1, 176, 24, 23);
  s.Put(ox + 11, 12, 240, 45, 23), s.Put(ox + 12, 12, 247, 18, 17), s.Put(ox + 13, 12, 12, 30, 23);
  // Progress column.
  s.Put(ox + 19, 5, 42, 5, 20), s.Put(ox + 19, 6, 42, 61, 20), s.Put(ox + 19, 7, 42, 53, 20);
}

void PopupScreen(screen& s, int ox) {
  s.Fill(ox, 0, 20, 15, 0, 0, 9);
  // A popup-sized window, as the gadgets draw it (frame in 28 on 9, title bar 28, text 0).
  const int x0 = ox + 1, y0 = 2, w = 18, h = 8;
  s.Put(x0, y0, 214, 28, 9), s.Put(x0 + w - 1, y0, 183, 28, 9);
  s.Put(x0, y0 + h - 1, 211, 28, 9), s.Put(x0 + w - 1, y0 + h - 1, 189, 28, 9);
  for (int y = y0 + 1; y < y0 + h - 1; ++y) s.Put(x0, y, 186, 28, 9), s.Put(x0 + w - 1, y, 186, 28, 9);
  s.Fill(x0 + 1, y0, w - 2, 1, 0, 28, 28);
  for (int i = 0; i < 6; ++i) s.Put(x0 + 2 + i, y0, "Error!"[i], 0, 28);
  s.Text(x0 + 1, y0 + 1, "The level file is", 0, 9);
  s.Text(x0 + 1, y0 + 2, "damaged. Retry?", 0, 9);
  s.Text(x0 + 5, y0 + 6, "Yes", 0, 22);
  s.Text(x0 + 10, y0 + 6, "No", 0, 22);
  s.Text(x0 + 5, y0 + 7, "XX", 14, 9);
  s.Text(x0 + 10, y0 + 7, "--", 14, 9);
  // Name input and a check box.
  s.Fill(ox, 11, 20, 4, 0, 0, 20);
  s.Text(ox + 2, 11, "Input your name:", 36, 20);
  s.Text(ox + 6, 12, "Ada", 46, 20);
  s.Fill(ox + 9, 12, 5, 1, 250, 45, 20);
  s.Put(ox + 2, 13, 251, 0, 20), s.Text(ox + 4, 13, "Sound", 0, 20);
  s.Put(ox + 2, 14, 7, 36, 20), s.Put(ox + 5, 14, 249, 36, 20), s.Put(ox + 8, 14, 250, 40, 20);
}

void BoxScreen(screen& s, int ox) {
  s.Fill(ox, 0, 20, 15, 0, 0, 20);
  // Double frame with tees and a cross.
  const char* rows[] = {
      "\xC9\xCD\xCD\xCB\xCD\xCD\xBB",  // top
      "\xBA  \xBA  \xBA",
      "\xCC\xCD\xCD\xCE\xCD\xCD\xB9",
      "\xBA  \xBA  \xBA",
      "\xC8\xCD\xCD\xCA\xCD\xCD\xBC",
  };
  for (int r = 0; r < 5; ++r) s.Text(ox + 0, r, rows[r], 47, 20);
  const char* single[] = {
      "\xDA\xC4\xC4\xC2\xC4\xC4\xBF",
      "\xB3  \xB3  \xB3",
      "\xC3\xC4\xC4\xC5\xC4\xC4\xB4",
      "\xB3  \xB3  \xB3",
      "\xC0\xC4\xC4\xC1\xC4\xC4\xD9",
  };
  for (int r = 0; r < 5; ++r) s.Text(ox + 8, r, single[r], 46, 20);
  // Mixed: double horizontal with single vertical, and the reverse.
  const char* mixed_a[] = {
      "\xD5\xCD\xCD\xD1\xCD\xCD\xB8",
      "\xB3  \xB3  \xB3",
      "\xC6\xCD\xCD\xD8\xCD\xCD\xB5",
      "\xB3  \xB3  \xB3",
      "\xD4\xCD\xCD\xCF\xCD\xCD\xBE",
  };
  for (int r = 0; r < 5; ++r) s.Text(ox + 0, 5 + r, mixed_a[r], 44, 20);
  const char* mixed_b[] = {
      "\xD6\xC4\xC4\xD2\xC4\xC4\xB7",
      "\xBA  \xBA  \xBA",
      "\xC7\xC4\xC4\xD7\xC4\xC4\xB6",
      "\xBA  \xBA  \xBA",
      "\xD3\xC4\xC4\xD0\xC4\xC4\xBD",
  };
  for (int r = 0; r < 5; ++r) s.Text(ox + 8, 5 + r, mixed_b[r], 30, 20);
  // Shades and blocks tiled, and the WIN lettering on the band.
  s.Fill(ox + 16, 0, 4, 2, 176, 36, 20);
  s.Fill(ox + 16, 2, 4, 2, 177, 36, 20);
  s.Fill(ox + 16, 4, 4, 2, 178, 36, 20);
  s.Fill(ox + 16, 6, 2, 2, 219, 40, 20);
  s.Put(ox + 18, 6, 223, 40, 20), s.Put(ox + 19, 6, 220, 40, 20);
  s.Put(ox + 18, 7, 221, 40, 20), s.Put(ox + 19, 7, 222, 40, 20);
  s.Fill(ox, 10, 20, 5, 0, 3, 48);
  const char* win[] = {"# # # ### #  #", "# # #  #  ## #", "# # #  #  # ##", " # #  ### #  #"};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; win[r][c]; ++c)
      if (win[r][c] == '#') s.Put(ox + 3 + c, 10 + r, 176, 25, 48);
  s.Text(ox, 14, "Spacebar to continue", 3, 48);
}

bool Preview(const std::string& dir, const std::string& out_dir) {
  look l;
  if (!ReadPng(dir + "/glyphs_fg.png", l.fg) || !ReadPng(dir + "/glyphs_bg.png", l.bg) ||
      !ReadPng(dir + "/palette.png", l.palette))
    return false;
  if (l.fg.width != kSheet || l.fg.height != kSheet || l.bg.width != kSheet || l.bg.height != kSheet ||
      l.palette.width * l.palette.height != 256) {
    std::fprintf(stderr, "make_glyph_sheets: unexpected sheet or palette size\n");
    return false;
  }
  screen screens(80, 15);
  MenuScreen(screens, 0);
  PlayScreen(screens, 20);
  PopupScreen(screens, 40);
  BoxScreen(screens, 60);
  return WritePng(out_dir + "/preview_glyphs.png", Render(GlyphPreview(), l, 2)) &&
         WritePng(out_dir + "/preview_palette.png", Render(PalettePreview(l), l, 1)) &&
         WritePng(out_dir + "/preview_screens.png", Render(screens, l, 1)) &&
         WritePng(out_dir + "/preview_screens_x2.png", Render(screens, l, 2));
}

}  // namespace
}  // namespace dusk

int main(int argc, char** argv) {
  using namespace dusk;
  if (argc > 1 && std::string(argv[1]) == "--preview") {
    if (argc != 4) {
      std::fprintf(stderr, "usage: make_glyph_sheets --preview <graphics dir> <output dir>\n");
      return 2;
    }
    return Preview(argv[2], argv[3]) ? 0 : 1;
  }
  const std::string font_path = argc > 1 ? argv[1] : "/usr/share/unifont/unifont.hex";
  const std::string base = argc > 2 ? argv[2] : "game/graphics/glyphs";
  std::map<char32_t, font_glyph> font;
  if (!ReadUnifont(font_path, font)) {
    std::fprintf(stderr, "make_glyph_sheets: cannot read %s (Debian package unifont)\n", font_path.c_str());
    return 1;
  }
  const auto glyphs = MakeGlyphs(font);
  if (!WritePng(base + "_fg.png", SheetImage(glyphs, false)) || !WritePng(base + "_bg.png", SheetImage(glyphs, true)))
    return 1;
  std::printf("wrote %s_fg.png and %s_bg.png\n", base.c_str(), base.c_str());
  return 0;
}
