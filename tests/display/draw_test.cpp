// Drawing grids: cells to glyphs and rectangles, views, particles, and the adjusted palette colours.
#include "display/draw.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "display/display_state.h"
#include "display/tilemap.h"
#include "platform/window.h"
#include "state/settings.h"
#include "tests/display/support/display_fixture.h"
#include "tests/platform/support/temp_folder.h"

namespace dusk {
namespace {

using testing::TestPaletteColor;

constexpr int kGlyph = 4;  // test glyphs are 4 x 4 pixels: top-left 2 x 2 foreground, the rest background
constexpr uint32_t kBlack = 0;

uint32_t Rgb(int palette_index) {
  return TestPaletteColor(palette_index) & 0x00FFFFFFu;
}

class DrawTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::OpenTestDisplay(folder_.path(), 20, 10, kGlyph, kGlyph, 1); }
  void TearDown() override {
    CloseWindow();
    ResetDisplay();
    ResetSettings();
  }
  // The colours of the foreground quarter and the background part of window cell (x, y).
  static uint32_t FgPixel(const testing::frame& f, int x, int y) { return f.at(x * kGlyph, y * kGlyph); }
  static uint32_t BgPixel(const testing::frame& f, int x, int y) {
    return f.at(x * kGlyph + kGlyph - 1, y * kGlyph + kGlyph - 1);
  }
  testing::temp_folder folder_;
};

TEST_F(DrawTest, EveryCellGetsItsGlyphInBothColours) {
  tilemap grid = tilemap::Create(20, 10);
  grid.Fill(65, 1, 2, 1);
  ClearScreen();
  EXPECT_EQ(Draw(grid, 0, 0, 0, 0, -1, -1), 0);
  const testing::frame f = testing::ReadFrame();
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 20; ++x) {
      ASSERT_EQ(FgPixel(f, x, y), Rgb(1)) << x << "," << y;
      ASSERT_EQ(BgPixel(f, x, y), Rgb(2)) << x << "," << y;
    }
  }
  EXPECT_EQ(grid.drawtime, 1);
}

TEST_F(DrawTest, EqualColoursAreOneRectangleAndTransparentColoursAreNotPainted) {
  tilemap grid = tilemap::Create(5, 1);
  // Glyph 0 has no foreground pixels, so only a rectangle fills its foreground quarter.
  grid.SetTile(0, 0, 0, 4, 4, 1);
  grid.SetTile(1, 0, 0, 9, 9, 1);
  grid.SetTile(2, 0, 65, 3, 9, 1);
  grid.SetTile(3, 0, 65, 9, 3, 1);
  grid.SetTile(4, 0, 65, 255, 255, 1);
  ClearScreen();
  Draw(grid, 0, 0);
  const testing::frame f = testing::ReadFrame();
  EXPECT_EQ(FgPixel(f, 0, 0), Rgb(4));
  EXPECT_EQ(BgPixel(f, 0, 0), Rgb(4));
  EXPECT_EQ(FgPixel(f, 1, 0), kBlack);
  EXPECT_EQ(BgPixel(f, 1, 0), kBlack);
  EXPECT_EQ(FgPixel(f, 2, 0), Rgb(3));
  EXPECT_EQ(BgPixel(f, 2, 0), kBlack);
  EXPECT_EQ(FgPixel(f, 3, 0), kBlack);
  EXPECT_EQ(BgPixel(f, 3, 0), Rgb(3));
  EXPECT_EQ(FgPixel(f, 4, 0), kBlack);
  EXPECT_EQ(BgPixel(f, 4, 0), kBlack);

  // Another transparent colour makes 9 an ordinary one.
  grid.transparentcolor = 3;
  ClearScreen();
  Draw(grid, 0, 0);
  const testing::frame g = testing::ReadFrame();
  EXPECT_EQ(BgPixel(g, 1, 0), Rgb(9));
  EXPECT_EQ(FgPixel(g, 2, 0), kBlack);
}

TEST_F(DrawTest, ViewsArePushedBackInsideTheGrid) {
  tilemap grid = tilemap::Create(60, 3);
  for (int x = 0; x < 60; ++x) grid.SetTiles(x, 0, 1, 3, 0, x, x, 1);
  const struct {
    int vx, vy, vw, vh;
    int first_column;
    int columns;
  } cases[] = {
      {50, 0, 20, -1, 40, 20},  // pushed back to end at column 59
      {-5, 0, 20, -1, 0, 20},
      {10, 0, 99, -1, 0, 60},  // wider than the grid: the whole width
      {7, 2, 5, 1, 7, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.vx);
    ClearScreen();
    Draw(grid, 1, 0, c.vx, c.vy, c.vw, c.vh);
    const testing::frame f = testing::ReadFrame();
    EXPECT_EQ(BgPixel(f, 0, 0), kBlack);
    for (int i = 0; i < std::min(c.columns, 19); ++i) {
      const int column = c.first_column + i;
      ASSERT_EQ(BgPixel(f, 1 + i, 0), column == 9 ? kBlack : Rgb(column)) << i;  // 9 is transparent
    }
    if (c.columns < 19) {
      EXPECT_EQ(BgPixel(f, 1 + c.columns, 0), kBlack);
    }
  }
}

