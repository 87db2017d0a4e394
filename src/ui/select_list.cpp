// The shared list screen of the world and level select: its rows, cursor, scrolling and frame loop.
#include "ui/select_list.h"

#include <algorithm>

#include "display/draw.h"
#include "display/text.h"
#include "platform/input.h"
#include "platform/window.h"
#include "ui/front_state.h"
#include "ui/music.h"
#include "ui/read_input.h"
#include "ui/sound_effects.h"

namespace dusk {

namespace {

constexpr int kEmpty = 255;
constexpr int kTextColumn = 2;
constexpr int kCursorColumn = 1;
constexpr int kFooterColumn = 1;
constexpr int kFooterColor = 0;  // as the title, on the bar
constexpr int kBarColor = 36;
constexpr int kBlank = ' ';  // the bars' blank cells, as the background draws them

// Below the first row the cursor goes to the last, past the last to the first.
int WrapRow(int row, int rows) {
  if (rows <= 0) return 0;
  if (row < 0) return rows - 1;
  if (row >= rows) return 0;
  return row;
}

}  // namespace

select_screen NewSelectScreen(int entries) {
  select_screen screen;
  // The screen shows 15 rows, but a list of 16 gets a row for each entry, so the last one can be seen.
  screen.list = tilemap::Create(kSelectWidth, std::max(kSelectHeight, entries));
  screen.list.Fill(kEmpty, kEmpty, kEmpty, 1);
  screen.numbers.reserve(static_cast<size_t>(std::max(entries, 0)));
  return screen;
}

void AddSelectEntry(select_screen& screen, int number, const std::string& text, int textcolor,
                    entry_mark mark) {
  const int row = static_cast<int>(screen.numbers.size());
  if (row >= screen.list.tmaph) return;
  if (mark == entry_mark::perfect)
    screen.list.SetTile(0, row, kPerfectGlyph, kPerfectColor, kListBackground, 1);
  if (mark == entry_mark::won) screen.list.SetTile(0, row, kWonGlyph, kWonColor, kListBackground, 1);
  InsertString(screen.list, kTextColumn, row, text, textcolor, kListBackground, 0, 1, 1);
  screen.numbers.push_back(number);
}

int SelectTop(int cursor, int rows) {
  return std::max(0, std::min(cursor - kSelectCursorRow, rows - kSelectVisibleRows));
}

void PlaceSelectCursor(select_screen& screen, int row) {
  const int rows = static_cast<int>(screen.numbers.size());
  screen.cursor = WrapRow(row, rows);
  screen.top = SelectTop(screen.cursor, rows);
}

int RowOfNumber(const select_screen& screen, int number) {
  const auto found = std::find(screen.numbers.begin(), screen.numbers.end(), number);
  return found == screen.numbers.end() ? number : static_cast<int>(found - screen.numbers.begin());
}

select_step StepSelect(select_screen& screen, const select_input& input) {
  select_step step;
  step.bip = input.up != 0 || input.down != 0;
  step.slide = input.left != 0 || input.right != 0 || input.confirm != 0;
  step.mute = input.mute != 0;
  if (screen.notice_frames > 0) screen.notice_frames -= 1;

  const int rows = static_cast<int>(screen.numbers.size());
  if (input.up != 0) screen.cursor = WrapRow(screen.cursor - 1, rows);
  if (input.down != 0) screen.cursor = WrapRow(screen.cursor + 1, rows);

  if (input.confirm != 0 || input.right != 0) {
    // With nothing listed there is nothing to choose: the choice leaves the screen as back does.
    if (rows == 0) {
      step.event = select_event::back;
      return step;
    }
    step.event = select_event::chosen;
    step.number = screen.numbers[static_cast<size_t>(screen.cursor)];
    return step;
  }
  screen.top = SelectTop(screen.cursor, rows);
  if (input.back != 0 || input.left != 0) step.event = select_event::back;
  return step;
}

tilemap DrawSelect(const select_screen& screen, const tilemap* background) {
  tilemap cells = tilemap::Create(kSelectWidth, kSelectHeight);
  cells.Fill(kEmpty, kEmpty, kEmpty, 1);
  if (background != nullptr)
    tilemap::CopyRect(*background, 0, 0, kSelectWidth, kSelectHeight, cells, 0, 0, 1);

  tilemap list = screen.list.Copy();
  list.SetTiles(kCursorColumn, 0, 1, list.tmaph, kEmpty, kEmpty, kEmpty, 1);
  if (!screen.numbers.empty())
    list.SetTile(kCursorColumn, screen.cursor, kCursorGlyph, kCursorColor, kListBackground, 1);
  // Empty cells of the list leave the background showing, as drawing never paints colour 255.
  tilemap::CopyRect(list, 0, screen.top, kSelectWidth, kSelectVisibleRows, cells, 0, kSelectListTop, 0);
  if (!screen.title.empty()) {
    cells.SetTiles(0, 0, kSelectWidth, 1, kBlank, kFooterColor, kBarColor, 1);
    const int column = (kSelectWidth - static_cast<int>(screen.title.size())) / 2;
    InsertString(cells, column, 0, screen.title, kFooterColor, kBarColor);
  }
  const std::string& bar = screen.notice_frames > 0 ? screen.notice : screen.footer;
  if (!bar.empty()) InsertString(cells, kFooterColumn, kSelectHeight - 1, bar, kFooterColor, kBarColor);
  return cells;
}

int RunSelect(select_screen& screen) {
  while (true) {
    select_input input;
    ReadInput(input.right, input.left, input.down, input.up, input.confirm, input.back, input.mute,
              kSelectRepeat);
    const int view = screen.view ? KeyHits(key::kV) : 0;
    if (view != 0 && !screen.numbers.empty()) {
      if (screen.view(screen.numbers[static_cast<size_t>(screen.cursor)])) {
        // The key that ended the view does nothing here.
        ClearInput();
        continue;
      }
      // Nothing to show: the bar says so for a while, and the frame goes on.
      screen.notice = screen.nothing_to_view;
      screen.notice_frames = kNoticeFrames + 1;  // this frame's step counts one off
    }
    const select_step step = StepSelect(screen, input);
    if (step.bip) PlayEffect(sound_effect::bip);
    if (step.slide) PlayEffect(sound_effect::slide);
    if (step.mute) MusicOnMenuMute();
    if (step.event == select_event::chosen) return step.number;
    if (step.event == select_event::back && screen.numbers.empty()) return -1;

    tilemap cells = DrawSelect(screen, SelectBackground());
    ClearScreen();
    Draw(cells, 0, 0);
    EndMenuFrame();
    if (step.event == select_event::back) return -1;
  }
}

const tilemap* SelectBackground() {
  return front.lselect.tmapw > 0 ? &front.lselect : nullptr;
}

}  // namespace dusk
