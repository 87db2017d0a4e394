// Speed of the solver: whole searches of small designed levels, in states per second.
#include <benchmark/benchmark.h>

#include <string>

#include "puzzle/solver.h"
#include "worlds/level_source.h"

namespace dusk {
namespace {

// Six stars in an open room: the trail makes every order of visits a different state.
const char* const kFirstLight =
    "name: First Light\nmoves: 20\nhighscore: auto\nlayer\n"
    "###############\n###############\n###############\n###############\n####.......####\n"
    "####.*...*.####\n####...#...####\n####.*.@.*.####\n####...#...####\n####.*...*.####\n"
    "####.......####\n###############\n###############\n###############\n###############\n";

// Movers, a switch with its doors and a timed gate all change between moves: 31 moves at best.
const char* const kBusy =
    "name: Busy\nmoves: 34\nhighscore: auto\nlayer\n"
    "###############\n###############\n###############\n###*...#...*###\n###.R.....L.###\n"
    "###....G....###\n###.U.#.#.D.###\n###.!..'..+.###\n###....@....###\n###..#...#..###\n"
    "###*..N....*###\n###############\n###############\n###############\n###############\n"
    "legend\nG = gate closed 2 open 1 starts closed\n";

level Load(const char* text) {
  source_error error;
  const auto source = ParseLevelSource(text, "bench.level", error);
  if (!source) return level::New();
  return BuildSourceLevel(*source);
}

void Search(benchmark::State& state, const char* text, int allowance, std::size_t maxstates) {
  const level start = Load(text);
  solver_limits limits;
  limits.max_states = maxstates;
  limits.max_seconds = 1e9;  // the state budget ends the search, never the clock
  std::size_t states = 0;
  for (auto _ : state) {
    const solve_result result = Solve(start, allowance, limits);
    states += result.states;
    benchmark::DoNotOptimize(result.moves);
  }
  state.counters["states/s"] = benchmark::Counter(static_cast<double>(states), benchmark::Counter::kIsRate);
}

void BM_SolveFirstLight(benchmark::State& state) { Search(state, kFirstLight, 20, 4'000'000); }
BENCHMARK(BM_SolveFirstLight)->Unit(benchmark::kMillisecond);

// With a loose allowance the distance cut bites later and the search is wider.
void BM_SolveFirstLightLoose(benchmark::State& state) { Search(state, kFirstLight, 60, 4'000'000); }
BENCHMARK(BM_SolveFirstLightLoose)->Unit(benchmark::kMillisecond);

void BM_SolveBusyLevel(benchmark::State& state) { Search(state, kBusy, 34, 4'000'000); }
BENCHMARK(BM_SolveBusyLevel)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dusk
