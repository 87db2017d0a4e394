// Level report figures: random playthroughs, the first step's choices and the turned and mirrored forms of a
// level, all played through the same turn the level play and the solver use.
#include "worlds/level_report.h"

#include <algorithm>
#include <utility>

#include "puzzle/kinds.h"

namespace dusk {

namespace {

// A small generator of our own, so the figures don't depend on a standard library's distributions.
class splitmix {
 public:
  explicit splitmix(uint64_t seed) : state_(seed) {}
  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }

 private:
  uint64_t state_;
};

// Each symmetry as the matrix that turns a step (dx, dy) into (a dx + b dy, c dx + d dy); y grows downward,
// so a quarter turn right takes a step right into a step down.
struct turn_matrix {
  int a, b, c, d;
  const char* name;
};
constexpr turn_matrix kMatrices[kSymmetries] = {
    {1, 0, 0, 1, "as it is"},
    {0, -1, 1, 0, "turned a quarter right"},
    {-1, 0, 0, -1, "turned half round"},
    {0, 1, -1, 0, "turned a quarter left"},
    {-1, 0, 0, 1, "mirrored left to right"},
    {1, 0, 0, -1, "mirrored top to bottom"},
    {0, 1, 1, 0, "mirrored across the diagonal"},
    {0, -1, -1, 0, "mirrored across the other diagonal"},
};

// Heading steps of a turning mover: right, down, left, up.
constexpr int headingx[4] = {1, 0, -1, 0};
constexpr int headingy[4] = {0, 1, 0, -1};

int HeadingOf(int dx, int dy) {
  for (int h = 0; h < 4; ++h) {
    if (headingx[h] == dx && headingy[h] == dy) return h;
  }
  return 0;
}

constexpr int kCentre = level::size / 2;

}  // namespace

int RandomPlaythroughWins(const level& start, int allowance, int walks, uint64_t seed) {
  splitmix random(seed);
  int wins = 0;
  level lvl;
  for (int walk = 0; walk < walks; ++walk) {
    lvl = start;
    int stars = 0;
    int moves = 0;
    for (;;) {
      const play_state state = Judge(lvl, stars, moves, allowance);
      if (state == play_state::won) ++wins;
      if (state != play_state::playing) break;
      // The steps the trapped test allows are exactly the steps that move the player.
      int allowed[4];
      int count = 0;
      for (int s = 0; s < 4; ++s) {
        if (lvl.playertile()->testmove(stepdx[s], stepdy[s], 0, lvl, 2) != 0) allowed[count++] = s;
      }
      const turn_result turn = PlayTurn(lvl, allowed[random.below(count)]);
      stars += turn.stars;
      moves += turn.moved;
      // A step the test allowed always moves; should one not, the walk would stand still for ever.
      if (turn.moved == 0) break;
    }
  }
  return wins;
}

int CarefulPlaythroughWins(const level& start, int allowance, int walks, uint64_t seed) {
  splitmix random(seed);
  int wins = 0;
  level lvl;
  level after[4];
  for (int walk = 0; walk < walks; ++walk) {
    lvl = start;
    int stars = 0;
    int moves = 0;
    if (Judge(lvl, 0, 0, allowance) == play_state::won) ++wins;
    if (Judge(lvl, 0, 0, allowance) != play_state::playing) continue;
    for (;;) {
      int safe[4];
      int gained[4] = {};
      bool won[4] = {};
      int count = 0;
      for (int s = 0; s < 4; ++s) {
        after[s] = lvl;
        const turn_result turn = PlayTurn(after[s], s);
        if (turn.moved == 0) continue;
        gained[s] = turn.stars;
        const play_state state = Judge(after[s], stars + turn.stars, moves + 1, allowance);
        if (state == play_state::won || state == play_state::playing) {
          won[s] = state == play_state::won;
          safe[count++] = s;
        }
      }
      // Every step loses at once: so does this walk.
      if (count == 0) break;
      const int s = safe[random.below(count)];
      if (won[s]) {
        ++wins;
        break;
      }
      std::swap(lvl, after[s]);
      stars += gained[s];
      ++moves;
    }
  }
  return wins;
}

first_step_figures FirstSteps(const level& start, int allowance, int bestmoves, const solver_limits& limits) {
  first_step_figures out;
  level probe = start;
  if (probe.playertile() == nullptr || Judge(probe, 0, 0, allowance) != play_state::playing) return out;
  for (int s = 0; s < 4; ++s) {
    level child = start;
    const turn_result turn = PlayTurn(child, s);
    if (turn.moved == 0) continue;
    ++out.possible;
    const play_state state = Judge(child, turn.stars, 1, allowance);
    if (state == play_state::won) {
      ++out.winning;
      if (bestmoves == 1) ++out.best;
      continue;
    }
    if (state != play_state::playing) continue;
    // The rest of the level is a level of its own: the stars still standing, the moves still left.
    child.totalstars -= turn.stars;
    const solve_result rest = Solve(child, allowance - 1, limits);
    switch (rest.status) {
      case solve_status::solved:
        ++out.winning;
        if (rest.moves + 1 == bestmoves) ++out.best;
        break;
      case solve_status::best_found:
        ++out.winning;
        if (rest.moves + 1 == bestmoves) ++out.best;
        break;
      case solve_status::gave_up:
        ++out.unknown;
        break;
      default:
        break;
    }
  }
  return out;
}

const char* SymmetryName(int symmetry) {
  return symmetry >= 0 && symmetry < kSymmetries ? kMatrices[symmetry].name : "?";
}

