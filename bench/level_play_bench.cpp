// Level play: the CPU cost of one frame on a busy level of 15 layers (input, the step with its update and
// redrawing into the level's grid, and the frame's draws), and what loading the music costs at start-up.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "assets/embedded_files.h"
#include "display/display_config.h"
#include "display/display_state.h"
#include "files/screen_file.h"
#include "platform/audio.h"
#include "platform/input.h"
#include "platform/window.h"
#include "puzzle/kinds.h"
#include "screens/level_picture.h"
#include "screens/level_session.h"
#include "state/progress.h"
#include "state/settings.h"
#include "tests/platform/support/ogg_fixture.h"
#include "ui/audio_state.h"
#include "ui/front_state.h"
#include "ui/music.h"
#include "ui/read_input.h"

namespace dusk {
namespace {

const std::filesystem::path kSourceDir = DUSK_SOURCE_DIR;

// Without a display the benchmark runs on SDL's offscreen driver and OpenAL Soft's null device, as the tests
// do.
const bool headless = [] {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
  }
  return true;
}();

// Fifteen walled layers, each with stars, blocks, timed gates, doors with a switch, and eight movers; the
// player paces an open row of the first layer.
level BusyLevel() {
  level lvl = level::New();
  lvl.depth = level::size;
  for (int z = 0; z < level::size; ++z) {
    for (int i = 0; i < level::size; ++i) {
      lvl.setmap(i, 0, z, kind::wall);
      lvl.setmap(i, 14, z, kind::wall);
      lvl.setmap(0, i, z, kind::wall);
      lvl.setmap(14, i, z, kind::wall);
    }
    for (int x = 2; x < 13; x += 2) {
      lvl.setobj(x, 11, z, tile::Create(kind::star, x, 11, z, 0, 0, 0));
      lvl.setobj(x, 12, z, tile::Create(kind::block, x, 12, z, 0, 0, 0));
      lvl.setobj(x + 1, 12, z, tile::Create(kind::timedgate, x + 1, 12, z, 1, 2, 0));
      lvl.totalstars += 1;
    }
    lvl.setobj(1, 13, z, tile::Create(kind::doorswitch, 1, 13, z, 1, 0, 0));
    for (int x = 3; x < 13; x += 3) {
      lvl.setobj(x, 13, z, tile::Create(kind::door, x, 13, z, 1, 1, 0));
      lvl.linkdoor(1, 13, z, vector::Create(x, 13, z));
    }
    for (int row = 3; row < 11; row += 2) {
      lvl.addobj(tile::Create(kind::horizontalmover, 2 + row % 5, row, z, 3, 0, 0));
      lvl.addobj(tile::Create(kind::verticalmover, 10 + row % 3, row + 1, z, 1, 0, 0));
    }
    for (int x = 1; x < 14; ++x) lvl.setmap(x, 2, z, z % 2 == 0 ? kind::markedfloor : kind::untrailedfloor);
  }
  lvl.addplayer(tile::Create(kind::player, 5, 1, 0, 0, 0, 0));
  lvl.playerx = 5;
  lvl.playery = 1;
  return lvl;
}

bool OpenGame() {
  RegisterEmbeddedFiles();
  for (auto [screen, name] : {std::pair{&front.hud, "hud"},
                              {&front.help, "help"},
                              {&front.winner, "winner"},
                              {&front.loser, "loser"}}) {
    if (std::optional<tilemap> read = Read(std::string("incbin::incbin\\") + name + ".qtm", 0))
      *screen = *read;
  }
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(kSourceDir / "game");
  OpenDisplay(kDisplayConfigFile, 1, kUseDefaultTitle);
  std::filesystem::current_path(before);
  return WindowIsOpen();
}

// One frame as the loop runs it, short of presenting: the input read, the part before the drawing, the
// picture and its draws, then the step, with the player taking a step every frame (so the level is updated
// and redrawn every frame, and the banner, the figures and the particles are all in play).
void LevelPlayFrame(benchmark::State& state, bool present) {
  if (!OpenGame()) {
    state.SkipWithError("no window");
    return;
  }
  state.SetLabel(RendererName());
  world rec;
  for (int k = 0; k < 256; ++k) {
    rec.tilec[static_cast<size_t>(k)] = static_cast<uint8_t>(k);
    rec.tilef[static_cast<size_t>(k)] = static_cast<uint8_t>(k % 64);
    rec.tileb[static_cast<size_t>(k)] = static_cast<uint8_t>((k * 7) % 64);
  }
  rec.levelname[1] = "Fifteen Floors";
  rec.levelmoves[1] = 1 << 30;
  progress.playername = "MINTY";  // no trail, so the player can pace the row for ever
  settings.teleporteffect = 7;
  level_session session = NewLevelSession(rec, 1, 1, BusyLevel());
  int frame = 0;
  for (auto _ : state) {
    play_input in;
    in.help = KeyHits(key::kF1);
    in.again = KeyHits(key::kR);
    in.skip = KeyHits(key::kLeftCtrl);
    int mute = 0;
    ReadInput(in.right, in.left, in.down, in.up, in.confirm, in.back, mute, kLevelRepeat);
    // The pacing steps right four times, then left four times.
    in.right = (frame / 4) % 2 == 0 ? 1 : 0;
    in.left = 1 - in.right;
    in.clock_ms = frame;
    BeginLevelFrame(session);
    DrawPicture(LevelFramePicture(session, front));
    const play_outcome out = StepLevelFrame(session, in);
    benchmark::DoNotOptimize(out);
    if (present) PresentFrame(0);
    ++frame;
  }
  state.counters["objs"] = static_cast<double>(session.levelrec.objs().size());
  state.counters["moves"] = session.moves;
  CloseWindow();
  ResetDisplay();
  ResetProgress();
  ResetSettings();
}

void BM_LevelPlayFrame(benchmark::State& state) {
  LevelPlayFrame(state, false);
}
void BM_LevelPlayFramePresented(benchmark::State& state) {
  LevelPlayFrame(state, true);
}
BENCHMARK(BM_LevelPlayFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LevelPlayFramePresented)->Unit(benchmark::kMicrosecond);

// The start-up step that reads "music\audio.txt", loads the menu track and 16 world tracks (each a one
// minute stereo file) and cues a channel for each. heap_bytes is what stays allocated afterwards.
void BM_LoadSeventeenTracks(benchmark::State& state) {
  if (!OpenAudio()) {
    state.SkipWithError("no audio device");
    return;
  }
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "dusk_music_bench";
  std::filesystem::create_directories(folder / "music");
  const std::vector<uint8_t> track = testing::EncodeSweep(44100 * 60, 2, 44100);
  std::string list = "menu\nmusic\\menu.ogg\n";
  auto write = [&](const std::string& name) {
    std::ofstream out(folder / "music" / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(track.data()), static_cast<std::streamsize>(track.size()));
  };
  write("menu.ogg");
  for (int w = 0; w < kMusicWorlds; ++w) {
    const std::string name = "world" + std::to_string(w) + ".ogg";
    write(name);
    list += "wm" + std::to_string(100 + w).substr(1) + "\nmusic\\" + name + "\n";
  }
  std::ofstream(folder / "music" / "audio.txt") << list;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder);

  size_t held = 0;
  for (auto _ : state) {
    ResetAudioState();
    const size_t heap_before = mallinfo2().uordblks;
    LoadMusic();
    held = mallinfo2().uordblks - heap_before;
    benchmark::DoNotOptimize(audio.worldchannel[15]);
  }
  int loaded = audio.menumusic ? 1 : 0;
  for (const sound_ptr& s : audio.worldmusic) loaded += s ? 1 : 0;
  state.counters["tracks"] = loaded;
  state.counters["heap_bytes"] = static_cast<double>(held);
  state.counters["file_bytes"] = static_cast<double>(track.size());
  ResetAudioState();
  CloseAudio();
  std::filesystem::current_path(before);
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LoadSeventeenTracks)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dusk
