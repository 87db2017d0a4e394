// The one-line text editor of the name input: one call per frame, typed characters in, text out.
#include "display/input_field.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "display/text.h"
#include "platform/input.h"

namespace dusk {

namespace {

constexpr int kBackspace = 8;
constexpr int kEnter = 13;
constexpr char kCursor = '_';

int Length(const std::string& text) {
  return static_cast<int>(text.size());
}

// Anything the player does shows at once and hides the caret, whose blink starts over.
void RestartBlink(tilemap& grid) {
  grid.uscore.clear();
  grid.utime = 0;
}

void AdvanceBlink(tilemap& grid) {
  ++grid.utime;
  if (grid.utime >= grid.utoggletime) {
    grid.utime = 0;
    if (grid.uscore.empty()) {
      grid.uscore.assign(1, kCursor);
    } else {
      grid.uscore.clear();
    }
  }
}

void ClearSelection(text_field& field) {
  field.text.clear();
  field.caret = 0;
  field.selected = false;
}

void MoveCaret(text_field& field, field_key key) {
  const int length = Length(field.text);
  switch (key) {
    case field_key::left:
      // From a selection the arrows go to its ends, as text fields do.
      field.caret = field.selected ? 0 : std::max(0, field.caret - 1);
      break;
    case field_key::right:
      field.caret = field.selected ? length : std::min(length, field.caret + 1);
      break;
    case field_key::home:
      field.caret = 0;
      break;
    case field_key::end:
      field.caret = length;
      break;
    case field_key::del:
      if (field.selected) {
        ClearSelection(field);
      } else if (field.caret < length) {
        field.text.erase(static_cast<size_t>(field.caret), 1);
      }
      break;
    case field_key::none:
      return;
  }
  field.selected = false;
}

void Type(text_field& field, int k, int maxlen) {
  if (k == kBackspace) {
    if (field.selected) {
      ClearSelection(field);
    } else if (field.caret > 0) {
      field.text.erase(static_cast<size_t>(field.caret - 1), 1);
      field.caret -= 1;
    }
    return;
  }
  if (!InputFieldAccepts(k)) return;
  if (field.selected) ClearSelection(field);
  if (maxlen > 0 && Length(field.text) >= maxlen) return;
  field.text.insert(static_cast<size_t>(field.caret), 1, static_cast<char>(k));
  field.caret += 1;
}

}  // namespace

text_field SelectedField(const std::string& text) {
  return text_field{text, Length(text), !text.empty()};
}

bool EditTextField(tilemap& grid, int x, int y, text_field& field, int fg, int bg, int maxlen, int typed,
                   field_key key) {
  field.caret = std::clamp(field.caret, 0, Length(field.text));
  MoveCaret(field, key);
  if (typed == kEnter) {
    grid.uscore.clear();
    return true;
  }
  Type(field, typed, maxlen);
  if (typed > 0 || key != field_key::none) RestartBlink(grid);
  AdvanceBlink(grid);

  if (field.selected) {
    InsertString(grid, x, y, field.text, bg, fg, 0, 0, 0);
    return false;
  }
  InsertString(grid, x, y, field.text, fg, bg, 0, 0, 0);
  if (grid.uscore.empty()) return false;
  if (field.caret < Length(field.text)) {
    const std::string under(1, field.text[static_cast<size_t>(field.caret)]);
    InsertString(grid, x + field.caret, y, under, bg, fg, 0, 0, 0);
  } else if (maxlen == 0 || field.caret < maxlen) {
    InsertString(grid, x + field.caret, y, grid.uscore, fg, bg, 0, 0, 0);
  }
  return false;
}

bool InputFieldAccepts(int code) {
  if ((code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
    return true;
  // The minus and equals signs are left out on purpose.
  static constexpr std::string_view kSymbols = " !@#$%^&*()_+|\\[];',./{}:<>?`~\"";
  return code > 0 && code < 128 && kSymbols.find(static_cast<char>(code)) != std::string_view::npos;
}

std::string InputField(tilemap& grid, int x, int y, std::string text, int fg, int bg, int maxlen) {
  return EditInputField(grid, x, y, std::move(text), fg, bg, maxlen, NextTypedChar());
}

std::string EditInputField(tilemap& grid, int x, int y, std::string text, int fg, int bg, int maxlen,
                           int typed) {
  const int k = typed;
  if (InputFieldAccepts(k) && (maxlen == 0 || static_cast<int>(text.size()) < maxlen)) {
    text += static_cast<char>(k);
  }
  if (k == kBackspace && !text.empty()) text.pop_back();
  if (k == kEnter) {
    grid.uscore.clear();
    text += '\0';
    return text;
  }
  if (k > 0) {
    grid.uscore.clear();
    grid.utime = 0;
  }
  ++grid.utime;
  if (grid.utime >= grid.utoggletime) {
    grid.utime = 0;
    if (grid.uscore.empty()) {
      grid.uscore.assign(1, kCursor);
    } else {
      grid.uscore.clear();
    }
  }
  if (maxlen > 0 && static_cast<int>(text.size()) == maxlen) grid.uscore.clear();
  std::string shown = text;
  shown.append(grid.uscore);
  InsertString(grid, x, y, shown, fg, bg, 0, 0, 1);
  return text;
}

}  // namespace dusk
