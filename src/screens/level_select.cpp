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
    const bool perfect = progress.bestscore[worldno][k] >= record.levelhighs[k];
    AddSelectEntry(screen, k, text, k == 0 ? kBonusEntryText : kEntryText, perfect);
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
  screen.view = [worldno](int number) { (void)ViewReplay(worldno, number); };
  return RunSelect(screen);
}

}  // namespace dusk
