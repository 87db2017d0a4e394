// The rule book: every ground, object and piece a step can meet, and every flag of Move.
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

struct flags {
  int leavetrail = 1;
  int collect = 1;
  int trigger = 1;
  int passwalls = 0;
};

struct outcome {
  int moved = 0;
  int stars = 0;
  int jumps = 0;
};

outcome step(level& lvl, int dx, int dy, flags how = {}) {
  outcome out;
  out.moved = lvl.playertile()->Move(dx, dy, 0, lvl, how.leavetrail, how.collect, how.trigger, out.stars,
                                     out.jumps, how.passwalls);
  return out;
}

// The player at the centre of a 3 x 3 floor steps by (dx, dy) onto one cell of the given ground.
TEST(Move, EveryGroundKind) {
  struct row {
    char ground;
    int dx, dy;
    int passwalls;
    int moved;
  } const rows[] = {
      {'.', 1, 0, 0, 1},  {':', -1, 0, 0, 1}, {'_', 0, 1, 0, 1},  {'~', 0, -1, 0, 1}, {'=', 1, 0, 0, 1},
      {'?', 1, 0, 0, 1},  // any other value is floor
      {'#', 1, 0, 0, 0},  {'%', 0, 1, 0, 0},  {'&', -1, 0, 0, 0}, {'#', 1, 0, 1, 1},  {'%', 0, 1, 1, 1},
      {'&', -1, 0, 1, 1}, {'^', 0, -1, 0, 1}, {'^', 0, 1, 0, 0},  {'^', 1, 0, 0, 0},  {'^', 0, 1, 1, 1},
      {'v', 0, 1, 0, 1},  {'v', 0, -1, 0, 0}, {'v', -1, 0, 0, 0}, {'v', 0, -1, 1, 1}, {'>', 1, 0, 0, 1},
      {'>', -1, 0, 0, 0}, {'>', 0, 1, 0, 0},  {'>', -1, 0, 1, 1}, {'<', -1, 0, 0, 1}, {'<', 1, 0, 0, 0},
      {'<', 0, -1, 0, 0}, {'<', 1, 0, 1, 1},
  };
  const legend odd = {{'?', testing::ground(7)}};
  for (const row& r : rows) {
    std::vector<std::string> rows3 = {"...", ".@.", "..."};
    rows3[static_cast<std::size_t>(1 + r.dy)][static_cast<std::size_t>(1 + r.dx)] = r.ground;
    level lvl = picture(rows3, odd);
    const outcome out = step(lvl, r.dx, r.dy, {.passwalls = r.passwalls});
    SCOPED_TRACE(std::string("onto ") + r.ground + " by " + std::to_string(r.dx) + "," +
                 std::to_string(r.dy) + (r.passwalls != 0 ? " through walls" : ""));
    EXPECT_EQ(out.moved, r.moved);
    EXPECT_EQ(lvl.playertile()->x, r.moved != 0 ? 1 + r.dx : 1);
    EXPECT_EQ(lvl.playertile()->y, r.moved != 0 ? 1 + r.dy : 1);
  }
}

TEST(Move, NoStepAndStepsOffTheEdgeChangeNothing) {
  struct row {
    int x, y, dx, dy;
  } const rows[] = {{5, 5, 0, 0},  {0, 5, -1, 0}, {5, 0, 0, -1},
                    {14, 5, 1, 0}, {5, 14, 0, 1}, {0, 0, -1000000, 0}};
  for (const row& r : rows) {
    // Standing on a trail-clearing floor with a block in its layer: not even the clearing happens.
    level lvl = level::New();
    lvl.setmap(r.x, r.y, 0, kind::trailclearingfloor);
    lvl.setobj(7, 7, 0, tile::Create(kind::block, 0, 0, 0, 0, 0, 0));
    lvl.addplayer(tile::Create(kind::player, r.x, r.y, 0, 0, 0, 0));
    const level before = lvl;
    const outcome out = step(lvl, r.dx, r.dy);
    EXPECT_EQ(out.moved, 0) << r.x << "," << r.y << " by " << r.dx << "," << r.dy;
    EXPECT_EQ(lvl, before) << r.x << "," << r.y << " by " << r.dx << "," << r.dy;
  }
}

