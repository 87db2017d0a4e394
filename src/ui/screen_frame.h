// The pieces every menu screen's frame shares: one frame's input, the sounds a step asks for, and the end
// of the frame.
#pragma once

#include <vector>

#include "ui/read_input.h"
#include "ui/sound_effects.h"

namespace dusk {

// One frame's game input, as ReadInput reports it (each 0 or not 0).
struct menu_input {
  int right = 0;
  int left = 0;
  int down = 0;
  int up = 0;
  int confirm = 0;
  int back = 0;
  int mute = 0;  // the mute toggle has already happened; the screen restarts or stops its music
};

// ReadInput with the screen's auto-repeat.
menu_input ReadMenuInput(const auto_repeat& repeat);

// The effects a screen's step asks for, played in order (each only while sound is on).
using effect_list = std::vector<sound_effect>;
void PlayEffects(const effect_list& effects);

// Presents the frame at the menu pace of 60 a second; when the window was asked to close, the program
// ends at once without saving (only the main menu saves first, and it checks the close itself).
void EndMenuFrame();

}  // namespace dusk
