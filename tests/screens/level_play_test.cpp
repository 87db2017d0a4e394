// PlayLevel run as the game runs it, key by key through its own loop on the virtual clock: every sample level
// won with its solver solution, results of leaving, skipping and restarting, and levels that can't be had.
// Also the level drawing and the teleport burst.
#include "screens/level_play.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "assets/embedded_files.h"
#include "persist/replay.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/window.h"
#include "puzzle/kinds.h"
#include "screens/level_session.h"
#include "state/progress.h"
#include "state/settings.h"
#include "tests/platform/support/ogg_fixture.h"
#include "tests/platform/support/temp_folder.h"
#include "tests/screens/play_fixture.h"
#include "tests/worlds/support/working_folder.h"
#include "ui/audio_state.h"
#include "ui/read_input.h"
#include "worlds/level_convert.h"
#include "worlds/worlds_state.h"

namespace dusk {
namespace {

using testing::key_script;
using testing::SourceLevel;

void ResetAll() {
  ResetWorlds();
  ResetProgress();
  ResetSettings();
  ResetReplays();
  ResetHeldCounters();
  ResetAudioState();
  ClearInput();
}

class PlayLevelLoop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterEmbeddedFiles();
    // A window of one pixel a cell: the loop presents its frames, the pictures are another test's.
    OpenWindow(20, 15, "level play");
  }
  static void TearDownTestSuite() { CloseWindow(); }
  void SetUp() override {
    UseVirtualClock();
    ResetAll();
    world_ = &testing::MakeWorld(1);
  }
  void TearDown() override {
    inject::SetFrameHook({});
    ResetAll();
    UseRealClock();
  }

  void Level(int l, const std::vector<std::string>& rows, int moves) {
    testing::WriteLevel(*world_, 1, l, SourceLevel({rows}, moves));
  }
  // Plays level l of world 1 with the script; the frames it took are in script.frames().
  int Play(key_script& script, int l = 1) {
    script.Run();
    return PlayLevel(1, l);
  }

  testing::working_folder folder_;
  world* world_ = nullptr;
};

const std::vector<std::string> kCorridor = {"#####", "#@..*", "#####"};
const std::vector<std::string> kPocket = {"#####", "#@..*", "#.###", "#####"};

void ExpectReplay(const std::vector<uint8_t>& steps) {
  const replay& r = replays.currentreplay;
  ASSERT_EQ(r.maxindex, static_cast<int>(steps.size()));
  for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(r.get(static_cast<int>(i)), steps[i]) << "step " << i;
}

TEST_F(PlayLevelLoop, WinConfirmedReturnsTheMoves) {
  Level(1, kCorridor, 5);
  key_script script;
  const int after = script.Steps(1, {3, 3, 3});
  script.PressFrom(after, key::kSpace);
  EXPECT_EQ(Play(script), 3);
  ExpectReplay({3, 3, 3});
  // The slide takes 50 frames before confirm is taken.
  EXPECT_EQ(script.frames(), after + 49);
}

TEST_F(PlayLevelLoop, RestartDuringPlayStartsANewReplay) {
  for (const int key : {key::kR, key::kSpace, key::kEnter}) {
    SCOPED_TRACE(key);
    Level(1, kCorridor, 5);
    key_script script;
    int frame = script.Steps(1, {3, 3});
    script.Press(frame, key);
    frame = script.Steps(frame + 2, {3, 3, 3});
    script.PressFrom(frame, key::kEnter);
    EXPECT_EQ(Play(script), 3);
    ExpectReplay({3, 3, 3});
  }
}

TEST_F(PlayLevelLoop, BackLeavesThePlayingLevelOnly) {
  Level(1, kCorridor, 5);
  {
    key_script script;
    script.Press(3, key::kEscape);
    EXPECT_EQ(Play(script), 0);
    EXPECT_EQ(script.frames(), 3);
  }
  {
    // On the win screen back does nothing; confirm still returns.
    key_script script;
    const int after = script.Steps(1, {3, 3, 3});
    script.PressFrom(after, key::kEscape);
    script.Press(after + 70, key::kSpace);
    EXPECT_EQ(Play(script), 3);
    EXPECT_EQ(script.frames(), after + 70);
  }
}

