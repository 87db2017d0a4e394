// The frame as cells: what the drawing of grids leaves on each screen cell, frame by frame, and its text.
#include "display/frame_cells.h"

#include <gtest/gtest.h>

#include <string>

#include "display/draw.h"
#include "display/display_state.h"
#include "display/tilemap.h"
#include "platform/window.h"
#include "state/settings.h"
#include "tests/display/support/display_fixture.h"
#include "tests/platform/support/temp_folder.h"

namespace dusk {
namespace {

class FrameCellsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFrameCells();
    testing::OpenTestDisplay(folder_.path(), 20, 15, 4, 4, 1);
  }
  void TearDown() override {
    CloseWindow();
    ResetDisplay();
    ResetSettings();
    ResetFrameCells();
  }
  testing::temp_folder folder_;
};

TEST_F(FrameCellsTest, TheTextShowsAKnownFrame) {
  // A frame of two grids: a background of dots, and a strip over it whose transparent cells let it show.
  tilemap back = tilemap::Create(20, 15);
  back.Fill(250, 0x18, 0x17, 1);
  tilemap strip = tilemap::Create(6, 2);
  strip.Fill(255, 255, 255, 1);
  strip.SetTile(0, 0, 1, 0x2F, 0x14, 1);   // a face
  strip.SetTile(1, 0, 219, 5, 5, 1);      // one colour: a solid cell
  strip.SetTile(2, 0, 'A', 255, 0x30, 1);  // background only: the glyph's ink stays as it was
  strip.SetTile(3, 0, 201, 0x20, 9, 1);   // foreground only: the glyph over the cell's background
  strip.SetTile(0, 1, 0xE9, 0x3E, 0x3F, 1);
  strip.SetTile(5, 1, 0, 0x2A, 0x2B, 1);  // glyph 0 is a blank
  ClearScreen();
  Draw(back, 0, 0);
  Draw(strip, 2, 1);
  PresentFrame(0);

  auto dots = [](int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += "\u00b7";  // glyph 250, a middle dot
    return text;
  };
  std::string expected;
  expected += dots(20) + "\n";
  expected += dots(2) + "\u263a A\u2554" + dots(14) + "\n";  // a face, a blank, A, a corner
  expected += dots(2) + "\u0398" + dots(4) + " " + dots(12) + "\n";
  for (int y = 3; y < 15; ++y) expected += dots(20) + "\n";
  expected += "foreground\n";
  std::string plain;
  for (int x = 0; x < 20; ++x) plain += x == 0 ? "18" : " 18";
  expected += plain + "\n";
  expected += "18 18 2F 05 18 20 18 18 18 18 18 18 18 18 18 18 18 18 18 18\n";
  expected += "18 18 3E 18 18 18 18 2A 18 18 18 18 18 18 18 18 18 18 18 18\n";
  for (int y = 3; y < 15; ++y) expected += plain + "\n";
  expected += "background\n";
  std::string under;
  for (int x = 0; x < 20; ++x) under += x == 0 ? "17" : " 17";
  expected += under + "\n";
  expected += "17 17 14 05 30 17 17 17 17 17 17 17 17 17 17 17 17 17 17 17\n";
  expected += "17 17 3F 17 17 17 17 2B 17 17 17 17 17 17 17 17 17 17 17 17\n";
  for (int y = 3; y < 15; ++y) expected += under + "\n";
  EXPECT_EQ(FrameCellsText(FrameCells()), expected);
}

TEST_F(FrameCellsTest, EachPresentedFrameStartsAfresh) {
  tilemap one = tilemap::Create(1, 1);
  one.Fill('x', 3, 4, 1);
  Draw(one, 5, 5);
  PresentFrame(0);
  EXPECT_EQ(FrameCells().glyph[5 * 20 + 5], 'x');
  Draw(one, 0, 0);  // the next frame draws elsewhere only
  PresentFrame(0);
  EXPECT_EQ(FrameCells().glyph[5 * 20 + 5], 255);
  EXPECT_EQ(FrameCells().fg[0], 3);
  // Nothing drawn and the transparent colour leave a cell unpainted; a grid off the screen is cut.
  tilemap off = tilemap::Create(4, 1);
  off.Fill('y', 9, 9, 1);
  Draw(off, 18, 14);
  PresentFrame(0);
  EXPECT_EQ(FrameCells().glyph[14 * 20 + 18], 255);
  EXPECT_EQ(FrameCells().glyph.size(), 300u);
}

}  // namespace
}  // namespace dusk
