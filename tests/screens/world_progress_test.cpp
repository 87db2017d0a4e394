// Scoring a won level, the unlocks it earns and when the bonus levels and the bonus world open.
#include "screens/world_progress.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "state/progress.h"
#include "worlds/worlds_state.h"

namespace dusk {
namespace {

class WorldProgress : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWorlds();
    ResetProgress();
  }
  void TearDown() override {
    ResetWorlds();
    ResetProgress();
  }
  // A world of levels 0 to numlevels, each with 4 stars (36 points before moves) and high score 30.
  static world& AddWorld(int n, int numlevels, int unlock = 1) {
    gameworlds.worlds[n] = std::make_unique<world>();
    world& record = *gameworlds.worlds[n];
    record.numlevels = numlevels;
    record.unlock_next_upon_normal_completion = unlock;
    for (int k = 0; k <= numlevels; ++k) {
      record.levelstars[k] = 4;
      record.levelhighs[k] = 30;
    }
    gameworlds.numworlds = std::max(gameworlds.numworlds, n + 1);
    return record;
  }
  static void Perfect(int n) {
    for (int k = 0; k < kMaxLevels; ++k) progress.bestscore[n][k] = 30;
  }
};

TEST_F(WorldProgress, ScoreBestScoreAndReplay) {
  AddWorld(1, 8);
  struct win_case {
    int moves;
    int best_before;
    int score;
    int best_after;
    bool replay;
  };
  const win_case cases[] = {
      {6, 0, 30, 30, true},     // exactly the high score: kept as a replay
      {5, 0, 31, 31, true},     // better than the high score: kept too
      {10, 28, 26, 28, false},  // worse than the best: the best and its replay stay
      {8, 28, 28, 28, true},    // as good as the best: the later run is kept
      {40, 0, -4, 0, false},    // a skipped level's moves: no score to keep
  };
  for (const win_case& c : cases) {
    SCOPED_TRACE(c.moves);
    progress.bestscore[1][3] = c.best_before;
    const win_record won = RecordWin(1, 3, c.moves);
    EXPECT_EQ(won.score, c.score);
    EXPECT_EQ(progress.bestscore[1][3], c.best_after);
    EXPECT_EQ(won.write_replay, c.replay);
    EXPECT_EQ(progress.levelunlocked[1][4], 1);
    EXPECT_FALSE(won.next_world);
  }
}

TEST_F(WorldProgress, LastLevelOpensTheNextWorldWhenTheWorldSaysSo) {
  AddWorld(1, 5, 1);
  AddWorld(2, 5, 0);
  AddWorld(3, 5);
  EXPECT_TRUE(RecordWin(1, 5, 20).next_world);
  EXPECT_EQ(progress.worldunlocked[2], 1);
  EXPECT_EQ(progress.levelunlocked[2][6], 1);
  EXPECT_FALSE(RecordWin(2, 5, 20).next_world);
  EXPECT_EQ(progress.worldunlocked[3], 0);
}

TEST_F(WorldProgress, TheLastWorldAndLevelOpenNothingBeyondTheTables) {
  AddWorld(15, 15);
  progress.worldunlocked = {};
  EXPECT_EQ(RecordWin(15, 15, 20).score, 16);
  EXPECT_EQ(progress.bestscore[15][15], 16);
  // Nothing outside the tables was touched: every other entry is still 0.
  int unlocked = 0;
  for (const auto& row : progress.levelunlocked) {
    for (int flag : row) unlocked += flag;
  }
  EXPECT_EQ(unlocked, 0);
  EXPECT_EQ(RecordWin(16, 1, 5).score, 0);
  EXPECT_EQ(RecordWin(1, 16, 5).score, 0);
}

TEST_F(WorldProgress, CheckPerfectOpensBonusLevelsAndTheBonusWorld) {
  for (int n = 0; n < kMaxWorlds; ++n) AddWorld(n, 3);
  for (int n = 1; n < kMaxWorlds; ++n) Perfect(n);
  // World 4's bonus level misses its high score: its normal levels still open its bonus level, but the
  // bonus world stays shut.
  progress.bestscore[4][0] = 29;
  CheckPerfect();
  EXPECT_EQ(progress.levelunlocked[4][0], 1);
  EXPECT_EQ(progress.levelunlocked[7][0], 1);
  EXPECT_EQ(progress.levelunlocked[0][0], 0);
  EXPECT_EQ(progress.worldunlocked[0], 0);

  progress.bestscore[4][0] = 30;
  CheckPerfect();
  EXPECT_EQ(progress.worldunlocked[0], 1);
  EXPECT_EQ(progress.levelunlocked[0][1], 1);
}

TEST_F(WorldProgress, CheckPerfectNeedsEveryWorldFromOneToFifteen) {
  for (int n = 0; n < 15; ++n) {
    AddWorld(n, 3);
    Perfect(n);
  }
  CheckPerfect();
  EXPECT_EQ(progress.worldunlocked[0], 0);
  EXPECT_EQ(progress.levelunlocked[14][0], 1);
}

TEST_F(WorldProgress, CheckPerfectLeavesAWorldWithAMissedNormalLevelShut) {
  AddWorld(1, 3);
  Perfect(1);
  progress.bestscore[1][2] = 29;
  CheckPerfect();
  EXPECT_EQ(progress.levelunlocked[1][0], 0);
}

TEST_F(WorldProgress, WinningTheLastLevelRunsCheckPerfect) {
  AddWorld(1, 2);
  Perfect(1);
  progress.bestscore[1][2] = 0;
  RecordWin(1, 2, 6);
  EXPECT_EQ(progress.levelunlocked[1][0], 1);
}

}  // namespace
}  // namespace dusk
