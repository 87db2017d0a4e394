// One level's figures and what it must pass; the figures' cache.
#include "worlds/level_checks.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "platform/files.h"
#include "worlds/cache_key.h"
#include "worlds/world_file.h"

namespace dusk {

bool MechanicTested(const level_place& place) {
  return place.world == 0 || place.levelno == 0 || place.world >= 2;
}

level_figures MeasureLevel(const level_source& source, const level_place& place, const report_options& options) {
  level_figures f;
  const level lvl = BuildSourceLevel(source);
  const int allowance = source.moves;
  const solve_result best = Solve(lvl, allowance, options.solver);
  f.status = best.status;
  f.steps = best.steps;
  f.states = best.states;
  f.limit = best.limit;
  const bool won = best.status == solve_status::solved || best.status == solve_status::best_found;
  if (won) f.first = FirstSteps(lvl, allowance, best.moves, options.solver);
  f.walks = options.walks;
  f.random = RandomPlaythroughWins(lvl, allowance, options.walks, options.seed);
  f.careful = CarefulPlaythroughWins(lvl, allowance, options.walks, options.seed);

  if (MechanicTested(place) && !place.featured.empty()) {
    const removal_test test = RemovalTest(source, place.featured, options.solver);
    f.mechanictested = true;
    f.mechanic = test.outcome;
    f.strippedmoves = test.stripped.moves;
  }
  if (place.world >= 3) {
    for (const auto& [world, kinds] : place.earlier) {
      if (!HoldsKinds(source, kinds)) continue;
      const removal_test test = RemovalTest(source, kinds, options.solver);
      f.combined.push_back({world, test.outcome, test.stripped.moves});
    }
  }

  const std::vector<std::vector<uint8_t>> plays = {best.steps};
  const dead_space dead = DeadSpace(lvl, allowance, plays, options.explore);
  f.deadcells = dead.cells;
  f.walledoff = dead.walledoff;
  f.deadknown = dead.known;
  f.deadmissing = dead.missing;
  f.explored = dead.explored.states;
  f.deadlimit = dead.explored.limit;
  if (place.forgiveness) f.forgiveness = Forgiveness(lvl, allowance, options.explore);
  return f;
}

// The cache's text: a line per field, "name value ...", ending with "end". Every number is bounded, so a
// damaged file is refused rather than believed.
std::string FiguresText(const level_figures& f) {
  std::string out;
  auto line = [&out](const std::string& name, std::initializer_list<std::size_t> values) {
    out += name;
    for (const std::size_t v : values) out += " " + std::to_string(v);
    out += "\n";
  };
  line("status", {static_cast<std::size_t>(f.status)});
  out += "steps " + StepDigits(f.steps) + "\n";
  line("states", {f.states});
  out += "limit " + f.limit + "\n";
  line("first", {static_cast<std::size_t>(f.first.possible), static_cast<std::size_t>(f.first.winning),
                 static_cast<std::size_t>(f.first.best), static_cast<std::size_t>(f.first.unknown)});
  line("walks", {static_cast<std::size_t>(f.walks), static_cast<std::size_t>(f.random),
                 static_cast<std::size_t>(f.careful)});
  line("mechanic", {f.mechanictested ? 1u : 0u, static_cast<std::size_t>(f.mechanic),
                    static_cast<std::size_t>(f.strippedmoves)});
  for (const combined_test& c : f.combined)
    line("combined", {static_cast<std::size_t>(c.world), static_cast<std::size_t>(c.outcome),
                      static_cast<std::size_t>(c.strippedmoves)});
  line("dead", {f.deadknown ? 1u : 0u, f.walledoff, f.deadmissing, f.explored});
  out += "deadlimit " + f.deadlimit + "\n";
  out += "deadcells";
  for (const int c : f.deadcells) out += " " + std::to_string(c);
  out += "\n";
  if (f.forgiveness) {
    line("forgiveness", {f.forgiveness->positions, f.forgiveness->winnable, f.forgiveness->complete ? 1u : 0u});
    out += "forgivenesslimit " + f.forgiveness->limit + "\n";
  }
  out += "end\n";
  return out;
}

namespace {

constexpr std::size_t kMaxCacheBytes = 1 << 20;
// Counts of states and playthroughs; kept within 32 bits for the web build's size_t.
constexpr std::size_t kMaxCount = std::size_t{1} << 31;

// The numbers of a line's rest, each at most high; none unless there are exactly count of them (count 0:
// any number of them, up to the cells of a level).
std::optional<std::vector<std::size_t>> Numbers(std::string_view rest, std::size_t count, std::size_t high) {
  std::vector<std::size_t> values;
  std::size_t at = 0;
  while (at < rest.size()) {
    if (rest[at] != ' ') return std::nullopt;
    ++at;
    std::size_t value = 0;
    const auto [end, problem] = std::from_chars(rest.data() + at, rest.data() + rest.size(), value);
    if (problem != std::errc() || value > high || end == rest.data() + at) return std::nullopt;
    at = static_cast<std::size_t>(end - rest.data());
    values.push_back(value);
    if (values.size() > static_cast<std::size_t>(level::maxcells)) return std::nullopt;
  }
  if (count != 0 && values.size() != count) return std::nullopt;
  return values;
}

bool Word(std::string_view rest, std::string& out) {
  if (rest.empty()) {
    out.clear();
    return true;
  }
  if (rest[0] != ' ' || rest.size() > 16) return false;
  out = std::string(rest.substr(1));
  return std::all_of(out.begin(), out.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

}  // namespace

std::optional<level_figures> ParseFigures(std::string_view text) {
  if (text.size() > kMaxCacheBytes) return std::nullopt;
  level_figures f;
  unsigned seen = 0;
  auto once = [&seen](unsigned bit) {
    const bool fresh = (seen & bit) == 0;
    seen |= bit;
    return fresh;
  };
  bool ended = false;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos || ended) return std::nullopt;
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    const std::size_t space = line.find(' ');
    const std::string_view name = line.substr(0, space);
    const std::string_view rest = space == std::string_view::npos ? std::string_view{} : line.substr(space);
    if (name == "end") {
      ended = rest.empty();
      if (!ended) return std::nullopt;
    } else if (name == "status" && once(1)) {
      const auto v = Numbers(rest, 1, static_cast<std::size_t>(solve_status::no_player));
      if (!v) return std::nullopt;
      f.status = static_cast<solve_status>((*v)[0]);
    } else if (name == "steps" && once(2)) {
      if (rest.empty() || rest[0] != ' ' || rest.size() > 65536) return std::nullopt;
      for (const char c : rest.substr(1)) {
        if (c < '0' || c > '3') return std::nullopt;
        f.steps.push_back(static_cast<uint8_t>(c - '0'));
      }
    } else if (name == "states" && once(4)) {
      const auto v = Numbers(rest, 1, kMaxCount);
      if (!v) return std::nullopt;
      f.states = (*v)[0];
    } else if (name == "limit" && once(8)) {
      if (!Word(rest, f.limit)) return std::nullopt;
    } else if (name == "first" && once(16)) {
      const auto v = Numbers(rest, 4, 4);
      if (!v) return std::nullopt;
      f.first = {static_cast<int>((*v)[0]), static_cast<int>((*v)[1]), static_cast<int>((*v)[2]),
                 static_cast<int>((*v)[3])};
    } else if (name == "walks" && once(32)) {
      const auto v = Numbers(rest, 3, 10'000'000);
      if (!v || (*v)[1] > (*v)[0] || (*v)[2] > (*v)[0]) return std::nullopt;
      f.walks = static_cast<int>((*v)[0]);
      f.random = static_cast<int>((*v)[1]);
      f.careful = static_cast<int>((*v)[2]);
    } else if (name == "mechanic" && once(64)) {
      const auto v = Numbers(rest, 3, 65535);
      if (!v || (*v)[0] > 1 || (*v)[1] > static_cast<std::size_t>(removal_outcome::unknown)) return std::nullopt;
      f.mechanictested = (*v)[0] == 1;
      f.mechanic = static_cast<removal_outcome>((*v)[1]);
      f.strippedmoves = static_cast<int>((*v)[2]);
    } else if (name == "combined") {
      const auto v = Numbers(rest, 3, 65535);
      if (!v || (*v)[0] > 255 || (*v)[1] > static_cast<std::size_t>(removal_outcome::unknown) ||
          f.combined.size() >= 16)
        return std::nullopt;
      f.combined.push_back(
          {static_cast<int>((*v)[0]), static_cast<removal_outcome>((*v)[1]), static_cast<int>((*v)[2])});
    } else if (name == "dead" && once(128)) {
      const auto v = Numbers(rest, 4, kMaxCount);
      if (!v || (*v)[0] > 1) return std::nullopt;
      f.deadknown = (*v)[0] == 1;
      f.walledoff = (*v)[1];
      f.deadmissing = (*v)[2];
      f.explored = (*v)[3];
    } else if (name == "deadlimit" && once(256)) {
      if (!Word(rest, f.deadlimit)) return std::nullopt;
    } else if (name == "deadcells" && once(512)) {
      const auto v = Numbers(rest, 0, static_cast<std::size_t>(level::maxcells) - 1);
      if (!v) return std::nullopt;
      for (const std::size_t c : *v) f.deadcells.push_back(static_cast<int>(c));
    } else if (name == "forgiveness" && once(1024)) {
      const auto v = Numbers(rest, 3, kMaxCount);
      if (!v || (*v)[1] > (*v)[0] || (*v)[2] > 1) return std::nullopt;
      f.forgiveness = forgiveness_figures{};
      f.forgiveness->positions = (*v)[0];
      f.forgiveness->winnable = (*v)[1];
      f.forgiveness->complete = (*v)[2] == 1;
    } else if (name == "forgivenesslimit" && once(2048)) {
      if (!f.forgiveness || !Word(rest, f.forgiveness->limit)) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  // Every field but the forgiveness, which only some levels have.
  if (!ended || (seen & 1023u) != 1023u || f.walledoff > f.deadcells.size()) return std::nullopt;
  return f;
}

level_figures LevelFigures(const std::string& sourcepath, const level_source& source, const level_place& place,
                           const report_options& options) {
  std::string cached;
  if (!options.cachefolder.empty()) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(sourcepath, bytes)) bytes.clear();
    uint64_t key = HashBytes(ProgramKey(), bytes.data(), bytes.size());
    // Everything else the figures depend on: the level's place and the world settings, and the options.
    std::string settings = std::to_string(place.world) + "/" + std::to_string(place.levelno) + "/" +
                           (place.forgiveness ? "f" : "-") + "/";
    for (const uint8_t k : place.featured) settings += std::to_string(k) + ",";
    for (const auto& [world, kinds] : place.earlier) {
      settings += ";" + std::to_string(world) + ":";
      for (const uint8_t k : kinds) settings += std::to_string(k) + ",";
    }
    char budget[160];
    std::snprintf(budget, sizeof budget, "/%g/%zu/%g/%zu/%d/%llu", options.solver.max_seconds,
                  options.solver.max_states, options.explore.max_seconds, options.explore.max_states,
                  options.walks, static_cast<unsigned long long>(options.seed));
    key = HashText(key, settings + budget);
    char name[40];
    std::snprintf(name, sizeof name, "/%016llx.report", static_cast<unsigned long long>(key));
    cached = options.cachefolder + name;
    std::vector<uint8_t> text;
    if (ReadWholeFile(cached, text) && text.size() <= kMaxCacheBytes) {
      if (std::optional<level_figures> f =
              ParseFigures(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()))) {
        // A stored solution must still win the level: a damaged cache never lets a wrong one through.
        const bool claimswin = f->status == solve_status::solved || f->status == solve_status::best_found;
        if (!claimswin ||
            ReplaySteps(BuildSourceLevel(source), source.moves, f->steps).state == play_state::won) {
          f->cached = true;
          return *f;
        }
      }
    }
  }
  level_figures f = MeasureLevel(source, place, options);
  if (!cached.empty()) {
    if (PathKind(options.cachefolder) != 2) MakeFolder(options.cachefolder);
    const std::string text = FiguresText(f);
    // The cache only saves time: a report that can't write it still reports.
    (void)WriteFileAtomically(cached, std::vector<uint8_t>(text.begin(), text.end()));
  }
  return f;
}

