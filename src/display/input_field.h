// The one-line text editor of the name input: one call per frame, typed characters in, text out.
#pragma once

#include <cstdint>
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

// A one-line field that edits as text fields do: typing goes in at the caret and replaces the selection,
// Backspace and Delete take the character before or after the caret (or the selection), the arrows, Home
// and End move the caret and end the selection.
struct text_field {
  std::string text;
  int caret = 0;          // 0 to the text's length: where typing goes in
  bool selected = false;  // the whole text is selected
};

// A field holding the text, all of it selected, so that the first character typed replaces it.
text_field SelectedField(const std::string& text);

// The keys that edit a field besides the typed characters.
enum class field_key : uint8_t { none, left, right, home, end, del };

// One frame of editing: the frame's editing key and typed character (0 for none; Backspace 8, Enter 13),
// at most maxlen characters (0: no limit). Then draws the field at (x, y): the selection in swapped colours,
// or the blinking caret (an underline after the text, the character under it in swapped colours; none
// on a full field with the caret at its end). True when Enter was typed; nothing is drawn then. The blink
// lives in the grid (uscore, utime, utoggletime), as the input field's cursor does.
bool EditTextField(tilemap& grid, int x, int y, text_field& field, int fg, int bg, int maxlen, int typed,
                   field_key key);

}  // namespace dusk
