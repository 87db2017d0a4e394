// The modal popup with its row of buttons, and the mouse in cell units that it and the check boxes read.
#include <algorithm>
#include <numeric>

#include "display/display_state.h"
#include "display/draw.h"
#include "display/text.h"
#include "platform/input.h"
#include "platform/program.h"
#include "platform/window.h"
#include "ui/gadget.h"

namespace dusk {

gadget_state gadgets;

void ResetGadgets() {
  gadgets = gadget_state{};
}

namespace {

constexpr int kMouseButtons = 3;
constexpr int kMouseLeft = 1;
constexpr int kButtonRow = 6;
constexpr int kMarkerRow = 7;
constexpr int kClickTop = 5;  // rows 5 to 7 of the box take a click on a button
constexpr int kClickRows = 3;
constexpr int kPacedFrame = -1;

constexpr int kBoxBackground = 9;
constexpr int kButtonText = 0;

// Pixels to cells; a display without glyphs yet counts every pixel as a cell rather than dividing by 0.
int PixelsToCells(int pixels, int glyph, int scale) {
  if (glyph > 0) pixels /= glyph;
  if (scale > 0) pixels /= scale;
  return pixels;
}

}  // namespace

void UpdateMouse() {
  gadgets.mouse.x = PixelsToCells(MousePixelX(), display.glyphwidth, display.displayscale);
  gadgets.mouse.y = PixelsToCells(MousePixelY(), display.glyphheight, display.displayscale);
  for (int button = 1; button <= kMouseButtons; ++button) {
    const auto b = static_cast<size_t>(button);
    const int down = MouseButtonDown(button) != 0 ? 1 : 0;
    gadgets.mouse.released[b] = gadgets.mouse.lastdown[b] != 0 && down == 0 ? 1 : 0;
    gadgets.mouse.lastdown[b] = down;
  }
}

int PopupWidth() {
  return std::clamp(display.displaywidth, kPopupMinimumWidth, kPopupWidth);
}

int MouseInCells(int x, int y, int w, int h) {
  const mouse_cells& m = gadgets.mouse;
  return m.x >= x && m.x <= x + w - 1 && m.y >= y && m.y <= y + h - 1 ? 1 : 0;
}

int popup(const std::string& title, const std::string& text, const std::vector<std::string>& buttons) {
  if (buttons.empty()) return -1;
  ClearInput();

  // The box is 38 cells wide, or as wide as the screen when that is narrower, so that it can be read.
  const int width = PopupWidth();
  tilemap box = tilemap::Create(width, kPopupHeight);
  box.Fill(0, kButtonText, kBoxBackground, 1);
  CreateWindow(title, 0, 0, width, kPopupHeight)->draw(box, 0, 0);
  CreateLabel(text, 1, 1, width - 2, kPopupHeight - 3)->draw(box, 0, 0);

  const int count = static_cast<int>(buttons.size());
  const int spread =
      std::accumulate(buttons.begin(), buttons.end(), 2 * count,
                      [](int sum, const std::string& b) { return sum + static_cast<int>(b.size()); });
  std::vector<int> bx(buttons.size());
  for (int i = 0; i < count; ++i) {
    bx[static_cast<size_t>(i)] = i * (spread / count) + width / 2 - spread / 2;
    InsertString(box, bx[static_cast<size_t>(i)], kButtonRow, buttons[static_cast<size_t>(i)], kButtonText,
                 kPopupButtonBackground);
  }

  int selected = 0;
  while (true) {
    const int left = display.displaywidth / 2 - width / 2;
    const int top = display.displayheight / 2 - kPopupHeight / 2;
    UpdateMouse();
    ClearScreen();
    Draw(box, left, top, 0, 0, -1, -1);

    if (KeyHits(key::kEscape) != 0) {
      ClearInput();
      return count - 1;
    }
    if (KeyHits(key::kEnter) != 0 || KeyHits(key::kSpace) != 0) {
      ClearInput();
      return selected;
    }
    // Every key is asked each frame, so two keys hit together move once and leave nothing pending.
    const int back = KeyHits(key::kLeft) + KeyHits(key::kA) + KeyHits(key::kUp) + KeyHits(key::kW);
    const int forward =
        KeyHits(key::kRight) + KeyHits(key::kD) + KeyHits(key::kTab) + KeyHits(key::kDown) + KeyHits(key::kS);
    if (back != 0) --selected;
    if (forward != 0) ++selected;
    while (selected < 0) selected += count;
    selected %= count;

    for (int i = 0; i < count; ++i) {
      const std::string& label = buttons[static_cast<size_t>(i)];
      const int length = static_cast<int>(label.size());
      const int start = bx[static_cast<size_t>(i)];
      InsertString(box, start + length / 2 - 1, kMarkerRow, i == selected ? "XX" : "--", kPopupMarkerColor,
                   kBoxBackground);
      if (MouseInCells(start + left, top + kClickTop, length, kClickRows) != 0 &&
          gadgets.mouse.released[kMouseLeft] != 0) {
        return i;
      }
    }

    PresentFrame(kPacedFrame);
    if (CloseRequested() != 0) EndProgram();
  }
}

int ShowMessage(const std::string& title, const std::string& text) {
  popup(title, text, gadgets.okbuttons);
  return 1;
}

int AskYesNo(const std::string& title, const std::string& text) {
  return popup(title, text, gadgets.yesnobuttons);
}

}  // namespace dusk
