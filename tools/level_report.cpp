// level_report [worlds folder | world folder | file.level] [options]: checks every level, in world order,
// against what the campaign asks of a level, and prints its figures: best solution, states explored,
// random and careful play, first steps, whether it needs its world's mechanic and which earlier mechanics
// it combines with it, and its dead space; then a line per world with its curve of states, and the
// campaign's median. Exit status 1 when anything fails a check, 2 when the sources can't be read.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "worlds/level_checks.h"

namespace {

int Usage() {
  std::fprintf(
      stderr,
      "usage: level_report [worlds folder | world folder | file.level] [--cache FOLDER] [--jobs N]\n"
      "                    [--walks N] [--seed N] [--max-seconds N] [--max-states N]\n"
      "                    [--explore-seconds N] [--explore-states N]\n"
      "Checks every level of the folder's worlds.txt (default: worlds), of one world folder, or one level\n"
      "source (its world and the campaign around it are taken from its folders). --cache keeps each level's\n"
      "figures in FOLDER, so only changed levels are worked out again; --jobs works on N levels at once\n"
      "(default: one per processor). The solver's budget is per search; the dead-space search and the\n"
      "forgiveness figure have their own.\n");
  return 2;
}

bool Number(const char* text, double low, double high, double& out) {
  char* end = nullptr;
  out = std::strtod(text, &end);
  return end != text && *end == '\0' && out >= low && out <= high;
}

std::string Percent(int wins, int walks) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f%%", walks > 0 ? 100.0 * wins / walks : 0.0);
  return text;
}

std::string Best(const dusk::level_figures& f) {
  switch (f.status) {
    case dusk::solve_status::solved:
      return std::to_string(f.steps.size());
    case dusk::solve_status::best_found:
      return std::to_string(f.steps.size()) + "?";
    case dusk::solve_status::unsolvable:
      return "none";
    case dusk::solve_status::gave_up:
      return "?";
    case dusk::solve_status::no_player:
      return "-";
  }
  return "?";
}

std::string Mechanic(const dusk::level_figures& f) {
  if (!f.mechanictested) return "-";
  switch (f.mechanic) {
    case dusk::removal_outcome::absent:
      return "absent";
    case dusk::removal_outcome::unwinnable:
      return "needed";
    case dusk::removal_outcome::naive_fails:
      return "needed";
    case dusk::removal_outcome::not_needed:
      return "not needed";
    case dusk::removal_outcome::unknown:
      return "?";
  }
  return "?";
}

// The names of the kinds an earlier world features, as this level's combined test removed them.
std::string EarlierKindNames(const dusk::reported_level& l, int earlier) {
  for (const auto& [world, kinds] : l.place.earlier) {
    if (world == earlier) return dusk::KindNames(kinds);
  }
  return "";
}

// A removal test passed on a tie: without the kinds the level is as short, so its own best route is also
// one that ignores them, and only the solver's pick among routes of that length failed.
bool OnATie(dusk::removal_outcome outcome, int strippedmoves, const dusk::level_figures& f) {
  return outcome == dusk::removal_outcome::naive_fails && static_cast<std::size_t>(strippedmoves) == f.steps.size();
}

std::string Combined(const dusk::reported_level& l) {
  if (l.figures.combined.empty()) return "-";
  std::string out;
  bool unknown = false;
  for (const dusk::combined_test& c : l.figures.combined) {
    unknown = unknown || c.outcome == dusk::removal_outcome::unknown;
    if (!dusk::Matters(c.outcome)) continue;
    if (!out.empty()) out += "; ";
    out += EarlierKindNames(l, c.world);
  }
  if (out.empty()) out = "none";
  return unknown ? out + " (?)" : out;
}

std::string First(const dusk::level_figures& f) {
  if (f.first.possible == 0) return "-";
  std::string out = std::to_string(f.first.winning) + "/" + std::to_string(f.first.possible) + " (" +
                    std::to_string(f.first.best) + ")";
  if (f.first.unknown > 0) out += "?";
  return out;
}

// States on a scale of tens to millions, one bar a level: the same height means the same depth in every
// world.
std::string Bar(std::size_t states) {
  static constexpr const char* bars[8] = {"\u2581", "\u2582", "\u2583", "\u2584",
                                          "\u2585", "\u2586", "\u2587", "\u2588"};
  const double step = (std::log10(static_cast<double>(std::max<std::size_t>(states, 1))) - 1) * 8 / 5;
  return bars[static_cast<int>(std::clamp(step, 0.0, 7.0))];
}

void PrintFailures(const std::vector<std::string>& failures, const char* indent) {
  for (const std::string& failure : failures) {
    std::string text = failure;
    std::string::size_type at = 0;
    std::printf("%s! ", indent);
    while ((at = text.find('\n')) != std::string::npos) {
      std::printf("%s\n%s  ", text.substr(0, at).c_str(), indent);
      text.erase(0, at + 1);
    }
    std::printf("%s\n", text.c_str());
  }
}

