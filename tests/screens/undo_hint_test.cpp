// Undo, hints and the replay viewer: undo gives back exactly the earlier level after every kind of rule,
// also from the lose screen; a hint is the first step of a shortest win; the viewer plays a replay to its
// win. Also undo through level play's own loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assets/embedded_files.h"
#include "persist/replay.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/window.h"
#include "puzzle/solver.h"
#include "screens/level_hint.h"
#include "screens/level_play.h"
#include "screens/level_session.h"
#include "screens/level_undo.h"
#include "screens/replay_viewer.h"
#include "state/progress.h"
#include "state/settings.h"
#include "tests/screens/play_fixture.h"
#include "tests/worlds/support/working_folder.h"
#include "ui/audio_state.h"
#include "ui/read_input.h"
#include "worlds/level_source.h"
#include "worlds/world_paths.h"
#include "worlds/worlds_state.h"

namespace dusk {
namespace {

using testing::SourceLevel;

// What undo must give back after a step.
struct snapshot {
  level lvl;
  int stars = 0;
  int moves = 0;
  int score = 0;
  int replaysteps = 0;
};

class Undo : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgress();
    ResetSettings();
    ResetReplays();
    testing::ApplySampleLooks(world_);
  }
  void TearDown() override {
    ResetProgress();
    ResetSettings();
    ResetReplays();
  }

  level_session Start(const level_source& source) {
    world_.levelmoves[1] = source.moves;
    return NewLevelSession(world_, 1, 1, BuildSourceLevel(source));
  }

  static void Frame(level_session& s, const play_input& in = {}) {
    BeginLevelFrame(s);
    (void)StepLevelFrame(s, in);
  }
  static play_input StepKeys(int step) {
    play_input in;
    if (step == kStepUp) in.up = 1;
    if (step == kStepDown) in.down = 1;
    if (step == kStepLeft) in.left = 1;
    if (step == kStepRight) in.right = 1;
    return in;
  }
  static snapshot Take(level_session& s) {
    BeginLevelFrame(s);  // brings the score up to date, as the next frame would
    return snapshot{s.levelrec, s.stars, s.moves, s.score, replays.currentreplay.maxindex};
  }
  static void ExpectSame(level_session& s, const snapshot& was) {
    EXPECT_TRUE(s.levelrec == was.lvl);
    EXPECT_EQ(s.stars, was.stars);
    EXPECT_EQ(s.moves, was.moves);
    EXPECT_EQ(s.score, was.score);
    EXPECT_EQ(replays.currentreplay.maxindex, was.replaysteps);
    EXPECT_EQ(s.state, level_phase::playing);
  }

  // Plays the steps (each must move the player), then takes them all back one at a time, checking the
  // level after every undo against the level as it stood before that step.
  void PlayAndUndoAll(level_session& s, const std::vector<int>& steps) {
    std::vector<snapshot> before;
    for (const int step : steps) {
      before.push_back(Take(s));
      Frame(s, StepKeys(step));
      ASSERT_EQ(s.moves, before.back().moves + 1) << "step " << before.size() << " did not move";
    }
    EXPECT_FALSE(s.levelrec == before.front().lvl);
    while (!before.empty()) {
      ASSERT_TRUE(UndoStep(s));
      BeginLevelFrame(s);
      SCOPED_TRACE("after undoing step " + std::to_string(before.size()));
      ExpectSame(s, before.back());
      before.pop_back();
    }
    EXPECT_FALSE(UndoStep(s)) << "nothing is left to take back at the start";
  }

  world world_;
};

