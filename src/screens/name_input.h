// Name input: the player types a name of up to 8 characters before the first play.
#pragma once

#include <string>

#include "display/input_field.h"
#include "display/tilemap.h"
#include "state/progress.h"

namespace dusk {

inline constexpr int kNameLength = 8;
// The name that opens every normal world and level.
inline constexpr const char* kUnlockName = "MOSS FEN";

struct name_input_state {
  text_field edit;
  tilemap field;  // 8 x 1, the name and its blinking caret
};

// The field starts with the player's name selected, so the first character typed replaces it. Entering the
// screen counts as having chosen a name, so Esc counts too.
name_input_state EnterNameInput(progress_state& values);

// One frame of editing with the frame's typed character (0 for none) and editing key. On Enter the name
// is taken, the unlock name opens the normal worlds, and true is returned: the caller saves and leaves.
bool StepNameInput(name_input_state& state, int typed, progress_state& values,
                   field_key key = field_key::none);

void DrawNameInput(name_input_state& state);

// Runs the screen until Enter (the name is taken and saved) or Esc (the old name stays).
void NameInput();

}  // namespace dusk
