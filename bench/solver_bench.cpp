// Speed of the solver: whole searches of small designed levels and of the campaign's hardest levels, in
// states per second, with the memory the search keeps per state.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/files.h"
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

// Two open rooms joined by a teleporter: no tree bound across the jump, so the search is wide.
const char* const kUpstairs =
    "name: Upstairs\nmoves: 60\nhighscore: auto\nlayer\n###############\n###############\n"
    "###############\n###############\n###############\n#####*...*#####\n#####.....#####\n"
    "#####..@..#####\n#####.....#####\n#####A...*#####\n###############\n###############\n"
    "###############\n###############\n###############\nlayer\n###############\n###############\n"
    "###############\n###############\n###############\n#####*...*#####\n#####.....#####\n"
    "#####..B..#####\n#####.....#####\n#####*...*#####\n###############\n###############\n"
    "###############\n###############\n###############\nlegend\nA = teleporter send 1\n"
    "B = teleporter receive 1\n";

// Movers, a switch with its doors and a timed gate all change between moves, in a large open room.
const char* const kBusy =
    "name: Busy\nmoves: 56\nhighscore: auto\nlayer\n###############\n#*...........*#\n#.R.......L...#\n"
    "#......G......#\n#.U.......D...#\n#....#...#....#\n#.!...'...+...#\n#......@......#\n"
    "#..#.....#....#\n#.....*.......#\n#.............#\n#......N......#\n#.............#\n"
    "#*...........*#\n###############\nlegend\nG = gate closed 2 open 1 starts closed\n";

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
  double bytes = 0;
  for (auto _ : state) {
    const solve_result result = Solve(start, allowance, limits);
    states += result.states;
    bytes = result.bytes_per_state;
    benchmark::DoNotOptimize(result.moves);
  }
  state.counters["states/s"] = benchmark::Counter(static_cast<double>(states), benchmark::Counter::kIsRate);
  state.counters["bytes/state"] = bytes;
}

// The five hardest levels of the campaign (by the states their search explores), copied into bench/levels so
// the figures stay comparable while the designers go on changing their worlds.
void SolveCampaignLevel(benchmark::State& state, const char* file) {
  std::vector<uint8_t> bytes;
  const std::string path = std::string(DUSK_SOURCE_DIR) + "/bench/levels/" + file;
  if (!ReadWholeFile(path, bytes)) {
    state.SkipWithError(("can't read " + path).c_str());
    return;
  }
  const std::string text(bytes.begin(), bytes.end());
  source_error error;
  const auto source = ParseLevelSource(text, path, error);
  if (!source) {
    state.SkipWithError(error.text().c_str());
    return;
  }
  Search(state, text.c_str(), source->moves, 4'000'000);
}
BENCHMARK_CAPTURE(SolveCampaignLevel, treadle, "treadle.level")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SolveCampaignLevel, warren, "warren.level")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SolveCampaignLevel, spring_tide, "spring-tide.level")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SolveCampaignLevel, high_water, "high-water.level")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SolveCampaignLevel, stowaway, "stowaway.level")->Unit(benchmark::kMillisecond);

void BM_SolveFirstLight(benchmark::State& state) {
  Search(state, kFirstLight, 20, 4'000'000);
}
BENCHMARK(BM_SolveFirstLight)->Unit(benchmark::kMillisecond);

void BM_SolveOpenUpstairs(benchmark::State& state) {
  Search(state, kUpstairs, 60, 4'000'000);
}
BENCHMARK(BM_SolveOpenUpstairs)->Unit(benchmark::kMillisecond);

void BM_SolveBusyLevel(benchmark::State& state) {
  Search(state, kBusy, 56, 4'000'000);
}
BENCHMARK(BM_SolveBusyLevel)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dusk