TEST_F(Undo, GivesBackTheEarlierLevelAfterEveryKindOfRule) {
  struct rule_case {
    const char* name;
    std::vector<std::string> rows;
    std::vector<std::string> legend;
    std::vector<int> steps;
  };
  const std::vector<rule_case> cases = {
      {"a mover bouncing off a wall",
       {"#######", "#@....#", "#.....#", "#.L...#", "#....*#", "#*....#"},
       {},
       {kStepRight, kStepRight, kStepRight, kStepRight, kStepDown}},
      {"a timed gate opening and closing",
       {"########", "#@.G..*#", "#......#", "#*.....#"},
       {"G = gate closed 1 open 1 starts closed"},
       {kStepDown, kStepRight, kStepUp, kStepRight, kStepRight}},
      {"a switch toggling a door",
       {"#######", "#@!.+*#", "#.....#", "#*....#"},
       {},
       {kStepRight, kStepRight, kStepRight, kStepRight}},
      {"a teleport to another layer",
       {"######", "#@.A.#", "#....#", "#*...#"},
       {"A = teleporter send 1", "B = teleporter receive 1"},
       {kStepRight, kStepRight, kStepRight}},
      {"a clearing floor dissolving the trail",
       {"#######", "#@..~*#", "#.....#", "#*....#"},
       {},
       {kStepRight, kStepRight, kStepRight, kStepDown, kStepLeft}},
  };
  for (const rule_case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::vector<std::string>> layers = {c.rows};
    // The teleporter's partner waits on a second layer.
    if (!c.legend.empty() && c.legend.back().find("receive") != std::string::npos)
      layers.push_back({"######", "#B..*#", "#....#"});
    ResetReplays();
    level_session s = Start(SourceLevel(layers, 30, c.legend));
    PlayAndUndoAll(s, c.steps);
  }
}

TEST_F(Undo, TakesBackTheLosingStepDuringAndAfterTheLoseSlide) {
  // Three moves allowed and the star four cells away: the third step loses with "No more moves!".
  for (const int slideframes : {1, play::kSlideFrames + 5}) {
    SCOPED_TRACE(slideframes);
    ResetReplays();
    level_session s = Start(SourceLevel({{"#######", "#@...*#"}}, 3));
    Frame(s, StepKeys(kStepRight));
    Frame(s, StepKeys(kStepRight));
    const snapshot before = Take(s);
    Frame(s, StepKeys(kStepRight));
    ASSERT_EQ(s.state, level_phase::lost);
    EXPECT_EQ(s.message, kNoMoreMoves);
    for (int i = 0; i < slideframes; ++i) Frame(s);
    ASSERT_TRUE(UndoStep(s));
    BeginLevelFrame(s);
    ExpectSame(s, before);
    EXPECT_EQ(s.endtimer, 0);
    // And play goes on from there.
    Frame(s, StepKeys(kStepDown));
    EXPECT_EQ(s.state, level_phase::playing);
  }
}

TEST_F(Undo, TakesBackATrappingStepAndNothingOnceWon) {
  level_session trapped = Start(SourceLevel({{"####", "#@.#", "###*", "#*##"}}, 30));
  Frame(trapped, StepKeys(kStepRight));
  ASSERT_EQ(trapped.state, level_phase::lost);
  EXPECT_EQ(trapped.message, kTrapped);
  ASSERT_TRUE(UndoStep(trapped));
  EXPECT_EQ(trapped.state, level_phase::playing);
  EXPECT_EQ(trapped.moves, 0);

  ResetReplays();
  level_session won = Start(SourceLevel({{"####", "#@*#"}}, 30));
  Frame(won, StepKeys(kStepRight));
  ASSERT_EQ(won.state, level_phase::won);
  EXPECT_FALSE(CanUndo(won));
  EXPECT_FALSE(UndoStep(won));
  EXPECT_EQ(won.moves, 1);
}

// A frame that asks for a restart, and the next frame, which carries it out.
void RestartWith(level_session& s, const play_input& in) {
  BeginLevelFrame(s);
  (void)StepLevelFrame(s, in);
  ASSERT_TRUE(s.restart);
  BeginLevelFrame(s);
  (void)StepLevelFrame(s, {});
  ASSERT_EQ(s.moves, 0);
  ASSERT_EQ(replays.currentreplay.maxindex, 0);
}

play_input Again() {
  play_input in;
  in.again = 1;
  return in;
}

play_input Confirm() {
  play_input in;
  in.confirm = 1;
  return in;
}

std::vector<int> ReplaySteps() {
  std::vector<int> steps;
  for (int i = 0; i < replays.currentreplay.maxindex; ++i) steps.push_back(replays.currentreplay.get(i));
  return steps;
}

