// The world and level loop played through its real screens with scripted keys: levels started at once
// after a win, the cursors coming back to the last world and level, the next world opened, the save file
// written after every level, replays, and closing the window.
#include "screens/play_worlds.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/input_script.h"
#include "assets/embedded_files.h"
#include "display/display_state.h"
#include "display/draw.h"
#include "files/screen_file.h"
#include "persist/replay.h"
#include "persist/save.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/input_injection.h"
#include "platform/stream.h"
#include "platform/window.h"
#include "screens/level_select.h"
#include "screens/world_select.h"
#include "state/progress.h"
#include "state/settings.h"
#include "tests/display/support/display_fixture.h"
#include "tests/worlds/support/working_folder.h"
#include "ui/front_state.h"
#include "worlds/world_paths.h"
#include "worlds/worlds_state.h"

namespace dusk {
namespace {

using call = std::pair<int, int>;

class PlayWorldsLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    UseVirtualClock();
    RegisterEmbeddedFiles();
    ResetWorlds();
    ResetProgress();
    ResetSettings();
    ResetReplays();
    ClearInput();
    ASSERT_TRUE(testing::OpenGameDisplay(DUSK_SOURCE_DIR, 1));
    front.lselect = *Read("incbin::incbin\\lselect.qtm", 1);
    gameworlds.numworlds = 3;
    AddWorld(0, 3);
    AddWorld(1, 8);
    AddWorld(2, 3);
    MakeFolder("leveldata");
    for (int w = 0; w < 3; ++w) {
      progress.worldunlocked[w] = 1;
      for (int l = 0; l < kMaxLevels; ++l) progress.levelunlocked[w][l] = 1;
      MakeFolder(WorldFolder(w));
      MakeFolder(ReplayFolder(w));
    }
  }
  void TearDown() override {
    inject::SetFrameHook({});
    AllowVsync(true);
    CloseWindow();
    ResetDisplay();
    ResetFrontState();
    ClearInput();
    ResetWorlds();
    ResetProgress();
    ResetSettings();
    ResetReplays();
    UseRealClock();
  }
  // Levels 0 to numlevels of 4 stars each (36 points before moves) with high score 30.
  static void AddWorld(int n, int numlevels) {
    gameworlds.worlds[n] = std::make_unique<world>();
    gameworlds.worldname[n] = "World number " + std::to_string(n);
    world& record = *gameworlds.worlds[n];
    record.numlevels = numlevels;
    for (int k = 0; k <= numlevels; ++k) {
      record.levelname[k] = "Level " + std::to_string(k);
      record.levelstars[k] = 4;
      record.levelhighs[k] = 30;
      record.levelmoves[k] = 40;
    }
  }
  // Plays the loop with the script's keys; each level played answers the next of the results, as PlayLevel
  // would, and records a replay of that many steps.
  std::vector<call> Play(const std::string& script, std::vector<int> results) {
    parsed_script parsed = ParseInputScript(script);
    EXPECT_FALSE(parsed.error);
    StartInputScript(std::move(parsed.commands), true);
    std::vector<call> calls;
    size_t next = 0;
    PlayWorldsWith([&](int w, int l) {
      calls.emplace_back(w, l);
      const int result = next < results.size() ? results[next++] : 0;
      replays.currentreplay = replay{};
      for (int i = 0; i < result; ++i) replays.currentreplay.add(i % 4);
      return result;
    });
    inject::SetFrameHook({});
    return calls;
  }
  static progress_state SavedProgress() {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(kSaveFile, bytes));
    progress_state saved;
    settings_state options;
    EXPECT_EQ(DecodeSave(bytes, saved, options), save_status::loaded);
    return saved;
  }
  testing::working_folder folder_;
};

TEST_F(PlayWorldsLoop, AWinStartsTheNextLevelAndTheCursorsComeBackToIt) {
  const std::vector<call> calls = Play(
      "press Return\n"                          // world 1, where the cursor starts
      "press Down\npress Down\npress Return\n"  // level 3: won, then level 4 is left
      "press Return\npress Return\n"            // the cursors rest on world 1 and level 4: left again
      "press Escape\n",
      {6, 0, 0});
  EXPECT_EQ(calls, (std::vector<call>{{1, 3}, {1, 4}, {1, 4}}));
  EXPECT_EQ(progress.bestscore[1][3], 30);
  const progress_state saved = SavedProgress();
  EXPECT_EQ(saved.bestscore[1][3], 30);
  EXPECT_EQ(saved.levelunlocked[1][4], 1);
  // A score of exactly the high score keeps its replay.
  stream_ptr in = OpenRead(ReplayPath(1, 3));
  ASSERT_TRUE(in);
  const std::optional<replay> kept = replay::read(in.get());
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->maxindex, 6);
}