TEST(Move, TrailIsLeftOnTheCellLeftBehind) {
  const legend marks = {{'u', testing::on(kind::untrailedfloor, testing::player())},
                        {'s', testing::square{kind::floor, tile::Create(kind::doorswitch, 0, 0, 0, 4, 0, 0),
                                              tile::Create(kind::player, 0, 0, 0, 0, 0, 0)}},
                        {'m', testing::on(kind::markedfloor, testing::player())},
                        {'w', testing::on(kind::wall, testing::player())}};
  struct row {
    const char* before;
    int leavetrail;
    const char* after;
  } const rows[] = {
      {"@.", 1, "o@"},  // a block behind the player
      {"m.", 1, "o@"},  // on marked floor too
      {"w.", 1, "o@"},  // and on a wall the player stood on
      {"u.", 1, "_@"},  // untrailed floor takes none
      {"s.", 1, "!@"},  // a cell with an object keeps its object
      {"@.", 0, ".@"},  // no trail asked
  };
  for (const row& r : rows) {
    level lvl = picture({r.before}, marks);
    EXPECT_EQ(step(lvl, 1, 0, {.leavetrail = r.leavetrail}).moved, 1);
    EXPECT_TRUE(looks_like(lvl, {r.after})) << r.before << " leavetrail " << r.leavetrail;
  }
}

TEST(Move, StarsByCollectMode) {
  struct row {
    int collect;
    int moved;
    const char* after;
  } const rows[] = {
      {1, 1, "o@"},  // taken
      {0, 0, "@*"},  // blocks, yet it was met
      {2, 1, "o@"},  // passed over and left in place
  };
  for (const row& r : rows) {
    level lvl = picture({"@*"});
    const outcome out = step(lvl, 1, 0, {.collect = r.collect});
    EXPECT_EQ(out.moved, r.moved) << "collect " << r.collect;
    EXPECT_EQ(out.stars, 1) << "collect " << r.collect;
    EXPECT_TRUE(looks_like(lvl, {r.after})) << "collect " << r.collect;
    const bool starleft = lvl.obj(1, 0, 0) != nullptr && lvl.obj(1, 0, 0)->id == kind::star;
    EXPECT_EQ(starleft, r.collect != 1) << "collect " << r.collect;
  }
}

TEST(Move, StaticObjectsThatHoldBack) {
  const legend marks = {
      {'X', testing::gate(3, 3, true)}, {'x', testing::gate(3, 3, false)}, {'T', testing::teleporter(0, 0)}};
  struct row {
    char object;
    int passwalls;
    int moved;
  } const rows[] = {
      {'o', 0, 0},  {'o', 1, 0},  // blocks hold back in every mode
      {'+', 0, 0},  {'+', 1, 1},  // a closed door, unless passing walls
      {'\'', 0, 1},               // an open door
      {'X', 0, 0},  {'X', 1, 0},  // a closed gate in every mode
      {'x', 0, 1},                // an open gate
      {'!', 0, 1},                // switches never
      {'T', 0, 1},                // an inactive teleporter is an ordinary cell
  };
  for (const row& r : rows) {
    level lvl = picture({std::string("@") + r.object}, marks);
    const outcome out = step(lvl, 1, 0, {.passwalls = r.passwalls});
    EXPECT_EQ(out.moved, r.moved) << r.object << " passwalls " << r.passwalls;
    EXPECT_EQ(out.jumps, 0);
    EXPECT_EQ(lvl.playertile()->x, r.moved);
  }
}

TEST(Move, PiecesHoldBackExceptDissolvingTrail) {
  struct row {
    char piece;
    int passwalls;
    int moved;
  } const rows[] = {{'L', 0, 0}, {'L', 1, 0}, {'U', 0, 0}, {'E', 0, 0},
                    {'@', 1, 0}, {'d', 0, 1}, {'d', 1, 1}};
  for (const row& r : rows) {
    // The second player is the playertile and steps left onto the first piece.
    level lvl = picture({std::string(1, r.piece) + "@"});
    EXPECT_EQ(step(lvl, -1, 0, {.passwalls = r.passwalls}).moved, r.moved) << r.piece;
  }
}

