// Writes the game's 256-colour palette as a 16 x 16 PNG: colour i is pixel (i mod 16, i div 16).
//
// Entries 0 to 63 are the game's own colours: the screens use them by number, and worlds colour
// their tiles from them (a player-name feature drifts world colours among exactly these 64), so
// they are one coherent dusk-toned set where every entry is distinct and usable as tile colour.
// Entries 64 to 255 are twelve 16-step ramps, one per row, for anything that wants shades.
//
// Roles of the numbered colours (the screens pick them by index):
//
//   idx  colour    role
//   ---  -------   ---------------------------------------------------------------
//     0  #ECE6F4   text on the list background 20, on title bars 36, on popup frames 28
//                  and buttons 22; hud labels and lines; popup text on black
//     3  #F4EE7C   win-screen texts on the band 48
//     4  #3F6CE0   teleport shimmer (with 25, 37, 39)
//     5  #FFC93C   high-score mark "*", perfected progress mark
//     9  #000000   transparent: never painted by grid drawing; black so that exported
//                  pictures match the cleared screen behind transparent cells
//    10  #E6D2B8   level-skip hint on the band 48
//    14  #C8FF70   popup button markers "XX" / "--" (on the black behind a popup)
//    20  #18142C   list background of every menu screen
//    21  #FFE066   stars on the band 48
//    22  #4E3878   popup button background (text 0)
//    25  #FFB8E6   teleport shimmer
//    26  #FF8E7E   lose-screen texts on the band 48
//    28  #357F82   borders and scroll marks; popup frame and title bar (text 0)
//    30  #FF6F9E   menu cursor arrow
//    32  #FF4B4B   warning figure (few moves left, negative score)
//    35  #6BE07A   beaten-best figure on the hud
//    36  #6A6AC8   title bars (text 0 on it); help, loading and name prompts; menu dots
//    37  #5CF2D6   teleport shimmer
//    39  #B48CFF   teleport shimmer
//    40  #F2883A   menu title in block glyphs; entries of the locked menu
//    44  #9EE59A   bonus world and bonus level entries
//    45  #6C6492   placeholders (hud figures, name field dots)
//    46  #D2CCEE   list entry text, name input text
//    47  #8FD6FF   headings (credits) and values (options)
//    48  #1E4E5C   win and lose band; the locked menu's band
//    53  #595380   progress mark of a locked bonus level
//    61  #A9B8F0   progress mark of an unlocked bonus level
//
// The other game colours, for world tiles (darks suit floors, mids walls, brights objects):
//
//    1 #C4BCD6 pale lilac      2 #8C8A3C olive           6 #B0523A rust
//    7 #6E3B2A umber           8 #2C2A3A charcoal       11 #3D7A3A forest green
//   12 #6FBF4A leaf green     13 #1F4A2C deep pine      15 #7A2E4A wine
//   16 #C4466A raspberry      17 #5B4636 walnut         18 #9C7A54 tan
//   19 #D8B98A sand           23 #2A2350 dusk violet    24 #3A3468 slate violet
//   27 #A33A3A brick          29 #2A6A50 deep jade      31 #E04868 crimson rose
//   33 #7A1E1E blood red      34 #FF9A4A amber          38 #2E5E9E steel blue
//   41 #C25E20 burnt orange   42 #7A3E14 rust brown     43 #FFC8A0 peach
//   49 #A05A7A mauve          50 #58C0A8 aquamarine     51 #A8F0D8 pale aqua
//   52 #3A1838 aubergine      54 #8A3A8A dark orchid    55 #C070D0 orchid
//   56 #E05AB0 magenta pink   57 #6A6458 warm grey      58 #7C7B92 grey
//   59 #A6A5BA light grey     60 #3B2A1E dark earth     62 #FFFFFF white
//   63 #101018 near black
//
// Usage: make_palette [output.png]   (default game/graphics/palette.png)

#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace dusk {
namespace {

struct rgb {
  std::uint8_t r, g, b;
};

constexpr rgb Hex(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
          static_cast<std::uint8_t>(v)};
}

