// The exhaustive searches: which cells some play steps onto, and how forgiving a level is, on tiny levels
// whose answers are known by hand, and the dead-space cut against a search without it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "puzzle/solver.h"
#include "tests/puzzle/support/level_picture.h"

namespace dusk {
namespace {

using testing::layerpicture;
using testing::layers;
using testing::picture;
using testing::teleporter;

// Every cell of a picture that isn't a wall, by cell index.
std::vector<uint8_t> Floor(const level& lvl) {
  std::vector<uint8_t> wanted(level::maxcells, 0);
  for (int z = 0; z < lvl.depth; ++z) {
    for (int x = 0; x < level::size; ++x) {
      for (int y = 0; y < level::size; ++y) {
        if (level::solid(lvl.map(x, y, z)) == 0) wanted[level::cellindex(x, y, z)] = 1;
      }
    }
  }
  return wanted;
}

// The cells of a layer drawn as '.' where entered, 'X' where wanted but not entered, '#' otherwise.
std::string Entered(const level& lvl, const std::vector<uint8_t>& wanted, const exploration& e, int w, int h,
                    int z = 0) {
  std::string out;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int c = level::cellindex(x, y, z);
      out += e.entered[c] != 0 ? '.' : wanted[c] != 0 ? 'X' : '#';
    }
    out += "\n";
  }
  (void)lvl;
  return out;
}

struct cells_case {
  const char* name;
  std::vector<layerpicture> layers;
  int allowance;
  std::string entered;  // layer 0 drawn by Entered()
};

TEST(ExploreCells, FindsTheCellsSomePlayStepsOnto) {
  const cells_case cases[] = {
      // Left wins at once; right walks into the corridor and is trapped at its end: both count.
      {"both ways", {{"#######", "#*@...#", "#######"}}, 9, "#######\n#.....#\n#######\n"},
      // Too few moves to reach the far end.
      {"allowance", {{"########", "#@....*#", "########"}}, 3, "########\n#....XX#\n########\n"},
      // Behind a one-way floor that only lets you out.
      {"one-way", {{"######", "#*@<.#", "######"}}, 9, "######\n#..XX#\n######\n"},
      // A star ends the level: beyond it is never reached.
      {"win ends", {{"######", "#@*..#", "######"}}, 9, "######\n#..XX#\n######\n"},
      // A mover walled in on both sides never leaves its cell, and holds back the way past it.
      {"stuck mover", {{"#######", "#*@.D.#", "#######"}}, 9, "#######\n#...XX#\n#######\n"},
  };
  for (const cells_case& c : cases) {
    const level lvl = layers(c.layers);
    const std::vector<uint8_t> wanted = Floor(lvl);
    const exploration e = ExploreCells(lvl, c.allowance, wanted);
    EXPECT_TRUE(e.complete) << c.name;
    const int h = static_cast<int>(c.layers[0].size());
    const int w = static_cast<int>(c.layers[0][0].size());
    EXPECT_EQ(Entered(lvl, wanted, e, w, h), c.entered) << c.name;
  }
}

TEST(ExploreCells, CountsATeleportersPadAndItsLanding) {
  // The pad at x = 3 sends to the pad on layer 1, which receives; nothing sends back.
  const level lvl =
      layers({{"#####", "#@.A#", "#####"}, {"#####", "#B.*#", "#####"}}, {{'A', teleporter(1, 0)}, {'B', teleporter(0, 1)}});
  const std::vector<uint8_t> wanted = Floor(lvl);
  const exploration e = ExploreCells(lvl, 9, wanted);
  EXPECT_TRUE(e.complete);
  EXPECT_EQ(Entered(lvl, wanted, e, 5, 3, 0), "#####\n#...#\n#####\n");
  EXPECT_EQ(Entered(lvl, wanted, e, 5, 3, 1), "#####\n#...#\n#####\n");
}

