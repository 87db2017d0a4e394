// The game's music: the menu theme and one looping track per world, each described as a style.
#pragma once

#include <vector>

#include "tools/music/composer.h"

namespace dusk::music {

// The menu theme first ("menu"), then the world tracks "wm00" to "wm09" in world order.
std::vector<song_style> Songs();

}  // namespace dusk::music
