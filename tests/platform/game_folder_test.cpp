// The player's folder in front of the installed data: reads fall back to the data, writes never reach it.
#include "platform/game_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/files.h"
#include "platform/stream.h"
#include "platform/vorbis_stream.h"
#include "tests/platform/support/ogg_fixture.h"
#include "tests/platform/support/temp_folder.h"

namespace dusk {
namespace {

using dusk::testing::ReadTestFile;
using dusk::testing::temp_folder;
using dusk::testing::TestFileExists;
using dusk::testing::WriteTestFile;

// Works in a folder for one test and comes back, with no data folders left behind.
class working_folder_guard {
 public:
  working_folder_guard() {
    char buffer[4096];
    if (::getcwd(buffer, sizeof buffer)) start_ = buffer;
  }
  ~working_folder_guard() {
    SetDataFolders({});
    SetWorkingOnlyNames({});
    if (!start_.empty() && ::chdir(start_.c_str()) != 0) std::abort();
  }
  working_folder_guard(const working_folder_guard&) = delete;
  working_folder_guard& operator=(const working_folder_guard&) = delete;

 private:
  std::string start_;
};

TEST(GameFolderTest, ReadsFallBackToTheDataFolderAndWritesStayInThePlayersFolder) {
  working_folder_guard guard;
  temp_folder data;
  temp_folder home;
  ASSERT_EQ(::mkdir((data / "graphics").c_str(), 0755), 0);
  WriteTestFile(data / "graphics/graphics.txt", {'d', 'a', 't', 'a'});
  WriteTestFile(data / "save.dat", {1, 2, 3});

  const std::string player = home / "deep/nested/duskmarrow";
  std::string message;
  ASSERT_TRUE(UseGameFolder(player, data.path(), message)) << message;

  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile("graphics\\graphics.txt", bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{'d', 'a', 't', 'a'}));
  EXPECT_EQ(PathKind("graphics"), 2);
  EXPECT_EQ(FileBytes("graphics/graphics.txt"), 4);
  EXPECT_EQ(PathKind("missing.txt"), 0);

  // The player's own copy wins over the data folder's.
  ASSERT_TRUE(WriteFileAtomically("graphics.txt", {'p'}));
  WriteTestFile(player + "/save.dat", {7});
  ASSERT_TRUE(ReadWholeFile("save.dat", bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{7}));

