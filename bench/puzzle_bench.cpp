// Speed of the rule book: turns of play on a busy level, and level copies, hashes and comparisons.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "puzzle/level.h"

namespace dusk {
namespace {

// Several movers, gates, a switch with its door, stars and trail-clearing floors, on one layer.
const std::vector<std::string> busyrows = {
    "###############", "#....*........#", "#.R.......L...#", "#......G......#", "#.U.......D...#",
    "#....~....*...#", "#..E.....W....#", "#......@......#", "#.o..G....o...#", "#....!....+...#",
    "#.L.......R...#", "#.....~.....*.#", "#...N....S....#", "#.............#", "###############",
};

level build(const std::vector<std::string>& rows, int z, level lvl) {
  lvl.depth = std::max(lvl.depth, z + 1);
  for (int x = 0; x < level::size; ++x) {
    for (int y = 0; y < level::size; ++y) {
      const char c = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
      auto piece = [&](uint8_t id, uint8_t f, uint8_t b) { lvl.addobj(tile::Create(id, x, y, z, f, b, 0)); };
      switch (c) {
        case '#':
          lvl.setmap(x, y, z, kind::wall);
          break;
        case '~':
          lvl.setmap(x, y, z, kind::trailclearingfloor);
          break;
        case '*':
          lvl.setobj(x, y, z, tile::Create(kind::star, 0, 0, 0, 0, 0, 0));
          ++lvl.totalstars;
          break;
        case 'o':
          lvl.setobj(x, y, z, tile::Create(kind::block, 0, 0, 0, 0, 0, 0));
          break;
        case 'G':
          lvl.setobj(x, y, z, tile::Create(kind::timedgate, x, y, z, 2, 1, 1));
          break;
        case '!':
          lvl.setobj(x, y, z, tile::Create(kind::doorswitch, x, y, z, 1, 0, 0));
          break;
        case '+':
          lvl.setobj(x, y, z, tile::Create(kind::door, x, y, z, 1, 1, 0));
          break;
        case 'L':
          piece(kind::horizontalmover, 0, 0);
          break;
        case 'R':
          piece(kind::horizontalmover, 1, 0);
          break;
        case 'U':
          piece(kind::verticalmover, 0, 0);
          break;
        case 'D':
          piece(kind::verticalmover, 1, 0);
          break;
        case 'E':
          piece(kind::turningmover, 0, 1);
          break;
        case 'S':
          piece(kind::turningmover, 1, 0);
          break;
        case 'W':
          piece(kind::turningmover, 2, 1);
          break;
        case 'N':
          piece(kind::turningmover, 3, 0);
          break;
        case '@':
          lvl.addplayer(tile::Create(kind::player, x, y, z, 0, 0, 0));
          lvl.playerx = x;
          lvl.playery = y;
          lvl.playerz = z;
          break;
        default:
          break;
      }
    }
  }
  lvl.linkdoor(5, 9, z, vector::Create(10, 9, z));
  return lvl;
}

level busylevel() {
  return build(busyrows, 0, level::New());
}

// The same busy layer fifteen times over: the largest level there can be.
level deeplevel() {
  level lvl = level::New();
  for (int z = 0; z < level::size; ++z) lvl = build(busyrows, z, lvl);
  return lvl;
}

constexpr int stepx[4] = {1, 0, -1, 0};
constexpr int stepy[4] = {0, 1, 0, -1};

// A wandering player: each turn tries the directions in a pseudo-random order, as play would go; a trapped
// player starts the level again.
void BM_PlayerStepAndUpdate(benchmark::State& state) {
  const level start = busylevel();
  level lvl = start;
  uint32_t seed = 12345;
  int64_t steps = 0;
  int64_t restarts = 0;
  for (auto _ : state) {
    seed ^= seed << 13;
    seed ^= seed >> 17;
    seed ^= seed << 5;
    int moved = 0;
    for (int k = 0; k < 4 && moved == 0; ++k) {
      const uint32_t d = (seed + static_cast<uint32_t>(k)) % 4;
      int stars = 0;
      int jumps = 0;
      moved = lvl.playertile()->Move(stepx[d], stepy[d], 0, lvl, 1, 1, 1, stars, jumps, 0);
    }
    if (moved != 0) {
      lvl.updateobjs();
      ++steps;
    } else {
      lvl = start;
      ++restarts;
    }
  }
  state.SetItemsProcessed(steps);
  state.counters["restarts"] = static_cast<double>(restarts);
}
BENCHMARK(BM_PlayerStepAndUpdate);

// A level part way through play, with trail blocks and pieces in its list.
level playedlevel(level lvl) {
  uint32_t seed = 99;
  for (int i = 0; i < 12; ++i) {
    seed = seed * 1103515245u + 12345u;
    for (int k = 0; k < 4; ++k) {
      const uint32_t d = ((seed >> 16) + static_cast<uint32_t>(k)) % 4;
      int stars = 0;
      int jumps = 0;
      if (lvl.playertile()->Move(stepx[d], stepy[d], 0, lvl, 1, 1, 1, stars, jumps, 0) != 0) {
        lvl.updateobjs();
        break;
      }
    }
  }
  return lvl;
}

void BM_LevelCopy(benchmark::State& state) {
  const level lvl = playedlevel(state.range(0) == 1 ? busylevel() : deeplevel());
  for (auto _ : state) {
    level copy = lvl;
    benchmark::DoNotOptimize(copy);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LevelCopy)->Arg(1)->Arg(15)->ArgName("layers");

void BM_LevelHash(benchmark::State& state) {
  const level lvl = playedlevel(state.range(0) == 1 ? busylevel() : deeplevel());
  for (auto _ : state) benchmark::DoNotOptimize(lvl.hash());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LevelHash)->Arg(1)->Arg(15)->ArgName("layers");

void BM_LevelEqual(benchmark::State& state) {
  const level a = playedlevel(state.range(0) == 1 ? busylevel() : deeplevel());
  const level b = a;
  for (auto _ : state) benchmark::DoNotOptimize(a == b);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LevelEqual)->Arg(1)->Arg(15)->ArgName("layers");

// What a breadth-first solver does per state: copy, step, update, hash.
void BM_SolverExpand(benchmark::State& state) {
  const level start = playedlevel(busylevel());
  uint32_t d = 0;
  for (auto _ : state) {
    level next = start;
    int stars = 0;
    int jumps = 0;
    if (next.playertile()->Move(stepx[d], stepy[d], 0, next, 1, 1, 1, stars, jumps, 0) != 0)
      next.updateobjs();
    benchmark::DoNotOptimize(next.hash());
    d = (d + 1) % 4;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SolverExpand);

}  // namespace
}  // namespace dusk
