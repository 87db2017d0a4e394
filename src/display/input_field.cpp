// The one-line text editor of the name input: one call per frame, typed characters in, text out.
#include "display/input_field.h"

#include <string_view>
#include <utility>

#include "display/text.h"
#include "platform/input.h"

namespace dusk {

namespace {

constexpr int kBackspace = 8;
constexpr int kEnter = 13;
constexpr char kCursor = '_';

}  // namespace

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
