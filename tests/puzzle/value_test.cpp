// Levels as values: copies are independent, and equality and hashing see the whole puzzle state.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <unordered_set>
#include <utility>

#include "puzzle/level.h"
#include "tests/puzzle/support/level_picture.h"

// Pictures are laid out by hand, a row a line.
// clang-format off
namespace dusk {
namespace {

using testing::layers;
using testing::legend;

const legend marks = {{'A', testing::teleporter(1, 2)},
                      {'B', testing::teleporter(2, 1)},
                      {'G', testing::gate(2, 1, true)},
                      {'e', testing::turningmover(0, false)}};
const std::vector<testing::layerpicture> busy = {
    {"#########",
     "#@..*..R#",
     "#.o.!.+.#",
     "#A..G..~#",
     "#L..e..*#",
     "#########"},
    {"..B..",
     ".D.*.",
     "....."}};

level busylevel() { return layers(busy, marks); }

TEST(LevelValue, ChangingACopyLeavesTheOriginalUntouched) {
  const level original = busylevel();
  level copy = original;
  ASSERT_EQ(copy, original);

  // Play the copy through star, switch, teleporter and update, and edit every part of it.
  EXPECT_EQ(testing::play(copy, "rrrdldll"), 8);
  EXPECT_EQ(copy.objs()[0].z, 1);
  copy.setmap(3, 3, 0, kind::wall);
  copy.setobj(5, 1, 0, tile::Create(kind::block, 0, 0, 0, 0, 0, 0));
  copy.editobj(4, 3, 0)->t = 9;
  copy.linkdoor(4, 2, 0, vector::Create(1, 1, 1));
  copy.objs()[0].f = 1;
  copy.addobj(tile::Create(kind::dissolvingtrail, 5, 5, 0, 0, 0, 0));
  copy.removeobj(1);
  copy.depth = 3;

  EXPECT_EQ(original, busylevel());
  EXPECT_EQ(original.hash(), busylevel().hash());
  EXPECT_EQ(testing::show(original, 9, 6, 0), testing::show(busylevel(), 9, 6, 0));
  EXPECT_EQ(testing::show(original, 5, 3, 1), testing::show(busylevel(), 5, 3, 1));
  EXPECT_EQ(original.vec(4, 2, 0).size(), 1u);
  EXPECT_EQ(original.objs()[0].x, 1);
  EXPECT_NE(copy, original);
}

TEST(LevelValue, EqualStatesHashAlikeWhateverTheirHistory) {
  const level a = busylevel();
  level b = busylevel();
  // Grown into an unused layer and back: the same puzzle.
  b.setmap(3, 3, 12, kind::wall);
  b.setobj(4, 4, 13, tile::Create(kind::door, 4, 4, 13, 1, 1, 0));
  b.setmap(3, 3, 12, kind::floor);
  b.clearobj(4, 4, 13);
  EXPECT_EQ(a, b);
  EXPECT_EQ(b, a);
  EXPECT_EQ(a.hash(), b.hash());
  EXPECT_EQ(std::hash<level>{}(a), a.hash());

  // Reached by two orders of placing its objects.
  level c = level::New();
  level d = level::New();
  c.setobj(1, 1, 0, tile::Create(kind::doorswitch, 1, 1, 0, 1, 0, 0));
  c.setobj(2, 2, 0, tile::Create(kind::door, 2, 2, 0, 1, 1, 0));
  c.linkdoor(1, 1, 0, vector::Create(2, 2, 0));
  d.setobj(2, 2, 0, tile::Create(kind::door, 2, 2, 0, 1, 1, 0));
  d.setobj(1, 1, 0, tile::Create(kind::doorswitch, 1, 1, 0, 1, 0, 0));
  d.linkdoor(1, 1, 0, vector::Create(2, 2, 0));
  EXPECT_EQ(c, d);
  EXPECT_EQ(c.hash(), d.hash());
}

TEST(LevelValue, EveryPartOfThePuzzleStateCounts) {
  const std::pair<const char*, std::function<void(level&)>> changes[] = {
      {"ground of a cell", [](level& l) { l.setmap(2, 1, 0, kind::markedfloor); }},
      {"ground on a layer past the depth", [](level& l) { l.setmap(0, 0, 9, kind::wall); }},
      {"a star taken", [](level& l) { l.clearobj(4, 1, 0); }},
      {"a trail block", [](level& l) { l.createtrail(2, 1, 0); }},
      {"a door opened", [](level& l) { l.editobj(6, 2, 0)->b = 0; }},
      {"a gate's counter", [](level& l) { l.editobj(4, 3, 0)->t = 1; }},
      {"a gate's state", [](level& l) { l.editobj(4, 3, 0)->s = 0; }},
      {"a teleporter's destination", [](level& l) { l.editobj(1, 3, 0)->x = 3; }},
      {"a switch's door list", [](level& l) { l.linkdoor(4, 2, 0, vector::Create(1, 3, 0)); }},
      {"a mover's heading", [](level& l) { l.objs()[0].f = 1; }},
      {"a mover's skip flag", [](level& l) { l.objs()[0].u = 1; }},
      {"the order of the pieces", [](level& l) { std::swap(l.objs()[0], l.objs()[1]); }},
      {"a dissolving piece",
       [](level& l) { l.addobj(tile::Create(kind::dissolvingtrail, 2, 2, 0, 0, 0, 0)); }},
      {"the player's cell", [](level& l) { l.objs()[0].y = 2; }},
      {"a second player piece", [](level& l) { l.addplayer(l.objs()[0]); }},
      {"depth", [](level& l) { l.depth = 1; }},
      {"star count", [](level& l) { l.totalstars = 9; }},
      {"start cell", [](level& l) { l.playerz = 1; }},
  };
  const level base = busylevel();
  std::unordered_set<uint64_t> hashes = {base.hash()};
  for (const auto& [name, change] : changes) {
    level changed = base;
    change(changed);
    EXPECT_NE(changed, base) << name;
    EXPECT_TRUE(hashes.insert(changed.hash()).second) << name;
  }
}

TEST(LevelValue, PlayedStatesMeetInAHashSet) {
  // Two roads to the same state: the set holds it once.
  const level start = testing::picture({"_____",
                                        "_@___",
                                        "_____"});
  std::unordered_set<level> seen;
  for (const char* road : {"rd", "dr", "rdlu", "ru"}) {
    level lvl = start;
    testing::play(lvl, road);
    seen.insert(lvl);
  }
  EXPECT_EQ(seen.size(), 3u);
}

}  // namespace
}  // namespace dusk
// clang-format on