TEST_F(PlayLevelLoop, LostLevelIsSkippedOnlyWithLevelSkipping) {
  Level(1, kPocket, 9);
  {
    key_script script;
    const int after = script.Steps(1, {1});
    script.PressFrom(after, key::kEscape);     // ignored on the lose screen
    script.Press(after + 3, key::kRightCtrl);  // taken during the slide
    EXPECT_EQ(Play(script), 9 + 5);
  }
  {
    settings.levelskipping = 0;
    key_script script;
    const int after = script.Steps(1, {1});
    script.Press(after + 3, key::kLeftCtrl);
    script.Press(after + 60, key::kLeftCtrl);
    // Then the only way on is a restart (R), and back from the playing level.
    script.Press(after + 62, key::kR);
    script.Press(after + 65, key::kEscape);
    EXPECT_EQ(Play(script), 0);
    EXPECT_EQ(script.frames(), after + 65);
  }
}

TEST_F(PlayLevelLoop, LoseScreenRestartsWithConfirmOrR) {
  Level(1, kPocket, 9);
  for (const int key : {key::kSpace, key::kR}) {
    SCOPED_TRACE(key);
    key_script script;
    int frame = script.Steps(1, {1});
    script.Press(frame + 55, key);
    frame = script.Steps(frame + 57, {3, 3, 3});
    script.PressFrom(frame, key::kEnter);
    EXPECT_EQ(Play(script), 3);
    ExpectReplay({3, 3, 3});
  }
}

TEST_F(PlayLevelLoop, LevelsThatCantBeHadReturnMinusOne) {
  Level(1, kCorridor, 5);
  key_script script(10);
  script.Run();
  EXPECT_EQ(PlayLevel(1, 2), -1) << "no level file";
  EXPECT_EQ(PlayLevel(2, 1), -1) << "no world";
  EXPECT_EQ(PlayLevel(-1, 1), -1);
  EXPECT_EQ(PlayLevel(16, 1), -1);
  EXPECT_EQ(PlayLevel(1, 16), -1);
  EXPECT_EQ(PlayLevel(1, -1), -1);
  // A level image without a player start builds no level.
  tilemap image = LevelImage(SourceLevel({kCorridor}, 5));
  image.SetTile(1, 1, ' ', 0, 0, 1);
  testing::WriteLevelImage(*world_, 1, 3, image, "No one", 5);
  EXPECT_EQ(PlayLevel(1, 3), -1);
  EXPECT_EQ(script.frames(), 0);
}

TEST_F(PlayLevelLoop, FramesLastTwentyMilliseconds) {
  Level(1, kCorridor, 5);
  const int start = ClockMs();
  key_script script;
  script.Press(100, key::kEscape);
  EXPECT_EQ(Play(script), 0);
  EXPECT_EQ(ClockMs() - start, 100 * 20);
}

// A long corridor whose star can't be reached: holds of a key are counted in steps, and the level goes on.
const std::vector<std::string> kLongCorridor = {"###############", "#@............#", "#############*#"};

TEST_F(PlayLevelLoop, AnOrdinaryPressIsOneStepAndALongHoldRepeats) {
  // Frames last 20 ms: the first repeat waits 15 frames (300 ms), then one every 7.
  const struct {
    int held_ms;
    int steps;
  } cases[] = {{20, 1}, {60, 1}, {150, 1}, {200, 1}, {280, 1}, {300, 1}, {320, 2}, {1000, 6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.held_ms) + " ms");
    ResetReplays();
    Level(1, kLongCorridor, 40);
    key_script script;
    script.Down(1, key::kRight);
    script.Up(1 + c.held_ms / play::kFrameMs, key::kRight);
    script.Press(3 + c.held_ms / play::kFrameMs, key::kEscape);
    EXPECT_EQ(Play(script), 0);
    EXPECT_EQ(replays.currentreplay.maxindex, c.steps);
  }
}

