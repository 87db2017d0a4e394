// The --folder option, which chooses where the game keeps what it writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "tests/app/support/game_run.h"
#include "tests/platform/support/temp_folder.h"

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
// worlds where it started and writes only into the folder it was given.
TEST(CommandLine, FolderOptionReadsTheGameWhereItStarted) {
  testing::game_folder game;
  testing::temp_folder player;
  const std::string script = "wait 20\nclose\n";
  testing::WriteTestFile(game / "quit.txt", std::vector<uint8_t>(script.begin(), script.end()));
  const testing::game_run run =
      testing::RunGame(game, "quit.txt", 60, "--folder '" + player.path() + "/saves'");
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(run.errors, "");
  EXPECT_TRUE(testing::TestFileExists(player / "saves/save.dat"));  // closed at the main menu: saved
  EXPECT_FALSE(testing::TestFileExists(game / "save.dat"));
}

}  // namespace
}  // namespace dusk