TEST_F(PlayWorldsLoop, TheStoredReplayIsTheBestRuns) {
  // Level 1 won in the given moves (four stars: 36 points less the moves) one run after another; run i
  // steps i + 1 every time, so the stored replay tells which run it is.
  const struct {
    const char* what;
    std::vector<int> moves;
    int kept;  // the run whose replay is stored
  } cases[] = {
      {"a better win after a worse one", {10, 6}, 1},
      {"a worse win after a better one", {6, 10}, 0},
      {"an equal score", {8, 8}, 1},
      {"better than the high score", {6, 5}, 1},
      {"a first win below zero, then a worse one", {40, 44}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    progress.bestscore[1][1] = 0;
    (void)RemoveFile(ReplayPath(1, 1));
    std::string script;
    for (size_t run = 0; run < c.moves.size(); ++run) {
      // The level list rests on level 2, the last one played, after the first run.
      script += run == 0 ? "press Return\npress Return\n" : "press Return\npress Up\npress Return\n";
    }
    parsed_script parsed = ParseInputScript(script + "press Escape\n");
    ASSERT_FALSE(parsed.error);
    StartInputScript(std::move(parsed.commands), true);
    size_t run = 0;
    PlayWorldsWith([&](int, int l) {
      if (l != 1 || run >= c.moves.size()) return 0;
      replays.currentreplay = replay{};
      for (int i = 0; i < c.moves[run]; ++i) replays.currentreplay.add(static_cast<int>(run) + 1);
      return c.moves[run++];
    });
    inject::SetFrameHook({});
    ASSERT_EQ(run, c.moves.size());
    const std::optional<replay> kept = LoadReplayFile(1, 1);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->maxindex, c.moves[static_cast<size_t>(c.kept)]);
    EXPECT_EQ(kept->get(0), c.kept + 1);
  }
}

TEST_F(PlayWorldsLoop, TheLastLevelOpensTheNextWorldAndMovesTheCursorsToItsFirstLevel) {
  progress.worldunlocked[2] = 0;
  const std::vector<call> calls = Play(
      "press Return\n"                      // world 1
      "press Up\npress Up\npress Return\n"  // from level 1 up to 0, then round to 8, the last: won
      "press Return\npress Return\n"        // the cursor is on world 2 now, and on its level 1: left
      "press Escape\n",
      {10, 0});
  EXPECT_EQ(calls, (std::vector<call>{{1, 8}, {2, 1}}));
  EXPECT_EQ(progress.worldunlocked[2], 1);
  EXPECT_EQ(SavedProgress().worldunlocked[2], 1);
}

TEST_F(PlayWorldsLoop, TheWorldCursorMovesOnOnlyAfterTheLastLevelWasPlayed) {
  const struct {
    const char* what;
    const char* level;  // keys in world 1's level select, from level 1
    call again;         // what the next Return, Return plays
  } cases[] = {
      {"the level before the last, left", "press Up\npress Up\npress Up\n", {1, 7}},
      {"the level before the last, won, then the last left", "press Up\npress Up\npress Up\n", {2, 1}},
      {"the last level, left", "press Up\npress Up\n", {2, 1}},
  };
  const std::vector<int> results[] = {{0, 0}, {10, 0, 0}, {0, 0}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].what);
    const std::string script = std::string("press Return\n") + cases[i].level +
                               "press Return\npress Return\npress Return\npress Escape\n";
    const std::vector<call> calls = Play(script, results[i]);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), cases[i].again);
  }
}

TEST_F(PlayWorldsLoop, ALevelThatCantBeBuiltCountsAsNotWon) {
  const std::vector<call> calls = Play("press Return\npress Return\npress Escape\n", {-1});
  EXPECT_EQ(calls, (std::vector<call>{{1, 1}}));
  EXPECT_EQ(progress.bestscore[1][1], 0);
  EXPECT_EQ(SavedProgress().bestscore[1][1], 0);
}

