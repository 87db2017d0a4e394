// The --folder option, which chooses where the game keeps what it writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "puzzle/solver.h"
#include "tests/app/support/game_run.h"
#include "tests/platform/support/temp_folder.h"
#include "worlds/level_source.h"

namespace dusk {
namespace {

TEST(CommandLine, FolderOption) {
  EXPECT_EQ(ParseCommandLine({"--folder", "/tmp/p"}).options.folder, "/tmp/p");
  EXPECT_EQ(ParseCommandLine({"--folder", "saves", "--script", "s.txt"}).options.folder, "saves");
  const command_line missing = ParseCommandLine({"--folder"});
  EXPECT_EQ(missing.status, kUsageStatus);
  EXPECT_EQ(missing.error, "duskmarrow: --folder needs DIR (see --help)\n");
  const command_line empty = ParseCommandLine({"--folder", ""});
  EXPECT_EQ(empty.status, kUsageStatus);
  EXPECT_EQ(empty.error, "duskmarrow: --folder needs a folder name (see --help)\n");
  EXPECT_NE(ParseCommandLine({"--help"}).output.find("--folder DIR"), std::string::npos);
}

// Run from its own folder (as from the source tree) with --folder elsewhere, the game reads its graphics and
// worlds where it started, and keeps everything it writes in the folder it was given: its save file, its
// compiled worlds and a won level's replay. What the game folder holds of its own writing (here a damaged
// save file) is not taken over.
TEST(CommandLine, FolderOptionReadsTheGameWhereItStartedAndWritesOnlyThere) {
  testing::game_folder game;
  testing::temp_folder player;
  testing::WriteTestFile(game / "save.dat", {'n', 'o', 't', ' ', 'a', ' ', 's', 'a', 'v', 'e'});
  source_error error;
  const auto source =
      ReadLevelSource(std::string(DUSK_FIXTURE_WORLDS) + "/dusk-garden/first-light.level", error);
  ASSERT_TRUE(source) << error.text();
  const solve_result solved = Solve(BuildSourceLevel(*source), source->moves);
  ASSERT_EQ(solved.status, solve_status::solved);
  std::string script = "wait 30\n";
  static const char* const keys[] = {"Up", "Down", "Left", "Right"};
  for (const uint8_t step : solved.steps) script += std::string("press ") + keys[step] + "\n";
  script += "wait 60\npress Return\nwait 30\npress Escape\nwait 5\npress Escape\nwait 5\nclose\n";
  testing::WriteTestFile(game / "play.txt", std::vector<uint8_t>(script.begin(), script.end()));

  const std::string saves = player / "saves";
  const testing::game_run run =
      testing::RunGame(game, "play.txt", 60, "--level 1-1 --folder '" + saves + "'");
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(run.errors, "");
  EXPECT_TRUE(testing::TestFileExists(saves + "/save.dat"));
  EXPECT_FALSE(testing::TestFileExists(saves + "/save.dat.damaged"));
  EXPECT_TRUE(testing::TestFileExists(saves + "/leveldata/world 1/1w.wdt"));
  EXPECT_TRUE(testing::TestFileExists(saves + "/leveldata/world 1/replays/1-1.rpl"));
  EXPECT_FALSE(testing::TestFileExists(game / "leveldata/world 1/replays/1-1.rpl"));
  EXPECT_EQ(testing::ReadTestFile(game / "save.dat").size(), 10u);
}

}  // namespace
}  // namespace dusk
