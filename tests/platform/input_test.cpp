// Keys, typed characters, mouse, focus and joystick port 0, all through injected events on the real path.
#include <gtest/gtest.h>

#include <SDL.h>

#include <string>
#include <vector>

#include "platform/input.h"
#include "platform/input_injection.h"
#include "platform/key_map.h"
#include "platform/window.h"

namespace dusk {
namespace {

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Whatever earlier tests left pending is read and forgotten.
    (void)NextTypedChar();
    ClearInput();
  }
  void TearDown() override {
    inject::DetachController();
    inject::SetFrameHook({});
    CloseWindow();
    (void)CloseRequested();
    ClearInput();
  }
};

TEST_F(InputTest, KeyPressedTwiceBetweenFramesCountsTwoThenNothing) {
  inject::KeyPress(key::kSpace);
  inject::KeyPress(key::kSpace);
  EXPECT_EQ(KeyHits(key::kSpace), 2);
  EXPECT_EQ(KeyHits(key::kSpace), 0);
  EXPECT_EQ(KeyIsDown(key::kSpace), 0);
}

TEST_F(InputTest, AutoRepeatOfAHeldKeyIsNoHit) {
  inject::KeyDown(key::kLeft);
  for (int i = 0; i < 5; ++i) inject::KeyRepeat(key::kLeft);
  EXPECT_EQ(KeyHits(key::kLeft), 1);
  EXPECT_EQ(KeyIsDown(key::kLeft), 1);
  inject::KeyRepeat(key::kLeft);
  EXPECT_EQ(KeyHits(key::kLeft), 0);
  inject::KeyUp(key::kLeft);
  EXPECT_EQ(KeyIsDown(key::kLeft), 0);
  // Hits of one key leave the others alone.
  inject::KeyPress(key::kA);
  EXPECT_EQ(KeyHits(key::kD), 0);
  EXPECT_EQ(KeyHits(key::kA), 1);
}

TEST_F(InputTest, EveryPressIsKeptUntilAFrameTakesIt) {
  const int arrows[] = {key::kLeft, key::kRight};
  // Pressed and let go between two frames: the press is still there for the next frame, once.
  inject::KeyPress(key::kLeft);
  EXPECT_EQ(KeyIsDown(key::kLeft), 0);
  EXPECT_TRUE(PressPending(key::kLeft));
  EXPECT_EQ(TakeFirstPress(arrows), key::kLeft);
  EXPECT_FALSE(PressPending(key::kLeft));
  EXPECT_EQ(TakeFirstPress(arrows), 0);

  // Two taps between two frames: one for each of the next two frames.
  inject::KeyPress(key::kRight);
  inject::KeyPress(key::kRight);
  EXPECT_EQ(TakeFirstPress(arrows), key::kRight);
  EXPECT_EQ(TakeFirstPress(arrows), key::kRight);
  EXPECT_EQ(TakeFirstPress(arrows), 0);

  // A held key is one press and stays down; its auto-repeat adds none.
  inject::KeyDown(key::kLeft);
  for (int i = 0; i < 3; ++i) inject::KeyRepeat(key::kLeft);
  EXPECT_EQ(TakeFirstPress(arrows), key::kLeft);
  EXPECT_EQ(TakeFirstPress(arrows), 0);
  EXPECT_EQ(KeyIsDown(key::kLeft), 1);
  inject::KeyUp(key::kLeft);

  // Taking presses leaves the hit counts alone, and the hits leave the presses.
  EXPECT_EQ(KeyHits(key::kLeft), 2);
  EXPECT_EQ(KeyHits(key::kRight), 2);
}

