// Level play's frame logic without a window: end tests, figures and their colours, the banner's travel, the
// win and lose strips, the hidden names, sounds and results, frame by frame.
#include "screens/level_session.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "persist/replay.h"
#include "platform/random.h"
#include "puzzle/kinds.h"
#include "screens/level_picture.h"
#include "screens/level_play.h"
#include "state/progress.h"
#include "state/settings.h"
#include "tests/screens/play_fixture.h"
#include "worlds/build_level.h"

namespace dusk {
namespace {

using testing::SourceLevel;

struct frame_result {
  play_outcome outcome;
  frame_picture picture;
};

class LevelSession : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgress();
    ResetSettings();
    ResetReplays();
    testing::ApplySampleLooks(world_);
    world_.levelname[1] = "Lantern Row";
    world_.levelhighs[1] = 12;
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
  level_session Start(const std::vector<std::string>& rows, int moves = 30,
                      const std::vector<std::string>& legend = {}) {
    return Start(SourceLevel({rows}, moves, legend));
  }

  // One whole frame as the loop runs it, without drawing.
  frame_result Frame(level_session& s, const play_input& in = {}) {
    frame_result r;
    BeginLevelFrame(s);
    r.picture = LevelFramePicture(s, screens_);
    r.outcome = StepLevelFrame(s, in);
    return r;
  }
  frame_result Step(level_session& s, int step) {
    play_input in;
    if (step == kStepUp) in.up = 1;
    if (step == kStepDown) in.down = 1;
    if (step == kStepLeft) in.left = 1;
    if (step == kStepRight) in.right = 1;
    return Frame(s, in);
  }
  static play_input Keys(int confirm, int back, int again = 0, int skip = 0, int help = 0) {
    play_input in;
    in.confirm = confirm;
    in.back = back;
    in.again = again;
    in.skip = skip;
    in.help = help;
    return in;
  }

