// Text-mode widgets drawn as glyphs into a grid: framed windows, word-wrapped labels, buttons, check boxes.
#include "ui/gadget.h"

#include <algorithm>

#include "display/text.h"

namespace dusk {

namespace {

// Glyphs of the frame: corners joining a double vertical line with a single horizontal one.
constexpr int kTopLeft = 214;
constexpr int kTopRight = 183;
constexpr int kBottomLeft = 211;
constexpr int kBottomRight = 189;
constexpr int kSide = 186;
constexpr int kOpenBracket = 91;
constexpr int kCloseBracket = 93;
constexpr int kBlank = 0;
constexpr int kCheckMark = 251;

constexpr int kMouseLeft = 1;

gadget_ptr Create(int kind, const std::string& title, int x, int y, int w, int h, const gadget_ptr& parent) {
  auto made = std::make_shared<gadget>();
  made->kind = kind;
  made->title = title;
  made->x = x;
  made->y = y;
  made->w = w;
  made->h = h;
  if (parent) parent->child.push_back(made);
  return made;
}

void DrawFrame(const gadget& g, tilemap& grid, int ax, int ay) {
  if (g.h == 1) {
    grid.SetTile(ax, ay, kOpenBracket, g.bordercolor, g.bgcolor, 0);
    grid.SetTile(ax + g.w - 1, ay, kCloseBracket, g.bordercolor, g.bgcolor, 0);
    return;
  }
  grid.SetTile(ax, ay, kTopLeft, g.bordercolor, g.bgcolor, 0);
  grid.SetTile(ax + g.w - 1, ay, kTopRight, g.bordercolor, g.bgcolor, 0);
  grid.SetTile(ax, ay + g.h - 1, kBottomLeft, g.bordercolor, g.bgcolor, 0);
  grid.SetTile(ax + g.w - 1, ay + g.h - 1, kBottomRight, g.bordercolor, g.bgcolor, 0);
  for (int row = ay + 1; row <= ay + g.h - 2; ++row) {
    grid.SetTile(ax, row, kSide, g.bordercolor, g.bgcolor, 0);
    grid.SetTile(ax + g.w - 1, row, kSide, g.bordercolor, g.bgcolor, 0);
  }
}

}  // namespace

// The wrap works on the text followed by " h": the "h" only makes the last word end like the others and is
// never shown.
std::vector<std::string> WrapLabel(const std::string& text, int w, int h) {
  const std::string work = text + " h";
  const int last = static_cast<int>(work.size());
  std::vector<std::string> rows;
  std::string line;
  std::string word;
  const auto write = [&] { rows.push_back(line); };
  const auto length = [](const std::string& s) { return static_cast<int>(s.size()); };

  int i = 1;
  while (true) {
    const char c = work[static_cast<size_t>(i - 1)];
    const bool at_end = i == last;
    const bool is_break = c == kLineBreak;
    if (c != ' ' && !is_break && !at_end) {
      word += c;
    } else if (length(word) > w) {
      // A word too long for the box is split with a hyphen, and the same character is looked at again.
      if (!line.empty()) line += ' ';
      const int k = std::clamp(w - length(line) - 1, 0, length(word));
      line += word.substr(0, static_cast<size_t>(k));
      line += '-';
      word.erase(0, static_cast<size_t>(k));
      write();
      line.clear();
      --i;
    } else {
      if (length(line) + length(word) + 1 >= w || at_end || is_break) {
        if (is_break) {
          line += ' ';
          line += word;
        }
        write();
        line.clear();
      }
      if (at_end || is_break) {
        if (!is_break) word += c;
        if (!line.empty()) line += ' ';
        if (at_end && length(line) + length(word) <= w) {
          line += word;
        } else if (at_end) {
          write();
          line = word;
        }
        word.clear();
      }
      if (!line.empty()) line += ' ';
      line += word;
      word.clear();
    }
    ++i;
    if (static_cast<int>(rows.size()) >= h || i > last) break;
  }
  return rows;
}

int gadget::draw(tilemap& grid, int ox, int oy) {
  if (hidden != 0) return 0;
  const int ax = x + ox;
  const int ay = y + oy;

  if (kind == WINDOW) DrawFrame(*this, grid, ax, ay);

  if (!title.empty()) {
    switch (kind) {
      case WINDOW:
        if (w > 2) grid.SetTiles(ax + 1, ay, w - 2, 1, kBlank, bordercolor, bordercolor, 0);
        if (w > 4)
          InsertString(grid, ax + 2, ay, title.substr(0, static_cast<size_t>(w - 4)), TextColor, kNoValue);
        break;
      case LABEL:
        if (static_cast<int>(title.size()) <= w && title.find(kLineBreak) == std::string::npos) {
          InsertString(grid, ax, ay, title, TextColor, bgcolor);
        } else {
          // Rows below the grid can't show, so the wrap need not go past them.
          const int visible = std::min(h, grid.tmaph - ay);
          const std::vector<std::string> rows = WrapLabel(title, w, visible);
          for (size_t n = 0; n < rows.size(); ++n) {
            InsertString(grid, ax, ay + static_cast<int>(n), rows[n], TextColor, bgcolor);
          }
        }
        break;
      case CHECKBOX:
        grid.SetTile(ax, ay, state == 1 ? kCheckMark : kBlank, TextColor, bgcolor, 0);
        InsertString(grid, ax + 2, ay, title, TextColor, kNoValue);
        if (gadgets.mouse.x == ax && gadgets.mouse.y == ay && gadgets.mouse.released[kMouseLeft] != 0) {
          state = state == 1 ? 0 : 1;
        }
        break;
      case BUTTON:
        InsertString(grid, ax, ay, title, TextColor, kNoValue);
        break;
      default:
        break;
    }
  }

  for (const gadget_ptr& each : child) {
    if (each) each->draw(grid, ax, ay);
  }
  return 0;
}

gadget_ptr CreateWindow(const std::string& title, int x, int y, int w, int h, const gadget_ptr& parent) {
  return Create(gadget::WINDOW, title, x, y, w, h, parent);
}

gadget_ptr CreateLabel(const std::string& title, int x, int y, int w, int h, const gadget_ptr& parent) {
  return Create(gadget::LABEL, title, x, y, w, h, parent);
}

gadget_ptr CreateButton(const std::string& title, int x, int y, const gadget_ptr& parent) {
  return Create(gadget::BUTTON, title, x, y, 0, 0, parent);
}

gadget_ptr CreateCheckbox(const std::string& title, int x, int y, const gadget_ptr& parent) {
  return Create(gadget::CHECKBOX, title, x, y, 0, 0, parent);
}

gadget_ptr DrawWindow(tilemap& grid, const std::string& title, int x, int y, int w, int h) {
  gadget_ptr made = CreateWindow(title, x, y, w, h);
  made->draw(grid, 0, 0);
  return made;
}

gadget_ptr DrawLabel(tilemap& grid, const std::string& text, int x, int y, int w, int h) {
  gadget_ptr made = CreateLabel(text, x, y, w, h);
  made->draw(grid, 0, 0);
  return made;
}

}  // namespace dusk