TEST_F(PlayLevelLoop, TapsBetweenTwoFramesAreEachOneStep) {
  Level(1, {"###############", "#@............#", "#.............#", "#############*#"}, 40);
  key_script script;
  // Ten quick taps and then taps of other directions, all between two frames.
  script.At(1, [] {
    for (int i = 0; i < 10; ++i) inject::KeyPress(key::kRight);
    for (const int key : {key::kDown, key::kLeft, key::kA}) inject::KeyPress(key);
  });
  script.Press(20, key::kEscape);
  EXPECT_EQ(Play(script), 0);
  ExpectReplay({3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 1, 2, 2});
}

// The mute key in a level stops the world's track and cues it again (silent) when music comes back on; the
// effects of a step sound only with sound on.
TEST_F(PlayLevelLoop, MuteKeyStopsTheWorldTrack) {
  ASSERT_TRUE(OpenAudio());
  const std::vector<uint8_t> track = testing::EncodeSweep(44100, 1, 44100);
  testing::WriteTestFile("track.ogg", track);
  audio.worldmusic[1] = LoadStreamedSound("track.ogg", 1);
  ASSERT_NE(audio.worldmusic[1], nullptr);
  audio.worldchannel[1] = CueSound(audio.worldmusic[1]);
  Level(1, kCorridor, 5);
  std::vector<int> playing;
  std::vector<channel_ptr> channels;
  key_script script;
  auto look = [&] {
    playing.push_back(ChannelPlaying(audio.worldchannel[1]));
    channels.push_back(audio.worldchannel[1]);
  };
  script.At(1, look);
  script.Press(1, key::kM);
  script.At(2, look);
  script.Press(2, key::kM);
  script.At(3, look);
  script.Press(3, key::kEscape);
  EXPECT_EQ(Play(script), 0);
  EXPECT_EQ(playing, (std::vector<int>{1, 0, 0}));
  EXPECT_EQ(channels[0], channels[1]) << "stopped";
  EXPECT_NE(channels[1], channels[2]) << "cued again for the next level";
  EXPECT_EQ(settings.musicon, 1);
  CloseAudio();
}

TEST_F(PlayLevelLoop, CloseRequestEndsTheProgramAtOnce) {
  Level(1, kCorridor, 5);
  // The window and the audio device run threads, so the check runs in a fresh process of its own.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        key_script script;
        script.At(2, [] { inject::RequestClose(); });
        script.Run();
        PlayLevel(1, 1);
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "");
}

// Every level of the worlds in a sources folder, converted as the build converts them, won with a solution
// found by the solver and pressed key by key: the win confirmed returns the solution's moves and the replay
// holds its steps. The level files are written straight into "leveldata" (the world compiler has its own
// tests), so the cost stays with the solver and the frames played. Returns the levels played and counts
// the levels of the folder in levels.
int PlayEveryLevel(const std::string& sources, const convert_options& budget, int& levels,
                   std::vector<std::string>* unproven = nullptr) {
  ResetWorlds();
  const conversion result = ConvertWorlds(sources, budget);
  int played = 0;
  levels = 0;
  for (size_t w = 0; w < result.worlds.size() && w < kMaxWorlds; ++w) {
    const converted_world& source = result.worlds[w];
    world& rec = testing::MakeWorld(static_cast<int>(w));
    for (const world_look& look : source.world.looks) {
      rec.tilec[look.kind] = look.glyph;
      rec.tilef[look.kind] = look.fg;
      rec.tileb[look.kind] = look.bg;
    }
    for (size_t l = 0; l < source.levels.size() && l < kMaxLevels; ++l) {
      const converted_level& lv = source.levels[l];
      SCOPED_TRACE(lv.source);
      ++levels;
      if (unproven != nullptr && lv.solution.status != solve_status::solved) unproven->push_back(lv.source);
      if (lv.solution.steps.empty()) continue;  // no solution within the budget
      testing::WriteLevelImage(rec, static_cast<int>(w), static_cast<int>(l), lv.image, lv.parsed.name,
                               lv.parsed.moves);
      key_script script;
      const int after = script.Steps(1, lv.solution.steps);
      script.PressFrom(after, key::kSpace);
      script.Run();
      EXPECT_EQ(PlayLevel(static_cast<int>(w), static_cast<int>(l)), lv.solution.moves);
      ExpectReplay(lv.solution.steps);
      ++played;
    }
  }
  return played;
}

