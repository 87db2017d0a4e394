// The one-line text editor of the name input: one call per frame, typed characters in, text out.
#pragma once

#include <string>

#include "display/tilemap.h"

namespace dusk {

// One frame of editing: takes the frame's typed character, edits text (maxlen 0: no limit), draws it with a
// blinking cursor at (x, y) and returns it. When Enter was typed the result ends in an extra character 0
// and nothing is drawn. The cursor state lives in the grid (uscore, utime, utoggletime).
std::string InputField(tilemap& grid, int x, int y, std::string text, int fg, int bg, int maxlen);
// The same with the frame's typed character given (0 for none), for screens that read input themselves.
std::string EditInputField(tilemap& grid, int x, int y, std::string text, int fg, int bg, int maxlen,
                           int typed);

// Whether the field takes a typed character of this code.
bool InputFieldAccepts(int code);

}  // namespace dusk