TEST(ExploreCells, StopsOnceEveryWantedCellIsFoundAndReportsItsBudget) {
  // An open room: asking for the start's neighbour alone ends the search after the first states.
  const layerpicture room = {"#########", "#.......#", "#.......#", "#...@...#", "#.......#", "#......*#", "#########"};
  const level lvl = picture(room);
  std::vector<uint8_t> one(level::maxcells, 0);
  one[level::cellindex(5, 3, 0)] = 1;
  exploration e = ExploreCells(lvl, 30, one);
  EXPECT_TRUE(e.complete);
  EXPECT_LT(e.states, 10u);
  // Every cell of a large open room with too small a budget: the answer is not known, and says why.
  explore_limits tight;
  tight.max_states = 50;
  tight.cuts = false;
  e = ExploreCells(lvl, 30, Floor(lvl), tight);
  EXPECT_FALSE(e.complete);
  EXPECT_EQ(e.limit, "states");
}

// The cut must never lose a cell: on small random rooms with every kind of ground and piece, the search
// with it enters exactly the wanted cells the search without it enters.
TEST(ExploreCells, TheCutAgreesWithAnUncutSearchOnRandomRooms) {
  const std::string kinds = "..........#_^v<>~=oLRUDESTT";
  uint32_t seed = 4242;
  auto next = [&seed](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  int withdead = 0;
  for (int room = 0; room < 120; ++room) {
    const int depth = 1 + static_cast<int>(next(2));
    std::vector<layerpicture> pictures;
    for (int z = 0; z < depth; ++z) {
      layerpicture rows(5, std::string(5, '.'));
      for (std::string& row : rows) {
        for (char& c : row) c = kinds[next(static_cast<uint32_t>(kinds.size()))];
      }
      rows.insert(rows.begin(), "#######");
      for (std::size_t r = 1; r < rows.size(); ++r) rows[r] = "#" + rows[r] + "#";
      rows.push_back("#######");
      pictures.push_back(rows);
    }
    pictures[0][1 + next(5)][1 + next(5)] = '@';
    for (int s = 0; s < 3; ++s) {
      char& c = pictures[next(static_cast<uint32_t>(depth))][1 + next(5)][1 + next(5)];
      if (c != '@') c = '*';
    }
    const level lvl = layers(pictures, {{'T', teleporter(1, 1)}});
    if (lvl.totalstars == 0 || lvl.playertile() == nullptr) continue;
    const std::vector<uint8_t> wanted = Floor(lvl);
    explore_limits uncut;
    uncut.cuts = false;
    const exploration a = ExploreCells(lvl, 14, wanted);
    const exploration b = ExploreCells(lvl, 14, wanted, uncut);
    ASSERT_TRUE(a.complete && b.complete) << "room " << room;
    bool dead = false;
    for (int c = 0; c < level::maxcells; ++c) {
      if (wanted[c] == 0) continue;
      EXPECT_EQ(a.entered[c], b.entered[c]) << "room " << room << " cell " << c << "\n"
                                            << testing::show(lvl, 7, 7) << Entered(lvl, wanted, b, 7, 7);
      dead = dead || b.entered[c] == 0;
    }
    withdead += dead ? 1 : 0;
  }
  EXPECT_GT(withdead, 20) << "the rooms should not all be walkable everywhere";
}

struct forgiving_case {
  const char* name;
  layerpicture rows;
  int allowance;
  std::size_t positions;
  std::size_t winnable;
};

TEST(Forgiveness, CountsThePositionsThatCanStillWin) {
  const forgiving_case cases[] = {
      // A corridor: every position on the way to the star still wins.
      {"corridor", {"######", "#@..*#", "######"}, 9, 3, 3},
      // Right leaves the star behind the trail: the start wins, the two cells to the right don't.
      {"fork", {"######", "#*@..#", "######"}, 9, 3, 1},
      // The same corridor with one move too few: nothing wins, and the end is out of moves.
      {"short", {"######", "#@..*#", "######"}, 2, 3, 0},
  };
  for (const forgiving_case& c : cases) {
    const forgiveness_figures f = Forgiveness(picture(c.rows), c.allowance);
    EXPECT_TRUE(f.complete) << c.name;
    EXPECT_EQ(f.positions, c.positions) << c.name;
    EXPECT_EQ(f.winnable, c.winnable) << c.name;
  }
  explore_limits tight;
  tight.max_states = 2;
  const forgiveness_figures cut = Forgiveness(picture({"######", "#@..*#", "######"}), 9, tight);
  EXPECT_FALSE(cut.complete);
  EXPECT_EQ(cut.limit, "states");
}

}  // namespace
}  // namespace dusk
