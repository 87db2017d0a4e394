// The command line's options of the run: fullscreen, the window scale and the level to start in, their
// bad values, and the game started with them.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "tests/app/support/game_run.h"
#include "tests/platform/support/temp_folder.h"

namespace dusk {
namespace {

TEST(LaunchOptions, ParseAsATable) {
  struct line_case {
    std::vector<std::string> args;
    int status;
    bool fullscreen;
    int scale;
    int world;
    int level;
    std::string error;
  };
  const line_case cases[] = {
      {{}, 0, false, 0, -1, -1, ""},
      {{"--fullscreen"}, 0, true, 0, -1, -1, ""},
      {{"--scale", "1"}, 0, false, 1, -1, -1, ""},
      {{"--scale", "8", "--fullscreen"}, 0, true, 8, -1, -1, ""},
      {{"--level", "1-3"}, 0, false, 0, 1, 3, ""},
      {{"--level", "3-C"}, 0, false, 0, 3, 12, ""},
      {{"--level", "a-f"}, 0, false, 0, 10, 15, ""},
      {{"--level", "0-0", "--scale", "2"}, 0, false, 2, 0, 0, ""},
      {{"--scale", "0"},
       2,
       false,
       0,
       -1,
       -1,
       "duskmarrow: --scale needs a number from 1 to 8, not \"0\" (see --help)\n"},
      {{"--scale", "9"},
       2,
       false,
       0,
       -1,
       -1,
       "duskmarrow: --scale needs a number from 1 to 8, not \"9\" (see --help)\n"},
      {{"--scale", "-1"},
       2,
       false,
       0,
       -1,
       -1,
       "duskmarrow: --scale needs a number from 1 to 8, not \"-1\" (see --help)\n"},
      {{"--scale", "2x"},
       2,
       false,
       0,
       -1,
       -1,
       "duskmarrow: --scale needs a number from 1 to 8, not \"2x\" (see --help)\n"},
      {{"--scale"}, 2, false, 0, -1, -1, "duskmarrow: --scale needs N (see --help)\n"},
      {{"--level"}, 2, false, 0, -1, -1, "duskmarrow: --level needs W-L (see --help)\n"},
      {{"--level", "13"},
       2,
       false,
       0,
       -1,
       -1,
       "duskmarrow: --level needs a world and a level as W-L, like 1-3 or 3-C, not \"13\" (see --help)\n"},
      {{"--level", "1-10"},
       2,
       false,
       0,
       -1,
       -1,
       "duskmarrow: --level needs a world and a level as W-L, like 1-3 or 3-C, not \"1-10\" (see --help)\n"},
      {{"--level", "G-1"},
       2,
       false,
       0,
       -1,
       -1,
       "duskmarrow: --level needs a world and a level as W-L, like 1-3 or 3-C, not \"G-1\" (see --help)\n"},
      {{"--fullscreen", "yes"}, 2, false, 0, -1, -1, "duskmarrow: unknown option \"yes\" (see --help)\n"},
      {{"--windowed"}, 2, false, 0, -1, -1, "duskmarrow: unknown option \"--windowed\" (see --help)\n"},
  };
  for (const line_case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    const command_line result = ParseCommandLine(c.args);
    EXPECT_EQ(result.exit, c.status != 0);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.error, c.error);
    if (c.status != 0) continue;
    EXPECT_EQ(result.options.fullscreen, c.fullscreen);
    EXPECT_EQ(result.options.scale, c.scale);
    EXPECT_EQ(result.options.world, c.world);
    EXPECT_EQ(result.options.level, c.level);
  }
  const std::string help = ParseCommandLine({"--help"}).output;
  for (const char* option : {"--fullscreen", "--scale N", "--level W-L"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
}

std::string FileText(const std::string& path) {
  const std::vector<uint8_t> bytes = testing::ReadTestFile(path);
  return {bytes.begin(), bytes.end()};
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The width of a PNG picture, from its header.
int PngWidth(const std::string& path) {
  const std::string bytes = FileText(path);
  if (bytes.size() < 24) return 0;
  int width = 0;
  for (int i = 16; i < 20; ++i)
    width = width * 256 + static_cast<unsigned char>(bytes[static_cast<size_t>(i)]);
  return width;
}

TEST(LaunchOptions, TheGameStartsInTheLevelAndBackLeadsToTheWorldSelectThenTheMenu) {
  testing::game_folder folder;
  WriteText(folder / "run.txt",
            "wait 10\nshot level.png\npress Escape\nwait 10\nshot worlds.png\npress Escape\nwait 10\n"
            "shot menu.png\nclose\nwait 5\nclose\n");
  const testing::game_run run = testing::RunGame(folder, "run.txt", 120, "--level 1-2 --scale 3");
  ASSERT_EQ(run.status, 0) << run.errors;
  const std::string level = FileText(folder / "level.png");
  const std::string worlds = FileText(folder / "worlds.png");
  const std::string menu = FileText(folder / "menu.png");
  ASSERT_FALSE(level.empty());
  EXPECT_NE(level, worlds);
  EXPECT_NE(worlds, menu);
  const int thrice = PngWidth(folder / "level.png");

  WriteText(folder / "once.txt", "wait 3\nshot once.png\nclose\nwait 5\nclose\n");
  const testing::game_run once = testing::RunGame(folder, "once.txt", 120, "--scale 1");
  ASSERT_EQ(once.status, 0) << once.errors;
  EXPECT_EQ(thrice, 3 * PngWidth(folder / "once.png"));
  // The saved scale stays as it was: the run without --scale opens at the saved one, not at 3.
  const testing::game_run plain = testing::RunGame(folder, "once.txt", 120);
  ASSERT_EQ(plain.status, 0) << plain.errors;
  EXPECT_NE(PngWidth(folder / "once.png"), thrice);
}

TEST(LaunchOptions, ALevelThatIsNotThereEndsWithItsMessage) {
  testing::game_folder folder;
  WriteText(folder / "run.txt", "wait 5\nclose\n");
  for (const char* asked : {"9-9", "1-F"}) {
    SCOPED_TRACE(asked);
    const testing::game_run run = testing::RunGame(folder, "run.txt", 120, std::string("--level ") + asked);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find(std::string("there is no level ") + asked), std::string::npos) << run.errors;
  }
}

}  // namespace
}  // namespace dusk
