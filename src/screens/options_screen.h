// The options: music, sound, level skipping, teleport effect, brightness, contrast and window scale, the
// defaults, and the way back; every setting is kept in the save file.
#pragma once

#include "display/tilemap.h"
#include "state/settings.h"
#include "ui/screen_frame.h"

namespace dusk {

enum option_row : int {
  kOptionMusic,
  kOptionSound,
  kOptionLevelSkipping,
  kOptionTeleportEffect,
  kOptionBrightness,
  kOptionContrast,
  kOptionWindowScale,
  kOptionUseDefault,
  kOptionReturn,
  kOptionCount,
};

inline constexpr int kTeleportEffectMax = 7;
inline constexpr int kColorAdjustLimit = 126;
inline constexpr int kColorAdjustStep = 18;
inline constexpr int kWindowScaleMin = 1;
inline constexpr int kWindowScaleMax = 8;

// Builds front.optionnames and front.optionnamesgrid, once at start-up.
void LoadOptionNames();

struct options_state {
  int cursor = 0;
  int top = 0;         // first entry shown
  int entryscale = 0;  // the window scale when the screen was entered
};

enum class options_exit { stay, with_return, with_back };

struct options_step {
  effect_list effects;
  bool restart_music = false;     // the mute key, "Music" switched or the defaults restored
  bool preview_teleport = false;  // "Teleport effect" changed or confirmed: show the preview
  bool acted = false;             // an entry other than "Return" was acted on
  options_exit exit = options_exit::stay;
};

options_state EnterOptions(const settings_state& options);
options_step StepOptions(options_state& state, const menu_input& in, settings_state& options);

// The 2-column grid of cursor and values, as many rows as the names grid.
tilemap OptionValues(const options_state& state, const settings_state& options);
void DrawOptions(const options_state& state, const settings_state& options);

// Runs the screen until "Return" or back; writes the save file on leaving and reopens the window when the
// scale differs from the one on entry.
void OptionsScreen();

}  // namespace dusk
