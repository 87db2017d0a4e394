// Monkey runs: the real game on seeded scripts of random keys and typed text through every screen,
// headless and fast. No crash, no hang, and the save file always readable. DUSK_MONKEY_FRAMES and
// DUSK_MONKEY_ROUNDS make a longer run (see the README).
#include <gtest/gtest.h>

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

// Rounds of one game each in the same folder, so every start reads the save file the last one wrote.
TEST(Monkey, DISABLED_RandomInputThroughEveryScreen) {
  const int frames = Setting("DUSK_MONKEY_FRAMES", 3000);
  const int rounds = Setting("DUSK_MONKEY_ROUNDS", 3);
  const int seed = Setting("DUSK_MONKEY_SEED", 1);
  testing::game_folder folder;
  for (int round = 0; round < rounds; ++round) {
    const uint64_t round_seed = static_cast<uint64_t>(seed) * 1000 + static_cast<uint64_t>(round);
    SCOPED_TRACE("seed " + std::to_string(round_seed));
    const std::string script = testing::MonkeyScript(round_seed, frames);
    const std::string name = "monkey" + std::to_string(round) + ".txt";
    testing::WriteTestFile(folder / name, std::vector<uint8_t>(script.begin(), script.end()));
    const testing::game_run run = testing::RunGame(folder, name, 60 + frames / 50);
    ASSERT_EQ(run.status, 0) << "the game crashed or hung; script kept in " << folder / name << "\n"
                             << run.errors;
    const std::vector<uint8_t> bytes = testing::ReadTestFile(folder / "save.dat");
    if (bytes.empty()) continue;
    progress_state saved;
    settings_state options;
    ASSERT_EQ(DecodeSave(bytes, saved, options), save_status::loaded);
  }
}

}  // namespace
}  // namespace dusk
