// Start-up: the embedded files, the worlds, the screens and sounds, the save file and the window, then the
// main menu.
#include "app/start_game.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/command_line.h"
#include "app/frame_keys.h"
#include "assets/embedded_files.h"
#include "display/display_config.h"
#include "display/display_state.h"
#include "display/draw.h"
#include "files/screen_file.h"
#include "persist/save.h"
#include "platform/audio.h"
#include "platform/embedded.h"
#include "platform/files.h"
#include "platform/input_injection.h"
#include "platform/program.h"
#include "platform/window.h"
#include "screens/credits_screen.h"
#include "screens/main_menu.h"
#include "screens/options_screen.h"
#include "screens/play_worlds.h"
#include "state/progress.h"
#include "state/settings.h"
#include "ui/audio_state.h"
#include "ui/front_state.h"
#include "ui/gadget_error_reporting.h"
#include "ui/music.h"
#include "worlds/build_level.h"
#include "worlds/compiler.h"
#include "worlds/world.h"
#include "worlds/worlds_state.h"

namespace dusk {

namespace {

constexpr int kStripWidth = 20;

tilemap ReadEmbeddedScreen(const char* name) {
  std::optional<tilemap> screen = Read(std::string(kEmbeddedPrefix) + name, 1, kScratchPngPath);
  return screen ? std::move(*screen) : tilemap{};
}

sound_ptr LoadEffect(const char* name) {
  return LoadSound(std::string(kEmbeddedPrefix) + name, 0);
}

}  // namespace

bool StartLevelExists(int w, int l) {
  if (w < 0 || w >= kMaxWorlds || l < 0 || l >= kMaxLevels) return false;
  const world* record = gameworlds.worlds[static_cast<size_t>(w)].get();
  if (record == nullptr || l > record->numlevels) return false;
  const std::optional<level> built = BuildLevel(w, l);
  return built && built->playertile() != nullptr;
}

void PrepareGame() {
  RegisterEmbeddedFiles();
  OpenAudio();

  // The loading screen comes first, since it is shown while the worlds load.
  front.loading = ReadEmbeddedScreen("incbin\\loading.qtm");
  if (PathKind(kWorldIndexFile) == 1) CompileWorlds(kWorldIndexName, nullptr);

  front.hud = ReadEmbeddedScreen("incbin\\hud.qtm");
  front.help = ReadEmbeddedScreen("incbin\\help.qtm");
  front.winner = ReadEmbeddedScreen("incbin\\winner.qtm");
  front.loser = ReadEmbeddedScreen("incbin\\loser.qtm");
  front.lselect = ReadEmbeddedScreen("incbin\\lselect.qtm");
  front.menu = ReadEmbeddedScreen("incbin\\menu.qtm");
  front.lockedmenu = ReadEmbeddedScreen("incbin\\lockedmenu.qtm");
  front.option = ReadEmbeddedScreen("incbin\\option.qtm");
  front.credit = ReadEmbeddedScreen("incbin\\credit.qtm");
  front.nameinput = ReadEmbeddedScreen("incbin\\nameinput.qtm");

  audio.bip = LoadEffect("sounds\\bip.ogg");
  audio.sweep = LoadEffect("sounds\\sweep.ogg");
  audio.phase = LoadEffect("sounds\\phase.ogg");
  audio.slide = LoadEffect("sounds\\slide.ogg");
  audio.whip = LoadEffect("sounds\\whip.ogg");

  front.messagestrip = tilemap::Create(kStripWidth, 1);
  progress.worldunlocked = {};
  progress.levelunlocked = {};
  progress.bestscore = {};
  progress.worldunlocked[1] = 1;
  progress.levelunlocked[1][1] = 1;

  ReadSave(kSaveFile);
}

void LoadGameData() {
  LoadWorlds();
  LoadCredits();
  LoadOptionNames();
  LoadMusic();
  // Every world and level, the bonus ones included, is open from the start.
  UnlockAll(0);
}

int StartGame() {
  static bool started = false;
  if (started) return 0;
  started = true;

  PrepareGame();
  // A scale given for this run opens the window without changing the saved one.
  OpenDisplay(kDisplayConfigFile, display.runscale > 0 ? display.runscale : settings.windowscale,
              kUseDefaultTitle);
  if (!WindowIsOpen()) FatalError("Failed to open the game's window");
  // From here on a damaged screen file is reported in the game's own popup.
  InstallPopupErrorReporting();
  InstallFrameKeys();

  ClearScreen();
  Draw(front.loading, 0, 0);
  PresentFrame(0);

  LoadGameData();
  // For measuring start-up: the program ends once the first menu frame has been presented.
  if (std::getenv("DUSK_QUIT_AT_MENU") != nullptr) inject::SetFrameHook([](int) { EndProgram(); });
  if (front.startworld >= 0) {
    if (!StartLevelExists(front.startworld, front.startlevel)) {
      std::fprintf(stderr, "duskmarrow: there is no level %X-%X in this game\n",
                   static_cast<unsigned>(front.startworld), static_cast<unsigned>(front.startlevel));
      return kUsageStatus;
    }
    PlayWorldsFrom(front.startworld, front.startlevel);
  }
  MainMenu();
  return 0;
}

}  // namespace dusk
