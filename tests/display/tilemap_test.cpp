// The cell grid: the 255 rule, area operations, the overlap rule of CopyRect and the exact flood fill.
#include "display/tilemap.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace dusk {
namespace {

// A grid whose glyphs are the characters of rows, all in foreground 1 on background 2.
tilemap Grid(const std::vector<std::string>& rows) {
  tilemap grid = tilemap::Create(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (int y = 0; y < grid.tmaph; ++y) {
    for (int x = 0; x < grid.tmapw; ++x) grid.SetTile(x, y, static_cast<uint8_t>(rows[y][x]), 1, 2, 1);
  }
  return grid;
}

std::string Rows(const std::vector<std::string>& rows) {
  std::string text;
  for (const std::string& row : rows) text += row + "\n";
  return text;
}

struct cell {
  int glyph, fg, bg;
  bool operator==(const cell&) const = default;
};

cell CellAt(const tilemap& grid, int x, int y) {
  int glyph = -1, fg = -1, bg = -1;
  grid.GrabTileInt(x, y, glyph, fg, bg);
  return {glyph, fg, bg};
}

void PrintTo(const cell& c, std::ostream* out) { *out << "(" << c.glyph << ", " << c.fg << ", " << c.bg << ")"; }

TEST(TilemapTest, CreateGivesZeroedPlanesAndTheCreationValues) {
  tilemap grid = tilemap::Create(3, 2);
  EXPECT_EQ(grid.tmap, std::vector<uint8_t>(18, 0));
  EXPECT_EQ(grid.drawtime, 0);
  EXPECT_EQ(grid.transparentcolor, 9);
  EXPECT_EQ(grid.uscore, "");
  EXPECT_EQ(grid.utime, 0);
  EXPECT_EQ(grid.utoggletime, 24);
  EXPECT_TRUE(grid.tplist.empty());
  // The foreground of cell (2, 1) is byte 6 + 1 * 3 + 2.
  grid.SetTile(2, 1, 0, 77, 0, 0);
  EXPECT_EQ(grid.tmap[11], 77);
  EXPECT_EQ(tilemap::Create(-4, 5).tmap.size(), 0u);
}

TEST(TilemapTest, SetTileFollowsTheNoValueRule) {
  struct set_case {
    int glyph, fg, bg, force;
    cell after;  // the cell started as (10, 11, 12)
  };
  const set_case cases[] = {
      {255, 7, 255, 0, {10, 7, 12}},    // only the foreground changes
      {255, 7, 255, 1, {255, 7, 255}},  // force stores 255 like any other value
      {255, 255, 255, 0, {10, 11, 12}},
      {65, 0, 9, 0, {65, 0, 9}},
      {-1, 256 + 3, 255, 0, {10, 3, 12}},  // arguments count by their low 8 bits
  };
  for (const set_case& c : cases) {
    tilemap grid = tilemap::Create(2, 2);
    grid.SetTile(1, 1, 10, 11, 12, 0);
    EXPECT_EQ(grid.SetTile(1, 1, c.glyph, c.fg, c.bg, c.force), 1);
    EXPECT_EQ(CellAt(grid, 1, 1), c.after) << c.glyph << " " << c.fg << " " << c.bg << " force " << c.force;
    EXPECT_EQ(CellAt(grid, 0, 0), (cell{0, 0, 0}));
  }
}

TEST(TilemapTest, OutsideCellsAreSkipped) {
  tilemap grid = tilemap::Create(3, 2);
  const std::vector<uint8_t> before = grid.tmap;
  for (auto [x, y] : {std::pair{3, 0}, {0, 2}, {-1, 0}, {0, -1}, {INT_MAX, INT_MAX}}) {
    EXPECT_EQ(grid.SetTile(x, y, 1, 1, 1, 1), 0);
    uint8_t glyph = 40, fg = 41, bg = 42;
    EXPECT_EQ(grid.GrabTile(x, y, glyph, fg, bg), 0);
    EXPECT_EQ(glyph, 40);
    EXPECT_EQ(fg, 41);
    EXPECT_EQ(bg, 42);
    EXPECT_EQ(CellAt(grid, x, y), (cell{-1, -1, -1}));
  }
  EXPECT_EQ(grid.tmap, before);
}

TEST(TilemapTest, FillAndFillColor) {
  tilemap grid = Grid({"ab", "cd"});
  EXPECT_EQ(grid.Fill(255, 255, 255, 0), 0);
  EXPECT_EQ(to_string(grid), Rows({"ab", "cd"}));
  EXPECT_EQ(grid.Fill(0, 0, 9, 0), 1);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(CellAt(grid, i % 2, i / 2), (cell{0, 0, 9}));
  EXPECT_EQ(grid.Fill('z', 255, 255, 0), 1);
  EXPECT_EQ(CellAt(grid, 1, 1), (cell{'z', 0, 9}));
  EXPECT_EQ(grid.Fill(255, 255, 255, 1), 1);
  EXPECT_EQ(grid.tmap, std::vector<uint8_t>(12, 255));

  grid = Grid({"ab"});
  EXPECT_EQ(grid.FillColor(255, 255, 0), 0);
  EXPECT_EQ(grid.FillColor(255, 5, 0), 1);
  EXPECT_EQ(CellAt(grid, 1, 0), (cell{'b', 1, 5}));
  EXPECT_EQ(grid.FillColor(255, 5, 1), 1);
  EXPECT_EQ(CellAt(grid, 0, 0), (cell{'a', 255, 5}));
}

TEST(TilemapTest, AreaWritesTouchOnlyTheInsidePart) {
  tilemap grid = Grid({"....", "....", "...."});
  EXPECT_EQ(grid.SetTiles(2, -1, 5, 3, '#', 255, 255, 0), 0);
  EXPECT_EQ(to_string(grid), Rows({"..##", "..##", "...."}));
  EXPECT_EQ(grid.SetTiles(1, 1, 0, 5, '!', 0, 0, 0), 0);
  EXPECT_EQ(grid.SetTiles(1, 1, 5, -2, '!', 0, 0, 0), 0);
  EXPECT_EQ(grid.SetTiles(INT_MIN, INT_MIN, INT_MAX, INT_MAX, '?', 255, 255, 0), 0);  // all outside
  EXPECT_EQ(to_string(grid), Rows({"..##", "..##", "...."}));

  EXPECT_EQ(grid.SetColors(-1, 1, 2, 9, 7, 255, 0), 0);
  EXPECT_EQ(CellAt(grid, 0, 1), (cell{'.', 7, 2}));
  EXPECT_EQ(CellAt(grid, 0, 2), (cell{'.', 7, 2}));
  EXPECT_EQ(CellAt(grid, 0, 0), (cell{'.', 1, 2}));
  EXPECT_EQ(CellAt(grid, 1, 1), (cell{'.', 1, 2}));
  grid.SetColors(0, 0, 4, 3, 255, 255, 1);
  EXPECT_EQ(CellAt(grid, 3, 2), (cell{'.', 255, 255}));
  EXPECT_EQ(to_string(grid), Rows({"..##", "..##", "...."})) << "glyphs untouched";
}

TEST(TilemapTest, RectangleDrawsTheOutline) {
  tilemap grid = Grid({".....", ".....", ".....", "....."});
  EXPECT_EQ(grid.Rectangle(1, 0, 3, 3, '#', 255, 255), 0);
  EXPECT_EQ(to_string(grid), Rows({".###.", ".#.#.", ".###.", "....."}));
  grid = Grid({".....", ".....", ".....", "....."});
  grid.Rectangle(3, 1, 4, 9, '+', 255, 255);  // right and bottom edges fall outside
  EXPECT_EQ(to_string(grid), Rows({".....", "...++", "...+.", "...+."}));
}

TEST(TilemapTest, CharAndColorTablesKeepWhat255Leaves) {
  tilemap grid = tilemap::Create(17, 17);
  grid.Fill(7, 3, 4, 0);
  grid.InsertCharTable(0, 0);
  EXPECT_EQ(CellAt(grid, 1, 1), (cell{17, 3, 4}));
  EXPECT_EQ(CellAt(grid, 14, 15), (cell{254, 3, 4}));
  EXPECT_EQ(CellAt(grid, 15, 15), (cell{7, 3, 4})) << "glyph 255 without force changes nothing";
  EXPECT_EQ(CellAt(grid, 16, 16), (cell{7, 3, 4}));

  grid.Fill(7, 3, 4, 0);
  grid.InsertColorTable(1, 1);
  EXPECT_EQ(CellAt(grid, 1, 1), (cell{0, 3, 0}));
  EXPECT_EQ(CellAt(grid, 2, 2), (cell{0, 3, 17}));
  EXPECT_EQ(CellAt(grid, 16, 16), (cell{0, 3, 4})) << "background 255 without force changes nothing";
  EXPECT_EQ(CellAt(grid, 0, 0), (cell{7, 3, 4}));
}

TEST(TilemapTest, CopyRectWithinOneGridDoesNotSmear) {
  tilemap grid = Grid({"ABCDE"});
  tilemap other = Grid({"ABCDE"});
  tilemap::CopyRect(grid, 0, 0, 3, 1, grid, 1, 0, 0);
  tilemap::CopyRect(Grid({"ABCDE"}), 0, 0, 3, 1, other, 1, 0, 0);
  EXPECT_EQ(to_string(grid), Rows({"AABCE"}));
  EXPECT_EQ(to_string(grid, true), to_string(other, true));

  grid = Grid({"ABCDE"});
  tilemap::CopyRect(grid, 2, 0, 3, 1, grid, 0, 0, 0);
  EXPECT_EQ(to_string(grid), Rows({"CDEDE"}));
}

TEST(TilemapTest, CopyRectOverlapRuleDecidesWhatA255Does) {
  // Rectangles that only touch still go through the temporary grid, where a 255 read with force 0 leaves
  // the temporary 0 that is then written; rectangles further apart leave the destination's byte.
  struct overlap_case {
    int dx;
    int fg_after;  // foreground of the destination cell that receives the source cell with foreground 255
  };
  const overlap_case cases[] = {{3, 0}, {4, 1}, {-3, 0}, {-4, 1}};
  for (const overlap_case& c : cases) {
    tilemap grid = Grid({"ABC....ABC"});
    const int sx = c.dx > 0 ? 0 : 7;
    grid.SetTile(sx + 1, 0, 255, 255, 255, 1);  // glyph and foreground 255
    tilemap::CopyRect(grid, sx, 0, 3, 1, grid, sx + c.dx, 0, 0);
    EXPECT_EQ(CellAt(grid, sx + c.dx + 1, 0).fg, c.fg_after) << "dx " << c.dx;
    EXPECT_EQ(CellAt(grid, sx + c.dx, 0), (cell{'A', 1, 2})) << "dx " << c.dx;
  }
  // The same holds in rows.
  tilemap column = Grid({"A", "B", ".", "."});
  column.SetTile(0, 1, 'B', 255, 2, 1);
  tilemap::CopyRect(column, 0, 0, 1, 2, column, 0, 2, 0);
  EXPECT_EQ(CellAt(column, 0, 3), (cell{'B', 0, 2}));
}

TEST(TilemapTest, CopyRectRepeatsTheLastReadCellOutsideTheSource) {
  tilemap source = Grid({"AB", "CD"});
  tilemap dest = Grid({"....", "....", "...."});
  // Columns outer, rows inner: (0, 2) repeats (0, 1), and (2, y) repeats the cell read just before.
  tilemap::CopyRect(source, 0, 0, 3, 3, dest, 0, 0, 0);
  EXPECT_EQ(to_string(dest), Rows({"ABD.", "CDD.", "CDD."}));

  // Nothing read yet in this call: the repeated values are all zero.
  dest = Grid({"....."});
  tilemap::CopyRect(source, -2, 0, 4, 1, dest, 0, 0, 0);
  EXPECT_EQ(CellAt(dest, 0, 0), (cell{0, 0, 0}));
  EXPECT_EQ(CellAt(dest, 1, 0), (cell{0, 0, 0}));
  EXPECT_EQ(to_string(dest), Rows({"..AB."}));
  EXPECT_EQ(CellAt(dest, 2, 0), (cell{'A', 1, 2}));

  // Destination cells outside dest are skipped.
  dest = Grid({".."});
  tilemap::CopyRect(source, 0, 0, 2, 2, dest, 1, -1, 0);
  EXPECT_EQ(to_string(dest), Rows({".C"}));
}

TEST(TilemapTest, InsertMapImageKeepsTheDestinationWhereTheImageHas255) {
  tilemap image = Grid({"xy"});
  image.SetTile(1, 0, 255, 255, 255, 1);
  tilemap screen = Grid({"....", "...."});
  EXPECT_EQ(screen.InsertMapImage(image, 1, 1, 0), 0);
  EXPECT_EQ(to_string(screen), Rows({"....", ".x.."}));
  EXPECT_EQ(CellAt(screen, 2, 1), (cell{'.', 1, 2}));
  screen.InsertMapImage(image, 1, 1, 1);
  EXPECT_EQ(CellAt(screen, 2, 1), (cell{255, 255, 255}));
}

TEST(TilemapTest, CopyTakesCellsAndParticlesButNotTheInputFieldState) {
  tilemap grid = Grid({"ab", "cd"});
  grid.drawtime = 12;
  grid.uscore = "_";
  grid.utime = 5;
  grid.utoggletime = 3;
  grid.AddParticle(1, 2, 0.5f, -0.25f, 4, 30, 'p', 6, 7);
  grid.AddParticle(0, 0, 0, 0, 0, 0, 'q', 8, 9);
  tilemap copy = grid.Copy();
  EXPECT_EQ(copy.tmapw, 2);
  EXPECT_EQ(copy.tmaph, 2);
  EXPECT_EQ(copy.tmap, grid.tmap);
  EXPECT_EQ(copy.drawtime, 12);
  EXPECT_EQ(copy.transparentcolor, 9);
  EXPECT_EQ(copy.uscore, "");
  EXPECT_EQ(copy.utime, 0);
  EXPECT_EQ(copy.utoggletime, 24);
  ASSERT_EQ(copy.tplist.size(), 2u);
  const tparticle& first = copy.tplist.front();
  EXPECT_EQ(first.x, 1.5f);
  EXPECT_EQ(first.y, 2.5f);
  EXPECT_EQ(first.xv, 0.5f);
  EXPECT_EQ(first.yv, -0.25f);
  EXPECT_EQ(first.blinkrate, 4);
  EXPECT_EQ(first.life, 30);
  EXPECT_EQ(first.character, 'p');
  EXPECT_EQ(first.color, 6);
  EXPECT_EQ(first.bgcolor, 7);
  EXPECT_EQ(copy.tplist.back().character, 'q');

  copy.SetTile(0, 0, 'z', 0, 0, 0);
  copy.tplist.front().life = 1;
  EXPECT_EQ(CellAt(grid, 0, 0).glyph, 'a');
  EXPECT_EQ(grid.tplist.front().life, 30);
}

TEST(TilemapTest, ParticlesAreAddedAtCellCentresAndCleared) {
  tilemap grid = tilemap::Create(4, 4);
  tparticle& made = grid.AddParticle(2, 3, 1, 0, 2, 10, 256 + 'k', -1, 300);
  EXPECT_EQ(&made, &grid.tplist.back());
  EXPECT_EQ(made.x, 2.5f);
  EXPECT_EQ(made.y, 3.5f);
  EXPECT_EQ(made.character, 'k');
  EXPECT_EQ(made.color, 255);
  EXPECT_EQ(made.bgcolor, 44);
  grid.AddParticle(0, 0, 0, 0, 0, 0, 'b', 0, 0);
  EXPECT_EQ(grid.tplist.back().character, 'b') << "appended in order";
  EXPECT_EQ(grid.ClearParticles(), 0);
  EXPECT_TRUE(grid.tplist.empty());
}

struct flood_case {
  const char* name;
  std::vector<std::string> rows;
  int x, y, diagonal, border;
  std::vector<std::string> painted;  // the target, which started as all '-'
  int count;
};

class FloodFillTest : public ::testing::TestWithParam<flood_case> {};

TEST_P(FloodFillTest, PaintsAndCountsExactly) {
  const flood_case& c = GetParam();
  tilemap source = Grid(c.rows);
  tilemap target = tilemap::Create(source.tmapw, source.tmaph);
  target.Fill('-', 1, 2, 0);
  const std::vector<uint8_t> source_before = source.tmap;
  EXPECT_EQ(source.FloodFill(target, c.x, c.y, 'x', 1, 2, c.diagonal, c.border, 0), c.count);
  EXPECT_EQ(to_string(target), Rows(c.painted));
  EXPECT_EQ(source.tmap, source_before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FloodFillTest,
    ::testing::Values(
        // The seed is painted when its neighbour reaches it back.
        flood_case{"Region", {"....", ".aa.", "...."}, 1, 1, 0, 0, {"----", "-xx-", "----"}, 2},
        // The rim is painted too, and counted once for each region cell next to it.
        flood_case{"RegionAndRim", {"....", ".aa.", "...."}, 1, 1, 0, 1, {"-xx-", "xxxx", "-xx-"}, 11},
        flood_case{"RimWithDiagonals", {"....", ".aa.", "...."}, 1, 1, 1, 1, {"xxxx", "xxxx", "xxxx"}, 23},
        // A seed that no neighbour matches stays as it was.
        flood_case{"LoneSeed", {"...", ".a.", "..."}, 1, 1, 1, 0, {"---", "---", "---"}, 0},
        flood_case{"LoneSeedRim", {"...", ".a.", "..."}, 1, 1, 0, 1, {"-x-", "x-x", "-x-"}, 4},
        flood_case{"NoDirections", {"aa", "aa"}, 0, 0, -1, 1, {"--", "--"}, 0},
        // A diagonal gap stops the fill only without diagonals.
        flood_case{"DiagonalGapClosed", {"aa..", "aa..", "..aa", "..aa"}, 0, 0, 0, 0,
                   {"xx--", "xx--", "----", "----"}, 4},
        flood_case{"DiagonalGapCrossed", {"aa..", "aa..", "..aa", "..aa"}, 0, 0, 1, 0,
                   {"xx--", "xx--", "--xx", "--xx"}, 8}),
    [](const ::testing::TestParamInfo<flood_case>& param) { return std::string(param.param.name); });

TEST(FloodFillEdgeTest, SeedOutsideTheGridMatchesZeroCells) {
  tilemap grid = tilemap::Create(3, 2);
  grid.SetTile(2, 1, 1, 0, 0, 0);
  EXPECT_EQ(grid.FloodFill(grid, -1, 0, 'x', 5, 6, 0, 0, 0), 5);
  EXPECT_EQ(to_string(grid), Rows({"xxx", "xx."}));
}

TEST(FloodFillEdgeTest, FillingTheSameGridReadsPaintedCellsAnew) {
  // Painting the seed's own value: the rim cells painted from the first region cells match when they are
  // reached again, so the fill spreads through them. Into a separate grid the rim never matches.
  tilemap grid = Grid({"a.", "a."});
  tilemap separate = tilemap::Create(2, 2);
  EXPECT_EQ(grid.FloodFill(separate, 0, 0, 'a', 1, 2, 0, 1, 0), 5);
  EXPECT_EQ(grid.FloodFill(grid, 0, 0, 'a', 1, 2, 0, 1, 0), 6);
  EXPECT_EQ(to_string(grid), Rows({"aa", "aa"}));
}

TEST(TilemapTest, ToStringShowsGlyphsAndOptionallyColours) {
  tilemap grid = Grid({"a\x01"});
  grid.SetTile(1, 0, 255, 0xAB, 0x0C, 0);
  EXPECT_EQ(to_string(grid), "a.\n");
  EXPECT_EQ(to_string(grid, true), "a.\nfg:\n01 AB\nbg:\n02 0C\n");
}

}  // namespace
}  // namespace dusk
