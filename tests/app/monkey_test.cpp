// Monkey runs: the real game on seeded scripts of random keys and typed text through every screen,
// headless and fast. No crash, no hang, and the save file always readable. The environment variables
// DUSK_MONKEY_SECONDS, DUSK_MONKEY_FRAMES and DUSK_MONKEY_SEED make a longer or another run (see the README).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "persist/save.h"
#include "tests/app/support/game_run.h"
#include "tests/platform/support/temp_folder.h"

namespace dusk {
namespace {

int Setting(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

// Games one after another in the same folder, each on its own script, so every start reads the save file
// the last one wrote. Random keys soon quit the game from the main menu, so the run is measured in time:
// as many games as fit, and at least two.
TEST(Monkey, RandomInputThroughEveryScreen) {
  const int seconds = Setting("DUSK_MONKEY_SECONDS", 20);
  const int frames = Setting("DUSK_MONKEY_FRAMES", 1500);
  const int seed = Setting("DUSK_MONKEY_SEED", 1);
  testing::game_folder folder;
  // The first start finds a save file with the smallest window, so the many frames draw quickly; the
  // name is still to be chosen.
  progress_state progress_values;
  settings_state options_values;
  options_values.windowscale = 1;
  testing::WriteTestFile(folder / "save.dat", EncodeSave(progress_values, options_values));
  const auto start = std::chrono::steady_clock::now();
  int games = 0;
  while (games < 2 || std::chrono::steady_clock::now() - start < std::chrono::seconds(seconds)) {
    const uint64_t game_seed = static_cast<uint64_t>(seed) * 100000 + static_cast<uint64_t>(games);
    SCOPED_TRACE("seed " + std::to_string(game_seed));
    const std::string script = testing::MonkeyScript(game_seed, frames);
    testing::WriteTestFile(folder / "monkey.txt", std::vector<uint8_t>(script.begin(), script.end()));
    const testing::game_run run = testing::RunGame(folder, "monkey.txt", 120 + frames / 10);
    if (run.status != 0) {
      // The script is kept beside the test, to be played again with --script.
      const std::string kept = "monkey-" + std::to_string(game_seed) + ".txt";
      testing::WriteTestFile(kept, std::vector<uint8_t>(script.begin(), script.end()));
      FAIL() << "the game crashed or hung on " << kept << " (status " << run.status << ")\n" << run.errors;
    }
    const std::vector<uint8_t> bytes = testing::ReadTestFile(folder / "save.dat");
    progress_state saved;
    settings_state options;
    ASSERT_EQ(DecodeSave(bytes, saved, options), save_status::loaded);
    games += 1;
  }
  std::printf("%d games\n", games);
}

}  // namespace
}  // namespace dusk