TEST_F(InputTest, PressesOfSeveralKeysAreTakenInTheOrderTheyCame) {
  const int keys[] = {key::kUp, key::kDown, key::kW};
  for (const int key : {key::kDown, key::kW, key::kDown, key::kSpace, key::kUp}) inject::KeyPress(key);
  std::vector<int> taken;
  while (const int key = TakeFirstPress(keys)) taken.push_back(key);
  EXPECT_EQ(taken, (std::vector<int>{key::kDown, key::kW, key::kDown, key::kUp}));
  // A key not asked for keeps its press.
  EXPECT_TRUE(PressPending(key::kSpace));
  const int space[] = {key::kSpace};
  EXPECT_EQ(TakeFirstPress(space), key::kSpace);
}

TEST_F(InputTest, KeptPressesAreBoundedAndClearInputForgetsThem) {
  const int keys[] = {key::kA};
  for (int i = 0; i < 40; ++i) inject::KeyPress(key::kA);
  int taken = 0;
  while (TakeFirstPress(keys) != 0) ++taken;
  EXPECT_EQ(taken, 32);
  inject::KeyPress(key::kA);
  EXPECT_TRUE(PressPending(key::kA));
  ClearInput();
  EXPECT_FALSE(PressPending(key::kA));
  EXPECT_EQ(TakeFirstPress(keys), 0);
  // Codes outside the key table have nothing kept.
  const int outside[] = {-1, 256};
  EXPECT_EQ(TakeFirstPress(outside), 0);
  EXPECT_FALSE(PressPending(999));
}

TEST_F(InputTest, TypedHitsCountAutoRepeatsOfAKeyPressedHere) {
  inject::KeyDown(key::kRight);
  for (int i = 0; i < 3; ++i) inject::KeyRepeat(key::kRight);
  EXPECT_EQ(KeyTypedHits(key::kRight), 4);
  EXPECT_EQ(KeyTypedHits(key::kRight), 0);
  EXPECT_EQ(KeyHits(key::kRight), 1);
  // Held across ClearInput, as when a key opened the screen, the key's repeats type nothing.
  ClearInput();
  inject::KeyRepeat(key::kRight);
  inject::KeyRepeat(key::kRight);
  EXPECT_EQ(KeyTypedHits(key::kRight), 0);
  inject::KeyUp(key::kRight);
  inject::KeyPress(key::kRight);
  EXPECT_EQ(KeyTypedHits(key::kRight), 1);
}

TEST_F(InputTest, ClearInputForgetsHitsDownKeysAndTypedCharacters) {
  inject::KeyDown(key::kUp);
  inject::KeyPress(key::kEnter);
  inject::Text("ab");
  EXPECT_EQ(KeyIsDown(key::kUp), 1);
  ClearInput();
  EXPECT_EQ(KeyIsDown(key::kUp), 0);
  EXPECT_EQ(KeyHits(key::kUp), 0);
  EXPECT_EQ(KeyHits(key::kEnter), 0);
  EXPECT_EQ(NextTypedChar(), 0);
  // The key is still held: its auto-repeat marks it down again, but is no new hit.
  inject::KeyRepeat(key::kUp);
  EXPECT_EQ(KeyIsDown(key::kUp), 1);
  EXPECT_EQ(KeyHits(key::kUp), 0);
}

