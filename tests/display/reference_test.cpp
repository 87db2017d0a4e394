// Reference pictures: sample grids drawn headless in the game's glyphs and colours, compared pixel for pixel
// with the pictures in tests/display/reference (DUSK_UPDATE_REFERENCES=1 redraws them on purpose).
#include <gtest/gtest.h>

#include "display/display_state.h"
#include "display/draw.h"
#include "display/text.h"
#include "display/tilemap.h"
#include "platform/window.h"
#include "state/settings.h"
#include "tests/display/support/display_fixture.h"
#include "tests/platform/support/temp_folder.h"

namespace dusk {
namespace {

const std::string kReferences = std::string(DUSK_SOURCE_DIR) + "/tests/display/reference/";

// Colours of the game's palette by role.
constexpr int kText = 0;
constexpr int kListBackground = 20;
constexpr int kEntry = 46;
constexpr int kBonus = 44;
constexpr int kHeading = 47;
constexpr int kCursor = 30;
constexpr int kHighMark = 5;
constexpr int kTitleBar = 36;
constexpr int kBorder = 28;
constexpr int kWarning = 32;

class ReferencePicture : public ::testing::Test {
 protected:
  void TearDown() override {
    CloseWindow();
    ResetDisplay();
    ResetSettings();
  }
  testing::temp_folder folder_;
};

TEST_F(ReferencePicture, TextInSeveralColours) {
  ASSERT_TRUE(testing::OpenGameDisplay(DUSK_SOURCE_DIR, 1));
  ASSERT_EQ(display.windowwidth, 320);
  ASSERT_EQ(display.windowheight, 240);
  tilemap grid = tilemap::Create(20, 15);
  grid.Fill(0, kListBackground, kListBackground, 1);
  grid.SetTiles(0, 0, 20, 1, 0, kTitleBar, kTitleBar, 1);
  InsertString(grid, 1, 0, "Duskmarrow", kText, kTitleBar);
  InsertString(grid, 1, 2, "@47@Worlds@@ and @44@bonus", kEntry, kListBackground, 1);
  grid.SetTile(1, 4, 26, kCursor, kListBackground, 1);
  InsertString(grid, 3, 4, "1 Dusk Fields", kEntry, kListBackground);
  InsertString(grid, 3, 5, "0 Hidden Vault", kBonus, kListBackground);
  InsertRAlignString(grid, 18, 4, "*", kHighMark, kListBackground);
  InsertString(grid, 1, 7,
               "Moves\xff"
               "Score\xff"
               "Best",
               kHeading, kListBackground, 0, 0, 1);
  InsertRAlignString(grid, 18, 7, "12", kEntry, kListBackground);
  InsertRAlignString(grid, 18, 8, "-3", kWarning, kListBackground);
  InsertRAlignString(grid, 18, 9, "137", kEntry, kListBackground);
  InsertString(grid, 1, 11, "!\"#$%&'()*+,-./:;<=>?", kText, kListBackground);
  InsertString(grid, 0, 13, "abcdefghijklmnopqrstuvwxyz", kBorder, 9);  // cut at the edge, transparent bg
  ClearScreen();
  Draw(grid, 0, 0);
  testing::ExpectFrameMatchesReference(kReferences + "text_colours.png");
}

TEST_F(ReferencePicture, EveryGlyphOverTheColourTable) {
  ASSERT_TRUE(testing::OpenGameSheetsDisplay(folder_.path(), DUSK_SOURCE_DIR, 16, 16, 1));
  tilemap grid = tilemap::Create(16, 16);
  for (int g = 0; g < 256; ++g) grid.SetTile(g % 16, g / 16, g, kText, g, 1);
  ClearScreen();
  Draw(grid, 0, 0);
  testing::ExpectFrameMatchesReference(kReferences + "glyph_table.png");
}

TEST_F(ReferencePicture, GlyphsJoinAtScaleTwo) {
  ASSERT_TRUE(testing::OpenGameSheetsDisplay(folder_.path(), DUSK_SOURCE_DIR, 10, 6, 2));
  tilemap grid = tilemap::Create(10, 6);
  grid.Fill(0, 9, 9, 1);
  const std::string rows[] = {
      "\xc9\xcd\xcd\xcd\xbb\xda\xc4\xc4\xbf ", "\xba\xb0\xb1\xb2\xba\xb3\xdb\xdb\xb3 ",
      "\xc8\xcd\xcd\xcd\xbc\xc0\xc4\xc4\xd9 ", "\x1a*\xfa\xfb\x03\x04\x05\x06\x01\x02"};
  for (int y = 0; y < 4; ++y) InsertString(grid, 0, y, rows[y], kHeading, kListBackground);
  InsertString(grid, 0, 5, "Dusk", kText, kBorder);
  ClearScreen();
  Draw(grid, 0, 0);
  testing::ExpectFrameMatchesReference(kReferences + "glyphs_scaled.png");
}

TEST_F(ReferencePicture, ParticlesMidFlight) {
  ASSERT_TRUE(testing::OpenGameDisplay(DUSK_SOURCE_DIR, 1));
  tilemap grid = tilemap::Create(20, 15);
  grid.Fill(250, kBorder, kListBackground, 1);
  grid.AddParticle(2, 7, 0.25f, 0, 0, 40, '*', 21, 255);
  grid.AddParticle(10, 2, 0, 0.5f, 0, 40, 255, 255, 48);
  grid.AddParticle(17, 12, -0.5f, -0.25f, 4, 40, 2, 5, 255);
  grid.AddParticle(5, 5, 0, 0, 0, 0, 15, 25, 4);  // lives until cleared
  grid.AddParticle(6, 5, 0, 0, 0, 3, 15, 37, 4);  // gone by the picture
  for (int draw = 0; draw < 10; ++draw) {
    ClearScreen();
    Draw(grid, 0, 0);
  }
  ASSERT_EQ(grid.tplist.size(), 4u);
  testing::ExpectFrameMatchesReference(kReferences + "particles.png");
}

TEST_F(ReferencePicture, ContrastAndBrightnessExtremes) {
  ASSERT_TRUE(testing::OpenGameSheetsDisplay(folder_.path(), DUSK_SOURCE_DIR, 16, 20, 1));
  // The 64 game colours in four rows, half of each cell a glyph so both colour layers show.
  tilemap grid = tilemap::Create(16, 4);
  for (int c = 0; c < 64; ++c) grid.SetTile(c % 16, c / 16, 'A', kText, c, 1);
  const struct { int contrast, brightness; } bands[] = {{0, 0}, {126, 0}, {-126, 0}, {0, 126}, {0, -126}};
  ClearScreen();
  for (int band = 0; band < 5; ++band) {
    settings.contrast = bands[band].contrast;
    settings.brightness = bands[band].brightness;
    Draw(grid, 0, band * 4);
  }
  testing::ExpectFrameMatchesReference(kReferences + "contrast_brightness.png");
}

}  // namespace
}  // namespace dusk
