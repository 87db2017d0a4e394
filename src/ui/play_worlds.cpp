// The world and level loop is being built; until then "Play" comes straight back.
#include "ui/play_worlds.h"

namespace dusk {

void PlayWorlds() {}

}  // namespace dusk
