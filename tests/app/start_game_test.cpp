// Start-up in a game folder of its own: the sample worlds up to the main menu, and game folders with
// something missing or damaged, each of which gets its message and otherwise plays on.
#include "app/start_game.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "display/display_config.h"
#include "display/display_state.h"
#include "files/error_report.h"
#include "persist/save.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/input_injection.h"
#include "platform/program.h"
#include "platform/window.h"
#include "screens/main_menu.h"
#include "state/progress.h"
#include "state/settings.h"
#include "tests/display/support/display_fixture.h"
#include "tests/platform/support/temp_folder.h"
#include "tests/worlds/support/working_folder.h"
#include "ui/audio_state.h"
#include "ui/front_state.h"
#include "worlds/compiler.h"
#include "worlds/worlds_state.h"

namespace dusk {
namespace {

namespace fs = std::filesystem;
using testing::ReadTestFile;
using testing::TestFileExists;
using testing::WriteTestFile;

const std::string kGameFolder = std::string(DUSK_SOURCE_DIR) + "/game";

// The worlds the test worlds' index lists: its "$" lines.
int SampleWorlds() {
  const std::vector<uint8_t> index = ReadTestFile(std::string(DUSK_FIXTURE_LEVELS) + "/_WORLDINDEX.txt");
  int count = 0;
  for (size_t i = 0; i < index.size(); ++i) {
    if (index[i] == '$' && (i == 0 || index[i - 1] == '\n')) ++count;
  }
  return count;
}

std::vector<uint8_t> Bytes(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

// A copy of the game folder: the display configuration with its pictures and the sample worlds' sources.
class StartGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ASSERT_TRUE(fs::exists(std::string(DUSK_FIXTURE_LEVELS) + "/_WORLDINDEX.txt"))
        << "the build converts the sample worlds";
    fs::copy(kGameFolder + "/graphics", "graphics", fs::copy_options::recursive);
    fs::copy(DUSK_FIXTURE_LEVELS, "levels", fs::copy_options::recursive);
    UseVirtualClock();
    SetErrorReporter([this](const std::string& title, const std::string& message) {
      reported_.push_back(title + " " + message);
    });
  }
  void TearDown() override {
    inject::SetFrameHook({});
    SetErrorReporter({});
    CloseRequested();
    CloseWindow();
    ResetAudioState();
    CloseAudio();
    ResetDisplay();
    ResetFrontState();
    ResetProgress();
    ResetSettings();
    ResetWorlds();
    ClearInput();
    UseRealClock();
  }

  // The worlds compiled once, and their sources taken away, so that start-up uses the files as they are.
  void CompileAndRemoveSources() {
    CompileWorlds(kWorldIndexName, nullptr);
    fs::remove_all("levels");
    ResetWorlds();
  }

  // Start-up as the game runs it, up to the main menu; then the menu is left with back.
  void StartAndLeaveMenu() {
    PrepareGame();
    OpenDisplay(kDisplayConfigFile, 1, kUseDefaultTitle);
    ASSERT_TRUE(WindowIsOpen());
    LoadGameData();
    inject::SetFrameHook([](int frame) {
      if (frame == 1) inject::KeyPress(key::kEscape);
      if (frame > 5) inject::RequestClose();
    });
    EXPECT_EQ(MainMenu(), 0);
    inject::SetFrameHook({});
    EXPECT_TRUE(TestFileExists("save.dat"));
  }

