// The level select's list and screen.
#include "screens/level_select.h"

#include <algorithm>

#include "screens/replay_viewer.h"
#include "state/progress.h"
#include "worlds/world_paths.h"
#include "worlds/worlds_state.h"

namespace dusk {

select_screen BuildLevelList(int worldno) {
  const world& record = *gameworlds.worlds[worldno];
  progress.levelunlocked[worldno][1] = 1;
  const int last = std::min(record.numlevels, kMaxLevels - 1);
  int entries = 0;
  for (int k = 0; k <= last; ++k) {
    if (progress.levelunlocked[worldno][k] != 0) ++entries;
  }
  select_screen screen = NewSelectScreen(entries);
  for (int k = 0; k <= last; ++k) {
    if (progress.levelunlocked[worldno][k] == 0) continue;
    const std::string text = HexDigit(worldno) + "-" + HexDigit(k) + ": " + record.levelname[k];
    // A level never won has a best score of 0.
    const int best = progress.bestscore[worldno][k];
    const entry_mark mark = best >= record.levelhighs[k] ? entry_mark::perfect
                            : best > 0                   ? entry_mark::won
                                                         : entry_mark::none;
    AddSelectEntry(screen, k, text, k == 0 ? kBonusEntryText : kEntryText, mark);
  }
  return screen;
}

int LevelSelect(int worldno, int cursor) {
  if (worldno < 0 || worldno >= kMaxWorlds || !gameworlds.worlds[worldno] ||
      progress.worldunlocked[worldno] == 0) {
    return -1;
  }
  select_screen screen = BuildLevelList(worldno);
  PlaceSelectCursor(screen, cursor);
  screen.footer = kReplayKeyLabel;
  screen.nothing_to_view = kNoReplayYet;
  screen.view = [worldno](int number) { return ViewReplay(worldno, number); };
  return RunSelect(screen);
}

}  // namespace dusk
