// Reading the level play's screens from the files built into the game.
#include "app/play_screens.h"

#include "files/screen_file.h"

namespace dusk {

void LoadPlayScreens() {
  playscreens.help = Read("incbin::incbin\\help.qtm", 1);
  playscreens.hud = Read("incbin::incbin\\hud.qtm", 1);
  playscreens.winner = Read("incbin::incbin\\winner.qtm", 1);
  playscreens.loser = Read("incbin::incbin\\loser.qtm", 1);
  playscreens.loaded = true;
}

void EnsurePlayScreens() {
  if (!playscreens.loaded) LoadPlayScreens();
}

}  // namespace dusk