TEST_F(InputTest, SdlKeysBecomeVirtualKeyCodes) {
  struct key_case {
    SDL_Scancode scancode;
    SDL_Keycode keycode;
    int expected;
  };
  const key_case cases[] = {
      {SDL_SCANCODE_TAB, SDLK_TAB, 9},          {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, 8},
      {SDL_SCANCODE_RETURN, SDLK_RETURN, 13},   {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 13},
      {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 27},   {SDL_SCANCODE_SPACE, SDLK_SPACE, 32},
      {SDL_SCANCODE_LEFT, SDLK_LEFT, 37},       {SDL_SCANCODE_UP, SDLK_UP, 38},
      {SDL_SCANCODE_RIGHT, SDLK_RIGHT, 39},     {SDL_SCANCODE_DOWN, SDLK_DOWN, 40},
      {SDL_SCANCODE_A, SDLK_a, 65},             {SDL_SCANCODE_Z, SDLK_z, 90},
      {SDL_SCANCODE_M, SDLK_m, 77},             {SDL_SCANCODE_0, SDLK_0, 48},
      {SDL_SCANCODE_9, SDLK_9, 57},             {SDL_SCANCODE_KP_0, SDLK_KP_0, 96},
      {SDL_SCANCODE_KP_2, SDLK_KP_2, 98},       {SDL_SCANCODE_KP_4, SDLK_KP_4, 100},
      {SDL_SCANCODE_KP_6, SDLK_KP_6, 102},      {SDL_SCANCODE_KP_8, SDLK_KP_8, 104},
      {SDL_SCANCODE_F1, SDLK_F1, 112},          {SDL_SCANCODE_F12, SDLK_F12, 123},
      {SDL_SCANCODE_LCTRL, SDLK_LCTRL, 162},    {SDL_SCANCODE_RCTRL, SDLK_RCTRL, 163},
      // On a French layout the key in the place of Q types "a": it is A, as the desktop itself says.
      {SDL_SCANCODE_Q, SDLK_a, 65},
      // Num Lock off gives the keypad's other meaning; the code stays the keypad digit.
      {SDL_SCANCODE_KP_8, SDLK_UP, 104},
      {SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK, 20},
      {SDL_SCANCODE_MUTE, SDLK_MUTE, 0},
  };
  for (const key_case& c : cases) {
    SDL_Keysym keysym{};
    keysym.scancode = c.scancode;
    keysym.sym = c.keycode;
    EXPECT_EQ(VirtualKeyOf(keysym), c.expected) << SDL_GetScancodeName(c.scancode);
  }
}

TEST_F(InputTest, EveryGameKeyComesThroughInjection) {
  std::vector<int> keys{key::kBackspace, key::kTab, key::kEnter, key::kEscape, key::kSpace, key::kLeftCtrl,
                        key::kRightCtrl};
  for (int code = 37; code <= 40; ++code) keys.push_back(code);
  for (int code = 48; code <= 57; ++code) keys.push_back(code);
  for (int code = 65; code <= 90; ++code) keys.push_back(code);
  for (int code = 96; code <= 105; ++code) keys.push_back(code);
  for (int code = key::kF1; code <= key::kF12; ++code) keys.push_back(code);
  for (int code : keys) {
    inject::KeyPress(code);
    EXPECT_EQ(KeyHits(code), 1) << "key " << code;
  }
}

TEST_F(InputTest, EitherCtrlKeyHoldsTheCommonCtrlCode) {
  constexpr int kCtrl = 17;
  inject::KeyDown(key::kLeftCtrl);
  EXPECT_EQ(KeyIsDown(kCtrl), 1);
  inject::KeyDown(key::kRightCtrl);
  inject::KeyUp(key::kLeftCtrl);
  EXPECT_EQ(KeyIsDown(kCtrl), 1);
  EXPECT_EQ(KeyIsDown(key::kLeftCtrl), 0);
  inject::KeyUp(key::kRightCtrl);
  EXPECT_EQ(KeyIsDown(kCtrl), 0);
  EXPECT_EQ(KeyHits(kCtrl), 1);  // held without a break: one press
  EXPECT_EQ(KeyHits(key::kLeftCtrl), 1);
  EXPECT_EQ(KeyHits(key::kRightCtrl), 1);
}

std::vector<int> TakeTyped() {
  std::vector<int> typed;
  for (int c = NextTypedChar(); c != 0; c = NextTypedChar()) typed.push_back(c);
  return typed;
}

