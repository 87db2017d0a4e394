// The list screen that the world select and the level select share: a scrolling list of numbered entries
// over the "Level select" background (with a title of its own), with its cursor, sounds and frame loop.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "display/tilemap.h"
#include "ui/screen_frame.h"

namespace dusk {

// Rows of the list shown at once, from screen row 2, and the row of the view the cursor keeps to.
inline constexpr int kSelectVisibleRows = 11;
inline constexpr int kSelectCursorRow = 5;
inline constexpr int kSelectListTop = 2;
inline constexpr int kSelectWidth = 20;
inline constexpr int kSelectHeight = 15;

// Colours and glyphs of the lists.
inline constexpr int kListBackground = 20;
inline constexpr int kEntryText = 46;
inline constexpr int kBonusEntryText = 44;
inline constexpr int kCursorGlyph = 26;
inline constexpr int kCursorColor = 30;
inline constexpr int kPerfectGlyph = '*';
inline constexpr int kPerfectColor = 5;
// A level won below its high score: a silver dot beside the gold star.
inline constexpr int kWonGlyph = 7;
inline constexpr int kWonColor = 59;

// How long a notice stands on the bottom bar: a second of menu frames.
inline constexpr int kNoticeFrames = 60;

// The mark in column 0 of an entry.
enum class entry_mark : uint8_t { none, won, perfect };

struct select_screen {
  std::vector<int> numbers;  // the world or level number each row stands for
  tilemap list;              // one row per entry, at least the 15 rows of the screen
  int cursor = 0;            // a row of the list
  int top = 0;               // the first row shown
  // The level select's V key: shows something about the number under the cursor (its replay), false when
  // there is nothing to show; the key's label on the bottom bar, and the notice shown there instead for a
  // while when there was nothing.
  std::function<bool(int number)> view;
  std::string footer;
  std::string nothing_to_view;
  std::string notice;  // shown on the bottom bar while notice_frames last
  int notice_frames = 0;
  std::string title;  // written over the background's title when not empty
};

// One frame's input, as ReadInput reports it.
using select_input = menu_input;

enum class select_event { none, chosen, back };

// What one frame did: the effect it plays (when sound is on), whether the menu track restarts for the
// mute key, and whether the screen ends (chosen ends before the frame is drawn, back after it).
struct select_step {
  select_event event = select_event::none;
  int number = -1;  // with chosen: the number of the cursor's row
  bool bip = false;
  bool slide = false;
  bool mute = false;
};

// An empty list for the given number of entries.
select_screen NewSelectScreen(int entries);
// Adds the next entry: its mark in column 0 and the text from column 2.
void AddSelectEntry(select_screen& screen, int number, const std::string& text, int textcolor,
                    entry_mark mark);
// Puts the cursor on the given row, wrapping a row outside the list as the cursor keys do, and scrolls.
void PlaceSelectCursor(select_screen& screen, int row);

// The row that stands for a number; the number itself when it is not listed (the cursor then wraps).
int RowOfNumber(const select_screen& screen, int number);

// One frame of the list: cursor moves with wrap-around, choice, back and scrolling; a notice counts down.
select_step StepSelect(select_screen& screen, const select_input& input);
// The screen as cells: the background, then the shown rows of the list with the cursor from row 2.
tilemap DrawSelect(const select_screen& screen, const tilemap* background);

// The first row shown for a cursor: the cursor stays on the sixth shown row until the list's end shows.
int SelectTop(int cursor, int rows);

// The frame loop: the chosen number, or -1 for back (at once when the list is empty). Closing the window
// ends the program without saving.
int RunSelect(select_screen& screen);

// The "Level select" background shared by both lists, read at start-up; none when it couldn't be read.
const tilemap* SelectBackground();

}  // namespace dusk
