// The solver on tiny levels whose best solutions are known by hand, and the replay of what it prints.
#include "puzzle/solver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/puzzle/support/level_picture.h"

namespace dusk {
namespace {

using testing::gate;
using testing::layerpicture;
using testing::layers;
using testing::legend;
using testing::picture;
using testing::teleporter;

solver_limits checked() {
  solver_limits limits;
  limits.max_seconds = 20;
  limits.verify_states = true;
  return limits;
}

struct known_case {
  const char* name;
  std::vector<std::string> rows;
  legend extra;
  int allowance;
  solve_status status;
  std::string digits;  // the one shortest solution, when it is unique
  int moves;
};

class KnownLevels : public ::testing::TestWithParam<known_case> {};

TEST_P(KnownLevels, BestSolutionAndItsReplay) {
  const known_case& c = GetParam();
  const level lvl = picture(c.rows, c.extra);
  const solve_result result = Solve(lvl, c.allowance, checked());
  EXPECT_EQ(result.status, c.status) << StatusName(result.status);
  EXPECT_EQ(result.codec_mismatches, 0u);
  if (c.status != solve_status::solved) {
    EXPECT_TRUE(result.steps.empty());
    return;
  }
  EXPECT_EQ(result.moves, c.moves);
  EXPECT_EQ(result.score, 9 * lvl.totalstars - c.moves);
  if (!c.digits.empty()) {
    EXPECT_EQ(StepDigits(result.steps), c.digits);
  }
  const replay_outcome replayed = ReplaySteps(lvl, c.allowance, result.steps);
  EXPECT_EQ(replayed.state, play_state::won);
  EXPECT_EQ(replayed.moves, c.moves);
  EXPECT_EQ(replayed.held, 0);
  EXPECT_EQ(replayed.unplayed, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Solver, KnownLevels,
    ::testing::Values(
        known_case{"straight", {"#####", "#@.*#", "#####"}, {}, 5, solve_status::solved, "33", 2},
        // The move that uses up the allowance and takes the last star wins.
        known_case{"last_move_wins", {"#####", "#@.*#", "#####"}, {}, 2, solve_status::solved, "33", 2},
        known_case{"one_move_short", {"#####", "#@.*#", "#####"}, {}, 1, solve_status::unsolvable, "", 0},
        known_case{"walled_off", {"#####", "#@#*#", "#####"}, {}, 20, solve_status::unsolvable, "", 0},
        // Both ends of a corridor: the trail forbids coming back, so no allowance helps.
        known_case{
            "trail_cuts_off", {"#######", "#*.@.*#", "#######"}, {}, 30, solve_status::unsolvable, "", 0},
        // Proven without trying every limit up to an allowance as large as a level can have.
        known_case{"trail_cuts_off_any_allowance",
                   {"#######", "#*.@.*#", "#######"},
                   {},
                   65535,
                   solve_status::unsolvable,
                   "",
                   0},
        // The trail blocks the straight way back along the lower row: the second star is reached over the
        // upper row, 8 moves instead of the 6 the distances suggest.
        known_case{"trail_detour",
                   {"#######", "#.....#", "#*.@.*#", "#######"},
                   {},
                   20,
                   solve_status::solved,
                   "",
                   8},
        known_case{"trail_detour_short",
                   {"#######", "#.....#", "#*.@.*#", "#######"},
                   {},
                   7,
                   solve_status::unsolvable,
                   "",
                   0},
        // The star's room has no door: only the teleporter gets there (right onto A lands on B).
        known_case{"teleporter",
                   {"#######", "#@A#B*#", "#######"},
                   {{'A', teleporter(1, 0)}, {'B', teleporter(0, 1)}},
                   4,
                   solve_status::solved,
                   "33",
                   2},
        // The gate stays closed for three updates and opens in the fourth: the player walks round the
        // upper row to arrive late enough, 6 moves where 4 would reach the star through an open gate.
        known_case{"timed_gate",
                   {"#######", "#...###", "#@..G*#", "#######"},
                   {{'G', gate(3, 5, true)}},
                   12,
                   solve_status::solved,
                   "",
                   6},
        known_case{"timed_gate_too_few_moves",
                   {"#######", "#...###", "#@..G*#", "#######"},
                   {{'G', gate(3, 5, true)}},
                   5,
                   solve_status::unsolvable,
                   "",
                   0},
        known_case{"no_stars_won_at_once", {"###", "#@#", "###"}, {}, 3, solve_status::solved, "", 0},
        known_case{"no_allowance", {"#####", "#@.*#", "#####"}, {}, 0, solve_status::unsolvable, "", 0},
        known_case{"trapped_at_start", {"###", "#@#", "###", "*"}, {}, 9, solve_status::unsolvable, "", 0}),
    [](const ::testing::TestParamInfo<known_case>& param) { return std::string(param.param.name); });

TEST(Solver, RefusesALevelWithoutPlayer) {
  const level lvl = picture({"#*#"});
  EXPECT_EQ(Solve(lvl, 10).status, solve_status::no_player);
}

// Movers, switches, doors and a trail-clearing floor all change state between moves; every state the
// search keeps must decode back to exactly the level it came from, and the answer must replay.
TEST(Solver, StatesOfEveryKindDecodeBackAndTheAnswerReplays) {
  const level lvl = layers({{"###########", "#@..!...R.#", "#.#####+#.#", "#..~..*..*#", "#.E.=.D...#",
                             "#.....A..*#", "###########"},
                            {"###########", "#B...*....#", "###########"}},
                           {{'A', teleporter(4, 0)}, {'B', teleporter(0, 4)}});
  const solve_result result = Solve(lvl, 40, checked());
  ASSERT_EQ(result.status, solve_status::solved);
  EXPECT_EQ(result.codec_mismatches, 0u);
  EXPECT_GT(result.states, 100u);
  EXPECT_EQ(ReplaySteps(lvl, 40, result.steps).state, play_state::won);
  EXPECT_EQ(ReplaySteps(lvl, result.moves - 1, result.steps).state, play_state::out_of_moves)
      << "a shorter allowance must not be enough";
}

// An open field with stars everywhere is far too big to prove within a few hundred states: the solver says
// so and still hands back a solution that wins.
TEST(Solver, TooOpenToProveGivesTheBestFoundAndSaysWhy) {
  const level lvl =
      picture({"*.....*.......*", "...............", "......*........", "...............", "*......@......*",
               "...............", "........*......", "...............", "*.............*"});
  solver_limits limits;
  limits.max_states = 500;
  limits.max_seconds = 20;  // the state budget stops the search; this only bounds the widening fallback
  const solve_result result = Solve(lvl, 120, limits);
  ASSERT_EQ(result.status, solve_status::best_found) << StatusName(result.status);
  EXPECT_EQ(result.limit, "states");
  EXPECT_EQ(ReplaySteps(lvl, 120, result.steps).state, play_state::won);
  EXPECT_EQ(result.score, 9 * 9 - result.moves);
}

TEST(Solver, PrintsArrowsAndReplayDigits) {
  const std::vector<uint8_t> steps = {0, 1, 2, 3, 3};
  EXPECT_EQ(StepDigits(steps), "01233");
  EXPECT_EQ(StepArrows(steps), "\u2191\u2193\u2190\u2192\u2192");
}

// The level play's drawing turns dissolving pieces into particles right after the update; a turn does
// the same, so the pieces never linger into the next move.
TEST(Solver, ATurnDropsTheDissolvedPiecesAsTheDrawingDoes) {
  level lvl = picture({"#######", "#@..~.#", "#######"});
  PlayTurn(lvl, 3);
  PlayTurn(lvl, 3);
  ASSERT_EQ(lvl.objs().size(), 1u) << "the trail stays as blocks until the clearing floor";
  PlayTurn(lvl, 3);
  EXPECT_EQ(lvl.objs().size(), 1u);
  EXPECT_TRUE(testing::looks_like(lvl, {"#######", "#...@.#", "#######"}));
}

// The cuts must never lose a solution: on many small random rooms with every kind of ground and piece,
// the search with cuts finds a solution exactly when the search without them does, and one as short.
TEST(Solver, CutsAgreeWithAnUncutSearchOnRandomRooms) {
  const std::string kinds = "..........#_^v<>~=oLRUDESTTG";
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  int solvedrooms = 0;
  for (int room = 0; room < 150; ++room) {
    std::vector<std::string> rows(6, std::string(6, '.'));
    for (std::string& row : rows) {
      for (char& c : row) c = kinds[next(static_cast<uint32_t>(kinds.size()))];
    }
    rows[next(6)][next(6)] = '@';
    for (int s = 0; s < 4; ++s) {
      char& c = rows[next(6)][next(6)];
      if (c != '@') c = '*';
    }
    rows.insert(rows.begin(), "########");
    for (std::size_t r = 1; r < rows.size(); ++r) rows[r] = "#" + rows[r] + "#";
    rows.push_back("########");
    // Two 'T's pair with each other; a lone one sends nowhere new.
    const level lvl = picture(rows, {{'T', teleporter(1, 1)}, {'G', gate(1, 2, true)}});
    if (lvl.totalstars == 0) continue;
    solver_limits cut;
    cut.max_seconds = 30;
    solver_limits uncut = cut;
    uncut.cuts = false;
    const solve_result a = Solve(lvl, 18, cut);
    const solve_result b = Solve(lvl, 18, uncut);
    ASSERT_NE(b.status, solve_status::best_found) << "room " << room;
    EXPECT_EQ(a.status, b.status) << "room " << room << "\n" << testing::show(lvl, 8, 8);
    EXPECT_EQ(a.moves, b.moves) << "room " << room << "\n" << testing::show(lvl, 8, 8);
    if (b.status == solve_status::solved) ++solvedrooms;
  }
  EXPECT_GT(solvedrooms, 30) << "the rooms should not all be hopeless";
}

// The same on rooms of two to four layers joined by teleporter pairs, where the flood runs on every layer.
TEST(Solver, CutsAgreeWithAnUncutSearchOnLayeredRooms) {
  const std::string kinds = "..........#_^v<>~=oLRG";
  uint32_t seed = 777;
  auto next = [&seed](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  int solvedrooms = 0;
  for (int room = 0; room < 60; ++room) {
    const int depth = 2 + static_cast<int>(next(3));
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
    // Each layer sends to the next one up and receives from the one below; the top sends back down.
    for (int z = 0; z < depth; ++z) {
      pictures[static_cast<std::size_t>(z)][1 + next(5)][1 + next(5)] = static_cast<char>('a' + z);
      pictures[static_cast<std::size_t>(z)][1 + next(5)][1 + next(5)] = static_cast<char>('A' + z);
    }
    for (int s = 0; s < 4; ++s) {
      char& c = pictures[next(static_cast<uint32_t>(depth))][1 + next(5)][1 + next(5)];
      if (c == '.' || c == '#') c = '*';
    }
    pictures[0][1 + next(5)][1 + next(5)] = '@';
    legend pads{{'G', gate(1, 2, true)}};
    for (int z = 0; z < depth; ++z) {
      // 'a' + z sends with key z + 1, which 'A' + z + 1 receives one layer up (the top's goes to 'A').
      pads[static_cast<char>('a' + z)] = teleporter(static_cast<uint8_t>(z + 1), 0);
      pads[static_cast<char>('A' + z)] = teleporter(0, static_cast<uint8_t>(z == 0 ? depth : z));
    }
    const level lvl = layers(pictures, pads);
    if (lvl.totalstars == 0 || lvl.playertile() == nullptr) continue;
    solver_limits cut;
    cut.max_seconds = 30;
    cut.verify_states = true;
    solver_limits uncut = cut;
    uncut.cuts = false;
    const solve_result a = Solve(lvl, 16, cut);
    const solve_result b = Solve(lvl, 16, uncut);
    ASSERT_NE(b.status, solve_status::best_found) << "room " << room;
    EXPECT_EQ(a.status, b.status) << "room " << room << "\n" << testing::show(lvl, 7, 7);
    EXPECT_EQ(a.moves, b.moves) << "room " << room << "\n" << testing::show(lvl, 7, 7);
    EXPECT_EQ(a.codec_mismatches, 0u);
    if (b.status == solve_status::solved) ++solvedrooms;
  }
  EXPECT_GT(solvedrooms, 10) << "the rooms should not all be hopeless";
}

}  // namespace
}  // namespace dusk
