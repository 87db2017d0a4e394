// Level construction from level images: the glyph table by background, layers from the height, refusals,
// player starts, teleporter pairing and switch linking in scan order, and level files on disk.
#include <gtest/gtest.h>

#include <filesystem>

#include "files/error_report.h"
#include "files/screen_file.h"
#include "puzzle/kinds.h"
#include "tests/worlds/support/working_folder.h"
#include "worlds/build_level.h"

namespace dusk {
namespace {

// An image of the given layers, all floor (glyph 0), with the player start (glyph 2) at the far corner of
// layer 0 unless told otherwise.
tilemap Image(int layers = 1, bool player = true, int width = 15) {
  tilemap image = tilemap::Create(width, layers * 15);
  if (player) image.SetTile(14, 14, 2, 0, 0, 1);
  return image;
}

void Put(tilemap& image, int x, int y, int z, int glyph, int fg = 0, int bg = 0) {
  image.SetTile(x, y + z * 15, glyph, fg, bg, 1);
}

std::vector<tile> Pieces(const level& lvl) { return {lvl.objs().begin(), lvl.objs().end()}; }

TEST(BuildLevel, GlyphTableByForegroundAndBackground) {
  struct glyph_case {
    const char* name;
    int glyph, fg, bg;
    uint8_t ground;
    std::optional<tile> object;  // what obj holds at the cell
    std::optional<tile> piece;   // the piece added to objs before the player
  };
  const int x = 3, y = 4;
  const glyph_case cases[] = {
      {"floor", 0, 0, 0, kind::floor, {}, {}},
      {"any other glyph", 'A', 7, 7, kind::floor, {}, {}},
      {"star", '*', 5, 6, kind::floor, tile::Create(kind::star, 0, 0, 0, 0, 0, 0), {}},
      {"wall", '#', 0, 0, kind::wall, {}, {}},
      {"marked floor", 176, 0, 0, kind::markedfloor, {}, {}},
      {"wall, second look", 15, 0, 0, kind::wallsecondlook, {}, {}},
      {"wall, third look", 247, 0, 0, kind::wallthirdlook, {}, {}},
      {"block", 9, 3, 3, kind::floor, tile::Create(kind::block, 0, 0, 0, 0, 0, 0), {}},
      {"untrailed floor", '%', 0, 0, kind::untrailedfloor, {}, {}},
      {"trail-clearing floor", 12, 0, 0, kind::trailclearingfloor, {}, {}},
      {"fixed-trail floor", 240, 0, 0, kind::fixedtrailfloor, {}, {}},
      {"up arrow on 5: one-way", 24, 0, 5, kind::onewayup, {}, {}},
      {"up arrow on 3: mover on floor", 24, 0, 3, kind::floor, {}, tile::Create(kind::verticalmover, x, y, 0, 0, 0, 0)},
      {"up arrow on 4: mover on marked floor", 24, 0, 4, kind::markedfloor, {},
       tile::Create(kind::verticalmover, x, y, 0, 0, 0, 0)},
      {"down arrow on 0: one-way", 25, 0, 0, kind::onewaydown, {}, {}},
      {"down arrow on 3", 25, 0, 3, kind::floor, {}, tile::Create(kind::verticalmover, x, y, 0, 1, 0, 0)},
      {"right arrow on 20: one-way", 26, 0, 20, kind::onewayright, {}, {}},
      {"right arrow on 4", 26, 0, 4, kind::markedfloor, {}, tile::Create(kind::horizontalmover, x, y, 0, 1, 0, 0)},
      {"left arrow on 6: one-way", 27, 0, 6, kind::onewayleft, {}, {}},
      {"left arrow on 3", 27, 0, 3, kind::floor, {}, tile::Create(kind::horizontalmover, x, y, 0, 0, 0, 0)},
      {"switch", 7, 5, 9, kind::floor, tile::Create(kind::doorswitch, x, y, 0, 5, 0, 0), {}},
      {"door on 3 starts open", 8, 5, 3, kind::floor, tile::Create(kind::door, x, y, 0, 5, 0, 0), {}},
      {"door on 4 starts closed", 8, 6, 4, kind::floor, tile::Create(kind::door, x, y, 0, 6, 1, 0), {}},
      {"timed gate, closed", 233, 4, 2, kind::floor, tile::Create(kind::timedgate, x, y, 0, 4, 2, 1), {}},
      {"timed gate, open", 'O', 1, 7, kind::floor, tile::Create(kind::timedgate, x, y, 0, 1, 7, 0), {}},
      {"right triangle on 3: clockwise", 16, 0, 3, kind::floor, {},
       tile::Create(kind::turningmover, x, y, 0, 0, 1, 0)},
      {"left triangle on 4: clockwise, marked", 17, 0, 4, kind::markedfloor, {},
       tile::Create(kind::turningmover, x, y, 0, 2, 1, 0)},
      {"up triangle on 6: anticlockwise, marked", 30, 0, 6, kind::markedfloor, {},
       tile::Create(kind::turningmover, x, y, 0, 3, 0, 0)},
      {"down triangle on 0: anticlockwise", 31, 0, 0, kind::floor, {},
       tile::Create(kind::turningmover, x, y, 0, 1, 0, 0)},
      {"down triangle on 5: anticlockwise", 31, 0, 5, kind::floor, {},
       tile::Create(kind::turningmover, x, y, 0, 1, 0, 0)},
  };
  for (const glyph_case& c : cases) {
    SCOPED_TRACE(c.name);
    tilemap image = Image();
    Put(image, x, y, 0, c.glyph, c.fg, c.bg);
    std::optional<level> lvl = BuildLevelFromImage(image);
    ASSERT_TRUE(lvl.has_value());
    EXPECT_EQ(lvl->map(x, y, 0), c.ground);
    const tile* object = lvl->obj(x, y, 0);
    EXPECT_EQ(object != nullptr, c.object.has_value());
    if (object != nullptr && c.object) {
      EXPECT_EQ(*object, *c.object);
    }
    std::vector<tile> expected_pieces;
    if (c.piece) expected_pieces.push_back(*c.piece);
    expected_pieces.push_back(tile::Create(kind::player, 14, 14, 0, 0, 0, 0));
    EXPECT_EQ(Pieces(*lvl), expected_pieces);
    EXPECT_EQ(lvl->totalstars, c.glyph == '*' ? 1 : 0);
  }
}

TEST(BuildLevel, PlayerStarts) {
  tilemap image = Image(1, false);
  Put(image, 2, 9, 0, 1);  // light face: on marked floor
  Put(image, 6, 1, 0, 2);  // dark face, later in scan order: the player
  std::optional<level> lvl = BuildLevelFromImage(image);
  ASSERT_TRUE(lvl.has_value());
  EXPECT_EQ(lvl->map(2, 9, 0), kind::markedfloor);
  EXPECT_EQ(lvl->map(6, 1, 0), kind::floor);
  EXPECT_EQ((std::array{lvl->playerx, lvl->playery, lvl->playerz}), (std::array{6, 1, 0}));
  ASSERT_NE(lvl->playertile(), nullptr);
  EXPECT_EQ(*lvl->playertile(), tile::Create(kind::player, 6, 1, 0, 0, 0, 0));
  // The earlier start stays as a piece that never moves.
  EXPECT_EQ(Pieces(*lvl), (std::vector<tile>{tile::Create(kind::player, 2, 9, 0, 0, 0, 0),
                                             tile::Create(kind::player, 6, 1, 0, 0, 0, 0)}));
}

TEST(BuildLevel, DepthComesFromTheHeightAndCellsOutsideTheLayersAreIgnored) {
  tilemap two = Image(2);
  Put(two, 5, 6, 1, '*');
  Put(two, 7, 0, 1, '#');
  two.SetTile(15, 0, '*', 0, 0, 1);  // column 15: ignored (the image is widened below)
  std::optional<level> lvl = BuildLevelFromImage(two);
  ASSERT_TRUE(lvl.has_value());
  EXPECT_EQ(lvl->depth, 2);
  EXPECT_NE(lvl->obj(5, 6, 1), nullptr);
  EXPECT_EQ(lvl->map(7, 0, 1), kind::wall);
  EXPECT_EQ(lvl->totalstars, 1);

  tilemap wide = tilemap::Create(20, 29);
  wide.SetTile(0, 0, 2, 0, 0, 1);
  wide.SetTile(16, 3, '*', 0, 0, 1);  // beyond column 14
  wide.SetTile(3, 20, '*', 0, 0, 1);  // in the 14 rows that make no whole layer
  lvl = BuildLevelFromImage(wide);
  ASSERT_TRUE(lvl.has_value());
  EXPECT_EQ(lvl->depth, 1);
  EXPECT_EQ(lvl->totalstars, 0);
  EXPECT_EQ(lvl->obj(3, 5, 1), nullptr);

  lvl = BuildLevelFromImage(Image(15));
  ASSERT_TRUE(lvl.has_value());
  EXPECT_EQ(lvl->depth, 15);
}

TEST(BuildLevel, RefusesImagesItCannotHold) {
  EXPECT_FALSE(BuildLevelFromImage(Image(1, true, 14)).has_value()) << "narrower than 15 columns";
  tilemap tall = tilemap::Create(15, 226);
  tall.SetTile(0, 0, 2, 0, 0, 1);
  EXPECT_FALSE(BuildLevelFromImage(tall).has_value()) << "taller than 15 layers";
  EXPECT_FALSE(BuildLevelFromImage(Image(1, false)).has_value()) << "no player start";
  tilemap short_image = tilemap::Create(15, 14);
  short_image.SetTile(0, 0, 2, 0, 0, 1);
  EXPECT_FALSE(BuildLevelFromImage(short_image).has_value()) << "no whole layer, so no start";
  EXPECT_FALSE(BuildLevelFromImage(tilemap::Create(0, 0)).has_value());
}

TEST(BuildLevel, TeleportersPairInScanOrder) {
  tilemap image = Image(2, false);
  Put(image, 1, 1, 0, '+', 5, 6);   // A: sends 5
  Put(image, 1, 8, 0, '+', 6, 5);   // B: sends 6, receives 5
  Put(image, 2, 0, 0, '+', 7, 7);   // C: receives its own key
  Put(image, 3, 3, 0, '+', 8, 1);   // D: no one receives 8; no start found before it
  Put(image, 4, 2, 0, 2);           // the player start
  Put(image, 5, 5, 0, '+', 9, 2);   // E: no partner; sends to the start found before it
  Put(image, 6, 0, 0, '+', 0, 3);   // F: inactive, but paired with the first receiver of 0
  Put(image, 7, 7, 1, '+', 3, 0);   // G: receives 0 (and sends 3 to F)
  Put(image, 8, 4, 1, '+', 4, 7);   // H: receives 7 too, but C comes first
  Put(image, 9, 9, 1, '+', 7, 4);   // I: sends 7 to C
  std::optional<level> lvl = BuildLevelFromImage(image);
  ASSERT_TRUE(lvl.has_value());
  struct expectation {
    int x, y, z;
    tile expected;
  };
  const expectation expected[] = {
      {1, 1, 0, tile::Create(kind::teleporter, 1, 8, 0, 5, 6, 0)},
      {1, 8, 0, tile::Create(kind::teleporter, 1, 1, 0, 6, 5, 0)},
      {2, 0, 0, tile::Create(kind::teleporter, 2, 0, 0, 7, 7, 0)},
      {3, 3, 0, tile::Create(kind::teleporter, 0, 0, 0, 8, 1, 0)},
      {5, 5, 0, tile::Create(kind::teleporter, 4, 2, 0, 9, 2, 0)},
      {6, 0, 0, tile::Create(kind::teleporter, 7, 7, 1, 0, 3, 0)},
      {7, 7, 1, tile::Create(kind::teleporter, 6, 0, 0, 3, 0, 0)},
      {8, 4, 1, tile::Create(kind::teleporter, 9, 9, 1, 4, 7, 0)},
      {9, 9, 1, tile::Create(kind::teleporter, 2, 0, 0, 7, 4, 0)},
  };
  for (const expectation& e : expected) {
    SCOPED_TRACE(std::to_string(e.x) + "," + std::to_string(e.y) + "," + std::to_string(e.z));
    const tile* object = lvl->obj(e.x, e.y, e.z);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(*object, e.expected);
  }
}

TEST(BuildLevel, SwitchesLinkEveryDoorOfTheirColourInScanOrder) {
  tilemap image = Image();
  Put(image, 0, 5, 0, 7, 4);     // switch, colour 4
  Put(image, 9, 9, 0, 7, 4);     // another switch of colour 4
  Put(image, 3, 3, 0, 7, 12);    // a switch with no door of its colour
  Put(image, 6, 2, 0, 8, 4, 3);  // door of colour 4, starts open
  Put(image, 2, 7, 0, 8, 4);     // door of colour 4, earlier in scan order
  Put(image, 4, 4, 0, 8, 5);     // a door of another colour
  std::optional<level> lvl = BuildLevelFromImage(image);
  ASSERT_TRUE(lvl.has_value());
  const std::vector<vector> doors = {vector::Create(2, 7, 0), vector::Create(6, 2, 0)};
  auto links = [&](int x, int y) {
    std::span<const vector> v = lvl->vec(x, y, 0);
    return std::vector<vector>(v.begin(), v.end());
  };
  EXPECT_EQ(links(0, 5), doors);
  EXPECT_EQ(links(9, 9), doors);
  EXPECT_TRUE(links(3, 3).empty());
}

TEST(BuildLevel, PiecesJoinTheListInScanOrder) {
  tilemap image = Image(2);
  Put(image, 1, 5, 0, 26, 0, 3);   // horizontal mover
  Put(image, 0, 9, 0, 16, 0, 0);   // turning mover: column 0 comes first
  Put(image, 1, 2, 0, 25, 0, 4);   // vertical mover, same column, higher row
  Put(image, 0, 0, 1, 27, 0, 3);   // on layer 1: after all of layer 0
  std::optional<level> lvl = BuildLevelFromImage(image);
  ASSERT_TRUE(lvl.has_value());
  std::vector<uint8_t> kinds;
  for (const tile& piece : lvl->objs()) kinds.push_back(piece.id);
  EXPECT_EQ(kinds, (std::vector<uint8_t>{kind::turningmover, kind::verticalmover, kind::horizontalmover,
                                         kind::player, kind::horizontalmover}));
}

TEST(BuildLevel, ReadsLevelFilesFromTheWorldFolders) {
  testing::working_folder folder;
  std::vector<std::pair<std::string, std::string>> reported;
  SetErrorReporter([&](const std::string& title, const std::string& message) { reported.emplace_back(title, message); });

  tilemap image = Image();
  Put(image, 7, 7, 0, '*');
  std::filesystem::create_directories("leveldata/world 2");
  ::testing::internal::CaptureStdout();
  ASSERT_EQ(Save(image, "leveldata\\world 2\\2-A.slv"), 1);
  ::testing::internal::GetCapturedStdout();
  std::optional<level> lvl = BuildLevel(2, 10);
  ASSERT_TRUE(lvl.has_value());
  EXPECT_EQ(lvl->totalstars, 1);
  EXPECT_TRUE(reported.empty());

  EXPECT_FALSE(BuildLevel(2, 11).has_value()) << "missing file";
  EXPECT_TRUE(reported.empty());

  std::FILE* damaged = std::fopen("leveldata/world 2/2-B.slv", "wb");
  ASSERT_NE(damaged, nullptr);
  std::fputs("QDTX", damaged);
  std::fclose(damaged);
  EXPECT_FALSE(BuildLevel(2, 11).has_value());
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0], (std::pair<std::string, std::string>{"Error!", kUnrecognizedHeader}));
  SetErrorReporter(nullptr);
}

}  // namespace
}  // namespace dusk
