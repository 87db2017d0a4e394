// The embedded screens level play shows: the heads-up display, help, and the win and lose pictures.
#pragma once

#include <optional>

#include "display/tilemap.h"

namespace dusk {

struct play_screens {
  std::optional<tilemap> help;    // 20 × 15, the key list
  std::optional<tilemap> hud;     // 5 × 15, the labels beside the level
  std::optional<tilemap> winner;  // 20 × 15
  std::optional<tilemap> loser;   // 20 × 15
  bool loaded = false;
};

inline play_screens playscreens;

inline void ResetPlayScreens() {
  playscreens = play_screens{};
}

// Reads the four screens from the files built into the game (a damaged one is reported and left out).
// Start-up calls it in its order; level play calls EnsurePlayScreens, which reads them once if nobody has.
void LoadPlayScreens();
void EnsurePlayScreens();

}  // namespace dusk
