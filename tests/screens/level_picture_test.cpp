// Reference pictures of level play in the game's glyphs, colours and screens, compared pixel for pixel with
// tests/screens/reference (DUSK_UPDATE_REFERENCES=1 redraws them on purpose): the level with its name banner,
// the help screen, the win and lose screens after their slide, and the teleport burst.
#include "screens/level_picture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assets/embedded_files.h"
#include "display/display_state.h"
#include "files/screen_file.h"
#include "persist/replay.h"
#include "platform/window.h"
#include "screens/level_session.h"
#include "state/progress.h"
#include "state/settings.h"
#include "tests/display/support/display_fixture.h"
#include "tests/screens/play_fixture.h"

namespace dusk {
namespace {

const std::string kReferences = std::string(DUSK_SOURCE_DIR) + "/tests/screens/reference/";

// A room with most kinds in it, a dead end below the start, and a teleporter beside the start that leads
// to a second layer.
level_source PictureLevel(int moves) {
  return testing::SourceLevel(
      {{"###############", "#@A...*..#....#", "#.###.##.#.*..#", "###*..#..!..+.#", "#.#####.##..'.#",
        "#.............#", "#=====.._____.#", "#.>..<.^.v..*.#", "#..o....L.....#", "#....U.....G..#",
        "#...~~~.......#"},
       {"###############", "#.B...*.......#", "#.....%%%%....#", "#..&&&...*....#"}},
      moves, {"A = teleporter send 1", "B = teleporter receive 1", "G = gate closed 2 open 2 starts closed"});
}

class LevelPicture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterEmbeddedFiles();
    for (auto [screen, name] : {std::pair{&front.hud, "hud"},
                                {&front.help, "help"},
                                {&front.winner, "winner"},
                                {&front.loser, "loser"}}) {
      std::optional<tilemap> read = Read(std::string("incbin::incbin\\") + name + ".qtm", 0);
      ASSERT_TRUE(read) << name;
      *screen = std::move(*read);
    }
  }
  static void TearDownTestSuite() { ResetFrontState(); }
  void SetUp() override {
    ResetProgress();
    ResetSettings();
    ResetReplays();
    ASSERT_TRUE(testing::OpenGameDisplay(DUSK_SOURCE_DIR, 1));
    testing::ApplySampleLooks(world_);
    world_.levelname[3] = "Lantern Row";
    world_.levelhighs[3] = 40;
  }
  void TearDown() override {
    CloseWindow();
    ResetDisplay();
    ResetProgress();
    ResetSettings();
    ResetReplays();
  }

  level_session Start(int moves) {
    const level_source source = PictureLevel(moves);
    world_.levelmoves[3] = moves;
    return NewLevelSession(world_, 2, 3, BuildSourceLevel(source));
  }
  // One frame as the loop runs it, drawn; with check, the picture is compared before the frame's step.
  play_outcome Frame(level_session& s, const play_input& in = {}, const std::string& check = {}) {
    BeginLevelFrame(s);
    DrawPicture(LevelFramePicture(s, front));
    if (!check.empty()) testing::ExpectFrameMatchesReference(kReferences + check);
    return StepLevelFrame(s, in);
  }
  static play_input Key(int play_input::*which) {
    play_input in;
    in.*which = 1;
    return in;
  }

  world world_;
};

TEST_F(LevelPicture, BannerIn) {
  level_session s = Start(30);
  for (int frame = 1; frame < 11; ++frame) Frame(s);
  Frame(s, {}, "banner.png");
}

TEST_F(LevelPicture, Help) {
  level_session s = Start(30);
  Frame(s, Key(&play_input::help));
  Frame(s, {}, "help.png");
}

TEST_F(LevelPicture, WonAfterTheSlide) {
  level_session s = Start(30);
  // A level whose stars are all taken: the win comes with the first frame.
  s.levelrec.totalstars = 0;
  s.start.totalstars = 0;
  for (int frame = 0; frame < 51; ++frame) Frame(s);
  Frame(s, {}, "won.png");
}

TEST_F(LevelPicture, TrappedWithTheSkipStrip) {
  level_session s = Start(30);
  progress.bestscore[2][3] = 44;
  Frame(s, Key(&play_input::down));  // into the dead end below the start
  ASSERT_EQ(s.state, level_phase::lost);
  ASSERT_EQ(s.message, kTrapped);
  for (int frame = 0; frame < 50; ++frame) Frame(s);
  Frame(s, {}, "trapped.png");
}

