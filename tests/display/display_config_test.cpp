// The display configuration: line splitting, reading settings, glyph sheets, palette and opening the window.
#include "display/display_config.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>

#include "display/display_state.h"
#include "platform/window.h"
#include "tests/display/support/display_fixture.h"
#include "tests/display/support/png_writer.h"
#include "tests/platform/support/temp_folder.h"

namespace dusk {
namespace {

using testing::temp_folder;

// A regular expression that matches the text exactly, for death-test messages.
std::string Exactly(const std::string& text) {
  static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
  return "^" + std::regex_replace(text, special, R"(\$&)") + "$";
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

class DisplayConfigTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetDisplay(); }
  void TearDown() override {
    CloseWindow();
    ResetDisplay();
  }
  // Writes the text as a configuration file and reads it.
  std::string Config(const std::string& text) {
    const std::string path = folder_ / "graphics.txt";
    WriteText(path, text);
    return path;
  }
  temp_folder folder_;
};

struct split_case {
  const char* line;
  const char* keyword;
  int count;
  std::vector<std::string> args;
};

TEST_F(DisplayConfigTest, SplitsKeywordAndArguments) {
  const split_case cases[] = {
      {"width 20", "width", 1, {"20"}},
      {"  \twidth\t20  ", "width", 1, {"20"}},
      {"title \"Dusk, marrow\"", "title", 1, {"Dusk, marrow"}},
      {"title Dusk, marrow", "title", 2, {"Dusk", "marrow"}},
      {"tileset \"a//b.png\"", "tileset", 1, {"a//b.png"}},
      {"tileset graphics\\glyphs.png // the sheet", "tileset", 1, {"graphics\\glyphs.png"}},
      {"width //x", "width", 0, {}},
      {"width", "width", 0, {}},
      {"width,20", "width", 1, {"20"}},
      {"width   20   ", "width", 1, {"20"}},
      {"title a b  c", "title", 1, {"a b  c"}},
      {"wi=dth 2<0>", "width", 1, {"20"}},
      {"title \"=<>?\"", "title", 1, {"=<>?"}},
      {"title \"\"", "title", 0, {}},
      {"ti\"tle x", "title", 1, {"x"}},
      {"WIDTH 7", "WIDTH", 1, {"7"}},
      {"// comment", "", 0, {}},
      {"    // indented comment", "", 0, {}},
      {"a 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17", "a", 17, {"1", "2"}},
  };
  for (const split_case& c : cases) {
    SCOPED_TRACE(c.line);
    display.configargcount = 99;
    EXPECT_EQ(SplitConfigLine(c.line, "on line 1 of x"), c.keyword);
    if (std::string(c.line).find("//") != 0 && std::string(c.line).find("    //") != 0) {
      EXPECT_EQ(display.configargcount, c.count);
    }
    for (size_t i = 0; i < c.args.size(); ++i)
      EXPECT_EQ(display.configargs[i], c.args[i]) << "argument " << i;
  }
}

TEST_F(DisplayConfigTest, UnterminatedStringIsReportedAndTheLineStillCounts) {
  ::testing::internal::CaptureStderr();
  const std::string keyword = SplitConfigLine("title \"Dusk marrow  ", "on line 4 of g.txt");
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(keyword, "title");
  EXPECT_EQ(display.configargcount, 1);
  EXPECT_EQ(display.configargs[0], "Dusk marrow");
  EXPECT_NE(said.find("Improperly teminated string on line 4 of g.txt ( Dusk marrow )"), std::string::npos)
      << said;

  // The reader goes on with the settings it got.
  ::testing::internal::CaptureStderr();
  ReadDisplayConfig(Config("width 5\ntitle \"Open ended\nheight 6\n"));
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(display.windowtitle, "Open ended");
  EXPECT_EQ(display.displaywidth, 5);
  EXPECT_EQ(display.displayheight, 6);
}

TEST_F(DisplayConfigTest, ReadsEverySetting) {
  ReadDisplayConfig(
      Config("// Duskmarrow\r\nWidth 20\r\nHEIGHT 15\r\ntileset \"graphics\\glyphs.png\"\r\npallet "
             "graphics/colors.png\r\n"
             "title \"Dusk, marrow\"\r\nscale 3\r\nabc\r\n\r\n"));
  EXPECT_EQ(display.displaywidth, 20);
  EXPECT_EQ(display.displayheight, 15);
  EXPECT_EQ(display.tilesetpath, "graphics\\glyphs.png");
  EXPECT_EQ(display.palettepath, "graphics/colors.png");
  EXPECT_EQ(display.windowtitle, "Dusk, marrow");
  EXPECT_EQ(display.displayscale, 3);
  EXPECT_EQ(display.configloaded, 1);
}

TEST_F(DisplayConfigTest, EmptyOrCommentOnlyFilesKeepTheStartValues) {
  for (const char* text : {"", "// nothing\n//width 3\nxyz\n"}) {
    ResetDisplay();
    ReadDisplayConfig(Config(text));
    EXPECT_EQ(display.displaywidth, 96);
    EXPECT_EQ(display.displayheight, 32);
    EXPECT_EQ(display.tilesetpath, "data\\image\\curses.png");
    EXPECT_EQ(display.palettepath, "data\\image\\pallet.png");
    EXPECT_EQ(display.windowtitle, "Duskmarrow");
    EXPECT_EQ(display.displayscale, 1);
    EXPECT_EQ(display.configloaded, 1);
  }
}

TEST_F(DisplayConfigTest, NumbersAreReadUpToTheFirstOtherCharacter) {
  ReadDisplayConfig(Config("width 20cells\nheight cells\nscale $A\n"));
  EXPECT_EQ(display.displaywidth, 20);
  EXPECT_EQ(display.displayheight, 0);
  EXPECT_EQ(display.displayscale, 10);
}

TEST_F(DisplayConfigTest, ErrorsEndTheProgramWithTheirMessage) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"width20\n", "Unrecognized keyword 'width20' on line 1 of "},
      {"// top\n\ncolour 3\n", "Unrecognized keyword 'colour' on line 3 of "},
      {"    // indented\n", "Unrecognized keyword '' on line 1 of "},
      {"Widht 3\n", "Unrecognized keyword 'Widht' on line 1 of "},
      {"title Dusk, marrow\n", "Incorrect number of arguments on line 1 of "},
      {"height\n", "Incorrect number of arguments on line 1 of "},
      {"width 1\nwidth //x\n", "Incorrect number of arguments on line 2 of "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string path = Config(c.text);
    EXPECT_EXIT(ReadDisplayConfig(path), ::testing::ExitedWithCode(255), Exactly(c.message + path));
  }
  EXPECT_EXIT(ReadDisplayConfig(folder_ / "none.txt"), ::testing::ExitedWithCode(255),
              Exactly("Failed to read " + (folder_ / "none.txt")));
}

