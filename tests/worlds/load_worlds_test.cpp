// Start-up's world loading: compiled worlds come back with the stars of levels built from their images.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/error_report.h"
#include "files/screen_file.h"
#include "tests/worlds/support/working_folder.h"
#include "worlds/compiler.h"
#include "worlds/world.h"
#include "worlds/worlds_state.h"

namespace dusk {
namespace {

using testing::WriteTestFile;
using testing::WriteTextFile;

constexpr int kStarGlyph = '*';
constexpr int kPlayerGlyph = 2;

// A one-layer level image with a player start and the given number of stars, as a screen file.
std::vector<uint8_t> LevelImage(int stars) {
  tilemap image = tilemap::Create(15, 15);
  image.SetTiles(0, 0, 15, 15, 0, 7, 0, 1);
  image.SetTile(0, 0, kPlayerGlyph, 15, 0, 1);
  for (int s = 0; s < stars; ++s) image.SetTile(1 + s % 13, 1 + s / 13, kStarGlyph, 14, 0, 1);
  auto out = OpenMemoryWrite();
  WriteRLE(image, *out);
  return out->TakeBytes();
}

class LoadWorldsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWorlds();
    SetErrorReporter([this](const std::string& title, const std::string& message) {
      reported_.push_back(title + " " + message);
    });
    std::filesystem::create_directory("levels");
  }
  void TearDown() override {
    SetErrorReporter({});
    ResetWorlds();
  }

  testing::working_folder folder_;
  std::vector<std::string> reported_;
};

TEST_F(LoadWorldsTest, CompiledWorldsLoadWithTheStarsOfTheirLevels) {
  WriteTextFile("levels/_WORLDINDEX.txt", {"$bonus", "$forest", "$cave"});
  WriteTextFile("levels/bonus.txt", {"@Bonus", "#0:", "#255:", "@Secret", "*50:40:", "!secret"});
  WriteTextFile("levels/forest.txt",
                {"@Forest", "#1:", "#255:", "@Glade", "*40:30:", "!glade", "@Path", "*20:60:", "!path",
                 "@Lost", "*10:5:", "!lost", "@Broken", "*9:9:", "!broken"});
  // World 2's source is missing: its slot stays empty.
  WriteTestFile("levels/secret.qtm", LevelImage(4));
  WriteTestFile("levels/glade.qtm", LevelImage(1));
  WriteTestFile("levels/path.qtm", LevelImage(20));
  WriteTestFile("levels/broken.qtm", {'Q', 'D', 'T', 'R', 1, 2});
  CompileWorlds("_WORLDINDEX", nullptr);

  EXPECT_EQ(LoadWorlds(), 0);
  EXPECT_EQ(gameworlds.numworlds, 3);
  ASSERT_TRUE(gameworlds.worlds[0]);
  ASSERT_TRUE(gameworlds.worlds[1]);
  EXPECT_FALSE(gameworlds.worlds[2]);
  EXPECT_EQ(gameworlds.worldname[1], "Forest");
  EXPECT_EQ(gameworlds.worlds[0]->levelstars[0], 4);
  const world& forest = *gameworlds.worlds[1];
  EXPECT_EQ(forest.numlevels, 3);
  EXPECT_EQ(forest.levelhighs[1], 60);
  // A missing level file and a damaged one count no stars; only the damaged one is reported.
  EXPECT_EQ((std::vector<int>(forest.levelstars.begin(), forest.levelstars.begin() + 5)),
            (std::vector<int>{1, 20, 0, 0, 0}));
  EXPECT_EQ(reported_.size(), 1u);
}

TEST_F(LoadWorldsTest, WithOneWorldOnlyWorldOneIsLoaded) {
  WriteTextFile("levels/_WORLDINDEX.txt", {"$zero"});
  WriteTextFile("levels/zero.txt", {"@Zero", "#1:", "#255:", "@Only", "*1:1:"});
  CompileWorlds("_WORLDINDEX", nullptr);
  std::filesystem::create_directories("leveldata/world 1");
  std::filesystem::copy_file("leveldata/world 0/0w.wdt", "leveldata/world 1/1w.wdt");
  LoadWorlds();
  EXPECT_EQ(gameworlds.numworlds, 1);
  EXPECT_FALSE(gameworlds.worlds[0]);
  ASSERT_TRUE(gameworlds.worlds[1]);
  EXPECT_EQ(gameworlds.worldname[1], "Zero");
}

TEST_F(LoadWorldsTest, WithoutWorldOneNothingIsLoaded) {
  WriteTextFile("levels/_WORLDINDEX.txt", {"$zero"});
  WriteTextFile("levels/zero.txt", {"@Zero", "#1:", "#255:"});
  CompileWorlds("_WORLDINDEX", nullptr);
  ResetWorlds();
  LoadWorlds();
  EXPECT_EQ(gameworlds.numworlds, 0);
  for (const auto& slot : gameworlds.worlds) EXPECT_FALSE(slot);
}

}  // namespace
}  // namespace dusk
