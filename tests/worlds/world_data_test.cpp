// Reading world data files: fields, level counting, star counting, and files that end anywhere.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/stream.h"
#include "tests/worlds/support/working_folder.h"
#include "worlds/world.h"
#include "worlds/world_paths.h"
#include "worlds/worlds_state.h"

namespace dusk {
namespace {

using testing::WriteTestFile;

// World data bytes written field by field, as the compiler lays them out.
class world_bytes {
 public:
  world_bytes& Byte(int b) {
    bytes_.push_back(static_cast<uint8_t>(b));
    return *this;
  }
  world_bytes& Short(int v) { return Byte(v & 255).Byte(v >> 8); }
  world_bytes& Text(const std::string& text) {
    Byte(static_cast<int>(text.size()));
    for (char c : text) Byte(static_cast<unsigned char>(c));
    return *this;
  }
  world_bytes& Level(const std::string& name, int moves, int highs) {
    return Text(name).Short(moves).Short(highs);
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

world_bytes Header(int numworlds = 3, const std::string& name = "Forest", int unlock = 1) {
  world_bytes b;
  b.Byte(numworlds).Text(name).Byte(unlock);
  return b;
}

class WorldDataTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetWorlds(); }
  void TearDown() override { ResetWorlds(); }

  std::unique_ptr<world> Load(const std::vector<uint8_t>& bytes, int w = 2) {
    stream_ptr in = OpenMemory(bytes);
    return LoadWorldFrom(*in, w, [this](int world_number, int level) {
      counted_.push_back(level);
      EXPECT_EQ(world_number, 2);
      return 10 + level;
    });
  }

  std::vector<int> counted_;
};

TEST_F(WorldDataTest, ReadsEveryField) {
  world_bytes b = Header(5, "Forest", 0);
  b.Byte(7).Byte(65).Byte(14).Byte(20).Byte(0).Byte(1).Byte(2).Byte(3).Byte(255);
  b.Level("Bonus", 40, 300).Level("First", 12, 65535).Level("Second", 0, 1);
  auto wd = Load(b.bytes());
  ASSERT_TRUE(wd);
  EXPECT_EQ(gameworlds.numworlds, 5);
  EXPECT_EQ(gameworlds.worldname[2], "Forest");
  EXPECT_EQ(wd->unlock_next_upon_normal_completion, 0);
  EXPECT_EQ(wd->tilec[7], 65);
  EXPECT_EQ(wd->tilef[7], 14);
  EXPECT_EQ(wd->tileb[7], 20);
  EXPECT_EQ(wd->tilec[0], 1);
  EXPECT_EQ(wd->tileb[0], 3);
  EXPECT_EQ(wd->tilec[8], 0);
  // Which kinds the file gave: a state look it doesn't give leaves the state in the plain look.
  EXPECT_TRUE(wd->tilegiven.test(7));
  EXPECT_TRUE(wd->tilegiven.test(0));
  EXPECT_EQ(wd->tilegiven.count(), 2u);
  EXPECT_EQ(wd->numlevels, 2);
  EXPECT_EQ(wd->levelname[0], "Bonus");
  EXPECT_EQ(wd->levelname[2], "Second");
  EXPECT_EQ(wd->levelmoves[0], 40);
  EXPECT_EQ(wd->levelhighs[0], 300);
  EXPECT_EQ(wd->levelhighs[1], 65535);
  EXPECT_EQ(wd->levelstars[0], 10);
  EXPECT_EQ(wd->levelstars[2], 12);
  EXPECT_EQ(wd->levelstars[3], 0);
  EXPECT_EQ(counted_, (std::vector<int>{0, 1, 2}));
}

TEST_F(WorldDataTest, AnAppearanceListOfJustTheEndLeavesEveryKindBlank) {
  auto wd = Load(Header().Byte(255).Level("Bonus", 1, 1).bytes());
  ASSERT_TRUE(wd);
  for (int k = 0; k < 256; ++k) {
    EXPECT_EQ(wd->tilec[k] | wd->tilef[k] | wd->tileb[k], 0) << "kind " << k;
  }
}

TEST_F(WorldDataTest, CountsLevelsAfterTheBonusLevelAndStopsAtSixteen) {
  struct test_case {
    int entries;
    int numlevels;
  };
  for (test_case c : {test_case{0, 0}, {1, 0}, {2, 1}, {16, 15}, {17, 15}, {40, 15}}) {
    world_bytes b = Header().Byte(255);
    for (int i = 0; i < c.entries; ++i) b.Level("L" + std::to_string(i), i, 2 * i);
    counted_.clear();
    auto wd = Load(b.bytes());
    ASSERT_TRUE(wd);
    EXPECT_EQ(wd->numlevels, c.numlevels) << c.entries << " entries";
    EXPECT_EQ(counted_.size(), static_cast<size_t>(std::min(c.entries, 16))) << c.entries << " entries";
    if (c.entries >= 16) {
      EXPECT_EQ(wd->levelname[15], "L15");
      EXPECT_EQ(wd->levelhighs[15], 30);
    }
  }
}

TEST_F(WorldDataTest, ATrailingNameIsKeptButNotCounted) {
  for (int extra : {0, 1, 2, 3}) {
    world_bytes b = Header().Byte(255).Level("Bonus", 1, 1).Level("One", 2, 2).Text("Tail");
    for (int i = 0; i < extra; ++i) b.Byte(9);  // a cut move limit and high score
    counted_.clear();
    auto wd = Load(b.bytes());
    ASSERT_TRUE(wd);
    EXPECT_EQ(wd->numlevels, 1);
    EXPECT_EQ(wd->levelname[2], "Tail");
    EXPECT_EQ(wd->levelmoves[2], 0);
    EXPECT_EQ(wd->levelstars[2], 0);
    EXPECT_EQ(counted_, (std::vector<int>{0, 1}));
  }
}

TEST_F(WorldDataTest, AFileCutAnywhereLoadsAsFarAsItGoes) {
  world_bytes b = Header(4, "Forest", 0);
  b.Byte(7).Byte(65).Byte(14).Byte(20).Byte(255).Level("Bonus", 40, 300).Level("First", 12, 99);
  const std::vector<uint8_t>& whole = b.bytes();
  for (size_t size = 0; size < whole.size(); ++size) {
    ResetWorlds();
    auto wd = Load(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)));
    if (size == 0) {
      EXPECT_FALSE(wd);
      EXPECT_EQ(gameworlds.numworlds, 0);
      continue;
    }
    ASSERT_TRUE(wd) << size << " bytes";
    EXPECT_EQ(gameworlds.numworlds, 4);
    EXPECT_EQ(wd->numlevels, 0) << size << " bytes";
    // The first kind's appearance arrives only whole.
    EXPECT_TRUE(wd->tilec[7] == 0 || (wd->tilef[7] == 14 && wd->tileb[7] == 20)) << size << " bytes";
  }
}

