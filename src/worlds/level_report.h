// What a level designer wants to know about a level beyond "it can be won": how much room the first step
// leaves, how often aimless play wins it, and whether another level is the same puzzle turned or mirrored.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "puzzle/level.h"
#include "puzzle/solver.h"
#include "worlds/level_source.h"

namespace dusk {

// Random playthroughs: each starts the level afresh and takes, at every turn, one of the steps the trapped
// test allows, chosen uniformly, until the level ends as the level play ends it (won, out of moves or
// trapped). The same seed gives the same figure on every machine.
inline constexpr int kReportWalks = 1000;
inline constexpr uint64_t kReportSeed = 0xD05C3A220517ull;

int RandomPlaythroughWins(const level& start, int allowance, int walks = kReportWalks,
                          uint64_t seed = kReportSeed);
// More than 1 % of the playthroughs won: the level can be won without thinking.
inline bool WinsByChance(int wins, int walks) {
  return static_cast<long long>(wins) * 100 > walks;
}

// Careful playthroughs: like the random ones, but never taking a step after which the level is lost at
// once (trapped, or out of moves without winning) while another step is left; with none left, the walk
// is lost.
int CarefulPlaythroughWins(const level& start, int allowance, int walks = kReportWalks,
                           uint64_t seed = kReportSeed);
// More than 2 % of careful playthroughs won: avoiding the obvious blunders is enough.
inline bool WinsByCare(int wins, int walks) {
  return static_cast<long long>(wins) * 50 > walks;
}

// The first two levels of world 1 teach the moves and may be won by wandering about.
inline bool MayBeWonByChance(int world, int levelno) {
  return world == 1 && levelno >= 1 && levelno <= 2;
}

// The first step's choices: how many steps move the player, and after how many of them the level can
// still be won within the allowance (a step that wins at once counts), and how many of those still allow
// the best solution. unknown counts steps whose search ran out of budget before an answer.
struct first_step_figures {
  int possible = 0;
  int winning = 0;
  int best = 0;
  int unknown = 0;
};
// bestmoves is the length of the shortest solution of the whole level.
first_step_figures FirstSteps(const level& start, int allowance, int bestmoves, const solver_limits& limits);

// The eight ways to turn or mirror the square grid; symmetry 0 leaves it as it is.
inline constexpr int kSymmetries = 8;
const char* SymmetryName(int symmetry);
// A step (or a place, from the centre) turned or mirrored.
void TurnStep(int symmetry, int& dx, int& dy);
// The source turned or mirrored, with every direction in it (movers, turners and their sense, one-way
// floors) turned along, and the looks that don't change play made plain (every wall kind a wall, marked
// floor plain floor), so a copy differing only in looks is the same puzzle.
level_source TransformedSource(const level_source& source, int symmetry);
// The built level of each of the eight transforms, and their hashes.
struct puzzle_forms {
  std::array<level, kSymmetries> levels;
  std::array<uint64_t, kSymmetries> hashes{};
};
puzzle_forms PuzzleForms(const level_source& source);

// Pairs of levels that are the same puzzle: later is earlier turned or mirrored by symmetry.
struct same_puzzle {
  std::size_t earlier = 0;
  std::size_t later = 0;
  int symmetry = 0;
};
std::vector<same_puzzle> SamePuzzles(const std::vector<puzzle_forms>& levels);

// The removal test: does a level need the pieces and floors of these kinds? The level with every one of
// them turned to floor (a piece on marked floor leaves marked floor) is played: the kinds matter when it
// can't be won within the allowance, or when its shortest solution, played on the real level, doesn't win
// it. When that naive route wins, the kinds never get in the way.
level_source StrippedSource(const level_source& source, std::span<const uint8_t> kinds);
bool HoldsKinds(const level_source& source, std::span<const uint8_t> kinds);

enum class removal_outcome {
  absent,       // the level holds none of the kinds
  unwinnable,   // without them the level can't be won: they matter
  naive_fails,  // the route that ignores them fails on the real level: they matter
  not_needed,   // the route that ignores them wins the real level
  unknown,      // the solver's budget ran out on the stripped level
};
inline bool Matters(removal_outcome o) {
  return o == removal_outcome::unwinnable || o == removal_outcome::naive_fails;
}
struct removal_test {
  removal_outcome outcome = removal_outcome::absent;
  solve_result stripped;  // the stripped level's solution
};
removal_test RemovalTest(const level_source& source, std::span<const uint8_t> kinds, const solver_limits& limits);

}  // namespace dusk