void PrintLevel(const dusk::reported_level& l) {
  const dusk::level_figures& f = l.figures;
  std::printf("%-5s %-38s %5d %5s %9s %7s %7s %-9s %-10s %s\n", dusk::LevelNumber(l).c_str(), l.shortname.c_str(),
              l.source.moves, Best(f).c_str(), dusk::Thousands(f.states).c_str(), Percent(f.random, f.walks).c_str(),
              Percent(f.careful, f.walks).c_str(), First(f).c_str(), Mechanic(f).c_str(), Combined(l).c_str());
  if (f.mechanictested && OnATie(f.mechanic, f.strippedmoves, f)) {
    std::printf("      mechanic: needed on a tie; without its kinds the best is also %d moves\n", f.strippedmoves);
  }
  for (const dusk::combined_test& c : f.combined) {
    if (!OnATie(c.outcome, c.strippedmoves, f)) continue;
    std::printf("      combined: %s needed on a tie; without them the best is also %d moves\n",
                EarlierKindNames(l, c.world).c_str(), c.strippedmoves);
  }
  if (f.forgiveness) {
    const dusk::forgiveness_figures& g = *f.forgiveness;
    if (g.complete && g.positions > 0) {
      std::printf("      forgiveness: the level can still be won in %.0f %% of the %s positions a player can reach\n",
                  100.0 * static_cast<double>(g.winnable) / static_cast<double>(g.positions),
                  dusk::Thousands(g.positions).c_str());
    } else if (!g.complete) {
      std::printf("      forgiveness: not known, the search ran out of %s after %s positions\n", g.limit.c_str(),
                  dusk::Thousands(g.positions).c_str());
    }
  }
  PrintFailures(l.failures, "      ");
}

void PrintWorld(const dusk::campaign_report& report, const dusk::reported_world& w) {
  std::string curve;
  std::string bonus;
  std::size_t combining = 0;
  for (std::size_t i = w.first; i < w.first + w.count; ++i) {
    const dusk::reported_level& l = report.levels[i];
    if (l.levelno == 0 || w.number == 0) {
      bonus += Bar(l.figures.states);
    } else {
      curve += Bar(l.figures.states);
    }
    combining += dusk::Combines(l.figures) ? 1 : 0;
  }
  std::printf("  world %d, %s: %zu levels; states", w.number, w.name.c_str(), w.count);
  if (!curve.empty()) std::printf(" %s", curve.c_str());
  if (!bonus.empty()) std::printf(" %s %s", curve.empty() ? "all bonus" : "bonus", bonus.c_str());
  if (w.number >= 3) std::printf("; %zu combine its mechanic with an earlier one", combining);
  std::printf("\n");
  PrintFailures(w.failures, "  ");
}

}  // namespace

int main(int argc, char** argv) {
  std::string path;
  dusk::report_options options;
  options.solver.max_seconds = 20;
  options.threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasvalue = i + 1 < argc;
    double value = 0;
    if (arg == "--cache" && hasvalue) {
      options.cachefolder = argv[++i];
    } else if (arg == "--jobs" && hasvalue && Number(argv[++i], 1, 64, value)) {
      options.threads = static_cast<int>(value);
    } else if (arg == "--walks" && hasvalue && Number(argv[++i], 1, 10'000'000, value)) {
      options.walks = static_cast<int>(value);
    } else if (arg == "--seed" && hasvalue) {
      options.seed = std::strtoull(argv[++i], nullptr, 0);
    } else if (arg == "--max-seconds" && hasvalue && Number(argv[++i], 0.001, 1e6, value)) {
      options.solver.max_seconds = value;
    } else if (arg == "--max-states" && hasvalue && Number(argv[++i], 1, 1e9, value)) {
      options.solver.max_states = static_cast<std::size_t>(value);
    } else if (arg == "--explore-seconds" && hasvalue && Number(argv[++i], 0.001, 1e6, value)) {
      options.explore.max_seconds = value;
    } else if (arg == "--explore-states" && hasvalue && Number(argv[++i], 1, 1e9, value)) {
      options.explore.max_states = static_cast<std::size_t>(value);
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage();
    } else if (path.empty()) {
      path = arg;
    } else {
      return Usage();
    }
  }
  if (path.empty()) path = "worlds";

  const dusk::campaign_report report = dusk::ReportCampaign(path, options);
  for (const std::string& error : report.errors) std::fprintf(stderr, "%s\n", error.c_str());

  std::printf("%-5s %-38s %5s %5s %9s %7s %7s %-9s %-10s %s\n", "level", "source", "moves", "best", "states",
              "random", "careful", "first", "mechanic", "combined");
  std::size_t failures = report.failures.size();
  std::size_t failing = 0;
  std::size_t checked = 0;
  for (const dusk::reported_world& w : report.worlds) {
    bool any = false;
    for (std::size_t i = w.first; i < w.first + w.count; ++i) {
      const dusk::reported_level& l = report.levels[i];
      if (!l.checked) continue;
      PrintLevel(l);
      any = true;
    }
    if (w.checked) PrintWorld(report, w);
    if (any || w.checked) std::printf("\n");
    failures += w.failures.size();
  }
  // A level no world of the campaign lists.
  for (const dusk::reported_level& l : report.levels) {
    if (l.checked && l.world < 0 && l.levelno < 0) PrintLevel(l);
  }
  for (const dusk::reported_level& l : report.levels) {
    if (!l.checked) continue;
    ++checked;
    failures += l.failures.size();
    failing += l.failures.empty() ? 0 : 1;
  }

  std::printf("%s: %zu levels, median states %s", report.wholecampaign ? "Campaign" : "Checked", checked,
              dusk::Thousands(report.medianstates).c_str());
  if (report.wholecampaign) std::printf(" (at least %s)", dusk::Thousands(dusk::kLeastMedianStates).c_str());
  std::printf("\n");
  PrintFailures(report.failures, "  ");
  if (failures > 0) {
    std::printf("%zu failures: %zu of %zu levels fail a check.\n", failures, failing, checked);
  } else if (report.errors.empty()) {
    std::printf("Every check passed.\n");
  }
  // A source that doesn't load was never checked: no summary may read as if it had passed.
  if (!report.errors.empty()) {
    std::printf("The report is incomplete: %zu of its sources could not be read (on standard error).\n",
                report.errors.size());
  }
  std::printf("Took %.1f s (%zu of %zu levels from the cache).\n", report.seconds, report.fromcache, checked);
  if (!report.errors.empty()) return 2;
  return dusk::Passed(report) ? 0 : 1;
}