TEST(Move, Teleporters) {
  const legend keys = {{'A', testing::teleporter(5, 6)},  // sends to B
                       {'B', testing::teleporter(6, 5)},  // sends to A
                       {'H', testing::teleporter(9, 9)},  // sends to itself
                       {'I', testing::teleporter(0, 0)},  // inactive, though it pairs with itself
                       {'S', testing::teleporter(7, 0)},  // no partner: sends to the player start
                       {'Z', testing::on(kind::wall, testing::teleporter(1, 8))},
                       {'Y', testing::teleporter(8, 0)},  // sends into Z's wall
                       {'G', testing::gate(4, 4, true)}};
  struct row {
    const char* layer0;
    const char* layer1;
    int moved, jumps;
    int x, y, z;
  } const rows[] = {
      {"@A.", "..B", 1, 1, 2, 0, 1},  // to the partner on another layer
      {"@B.", "..A", 1, 1, 2, 0, 1},
      {"@H.", "...", 1, 1, 1, 0, 0},  // onto itself: the step ends on the teleporter
      {"@I.", "..I", 1, 0, 1, 0, 0},
      {"@S.", "...", 0, 1, 0, 0, 0},  // back to the start cell: no step, but a jump
      {"@YZ", "...", 1, 1, 2, 0, 0},  // into a wall: the destination is not examined
  };
  for (const row& r : rows) {
    level lvl = layers({{r.layer0}, {r.layer1}}, keys);
    const level before = lvl;
    const outcome out = step(lvl, 1, 0);
    SCOPED_TRACE(std::string(r.layer0) + " / " + r.layer1);
    EXPECT_EQ(out.moved, r.moved);
    EXPECT_EQ(out.jumps, r.jumps);
    EXPECT_EQ(lvl.playertile()->x, r.x);
    EXPECT_EQ(lvl.playertile()->y, r.y);
    EXPECT_EQ(lvl.playertile()->z, r.z);
    if (r.moved != 0) {
      EXPECT_EQ(lvl.obj(0, 0, 0)->id, kind::block);  // the trail stays where the player stepped from
    } else {
      EXPECT_EQ(lvl, before);
    }
  }
  // A teleport lands on a closed gate, or on a mover, without looking.
  for (const int destx : {0, 1}) {
    level lvl =
        layers({{"@A."}, {"GL."}}, {{'A', testing::teleporter(3, 0)}, {'G', testing::gate(4, 4, true)}});
    tile* sender = lvl.editobj(1, 0, 0);
    sender->x = static_cast<uint8_t>(destx);
    sender->z = 1;
    EXPECT_EQ(step(lvl, 1, 0).moved, 1);
    EXPECT_EQ(lvl.playertile()->x, destx);
    EXPECT_EQ(lvl.playertile()->z, 1);
  }
}

TEST(Move, SwitchesToggleTheirDoorsOnEveryEntry) {
  // The two switches of key 1 toggle the same two doors; the door of key 2 (drawn +) has its own switch s.
  const legend keys = {{'2', testing::door(2, true)}, {'s', testing::doorswitch(2)}};
  level lvl = picture({"@!_",
                       "+'2",
                       "!s."}, keys);
  EXPECT_EQ(lvl.vec(1, 0, 0).size(), 2u);
  EXPECT_EQ(lvl.vec(0, 2, 0).size(), 2u);
  EXPECT_EQ(lvl.vec(1, 2, 0).size(), 1u);

  EXPECT_EQ(step(lvl, 1, 0).moved, 1);
  EXPECT_TRUE(looks_like(lvl, {"o@_",
                               "'++",
                               "!!."}));
  EXPECT_EQ(step(lvl, 1, 0).moved, 1);  // leaving does nothing, and the switch takes no trail
  EXPECT_TRUE(looks_like(lvl, {"o!@",
                               "'++",
                               "!!."}));
  EXPECT_EQ(step(lvl, -1, 0).moved, 1);  // entering again toggles back
  EXPECT_TRUE(looks_like(lvl, {"o@_",
                               "+'+",
                               "!!."}));
  // Look-ahead steps never trigger.
  EXPECT_EQ(step(lvl, 1, 0, {.trigger = 0}).moved, 1);
  EXPECT_EQ(step(lvl, -1, 0, {.trigger = 0}).moved, 1);
  EXPECT_TRUE(looks_like(lvl, {"o@_",
                               "+'+",
                               "!!."}));
}

TEST(Move, SwitchesFlipWhateverTheirListNames) {
  // A door list may name any cell: a cell without an object or outside the grid is passed over.
  level lvl = picture({"@!+"});
  lvl.linkdoor(1, 0, 0, vector::Create(0, 1, 0));
  lvl.linkdoor(1, 0, 0, vector::Create(-1, 0, 0));
  lvl.linkdoor(1, 0, 0, vector::Create(2, 0, 99));
  ASSERT_EQ(lvl.vec(1, 0, 0).size(), 4u);
  EXPECT_EQ(step(lvl, 1, 0).moved, 1);
  EXPECT_TRUE(looks_like(lvl, {"o@'"}));
  lvl.linkdoor(1, 0, 0, vector::Create(2, 0, 0));  // listed twice: flips twice
  EXPECT_EQ(step(lvl, 1, 0).moved, 1);
  EXPECT_EQ(step(lvl, -1, 0).moved, 1);
  EXPECT_TRUE(looks_like(lvl, {"o@'"}));
}

