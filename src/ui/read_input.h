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

// Auto-repeat periods of the screens that read input.
inline constexpr int kLevelRepeat = 7;
inline constexpr int kMenuRepeat = 12;
inline constexpr int kSelectRepeat = 14;

// One frame of input. A held direction fires on its first frame and then every period frames; at most one
// direction survives the conflict rules. mute is set when M was hit, and the toggle of musicon and soundon
// (remembered in musicsaved and soundsaved) has then already happened; the caller handles its music.
void ReadInput(int& right, int& left, int& down, int& up, int& confirm, int& back, int& mute, int period);

}  // namespace dusk
