// The main menu: the cursor over the four entries of the menu picture, the progress column beside them,
// and the sub-screens it runs.
#include "screens/main_menu.h"

#include <algorithm>

#include "display/draw.h"
#include "persist/save.h"
#include "platform/input.h"
#include "platform/window.h"
#include "screens/credits_screen.h"
#include "screens/name_input.h"
#include "screens/options_screen.h"
#include "screens/play_worlds.h"
#include "ui/front_state.h"
#include "ui/menu_colors.h"
#include "ui/music.h"
#include "ui/read_input.h"

namespace dusk {

namespace {

constexpr int kColumnRows = 15;
constexpr int kWorldMark = '*';
constexpr int kBonusLevelMark = 9;
constexpr int kUnlockedMarkColor = 61;
constexpr int kLockedMarkColor = 53;
constexpr int kCursorX = 1;
constexpr int kCursorY = 10;
constexpr int kColumnX = 19;

const world* Loaded(const worlds_state& loaded, int w) {
  return w >= 0 && w < kMaxWorlds ? loaded.worlds[static_cast<size_t>(w)].get() : nullptr;
}

// A level that is not there (its world not loaded, or past the world's last level) has no high score to
// reach, so it is never marked as reached.
bool ReachedHighScore(const progress_state& values, const worlds_state& loaded, int w, int l) {
  const world* record = Loaded(loaded, w);
  if (record == nullptr || l > record->numlevels) return false;
  const auto wi = static_cast<size_t>(w);
  const auto li = static_cast<size_t>(l);
  return values.bestscore[wi][li] >= record->levelhighs[li];
}

int MarkColor(const progress_state& values, const worlds_state& loaded, int w, int l) {
  if (ReachedHighScore(values, loaded, w, l)) return kHighScoreColor;
  return values.levelunlocked[static_cast<size_t>(w)][static_cast<size_t>(l)] ? kUnlockedMarkColor
                                                                              : kLockedMarkColor;
}

}  // namespace

main_menu_state EnterMainMenu(const progress_state& values, const worlds_state& loaded) {
  main_menu_state state;
  state.progresscolumn = tilemap::Create(1, kColumnRows);
  tilemap& column = state.progresscolumn;
  column.Fill(kNoValue, kNoValue, kNoValue, 1);

  int p = 0;
  for (int c = 1; c <= 14; ++c) {
    if (values.worldunlocked[static_cast<size_t>(c + 1)]) p = c;
  }
  if (const world* last = Loaded(loaded, 15);
      last != nullptr && last->numlevels >= 0 && last->numlevels < kMaxLevels &&
      values.levelunlocked[15][static_cast<size_t>(last->numlevels)]) {
    p = 15;
  }
  if (values.worldunlocked[0]) p = 16;

  if (p >= 1 && p <= 15) {
    // One mark per world reached, centred in the column.
    const int start = (15 - p) / 2;
    for (int w = 0; w <= p; ++w) {
      column.SetTile(0, start + w, kWorldMark, MarkColor(values, loaded, w, 0), kListBackground, 1);
    }
  } else if (p == 16) {
    if (ReachedHighScore(values, loaded, 0, 0)) {
      state.locked = 1;
    } else if (const world* bonus = Loaded(loaded, 0); bonus != nullptr) {
      // One mark per level of the bonus world reached; a world shorter than the column shows only its own.
      p = 0;
      for (int c = 1; c <= 14; ++c) {
        if (values.levelunlocked[0][static_cast<size_t>(c + 1)]) p = c;
      }
      p = std::min(p, bonus->numlevels);
      const int start = (15 - p) / 2;
      for (int l = 0; l <= p; ++l) {
        column.SetTile(0, start + l, kBonusLevelMark, MarkColor(values, loaded, 0, l), kListBackground, 1);
      }
    }
  }
  return state;
}

main_menu_step StepMainMenu(main_menu_state& state, const menu_input& in) {
  main_menu_step step;
  if (in.up || in.down) step.effects.push_back(sound_effect::bip);
  if (in.left || in.right || in.confirm) step.effects.push_back(sound_effect::slide);
  step.restart_music = in.mute != 0;

  state.cursor += (in.down ? 1 : 0) - (in.up ? 1 : 0);
  if (state.cursor < 0) state.cursor = kMainMenuEntries - 1;
  if (state.cursor >= kMainMenuEntries) state.cursor = 0;

  if (in.right || in.confirm) {
    static constexpr main_menu_entry kEntries[kMainMenuEntries] = {
        main_menu_entry::play, main_menu_entry::options, main_menu_entry::credits, main_menu_entry::quit};
    step.entry = kEntries[state.cursor];
  }
  step.leave = in.back != 0;
  return step;
}

tilemap MainMenuCursor(const main_menu_state& state) {
  tilemap cursor = tilemap::Create(1, kMainMenuEntries);
  cursor.Fill(kNoValue, kNoValue, kNoValue, 1);
  cursor.SetTile(0, state.cursor, kCursorGlyph, kCursorColor, kListBackground, 1);
  return cursor;
}

void DrawMainMenu(main_menu_state& state) {
  tilemap cursor = MainMenuCursor(state);
  Draw(state.locked ? front.lockedmenu : front.menu, 0, 0);
  Draw(cursor, kCursorX, kCursorY);
  Draw(state.progresscolumn, kColumnX, 0);
}

int MainMenu() {
  ClearScreen();
  ClearInput();
  main_menu_state state = EnterMainMenu(progress, gameworlds);
  MusicAtMenuStart();
  for (;;) {
    const main_menu_step step = StepMainMenu(state, ReadMenuInput(kMenuRepeat));
    PlayEffects(step.effects);
    if (step.restart_music) MusicOnMenuMute();
    switch (step.entry) {
      case main_menu_entry::play:
        if (!progress.namechosen) NameInput();
        PlayWorlds();
        break;
      case main_menu_entry::options:
        OptionsScreen();
        break;
      case main_menu_entry::credits:
        CreditsScreen();
        break;
      case main_menu_entry::quit:
        // Saved here too, so that a mute toggled in the menu is not lost by leaving through "Quit".
        WriteSave(kSaveFile);
        return 0;
      case main_menu_entry::none:
        break;
    }
    if (step.entry != main_menu_entry::none) {
      ClearInput();
      MusicOnReturnToMenu();
    }
    DrawMainMenu(state);
    if (CloseRequested() || step.leave) {
      WriteSave(kSaveFile);
      return 0;
    }
    PresentFrame(-1);
  }
}

void UnlockAll(int start) {
  UnlockAll(progress, start);
}

void UnlockAll(progress_state& values, int start) {
  for (int w = std::max(start, 0); w < kMaxWorlds; ++w) {
    values.worldunlocked[static_cast<size_t>(w)] = 1;
    for (int l = std::max(start, 0); l < kMaxLevels; ++l) {
      values.levelunlocked[static_cast<size_t>(w)][static_cast<size_t>(l)] = 1;
    }
  }
}

}  // namespace dusk
