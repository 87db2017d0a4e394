// ReadInput: held directions with auto-repeat and conflicts, confirm and back hits, and the mute toggle.
#include "ui/read_input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/input.h"
#include "platform/input_injection.h"
#include "platform/window.h"
#include "state/settings.h"
#include "ui/audio_state.h"

namespace dusk {
namespace {

struct frame_input {
  int right = 0, left = 0, down = 0, up = 0, confirm = 0, back = 0, mute = 0;
  // The direction that came through, as one letter ("" when none).
  std::string Direction() const {
    std::string d;
    if (right != 0) d += 'R';
    if (left != 0) d += 'L';
    if (down != 0) d += 'D';
    if (up != 0) d += 'U';
    return d;
  }
};

frame_input Read(const auto_repeat& repeat) {
  frame_input in;
  ReadInput(in.right, in.left, in.down, in.up, in.confirm, in.back, in.mute, repeat);
  return in;
}

class ReadInputTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { OpenWindow(64, 64, "input"); }
  static void TearDownTestSuite() { CloseWindow(); }
  void SetUp() override {
    ClearInput();
    ResetHeldCounters();
    ResetSettings();
    ResetAudioState();
  }
  void TearDown() override {
    for (int key : held_) inject::KeyUp(key);
    ClearInput();
  }
  void Hold(int key) {
    inject::KeyDown(key);
    held_.push_back(key);
  }
  void Release(int key) { inject::KeyUp(key); }
  std::vector<int> held_;
};

TEST_F(ReadInputTest, HeldDirectionWaitsForItsFirstRepeatThenRepeatsEveryPeriod) {
  const struct {
    const char* screen;
    auto_repeat repeat;
    std::vector<int> fired;  // frames of the first second a held key fires on
    int frames_a_second;
  } cases[] = {
      {"level play", kLevelRepeat, {1, 16, 23, 30, 37, 44}, 50},
      {"menus", kMenuRepeat, {1, 19, 31, 43, 55}, 60},
      {"selects", kSelectRepeat, {1, 19, 33, 47}, 60},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.screen);
    ResetHeldCounters();
    inject::KeyDown(key::kRight);
    std::vector<int> fired;
    for (int frame = 1; frame <= c.frames_a_second; ++frame) {
      if (Read(c.repeat).right != 0) fired.push_back(frame);
    }
    EXPECT_EQ(fired, c.fired);
    inject::KeyUp(key::kRight);
    EXPECT_EQ(Read(c.repeat).Direction(), "");
    EXPECT_EQ(heldcounters.right, 0);
  }
}

TEST_F(ReadInputTest, AnOrdinaryPressIsOneStepOnEveryScreen) {
  // Held for up to 250 ms and up to the last frame before the first repeat: one step.
  const struct {
    const char* screen;
    auto_repeat repeat;
    int frame_ms;
  } screens[] = {
      {"level play", kLevelRepeat, 20}, {"menus", kMenuRepeat, 17}, {"selects", kSelectRepeat, 17}};
  for (const auto& screen : screens) {
    for (const int ms : {20, 60, 150, 200, 250, 280}) {
      SCOPED_TRACE(std::string(screen.screen) + ", " + std::to_string(ms) + " ms");
      ResetHeldCounters();
      inject::KeyDown(key::kUp);
      int steps = 0;
      for (int frame = 0; frame < std::max(1, ms / screen.frame_ms); ++frame) steps += Read(screen.repeat).up;
      inject::KeyUp(key::kUp);
      steps += Read(screen.repeat).up;
      EXPECT_EQ(steps, 1);
    }
  }
}

TEST_F(ReadInputTest, ATapBetweenTwoFramesIsOneStep) {
  inject::KeyPress(key::kLeft);
  EXPECT_EQ(KeyIsDown(key::kLeft), 0);
  EXPECT_EQ(Read(kLevelRepeat).Direction(), "L");
  EXPECT_EQ(Read(kLevelRepeat).Direction(), "");
  EXPECT_EQ(heldcounters.left, 0);
}

TEST_F(ReadInputTest, TapsWithinOneFrameComeOneAFrameInTheirOrder) {
  // Ten quick taps, and a run of different directions, all before one frame.
  for (int i = 0; i < 10; ++i) inject::KeyPress(key::kD);
  std::string seen;
  for (int frame = 0; frame < 11; ++frame) seen += Read(kLevelRepeat).Direction() + ",";
  EXPECT_EQ(seen, "R,R,R,R,R,R,R,R,R,R,,");

  for (const int key : {key::kRight, key::kDown, key::kDown, key::kLeft, key::kW, key::kRight}) {
    inject::KeyPress(key);
  }
  seen.clear();
  for (int frame = 0; frame < 7; ++frame) seen += Read(kMenuRepeat).Direction() + ",";
  EXPECT_EQ(seen, "R,D,D,L,U,R,,");
}