TEST_F(PlayWorldsLoop, BackFromTheLevelSelectReturnsToTheWorldSelect) {
  const std::vector<call> calls =
      Play("press Return\npress Left\npress Down\npress Right\npress Return\npress Escape\n", {0});
  EXPECT_EQ(calls, (std::vector<call>{{2, 1}}));
}

TEST_F(PlayWorldsLoop, ClosingTheWindowOnASelectScreenEndsWithoutSaving) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const char* script : {"wait 2\nclose\n", "press Return\nclose\n"}) {
    SCOPED_TRACE(script);
    EXPECT_EXIT(Play(script, {}), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(PathKind(kSaveFile), 0);
  }
}

}  // namespace
}  // namespace dusk

namespace dusk {
namespace {

const std::string kReferences = std::string(DUSK_SOURCE_DIR) + "/tests/screens/reference/";

// The two lists as the player sees them, on the "Level select" background.
// The frame a screen's own loop presented, kept when it was asked for before that frame.
testing::frame KeptFrame() {
  testing::frame kept;
  kept.rgb = TakePresentedFrame(kept.width, kept.height);
  for (uint32_t& p : kept.rgb) p &= 0x00FFFFFFu;
  return kept;
}

TEST_F(PlayWorldsLoop, VWithNoStoredReplaySaysSoOnTheBarForASecond) {
  std::map<int, testing::frame> kept;
  const std::set<int> wanted = {1, 2, 61, 62};
  KeepNextPresentedFrame();
  inject::SetFrameHook([&](int frame) {
    if (wanted.contains(frame)) kept[frame] = KeptFrame();
    if (wanted.contains(frame + 1)) KeepNextPresentedFrame();
    if (frame == 1) inject::KeyPress(key::kV);
    if (frame == 62) inject::KeyPress(key::kEscape);
  });
  EXPECT_EQ(LevelSelect(1, 1), -1);
  inject::SetFrameHook({});
  ASSERT_EQ(kept.size(), wanted.size());
  testing::ExpectFrameMatchesReference(kept[2], kReferences + "level_select_no_replay.png");
  // The notice stands for 60 frames, a second, and then the key's label is back.
  EXPECT_EQ(kept[61].rgb, kept[2].rgb);
  EXPECT_NE(kept[62].rgb, kept[61].rgb);
  EXPECT_EQ(kept[62].rgb, kept[1].rgb);
}

TEST_F(PlayWorldsLoop, ListPictures) {
  AddWorld(10, 12);
  gameworlds.worldname[10] = "The tenth world";
  gameworlds.numworlds = 11;
  progress.worldunlocked[10] = 1;
  for (int k = 0; k <= 3; ++k) progress.bestscore[2][k] = 30;
  select_screen worlds = BuildWorldList();
  PlaceSelectCursor(worlds, 2);
  tilemap cells = DrawSelect(worlds, SelectBackground());
  ClearScreen();
  Draw(cells, 0, 0);
  testing::ExpectFrameMatchesReference(kReferences + "world_select.png");

  for (int k = 0; k <= 12; ++k) progress.levelunlocked[10][k] = 1;
  progress.bestscore[10][11] = 30;
  progress.bestscore[10][10] = 20;  // won below the high score: the silver dot
  select_screen levels = BuildLevelList(10);
  PlaceSelectCursor(levels, 11);
  cells = DrawSelect(levels, SelectBackground());
  ClearScreen();
  Draw(cells, 0, 0);
  testing::ExpectFrameMatchesReference(kReferences + "level_select.png");
}

}  // namespace
}  // namespace dusk

namespace dusk {
namespace {

TEST_F(PlayWorldsLoop, AfterTheLastWorldTheCursorStaysOnIt) {
  // World 2 is the last: winning its last level leaves the cursor on it, not on world 0 at the top.
  const std::vector<call> calls = Play(
      "press Down\npress Return\n"                   // world 2
      "press Up\npress Up\npress Return\n"           // its last level, 3: won
      "press Return\npress Return\npress Escape\n",  // world 2 again, level 3 again: left
      {10, 0});
  EXPECT_EQ(calls, (std::vector<call>{{2, 3}, {2, 3}}));
}

}  // namespace
}  // namespace dusk
