// The main menu, the hub of the front end, with its column of progress marks; and UnlockAll.
#pragma once

#include "display/tilemap.h"
#include "state/progress.h"
#include "ui/screen_frame.h"
#include "worlds/worlds_state.h"

namespace dusk {

inline constexpr int kMainMenuEntries = 4;  // Play, Option, Credits, Quit

enum class main_menu_entry { none, play, options, credits, quit };

struct main_menu_state {
  int cursor = 0;
  int locked = 0;          // the bonus world's bonus level reached its high score: the locked menu shows
  tilemap progresscolumn;  // 1 x 15, drawn at the right edge
};

// What one frame of the menu asks its loop to do.
struct main_menu_step {
  effect_list effects;
  bool restart_music = false;  // the mute key was pressed
  main_menu_entry entry = main_menu_entry::none;
  bool leave = false;  // back: write the save file and return
};

// The progress column and the choice of menu picture, worked out once when the menu is entered. A world
// that is not loaded counts as having no levels.
main_menu_state EnterMainMenu(const progress_state& values, const worlds_state& loaded);

main_menu_step StepMainMenu(main_menu_state& state, const menu_input& in);

// The 1 x 4 grid with the cursor arrow on the cursor's row.
tilemap MainMenuCursor(const main_menu_state& state);
// The menu picture, the cursor and the progress column into the window.
void DrawMainMenu(main_menu_state& state);

// Runs until the player quits; returns 0. The save file is written when the menu ends.
int MainMenu();

// Marks worlds start to 15 unlocked, and in each of them levels start to 15 (in the player's progress, or
// in the values given).
void UnlockAll(int start);
void UnlockAll(progress_state& values, int start);

}  // namespace dusk