TEST_F(DisplayConfigTest, SettingIsMadeBeforeTheArgumentCountIsChecked) {
  const std::string path = Config("width 4\ntitle Dusk, marrow\nheight 9\n");
  EXPECT_EQ(testing::CatchFatalError([&] { ReadDisplayConfig(path); }),
            "Incorrect number of arguments on line 2 of " + path);
  EXPECT_EQ(display.windowtitle, "Dusk");
  EXPECT_EQ(display.displayheight, 32);
  EXPECT_EQ(display.configloaded, 0);

  EXPECT_EQ(testing::CatchFatalError([&] { ReadDisplayConfig(Config("width\n")); }),
            "Incorrect number of arguments on line 1 of " + (folder_ / "graphics.txt"));
  EXPECT_EQ(display.displaywidth, 0);
}

TEST_F(DisplayConfigTest, TilesetGivesTheGlyphSizeAndTheWindowSize) {
  testing::WriteTestSheets(folder_ / "glyphs", 8, 12);  // 128 x 192 pixels
  testing::WriteTestPalette(folder_ / "colors.png", 16, 16);
  const std::string path = Config("width 96\nheight 32\ntileset " + (folder_ / "glyphs.png") + "\npallet " +
                                  (folder_ / "colors.png") + "\n");
  OpenDisplay(path, 2, kUseDefaultTitle);
  EXPECT_EQ(display.glyphwidth, 8);
  EXPECT_EQ(display.glyphheight, 12);
  EXPECT_EQ(display.windowwidth, 1536);
  EXPECT_EQ(display.windowheight, 768);
  int w = 0;
  int h = 0;
  ReadFramePixels(w, h);
  EXPECT_EQ(w, 1536);
  EXPECT_EQ(h, 768);
}

TEST_F(DisplayConfigTest, TilesetNameLosesItsExtensionOnlyInTheLastPathPart) {
  std::filesystem::create_directory(folder_ / "v1.0");
  testing::WriteTestSheets(folder_ / "v1.0/set", 4, 4);
  for (const std::string name : {"v1.0/set", "v1.0/set.png", "v1.0\\set.anything"}) {
    SCOPED_TRACE(name);
    display.glyphwidth = 0;
    LoadTileset(folder_ / name);
    EXPECT_EQ(display.glyphwidth, 4);
  }
  EXPECT_EXIT(LoadTileset(folder_ / "v1.0/set.v2.png"), ::testing::ExitedWithCode(255),
              Exactly("Failed to load " + (folder_ / "v1.0/set.v2_fg.png")));
}