TEST_F(PlayLevelLoop, TestWorldsAreWonWithTheirSolutions) {
  convert_options budget;
  budget.max_seconds = 5;
  int levels = 0;
  EXPECT_EQ(PlayEveryLevel(DUSK_FIXTURE_WORLDS, budget, levels), levels);
  EXPECT_GE(levels, 10);
}

// The campaign in worlds/: every level is proven (its shortest solution found within the converter's state
// budget) and that solution, pressed key by key, wins it through level play at its best score.
TEST_F(PlayLevelLoop, CampaignWorldsAreWonWithTheirProvenSolutions) {
  convert_options budget;
  budget.threads = 2;
  // Bounded by the state budget alone, as the build converts the campaign: proven on any machine.
  budget.max_seconds = 1e6;
  int levels = 0;
  std::vector<std::string> unproven;
  const int played = PlayEveryLevel(std::string(DUSK_SOURCE_DIR) + "/worlds", budget, levels, &unproven);
  EXPECT_GE(levels, 10);
  EXPECT_EQ(played, levels) << "every campaign level has a solution";
  EXPECT_EQ(unproven, std::vector<std::string>{}) << "levels whose solution is not proven shortest";
}

class LevelDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAll();
    for (int k = 0; k < 256; ++k) {
      world_.tilec[k] = static_cast<uint8_t>(k);
      world_.tilef[k] = static_cast<uint8_t>(k / 2);
      world_.tileb[k] = static_cast<uint8_t>((k + 100) % 255);
    }
  }
  void TearDown() override { ResetAll(); }
  world world_;
};

TEST_F(LevelDrawing, DrawsGroundObjectsByStateAndPiecesInListOrder) {
  level lvl = level::New();
  lvl.depth = 2;
  lvl.setmap(1, 1, 0, kind::wall);
  lvl.setmap(2, 1, 0, kind::onewayleft);
  lvl.setobj(3, 1, 0, tile::Create(kind::star, 3, 1, 0, 0, 0, 0));
  lvl.setobj(4, 1, 0, tile::Create(kind::door, 4, 1, 0, 1, 1, 0));       // closed
  lvl.setobj(5, 1, 0, tile::Create(kind::door, 5, 1, 0, 1, 0, 0));       // open
  lvl.setobj(6, 1, 0, tile::Create(kind::timedgate, 6, 1, 0, 2, 2, 1));  // closed
  lvl.setobj(7, 1, 0, tile::Create(kind::timedgate, 7, 1, 0, 2, 2, 0));  // open
  lvl.setmap(8, 1, 0, kind::wall);
  lvl.setobj(8, 1, 0, tile::Create(kind::block, 8, 1, 0, 0, 0, 0));  // the object wins over the ground
  lvl.setmap(2, 3, 1, kind::wallthirdlook);
  lvl.addobj(tile::Create(kind::horizontalmover, 9, 1, 0, 0, 0, 0));
  lvl.addobj(tile::Create(kind::dissolvingtrail, 10, 1, 0, 1, 0, 0));  // turns into a particle
  lvl.addobj(tile::Create(kind::dissolvingtrail, 11, 1, 0, 0, 0, 0));  // stays
  lvl.addobj(tile::Create(kind::verticalmover, 9, 1, 0, 0, 0, 0));     // later pieces win a cell
  lvl.addplayer(tile::Create(kind::player, 2, 2, 1, 0, 0, 0));

  tilemap grid = tilemap::Create(15, 30);
  grid.Fill(7, 7, 7, 1);
  DrawLevel(grid, world_, lvl);
  auto look = [&](int x, int y) {
    return std::vector<int>{grid.at(0, x, y), grid.at(1, x, y), grid.at(2, x, y)};
  };
  auto of = [&](int k) { return std::vector<int>{world_.tilec[k], world_.tilef[k], world_.tileb[k]}; };
  EXPECT_EQ(look(0, 0), of(0));
  EXPECT_EQ(look(1, 1), of(kind::wall));
  EXPECT_EQ(look(2, 1), of(kind::onewayleft));
  EXPECT_EQ(look(3, 1), of(kind::star));
  EXPECT_EQ(look(4, 1), of(kind::door));
  EXPECT_EQ(look(5, 1), of(kind::opendoor));
  EXPECT_EQ(look(6, 1), of(kind::timedgate));
  EXPECT_EQ(look(7, 1), of(kind::opentimedgate));
  EXPECT_EQ(look(8, 1), of(kind::block));
  EXPECT_EQ(look(9, 1), of(kind::verticalmover));
  EXPECT_EQ(look(10, 1), of(0)) << "the dissolved piece left its cell to the floor";
  EXPECT_EQ(look(11, 1), of(kind::dissolvingtrail));
  EXPECT_EQ(look(2, 18), of(kind::wallthirdlook));
  EXPECT_EQ(look(2, 17), of(kind::player));
  EXPECT_EQ(look(0, 29), of(0));
  ASSERT_EQ(grid.tplist.size(), 1u);
  const tparticle& p = grid.tplist.front();
  EXPECT_EQ(static_cast<int>(p.x), 10);
  EXPECT_EQ(static_cast<int>(p.y), 1);
  EXPECT_EQ(p.life, 24);
  EXPECT_EQ(p.blinkrate, 6);
  EXPECT_EQ(p.xv, 0);
  EXPECT_EQ(std::vector<int>({p.character, p.color, p.bgcolor}), of(kind::dissolvingtrail));
  EXPECT_EQ(lvl.objs().size(), 4u);

  // Values of 255 in a look leave what the grid held.
  world_.tilef[0] = 255;
  grid.Fill(7, 7, 7, 1);
  DrawLevel(grid, world_, lvl);
  EXPECT_EQ(grid.at(1, 0, 0), 7);
  EXPECT_EQ(grid.at(0, 0, 0), 0);
}