TEST_F(WorldDataTest, MoreThanSixteenWorldsCountAsSixteen) {
  ASSERT_TRUE(Load(Header(17).Byte(255).bytes()));
  EXPECT_EQ(gameworlds.numworlds, 16);
  ASSERT_TRUE(Load(Header(255).Byte(255).bytes()));
  EXPECT_EQ(gameworlds.numworlds, 16);
}

TEST(WorldPathsTest, NamesUseTheLastHexadecimalDigit) {
  EXPECT_EQ(HexDigit(3), "3");
  EXPECT_EQ(HexDigit(10), "A");
  EXPECT_EQ(HexDigit(15), "F");
  EXPECT_EQ(HexDigit(16), "0");
  EXPECT_EQ(WorldDataPath(3), "leveldata\\world 3\\3w.wdt");
  EXPECT_EQ(WorldDataPath(10), "leveldata\\world A\\Aw.wdt");
  EXPECT_EQ(LevelPath(10, 12), "leveldata\\world A\\A-C.slv");
  EXPECT_EQ(ReplayPath(3, 12), "leveldata\\world 3\\replays\\3-C.rpl");
}

TEST_F(WorldDataTest, LoadWorldReadsTheWorldsOwnFileAndLeavesAMissingOneEmpty) {
  testing::working_folder folder;
  EXPECT_FALSE(LoadWorld(10, [](int, int) { return 0; }));
  EXPECT_EQ(gameworlds.numworlds, 0);

  std::filesystem::create_directories("leveldata/world A");
  WriteTestFile("leveldata/world A/Aw.wdt", Header(11, "Tenth").Byte(255).Level("Bonus", 5, 6).bytes());
  std::vector<std::pair<int, int>> asked;
  auto wd = LoadWorld(10, [&](int w, int l) {
    asked.emplace_back(w, l);
    return 3;
  });
  ASSERT_TRUE(wd);
  EXPECT_EQ(gameworlds.numworlds, 11);
  EXPECT_EQ(gameworlds.worldname[10], "Tenth");
  EXPECT_EQ(wd->levelstars[0], 3);
  EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{10, 0}}));
}

}  // namespace
}  // namespace dusk
