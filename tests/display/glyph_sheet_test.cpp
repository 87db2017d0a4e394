// The committed look: glyph sheets that compose cleanly and join across cells, and a usable palette.
#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace dusk {
namespace {

const std::string kGraphics = std::string(DUSK_SOURCE_DIR) + "/game/graphics/";

struct rgba_image {
  int width = 0, height = 0;
  std::vector<std::uint8_t> pixels;  // red, green, blue, alpha
  std::array<std::uint8_t, 4> At(int x, int y) const {
    const auto at = static_cast<std::size_t>((y * width + x) * 4);
    return {pixels[at], pixels[at + 1], pixels[at + 2], pixels[at + 3]};
  }
};

rgba_image ReadPng(const std::string& path) {
  png_image in{};
  in.version = PNG_IMAGE_VERSION;
  rgba_image image;
  if (!png_image_begin_read_from_file(&in, path.c_str())) {
    ADD_FAILURE() << path << ": " << in.message;
    return image;
  }
  in.format = PNG_FORMAT_RGBA;
  image.pixels.resize(PNG_IMAGE_SIZE(in));
  if (!png_image_finish_read(&in, nullptr, image.pixels.data(), 0, nullptr)) {
    ADD_FAILURE() << path << ": " << in.message;
    return image;
  }
  image.width = static_cast<int>(in.width);
  image.height = static_cast<int>(in.height);
  return image;
}

class GlyphSheets : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    fg_ = new rgba_image(ReadPng(kGraphics + "glyphs_fg.png"));
    bg_ = new rgba_image(ReadPng(kGraphics + "glyphs_bg.png"));
  }
  static void TearDownTestSuite() {
    delete fg_;
    delete bg_;
  }
  // Whether glyph g draws its foreground at cell pixel (x, y).
  static bool Ink(int g, int x, int y) { return fg_->At((g % 16) * 16 + x, (g / 16) * 16 + y)[3] != 0; }
  static std::string Picture(int g) {
    std::string text;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) text += Ink(g, x, y) ? '#' : '.';
      text += '\n';
    }
    return text;
  }
  static int InkCount(int g) {
    int n = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) n += Ink(g, x, y);
    return n;
  }
  static inline rgba_image* fg_ = nullptr;
  static inline rgba_image* bg_ = nullptr;
};

TEST_F(GlyphSheets, AreSixteenBySixteenCellsThatForegroundAndBackgroundSplitExactly) {
  ASSERT_EQ(fg_->width, 256);
  ASSERT_EQ(fg_->height, 256);
  ASSERT_EQ(bg_->width, 256);
  ASSERT_EQ(bg_->height, 256);
  using pixel = std::array<std::uint8_t, 4>;
  const pixel white{255, 255, 255, 255}, clear{0, 0, 0, 0};
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) {
      // Opaque white or transparent black only: alpha-reading and black-mask loaders then agree,
      // and exported pictures recognise the glyph's pixels as exactly white.
      const pixel f = fg_->At(x, y), b = bg_->At(x, y);
      ASSERT_TRUE(f == white || f == clear) << "fg pixel " << x << "," << y;
      ASSERT_TRUE(b == white || b == clear) << "bg pixel " << x << "," << y;
      ASSERT_NE(f == white, b == white) << "pixel " << x << "," << y << " of glyph " << (y / 16) * 16 + x / 16;
    }
  }
}

TEST_F(GlyphSheets, BlankBlockAndHalfBlockGlyphsFillWhatTheScreensExpect) {
  for (int blank : {0, 32, 255}) EXPECT_EQ(InkCount(blank), 0) << "glyph " << blank << "\n" << Picture(blank);
  EXPECT_EQ(InkCount(219), 256) << Picture(219);
  for (int x = 0; x < 16; ++x) {
    for (int y = 0; y < 16; ++y) {
      EXPECT_EQ(Ink(220, x, y), y >= 8);
      EXPECT_EQ(Ink(221, x, y), x < 8);
      EXPECT_EQ(Ink(222, x, y), x >= 8);
      EXPECT_EQ(Ink(223, x, y), y < 8);
    }
  }
  // Shades: a quarter, a half and three quarters, each repeating within the cell so that they tile.
  const int shade_ink[] = {64, 128, 192};
  for (int shade = 176; shade <= 178; ++shade) {
    EXPECT_EQ(InkCount(shade), shade_ink[shade - 176]) << Picture(shade);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(Ink(shade, x, y), Ink(shade, (x + 8) % 16, y)) << Picture(shade);
        EXPECT_EQ(Ink(shade, x, y), Ink(shade, x, (y + 8) % 16)) << Picture(shade);
      }
    }
  }
  // Every other glyph in the printable ranges draws something.
  for (int g = 1; g < 255; ++g) {
    if (g != 32) {
      EXPECT_GT(InkCount(g), 0) << "glyph " << g;
    }
  }
}

