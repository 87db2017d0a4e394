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

}  // namespace
}  // namespace dusk
