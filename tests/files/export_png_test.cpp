// Screenshots: glyph pixels in the foreground colour, the rest in the background, colour 255 transparent.
#include <gtest/gtest.h>

#include "display/display_state.h"
#include "files/export_png.h"
#include "tests/files/screen_test_util.h"

namespace dusk {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;

// Glyphs of 2 x 2 pixels; glyph 1 has only its top-left pixel set, glyph 2 its bottom row.
picture Sheet() {
  picture sheet = picture::Create(32, 32);
  std::fill(sheet.pixels.begin(), sheet.pixels.end(), kBlack);
  sheet.WritePixel(2, 0, kWhite);
  sheet.WritePixel(4, 1, kWhite);
  sheet.WritePixel(5, 1, kWhite);
  return sheet;
}

std::array<uint8_t, 768> Palette() {
  std::array<uint8_t, 768> palette{};
  for (int i = 0; i < 256; ++i) {
    palette[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    palette[static_cast<size_t>(256 + i)] = static_cast<uint8_t>(255 - i);
    palette[static_cast<size_t>(512 + i)] = static_cast<uint8_t>(i / 2);
  }
  return palette;
}

uint32_t Colour(int i) {
  return 0xFF000000u | static_cast<uint32_t>(i) << 16 | static_cast<uint32_t>(255 - i) << 8 |
         static_cast<uint32_t>(i / 2);
}

TEST(ExportPng, GlyphPixelsTakeTheForegroundTheRestTheBackground) {
  tilemap grid = tilemap::Create(3, 1);
  grid.SetTile(0, 0, 1, 5, 7, 1);
  grid.SetTile(1, 0, 2, 255, 8, 1);  // foreground 255: the glyph's own pixels stay transparent
  grid.SetTile(2, 0, 1, 6, 255, 1);  // background 255: only the glyph pixel is painted
  std::optional<picture> image = RenderScreenshot(grid, Sheet(), 2, 2, Palette());
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(image->width, 6);
  ASSERT_EQ(image->height, 2);
  const std::vector<uint32_t> expected = {
      Colour(5), Colour(7), Colour(8), Colour(8), Colour(6), 0,  //
      Colour(7), Colour(7), 0,         0,         0,         0};
  EXPECT_EQ(image->pixels, expected);
  EXPECT_FALSE(RenderScreenshot(tilemap::Create(0, 0), Sheet(), 2, 2, Palette()).has_value());
  EXPECT_FALSE(RenderScreenshot(grid, Sheet(), 0, 2, Palette()).has_value());
}

TEST(ExportPng, UsesTheDisplaysSheetPaletteAndGlyphSize) {
  testing::temp_folder folder;
  ASSERT_TRUE(SavePngFile(Sheet(), png_channels::rgba, 9, folder / "tiny_fg.png"));
  display.tilesetpath = folder / "tiny.png";
  display.glyphwidth = 2;
  display.glyphheight = 2;
  display.palette = Palette();

  tilemap grid = tilemap::Create(2, 2);
  grid.Fill(2, 9, 255, 1);
  grid.SetTile(1, 1, 1, 3, 4, 1);
  std::optional<picture> image = ExportPNG(grid, folder / "shot.png", 6);
  ASSERT_TRUE(image.has_value());
  std::optional<picture> saved = LoadPngFile(folder / "shot.png", 1000);
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->pixels, image->pixels);
  EXPECT_EQ(saved->ReadPixel(0, 1), Colour(9));
  EXPECT_EQ(saved->ReadPixel(0, 0), 0u);
  EXPECT_EQ(saved->ReadPixel(2, 2), Colour(3));
  EXPECT_EQ(saved->ReadPixel(3, 3), Colour(4));
  const std::vector<uint8_t> file = testing::ReadTestFile(folder / "shot.png");
  ASSERT_GT(file.size(), 26u);
  EXPECT_EQ(file[25], 6);  // RGBA

  display.tilesetpath = folder / "missing.png";
  EXPECT_FALSE(ExportPNG(grid, folder / "none.png", 9).has_value());
  ResetDisplay();
}

TEST(ExportPng, ForegroundSheetPath) {
  EXPECT_EQ(ForegroundSheetPath("graphics\\glyphs.png"), "graphics/glyphs_fg.png");
  EXPECT_EQ(ForegroundSheetPath("data.v2/glyphs"), "data.v2/glyphs_fg.png");
  EXPECT_EQ(ForegroundSheetPath("a.b.png"), "a.b_fg.png");
}

}  // namespace
}  // namespace dusk