  // Removing reaches only the player's folder: the data folder's file shows through again.
  EXPECT_EQ(RemoveFile("save.dat"), 1);
  ASSERT_TRUE(ReadWholeFile("save.dat", bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(RemoveFile("save.dat"), 1) << "nothing of the player's is left to remove";
  EXPECT_TRUE(TestFileExists(data / "save.dat"));

  // Writing a file the data folder also has makes a new one in the player's folder.
  stream_ptr out = OpenWrite("graphics\\graphics.txt");
  EXPECT_EQ(out, nullptr) << "the player's folder has no graphics folder of its own";
  MakeFolder("graphics");
  out = OpenWrite("graphics\\graphics.txt");
  ASSERT_NE(out, nullptr);
  out->WriteByte(42);
  out->Close();
  EXPECT_EQ(ReadTestFile(player + "/graphics/graphics.txt"), (std::vector<uint8_t>{42}));
  EXPECT_EQ(ReadTestFile(data / "graphics/graphics.txt"), (std::vector<uint8_t>{'d', 'a', 't', 'a'}));
}

// The game's own writing (its save file, its compiled worlds) is read from the working folder only, even
// when the data folder has such files too, as a source tree's game folder does.
TEST(GameFolderTest, TheGamesOwnFilesAreNeverReadFromTheDataFolder) {
  working_folder_guard guard;
  temp_folder data;
  temp_folder player;
  ASSERT_EQ(::mkdir((data / "leveldata").c_str(), 0755), 0);
  WriteTestFile(data / "leveldata/1w.wdt", {1});
  WriteTestFile(data / "leveldata.txt", {2});
  WriteTestFile(data / "save.dat", {3});
  std::string message;
  ASSERT_TRUE(UseGameFolder(player.path(), data.path(), message)) << message;
  SetWorkingOnlyNames({"save.dat", "leveldata"});

  std::vector<uint8_t> bytes;
  EXPECT_FALSE(ReadWholeFile("save.dat", bytes));
  EXPECT_EQ(PathKind("leveldata"), 0);
  EXPECT_EQ(FileBytes("leveldata\\1w.wdt"), -1);
  EXPECT_TRUE(ReadWholeFile("leveldata.txt", bytes)) << "only the names themselves and what lies under them";
  WriteTestFile(player / "save.dat", {9});
  ASSERT_TRUE(ReadWholeFile("save.dat", bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{9}));
}

// Without an installed data folder (run from the source tree), the game reads what its new folder lacks
// from the folder it was started in.
TEST(GameFolderTest, WithoutDataTheFolderStartedInIsRead) {
  working_folder_guard guard;
  temp_folder started;
  temp_folder player;
  WriteTestFile(started / "graphics.txt", {5});
  ASSERT_EQ(::chdir(started.path().c_str()), 0);
  std::string message;
  ASSERT_TRUE(UseGameFolder(player / "profile", "", message)) << message;
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile("graphics.txt", bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{5}));
  ASSERT_TRUE(WriteFileAtomically("written.txt", {6}));
  EXPECT_TRUE(TestFileExists(player / "profile/written.txt"));
  EXPECT_FALSE(TestFileExists(started / "written.txt"));
}

// Music plays from its file while it is heard: the installed data folder's tracks must stream too.
TEST(GameFolderTest, TracksInTheDataFolderStream) {
  working_folder_guard guard;
  temp_folder data;
  temp_folder player;
  ASSERT_EQ(::mkdir((data / "music").c_str(), 0755), 0);
  WriteTestFile(data / "music/wm01.ogg", testing::EncodeSweep(4410, 2, 44100));
  std::string message;
  ASSERT_TRUE(UseGameFolder(player.path(), data.path(), message)) << message;
  std::unique_ptr<vorbis_stream> track = vorbis_stream::Open("music\\wm01.ogg", false);
  ASSERT_NE(track, nullptr);
  int16_t samples[2 * 256];
  EXPECT_EQ(track->Read(samples, 256), 256u);
}

TEST(GameFolderTest, AFolderThatCantBeMadeIsReported) {
  working_folder_guard guard;
  temp_folder base;
  WriteTestFile(base / "file", {0});
  std::string message;
  EXPECT_FALSE(UseGameFolder(base / "file/inside", "", message));
  EXPECT_NE(message.find(base / "file/inside"), std::string::npos) << message;
  EXPECT_FALSE(UseGameFolder("", "", message));
  EXPECT_FALSE(message.empty());
}

TEST(GameFolderTest, PlayerFolderFollowsXdgDataHomeThenHome) {
  const char* old_xdg = std::getenv("XDG_DATA_HOME");
  const char* old_home = std::getenv("HOME");
  std::string saved_xdg = old_xdg ? old_xdg : "";
  std::string saved_home = old_home ? old_home : "";

  ::setenv("XDG_DATA_HOME", "/x/data", 1);
  ::setenv("HOME", "/home/p", 1);
  EXPECT_EQ(PlayerFolder(), "/x/data/duskmarrow");
  ::setenv("XDG_DATA_HOME", "relative", 1);
  EXPECT_EQ(PlayerFolder(), "/home/p/.local/share/duskmarrow") << "a relative XDG_DATA_HOME is ignored";
  ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(PlayerFolder(), "/home/p/.local/share/duskmarrow");
  ::unsetenv("HOME");
  EXPECT_EQ(PlayerFolder(), "");

  if (old_xdg) ::setenv("XDG_DATA_HOME", saved_xdg.c_str(), 1);
  if (old_home) ::setenv("HOME", saved_home.c_str(), 1);
}

TEST(GameFolderTest, ATestExecutableIsNotAnInstalledGame) { EXPECT_EQ(InstalledDataFolder(), ""); }

}  // namespace
}  // namespace dusk