TEST_F(DrawTest, ViewIsDrawnAtTheWindowCellAndScale) {
  CloseWindow();
  testing::OpenTestDisplay(folder_.path(), 20, 10, kGlyph, kGlyph, 2);
  tilemap grid = tilemap::Create(2, 2);
  grid.Fill(65, 5, 6, 1);
  ClearScreen();
  Draw(grid, 3, 1);
  const testing::frame f = testing::ReadFrame();
  const int cell = kGlyph * 2;
  EXPECT_EQ(f.at(3 * cell - 1, cell), kBlack);
  EXPECT_EQ(f.at(3 * cell, cell), Rgb(5));
  EXPECT_EQ(f.at(3 * cell + 3, cell + 3), Rgb(5));
  EXPECT_EQ(f.at(3 * cell + 4, cell + 4), Rgb(6));
  EXPECT_EQ(f.at(5 * cell - 1, 3 * cell - 1), Rgb(6));
  EXPECT_EQ(f.at(5 * cell, 3 * cell - 1), kBlack);
}

TEST_F(DrawTest, ParticleMovesAcrossItsLifeAndIsThenRemoved) {
  tilemap grid = tilemap::Create(10, 10);
  grid.Fill(0, 1, 1, 1);
  const tilemap before = grid.Copy();
  grid.AddParticle(3, 4, 1.0f / 12, 0, 0, 24, 255, 7, 7);
  std::vector<int> columns;
  for (int draw = 0; draw < 24; ++draw) {
    ASSERT_EQ(grid.tplist.size(), 1u) << draw;
    ClearScreen();
    Draw(grid, 0, 0);
    const testing::frame f = testing::ReadFrame();
    int shown = -1;
    for (int x = 0; x < 10; ++x) {
      if (BgPixel(f, x, 4) == Rgb(7)) shown = x;
    }
    columns.push_back(shown);
  }
  EXPECT_TRUE(grid.tplist.empty());
  EXPECT_EQ(columns.front(), 3);
  EXPECT_EQ(columns.back(), 5);
  EXPECT_TRUE(std::is_sorted(columns.begin(), columns.end()));
  // Twelfths add up in single precision, so the step onto a new cell may come a draw late.
  EXPECT_NEAR(static_cast<double>(std::count(columns.begin(), columns.end(), 4)), 12.0, 1.0);
  EXPECT_EQ(grid.tmap, before.tmap) << "drawing must not change the grid";
}

TEST_F(DrawTest, ParticleBlinksByTheGridsDrawCount) {
  tilemap grid = tilemap::Create(4, 4);
  grid.Fill(0, 1, 1, 1);
  grid.AddParticle(1, 1, 0, 0, 6, -1, 255, 7, 7);
  std::string seen;
  for (int draw = 0; draw < 13; ++draw) {
    ClearScreen();
    Draw(grid, 0, 0);
    seen += BgPixel(testing::ReadFrame(), 1, 1) == Rgb(7) ? 'o' : '.';
  }
  EXPECT_EQ(seen, "ooo...ooo...o");
  EXPECT_EQ(grid.tplist.front().life, -1);
}

TEST_F(DrawTest, ParticleLivesOnlyWhileDrawnInsideTheView) {
  tilemap grid = tilemap::Create(10, 10);
  tparticle& outside = grid.AddParticle(8, 8, 1, 0, 0, 3, 65, 2, 3);
  tparticle& forever = grid.AddParticle(0, 0, 0, 0, 0, 0, 65, 2, 3);
  for (int draw = 0; draw < 5; ++draw) Draw(grid, 0, 0, 0, 0, 5, 5);
  EXPECT_FLOAT_EQ(outside.x, 8.5f);
  EXPECT_EQ(outside.life, 3);
  EXPECT_EQ(forever.life, -1);
  ASSERT_EQ(grid.tplist.size(), 2u);

  // A later particle on the same cell wins; 255 leaves the layer below.
  grid.ClearParticles();
  grid.Fill(65, 1, 2, 1);
  grid.AddParticle(2, 2, 0, 0, 0, 5, 255, 5, 255);
  grid.AddParticle(2, 2, 0, 0, 0, 5, 255, 255, 6);
  ClearScreen();
  Draw(grid, 0, 0);
  const testing::frame f = testing::ReadFrame();
  EXPECT_EQ(FgPixel(f, 2, 2), Rgb(5));
  EXPECT_EQ(BgPixel(f, 2, 2), Rgb(6));
  EXPECT_EQ(grid.ClearParticles(), 0);
  EXPECT_TRUE(grid.tplist.empty());
}

TEST(ColorAdjustment, ContrastAndBrightness) {
  const struct {
    int component, contrast, brightness, expected;
  } cases[] = {
      {100, 18, 0, 96},  {0, 18, 0, 0},       {255, 18, 0, 255},  {100, 18, 18, 114},
      {0, -126, 0, 126}, {255, -126, 0, 129}, {128, 126, 0, 128}, {127, 126, 0, 126},
      {200, 36, 0, 220}, {50, 0, -126, 0},    {250, 0, 18, 255},  {60, -54, 0, 88},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AdjustedComponent(c.component, c.contrast, c.brightness), c.expected)
        << c.component << " contrast " << c.contrast << " brightness " << c.brightness;
  }
}

TEST_F(DrawTest, PaletteColoursPassThroughContrastAndBrightness) {
  display.palette[12] = 100;
  display.palette[256 + 12] = 0;
  display.palette[512 + 12] = 255;
  settings.contrast = 18;
  settings.brightness = 18;
  tilemap grid = tilemap::Create(1, 1);
  grid.Fill(0, 12, 12, 1);
  ClearScreen();
  Draw(grid, 0, 0);
  // Red 100 → 96 → 114; green 0 → -18 → 0 (clamped only after the brightness); blue 255 → 290 → 255.
  EXPECT_EQ(testing::ReadFrame().at(0, 0), 0x7200FFu);
}

}  // namespace
}  // namespace dusk