void TurnStep(int symmetry, int& dx, int& dy) {
  const turn_matrix& m = kMatrices[symmetry >= 0 && symmetry < kSymmetries ? symmetry : 0];
  const int nx = m.a * dx + m.b * dy;
  const int ny = m.c * dx + m.d * dy;
  dx = nx;
  dy = ny;
}

level_source TransformedSource(const level_source& source, int symmetry) {
  const turn_matrix& m = kMatrices[symmetry >= 0 && symmetry < kSymmetries ? symmetry : 0];
  const bool mirrored = m.a * m.d - m.b * m.c < 0;
  auto turn = [&m](int& dx, int& dy) {
    const int nx = m.a * dx + m.b * dy;
    const int ny = m.c * dx + m.d * dy;
    dx = nx;
    dy = ny;
  };
  level_source out = source;
  for (int z = 0; z < source.depth; ++z) {
    for (int y = 0; y < level::size; ++y) {
      for (int x = 0; x < level::size; ++x) {
        source_cell c = source.at(x, y, z);
        int nx = x - kCentre;
        int ny = y - kCentre;
        turn(nx, ny);
        nx += kCentre;
        ny += kCentre;

        switch (c.ground) {
          case kind::wallsecondlook:
          case kind::wallthirdlook:
            c.ground = kind::wall;
            break;
          case kind::markedfloor:
            c.ground = kind::floor;
            break;
          case kind::onewayup:
          case kind::onewaydown:
          case kind::onewayright:
          case kind::onewayleft: {
            static constexpr uint8_t byheading[4] = {kind::onewayright, kind::onewaydown, kind::onewayleft,
                                                     kind::onewayup};
            static constexpr int ways[4] = {3, 1, 0, 2};  // up, down, right, left as headings
            const int h = ways[c.ground - kind::onewayup];
            int dx = headingx[h];
            int dy = headingy[h];
            turn(dx, dy);
            c.ground = byheading[HeadingOf(dx, dy)];
            break;
          }
          default:
            break;
        }

        if (c.thing == kind::horizontalmover || c.thing == kind::verticalmover) {
          const int sign = c.f == 0 ? -1 : 1;
          int dx = c.thing == kind::horizontalmover ? sign : 0;
          int dy = c.thing == kind::horizontalmover ? 0 : sign;
          turn(dx, dy);
          c.thing = dx != 0 ? kind::horizontalmover : kind::verticalmover;
          c.f = dx + dy > 0 ? 1 : 0;
        } else if (c.thing == kind::turningmover) {
          int dx = headingx[c.f % 4];
          int dy = headingy[c.f % 4];
          turn(dx, dy);
          c.f = static_cast<uint8_t>(HeadingOf(dx, dy));
          if (mirrored) c.b = c.b == 0 ? 1 : 0;
        }
        out.cells[static_cast<std::size_t>(z * level::layercells + ny * level::size + nx)] = c;
      }
    }
  }
  return out;
}

puzzle_forms PuzzleForms(const level_source& source) {
  puzzle_forms forms;
  for (int k = 0; k < kSymmetries; ++k) {
    forms.levels[static_cast<std::size_t>(k)] = BuildSourceLevel(TransformedSource(source, k));
    forms.hashes[static_cast<std::size_t>(k)] = forms.levels[static_cast<std::size_t>(k)].hash();
  }
  return forms;
}

std::vector<same_puzzle> SamePuzzles(const std::vector<puzzle_forms>& levels) {
  std::vector<same_puzzle> pairs;
  for (std::size_t later = 0; later < levels.size(); ++later) {
    for (std::size_t earlier = 0; earlier < later; ++earlier) {
      for (std::size_t k = 0; k < kSymmetries; ++k) {
        if (levels[later].hashes[k] == levels[earlier].hashes[0] &&
            levels[later].levels[k] == levels[earlier].levels[0]) {
          pairs.push_back({earlier, later, static_cast<int>(k)});
          break;
        }
      }
    }
  }
  return pairs;
}

level_source StrippedSource(const level_source& source, std::span<const uint8_t> kinds) {
  auto named = [&](uint8_t k) { return k != 0 && std::find(kinds.begin(), kinds.end(), k) != kinds.end(); };
  level_source out = source;
  for (source_cell& c : out.cells) {
    if (named(c.ground)) c.ground = kind::floor;
    if (named(c.thing)) c = source_cell{c.ground, 0, 0, 0, 0};
  }
  return out;
}

bool HoldsKinds(const level_source& source, std::span<const uint8_t> kinds) {
  return std::any_of(source.cells.begin(), source.cells.end(), [&](const source_cell& c) {
    return std::any_of(kinds.begin(), kinds.end(),
                       [&](uint8_t k) { return k != 0 && (c.ground == k || c.thing == k); });
  });
}

removal_test RemovalTest(const level_source& source, std::span<const uint8_t> kinds, const solver_limits& limits) {
  removal_test out;
  if (!HoldsKinds(source, kinds)) return out;
  out.stripped = Solve(BuildSourceLevel(StrippedSource(source, kinds)), source.moves, limits);
  switch (out.stripped.status) {
    case solve_status::unsolvable:
    case solve_status::no_player:
      out.outcome = removal_outcome::unwinnable;
      break;
    case solve_status::gave_up:
      out.outcome = removal_outcome::unknown;
      break;
    case solve_status::solved:
    case solve_status::best_found: {
      const replay_outcome real = ReplaySteps(BuildSourceLevel(source), source.moves, out.stripped.steps);
      out.outcome = real.state == play_state::won ? removal_outcome::not_needed : removal_outcome::naive_fails;
      break;
    }
  }
  return out;
}

}  // namespace dusk
