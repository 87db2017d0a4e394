// A journey through the real game, run headless and fast on a script: loading, a name typed, world select,
// level select, a level won by its solver solution, the next level started at once, back to the world
// select and the main menu, quit. Then the save file, the replay and a picture of each screen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "persist/replay.h"
#include "persist/save.h"
#include "platform/stream.h"
#include "puzzle/solver.h"
#include "tests/app/support/game_run.h"
#include "tests/platform/support/temp_folder.h"
#include "worlds/level_source.h"

namespace dusk {
namespace {

const std::string kReferences = std::string(DUSK_SOURCE_DIR) + "/tests/app/reference/";
const char* const kStepKeys[] = {"Up", "Down", "Left", "Right"};

// The shortest solution of a sample level, as step digits.
std::vector<uint8_t> Solution(const std::string& source) {
  source_error error;
  const auto parsed = ReadLevelSource(std::string(DUSK_FIXTURE_WORLDS) + "/" + source, error);
  EXPECT_TRUE(parsed) << error.text();
  if (!parsed) return {};
  const solve_result solved = Solve(BuildSourceLevel(*parsed), parsed->moves);
  EXPECT_EQ(solved.status, solve_status::solved);
  return solved.steps;
}

TEST(Journey, FromTheMainMenuThroughALevelAndBack) {
  testing::game_folder folder;
  const std::vector<uint8_t> steps = Solution("dusk-garden/first-light.level");
  ASSERT_FALSE(steps.empty());

  std::string script =
      "# The loading screen is the first frame, then the main menu.\n"
      "shot loading.png\nwait 10\nshot menu.png\n"
      "# Play: a first game asks for the player's name.\n"
      "press Return\nwait 2\n";
  for (int i = 0; i < 8; ++i) script += "press Backspace\n";
  script +=
      "# The name field takes one typed character a frame.\n"
      "type Journey\nwait 10\nshot name.png\n"
      "press Return\nwait 2\nshot worlds.png\n"
      "# World 1 is under the cursor, then its level 1.\n"
      "press Return\nwait 2\nshot levels.png\n"
      "press Return\nwait 30\nshot level.png\n";
  for (uint8_t step : steps) script += "press " + std::string(kStepKeys[step]) + "\n";
  script +=
      "# The win screen slides in for 50 frames before it takes the confirm.\n"
      "wait 60\nshot won.png\n"
      "press Return\nwait 30\nshot next.png\n"
      "# Leave the next level, the world select, then quit from the main menu.\n"
      "press Escape\nwait 2\nshot back.png\n"
      "# The level list now marks level 1 and rests on level 2, the last one played.\n"
      "press Return\nwait 2\nshot again.png\n"
      "press Escape\nwait 2\npress Escape\nwait 2\n"
      "press Up\npress Return\nwait 10\n";
  testing::WriteTestFile(folder / "journey.txt", std::vector<uint8_t>(script.begin(), script.end()));

  const testing::game_run run = testing::RunGame(folder, "journey.txt", 120);
  ASSERT_EQ(run.status, 0) << run.errors;

  // The save file holds the name, that it was chosen, the score and the unlocks.
  const std::vector<uint8_t> bytes = testing::ReadTestFile(folder / "save.dat");
  progress_state saved;
  settings_state options;
  ASSERT_EQ(DecodeSave(bytes, saved, options), save_status::loaded);
  EXPECT_EQ(saved.playername, "Journey");
  EXPECT_EQ(saved.namechosen, 1);
  int stars = 0;
  {
    source_error error;
    stars =
        ReadLevelSource(std::string(DUSK_FIXTURE_WORLDS) + "/dusk-garden/first-light.level", error)->stars;
  }
  EXPECT_EQ(saved.bestscore[1][1], 9 * stars - static_cast<int>(steps.size()));
  EXPECT_EQ(saved.worldunlocked[1], 1);
  EXPECT_EQ(saved.levelunlocked[1][2], 1);

  // The best possible score is the level's high score, so its replay is kept, holding the solution.
  const std::vector<uint8_t> replay_bytes =
      testing::ReadTestFile(folder / "leveldata/world 1/replays/1-1.rpl");
  stream_ptr in = OpenMemory(replay_bytes);
  const std::optional<replay> kept = replay::read(in.get());
  ASSERT_TRUE(kept);
  ASSERT_EQ(kept->maxindex, static_cast<int>(steps.size()));
  for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(kept->get(static_cast<int>(i)), steps[i]) << i;

  for (const char* shot : {"loading", "menu", "name", "worlds", "levels", "level", "won", "next", "back", "again"}) {
    SCOPED_TRACE(shot);
    testing::ExpectPictureMatchesReference(folder / (std::string(shot) + ".png"),
                                           kReferences + "journey_" + shot + ".png");
  }
}

}  // namespace
}  // namespace dusk