TEST_F(Undo, RightAfterARestartBringsBackThePositionItLeft) {
  // R, and Space or Enter (confirm) during play.
  for (const play_input& restart : {Again(), Confirm()}) {
    SCOPED_TRACE(restart.again != 0 ? "again" : "confirm");
    ResetReplays();
    level_session s = Start(SourceLevel({{"#######", "#@....#", "#.....#", "#...*.#", "#*....#"}}, 30));
    Frame(s, StepKeys(kStepRight));
    Frame(s, StepKeys(kStepDown));
    const snapshot two = Take(s);
    Frame(s, StepKeys(kStepRight));
    const snapshot three = Take(s);
    RestartWith(s, restart);

    ASSERT_TRUE(CanUndo(s));
    ASSERT_TRUE(UndoStep(s));
    BeginLevelFrame(s);
    ExpectSame(s, three);
    EXPECT_EQ(ReplaySteps(), (std::vector<int>{kStepRight, kStepDown, kStepRight}));
    // Further undos step back from there.
    ASSERT_TRUE(UndoStep(s));
    BeginLevelFrame(s);
    ExpectSame(s, two);
    EXPECT_EQ(ReplaySteps(), (std::vector<int>{kStepRight, kStepDown}));
  }
}

TEST_F(Undo, ARestartFromTheLoseScreenIsUndoneToTheLostPosition) {
  level_session s = Start(SourceLevel({{"#######", "#@...*#"}}, 2));
  Frame(s, StepKeys(kStepRight));
  const snapshot one = Take(s);
  Frame(s, StepKeys(kStepRight));
  ASSERT_EQ(s.state, level_phase::lost);
  for (int i = 0; i < play::kSlideFrames; ++i) Frame(s);
  RestartWith(s, Confirm());

  ASSERT_TRUE(UndoStep(s));
  BeginLevelFrame(s);
  EXPECT_EQ(s.state, level_phase::lost);
  EXPECT_EQ(s.message, kNoMoreMoves);
  EXPECT_EQ(s.moves, 2);
  EXPECT_EQ(ReplaySteps(), (std::vector<int>{kStepRight, kStepRight}));
  // From the lose screen undo takes back the losing step, as always.
  ASSERT_TRUE(UndoStep(s));
  BeginLevelFrame(s);
  ExpectSame(s, one);
}

TEST_F(Undo, RestartsAreUndoneOneAfterAnotherLikeSteps) {
  level_session s = Start(SourceLevel({{"#######", "#@....#", "#.....#", "#*...*#"}}, 30));
  Frame(s, StepKeys(kStepRight));
  const snapshot first = Take(s);
  RestartWith(s, Again());
  Frame(s, StepKeys(kStepDown));
  Frame(s, StepKeys(kStepDown));
  const snapshot second = Take(s);
  RestartWith(s, Again());
  // A restart with no step since the last leaves nothing new to bring back.
  RestartWith(s, Again());

  ASSERT_TRUE(UndoStep(s));
  BeginLevelFrame(s);
  ExpectSame(s, second);
  // Undoing the steps after a restart comes back to the start, and then to the position before it.
  ASSERT_TRUE(UndoStep(s));
  ASSERT_TRUE(UndoStep(s));
  BeginLevelFrame(s);
  EXPECT_EQ(s.moves, 0);
  ASSERT_TRUE(UndoStep(s));
  BeginLevelFrame(s);
  ExpectSame(s, first);
  ASSERT_TRUE(UndoStep(s));
  EXPECT_FALSE(UndoStep(s)) << "nothing is left before the first step";
}

// Levels of the fixed test worlds the hint is checked on; each is small enough to solve in a moment.
const char* const kHintLevels[] = {"dusk-garden/backstage.level",      "dusk-garden/first-light.level",
                                   "dusk-garden/one-way-street.level", "dusk-garden/keys.level",
                                   "dusk-garden/portals.level",        "dusk-garden/blink.level",
                                   "night-market/shuttle.level",       "night-market/sweep.level",
                                   "night-market/turnstile.level",     "night-market/upstairs.level"};

solver_limits Generous() {
  solver_limits limits;
  limits.max_seconds = 60;
  return limits;
}

// The length of a shortest win from a position, or -1 when there is none.
int ShortestWin(const level& at, int starstaken, int movesleft) {
  level from = at;
  from.totalstars -= starstaken;
  const solve_result result = Solve(from, movesleft, Generous());
  EXPECT_NE(result.status, solve_status::gave_up);
  EXPECT_NE(result.status, solve_status::best_found);
  return result.status == solve_status::solved ? result.moves : -1;
}

