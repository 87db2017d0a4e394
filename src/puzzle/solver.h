// The level solver: finds a shortest winning sequence of player steps, or proves there is none within the
// move allowance, by playing copies of the level through the rule book exactly as the level play does.
//
// One turn, as the level play runs it: the player's step with the player's flags (leave trail, take stars,
// trigger); when it moved, the update after the move, then the drawing's removal of the dissolving pieces
// that turn into particles. Then the end tests: all stars taken wins (even on the last allowed move), else
// the allowance used up loses, else no possible step (testmove, stars passable) loses.
//
// The search is breadth-first over whole puzzle states, so the first win found is a shortest one and,
// since a win ends the level, gives the best score 9 x stars - moves. States are kept compactly (only what
// play can change) and deduplicated; states that can no longer win in the moves left are cut (see
// solver.cpp), and since the cuts are sharpest when few moves are left, the search runs with a move limit
// that starts at a lower bound and grows one move at a time up to the allowance. When the time or state
// budget runs out first, a beam search looks for any solution and the result says that it was not proven
// best.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "puzzle/level.h"

namespace dusk {

// Step digits as replays store them.
enum class stepdir : uint8_t { up = 0, down = 1, left = 2, right = 3 };
inline constexpr int stepdx[4] = {0, 0, -1, 1};
inline constexpr int stepdy[4] = {-1, 1, 0, 0};

// What the level play shows after a frame.
enum class play_state { playing, won, out_of_moves, trapped };

struct turn_result {
  int moved = 0;
  int stars = 0;  // stars met by the step
  int jumps = 0;  // teleports
};

// One turn of play with step digit 0 to 3 (see above).
turn_result PlayTurn(level& lvl, int step);
// The drawing turns dissolving pieces one update old into particles and drops them from objs.
void DropDissolvedPieces(level& lvl);
// The level play's end tests, in its order.
play_state Judge(level& lvl, int stars, int moves, int allowance);

// Plays steps from the start of a level as the level play would, stopping at the level's end.
struct replay_outcome {
  play_state state = play_state::playing;
  int moves = 0;
  int stars = 0;
  int held = 0;      // steps that didn't move the player
  int unplayed = 0;  // steps left over when the level ended
};
replay_outcome ReplaySteps(level lvl, int allowance, std::span<const uint8_t> steps);

struct solver_limits {
  double max_seconds = 60;
  std::size_t max_states = 4'000'000;
  // A caller without threads runs the search a slice at a time: pause is called whenever about
  // slice_seconds of searching have passed, and the search goes on when it returns; time spent in it does
  // not count against max_seconds. When it answers false the search ends as if its time had run out.
  std::function<bool()> pause;
  double slice_seconds = 0.008;
  // Tests: check that every stored state decodes back to the very level it came from, and search without
  // the cuts to check that they never lose a solution.
  bool verify_states = false;
  bool cuts = true;
};

enum class solve_status {
  solved,      // steps is a shortest solution: proven best
  unsolvable,  // proven: no sequence wins within the allowance
  best_found,  // the budget ran out; steps is the best solution found, not proven best
  gave_up,     // the budget ran out before any solution was found
  no_player,   // the level has no player piece
};

struct solve_result {
  solve_status status = solve_status::gave_up;
  std::vector<uint8_t> steps;  // step digits
  int moves = 0;
  int score = 0;               // 9 x totalstars - moves, when there is a solution
  std::size_t states = 0;      // distinct states explored
  double bytes_per_state = 0;  // memory the last breadth-first search held per state it kept
  double seconds = 0;
  std::string limit;                 // which budget ran out: "time" or "states"
  std::size_t codec_mismatches = 0;  // with verify_states: states that did not decode back (must be 0)
};

solve_result Solve(const level& start, int allowance, const solver_limits& limits = {});

// Exhaustive searches over every play within the allowance, breadth-first over distinct states, bounded
// by their own budget.
struct explore_limits {
  double max_seconds = 20;
  std::size_t max_states = 4'000'000;
  // Tests: explore without the cut, to check that it never loses a cell.
  bool cuts = true;
};

// Which cells some play within the allowance steps onto: the start, every cell a step enters (a sending
// teleporter's pad too) and where teleporters land. The search ends as soon as every wanted cell (flags
// by level::cellindex) has been entered, and leaves out the states from which no wanted cell still
// missing can be reached in the moves left. complete: entered is final for the wanted cells (every one
// entered, or every state that matters explored); otherwise limit says which budget ran out.
struct exploration {
  std::vector<uint8_t> entered;  // by level::cellindex, 1 when entered
  std::size_t states = 0;
  bool complete = false;
  std::string limit;
  double seconds = 0;
};
exploration ExploreCells(const level& start, int allowance, std::span<const uint8_t> wanted,
                         const explore_limits& limits = {});

// How forgiving a level is: of every position a player can reach within the allowance (a state with the
// moves taken) in which the level is not won yet, how many can still be won. Lost positions count too.
struct forgiveness_figures {
  std::size_t positions = 0;
  std::size_t winnable = 0;
  bool complete = false;  // false: the budget (limit) ran out and the figures are not known
  std::string limit;
  double seconds = 0;
};
forgiveness_figures Forgiveness(const level& start, int allowance, const explore_limits& limits = {});

// "↑↓←→" arrows (UTF-8) and "0123" digits of a list of steps.
std::string StepArrows(std::span<const uint8_t> steps);
std::string StepDigits(std::span<const uint8_t> steps);
const char* StatusName(solve_status status);

}  // namespace dusk