  world world_;
  front_state screens_;
};

// A corridor: three steps right reach the one star.
const std::vector<std::string> kCorridor = {"#####", "#@..*", "#####"};
// A side pocket below the start: stepping into it walls the player in with its own trail.
const std::vector<std::string> kPocket = {"#####", "#@..*", "#.###", "#####"};

std::vector<std::string> Sounds(const play_outcome& out) {
  std::vector<std::string> names;
  for (int i = 0; i < out.soundcount; ++i) {
    switch (out.sounds[static_cast<size_t>(i)]) {
      case sound_effect::bip:
        names.push_back("bip");
        break;
      case sound_effect::slide:
        names.push_back("slide");
        break;
      case sound_effect::sweep:
        names.push_back("sweep");
        break;
      case sound_effect::whip:
        names.push_back("whip");
        break;
      case sound_effect::phase:
        names.push_back("phase");
        break;
    }
  }
  return names;
}

int Glyph(const tilemap& grid, int x, int y) {
  return grid.at(0, x, y);
}
int Fg(const tilemap& grid, int x, int y) {
  return grid.at(1, x, y);
}
int Bg(const tilemap& grid, int x, int y) {
  return grid.at(2, x, y);
}
// The text of one row of a grid, empty cells as blanks.
std::string Row(const tilemap& grid, int y, int x0 = 0, int w = -1) {
  std::string text;
  const int end = w < 0 ? grid.tmapw : x0 + w;
  for (int x = x0; x < end; ++x)
    text += Glyph(grid, x, y) == kNoValue ? ' ' : static_cast<char>(Glyph(grid, x, y));
  return text;
}

TEST_F(LevelSession, EndTestsInTheirOrder) {
  struct end_case {
    const char* what;
    std::vector<std::string> rows;
    int moves;
    std::vector<int> steps;
    level_phase state;
    const char* message;
  };
  const end_case cases[] = {
      {"the last allowed move takes the last star", kCorridor, 3, {3, 3, 3}, level_phase::won, ""},
      {"the allowance runs out", kCorridor, 2, {3, 3}, level_phase::lost, kNoMoreMoves},
      {"the player walls itself in", kPocket, 9, {1}, level_phase::lost, kTrapped},
      {"still playing", kCorridor, 9, {3, 3}, level_phase::playing, ""},
  };
  for (const end_case& c : cases) {
    SCOPED_TRACE(c.what);
    level_session s = Start(c.rows, c.moves);
    for (int step : c.steps) Step(s, step);
    EXPECT_EQ(s.state, c.state);
    EXPECT_EQ(s.message, c.message);
    EXPECT_EQ(s.moves, static_cast<int>(c.steps.size()));
  }
}

TEST_F(LevelSession, NoStarsWinsAndNoAllowanceLosesInTheFirstFrame) {
  level_source starless = SourceLevel({kCorridor}, 5);
  tilemap image = LevelImage(starless);
  image.SetTile(4, 1, ' ', 0, 0, 1);  // the star's cell becomes floor
  std::optional<level> built = BuildLevelFromImage(image);
  ASSERT_TRUE(built);
  ASSERT_EQ(built->totalstars, 0);
  world_.levelmoves[1] = 5;
  level_session s = NewLevelSession(world_, 1, 1, *built);
  Frame(s);
  EXPECT_EQ(s.state, level_phase::won);
  for (int i = 0; i < play::kSlideFrames; ++i) EXPECT_FALSE(Frame(s, Keys(1, 0)).outcome.result);
  EXPECT_EQ(Frame(s, Keys(1, 0)).outcome.result, 0);

  level_session none = Start(kCorridor, 5);
  world_.levelmoves[1] = 0;
  Frame(none);
  EXPECT_EQ(none.state, level_phase::lost);
  EXPECT_EQ(none.message, kNoMoreMoves);
}

TEST_F(LevelSession, StepsRecordTheReplayAndPlayTheirSounds) {
  level_session s = Start({"######", "#.*..#", "#.@*.#", "#....#", "######"}, 30);
  EXPECT_EQ(Sounds(Step(s, kStepRight).outcome), (std::vector<std::string>{"sweep", "whip"}));
  // The star burst: four particles from the player's new cell.
  ASSERT_EQ(s.playfield.tplist.size(), 4u);
  for (const tparticle& p : s.playfield.tplist) {
    EXPECT_EQ(static_cast<int>(p.x), 3);
    EXPECT_EQ(static_cast<int>(p.y), 2);
    EXPECT_EQ(p.life, 16);
    EXPECT_EQ(p.character, world_.tilec[kind::starburst]);
  }
  EXPECT_EQ(Sounds(Step(s, kStepDown).outcome), (std::vector<std::string>{"whip"}));
  EXPECT_EQ(Sounds(Step(s, kStepDown).outcome), std::vector<std::string>{}) << "held back by the wall";
  Step(s, kStepLeft);
  Step(s, kStepLeft);
  Step(s, kStepUp);
  EXPECT_EQ(s.moves, 5);
  EXPECT_EQ(s.stars, 1);
  const replay& r = replays.currentreplay;
  ASSERT_EQ(r.maxindex, 5);
  const int expected[] = {kStepRight, kStepDown, kStepLeft, kStepLeft, kStepUp};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(r.get(i), expected[i]) << i;
}

TEST_F(LevelSession, TeleportPlaysPhaseBetweenSweepAndWhipAndBurstsOnTheLandingLayer) {
  settings.teleporteffect = 7;
  level_session s = Start(SourceLevel({{"#####", "#@A.#", "#####"}, {"#####", "#.B*#", "#####"}}, 9,
                                      {"A = teleporter send 1", "B = teleporter receive 1"}));
  const frame_result r = Step(s, kStepRight);
  EXPECT_EQ(Sounds(r.outcome), (std::vector<std::string>{"phase", "whip"}));
  EXPECT_EQ(s.playerlayer(), 1);
  EXPECT_GT(s.playfield.tplist.size(), 100u);
  for (const tparticle& p : s.playfield.tplist) {
    EXPECT_GE(static_cast<int>(p.y), 15);
    EXPECT_LT(static_cast<int>(p.y), 30);
  }
  // The frame showed the layer the player stood on before the step; the next shows the new one.
  EXPECT_EQ(r.picture.Find(&s.playfield)->vy, 0);
  EXPECT_EQ(Frame(s).picture.Find(&s.playfield)->vy, 15);
}

TEST_F(LevelSession, RestartStartsOverButKeepsTheBlink) {
  level_session s = Start(kCorridor, 11);
  for (int i = 0; i < 2; ++i) Step(s, kStepRight);
  Frame(s);  // 9 left: blinking from here
  Frame(s, Keys(0, 0, 1));
  EXPECT_TRUE(s.restart);
  EXPECT_EQ(s.moves, 2) << "the level starts over at the next frame";
  const int blink = s.blink;
  EXPECT_NE(blink, 0);
  s.playfield.AddParticle(1, 1, 0, 0, 0, 99, 1, 1, 1);
  BeginLevelFrame(s);
  EXPECT_FALSE(s.restart);
  EXPECT_EQ(s.moves, 0);
  EXPECT_EQ(s.stars, 0);
  EXPECT_EQ(s.banner, 0);
  EXPECT_TRUE(s.playfield.tplist.empty());
  EXPECT_EQ(replays.currentreplay.maxindex, 0);
  EXPECT_EQ(s.levelrec, s.start);
  EXPECT_EQ(s.blink, blink) << "11 left: the counter stands still";
}

TEST_F(LevelSession, WinScreenTakesConfirmOnlyAfterItsSlide) {
  level_session s = Start(kCorridor, 9);
  for (int i = 0; i < 3; ++i) Step(s, kStepRight);
  ASSERT_EQ(s.state, level_phase::won);
  std::vector<int> positions;
  for (int frame = 1; frame <= play::kSlideFrames; ++frame) {
    const frame_result r = Frame(s, Keys(1, 1, 1));
    EXPECT_FALSE(r.outcome.result) << frame;
    EXPECT_FALSE(s.restart) << frame;
    ASSERT_NE(r.picture.Find(&s.messagestrip), nullptr);
    positions.push_back(r.picture.Find(&s.messagestrip)->sx);
    EXPECT_NE(r.picture.Find(&s.playfield), nullptr) << "the frozen level under the slide";
  }
  EXPECT_EQ(positions.front(), 49);
  EXPECT_EQ(positions.back(), 0);
  // Back is not honoured; R restarts; confirm returns the moves.
  frame_result r = Frame(s, Keys(0, 1));
  EXPECT_FALSE(r.outcome.result);
  EXPECT_EQ(r.picture.Find(&s.playfield), nullptr);
  EXPECT_EQ(Row(s.messagestrip, 0), "Moves:3      Score:6");
  EXPECT_EQ(Fg(s.messagestrip, 0, 0), play::kEndStripColor);
  EXPECT_EQ(Bg(s.messagestrip, 0, 0), play::kStripBackground);
  EXPECT_EQ(Frame(s, Keys(1, 0)).outcome.result, 3);
  Frame(s, Keys(0, 0, 1));
  EXPECT_TRUE(s.restart);
}

TEST_F(LevelSession, WinStripShowsANegativeScoreWithItsSign) {
  tilemap strip = tilemap::Create(20, 1);
  WriteWinStrip(strip, 14, -5);
  EXPECT_EQ(Row(strip, 0), "Moves:14    Score:-5");
  EXPECT_EQ(Glyph(strip, 8, 0), kNoValue);
}

TEST_F(LevelSession, LoseScreenRestartsOrSkips) {
  struct lose_case {
    const char* what;
    int skipping;
    play_input in;
    int frame;  // frames after losing
    std::optional<int> result;
    bool restart;
  };
  const lose_case cases[] = {
      {"Ctrl skips during the slide", 1, Keys(0, 0, 0, 1), 1, 9 + 5, false},
      {"Ctrl skips after the slide", 1, Keys(0, 0, 0, 1), 60, 9 + 5, false},
      {"no skip without level skipping", 0, Keys(0, 0, 0, 1), 60, std::nullopt, false},
      {"back is ignored", 1, Keys(0, 1), 60, std::nullopt, false},
      {"R restarts after the slide", 1, Keys(0, 0, 1), 60, std::nullopt, true},
      {"confirm restarts after the slide", 1, Keys(1, 0), 60, std::nullopt, true},
      {"confirm waits for the slide", 1, Keys(1, 0), 10, std::nullopt, false},
  };
  for (const lose_case& c : cases) {
    SCOPED_TRACE(c.what);
    settings.levelskipping = c.skipping;
    level_session s = Start(kPocket, 9);
    Step(s, kStepDown);
    ASSERT_EQ(s.state, level_phase::lost);
    for (int i = 1; i < c.frame; ++i) Frame(s);
    const frame_result r = Frame(s, c.in);
    EXPECT_EQ(r.outcome.result, c.result);
    EXPECT_EQ(s.restart, c.restart);
    EXPECT_EQ(r.picture.Find(&s.skipstrip) != nullptr, c.skipping != 0);
  }
}

TEST_F(LevelSession, LoseStripsCentreTheirMessage) {
  tilemap strip = tilemap::Create(20, 1);
  WriteLoseStrip(strip, kTrapped);
  EXPECT_EQ(Row(strip, 0), "      Trapped!      ");
  EXPECT_EQ(Fg(strip, 6, 0), play::kLoseMessageColor);
  EXPECT_EQ(Bg(strip, 6, 0), play::kStripBackground);
  WriteLoseStrip(strip, kNoMoreMoves);
  EXPECT_EQ(Row(strip, 0), "   No more moves!   ");
  level_session s = Start(kCorridor, 9);
  EXPECT_EQ(Row(s.skipstrip, 0), " [ctrl] skips level ");
  EXPECT_EQ(Fg(s.skipstrip, 1, 0), play::kSkipStripColor);
  EXPECT_EQ(Bg(s.skipstrip, 1, 0), play::kStripBackground);
}

TEST_F(LevelSession, BannerSlidesInStaysAndSlidesOutOnTheFirstKey) {
  level_session s = Start(kCorridor, 9);
  std::vector<int> shown;
  auto banner_at = [&](const frame_result& r) {
    const frame_draw* d = r.picture.Find(&s.messagestrip);
    return d == nullptr ? 999 : d->sx;
  };
  for (int frame = 0; frame < 14; ++frame) shown.push_back(banner_at(Frame(s)));
  EXPECT_EQ(shown, (std::vector<int>{-20, -18, -16, -14, -12, -10, -8, -6, -4, -2, 0, 0, 0, 0}));
  EXPECT_EQ(Row(s.messagestrip, 0), "         Lantern Row");
  EXPECT_EQ(Fg(s.messagestrip, 19, 0), play::kFigureColor);
  EXPECT_EQ(Bg(s.messagestrip, 19, 0), play::kFigureBackground);
  shown.clear();
  shown.push_back(banner_at(Step(s, kStepRight)));
  for (int frame = 0; frame < 11; ++frame) shown.push_back(banner_at(Frame(s)));
  EXPECT_EQ(shown, (std::vector<int>{0, 1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 999}));
  // Any key sends it out while it slides in too, and a restart brings it back.
  Frame(s, Keys(0, 0, 1));
  EXPECT_EQ(banner_at(Frame(s)), -20);
  EXPECT_EQ(banner_at(Frame(s, Keys(0, 0, 0, 0, 1))), -18);
  EXPECT_EQ(banner_at(Frame(s, Keys(0, 0, 0, 0, 1))), 999) << "the help screen";
  EXPECT_EQ(banner_at(Frame(s)), 1) << "F1 counted as a key";
}

TEST_F(LevelSession, HelpTogglesFromTheNextFrame) {
  level_session s = Start(kCorridor, 9);
  const frame_result first = Frame(s, Keys(0, 0, 0, 0, 1));
  EXPECT_EQ(s.state, level_phase::help);
  EXPECT_NE(first.picture.Find(&s.playfield), nullptr) << "the frame of the key is still a playing frame";
  const frame_result help = Frame(s, Keys(1, 0));
  EXPECT_EQ(help.picture.count, 0) << "no help screen loaded: nothing else is drawn";
  EXPECT_EQ(s.state, level_phase::help);
  EXPECT_FALSE(s.restart);
  Frame(s, Keys(0, 1));
  EXPECT_EQ(s.state, level_phase::playing);
  Frame(s, Keys(0, 0, 0, 0, 1));
  Frame(s, Keys(0, 0, 0, 0, 1));
  EXPECT_EQ(s.state, level_phase::playing);
  EXPECT_EQ(Frame(s, Keys(0, 1)).outcome.result, 0) << "back leaves the level";
}

// The figures over the hud, in the numbers grid: moves left on row 3, the score on row 6, the best on 9.
TEST_F(LevelSession, FiguresAndTheirColours) {
  level_session s = Start(kCorridor, 13);
  EXPECT_EQ(Row(s.numbers, 0), "1 1");
  EXPECT_EQ(Fg(s.numbers, 0, 0), 0);
  EXPECT_EQ(Bg(s.numbers, 0, 0), 20);
  Frame(s);
  EXPECT_EQ(Row(s.numbers, 3), " 13");
  EXPECT_EQ(Row(s.numbers, 6), "  0");
  EXPECT_EQ(Row(s.numbers, 9), " 12");
  EXPECT_EQ(Fg(s.numbers, 2, 9), 0) << "the level's high score";
  EXPECT_EQ(Row(s.numbers, 4), "   ");

  // Moves taken: the score goes negative and shows its absolute value in the warning colour.
  for (int i = 0; i < 2; ++i) Step(s, kStepRight);
  Frame(s);
  EXPECT_EQ(Row(s.numbers, 3), " 11");
  EXPECT_EQ(Row(s.numbers, 6), "  2");
  EXPECT_EQ(Fg(s.numbers, 2, 6), play::kWarningColor);
  EXPECT_EQ(Fg(s.numbers, 2, 3), 0);
  EXPECT_EQ(s.blink, 0);

  // The player's own best shows when it beats the level's.
  progress.bestscore[1][1] = 15;
  Frame(s);
  EXPECT_EQ(Row(s.numbers, 9), " 15");
  EXPECT_EQ(Fg(s.numbers, 2, 9), play::kPlayerBestColor);
  progress.bestscore[1][1] = 12;
  Frame(s);
  EXPECT_EQ(Fg(s.numbers, 2, 9), 0) << "a tie is the level's";
}

TEST_F(LevelSession, FewMovesLeftBlinkTwelveFramesLitTwelveDark) {
  level_session s = Start({"#######", "#@....#", "#.....#", "#....*#", "#######"}, 11);
  Frame(s);
  EXPECT_EQ(s.blink, 0) << "11 left: no blink";
  Step(s, kStepRight);  // the step's frame still shows 11
  std::string colours;
  for (int frame = 1; frame <= 40; ++frame) {
    Frame(s);
    colours += Fg(s.numbers, 2, 3) == play::kWarningColor ? 'X' : '.';
    EXPECT_EQ(Row(s.numbers, 3), " 10");
  }
  EXPECT_EQ(colours, "." + std::string(12, 'X') + std::string(12, '.') + std::string(12, 'X') + "...");
}

TEST_F(LevelSession, HiddenNames) {
  {
    SCOPED_TRACE("MINTY leaves no trail");
    progress.playername = "MINTY";
    level_session s = Start(kCorridor, 9);
    Step(s, kStepRight);
    EXPECT_EQ(s.levelrec.obj(1, 1, 0), nullptr);
    Step(s, kStepLeft);
    EXPECT_EQ(s.moves, 2);
  }
  {
    SCOPED_TRACE("anyone else leaves a block");
    progress.playername = "Minty";
    level_session s = Start(kCorridor, 9);
    Step(s, kStepRight);
    ASSERT_NE(s.levelrec.obj(1, 1, 0), nullptr);
    EXPECT_EQ(s.levelrec.obj(1, 1, 0)->id, kind::block);
  }
  {
    SCOPED_TRACE("GHOSTWAY walks through walls but is trapped by the usual rules");
    progress.playername = "GHOSTWAY";
    level_session s = Start({"#####", "#@#*#", "#####"}, 9);
    Frame(s);
    EXPECT_EQ(s.state, level_phase::lost);
    EXPECT_EQ(s.message, kTrapped);
    level_session t = Start({"#####", "#@#*#", "#.###", "#####"}, 9);
    Step(t, kStepRight);
    Step(t, kStepRight);
    EXPECT_EQ(t.state, level_phase::won);
  }
  {
    SCOPED_TRACE("OKAPI sees stars as glyph 20");
    progress.playername = "OKAPI";
    level_session s = Start(kCorridor, 9);
    EXPECT_EQ(Glyph(s.playfield, 4, 1), 20);
    EXPECT_EQ(Fg(s.playfield, 4, 1), world_.tilef[kind::star]);
    progress.playername = "okapi";
    level_session t = Start(kCorridor, 9);
    EXPECT_EQ(Glyph(t.playfield, 4, 1), world_.tilec[kind::star]);
  }
  {
    SCOPED_TRACE("BRAMBL drifts the world's colours, and the drift stays");
    progress.playername = "BRAMBL";
    const world before = world_;
    level_session s = Start(kCorridor, 9);
    SeedRandom(1);
    for (int i = 0; i < 20; ++i) Frame(s);
    int changed = 0;
    for (int k = 0; k < 256; ++k) {
      EXPECT_EQ(world_.tilec[k], before.tilec[k]);
      changed += (world_.tilef[k] != before.tilef[k]) + (world_.tileb[k] != before.tileb[k]);
      EXPECT_LT(world_.tilef[k] == before.tilef[k] ? 0 : world_.tilef[k], 64);
      EXPECT_LT(world_.tileb[k] == before.tileb[k] ? 0 : world_.tileb[k], 64);
    }
    EXPECT_GT(changed, 5);
    Frame(s, Keys(0, 0, 1));
    const world drifted = world_;
    progress.playername = "Wayfarer";
    Frame(s);
    EXPECT_EQ(world_.tilef, drifted.tilef) << "a restart keeps the drift";
  }
}

}  // namespace
}  // namespace dusk
