// The two links a level gets once all its cells are placed: teleporters to their partners, switches to doors.
#pragma once

#include <span>

#include "puzzle/level.h"
#include "puzzle/vector.h"

namespace dusk {

// Each teleporter sends to the first one in the list (itself included) that receives its send key.
void PairTeleporters(level& lvl, std::span<const vector> teleporters);
// Each switch toggles every door of its colour key, in list order.
void LinkSwitches(level& lvl, std::span<const vector> switches, std::span<const vector> doors);

}  // namespace dusk