// The 64 game colours. Those without a role above are chosen to fill the gaps in hue and
// lightness so level designers have darks for floors, mids for walls and brights for objects.
constexpr std::array<std::uint32_t, 64> kGameColours = {
    0xECE6F4, 0xC4BCD6, 0x8C8A3C, 0xF4EE7C, 0x3F6CE0, 0xFFC93C, 0xB0523A, 0x6E3B2A,  // 0-7
    0x2C2A3A, 0x000000, 0xE6D2B8, 0x3D7A3A, 0x6FBF4A, 0x1F4A2C, 0xC8FF70, 0x7A2E4A,  // 8-15
    0xC4466A, 0x5B4636, 0x9C7A54, 0xD8B98A, 0x18142C, 0xFFE066, 0x4E3878, 0x2A2350,  // 16-23
    0x3A3468, 0xFFB8E6, 0xFF8E7E, 0xA33A3A, 0x357F82, 0x2A6A50, 0xFF6F9E, 0xE04868,  // 24-31
    0xFF4B4B, 0x7A1E1E, 0xFF9A4A, 0x6BE07A, 0x6A6AC8, 0x5CF2D6, 0x2E5E9E, 0xB48CFF,  // 32-39
    0xF2883A, 0xC25E20, 0x7A3E14, 0xFFC8A0, 0x9EE59A, 0x6C6492, 0xD2CCEE, 0x8FD6FF,  // 40-47
    0x1E4E5C, 0xA05A7A, 0x58C0A8, 0xA8F0D8, 0x3A1838, 0x595380, 0x8A3A8A, 0xC070D0,  // 48-55
    0xE05AB0, 0x6A6458, 0x7C7B92, 0xA6A5BA, 0x3B2A1E, 0xA9B8F0, 0xFFFFFF, 0x101018,  // 56-63
};

// Hue (degrees) and saturation of the ramps in rows 4 to 15; saturation 0 is the grey ramp.
struct ramp {
  double hue, saturation;
};
constexpr std::array<ramp, 12> kRamps = {{{0, 0.0},
                                          {0, 0.75},
                                          {28, 0.8},
                                          {52, 0.8},
                                          {85, 0.65},
                                          {130, 0.6},
                                          {172, 0.6},
                                          {195, 0.7},
                                          {222, 0.7},
                                          {250, 0.6},
                                          {280, 0.6},
                                          {320, 0.65}}};

rgb FromHsl(double hue, double saturation, double lightness) {
  const double chroma = (1.0 - std::fabs(2.0 * lightness - 1.0)) * saturation;
  const double h = hue / 60.0;
  const double x = chroma * (1.0 - std::fabs(std::fmod(h, 2.0) - 1.0));
  double r = 0, g = 0, b = 0;
  if (h < 1) {
    r = chroma, g = x;
  } else if (h < 2) {
    r = x, g = chroma;
  } else if (h < 3) {
    g = chroma, b = x;
  } else if (h < 4) {
    g = x, b = chroma;
  } else if (h < 5) {
    r = x, b = chroma;
  } else {
    r = chroma, b = x;
  }
  const double m = lightness - chroma / 2.0;
  auto byte = [m](double c) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(c + m, 0.0, 1.0) * 255.0));
  };
  return {byte(r), byte(g), byte(b)};
}

std::array<rgb, 256> MakePalette() {
  std::array<rgb, 256> palette{};
  for (std::size_t i = 0; i < kGameColours.size(); ++i) palette[i] = Hex(kGameColours[i]);
  for (std::size_t row = 0; row < kRamps.size(); ++row) {
    for (int step = 0; step < 16; ++step) {
      // Lightness 0.06 to 0.94: the ends stay clear of pure black and white, which 9 and 62 hold.
      const double lightness = 0.06 + 0.88 * step / 15.0;
      palette[64 + row * 16 + static_cast<std::size_t>(step)] =
          FromHsl(kRamps[row].hue, kRamps[row].saturation, lightness);
    }
  }
  return palette;
}

