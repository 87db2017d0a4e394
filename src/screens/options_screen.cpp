// The options screen: a scrolling list of settings over the options picture.
#include "screens/options_screen.h"

#include <algorithm>
#include <array>

#include "display/display_config.h"
#include "display/draw.h"
#include "display/text.h"
#include "persist/save.h"
#include "platform/input.h"
#include "platform/program.h"
#include "platform/window.h"
#include "screens/level_play.h"
#include "ui/front_state.h"
#include "ui/menu_colors.h"
#include "ui/music.h"
#include "ui/read_input.h"

namespace dusk {

namespace {

constexpr int kNameX = 4;
constexpr int kRowsPerEntry = 2;
constexpr int kShownEntries = 6;
constexpr int kViewRows = 11;
constexpr int kListY = 2;
constexpr int kValuesX = 1;
constexpr int kTeleportLow = -2;
constexpr int kTeleportHigh = 27;

constexpr std::array<const char*, kOptionCount> kOptionNames = {
    "Music",    "Sound",        "Level skipping", "Teleport effect", "Brightness",
    "Contrast", "Window scale", "Use default",    "Return"};

// Defaults that "Use default" restores (the mute key's memory is left alone).
constexpr int kDefaultTeleportEffect = 3;
constexpr int kDefaultWindowScale = 2;

void Restart(settings_state& options) {
  options.musicon = 1;
  options.soundon = 1;
  options.levelskipping = 0;
  options.teleporteffect = kDefaultTeleportEffect;
  options.brightness = 0;
  options.contrast = 0;
  options.windowscale = kDefaultWindowScale;
}

char HexDigit(int value) {
  return "0123456789ABCDEF"[value & 15];
}

std::string YesNo(int flag) {
  return flag ? "Y" : "N";
}

void ReopenIfScaleChanged(const options_state& state) {
  if (settings.windowscale == state.entryscale) return;
  CloseWindow();
  OpenDisplay(kDisplayConfigFile, settings.windowscale, kUseDefaultTitle);
}

}  // namespace

void LoadOptionNames() {
  front.optionnames.assign(kOptionNames.begin(), kOptionNames.end());
  front.optionnamesgrid = tilemap::Create(20, kRowsPerEntry * kOptionCount);
  front.optionnamesgrid.Fill(kNoValue, kNoValue, kNoValue, 1);
  for (int k = 0; k < kOptionCount; ++k) {
    InsertString(front.optionnamesgrid, kNameX, kRowsPerEntry * k, front.optionnames[static_cast<size_t>(k)],
                 kEntryColor, kListBackground);
  }
}

options_state EnterOptions(const settings_state& options) {
  options_state state;
  state.entryscale = options.windowscale;
  return state;
}

options_step StepOptions(options_state& state, const menu_input& in, settings_state& options) {
  options_step step;
  step.restart_music = in.mute != 0;

  state.cursor += (in.down ? 1 : 0) - (in.up ? 1 : 0);
  if (state.cursor < 0) state.cursor = kOptionCount - 1;
  if (state.cursor >= kOptionCount) state.cursor = 0;
  state.top = std::clamp(state.cursor - 3, 0, kOptionCount - kShownEntries);

  const int change = (in.right ? 1 : 0) - (in.left ? 1 : 0);
  if (in.right || in.left || in.confirm) {
    switch (state.cursor) {
      case kOptionMusic:
        options.musicon = options.musicon ? 0 : 1;
        options.musicsaved = options.musicon;
        step.restart_music = true;
        break;
      case kOptionSound:
        options.soundon = options.soundon ? 0 : 1;
        options.soundsaved = options.soundon;
        break;
      case kOptionLevelSkipping:
        options.levelskipping = options.levelskipping ? 0 : 1;
        break;
      case kOptionTeleportEffect:
        options.teleporteffect = std::clamp(options.teleporteffect + change, 0, kTeleportEffectMax);
        step.preview_teleport = true;
        break;
      case kOptionBrightness:
        options.brightness =
            std::clamp(options.brightness + change * kColorAdjustStep, -kColorAdjustLimit, kColorAdjustLimit);
        break;
      case kOptionContrast:
        options.contrast =
            std::clamp(options.contrast + change * kColorAdjustStep, -kColorAdjustLimit, kColorAdjustLimit);
        break;
      case kOptionWindowScale:
        options.windowscale = std::clamp(options.windowscale + change, kWindowScaleMin, kWindowScaleMax);
        break;
      case kOptionUseDefault:
        if (in.confirm) {
          Restart(options);
          step.restart_music = true;
          step.effects.push_back(sound_effect::sweep);
        }
        break;
      case kOptionReturn:
        step.effects.push_back(sound_effect::slide);
        step.exit = options_exit::with_return;
        return step;
      default:
        break;
    }
    step.acted = true;
  }

  if (in.up || in.down) step.effects.push_back(sound_effect::bip);
  if (in.left || in.right || in.confirm) step.effects.push_back(sound_effect::slide);
  if (in.back) step.exit = options_exit::with_back;
  return step;
}

tilemap OptionValues(const options_state& state, const settings_state& options) {
  tilemap values = tilemap::Create(2, kRowsPerEntry * kOptionCount);
  values.Fill(kNoValue, kNoValue, kNoValue, 1);
  values.SetTile(0, kRowsPerEntry * state.cursor, kCursorGlyph, kCursorColor, kListBackground, 1);
  const auto value = [&](int row, const std::string& text) {
    InsertString(values, 1, kRowsPerEntry * row, text, kValueColor, kListBackground);
  };
  value(kOptionMusic, YesNo(options.musicon));
  value(kOptionSound, YesNo(options.soundon));
  value(kOptionLevelSkipping, YesNo(options.levelskipping));
  value(kOptionTeleportEffect, std::string(1, HexDigit(options.teleporteffect)));
  value(kOptionBrightness, std::string(1, HexDigit((options.brightness + 128) / 16)));
  value(kOptionContrast, std::string(1, HexDigit((options.contrast + 128) / 16)));
  value(kOptionWindowScale, std::string(1, HexDigit(options.windowscale)));
  return values;
}

void DrawOptions(const options_state& state, const settings_state& options) {
  tilemap values = OptionValues(state, options);
  const int first_row = kRowsPerEntry * state.top;
  Draw(front.option, 0, 0);
  Draw(front.optionnamesgrid, 0, kListY, 0, first_row, -1, kViewRows);
  Draw(values, kValuesX, kListY, 0, first_row, -1, kViewRows);
}

void OptionsScreen() {
  ClearInput();
  options_state state = EnterOptions(settings);
  for (;;) {
    const options_step step = StepOptions(state, ReadMenuInput(kMenuRepeat), settings);
    if (step.restart_music) MusicOnMenuMute();
    if (step.preview_teleport) {
      front.option.ClearParticles();
      TeleportEffect(front.option, 0, kTeleportLow, kTeleportHigh);
    }
    if (step.exit == options_exit::with_return) {
      WriteSave(kSaveFile);
      ReopenIfScaleChanged(state);
      PlayEffects(step.effects);
      return;
    }
    if (step.acted) {
      ClearInput();
      MusicOnReturnToMenu();
    }
    PlayEffects(step.effects);
    DrawOptions(state, settings);
    PresentFrame(-1);
    if (step.exit == options_exit::with_back) {
      WriteSave(kSaveFile);
      ReopenIfScaleChanged(state);
      return;
    }
    if (CloseRequested()) EndProgram();
  }
}

}  // namespace dusk
