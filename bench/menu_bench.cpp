// The CPU cost of one main-menu frame headless, as the menu's loop spends it: drawing the menu picture, the
// cursor and the progress column, and presenting. An idle menu repeats its frame, which is not drawn again;
// a moving cursor changes every frame.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "assets/embedded_files.h"
#include "display/display_config.h"
#include "display/display_state.h"
#include "files/screen_file.h"
#include "platform/clock.h"
#include "platform/embedded.h"
#include "platform/window.h"
#include "screens/main_menu.h"
#include "ui/front_state.h"

namespace dusk {
namespace {

const bool headless_when_no_display = [] {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
  }
  return true;
}();

// The game's display at scale 2 and the two menu pictures; false when they can't be had.
bool OpenMenu(benchmark::State& state) {
  const std::filesystem::path game = std::filesystem::path(DUSK_SOURCE_DIR) / "game";
  std::error_code error;
  const std::filesystem::path previous = std::filesystem::current_path(error);
  std::filesystem::current_path(game, error);
  if (error) {
    state.SkipWithError("no game folder");
    return false;
  }
  OpenDisplay(kDisplayConfigFile, 2, kUseDefaultTitle);
  std::filesystem::current_path(previous, error);
  RegisterEmbeddedFiles();
  std::optional<tilemap> menu = Read(std::string(kEmbeddedPrefix) + "incbin\\menu.qtm", 0);
  if (!WindowIsOpen() || !menu) {
    state.SkipWithError("no window or menu picture");
    return false;
  }
  front.menu = std::move(*menu);
  state.SetLabel(RendererName());
  // Pacing sleeps on the virtual clock, so only the work is measured.
  UseVirtualClock();
  return true;
}

void CloseMenu() {
  UseRealClock();
  CloseWindow();
  ResetFrontState();
  ResetDisplay();
}

main_menu_state MenuState() {
  progress_state values;
  worlds_state loaded;
  UnlockAll(values, 0);
  return EnterMainMenu(values, loaded);
}

void BM_IdleMainMenuFrame(benchmark::State& state) {
  if (!OpenMenu(state)) return;
  main_menu_state menu = MenuState();
  const int drawn = FramesDrawn();
  for (auto _ : state) {
    DrawMainMenu(menu);
    PresentFrame(-1);
  }
  state.counters["drawn"] = FramesDrawn() - drawn;
  CloseMenu();
}
BENCHMARK(BM_IdleMainMenuFrame)->Unit(benchmark::kMicrosecond);

void BM_MovingCursorMainMenuFrame(benchmark::State& state) {
  if (!OpenMenu(state)) return;
  main_menu_state menu = MenuState();
  for (auto _ : state) {
    menu.cursor = (menu.cursor + 1) % kMainMenuEntries;
    DrawMainMenu(menu);
    PresentFrame(-1);
  }
  CloseMenu();
}
BENCHMARK(BM_MovingCursorMainMenuFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace dusk
