// The level model: a new level, ground solidity, trail blocks, pieces on a cell, and the building API.
#include "puzzle/level.h"

#include <gtest/gtest.h>

#include "tests/puzzle/support/level_picture.h"

// Pictures are laid out by hand, a row a line.
// clang-format off
namespace dusk {
namespace {

using testing::picture;

TEST(Level, NewIsOneEmptyLayerOfFloor) {
  const level lvl = level::New();
  EXPECT_EQ(lvl.depth, 1);
  EXPECT_EQ(lvl.totalstars, 0);
  EXPECT_EQ(lvl.playerx + lvl.playery + lvl.playerz, 0);
  EXPECT_EQ(lvl.playertile(), nullptr);
  EXPECT_TRUE(lvl.objs().empty());
  for (int z = 0; z < level::size; ++z) {
    for (int x = 0; x < level::size; ++x) {
      for (int y = 0; y < level::size; ++y) {
        ASSERT_EQ(lvl.map(x, y, z), kind::floor);
        ASSERT_EQ(lvl.obj(x, y, z), nullptr);
      }
    }
  }
}

TEST(Level, OnlyTheWallKindsAreSolidGround) {
  for (int k = 0; k < 256; ++k) {
    const auto value = static_cast<uint8_t>(k);
    const int wall = k == kind::wall || k == kind::wallsecondlook || k == kind::wallthirdlook;
    EXPECT_EQ(level::solid(value), wall) << k;
    EXPECT_EQ(tile::solid(value), k == kind::block ? 1 : 0) << k;
  }
}

TEST(Tile, CreateKeepsTheLowBitsOfItsPosition) {
  const tile t = tile::Create(kind::door, 257, -1, 14, 5, 1, 0);
  EXPECT_EQ(t, (tile{kind::door, 1, 255, 14, 5, 1, 0, 0, 0}));
  EXPECT_EQ(tile::New(), tile{});
}

TEST(Level, CreatetrailLeavesABlockOnlyOnAFreeTrailableCell) {
  const testing::legend legend = {{'T', testing::teleporter(0, 0)}, {'X', testing::gate(1, 1, true)}};
  struct row {
    char cell;
    char after;
  } const rows[] = {
      {'.', 'o'}, {':', 'o'}, {'~', 'o'}, {'=', 'o'}, {'#', 'o'},  // any ground but untrailed floor
      {'_', '_'},                                                  // untrailed floor takes no block
      {'*', '*'}, {'T', 'T'}, {'!', '!'}, {'+', '+'}, {'X', 'X'},  // an object keeps its cell
      {'o', 'o'},
  };
  for (const row& r : rows) {
    level lvl = picture({std::string(1, r.cell)}, legend);
    EXPECT_EQ(lvl.createtrail(0, 0, 0), 0);
    EXPECT_TRUE(testing::looks_like(lvl, {std::string(1, r.after)})) << "on " << r.cell;
  }
  level lvl = level::New();
  const level before = lvl;
  lvl.createtrail(-1, 0, 0);
  lvl.createtrail(0, 15, 0);
  lvl.createtrail(0, 0, 15);
  EXPECT_EQ(lvl, before);
}

TEST(Level, ObjOnTileFindsEveryKindOfPiece) {
  const level lvl = picture({"@Ld*",
                             "UEo."});
  for (const auto& [x, y] : {std::pair{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}}) {
    EXPECT_EQ(lvl.ObjOnTile(x, y, 0), 1) << x << "," << y;
  }
  for (const auto& [x, y] : {std::pair{3, 0}, {2, 1}, {3, 1}, {-1, 0}, {0, -1}, {15, 0}}) {
    EXPECT_EQ(lvl.ObjOnTile(x, y, 0), 0) << x << "," << y;  // objects of the grid and outside cells
  }
  EXPECT_EQ(lvl.ObjOnTile(0, 0, 1), 0);
}

TEST(Level, ReadsAndWritesOutsideTheGridAreSkipped) {
  level lvl = level::New();
  const level before = lvl;
  for (const auto& [x, y, z] :
       {std::tuple{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}, {15, 0, 0}, {0, 15, 0}, {0, 0, 15}, {1000000, 0, 0}}) {
    lvl.setmap(x, y, z, kind::wall);
    lvl.setobj(x, y, z, tile::Create(kind::door, 0, 0, 0, 1, 1, 0));
    lvl.clearobj(x, y, z);
    EXPECT_EQ(lvl.linkdoor(x, y, z, vector::Create(0, 0, 0)), 0);
    EXPECT_EQ(lvl.map(x, y, z), 0);
    EXPECT_EQ(lvl.obj(x, y, z), nullptr);
    EXPECT_EQ(lvl.editobj(x, y, z), nullptr);
    EXPECT_TRUE(lvl.vec(x, y, z).empty());
  }
  EXPECT_EQ(lvl, before);
}

TEST(Level, PlacedObjectsKeepTheirFieldsAndDoorLists) {
  level lvl = level::New();
  // Placed out of cell order, on several layers, and replaced: each keeps its own fields and links.
  lvl.setobj(4, 4, 2, tile::Create(kind::doorswitch, 4, 4, 2, 7, 0, 0));
  lvl.setobj(1, 1, 0, tile::Create(kind::doorswitch, 1, 1, 0, 3, 0, 0));
  lvl.setobj(2, 2, 1, tile::Create(kind::teleporter, 9, 9, 9, 1, 2, 0));
  EXPECT_EQ(lvl.linkdoor(4, 4, 2, vector::Create(5, 5, 2)), 1);
  EXPECT_EQ(lvl.linkdoor(1, 1, 0, vector::Create(6, 6, 0)), 1);
  EXPECT_EQ(lvl.linkdoor(4, 4, 2, vector::Create(7, 7, 2)), 1);
  lvl.setobj(0, 0, 0, tile::Create(kind::timedgate, 0, 0, 0, 2, 3, 1));
  lvl.setobj(3, 3, 0, tile::Create(kind::star, 1, 2, 3, 4, 5, 6));

  EXPECT_EQ(*lvl.obj(4, 4, 2), tile::Create(kind::doorswitch, 4, 4, 2, 7, 0, 0));
  EXPECT_EQ(*lvl.obj(2, 2, 1), tile::Create(kind::teleporter, 9, 9, 9, 1, 2, 0));
  EXPECT_EQ(*lvl.obj(0, 0, 0), tile::Create(kind::timedgate, 0, 0, 0, 2, 3, 1));
  EXPECT_EQ(*lvl.obj(3, 3, 0), tile::Create(kind::star, 0, 0, 0, 0, 0, 0));  // stars carry no fields
  EXPECT_EQ(lvl.editobj(3, 3, 0), nullptr);
  const auto far = lvl.vec(4, 4, 2);
  ASSERT_EQ(far.size(), 2u);
  EXPECT_EQ(far[0], vector::Create(5, 5, 2));
  EXPECT_EQ(far[1], vector::Create(7, 7, 2));
  ASSERT_EQ(lvl.vec(1, 1, 0).size(), 1u);
  EXPECT_EQ(lvl.vec(1, 1, 0)[0], vector::Create(6, 6, 0));

  lvl.editobj(2, 2, 1)->x = 3;
  EXPECT_EQ(lvl.obj(2, 2, 1)->x, 3);
  lvl.clearobj(1, 1, 0);
  EXPECT_EQ(lvl.obj(1, 1, 0), nullptr);
  EXPECT_EQ(lvl.vec(4, 4, 2).size(), 2u);
  lvl.setobj(4, 4, 2, tile::Create(kind::door, 4, 4, 2, 7, 1, 0));
  EXPECT_TRUE(lvl.vec(4, 4, 2).empty());  // a replaced object takes its door list with it
  EXPECT_EQ(lvl.obj(0, 0, 0)->id, kind::timedgate);
  EXPECT_EQ(lvl.obj(2, 2, 1)->id, kind::teleporter);
}

TEST(Level, RemovingPiecesKeepsThePlayerTile) {
  level lvl = picture({"dd@L"});
  ASSERT_EQ(lvl.objs().size(), 4u);
  lvl.removeobj(0);
  lvl.removeobj(9);  // no such piece
  ASSERT_NE(lvl.playertile(), nullptr);
  EXPECT_EQ(lvl.playertile()->x, 2);
  lvl.removeobj(2);  // the mover, after the player
  EXPECT_EQ(lvl.playertile()->x, 2);
  lvl.removeobj(1);
  EXPECT_EQ(lvl.playertile(), nullptr);
}

TEST(Level, SetobjsReplacesThePiecesAndNamesThePlayer) {
  level lvl = picture({"d@L"});
  const tile pieces[2] = {tile::Create(kind::player, 5, 6, 0, 0, 0, 0),
                          tile::Create(kind::horizontalmover, 7, 8, 0, 1, 0, 0)};
  lvl.setobjs(pieces, 0);
  ASSERT_EQ(lvl.objs().size(), 2u);
  EXPECT_EQ(lvl.objs()[1], pieces[1]);
  EXPECT_EQ(lvl.playertile(), &lvl.objs()[0]);
  EXPECT_EQ(lvl.ObjOnTile(2, 0, 0), 0);  // the old pieces are gone
  lvl.setobjs(pieces, 2);                 // no such piece: no player
  EXPECT_EQ(lvl.playertile(), nullptr);
  lvl.setobjs({}, -1);
  EXPECT_TRUE(lvl.objs().empty());
}

TEST(Level, TheLastPlayerIsThePlayerTile) {
  const level lvl = picture({"@..",
                             "..@"});
  ASSERT_EQ(lvl.objs().size(), 2u);
  EXPECT_EQ(lvl.playertile(), &lvl.objs()[1]);
  EXPECT_EQ(lvl.playertile()->x, 2);
  EXPECT_EQ(lvl.playerx, 2);
  EXPECT_EQ(lvl.playery, 1);
}

}  // namespace
}  // namespace dusk
// clang-format on