TEST(Hint, IsTheFirstStepOfAShortestWinAlongTheWay) {
  for (const char* name : kHintLevels) {
    SCOPED_TRACE(name);
    source_error error;
    const auto source = ReadLevelSource(std::string(DUSK_FIXTURE_WORLDS) + "/" + name, error);
    ASSERT_TRUE(source) << error.text();
    level at = BuildSourceLevel(*source);
    int stars = 0;
    int moves = 0;
    const int best = ShortestWin(at, 0, source->moves);
    ASSERT_GT(best, 0);
    // From the start and from the first positions along the hinted line, stars taken included.
    for (int k = 0; k < 3 && moves < best; ++k) {
      const hint_answer hinted = FindHint(at, stars, source->moves - moves, Generous());
      ASSERT_EQ(hinted.what, hint_answer::kind::step);
      const turn_result turn = PlayTurn(at, hinted.step);
      ASSERT_EQ(turn.moved, 1);
      stars += turn.stars;
      moves += 1;
      EXPECT_EQ(ShortestWin(at, stars, source->moves - moves), best - moves) << "after hint " << k + 1;
    }
  }
}

TEST(Hint, SaysWhenNoWinIsLeftOrTheBudgetRunsOut) {
  const level far = BuildSourceLevel(SourceLevel({{"#########", "#@.....*#"}}, 30));
  EXPECT_EQ(FindHint(far, 0, 3, Generous()).what, hint_answer::kind::no_win);
  EXPECT_EQ(FindHint(far, 0, 6, Generous()).step, kStepRight);

  solver_limits none;
  none.max_seconds = 0;
  none.max_states = 1;
  const level wide = BuildSourceLevel(SourceLevel(
      {{"###############", "#@............#", "#.............#", "#.............#", "#.............#",
        "#.............#", "#......*......#", "#.............#", "#.............#", "#.............#",
        "#.............#", "#.............#", "#*...........*#"}},
      200));
  EXPECT_EQ(FindHint(wide, 0, 200, none).what, hint_answer::kind::no_hint);
}

class HintInPlay : public Undo {};

TEST_F(HintInPlay, BlinksTheTargetCellOrShowsItsMessage) {
  level_session s = Start(SourceLevel({{"#########", "#@.....*#"}}, 30));
  hint_state hints;
  RequestHint(hints, s);
  PollHint(hints, s, true);
  ASSERT_EQ(s.playfield.tplist.size(), 1u);
  EXPECT_EQ(static_cast<int>(s.playfield.tplist.front().x), 2);
  EXPECT_EQ(static_cast<int>(s.playfield.tplist.front().y), 1);
  EXPECT_EQ(s.playfield.tplist.front().life, hint::kBlinkFrames);

  // Five moves but six cells: the message strip says so while the level is played.
  ResetReplays();
  level_session lost = Start(SourceLevel({{"#########", "#@.....*#"}}, 5));
  hint_state nowin;
  RequestHint(nowin, lost);
  PollHint(nowin, lost, true);
  EXPECT_TRUE(lost.playfield.tplist.empty());
  frame_picture picture;
  AddHintPicture(picture, nowin, lost);
  ASSERT_EQ(picture.count, 1);
  // Two rows, as the message is wider than the screen.
  std::string text;
  for (int y = 0; y < nowin.strip.tmaph; ++y) {
    std::string row;
    for (int x = 0; x < nowin.strip.tmapw; ++x) row += static_cast<char>(nowin.strip.at(0, x, y));
    const size_t first = row.find_first_not_of('\xff');
    const size_t last = row.find_last_not_of('\xff');
    if (first != std::string::npos) text += (text.empty() ? "" : " ") + row.substr(first, last - first + 1);
  }
  EXPECT_EQ(text, kNoWayToWin);

  // A step away from the position it speaks of takes the message away.
  Frame(lost, StepKeys(kStepRight));
  frame_picture after;
  AddHintPicture(after, nowin, lost);
  EXPECT_EQ(after.count, 0);
}

TEST_F(HintInPlay, AnAnswerForAPositionLeftSinceIsDropped) {
  level_session s = Start(SourceLevel({{"#########", "#@.....*#", "#.......#"}}, 30));
  hint_state hints;
  RequestHint(hints, s);
  Frame(s, StepKeys(kStepDown));
  PollHint(hints, s, true);
  EXPECT_FALSE(hints.job);
  EXPECT_TRUE(s.playfield.tplist.empty());
}