TEST_F(DisplayConfigTest, TilesetAndPaletteFailures) {
  const std::string base = folder_ / "g";
  EXPECT_EXIT(LoadTileset(base + ".png"), ::testing::ExitedWithCode(255),
              Exactly("Failed to load " + base + "_fg.png"));

  // Backslashes become slashes.
  display.tilesetpath = base;
  std::replace(display.tilesetpath.begin(), display.tilesetpath.end(), '/', '\\');
  EXPECT_EXIT(LoadTileset(kUseDefaultPath), ::testing::ExitedWithCode(255),
              Exactly("Failed to load " + base + "_fg.png"));

  // A sheet too small to cut into 16 x 16 glyphs.
  testing::WritePng(base + "_fg.png", 8, 8, std::vector<uint32_t>(64, 0xFFFFFFFFu));
  EXPECT_EXIT(LoadTileset(base), ::testing::ExitedWithCode(255),
              Exactly("Failed to load tileset image " + base + "_fg.png"));

  // A foreground sheet without its background sheet, then a background sheet too small.
  testing::WriteTestSheets(base, 4, 4);
  std::filesystem::remove(base + "_bg.png");
  EXPECT_EXIT(LoadTileset(base), ::testing::ExitedWithCode(255),
              Exactly("Failed to load tileset image " + base + "_bg.png"));
  testing::WritePng(base + "_bg.png", 32, 32, std::vector<uint32_t>(32 * 32, 0xFFFFFFFFu));
  EXPECT_EXIT(LoadTileset(base), ::testing::ExitedWithCode(255),
              Exactly("Failed to load tileset image " + base + "_bg.png"));

  // Not a picture at all.
  WriteText(base + "_fg.png", "not a png");
  EXPECT_EXIT(LoadTileset(base), ::testing::ExitedWithCode(255),
              Exactly("Failed to load " + base + "_fg.png"));

  const std::string palette = folder_ / "p.png";
  EXPECT_EXIT(LoadPalette(palette), ::testing::ExitedWithCode(255), Exactly("Failed to load " + palette));
  testing::WriteTestPalette(palette, 257, 1);
  EXPECT_EXIT(LoadPalette(palette), ::testing::ExitedWithCode(255),
              Exactly("Too many colors in pallet " + palette + ", 256 is the proper amount."));
  display.palettepath = palette;
  EXPECT_EXIT(LoadPalette(kUseDefaultPath), ::testing::ExitedWithCode(255), "Too many colors in pallet");
}

TEST_F(DisplayConfigTest, PaletteFillsColoursInRowOrderAndLeavesTheRest) {
  const std::string palette = folder_ / "p.png";
  testing::WriteTestPalette(palette, 16, 16);
  LoadPalette(palette);
  for (int i : {0, 1, 17, 255}) {
    const uint32_t want = testing::TestPaletteColor(i);
    EXPECT_EQ(display.palette[static_cast<size_t>(i)], (want >> 16) & 255) << i;
    EXPECT_EQ(display.palette[256 + static_cast<size_t>(i)], (want >> 8) & 255) << i;
    EXPECT_EQ(display.palette[512 + static_cast<size_t>(i)], want & 255) << i;
  }
  // 16 pixels in a 4 x 4 image: colours 0 to 15 come from it, the others stay.
  testing::WritePng(palette, 4, 4, std::vector<uint32_t>(16, 0x00102030u), true);
  LoadPalette(palette);
  EXPECT_EQ(display.palette[15], 0x10);
  EXPECT_EQ(display.palette[256 + 15], 0x20);
  EXPECT_EQ(display.palette[512 + 15], 0x30);
  EXPECT_EQ(display.palette[16], (testing::TestPaletteColor(16) >> 16) & 255);
}

TEST_F(DisplayConfigTest, OpenDisplayNeedsTheFileOnlyTheFirstTime) {
  const std::string missing = folder_ / "gone.txt";
  EXPECT_EXIT(OpenDisplay(missing, 1, kUseDefaultTitle), ::testing::ExitedWithCode(255),
              Exactly("Failed to read " + missing));

  testing::OpenTestDisplay(folder_.path(), 20, 15, 4, 4, 2);
  EXPECT_EQ(display.windowwidth, 160);
  CloseWindow();
  // Once read, a missing file keeps the settings in force; scale 0 keeps the configured scale.
  display.displayscale = 3;
  OpenDisplay(missing, 0, "Other");
  EXPECT_EQ(display.windowwidth, 20 * 4 * 3);
  EXPECT_EQ(display.windowheight, 15 * 4 * 3);
}

TEST_F(DisplayConfigTest, GameConfigurationOpensTwentyByFifteenCellsOfSixteenPixels) {
  ASSERT_TRUE(testing::OpenGameDisplay(DUSK_SOURCE_DIR, 2));
  EXPECT_EQ(display.displaywidth, 20);
  EXPECT_EQ(display.displayheight, 15);
  EXPECT_EQ(display.glyphwidth, 16);
  EXPECT_EQ(display.glyphheight, 16);
  EXPECT_EQ(display.windowtitle, "Duskmarrow");
  EXPECT_EQ(display.displayscale, 2);  // the player's scale, over the file's
  int w = 0;
  int h = 0;
  ReadFramePixels(w, h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
}

}  // namespace
}  // namespace dusk
