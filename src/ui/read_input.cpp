// Keyboard and joystick as game input: four directions with auto-repeat, confirm, back and the mute key.
#include "ui/read_input.h"

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

// A period below 1 never fires, like a period of 1.
int Fires(int counter, int period) {
  return period > 0 && counter % period == 1 ? 1 : 0;
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

void ReadInput(int& right, int& left, int& down, int& up, int& confirm, int& back, int& mute, int period) {
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

  Count(heldcounters.right, KeyIsDown(key::kRight) != 0 || KeyIsDown(key::kD) != 0 ||
                                KeyIsDown(key::kNumpad6) != 0 || JoyAxisX(kJoystick) > threshold);
  Count(heldcounters.left, KeyIsDown(key::kLeft) != 0 || KeyIsDown(key::kA) != 0 ||
                               KeyIsDown(key::kNumpad4) != 0 || JoyAxisX(kJoystick) < -threshold);
  Count(heldcounters.down, KeyIsDown(key::kDown) != 0 || KeyIsDown(key::kS) != 0 ||
                               KeyIsDown(key::kNumpad2) != 0 || JoyAxisY(kJoystick) > threshold);
  Count(heldcounters.up, KeyIsDown(key::kUp) != 0 || KeyIsDown(key::kW) != 0 ||
                             KeyIsDown(key::kNumpad8) != 0 || JoyAxisY(kJoystick) < -threshold);

  right = Fires(heldcounters.right, period);
  left = Fires(heldcounters.left, period);
  down = Fires(heldcounters.down, period);
  up = Fires(heldcounters.up, period);

  // Opposite directions cancel; of two neighbours one wins, in this order.
  if (right != 0 && down != 0) down = 0;
  if (right != 0 && up != 0) up = 0;
  if (right != 0 && left != 0) right = left = 0;
  if (up != 0 && left != 0) left = 0;
  if (up != 0 && down != 0) up = down = 0;
  if (left != 0 && down != 0) down = 0;
}

}  // namespace dusk