TEST_F(LevelPicture, TeleportBurst) {
  settings.teleporteffect = 3;
  level_session s = Start(8);
  play_input right = Key(&play_input::right);
  right.clock_ms = 4242;
  Frame(s, right);
  ASSERT_EQ(s.playerlayer(), 1);
  Frame(s);
  Frame(s, {}, "teleport.png");
}

// Pieces drawn by their state, in levels made to show each kind, at their start and a few steps in. The rooms
// start on the fifth row, clear of the banner and the note.
struct state_picture {
  const char* name;
  std::vector<std::vector<std::string>> layers;
  std::vector<std::string> legend;
  std::string steps;  // 'l', 'r', 'u', 'd'
};

void PrintTo(const state_picture& p, std::ostream* out) {
  *out << p.name;
}

class StatePicture : public LevelPicture, public ::testing::WithParamInterface<state_picture> {};

TEST_P(StatePicture, AtTheStartAndAFewStepsIn) {
  const state_picture& p = GetParam();
  testing::ApplySampleLooks(world_, true);
  world_.levelnote[3] = "Watch which way each one will turn.";
  const level_source source = testing::SourceLevel(p.layers, 40, p.legend);
  world_.levelmoves[3] = source.moves;
  level_session s = NewLevelSession(world_, 2, 3, BuildSourceLevel(source));
  // The banner and the note stand in full after ten frames.
  for (int frame = 1; frame < 11; ++frame) Frame(s);
  Frame(s, {}, std::string(p.name) + "_start.png");
  for (const char step : p.steps) {
    Frame(s, Key(step == 'l' ? &play_input::left : step == 'r' ? &play_input::right
                 : step == 'u'  ? &play_input::up : &play_input::down));
  }
  // Long enough for the banner to leave and the teleport burst to fade.
  for (int frame = 0; frame < 40; ++frame) Frame(s);
  Frame(s, {}, std::string(p.name) + "_steps.png");
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StatePicture,
    ::testing::Values(
        state_picture{"turners",
                      {{"###############", "###############", "###############", "###############", "#*...........*#", "#.E.......a...#", "#......@......#", "#.....###.....#",
                        "#.W.......N...#", "#*...........*#"}},
                      {"a = turner down anticlockwise"},
                      "rrd"},
        state_picture{"gates",
                      {{"###############", "###############", "###############", "###############", "#*..#....#...*#", "#...G....H....#", "#.@.#....#....#", "#...I....J....#",
                        "#*..#....#...*#"}},
                      {"G = gate closed 2 open 1 starts closed", "H = gate closed 0 open 3 starts open",
                       "I = gate closed 4 open 0 starts closed", "J = gate closed 9 open 9 starts closed"},
                      "rdl"},
        state_picture{"pads",
                      {{"###############", "###############", "###############", "###############", "#*...........*#", "#.A...B...S.T.#", "#......@......#", "#.1...2...3...#",
                        "#*..X........*#"}},
                      {"A = teleporter send 1 receive 2", "B = teleporter send 2 receive 1", "S = teleporter send 3",
                       "T = teleporter receive 3", "1 = teleporter send 4 receive 6", "2 = teleporter send 5 receive 4",
                       "3 = teleporter send 6 receive 5", "X = teleporter receive 9"},
                      "ul"},
        state_picture{"keys",
                      {{"###############", "###############", "###############", "###############", "#*.....#.....*#", "#.!...+'..a...#", "#......@......#", "#..b...c..'...#",
                        "#*.....#.....*#"}},
                      {"a = switch 2", "b = door 2 closed", "c = door 2 open"},
                      "lllllu"},
        state_picture{"layers",
                      {{"###############", "###############", "###############", "###############", "#*....#......*#", "#..@..A.......#", "#*....#......*#"},
                       {"###############", "###############", "###############", "###############", "#......*.....*#", "#.....B.C.....#", "#*............#"},
                       {"###############", "###############", "###############", "###############", "#*...........*#", "#.......D.....#", "#*............#"}},
                      {"A = teleporter send 1", "B = teleporter receive 1", "C = teleporter send 2",
                       "D = teleporter receive 2"},
                      "rrr"}),
    [](const ::testing::TestParamInfo<state_picture>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace dusk
