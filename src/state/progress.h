// The player's progress: unlocks, best scores and name, kept in the save file.
#pragma once

#include <array>
#include <string>

namespace dusk {

inline constexpr int kMaxWorlds = 16;
inline constexpr int kMaxLevels = 16;

struct progress_state {
  std::array<int, kMaxWorlds> worldunlocked{};
  std::array<std::array<int, kMaxLevels>, kMaxWorlds> levelunlocked{};
  std::array<std::array<int, kMaxLevels>, kMaxWorlds> bestscore{};
  std::string playername = "Wayfarer";
  int namechosen = 0;
};

extern progress_state progress;
inline void ResetProgress() { progress = progress_state{}; }

}  // namespace dusk