TEST_F(ReadInputTest, TappedThenHeldIsTwoStepsThenRepeats) {
  inject::KeyPress(key::kDown);
  Hold(key::kDown);
  std::vector<int> fired;
  for (int frame = 1; frame <= 20; ++frame) {
    if (Read(kLevelRepeat).down != 0) fired.push_back(frame);
  }
  // The hold is its own press, on the frame after the tap, and repeats counting from there.
  EXPECT_EQ(fired, (std::vector<int>{1, 2, 17}));
}

TEST_F(ReadInputTest, APressDuringAHoldIsTheFramesOnlyDirection) {
  Hold(key::kRight);
  std::string seen;
  for (int frame = 1; frame <= 16; ++frame) {
    // Up is tapped just before the frame the held Right would repeat on.
    if (frame == 16) inject::KeyPress(key::kUp);
    const std::string d = Read(kLevelRepeat).Direction();
    seen += d.empty() ? "." : d;
  }
  EXPECT_EQ(seen, "R..............U");
}

TEST_F(ReadInputTest, CountersAreSharedAcrossScreens) {
  Hold(key::kDown);
  for (int frame = 1; frame <= 15; ++frame) Read(kMenuRepeat);
  // The sixteenth frame held, read by level play: its first repeat is due.
  EXPECT_EQ(Read(kLevelRepeat).Direction(), "D");
}

TEST_F(ReadInputTest, EveryKeyOfADirectionCounts) {
  const struct {
    int key;
    const char* direction;
  } cases[] = {
      {key::kRight, "R"},   {key::kD, "R"},       {key::kNumpad6, "R"}, {key::kLeft, "L"},
      {key::kA, "L"},       {key::kNumpad4, "L"}, {key::kDown, "D"},    {key::kS, "D"},
      {key::kNumpad2, "D"}, {key::kUp, "U"},      {key::kW, "U"},       {key::kNumpad8, "U"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    ResetHeldCounters();
    inject::KeyDown(c.key);
    EXPECT_EQ(Read(kLevelRepeat).Direction(), c.direction);
    inject::KeyUp(c.key);
    EXPECT_EQ(Read(kLevelRepeat).Direction(), "");
  }
}

TEST_F(ReadInputTest, HeldDirectionsFiringTogetherLeaveAtMostOne) {
  const struct {
    std::vector<int> keys;
    const char* survivor;
  } cases[] = {
      {{key::kRight, key::kDown}, "R"},
      {{key::kRight, key::kUp}, "R"},
      {{key::kRight, key::kLeft}, ""},
      {{key::kLeft, key::kUp}, "U"},
      {{key::kLeft, key::kDown}, "L"},
      {{key::kUp, key::kDown}, ""},
      {{key::kLeft, key::kUp, key::kDown}, ""},
      {{key::kRight, key::kLeft, key::kDown}, ""},
      {{key::kRight, key::kLeft, key::kUp, key::kDown}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.keys));
    for (int k : c.keys) inject::KeyDown(k);
    // Their presses come first, one a frame; then the held keys' counters are brought into step.
    for (size_t i = 0; i < c.keys.size(); ++i) Read(kLevelRepeat);
    ResetHeldCounters();
    EXPECT_EQ(Read(kLevelRepeat).Direction(), c.survivor);
    for (int k : c.keys) inject::KeyUp(k);
    Read(kLevelRepeat);
  }
}

TEST_F(ReadInputTest, DirectionsOutOfStepComeThroughAlone) {
  std::string seen;
  for (int frame = 1; frame <= 20; ++frame) {
    if (frame == 1) Hold(key::kRight);
    if (frame == 3) Hold(key::kDown);
    const std::string d = Read(kLevelRepeat).Direction();
    seen += d.empty() ? "." : d;
  }
  EXPECT_EQ(seen, "R.D............R.D..");
}

TEST_F(ReadInputTest, ConfirmAndBackTakeOneHitPerCall) {
  inject::KeyPress(key::kSpace);
  inject::KeyPress(key::kEnter);
  inject::KeyPress(key::kEscape);
  frame_input first = Read(kMenuRepeat);
  EXPECT_NE(first.confirm, 0);
  EXPECT_NE(first.back, 0);
  // Enter was not asked about while Space had a hit, so it is still pending.
  frame_input second = Read(kMenuRepeat);
  EXPECT_NE(second.confirm, 0);
  EXPECT_EQ(second.back, 0);
  EXPECT_EQ(Read(kMenuRepeat).confirm, 0);
}

TEST_F(ReadInputTest, MuteRemembersMusicAndSound) {
  const struct {
    int musicon, soundon, musicsaved, soundsaved;
    int music_after, sound_after, music_saved_after, sound_saved_after;
  } cases[] = {
      {1, 0, 0, 0, 0, 0, 1, 0},                            // muting remembers what was on
      {0, 0, 1, 0, 1, 0, 1, 0},                            // unmuting brings back what was remembered
      {1, 1, 0, 0, 0, 0, 1, 1}, {0, 0, 0, 0, 0, 0, 0, 0},  // nothing on and nothing saved stays off
      {0, 1, 1, 1, 0, 0, 0, 1},
  };
  for (const auto& c : cases) {
    settings.musicon = c.musicon;
    settings.soundon = c.soundon;
    settings.musicsaved = c.musicsaved;
    settings.soundsaved = c.soundsaved;
    inject::KeyPress(key::kM);
    EXPECT_NE(Read(kMenuRepeat).mute, 0);
    EXPECT_EQ(settings.musicon, c.music_after);
    EXPECT_EQ(settings.soundon, c.sound_after);
    EXPECT_EQ(settings.musicsaved, c.music_saved_after);
    EXPECT_EQ(settings.soundsaved, c.sound_saved_after);
  }
  EXPECT_EQ(Read(kMenuRepeat).mute, 0);
}

