// The update after each player step: timed gates, dissolving trail, and movers.
#include <gtest/gtest.h>

#include <string>

#include "puzzle/level.h"
#include "tests/puzzle/support/level_picture.h"

// Pictures are laid out by hand, a row a line.
// clang-format off
namespace dusk {
namespace {

using testing::layers;
using testing::legend;
using testing::looks_like;
using testing::picture;

// The gate's look after each of a run of updates: X closed, x open.
TEST(Update, TimedGatesKeepTheirPhaseLengths) {
  struct row {
    uint8_t closedlength, openlength;
    bool closed;
    const char* looks;
  } const rows[] = {
      {0, 0, true, "xXxXxX"},       // flips on every update
      {2, 1, true, "XXxxXXXxx"},    // closed for 2 updates, opens in update 3, closes in update 5
      {1, 3, false, "xxxXXxxxxX"},  // starting open: 3 more open updates, then closed for 2
      {255, 0, true, "XXXX"},
  };
  for (const row& r : rows) {
    level lvl = picture({"G"}, {{'G', testing::gate(r.closedlength, r.openlength, r.closed)}});
    std::string seen;
    for (std::size_t i = 0; i < std::char_traits<char>::length(r.looks); ++i) {
      lvl.updateobjs();
      seen += lvl.obj(0, 0, 0)->s != 0 ? 'X' : 'x';
    }
    EXPECT_EQ(seen, r.looks) << "closed " << int{r.closedlength} << ", open " << int{r.openlength};
  }
}

TEST(Update, OnlyGatesOnTheLayersInUseChange) {
  level lvl = layers({{"G"}, {"G"}}, {{'G', testing::gate(0, 0, true)}});
  lvl.depth = 1;
  lvl.updateobjs();
  EXPECT_TRUE(looks_like(lvl, {"x"}, 0));
  EXPECT_TRUE(looks_like(lvl, {"X"}, 1));
}

TEST(Update, AGateBlocksOrLetsThroughByItsPhase) {
  // The gate opens in the second update: the player walks through on the third step, and the gate
  // closes in the fourth update, behind the player (a gate's cell takes no trail).
  level lvl = picture({"@..G."}, {{'G', testing::gate(1, 1, true)}});
  EXPECT_EQ(testing::playerstep(lvl, 1, 0).moved, 1);
  EXPECT_EQ(testing::playerstep(lvl, 1, 0).moved, 1);
  EXPECT_TRUE(looks_like(lvl, {"oo@x."}));
  EXPECT_EQ(testing::play(lvl, "rr"), 2);
  EXPECT_TRUE(looks_like(lvl, {"oooX@"}));
}

TEST(Update, DissolvingTrailLivesTwoUpdates) {
  level lvl = picture({"d.@",
                       "d.L"});
  lvl.objs()[1].f = 1;  // one update old already
  lvl.updateobjs();
  EXPECT_TRUE(looks_like(lvl, {"d.@",
                               ".L."}));
  EXPECT_EQ(lvl.objs()[0].f, 1);
  lvl.updateobjs();
  EXPECT_TRUE(looks_like(lvl, {"..@",
                               "L.."}));
  // Removals before the player keep it the player tile, and the rest in order.
  ASSERT_EQ(lvl.objs().size(), 2u);
  EXPECT_EQ(lvl.playertile(), &lvl.objs()[0]);
  EXPECT_EQ(lvl.objs()[1].id, kind::horizontalmover);
}

TEST(Update, DissolvingTrailFromTheClearingFloorThenVanishes) {
  level lvl = picture({"o.@~"});
  EXPECT_EQ(testing::playerstep(lvl, 1, 0).moved, 1);
  EXPECT_TRUE(looks_like(lvl, {"d.d@"}));  // dissolved and aged once
  EXPECT_EQ(lvl.objs()[1].f, 1);
  lvl.updateobjs();
  EXPECT_TRUE(looks_like(lvl, {"...@"}));
  EXPECT_EQ(lvl.objs().size(), 1u);
}

// One update, from one picture to the next: each row shows the level before and after, side by side.
struct scene {
  const char* name;
  std::vector<std::string> rows;
};

void expectupdates(const scene& s, const legend& extra = {}) {
  testing::layerpicture before;
  testing::layerpicture after;
  for (const std::string& row : s.rows) {
    const std::size_t gap = row.find(' ');
    before.push_back(row.substr(0, gap));
    after.push_back(row.substr(row.find_first_not_of(' ', gap)));
  }
  level lvl = picture(before, extra);
  lvl.updateobjs();
  EXPECT_TRUE(looks_like(lvl, after)) << s.name;
  for (const tile& piece : lvl.objs()) EXPECT_EQ(piece.u, 0) << s.name;
}

TEST(Update, StraightMovers) {
  const scene scenes[] = {
      {"a free mover steps", {"#.R..#  #..R.#"}},
      {"blocked by a wall it turns and steps", {"#L..#  #.R.#"}},
      {"walled in on both sides it stays, heading as it was",
       {"#R#  #R#",
        "#L#  #L#"}},
      {"blocked by the player it turns and waits", {"#.R@#  #.L@#"}},
      {"meeting head-on both turn and wait", {"#.RL.#  #.LR.#"}},
      {"with one cell between, the first in the list takes it", {"#R.L#  #.RR#"}},
      {"behind another: blocked, so it turns and waits", {"#RR.#  #L.R#"}},
      {"stars block movers", {"#.R*#  #L.*#"}},
      {"no trail behind a mover", {".R..  ..R."}},
      {"one-way floor against it", {"#.R<.#  #L.<.#"}},
      {"one-way floor against it and a wall behind", {"#R<.#  #R<.#"}},
      {"a closed door turns it", {".R+.  L.+."}},
      {"vertical movers",
       {"D.  ..",
        "..  DU",
        ".U  .."}},
      {"vertical, one cell between",
       {"#D#  #.#",
        "#.#  #D#",
        "#U#  #D#"}},
      {"vertical, blocked by a wall",
       {"#U#  #.#",
        "#.#  #D#",
        "###  ###"}},
  };
  for (const scene& s : scenes) expectupdates(s);
}

TEST(Update, MoversTriggerWhatTheyEnter) {
  const scene scenes[] = {
      {"onto a switch: its door opens", {"R!.+  .R.'"}},
      {"onto a trail-clearing floor: blocks dissolve",
       {"R~o  .Rd",
        "o=.  d=."}},
      {"over an inactive teleporter", {"RT.  .R."}},
  };
  for (const scene& s : scenes) expectupdates(s, {{'T', testing::teleporter(0, 0)}});
}

TEST(Update, TurningMoversInCorners) {
  // E S W N turn clockwise, e and w anticlockwise.
  const legend anticlockwise = {{'e', testing::turningmover(0, false)}, {'w', testing::turningmover(2, false)}};
  const scene scenes[] = {
      {"a free turner goes straight", {"E..  .E."}},
      {"clockwise at a wall: turns down and steps",
       {"#####  #####",
        "#..E#  #...#",
        "#...#  #..S#",
        "#####  #####"}},
      {"clockwise in a corner: one turn in each pass",
       {"#####  #####",
        "#...#  #...#",
        "#..E#  #..W#",
        "#####  #####"}},
      {"anticlockwise in a corner",
       {"#####  #####",
        "#..e#  #..W#",
        "#...#  #...#",
        "#####  #####"}},
      {"anticlockwise from the right wraps round to up",
       {"#####  #####",
        "#...#  #..N#",
        "#..e#  #...#",
        "#####  #####"}},
      {"boxed in: it turns twice and stays",
       {"###  ###",
        "#S#  #N#",
        "###  ###"}},
      {"blocked by the player: turns and waits", {"E@  S@"}},
      {"heading left, anticlockwise",
       {"#w.  #..",
        "#..  #S."}},
  };
  for (const scene& s : scenes) expectupdates(s, anticlockwise);
}

TEST(Update, OnlyThePlayerAndGates) {
  level lvl = picture({"@o*!+G~"}, {{'G', testing::gate(0, 0, true)}});
  level expected = lvl;
  lvl.updateobjs();
  expected.editobj(5, 0, 0)->s = 0;
  EXPECT_EQ(lvl, expected);
}

TEST(Update, ATurnOfPlayRunsTheUpdateOnlyAfterASuccessfulStep) {
  level lvl = picture({"#@..",
                       "R..."});
  EXPECT_EQ(testing::playerstep(lvl, -1, 0).moved, 0);
  EXPECT_TRUE(looks_like(lvl, {"#@..",
                               "R..."}));
  EXPECT_EQ(testing::playerstep(lvl, 1, 0).moved, 1);
  EXPECT_TRUE(looks_like(lvl, {"#o@.",
                               ".R.."}));
  // The mover meets the player: it turns and waits; then the player is held back by it.
  EXPECT_EQ(testing::play(lvl, "dl"), 1);
  EXPECT_TRUE(looks_like(lvl, {"#oo.",
                               ".L@."}));
}

}  // namespace
}  // namespace dusk
// clang-format on
