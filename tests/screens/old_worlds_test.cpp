// Worlds compiled before worlds gave looks for the states of their pieces still load and draw exactly as
// they did: every level of the old test worlds, at its start and after each of a few updates, against the
// cells the drawing gave then (tests/screens/reference/old_worlds.txt; DUSK_UPDATE_REFERENCES=1 rewrites it).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "puzzle/level.h"
#include "screens/level_play.h"
#include "state/progress.h"
#include "tests/worlds/support/working_folder.h"
#include "worlds/build_level.h"
#include "worlds/compiler.h"
#include "worlds/world.h"
#include "worlds/worlds_state.h"

namespace dusk {
namespace {

namespace fs = std::filesystem;

const std::string kOldWorlds = std::string(DUSK_SOURCE_DIR) + "/tests/fixtures/old-worlds";
const std::string kReference = std::string(DUSK_SOURCE_DIR) + "/tests/screens/reference/old_worlds.txt";
constexpr int kUpdates = 6;

// A grid's three planes as rows of hexadecimal bytes, glyph, foreground and background of each cell.
std::string Cells(const tilemap& grid) {
  std::string text;
  char byte[8];
  for (int y = 0; y < grid.tmaph; ++y) {
    for (int x = 0; x < grid.tmapw; ++x) {
      std::snprintf(byte, sizeof byte, "%02X%02X%02X ", grid.at(0, x, y), grid.at(1, x, y), grid.at(2, x, y));
      text += byte;
    }
    text += '\n';
  }
  return text;
}

TEST(OldWorlds, LoadAndDrawAsBefore) {
  testing::working_folder folder;
  ResetProgress();
  ResetWorlds();
  fs::create_directory("levels");
  for (const auto& entry : fs::directory_iterator(kOldWorlds)) {
    fs::copy_file(entry.path(), fs::path("levels") / entry.path().filename());
  }
  ASSERT_EQ(CompileWorlds("_WORLDINDEX", nullptr), 0);

  std::string drawn;
  for (int w = 0; w < gameworlds.numworlds; ++w) {
    std::unique_ptr<world> loaded = LoadWorld(w, nullptr);
    ASSERT_TRUE(loaded) << "world " << w;
    for (int l = 0; l <= loaded->numlevels; ++l) {
      std::optional<level> built = BuildLevel(w, l);
      ASSERT_TRUE(built) << "level " << w << "-" << l;
      tilemap grid = tilemap::Create(level::size, built->depth * level::size);
      for (int update = 0; update <= kUpdates; ++update) {
        if (update > 0) {
          // A few steps of the player where it can go, so switches, doors and pads take their turns too.
          static constexpr int kTries[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
          int stars = 0, jumps = 0;
          for (const auto& t : kTries) {
            tile* player = built->playertile();
            if (player && player->Move(t[0], t[1], 0, *built, 1, 1, 1, stars, jumps, 0) != 0) break;
          }
          built->updateobjs();
        }
        DrawLevel(grid, *loaded, *built);
        drawn += "level " + std::to_string(w) + "-" + std::to_string(l) + " update " + std::to_string(update) +
                 "\n" + Cells(grid);
      }
    }
  }
  ResetWorlds();

  if (std::getenv("DUSK_UPDATE_REFERENCES") != nullptr) {
    std::ofstream(kReference, std::ios::binary) << drawn;
    return;
  }
  std::ifstream in(kReference, std::ios::binary);
  ASSERT_TRUE(in) << "no reference at " << kReference;
  std::stringstream expected;
  expected << in.rdbuf();
  // Compared piece by piece, so that a failure names the level and update that changed.
  std::istringstream got(drawn), want(expected.str());
  std::string a, b, where;
  int line = 0;
  while (std::getline(want, b)) {
    ++line;
    ASSERT_TRUE(std::getline(got, a)) << "the drawing ends early, at line " << line;
    if (b.starts_with("level ")) where = b;
    ASSERT_EQ(a, b) << where << ", line " << line;
  }
  EXPECT_FALSE(std::getline(got, a)) << "the drawing goes on past the reference";
}

}  // namespace
}  // namespace dusk
