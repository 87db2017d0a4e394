// Scoring a won level and the unlocks it earns.
#include "screens/world_progress.h"

#include <algorithm>

#include "state/progress.h"
#include "worlds/worlds_state.h"

namespace dusk {

namespace {

constexpr int kPointsPerStar = 9;

int LastLevel(const world& record) {
  return std::clamp(record.numlevels, 0, kMaxLevels - 1);
}

}  // namespace

win_record RecordWin(int w, int l, int moves) {
  win_record result;
  if (w < 0 || w >= kMaxWorlds || l < 0 || l >= kMaxLevels || !gameworlds.worlds[w]) return result;
  const world& record = *gameworlds.worlds[w];
  result.score = kPointsPerStar * record.levelstars[l] - moves;
  int& best = progress.bestscore[w][l];
  // The stored replay is the best run's: a worse win leaves it, an equal one takes its place.
  result.write_replay = result.score >= best;
  if (result.score > best) {
    best = result.score;
    result.best = true;
  }
  if (l < record.numlevels) {
    if (l + 1 < kMaxLevels) progress.levelunlocked[w][l + 1] = 1;
  } else if (w < gameworlds.numworlds) {
    // The tables end at world 15 and level 15: the last world and the last level open nothing beyond.
    if (record.unlock_next_upon_normal_completion != 0 && w + 1 < kMaxWorlds) {
      progress.worldunlocked[w + 1] = 1;
      if (l + 1 < kMaxLevels) progress.levelunlocked[w + 1][l + 1] = 1;
      result.next_world = true;
    }
    CheckPerfect();
  }
  return result;
}

void CheckPerfect() {
  bool all = true;
  for (int n = 0; n < kMaxWorlds; ++n) {
    bool normal = false;
    bool bonus = false;
    if (const world* record = gameworlds.worlds[n].get()) {
      normal = true;
      for (int k = 1; k <= LastLevel(*record); ++k) {
        if (progress.bestscore[n][k] < record->levelhighs[k]) normal = false;
      }
      bonus = progress.bestscore[n][0] >= record->levelhighs[0];
      if (normal) progress.levelunlocked[n][0] = 1;
    }
    if (n > 0 && !(normal && bonus)) all = false;
  }
  if (all) {
    progress.worldunlocked[0] = 1;
    progress.levelunlocked[0][1] = 1;
  }
}

}  // namespace dusk
