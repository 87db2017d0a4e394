// Keyboard and joystick as game input: four directions with auto-repeat, confirm, back and the mute key.
#pragma once

namespace dusk {

// Frames each direction has been held without a break; shared by every screen, so a key held across a
// change of screen keeps counting.
struct held_directions {
  int right = 0;
  int left = 0;
  int down = 0;
  int up = 0;
};

inline held_directions heldcounters;

inline void ResetHeldCounters() {
  heldcounters = held_directions{};
}

// Auto-repeat of a held direction: it fires on the frame it is pressed, again first frames later, and then
// every period frames. The first repeat waits about 300 ms, so an ordinary press of up to 250 ms gives one
// step; the periods are the screens' own.
struct auto_repeat {
  int first = 0;
  int period = 0;
};
inline constexpr auto_repeat kLevelRepeat{15, 7};    // frames of 20 ms: 300 ms, then every 140 ms
inline constexpr auto_repeat kMenuRepeat{18, 12};    // 60 frames a second: 300 ms, then every 200 ms
inline constexpr auto_repeat kSelectRepeat{18, 14};  // 300 ms, then every 233 ms

// One frame of input. A direction fires when it is pressed and then repeats while held; a press since
// the last frame counts even when the key was let go before it, and of several presses one is taken a
// frame, in the order they came, so every tap is one step. Such a press is the frame's only direction;
// otherwise at most one held direction survives the conflict rules. mute is set when M was hit, and the
// toggle of musicon and soundon (remembered in musicsaved and soundsaved) has then already happened; the
// caller handles its music.
void ReadInput(int& right, int& left, int& down, int& up, int& confirm, int& back, int& mute,
               const auto_repeat& repeat);

}  // namespace dusk
