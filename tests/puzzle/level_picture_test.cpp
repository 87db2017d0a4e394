// The test helper that sets up levels from pictures: what each character makes, pairing and linking.
#include "tests/puzzle/support/level_picture.h"

#include <gtest/gtest.h>

#include <stdexcept>

// Pictures are laid out by hand, a row a line.
// clang-format off
namespace dusk {
namespace {

using testing::layers;
using testing::picture;

TEST(LevelPicture, DefaultCharactersDrawBackAsThemselves) {
  const testing::layerpicture rows = {".#:%&_^v><~=",
                                      "*o!+'@LRUDES",
                                      "WNd........."};
  const level lvl = picture(rows);
  EXPECT_TRUE(testing::looks_like(lvl, rows));
  EXPECT_EQ(lvl.totalstars, 1);
  EXPECT_EQ(lvl.map(6, 0, 0), kind::onewayup);
  EXPECT_EQ(lvl.objs().size(), 10u);
  // Pieces join the list column by column.
  EXPECT_EQ(lvl.objs()[0].id, kind::turningmover);
  EXPECT_EQ(lvl.objs()[1].id, kind::turningmover);
  EXPECT_EQ(lvl.objs()[2].id, kind::dissolvingtrail);
  EXPECT_EQ(lvl.objs()[3].id, kind::player);
}

TEST(LevelPicture, TeleportersPairAndSwitchesLinkAsInBuiltLevels) {
  const level lvl = layers({{"A.@B",
                             "C..."},
                            {"...D"}},
                           {{'A', testing::teleporter(5, 6)},
                            {'B', testing::teleporter(6, 5)},
                            {'C', testing::teleporter(7, 7)},
                            {'D', testing::teleporter(9, 1)}});
  EXPECT_EQ(*lvl.obj(0, 0, 0), tile::Create(kind::teleporter, 3, 0, 0, 5, 6, 0));  // to B
  EXPECT_EQ(*lvl.obj(3, 0, 0), tile::Create(kind::teleporter, 0, 0, 0, 6, 5, 0));  // to A
  EXPECT_EQ(*lvl.obj(0, 1, 0), tile::Create(kind::teleporter, 0, 1, 0, 7, 7, 0));  // to itself
  EXPECT_EQ(*lvl.obj(3, 0, 1), tile::Create(kind::teleporter, 2, 0, 0, 9, 1, 0));  // to the start

  const level doors = picture({"!+'", "s2."}, {{'s', testing::doorswitch(2)}, {'2', testing::door(2, true)}});
  ASSERT_EQ(doors.vec(0, 0, 0).size(), 2u);
  EXPECT_EQ(doors.vec(0, 0, 0)[0], vector::Create(1, 0, 0));
  EXPECT_EQ(doors.vec(0, 0, 0)[1], vector::Create(2, 0, 0));
  ASSERT_EQ(doors.vec(0, 1, 0).size(), 1u);
  EXPECT_EQ(doors.vec(0, 1, 0)[0], vector::Create(1, 1, 0));
  EXPECT_EQ(*doors.obj(1, 1, 0), tile::Create(kind::door, 1, 1, 0, 2, 1, 0));
}

TEST(LevelPicture, RefusesWhatNoLevelCanHold) {
  EXPECT_THROW(picture({"@?"}), std::invalid_argument);
  EXPECT_THROW(picture({std::string(16, '.')}), std::invalid_argument);
  EXPECT_THROW(picture(testing::layerpicture(16, ".")), std::invalid_argument);
  EXPECT_THROW(layers(std::vector<testing::layerpicture>(16, {"."})), std::invalid_argument);
  EXPECT_THROW(layers({}), std::invalid_argument);
  EXPECT_NO_THROW(layers(std::vector<testing::layerpicture>(15, {std::string(15, '.')})));
}

}  // namespace
}  // namespace dusk
// clang-format on
