// Playing one level: its frame loop with the heads-up display, help, win and lose screens, and the level
// drawing that the options' teleport preview and the solver also rely on.
#pragma once

#include "display/tilemap.h"
#include "puzzle/level.h"
#include "worlds/world.h"

namespace dusk {

// −1 when the world record or the level can't be had; 0 when the player leaves with back; the moves taken
// when the win screen is confirmed; levelmoves + 5 when a lost level is skipped with Ctrl.
int PlayLevel(int worldno, int levelno);

// Every layer of the level into the grid, layer z on rows z × 15 to z × 15 + 14. Dissolving trail pieces
// one update old become particles and leave the level.
void DrawLevel(tilemap& grid, world& worldrec, level& levelrec);

// A burst of random particles over one layer of the grid (density from the "Teleport effect" option).
void TeleportEffect(tilemap& grid, int layer, int low, int high);

}  // namespace dusk
