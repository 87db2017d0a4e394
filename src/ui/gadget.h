// Text-mode widgets drawn as glyphs into a grid: framed windows, word-wrapped labels, buttons, check boxes;
// the modal popup built from them, and the mouse in cell units.
#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "display/tilemap.h"

namespace dusk {

struct gadget;
using gadget_ptr = std::shared_ptr<gadget>;

struct gadget {
  // Kinds.
  static constexpr int WINDOW = 0;
  static constexpr int LABEL = 1;
  static constexpr int BUTTON = 2;
  static constexpr int CHECKBOX = 3;

  uint8_t bordercolor = 28;
  uint8_t TextColor = 0;
  uint8_t bgcolor = 255;  // 255 leaves the cells' background as it is
  int kind = WINDOW;
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  std::list<gadget_ptr> child;  // drawn after the gadget, relative to it
  int hidden = 0;
  std::string title;
  int state = 0;  // a check box's tick
  int active = 0;
  std::weak_ptr<gadget> nextactive;

  // Draws the gadget and its children with x, y relative to (ox, oy). A check box under the mouse flips
  // when mouse button 1 was released this frame. Returns 0.
  int draw(tilemap& grid, int ox, int oy);
};

// New gadgets; with a parent they are appended to its children.
gadget_ptr CreateWindow(const std::string& title, int x, int y, int w, int h,
                        const gadget_ptr& parent = nullptr);
gadget_ptr CreateLabel(const std::string& title, int x, int y, int w, int h,
                       const gadget_ptr& parent = nullptr);
gadget_ptr CreateButton(const std::string& title, int x, int y, const gadget_ptr& parent = nullptr);
gadget_ptr CreateCheckbox(const std::string& title, int x, int y, const gadget_ptr& parent = nullptr);

// A window or label without parent, drawn into the grid at once.
gadget_ptr DrawWindow(tilemap& grid, const std::string& title, int x, int y, int w, int h);
gadget_ptr DrawLabel(tilemap& grid, const std::string& text, int x, int y, int w, int h);

// The rows a label of width w shows for text, as its word wrap lays them out (at most h of them; an empty
// string is a row left blank).
std::vector<std::string> WrapLabel(const std::string& text, int w, int h);

// The mouse in cell units and buttons 1 to 3 (index 1 to 3; 0 unused), refreshed once per popup frame.
struct mouse_cells {
  int x = 0;
  int y = 0;
  std::array<int, 4> lastdown{};
  std::array<int, 4> released{};  // set for exactly the frame in which the button went up
};

// The popup button lists and the mouse, the gadget module's own state.
struct gadget_state {
  std::vector<std::string> okbuttons{"Ok"};
  std::vector<std::string> yesnobuttons{"Yes", "No"};
  mouse_cells mouse;
};

extern gadget_state gadgets;

// Back to the start state: the two button lists, the mouse at cell (0, 0) with no button down.
void ResetGadgets();

void UpdateMouse();
// 1 when the mouse cell lies in columns x to x+w-1 and rows y to y+h-1.
int MouseInCells(int x, int y, int w, int h);

// Colours of the popup box.
inline constexpr int kPopupButtonBackground = 22;
inline constexpr int kPopupMarkerColor = 14;
inline constexpr int kPopupWidth = 38;
inline constexpr int kPopupMinimumWidth = 12;
inline constexpr int kPopupHeight = 8;

// The popup box's width: 38 cells, or the screen's width when that is narrower (down to 12).
int PopupWidth();

// A modal box (PopupWidth() x 8 cells, centred) with the title, the text and a row of buttons, chosen with
// the keys (left/right, Enter or Space, Esc for the last button) or a click. Runs its own frames; returns the
// chosen button's index, or -1 for an empty list. A close request of the window ends the program.
int popup(const std::string& title, const std::string& text, const std::vector<std::string>& buttons);
int ShowMessage(const std::string& title, const std::string& text);  // "Ok"; returns 1
int AskYesNo(const std::string& title, const std::string& text);     // 0 yes, 1 no

}  // namespace dusk