TEST_F(InputTest, TypedTextGivesOneCharacterPerCodePoint) {
  EXPECT_EQ(NextTypedChar(), 0);
  // é is U+00E9; € (U+20AC) keeps its low 8 bits; the emoji is one code point, U+1F600.
  inject::Text("Hé€");
  inject::KeyPress(key::kBackspace);
  inject::Text("\xF0\x9F\x98\x80!");
  inject::KeyPress(key::kEnter);
  inject::KeyPress(key::kSpace);  // Space types through text input only, not twice
  // The emoji's low 8 bits are 0, which would read as an empty queue: it is left out.
  EXPECT_EQ(TakeTyped(), (std::vector<int>{'H', 0xE9, 0xAC, 8, '!', 13}));
}

TEST_F(InputTest, LongTextAndAFullQueue) {
  std::string text(300, 'x');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
  inject::Text(text);
  inject::KeyPress(key::kEnter);  // dropped too: the queue is full
  const std::vector<int> typed = TakeTyped();
  ASSERT_EQ(typed.size(), 256u);
  for (size_t i = 0; i < typed.size(); ++i) ASSERT_EQ(typed[i], 'a' + static_cast<int>(i % 26)) << i;
  inject::Text("z");
  EXPECT_EQ(TakeTyped(), std::vector<int>{'z'});
}

TEST_F(InputTest, MousePositionAndButtons) {
  inject::MouseMove(120, 45);
  EXPECT_EQ(MousePixelX(), 120);
  EXPECT_EQ(MousePixelY(), 45);
  for (int button = 1; button <= 3; ++button) {
    inject::MouseButton(button, true);
    for (int other = 1; other <= 3; ++other) EXPECT_EQ(MouseButtonDown(other), other == button ? 1 : 0);
    inject::MouseButton(button, false);
    EXPECT_EQ(MouseButtonDown(button), 0);
  }
  inject::Click(7, 9, 1);
  EXPECT_EQ(MousePixelX(), 7);
  EXPECT_EQ(MouseButtonDown(0), 0);
  EXPECT_EQ(MouseButtonDown(4), 0);
}

TEST_F(InputTest, LosingOrGainingFocusClearsKeysAndMouseButtons) {
  ASSERT_TRUE(OpenWindow(32, 32, "focus"));
  for (bool gained : {false, true}) {
    inject::KeyDown(key::kRight);
    inject::KeyPress(key::kEscape);
    inject::MouseMove(5, 6);
    inject::MouseButton(1, true);
    inject::Text("q");
    inject::Focus(gained);
    EXPECT_EQ(KeyIsDown(key::kRight), 0) << gained;
    EXPECT_EQ(KeyHits(key::kEscape), 0) << gained;
    EXPECT_EQ(MouseButtonDown(1), 0) << gained;
    EXPECT_EQ(NextTypedChar(), 0) << gained;
    EXPECT_EQ(MousePixelX(), 5) << gained;  // the position is no state to clear
  }
}

TEST_F(InputTest, CloseRequestIsReportedOnce) {
  ASSERT_TRUE(OpenWindow(32, 32, "close"));
  EXPECT_EQ(CloseRequested(), 0);
  inject::RequestClose();
  EXPECT_EQ(CloseRequested(), 1);
  EXPECT_EQ(CloseRequested(), 0);
}

TEST_F(InputTest, FrameHookFeedsAScreenLoopFrameByFrame) {
  ASSERT_TRUE(OpenWindow(32, 32, "frames"));
  // The input each frame of a screen would see, given a script keyed by frame number.
  inject::SetFrameHook([](int frame) {
    if (frame == 2) inject::KeyPress(key::kDown);
    if (frame == 3) inject::KeyDown(key::kUp);
    if (frame == 5) inject::KeyUp(key::kUp);
  });
  std::vector<std::string> seen;
  for (int frame = 1; frame <= 6; ++frame) {
    seen.push_back(std::to_string(KeyHits(key::kDown)) + std::to_string(KeyIsDown(key::kUp)));
    PresentFrame(0);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"00", "00", "10", "01", "01", "00"}));
}