  testing::working_folder folder_;
  std::vector<std::string> reported_;
};

TEST_F(StartGameTest, TheSampleWorldsLoadAndEverythingIsOpen) {
  StartAndLeaveMenu();
  EXPECT_TRUE(reported_.empty());
  EXPECT_GE(SampleWorlds(), 2);
  EXPECT_EQ(gameworlds.numworlds, SampleWorlds());
  ASSERT_NE(gameworlds.worlds[0], nullptr);
  ASSERT_NE(gameworlds.worlds[1], nullptr);
  EXPECT_EQ(gameworlds.worldname[1], "Dusk Garden");
  EXPECT_GT(gameworlds.worlds[1]->levelstars[1], 0);
  EXPECT_EQ(progress.worldunlocked[0], 1);
  EXPECT_EQ(progress.levelunlocked[15][15], 1);
  ASSERT_FALSE(front.credits.empty());
  EXPECT_EQ(front.credits.front().name, "Game");
  EXPECT_GT(front.creditrows, 11);
  EXPECT_EQ(front.optionnames.size(), 9u);
  EXPECT_EQ(front.menu.tmapw, 20);
  EXPECT_EQ(front.hud.tmapw, 5);
  EXPECT_EQ(front.messagestrip.tmapw, 20);
  EXPECT_TRUE(fs::is_regular_file("leveldata/world 1/1w.wdt"));
}

TEST_F(StartGameTest, TheSaveFileComesBackOnTheNextStart) {
  StartAndLeaveMenu();
  TearDown();
  settings.brightness = 0;
  // A name and a setting written the first time are read back before the window opens.
  progress.playername = "Ada";
  settings.contrast = 36;
  progress.bestscore[1][2] = 17;
  ASSERT_TRUE(WriteSave(kSaveFile));
  ResetProgress();
  ResetSettings();
  PrepareGame();
  EXPECT_EQ(progress.playername, "Ada");
  EXPECT_EQ(settings.contrast, 36);
  EXPECT_EQ(progress.bestscore[1][2], 17);
}

TEST_F(StartGameTest, WithoutAWorldIndexTheCompiledWorldsAreUsedAsTheyAre) {
  CompileAndRemoveSources();
  WriteTestFile("leveldata/world 1/1-1.slv", ReadTestFile("leveldata/world 1/1-2.slv"));
  StartAndLeaveMenu();
  EXPECT_EQ(gameworlds.numworlds, SampleWorlds());
  EXPECT_EQ(gameworlds.worlds[1]->levelstars[1], gameworlds.worlds[1]->levelstars[2]);
}

TEST_F(StartGameTest, ADamagedWorldDataFileLeavesItsWorldOutQuietly) {
  CompileAndRemoveSources();
  for (const std::string& damage :
       {std::string(""), std::string("\x02\x40Garb", 6), std::string(400, '\xff')}) {
    WriteTestFile("leveldata/world 0/0w.wdt", Bytes(damage));
    StartAndLeaveMenu();
    EXPECT_TRUE(reported_.empty());
    // Every world data file carries the number of worlds, a damaged one too; it never passes 16.
    EXPECT_LE(gameworlds.numworlds, 16);
    ASSERT_NE(gameworlds.worlds[1], nullptr);
    EXPECT_EQ(gameworlds.worldname[1], "Dusk Garden");
    TearDown();
  }
}

TEST_F(StartGameTest, AMissingLevelFileCountsNoStarsQuietly) {
  CompileAndRemoveSources();
  fs::remove("leveldata/world 1/1-2.slv");
  StartAndLeaveMenu();
  EXPECT_TRUE(reported_.empty());
  ASSERT_NE(gameworlds.worlds[1], nullptr);
  EXPECT_EQ(gameworlds.worlds[1]->levelstars[2], 0);
  EXPECT_GT(gameworlds.worlds[1]->levelstars[3], 0);
}

TEST_F(StartGameTest, ADamagedLevelFileIsReportedAndTheGameGoesOn) {
  CompileAndRemoveSources();
  WriteTestFile("leveldata/world 1/1-2.slv", Bytes("QDTX not a screen"));
  StartAndLeaveMenu();
  EXPECT_EQ(reported_, std::vector<std::string>{"Error! Unrecognized file header!"});
  EXPECT_EQ(gameworlds.worlds[1]->levelstars[2], 0);
}

TEST_F(StartGameTest, ADamagedSaveFileIsKeptAsideAndTheGameStartsWithDefaults) {
  WriteTestFile("save.dat", Bytes("\x04kelv\x03"
                                  "Ada"));
  ::testing::internal::CaptureStderr();
  StartAndLeaveMenu();
  const std::string error = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(error.find("damaged"), std::string::npos) << error;
  EXPECT_EQ(ReadTestFile("save.dat.damaged"), Bytes("\x04kelv\x03"
                                                    "Ada"));
  EXPECT_EQ(progress.playername, "Wayfarer");
}

TEST_F(StartGameTest, ATamperedSaveFileEndsTheProgramWithItsMessage) {
  progress.bestscore[1][1] = 30;
  ASSERT_TRUE(WriteSave(kSaveFile));
  std::vector<uint8_t> bytes = ReadTestFile("save.dat");
  bytes[bytes.size() - 3] ^= 1;  // a best score's byte, the checksum left as it was
  WriteTestFile("save.dat", bytes);
  ResetProgress();
  EXPECT_EQ(testing::CatchFatalError([] { PrepareGame(); }), std::string(kTamperMessage));
}

TEST_F(StartGameTest, NoMusicListMeansNoMusic) {
  ASSERT_FALSE(fs::exists("music"));
  StartAndLeaveMenu();
  EXPECT_EQ(audio.menumusic, nullptr);
  EXPECT_EQ(audio.menuchannel, nullptr);
}

// ---- The whole program ----------------------------------------------------------------------------------

TEST_F(StartGameTest, TheProgramStartsAndReachesTheMenu) {
  EXPECT_EXIT(
      {
        setenv("DUSK_QUIT_AT_MENU", "1", 1);
        StartGame();
      },
      ::testing::ExitedWithCode(0), "^$");
}

TEST_F(StartGameTest, NoDisplayConfigurationEndsTheProgramWithItsMessage) {
  fs::remove("graphics/graphics.txt");
  EXPECT_EXIT(StartGame(), ::testing::ExitedWithCode(255), "^Failed to read graphics\\\\graphics.txt$");
  EXPECT_FALSE(TestFileExists("save.dat"));
}

TEST_F(StartGameTest, StartGameRunsOnce) {
  EXPECT_EXIT(
      {
        setenv("DUSK_QUIT_AT_MENU", "1", 1);
        // The first run ends the program at the menu; the frame hook proves the second call never got there.
        SetEndProgramHandlerForTesting([] { throw 1; });
        try {
          StartGame();
        } catch (int) {
        }
        SetEndProgramHandlerForTesting(nullptr);
        inject::SetFrameHook([](int) { std::exit(3); });
        std::exit(StartGame() == 0 ? 0 : 4);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace dusk