TEST_F(LevelDrawing, TeleportBurstDensityFollowsTheOption) {
  tilemap grid = tilemap::Create(15, 45);
  struct density_case {
    int effect;
    int expected;  // particles in 15 x 15 cells: 225 × chance
  };
  for (const density_case c :
       {density_case{1, 225 * 9 / 25}, density_case{3, 225 * 27 / 39}, density_case{7, 225 * 63 / 67}}) {
    SCOPED_TRACE(c.effect);
    settings.teleporteffect = c.effect;
    grid.ClearParticles();
    TeleportBurst(grid, 1, play::kTeleportLow, play::kTeleportHigh, 12345);
    const int count = static_cast<int>(grid.tplist.size());
    EXPECT_NEAR(count, c.expected, 30);
    for (const tparticle& p : grid.tplist) {
      EXPECT_GE(static_cast<int>(p.y), 15);
      EXPECT_LT(static_cast<int>(p.y), 30);
      EXPECT_GE(p.life, 8);
      EXPECT_LE(p.life, 32);
      EXPECT_GE(p.blinkrate, 0);
      EXPECT_LE(p.blinkrate, 4);
      EXPECT_LE(std::abs(p.xv), 0.2f);
      EXPECT_LE(std::abs(p.yv), 0.2f);
    }
    // The same clock gives the same burst.
    std::vector<float> first;
    for (const tparticle& p : grid.tplist) first.push_back(p.x * 1000 + p.y + p.xv);
    grid.ClearParticles();
    TeleportBurst(grid, 1, play::kTeleportLow, play::kTeleportHigh, 12345);
    std::vector<float> again;
    for (const tparticle& p : grid.tplist) again.push_back(p.x * 1000 + p.y + p.xv);
    EXPECT_EQ(first, again);
  }
  // Off: no particles, and the random generator is left alone.
  settings.teleporteffect = 0;
  grid.ClearParticles();
  SeedRandom(99);
  const int state = RandomState();
  TeleportEffect(grid, 0, play::kTeleportLow, play::kTeleportHigh);
  EXPECT_TRUE(grid.tplist.empty());
  EXPECT_EQ(RandomState(), state);
}

}  // namespace
}  // namespace dusk