class LoopWithUndo : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterEmbeddedFiles();
    OpenWindow(20, 15, "undo");
  }
  static void TearDownTestSuite() { CloseWindow(); }
  void SetUp() override {
    UseVirtualClock();
    Reset();
    world_ = &testing::MakeWorld(1);
  }
  void TearDown() override {
    inject::SetFrameHook({});
    Reset();
    UseRealClock();
  }
  static void Reset() {
    ResetWorlds();
    ResetProgress();
    ResetSettings();
    ResetReplays();
    ResetHeldCounters();
    ResetAudioState();
    ClearInput();
  }
  testing::working_folder folder_;
  world* world_ = nullptr;
};

TEST_F(LoopWithUndo, BackspaceAndZTakeBackStepsAndTheWinCountsItsMoves) {
  testing::WriteLevel(*world_, 1, 1, SourceLevel({{"#####", "#@.*#", "#...#", "#...#"}}, 10));
  for (const int undokey : {key::kBackspace, key::kZ}) {
    SCOPED_TRACE(undokey);
    ResetReplays();
    testing::key_script script;
    int f = script.Step(3, kStepDown);
    f = script.Step(f, kStepDown);
    script.Press(f, undokey);
    script.Press(f + 2, undokey);
    f = script.Step(f + 4, kStepRight);
    f = script.Step(f, kStepRight);
    script.PressFrom(f + 60, key::kSpace);
    script.Run();
    EXPECT_EQ(PlayLevel(1, 1), 2);
    EXPECT_EQ(replays.currentreplay.maxindex, 2);
    EXPECT_EQ(replays.currentreplay.get(0), kStepRight);
  }
}

TEST_F(LoopWithUndo, UndoAfterARestartKeyPlaysOnFromThePositionBefore) {
  testing::WriteLevel(*world_, 1, 1, SourceLevel({{"#####", "#@.*#", "#...#", "#...#"}}, 10));
  for (const int restartkey : {key::kR, key::kSpace, key::kEnter}) {
    SCOPED_TRACE(restartkey);
    ResetReplays();
    testing::key_script script;
    int f = script.Step(3, kStepRight);
    script.Press(f, restartkey);
    script.Press(f + 3, key::kBackspace);
    f = script.Step(f + 5, kStepRight);
    script.PressFrom(f + 60, key::kSpace);
    script.Run();
    // The win counts the step taken before the restart.
    EXPECT_EQ(PlayLevel(1, 1), 2);
    EXPECT_EQ(replays.currentreplay.maxindex, 2);
  }
}

TEST_F(LoopWithUndo, TheViewerPlaysAStoredReplayToItsWin) {
  const level_source source = SourceLevel({{"######", "#@..*#", "#....#", "#*...#"}}, 20);
  testing::WriteLevel(*world_, 1, 1, source);
  const solve_result solved = Solve(BuildSourceLevel(source), source.moves);
  ASSERT_EQ(solved.status, solve_status::solved);
  replay recording;
  for (const uint8_t step : solved.steps) recording.add(step);
  replays.currentreplay.add(kStepUp);  // the last level's replay, which the viewer must leave alone
  const replay kept = replays.currentreplay;

  std::optional<replay_viewer> viewer = StartReplayViewer(1, 1, recording);
  ASSERT_TRUE(viewer);
  int frames = 0;
  while (viewer->session.state == level_phase::playing && frames < 1000) {
    BeginViewerFrame(*viewer);
    StepViewerFrame(*viewer);
    ++frames;
  }
  EXPECT_EQ(viewer->session.state, level_phase::won);
  EXPECT_EQ(viewer->session.moves, solved.moves);
  EXPECT_EQ(frames, solved.moves * kViewerStepFrames);
  EXPECT_EQ(replays.currentreplay.maxindex, kept.maxindex);
  EXPECT_EQ(replays.currentreplay.data, kept.data);

  // Through the file and the viewer's own loop: it runs until a key is hit.
  MakeFolder(ReplayFolder(1));
  ASSERT_TRUE(SaveReplayFile(recording, 1, 1));
  testing::key_script script;
  script.Press(solved.moves * kViewerStepFrames + 80, 88 /* X */);
  script.Run();
  EXPECT_TRUE(ViewReplay(1, 1));
  EXPECT_GE(script.frames(), solved.moves * kViewerStepFrames + 80);
  EXPECT_FALSE(ViewReplay(1, 2)) << "no replay file";
}

}  // namespace
}  // namespace dusk