TEST_F(InputTest, GameControllerButtonsAndAxes) {
  ASSERT_TRUE(OpenWindow(32, 32, "controller"));
  ASSERT_TRUE(inject::AttachController(true));
  EXPECT_NEAR(JoyAxisX(0), 0.0f, 1e-4f);  // a centred stick
  // Buttons 0 to 3 are A, B, X, Y; each press from up to down counts once.
  for (int button = 0; button < 4; ++button) {
    inject::ControllerButton(button, true);
    EXPECT_EQ(JoyButtonHits(button, 0), 1) << button;
    EXPECT_EQ(JoyButtonHits(button, 0), 0) << button;
    inject::ControllerButton(button, false);
    (void)JoyButtonHits(button, 0);
    inject::ControllerButton(button, true);
    EXPECT_EQ(JoyButtonHits(button, 0), 1) << button;
    inject::ControllerButton(button, false);
  }
  EXPECT_EQ(JoyButtonHits(0, 1), 0);  // there is only port 0

  const struct {
    int x, y;
    float expected_x, expected_y;
  } sticks[] = {{32767, -32768, 1.0f, -1.0f}, {-32768, 32767, -1.0f, 1.0f}};
  for (const auto& stick : sticks) {
    inject::ControllerAxis(0, stick.x);
    inject::ControllerAxis(1, stick.y);
    EXPECT_FLOAT_EQ(JoyAxisX(0), stick.expected_x);
    EXPECT_FLOAT_EQ(JoyAxisY(0), stick.expected_y);
  }
  // The D-pad drives the axes over the stick while held.
  inject::ControllerButton(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
  inject::ControllerButton(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
  EXPECT_FLOAT_EQ(JoyAxisX(0), 1.0f);
  EXPECT_FLOAT_EQ(JoyAxisY(0), -1.0f);
  inject::ControllerButton(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
  inject::ControllerButton(SDL_CONTROLLER_BUTTON_DPAD_UP, false);
  EXPECT_FLOAT_EQ(JoyAxisX(0), -1.0f);
  EXPECT_FLOAT_EQ(JoyAxisY(0), 1.0f);

  // Unplugged, the port reads nothing; plugged in again, it works again.
  inject::DetachController();
  EXPECT_FLOAT_EQ(JoyAxisX(0), 0.0f);
  EXPECT_FLOAT_EQ(JoyAxisY(0), 0.0f);
  ASSERT_TRUE(inject::AttachController(true));
  inject::ControllerButton(1, true);
  EXPECT_EQ(JoyButtonHits(1, 0), 1);
}

TEST_F(InputTest, ControllerWithMappingTakesThePortFromARawJoystick) {
  ASSERT_TRUE(inject::AttachController(false));
  inject::ControllerButton(4, true);
  EXPECT_EQ(JoyButtonHits(4, 0), 1);
  ASSERT_TRUE(inject::AttachController(true));
  inject::ControllerButton(0, true);
  inject::ControllerAxis(0, 32767);
  EXPECT_EQ(JoyButtonHits(0, 0), 1);
  EXPECT_FLOAT_EQ(JoyAxisX(0), 1.0f);
}

TEST_F(InputTest, RawJoystickWithoutMapping) {
  ASSERT_TRUE(inject::AttachController(false));
  inject::ControllerButton(5, true);
  EXPECT_EQ(JoyButtonHits(5, 0), 1);
  inject::ControllerAxis(0, -32768);
  EXPECT_FLOAT_EQ(JoyAxisX(0), -1.0f);
  inject::ControllerHat(SDL_HAT_RIGHT | SDL_HAT_DOWN);
  EXPECT_FLOAT_EQ(JoyAxisX(0), 1.0f);
  EXPECT_FLOAT_EQ(JoyAxisY(0), 1.0f);
  inject::ControllerHat(SDL_HAT_CENTERED);
  EXPECT_FLOAT_EQ(JoyAxisX(0), -1.0f);
}

}  // namespace
}  // namespace dusk