TEST(Move, TrailClearingFloorDissolvesTheBlocksOfItsLayer) {
  const legend marks = {{'B', testing::on(kind::fixedtrailfloor, testing::block())}};
  level lvl = layers({{"o.@~",
                       "B=o."},
                      {"o..."}},
                     marks);
  EXPECT_EQ(step(lvl, 1, 0).moved, 1);
  // Blocks of layer 0 dissolve, except on fixed-trail floor; the cell left gets a dissolving piece.
  EXPECT_TRUE(looks_like(lvl, {"d.d@",
                               "o=d."}));  // the block that stays is the one on fixed-trail floor
  EXPECT_TRUE(looks_like(lvl, {"o..."}, 1));
  ASSERT_EQ(lvl.objs().size(), 4u);
  // The pieces join the list column by column, the one left behind last.
  EXPECT_EQ(lvl.objs()[1], tile::Create(kind::dissolvingtrail, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(lvl.objs()[2], tile::Create(kind::dissolvingtrail, 2, 1, 0, 0, 0, 0));
  EXPECT_EQ(lvl.objs()[3], tile::Create(kind::dissolvingtrail, 2, 0, 0, 0, 0, 0));
}

// The clearing happens where the step ends, once a step was under way past pieces and ground.
TEST(Move, WhereTheTrailClearingHappens) {
  const legend marks = {{'P', testing::on(kind::trailclearingfloor, testing::player())},
                        {'A', testing::teleporter(5, 6)},
                        {'B', testing::on(kind::trailclearingfloor, testing::teleporter(6, 5))}};
  struct row {
    const char* layer0;
    const char* layer1;
    int dx;
    flags how;
    bool cleared0, cleared1;
  } const rows[] = {
      {"o@~", "o..", 1, {}, true, false},  {"o@~", "o..", 1, {.trigger = 0}, false, false},
      {"o@A", "o.B", 1, {}, false, true},   // at the teleport's destination
      {"oPo", "o..", 1, {}, true, false},   // held back by a block while standing on one
      {"oP#", "o..", 1, {}, false, false},  // held back by a wall: the step never got that far
      {"oP.", "o..", 0, {}, false, false},  // no step
  };
  for (const row& r : rows) {
    level lvl = layers({{r.layer0}, {r.layer1}}, marks);
    step(lvl, r.dx, 0, r.how);
    SCOPED_TRACE(std::string(r.layer0) + " / " + r.layer1);
    EXPECT_EQ(lvl.obj(0, 0, 0) == nullptr, r.cleared0);
    EXPECT_EQ(lvl.obj(0, 0, 1) == nullptr, r.cleared1);
  }
}

TEST(Move, TestmoveAsksWithoutChangingAnything) {
  level lvl = picture({"@!*",
                       "+.."});
  tile& self = *lvl.playertile();
  const level before = lvl;
  EXPECT_EQ(self.testmove(1, 0, 0, lvl, 0), 1);
  EXPECT_EQ(self.testmove(-1, 0, 0, lvl, 0), 0);
  EXPECT_EQ(self.testmove(0, 1, 0, lvl, 0), 0);  // the closed door
  EXPECT_EQ(lvl, before);                        // no trail, no toggled door, not moved

  level next = picture({".@*"});
  int stars = 0;
  int jumps = 0;
  EXPECT_EQ(next.playertile()->testmovevars(1, 0, 0, next, 0, stars, jumps), 0);
  EXPECT_EQ(next.playertile()->testmovevars(1, 0, 0, next, 2, stars, jumps), 1);
  EXPECT_EQ(stars, 2);
  EXPECT_EQ(next.playertile()->x, 1);
  EXPECT_EQ(next.obj(2, 0, 0)->id, kind::star);
  EXPECT_EQ(next.playertile()->testmove(1, 0, 0, next, 1), 1);  // collect 1 would take the star
  EXPECT_EQ(next.obj(2, 0, 0), nullptr);
}

}  // namespace
}  // namespace dusk
// clang-format on
