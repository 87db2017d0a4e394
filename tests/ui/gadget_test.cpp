// Gadgets drawn into grids: window frames and title bars, labels with their word wrap, buttons, check boxes.
#include "ui/gadget.h"

#include <gtest/gtest.h>

#include "display/tilemap.h"

namespace dusk {
namespace {

constexpr int kGlyphs = 0;
constexpr int kFg = 1;
constexpr int kBg = 2;

tilemap Blank(int w, int h) {
  tilemap grid = tilemap::Create(w, h);
  grid.Fill(255, 255, 255, 1);
  return grid;
}

// The glyph plane with named glyphs: frame corners as +, sides |, brackets, bar cells #, empty cells '.'.
std::string Picture(const tilemap& grid) {
  std::string out;
  for (int y = 0; y < grid.tmaph; ++y) {
    for (int x = 0; x < grid.tmapw; ++x) {
      const int g = grid.at(kGlyphs, x, y);
      char c = '?';
      if (g == 255)
        c = '.';
      else if (g == 214 || g == 183 || g == 211 || g == 189)
        c = '+';
      else if (g == 186)
        c = '|';
      else if (g == 0)
        c = '#';
      else if (g == 251)
        c = 'v';
      else if (g >= 32 && g < 127)
        c = static_cast<char>(g);
      out += c;
    }
    out += '\n';
  }
  return out;
}

TEST(WindowGadget, FrameTitleBarAndTitle) {
  tilemap grid = Blank(9, 4);
  const gadget_ptr window = DrawWindow(grid, "Options", 1, 0, 8, 4);
  EXPECT_EQ(Picture(grid),
            ".+#Opti#+\n"
            ".|......|\n"
            ".|......|\n"
            ".+......+\n");
  EXPECT_EQ(grid.at(kGlyphs, 1, 0), 214);
  EXPECT_EQ(grid.at(kGlyphs, 8, 0), 183);
  EXPECT_EQ(grid.at(kGlyphs, 1, 3), 211);
  EXPECT_EQ(grid.at(kGlyphs, 8, 3), 189);
  // Bar in the border colour on both layers; the title in the text colour over the bar.
  EXPECT_EQ(grid.at(kFg, 2, 0), 28);
  EXPECT_EQ(grid.at(kBg, 2, 0), 28);
  EXPECT_EQ(grid.at(kFg, 3, 0), 0);
  EXPECT_EQ(grid.at(kBg, 3, 0), 28);
  // The frame leaves the background alone (bgcolor 255).
  EXPECT_EQ(grid.at(kBg, 1, 1), 255);
  EXPECT_EQ(window->kind, gadget::WINDOW);
}

TEST(WindowGadget, SizesAndTitles) {
  const struct {
    const char* title;
    int w, h;
    const char* picture;
  } cases[] = {
      {"", 5, 1, "[...]\n"},
      {"Hi", 5, 1, "[#H#]\n"},       // the bar and the title cut to w - 4
      {"", 5, 2, "+...+\n+...+\n"},  // no line between the corners
      {"", 5, 3, "+...+\n|...|\n+...+\n"},
      {"Hi", 4, 2, "+##+\n+..+\n"},
      {"Hi", 2, 2, "++\n++\n"},  // too narrow for a bar
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title + std::string(" ") + std::to_string(c.w) + "x" + std::to_string(c.h));
    tilemap grid = Blank(c.w, c.h);
    DrawWindow(grid, c.title, 0, 0, c.w, c.h);
    EXPECT_EQ(Picture(grid), c.picture);
  }
}

TEST(WindowGadget, ChildrenAreRelativeAndHiddenGadgetsAreSkipped) {
  tilemap grid = Blank(8, 5);
  const gadget_ptr window = CreateWindow("", 1, 1, 6, 3);
  const gadget_ptr label = CreateLabel("ab", 1, 1, 4, 1, window);
  CreateButton("c", 3, 1, window);
  // A label without text draws nothing itself, but its children are drawn.
  const gadget_ptr empty = CreateLabel("", 0, 0, 4, 1, window);
  CreateLabel("z", 0, 0, 1, 1, empty);
  ASSERT_EQ(window->child.size(), 3u);
  window->draw(grid, 0, 1);
  EXPECT_EQ(Picture(grid),
            "........\n"
            "........\n"
            ".z....+.\n"
            ".|abc.|.\n"
            ".+....+.\n");
  label->hidden = 1;
  tilemap again = Blank(8, 5);
  window->draw(again, 0, 1);
  EXPECT_EQ(again.at(kGlyphs, 2, 3), 255);
  EXPECT_EQ(again.at(kGlyphs, 4, 3), 'c');
  window->hidden = 1;
  tilemap none = Blank(8, 5);
  window->draw(none, 0, 0);
  EXPECT_EQ(Picture(none), Picture(Blank(8, 5)));
}

TEST(LabelGadget, ShortTextStaysOnOneLine) {
  tilemap grid = Blank(6, 2);
  const gadget_ptr label = DrawLabel(grid, "abcdef", 0, 0, 6, 2);
  EXPECT_EQ(Picture(grid), "abcdef\n......\n");
  EXPECT_EQ(grid.at(kFg, 0, 0), 0);
  EXPECT_EQ(grid.at(kBg, 0, 0), 255);
  tilemap longer = Blank(7, 3);
  DrawLabel(longer, "abcdefg", 0, 0, 6, 3);
  EXPECT_EQ(Picture(longer), "abcde-.\nfg.....\n.......\n");
}

TEST(LabelGadget, WordWrap) {
  const struct {
    const char* text;
    int w, h;
    std::vector<std::string> rows;
  } cases[] = {
      // A word joins a line only while line, space and word stay shorter than the width.
      {"one two three four", 10, 9, {"one two", "three", "four"}},
      {"one two three four", 10, 2, {"one two", "three"}},
      // A word of w - 1 or w characters at the start of a line comes after an empty row.
      {"abcd xy", 5, 9, {"", "abcd", "xy"}},
      {"abcde", 5, 9, {"", "abcde"}},
      // Character 255 ends the line after the word before it, with a space in between.
      {"ab\xff"
       "cd",
       10,
       9,
       {" ab", "cd"}},
      {"x ab\xff"
       "cd",
       10,
       9,
       {"x ab", "cd"}},
      // A word longer than the box is cut with a hyphen.
      {"abcdefgh", 5, 9, {"abcd-", "", "efgh"}},
      {"a bcdefghij", 6, 9, {"a bcd-", "", "efghij"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " in " + std::to_string(c.w));
    EXPECT_EQ(WrapLabel(c.text, c.w, c.h), c.rows);
  }
}

TEST(LabelGadget, WrapEndsForEveryWidth) {
  for (int w = -1; w <= 3; ++w) {
    const std::vector<std::string> rows = WrapLabel("abcdefghijklmnop qr", w, 50);
    EXPECT_LE(rows.size(), 50u) << w;
  }
  // A one-cell box can never place the word and stops at its height.
  EXPECT_EQ(WrapLabel("abc", 1, 3).size(), 3u);
  tilemap grid = Blank(2, 3);
  DrawLabel(grid, "abc", 0, 0, 1, 1000000000);
  EXPECT_EQ(grid.at(kGlyphs, 0, 0), '-');
}

TEST(LabelGadget, WrappedRowsAreWrittenInTextColourOnBackground) {
  tilemap grid = Blank(10, 3);
  const gadget_ptr label = CreateLabel("one two three", 0, 0, 10, 3);
  label->TextColor = 46;
  label->bgcolor = 20;
  label->draw(grid, 0, 0);
  EXPECT_EQ(Picture(grid), "one two...\nthree.....\n..........\n");
  EXPECT_EQ(grid.at(kFg, 0, 1), 46);
  EXPECT_EQ(grid.at(kBg, 0, 1), 20);
}

TEST(CheckboxGadget, ShowsItsStateAndFlipsOnARelease) {
  ResetGadgets();
  tilemap grid = Blank(8, 1);
  const gadget_ptr box = CreateCheckbox("Sound", 1, 0);
  box->draw(grid, 0, 0);
  EXPECT_EQ(Picture(grid), ".#.Sound\n");
  box->state = 1;
  box->draw(grid, 0, 0);
  EXPECT_EQ(grid.at(kGlyphs, 1, 0), 251);

  // The mouse on the box with button 1 just released flips it; anywhere else or without a release, not.
  gadgets.mouse.x = 1;
  gadgets.mouse.y = 0;
  box->draw(grid, 0, 0);
  EXPECT_EQ(box->state, 1);
  gadgets.mouse.released[1] = 1;
  box->draw(grid, 0, 0);
  EXPECT_EQ(box->state, 0);
  gadgets.mouse.x = 2;
  box->draw(grid, 0, 0);
  EXPECT_EQ(box->state, 0);
  ResetGadgets();
}

TEST(Mouse, InCells) {
  ResetGadgets();
  gadgets.mouse.x = 5;
  gadgets.mouse.y = 3;
  EXPECT_EQ(MouseInCells(5, 3, 1, 1), 1);
  EXPECT_EQ(MouseInCells(3, 1, 3, 3), 1);
  EXPECT_EQ(MouseInCells(3, 1, 2, 3), 0);
  EXPECT_EQ(MouseInCells(3, 1, 3, 2), 0);
  EXPECT_EQ(MouseInCells(6, 3, 4, 4), 0);
  ResetGadgets();
}

}  // namespace
}  // namespace dusk
