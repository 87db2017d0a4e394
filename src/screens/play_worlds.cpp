// The world and level loop: choose a world, then a level, play levels one after another while they are
// won, and keep the results in the save file and the replay files.
#include "screens/play_worlds.h"

#include <algorithm>

#include "persist/replay.h"
#include "persist/save.h"
#include "platform/input.h"
#include "screens/level_play.h"
#include "screens/level_select.h"
#include "screens/world_progress.h"
#include "screens/world_select.h"
#include "state/progress.h"
#include "ui/music.h"
#include "worlds/worlds_state.h"

namespace dusk {

void PlayWorlds() {
  PlayWorldsWith(PlayLevel);
}

void PlayWorldsFrom(int w, int l) {
  PlayWorldsWith(PlayLevel, w, l);
}

void PlayWorldsWith(const level_player& play) {
  PlayWorldsWith(play, -1, -1);
}

void PlayWorldsWith(const level_player& play, int startw, int startl) {
  bool direct = startw >= 0 && startl >= 0;
  int w = direct ? startw : 1;
  int l = direct ? startl : 1;
  while (true) {
    // The key that ended the last screen must do nothing here.
    ClearInput();
    if (!direct) MusicOnReturnToMenu();
    // The cursors come back to the world and level last played; a row differs from its number only when
    // something above it is not listed.
    int chosen = l;
    if (!direct) {
      w = WorldSelect(RowOfNumber(BuildWorldList(), w));
      if (w < 0) {
        WriteSave(kSaveFile);
        return;
      }
      chosen = LevelSelect(w, gameworlds.worlds[w] ? RowOfNumber(BuildLevelList(w), l) : l);
      if (chosen < 0) continue;
    }
    direct = false;
    l = chosen;
    MusicBeforeLevel();

    const int numlevels = gameworlds.worlds[w] ? gameworlds.worlds[w]->numlevels : 0;
    int played = l;
    while (true) {
      played = l;
      const int moves = play(w, l);
      if (moves > 0) {
        const win_record won = RecordWin(w, l, moves);
        // A level never won has a best score of 0, so a first win below it is kept while no replay is.
        // A replay that can't be written is skipped; the game goes on without a message.
        if (won.write_replay || !LoadReplayFile(w, l)) (void)SaveReplayFile(replays.currentreplay, w, l);
      }
      l += 1;
      WriteSave(kSaveFile);
      if (moves < 1 || l > numlevels) break;
    }
    // Once the world's last level was played the cursor moves on to the next world, when there is one to
    // stand on (past the last world it would wrap round to the top of the list), and that world's levels
    // open on its level 1. Otherwise the level cursor rests on the last level played.
    const int next = w + 1;
    if (played >= numlevels && next < std::min(gameworlds.numworlds, kMaxWorlds) &&
        progress.worldunlocked[next] != 0 && gameworlds.worlds[next]) {
      w = next;
      l = 1;
    } else {
      l = played;
    }
    MusicAfterLevels(w);
  }
}

}  // namespace dusk
