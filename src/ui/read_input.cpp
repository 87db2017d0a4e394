// Keyboard and joystick as game input: four directions with auto-repeat, confirm, back and the mute key.
#include "ui/read_input.h"

#include <array>
#include <climits>

#include "platform/audio.h"
#include "platform/input.h"
#include "state/settings.h"
#include "ui/audio_state.h"

namespace dusk {

namespace {

constexpr int kJoystick = 0;

void Count(int& counter, bool held) {
  if (!held) {
    counter = 0;
  } else if (counter < INT_MAX) {
    ++counter;
  }
}

// Fires on the first frame held, then after the first repeat's wait, then every period.
int Fires(int counter, const auto_repeat& repeat) {
  if (counter == 1) return 1;
  const int since = counter - 1 - repeat.first;
  return repeat.period > 0 && since >= 0 && since % repeat.period == 0 ? 1 : 0;
}

enum direction : size_t { kRightward, kLeftward, kDownward, kUpward, kDirections };

constexpr std::array<std::array<int, 3>, kDirections> kDirectionKeys{{
    {key::kRight, key::kD, key::kNumpad6},
    {key::kLeft, key::kA, key::kNumpad4},
    {key::kDown, key::kS, key::kNumpad2},
    {key::kUp, key::kW, key::kNumpad8},
}};
constexpr std::array<int, 12> kAllDirectionKeys{
    key::kRight, key::kD, key::kNumpad6, key::kLeft, key::kA, key::kNumpad4,
    key::kDown,  key::kS, key::kNumpad2, key::kUp,   key::kW, key::kNumpad8,
};

size_t DirectionOfKey(int code) {
  for (size_t d = 0; d < kDirections; ++d) {
    for (const int k : kDirectionKeys[d]) {
      if (k == code) return d;
    }
  }
  return kDirections;
}

// A key whose press is still waiting its turn is not held yet: that press comes on a later frame.
bool KeysHeld(size_t d) {
  for (const int k : kDirectionKeys[d]) {
    if (KeyIsDown(k) != 0 && !PressPending(k)) return true;
  }
  return false;
}

void ToggleMute() {
  if (settings.musicon > 0 || settings.soundon > 0) {
    settings.musicsaved = settings.musicon;
    settings.soundsaved = settings.soundon;
    settings.musicon = 0;
    settings.soundon = 0;
  } else {
    settings.musicon = settings.musicsaved;
    settings.soundon = settings.soundsaved;
  }
  if (settings.soundon != 0 && audio.bip) PlaySound(audio.bip);
}

}  // namespace

void ReadInput(int& right, int& left, int& down, int& up, int& confirm, int& back, int& mute,
               const auto_repeat& repeat) {
  const double threshold = settings.joydeadzone / 10.0;

  mute = KeyHits(key::kM);
  if (mute != 0) ToggleMute();

  // Each test stops at the first source that has a hit, so later hits stay pending.
  confirm = KeyHits(key::kSpace);
  if (confirm == 0) confirm = KeyHits(key::kEnter);
  if (confirm == 0) confirm = JoyButtonHits(0, kJoystick);
  if (confirm == 0) confirm = JoyButtonHits(1, kJoystick);
  back = KeyHits(key::kEscape);
  if (back == 0) back = JoyButtonHits(2, kJoystick);
  if (back == 0) back = JoyButtonHits(3, kJoystick);

  const double x = JoyAxisX(kJoystick);
  const double y = JoyAxisY(kJoystick);
  std::array<bool, kDirections> stick{};
  stick[kRightward] = x > threshold;
  stick[kLeftward] = x < -threshold;
  stick[kDownward] = y > threshold;
  stick[kUpward] = y < -threshold;
  // The earliest press since the last frame; the others wait for the frames after.
  const size_t pressed = DirectionOfKey(TakeFirstPress(kAllDirectionKeys));
  const std::array<int*, kDirections> counters{&heldcounters.right, &heldcounters.left, &heldcounters.down,
                                               &heldcounters.up};
  const std::array<int*, kDirections> results{&right, &left, &down, &up};
  for (size_t d = 0; d < kDirections; ++d) {
    if (d == pressed) {
      *counters[d] = 1;
    } else {
      Count(*counters[d], KeysHeld(d) || stick[d]);
    }
    *results[d] = pressed == kDirections ? Fires(*counters[d], repeat) : (d == pressed ? 1 : 0);
  }
  if (pressed != kDirections) return;

  // Opposite directions cancel; of two neighbours one wins, in this order.
  if (right != 0 && down != 0) down = 0;
  if (right != 0 && up != 0) up = 0;
  if (right != 0 && left != 0) right = left = 0;
  if (up != 0 && left != 0) left = 0;
  if (up != 0 && down != 0) up = down = 0;
  if (left != 0 && down != 0) down = 0;
}

}  // namespace dusk
