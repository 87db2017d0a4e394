// The world select's list and screen.
#include "screens/world_select.h"

#include <algorithm>

#include "state/progress.h"
#include "worlds/world_paths.h"
#include "worlds/worlds_state.h"

namespace dusk {

namespace {

// Every level of the world, its bonus level included, reached its high score.
bool WorldPerfected(int worldno, const world& record) {
  const int last = std::min(record.numlevels, kMaxLevels - 1);
  for (int k = 0; k <= last; ++k) {
    if (progress.bestscore[worldno][k] < record.levelhighs[k]) return false;
  }
  return true;
}

}  // namespace

select_screen BuildWorldList() {
  const int count = std::clamp(gameworlds.numworlds, 0, kMaxWorlds);
  int entries = 0;
  for (int n = 0; n < count; ++n) {
    if (progress.worldunlocked[n] != 0 && gameworlds.worlds[n]) ++entries;
  }
  select_screen screen = NewSelectScreen(entries);
  // The background is titled for the level select.
  screen.title = kWorldSelectTitle;
  for (int n = 0; n < count; ++n) {
    // A world whose record failed to load has nothing to show or play, so it is not offered.
    if (progress.worldunlocked[n] == 0 || !gameworlds.worlds[n]) continue;
    const std::string text = "World " + HexDigit(n) + ": " + gameworlds.worldname[n];
    AddSelectEntry(screen, n, text, n == 0 ? kBonusEntryText : kEntryText,
                   WorldPerfected(n, *gameworlds.worlds[n]) ? entry_mark::perfect : entry_mark::none);
  }
  return screen;
}

int WorldSelect(int cursor) {
  select_screen screen = BuildWorldList();
  PlaceSelectCursor(screen, cursor);
  return RunSelect(screen);
}

}  // namespace dusk
