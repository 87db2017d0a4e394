// The five short sound effects built into the game, played on the events of the screens.
#pragma once

#include <cstdint>

namespace dusk {

enum class sound_effect : uint8_t { bip, slide, sweep, whip, phase };

// Plays the effect on a free channel without waiting, only while sound is on and the effect is loaded.
void PlayEffect(sound_effect effect);

}  // namespace dusk