// WCAG relative luminance and contrast: a quick check that each text role reads on its background.
double Luminance(rgb c) {
  auto linear = [](std::uint8_t v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

double Contrast(rgb a, rgb b) {
  double la = Luminance(a), lb = Luminance(b);
  if (la < lb) std::swap(la, lb);
  return (la + 0.05) / (lb + 0.05);
}

void ReportContrasts(const std::array<rgb, 256>& palette) {
  struct pair {
    int fg, bg;
    const char* what;
  };
  static constexpr pair kPairs[] = {
      {0, 20, "text"},         {46, 20, "entries"},       {44, 20, "bonus entries"},
      {47, 20, "headings"},    {30, 20, "cursor"},        {5, 20, "high-score mark"},
      {36, 20, "help text"},   {0, 36, "title bar text"}, {28, 20, "scroll marks"},
      {0, 28, "popup title"},  {0, 22, "button text"},    {14, 9, "button markers"},
      {3, 48, "win text"},     {26, 48, "lose text"},     {10, 48, "skip hint"},
      {21, 48, "band stars"},  {32, 20, "warning"},       {35, 20, "beaten best"},
      {45, 20, "placeholders"}, {40, 20, "menu title"},   {61, 20, "unlocked mark"},
      {53, 20, "locked mark"},
  };
  for (const pair& p : kPairs) {
    const double ratio =
        Contrast(palette[static_cast<std::size_t>(p.fg)], palette[static_cast<std::size_t>(p.bg)]);
    std::printf("%3d on %3d  %5.2f:1  %s\n", p.fg, p.bg, ratio, p.what);
  }
}

// The closest pairs among the game colours, so that no two of them look alike by accident.
void ReportClosestPairs(const std::array<rgb, 256>& palette) {
  struct pair {
    double distance;
    int a, b;
  };
  std::vector<pair> pairs;
  for (int a = 0; a < 64; ++a) {
    for (int b = a + 1; b < 64; ++b) {
      const rgb ca = palette[static_cast<std::size_t>(a)], cb = palette[static_cast<std::size_t>(b)];
      const double mean_red = (ca.r + cb.r) / 2.0;
      const double dr = ca.r - cb.r, dg = ca.g - cb.g, db = ca.b - cb.b;
      // Weighted Euclidean distance ("redmean"), a cheap stand-in for perceived difference.
      const double d = std::sqrt((2 + mean_red / 256) * dr * dr + 4 * dg * dg + (2 + (255 - mean_red) / 256) * db * db);
      pairs.push_back({d, a, b});
    }
  }
  std::sort(pairs.begin(), pairs.end(), [](const pair& x, const pair& y) { return x.distance < y.distance; });
  std::printf("closest game colours:");
  for (std::size_t i = 0; i < 8; ++i) std::printf(" %d/%d:%.0f", pairs[i].a, pairs[i].b, pairs[i].distance);
  std::printf("\n");
}

bool WritePalette(const std::string& path, const std::array<rgb, 256>& palette) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = 16;
  image.height = 16;
  image.format = PNG_FORMAT_RGB;
  std::array<std::uint8_t, 256 * 3> pixels{};
  for (std::size_t i = 0; i < 256; ++i) {
    pixels[i * 3] = palette[i].r;
    pixels[i * 3 + 1] = palette[i].g;
    pixels[i * 3 + 2] = palette[i].b;
  }
  const int ok = png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 16 * 3, nullptr);
  if (!ok) std::fprintf(stderr, "make_palette: %s: %s\n", path.c_str(), image.message);
  return ok != 0;
}

}  // namespace
}  // namespace dusk

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : "game/graphics/palette.png";
  const auto palette = dusk::MakePalette();
  if (!dusk::WritePalette(path, palette)) return 1;
  dusk::ReportContrasts(palette);
  dusk::ReportClosestPairs(palette);
  std::printf("wrote %s\n", path.c_str());
  return 0;
}
