// The player's settings: changed in the options screen, kept in the save file, read all over the game.
#pragma once

namespace dusk {

struct settings_state {
  int musicon = 1;
  int soundon = 1;
  int musicsaved = 0;  // what the mute key remembers
  int soundsaved = 0;
  int levelskipping = 1;
  int teleporteffect = 3;  // 0 to 7
  int brightness = 0;
  int contrast = 0;
  int windowscale = 2;  // 1 to 8
  int joydeadzone = 5;  // tenths of the axis travel
};

extern settings_state settings;
inline void ResetSettings() { settings = settings_state{}; }

}  // namespace dusk