std::string KindNames(std::span<const uint8_t> kinds) {
  std::string out;
  for (const uint8_t k : kinds) {
    if (!out.empty()) out += ", ";
    const std::optional<std::string_view> name = KindName(k);
    out += name ? std::string(*name) : std::to_string(k);
  }
  return out;
}

bool Combines(const level_figures& f) {
  return f.mechanictested && Matters(f.mechanic) &&
         std::any_of(f.combined.begin(), f.combined.end(), [](const combined_test& c) { return Matters(c.outcome); });
}

namespace {

std::string Percent(int wins, int walks) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %%", walks > 0 ? 100.0 * wins / walks : 0.0);
  return text;
}

std::string Count(std::size_t n, const std::string& thing) {
  return std::to_string(n) + " " + thing + (n == 1 ? "" : "s");
}

}  // namespace

std::vector<std::string> LevelFailures(const level_source& source, const level_place& place, bool lastlevel,
                                       const level_figures& f) {
  std::vector<std::string> out;
  const std::string allowance = std::to_string(source.moves);
  switch (f.status) {
    case solve_status::unsolvable:
      out.push_back("can't be won within its allowance of " + allowance + " moves");
      break;
    case solve_status::gave_up:
      out.push_back("the solver found no solution within its budget (" + f.limit + " ran out)");
      break;
    case solve_status::best_found:
      out.push_back("best solution not proven within the solver's budget (" + f.limit + " ran out)");
      break;
    case solve_status::no_player:
      out.push_back("the level has no player");
      break;
    case solve_status::solved:
      break;
  }

  // The mechanic matters.
  if (f.mechanictested) {
    const std::string kinds = KindNames(place.featured);
    switch (f.mechanic) {
      case removal_outcome::absent:
        out.push_back("holds none of its world's featured kinds (" + kinds + ")");
        break;
      case removal_outcome::not_needed:
        out.push_back("doesn't need its world's featured kinds (" + kinds + "): the shortest solution without them (" +
                      std::to_string(f.strippedmoves) + " moves) wins the level as it is");
        break;
      case removal_outcome::unknown:
        out.push_back("whether it needs its world's featured kinds is not known: the solver's budget ran out on the "
                      "level without them");
        break;
      default:
        break;
    }
  }

  // No dead space.
  if (!f.deadknown) {
    out.push_back("dead space not known: the search ran out of " + f.deadlimit + " after " + Thousands(f.explored) +
                  " states, with " + Count(f.deadmissing, "floor cell") + " not stepped onto yet");
  } else if (!f.deadcells.empty()) {
    std::string text = Count(f.deadcells.size(), "floor cell") + " no play within the allowance steps onto";
    if (f.walledoff > 0) text += " (" + std::to_string(f.walledoff) + " walled off from the start)";
    dead_space dead;
    dead.cells = f.deadcells;
    dead.known = true;
    for (const std::string& row : DeadSpaceMap(BuildSourceLevel(source), dead)) text += "\n  " + row;
    out.push_back(text);
  }

  // No stumbling through.
  if (!MayWanderToAWin(place)) {
    if (WinsByChance(f.random, f.walks))
      out.push_back("random play wins " + Percent(f.random, f.walks) + " of playthroughs (at most 1 %)");
    if (WinsByCare(f.careful, f.walks))
      out.push_back("careful play wins " + Percent(f.careful, f.walks) + " of playthroughs (at most 2 %)");
  }

  // Every win counts.
  if (source.moves >= 9 * source.stars) {
    out.push_back("the allowance of " + allowance + " moves is not below 9 x " + std::to_string(source.stars) +
                  " stars = " + std::to_string(9 * source.stars) + ": a win within it can score below 1");
  }

  // The name fits the lists.
  if (source.name.size() > kLongestLevelName) {
    out.push_back("its name '" + source.name + "' has " + std::to_string(source.name.size()) +
                  " characters; the lists show " + std::to_string(kLongestLevelName));
  }

  // Depth.
  const bool bonus = place.world == 0 || place.levelno == 0;
  if (bonus && f.states < kLeastPeakStates) {
    out.push_back("explores " + Thousands(f.states) + " states; a bonus level explores at least " +
                  Thousands(kLeastPeakStates));
  } else if (!bonus && lastlevel && place.world >= 1) {
    const std::size_t least = place.world == 1 ? kLeastFirstPeakStates : kLeastPeakStates;
    if (f.states < least) {
      out.push_back("explores " + Thousands(f.states) + " states; its world's last level explores at least " +
                    Thousands(least));
    }
  }
  return out;
}

}  // namespace dusk
