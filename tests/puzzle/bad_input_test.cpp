// Damaged levels: whatever a level holds, the rules stay inside the 15 x 15 x 15 grids.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <stdexcept>

#include "puzzle/level.h"
#include "tests/puzzle/support/level_picture.h"

// Pictures are laid out by hand, a row a line.
// clang-format off
namespace dusk {
namespace {

using testing::picture;

tile& theplayer(level& lvl) {
  tile* self = lvl.playertile();
  if (self == nullptr) throw std::logic_error("the level lost its player");
  return *self;
}

TEST(BadLevel, APieceOutsideTheGridNeverMoves) {
  for (const auto& [x, y, z] : {std::tuple{15, 3, 0}, {3, 200, 0}, {3, 3, 15}, {255, 255, 255}}) {
    level lvl = level::New();
    lvl.setmap(14, 3, 0, kind::trailclearingfloor);
    lvl.addplayer(tile::Create(kind::player, x, y, z, 0, 0, 0));
    const level before = lvl;
    int stars = 0;
    int jumps = 0;
    for (const auto& [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
      EXPECT_EQ(lvl.playertile()->Move(dx, dy, 0, lvl, 1, 1, 1, stars, jumps, 1), 0);
    }
    lvl.updateobjs();
    EXPECT_EQ(lvl, before);
  }
}

TEST(BadLevel, StepsAcrossLayers) {
  struct row {
    int z, dz, moved, endz;
  } const rows[] = {
      {0, -1, 0, 0}, {14, 1, 0, 14},  {0, INT_MIN, 0, 0}, {14, INT_MAX, 0, 14},  // would leave the grid
      {0, 1, 1, 1},  {14, -14, 1, 0},                                            // stays in it
  };
  for (const row& r : rows) {
    level lvl = level::New();
    lvl.addplayer(tile::Create(kind::player, 7, 7, r.z, 0, 0, 0));
    int stars = 0;
    int jumps = 0;
    EXPECT_EQ(lvl.playertile()->Move(0, 0, r.dz, lvl, 1, 1, 1, stars, jumps, 0), r.moved)
        << r.z << " by " << r.dz;
    EXPECT_EQ(lvl.objs()[0].z, r.endz);
    EXPECT_EQ(lvl.objs()[0].x, 7);
  }
  level lvl = picture({"@"});
  int stars = 0;
  int jumps = 0;
  EXPECT_EQ(lvl.playertile()->Move(INT_MAX, INT_MAX, 0, lvl, 1, 1, 1, stars, jumps, 0), 1);
  EXPECT_EQ(lvl.objs()[0].x, 14);
  EXPECT_EQ(lvl.objs()[0].y, 14);
}

TEST(BadLevel, ATeleporterIntoNowhereIsAnOrdinaryCell) {
  level lvl = picture({"@T."}, {{'T', testing::teleporter(3, 0)}});
  lvl.editobj(1, 0, 0)->z = 15;
  EXPECT_EQ(testing::playerstep(lvl, 1, 0).jumps, 0);
  EXPECT_TRUE(testing::looks_like(lvl, {"o@."}));
}

TEST(BadLevel, OddFieldsInPiecesAndDepth) {
  level lvl = picture({"#.....",
                       "......",
                       "......"});
  lvl.addobj(tile::Create(kind::dissolvingtrail, 0, 1, 0, 255, 0, 0));  // as old as can be: goes
  lvl.addobj(tile::Create(kind::horizontalmover, 1, 1, 0, 7, 0, 0));    // no heading: stays
  lvl.addobj(tile::Create(kind::turningmover, 2, 2, 0, 7, 9, 0));       // heading 7 is up; sense 9
  lvl.setobj(5, 0, 0, tile::Create(kind::timedgate, 0, 0, 0, 0, 0, 1));
  lvl.setobj(5, 0, 14, tile::Create(kind::timedgate, 0, 0, 0, 0, 0, 1));
  lvl.depth = 99;
  lvl.updateobjs();
  ASSERT_EQ(lvl.objs().size(), 2u);
  EXPECT_EQ(lvl.objs()[0], tile::Create(kind::horizontalmover, 1, 1, 0, 7, 0, 0));
  EXPECT_EQ(lvl.objs()[1].y, 1);
  EXPECT_EQ(lvl.obj(5, 0, 14)->s, 0);  // a depth past 15 updates all 15 layers
  lvl.depth = -3;
  lvl.updateobjs();
  EXPECT_EQ(lvl.obj(5, 0, 0)->s, 0);  // and a negative one none
}

// Random junk in every field, then random play: the sanitizer build finds any access outside the grids.
TEST(BadLevel, RandomJunkNeverLeavesTheGrid) {
  std::mt19937 random(20261209);
  auto byte = [&] { return static_cast<uint8_t>(random() & 0xFF); };
  auto coordinate = [&] {
    const int pick = static_cast<int>(random() % 8);
    return pick == 0   ? static_cast<int>(random())
           : pick == 1 ? -1
           : pick == 2 ? 15
                       : static_cast<int>(random() % 15);
  };
  const uint8_t kinds[] = {kind::star,
                           kind::block,
                           kind::teleporter,
                           kind::doorswitch,
                           kind::door,
                           kind::timedgate,
                           kind::horizontalmover,
                           kind::verticalmover,
                           kind::turningmover,
                           kind::player,
                           kind::dissolvingtrail,
                           0,
                           255};
  auto somekind = [&] { return random() % 3 == 0 ? byte() : kinds[random() % std::size(kinds)]; };

  for (int round = 0; round < 200; ++round) {
    level lvl = level::New();
    lvl.depth = static_cast<int32_t>(random() % 20) - 2;
    for (int i = 0; i < 150; ++i) lvl.setmap(coordinate(), coordinate(), coordinate(), byte());
    for (int i = 0; i < 60; ++i) {
      const int x = coordinate();
      const int y = coordinate();
      const int z = coordinate();
      lvl.setobj(x, y, z, tile{somekind(), byte(), byte(), byte(), byte(), byte(), byte(), byte(), byte()});
      lvl.linkdoor(x, y, z, vector::Create(coordinate(), coordinate(), coordinate()));
    }
    for (int i = 0; i < 8; ++i) {
      lvl.addobj(tile{somekind(), static_cast<uint8_t>(random() % 17), static_cast<uint8_t>(random() % 17),
                      static_cast<uint8_t>(random() % 17), byte(), byte(), byte(), byte(), byte()});
    }
    lvl.addplayer(tile::Create(kind::player, static_cast<int>(random() % 15), static_cast<int>(random() % 15),
                               static_cast<int>(random() % 15), 0, 0, 0));

    for (int turn = 0; turn < 40; ++turn) {
      level before = lvl;
      tile& self = theplayer(lvl);
      const bool wasinside = level::inside(self.x, self.y, self.z);
      int stars = 0;
      int jumps = 0;
      const int dz = random() % 10 == 0 ? coordinate() : 0;
      const int moved = self.Move(coordinate() - 7, coordinate() - 7, dz, lvl, byte() & 1, byte() % 3,
                                  byte() & 1, stars, jumps, byte() & 1);
      const tile& after = theplayer(lvl);
      if (wasinside) {
        ASSERT_TRUE(level::inside(after.x, after.y, after.z));
      }
      if (moved == 0) {
        ASSERT_TRUE(after.x == theplayer(before).x && after.y == theplayer(before).y);
      }
      lvl.updateobjs();
      lvl.createtrail(coordinate(), coordinate(), coordinate());
      lvl.ObjOnTile(coordinate(), coordinate(), coordinate());
      theplayer(lvl).testmove(1, 0, 0, lvl, 2);
      const level copy = lvl;
      ASSERT_EQ(copy, lvl);
      ASSERT_EQ(copy.hash(), lvl.hash());
    }
  }
}

}  // namespace
}  // namespace dusk
// clang-format on
