// solve_level <file.level|file.slv|file.qtm> [--moves N] [--max-seconds N] [--max-states N]: finds a shortest
// winning sequence of steps for a level source or a level screen file, or proves that none exists within the
// move allowance, and prints it as arrows and replay digits with its score and the search's figures.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "files/screen_file.h"
#include "puzzle/solver.h"
#include "worlds/build_level.h"
#include "worlds/level_source.h"

namespace {

// Screen files don't carry the allowance; the replays hold at most this many steps.
constexpr int kDefaultAllowance = 128;

int Usage() {
  std::fprintf(stderr,
               "usage: solve_level <file.level|file.slv|file.qtm> [--moves N] [--max-seconds N] "
               "[--max-states N] [--no-cuts]\n"
               "A level source gives its own allowance; a screen file uses --moves (default %d).\n",
               kDefaultAllowance);
  return 2;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string path;
  std::optional<int> moves;
  dusk::solver_limits limits;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasvalue = i + 1 < argc;
    if (arg == "--moves" && hasvalue) {
      moves = std::atoi(argv[++i]);
    } else if (arg == "--max-seconds" && hasvalue) {
      limits.max_seconds = std::atof(argv[++i]);
    } else if (arg == "--max-states" && hasvalue) {
      limits.max_states = static_cast<std::size_t>(std::atoll(argv[++i]));
    } else if (arg == "--no-cuts") {
      limits.cuts = false;
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage();
    } else if (path.empty()) {
      path = arg;
    } else {
      return Usage();
    }
  }
  if (path.empty() || limits.max_seconds <= 0 || limits.max_states == 0 || (moves && *moves < 0))
    return Usage();

  std::optional<dusk::level> lvl;
  std::string name = path;
  int allowance = kDefaultAllowance;
  if (EndsWith(path, ".slv") || EndsWith(path, ".qtm")) {
    const std::optional<dusk::tilemap> image = dusk::Read(path, 0);
    if (!image) {
      std::fprintf(stderr, "%s: can't read the screen file\n", path.c_str());
      return 2;
    }
    lvl = dusk::BuildLevelFromImage(*image);
    if (!lvl) {
      std::fprintf(stderr, "%s: not a level image (too narrow, too tall or without a player start)\n",
                   path.c_str());
      return 2;
    }
  } else {
    dusk::source_error error;
    const std::optional<dusk::level_source> source = dusk::ReadLevelSource(path, error);
    if (!source) {
      std::fprintf(stderr, "%s\n", error.text().c_str());
      return 2;
    }
    lvl = dusk::BuildSourceLevel(*source);
    name = source->name;
    allowance = source->moves;
  }
  if (moves) allowance = *moves;

  std::printf("level:   %s, %d star(s), allowance %d moves\n", name.c_str(), lvl->totalstars, allowance);
  const dusk::solve_result result = dusk::Solve(*lvl, allowance, limits);
  switch (result.status) {
    case dusk::solve_status::solved:
      std::printf("result:  solved, proven shortest\n");
      break;
    case dusk::solve_status::best_found:
      std::printf("result:  NOT proven best: the %s budget ran out; best solution found shown\n",
                  result.limit.c_str());
      break;
    case dusk::solve_status::unsolvable:
      std::printf("result:  no solution within %d moves (proven)\n", allowance);
      break;
    case dusk::solve_status::gave_up:
      std::printf("result:  unknown: the %s budget ran out before any solution was found\n",
                  result.limit.c_str());
      break;
    case dusk::solve_status::no_player:
      std::printf("result:  the level has no player\n");
      break;
  }
  const bool found =
      result.status == dusk::solve_status::solved || result.status == dusk::solve_status::best_found;
  if (found) {
    std::printf("arrows:  %s\n", dusk::StepArrows(result.steps).c_str());
    std::printf("digits:  %s\n", dusk::StepDigits(result.steps).c_str());
    std::printf("moves:   %d\n", result.moves);
    std::printf("score:   %d\n", result.score);
  }
  std::printf("states:  %zu\n", result.states);
  std::printf("time:    %.3f s\n", result.seconds);
  return found ? 0 : 1;
}
