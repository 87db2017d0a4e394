// Text in grids: colour codes, line breaks, right alignment and the input field.
#include "display/text.h"

#include <gtest/gtest.h>

#include "display/display_state.h"
#include "display/input_field.h"
#include "display/tilemap.h"
#include "platform/input.h"
#include "platform/input_injection.h"
#include "platform/window.h"
#include "tests/display/support/display_fixture.h"
#include "tests/platform/support/temp_folder.h"

namespace dusk {
namespace {

constexpr int kGlyphs = 0;
constexpr int kFg = 1;
constexpr int kBg = 2;

// A grid of empty cells (255 in every plane).
tilemap Blank(int w, int h) {
  tilemap grid = tilemap::Create(w, h);
  grid.Fill(255, 255, 255, 1);
  return grid;
}

// One row of a plane as numbers, "." for 255.
std::string Row(const tilemap& grid, int plane, int y) {
  std::string out;
  for (int x = 0; x < grid.tmapw; ++x) {
    const int v = grid.at(plane, x, y);
    if (!out.empty()) out += ' ';
    out += v == 255 ? "." : std::to_string(v);
  }
  return out;
}

TEST(InsertString, WritesGlyphsAndColours) {
  tilemap grid = Blank(6, 2);
  EXPECT_EQ(InsertString(grid, 0, 0, "AB", 3, 4, 0, 0, 0), 0);
  EXPECT_EQ(Row(grid, kGlyphs, 0), "65 66 . . . .");
  EXPECT_EQ(Row(grid, kFg, 0), "3 3 . . . .");
  EXPECT_EQ(Row(grid, kBg, 0), "4 4 . . . .");
}

TEST(InsertString, ColourCodes) {
  const struct {
    const char* text;
    int codes;
    const char* glyphs;
    const char* colours;
  } cases[] = {
      {"@14@A", 1, "65 . . . . .", "14 . . . . ."},
      {"@14@A", 0, "64 49 52 64 65 .", "3 3 3 3 3 ."},
      {"a@5@b@@c", 1, "97 98 99 . . .", "3 5 3 . . ."},
      {"@1@@2@x", 1, "120 . . . . .", "12 . . . . ."},  // two codes with nothing between run together
      {"@300@x", 1, "120 . . . . .", "44 . . . . ."},   // the low 8 bits
      {"@-1@x", 1, "120 . . . . .", ". . . . . ."},     // 255 leaves the foreground
      {"@7@ab@", 1, "97 98 . . . .", "7 7 . . . ."},    // an open code writes nothing after it
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    tilemap grid = Blank(6, 1);
    InsertString(grid, 0, 0, c.text, 3, 4, c.codes, 0, 0);
    EXPECT_EQ(Row(grid, kGlyphs, 0), c.glyphs);
    EXPECT_EQ(Row(grid, kFg, 0), c.colours);
  }
}

TEST(InsertString, LineBreaksAndEdges) {
  tilemap grid = Blank(6, 3);
  grid.Fill(46, 1, 1, 1);
  InsertString(grid, 2, 0,
               "ab\xff"
               "cd",
               3, 4, 0, 0, 1);
  EXPECT_EQ(Row(grid, kGlyphs, 0), "46 46 97 98 46 46");
  EXPECT_EQ(Row(grid, kGlyphs, 1), "46 46 99 100 46 46");

  // Without breaks character 255 is written as glyph 255: the cell's glyph stays, its colours change.
  InsertString(grid, 0, 2,
               "a\xff"
               "b",
               3, 4, 0, 0, 0);
  EXPECT_EQ(Row(grid, kGlyphs, 2), "97 46 98 46 46 46");
  EXPECT_EQ(Row(grid, kFg, 2), "3 3 3 1 1 1");

  // Running off the right edge stops everything after it, breaks included.
  tilemap wide = Blank(20, 2);
  InsertString(wide, 15, 0, "0123456789\xffZ", 3, 4, 0, 0, 1);
  EXPECT_EQ(to_string(wide), "...............01234\n....................\n");
  // Starting left of the grid writes nothing.
  tilemap left = Blank(4, 1);
  InsertString(left, -1, 0, "abc", 3, 4);
  EXPECT_EQ(Row(left, kGlyphs, 0), ". . . .");
}

TEST(InsertString, ForceWritesNoValueColours) {
  tilemap grid = Blank(2, 1);
  grid.Fill(0, 5, 6, 1);
  InsertString(grid, 0, 0, "a", 255, 255, 0, 0, 0);
  InsertString(grid, 1, 0, "b", 255, 255, 0, 1, 0);
  EXPECT_EQ(Row(grid, kFg, 0), "5 .");
  EXPECT_EQ(Row(grid, kBg, 0), "6 .");
}

TEST(InsertRAlignString, EndsAtTheColumn) {
  tilemap grid = Blank(20, 1);
  EXPECT_EQ(InsertRAlignString(grid, 19, 0, "abcd", 3, 4), 0);
  EXPECT_EQ(to_string(grid), "................abcd\n");
  // Codes count in the length, so coloured text ends short of the column.
  tilemap coded = Blank(10, 1);
  InsertRAlignString(coded, 9, 0, "@5@ab", 3, 4, 1);
  EXPECT_EQ(to_string(coded), ".....ab...\n");
}

class InputFieldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::OpenTestDisplay(folder_.path(), 20, 4, 4, 4, 1);
    ClearInput();
  }
  void TearDown() override {
    ClearInput();
    CloseWindow();
    ResetDisplay();
  }
  // One frame with the typed text (one character per frame is taken).
  std::string Frame(const std::string& text, int maxlen, const std::string& typed = "") {
    if (!typed.empty()) inject::Text(typed);
    grid_.Fill(255, 255, 255, 1);
    return InputField(grid_, 1, 0, text, 3, 4, maxlen);
  }
  testing::temp_folder folder_;
  tilemap grid_ = Blank(12, 1);
};