TEST_F(ReadInputTest, JoystickAxesBeyondTheDeadZoneAndButtons) {
  if (!inject::AttachController(false)) GTEST_SKIP() << "no virtual joystick here";
  settings.joydeadzone = 5;
  inject::ControllerAxis(0, 32767);
  EXPECT_EQ(Read(kLevelRepeat).Direction(), "R");
  inject::ControllerAxis(0, 0);
  inject::ControllerAxis(1, -32768);
  ResetHeldCounters();
  EXPECT_EQ(Read(kLevelRepeat).Direction(), "U");
  inject::ControllerAxis(1, -9000);  // about -0.27: inside the dead zone
  EXPECT_EQ(Read(kLevelRepeat).Direction(), "");
  inject::ControllerAxis(1, 0);

  // Buttons count presses seen down at a reading after being up at the one before.
  inject::ControllerButton(1, true);
  inject::ControllerButton(3, true);
  const frame_input buttons = Read(kLevelRepeat);
  EXPECT_NE(buttons.confirm, 0);
  EXPECT_NE(buttons.back, 0);
  inject::ControllerButton(1, false);
  inject::ControllerButton(3, false);
  EXPECT_EQ(Read(kLevelRepeat).confirm, 0);
  inject::DetachController();
}

TEST_F(ReadInputTest, ADPadTapBetweenTwoFramesIsOneStep) {
  // The virtual controller's D-pad buttons and the raw joystick's hat bits.
  constexpr int kPadUp = 11, kPadDown = 12, kPadRight = 14;
  constexpr int kHatUp = 1, kHatRight = 2, kHatDown = 4;
  // The device's state is read whenever events are pumped: reading an axis between the press and the
  // release lets each reach the game, as a tap quicker than a frame does.
  auto tap = [](auto press, auto release) {
    press();
    (void)JoyAxisX(0);
    release();
    (void)JoyAxisX(0);
  };
  for (const bool mapped : {true, false}) {
    SCOPED_TRACE(mapped ? "game controller" : "raw joystick's hat");
    if (!inject::AttachController(mapped)) GTEST_SKIP() << "no virtual joystick here";
    ClearInput();
    if (mapped) {
      tap([] { inject::ControllerButton(kPadRight, true); },
          [] { inject::ControllerButton(kPadRight, false); });
      tap([] { inject::ControllerButton(kPadDown, true); },
          [] { inject::ControllerButton(kPadDown, false); });
    } else {
      tap([] { inject::ControllerHat(kHatRight); }, [] { inject::ControllerHat(0); });
      tap([] { inject::ControllerHat(kHatDown); }, [] { inject::ControllerHat(0); });
    }
    std::string seen;
    for (int frame = 0; frame < 3; ++frame) seen += Read(kLevelRepeat).Direction() + ",";
    EXPECT_EQ(seen, "R,D,,") << "both taps, in their order, once each";

    // A press that touches a diagonal on its way is still one step.
    if (mapped) {
      inject::ControllerButton(kPadRight, true);
      (void)JoyAxisX(0);
      inject::ControllerButton(kPadDown, true);
      (void)JoyAxisX(0);
      inject::ControllerButton(kPadDown, false);
    } else {
      inject::ControllerHat(kHatRight | kHatDown);
      (void)JoyAxisX(0);
      inject::ControllerHat(kHatRight);
    }
    seen.clear();
    for (int frame = 0; frame < 3; ++frame) seen += Read(kLevelRepeat).Direction() + ",";
    EXPECT_EQ(seen, "R,,,") << "a sloppy press makes one step";
    if (mapped) {
      inject::ControllerButton(kPadRight, false);
    } else {
      inject::ControllerHat(0);
    }
    (void)JoyAxisX(0);
    ClearInput();
    ResetHeldCounters();

    // Held, the pad steps once and then repeats as a held key does, never twice at the press.
    ResetHeldCounters();
    if (mapped) {
      inject::ControllerButton(kPadUp, true);
    } else {
      inject::ControllerHat(kHatUp);
    }
    std::vector<int> fired;
    for (int frame = 1; frame <= kLevelRepeat.first; ++frame) {
      if (Read(kLevelRepeat).up != 0) fired.push_back(frame);
    }
    EXPECT_EQ(fired, (std::vector<int>{1})) << "one step for the press before the first repeat";
    if (mapped) {
      inject::ControllerButton(kPadUp, false);
    } else {
      inject::ControllerHat(0);
    }
    inject::DetachController();
  }
}

}  // namespace
}  // namespace dusk
