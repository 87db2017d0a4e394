// Reading the music list is being built; until then the game is silent.
#include "ui/music.h"

namespace dusk {

void LoadMusic() {}

}  // namespace dusk