// Arms (up, down, left, right) of the box-drawing glyphs 179 to 218: 0 none, 1 single, 2 double.
constexpr int kBoxArms[40][4] = {
    {1, 1, 0, 0}, {1, 1, 1, 0}, {1, 1, 2, 0}, {2, 2, 1, 0}, {0, 2, 1, 0}, {0, 1, 2, 0}, {2, 2, 2, 0}, {2, 2, 0, 0},
    {0, 2, 2, 0}, {2, 0, 2, 0}, {2, 0, 1, 0}, {1, 0, 2, 0}, {0, 1, 1, 0}, {1, 0, 0, 1}, {1, 0, 1, 1}, {0, 1, 1, 1},
    {1, 1, 0, 1}, {0, 0, 1, 1}, {1, 1, 1, 1}, {1, 1, 0, 2}, {2, 2, 0, 1}, {2, 0, 0, 2}, {0, 2, 0, 2}, {2, 0, 2, 2},
    {0, 2, 2, 2}, {2, 2, 0, 2}, {0, 0, 2, 2}, {2, 2, 2, 2}, {1, 0, 2, 2}, {2, 0, 1, 1}, {0, 1, 2, 2}, {0, 2, 1, 1},
    {2, 0, 0, 1}, {1, 0, 0, 2}, {0, 1, 0, 2}, {0, 2, 0, 1}, {2, 2, 1, 1}, {1, 1, 2, 2}, {1, 0, 1, 0}, {0, 1, 0, 1},
};

TEST_F(GlyphSheets, BoxDrawingArmsMeetTheirNeighboursAtTheSamePixels) {
  // Each weight crosses the cell edge at fixed positions, so any two glyphs whose arms face each
  // other join without a step: none, single (7 and 8), double (5, 6 and 9, 10).
  auto edge = [](int weight) {
    std::string pattern(16, '.');
    if (weight == 1) pattern[7] = pattern[8] = '#';
    if (weight == 2) pattern[5] = pattern[6] = pattern[9] = pattern[10] = '#';
    return pattern;
  };
  for (int i = 0; i < 40; ++i) {
    const int g = 179 + i;
    std::string up, down, left, right;
    for (int k = 0; k < 16; ++k) {
      up += Ink(g, k, 0) ? '#' : '.';
      down += Ink(g, k, 15) ? '#' : '.';
      left += Ink(g, 0, k) ? '#' : '.';
      right += Ink(g, 15, k) ? '#' : '.';
    }
    EXPECT_EQ(up, edge(kBoxArms[i][0])) << "glyph " << g << "\n" << Picture(g);
    EXPECT_EQ(down, edge(kBoxArms[i][1])) << "glyph " << g << "\n" << Picture(g);
    EXPECT_EQ(left, edge(kBoxArms[i][2])) << "glyph " << g << "\n" << Picture(g);
    EXPECT_EQ(right, edge(kBoxArms[i][3])) << "glyph " << g << "\n" << Picture(g);
  }
}

double Luminance(const std::array<std::uint8_t, 4>& c) {
  auto linear = [](std::uint8_t v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(c[0]) + 0.7152 * linear(c[1]) + 0.0722 * linear(c[2]);
}

TEST(Palette, HoldsSixtyFourDistinctGameColoursWhoseTextRolesReadOnTheirBackgrounds) {
  const rgba_image palette = ReadPng(kGraphics + "palette.png");
  ASSERT_EQ(palette.width, 16);
  ASSERT_EQ(palette.height, 16);
  auto colour = [&](int i) { return palette.At(i % 16, i / 16); };
  for (int a = 0; a < 64; ++a)
    for (int b = a + 1; b < 64; ++b) EXPECT_NE(colour(a), colour(b)) << "colours " << a << " and " << b;
  // Text colour on background colour, as the screens pair them; 9 is the black behind a popup.
  const int pairs[][2] = {{0, 20},  {46, 20}, {44, 20}, {47, 20}, {30, 20}, {5, 20},  {36, 20}, {0, 36},
                          {28, 20}, {0, 28},  {0, 22},  {14, 9},  {3, 48},  {26, 48}, {10, 48}, {21, 48},
                          {32, 20}, {35, 20}, {40, 20}, {61, 20}};
  for (const auto& p : pairs) {
    double light = Luminance(colour(p[0])), dark = Luminance(colour(p[1]));
    if (light < dark) std::swap(light, dark);
    EXPECT_GE((light + 0.05) / (dark + 0.05), 3.0) << "colour " << p[0] << " on " << p[1];
  }
}

}  // namespace
}  // namespace dusk