TEST_F(InputFieldTest, AcceptsTheListedCharactersOnly) {
  std::string text;
  for (const char* typed : {"a", "Z", "7", " ", "~", "\"", "<", "@", "-", "=", "\t"})
    text = Frame(text, 0, typed);
  EXPECT_EQ(text, "aZ7 ~\"<@");
  for (int code = 1; code < 256; ++code) {
    const bool listed =
        std::isalnum(code) != 0 ||
        (code < 128 &&
         std::string(" !@#$%^&*()_+|\\[];',./{}:<>?`~\"").find(static_cast<char>(code)) != std::string::npos);
    EXPECT_EQ(InputFieldAccepts(code), listed) << code;
  }
}

TEST_F(InputFieldTest, FullFieldTakesNothingMoreAndShowsNoCursor) {
  std::string text = "abcdefgh";
  grid_.uscore = "_";
  text = Frame(text, 8, "x");
  EXPECT_EQ(text, "abcdefgh");
  EXPECT_EQ(grid_.uscore, "");
  EXPECT_EQ(to_string(grid_), ".abcdefgh...\n");
  inject::KeyPress(key::kBackspace);
  text = Frame(text, 8);
  EXPECT_EQ(text, "abcdefg");
}

TEST_F(InputFieldTest, EnterEndsTheTextWithCharacterZeroAndDrawsNothing) {
  grid_.uscore = "_";
  inject::KeyPress(key::kEnter);
  const std::string result = Frame("name", 8);
  ASSERT_EQ(result.size(), 5u);
  EXPECT_EQ(result.substr(0, 4), "name");
  EXPECT_EQ(result.back(), '\0');
  EXPECT_EQ(grid_.uscore, "");
  EXPECT_EQ(to_string(grid_), std::string(12, '.') + "\n");
}

TEST_F(InputFieldTest, CursorBlinksEvery24FramesAndTypingRestartsIt) {
  std::string seen;
  std::string text = Frame("", 0, "a");
  for (int frame = 1; frame < 60; ++frame) {
    text = Frame(text, 0);
    seen += grid_.at(0, 2, 0) == '_' ? '_' : '.';
  }
  // Typed on frame 0, the cursor shows from frame 23 (the 24th frame counting the typing one) for 24 frames.
  EXPECT_EQ(seen.find('_'), 22u);
  EXPECT_EQ(seen.substr(22, 24), std::string(24, '_'));
  EXPECT_EQ(seen[46], '.');
  text = Frame(text, 0, "b");
  EXPECT_EQ(text, "ab");
  EXPECT_EQ(grid_.uscore, "");
  EXPECT_EQ(grid_.utime, 1);
}

}  // namespace
}  // namespace dusk
