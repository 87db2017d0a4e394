// level_report [worlds folder | world folder | file.level] [--walks N] [--seed N] [--max-seconds N]
// [--max-states N]: for every level, in world order, its best solution, the states the solver explored, how
// many first steps still lead to a win, how many random playthroughs win, and which levels are the same
// puzzle turned or mirrored. Exit status 1 when a level is flagged, 2 when the sources can't be read.
#include "worlds/level_report.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "puzzle/solver.h"
#include "worlds/level_convert.h"
#include "worlds/level_source.h"

namespace {

int Usage() {
  std::fprintf(
      stderr,
      "usage: level_report [worlds folder | world folder | file.level] [--walks N] [--seed N]\n"
      "                    [--max-seconds N] [--max-states N]\n"
      "Reports every level of the folder's worlds.txt (default: worlds), of one world folder, or one\n"
      "level source. The solver's budget is per search; a level's first steps take up to four more.\n");
  return 2;
}

struct entry {
  int world = -1;  // -1: unknown
  int levelno = -1;
  std::string path;
  std::string shortname;  // world folder/level file, or the path
};

std::string Label(const entry& e) {
  const std::string w = e.world < 0 ? "?" : std::to_string(e.world);
  const std::string l = e.levelno < 0 ? "?" : std::to_string(e.levelno);
  return w + "-" + l;
}

void AddWorld(const dusk::listed_world& listed, int world, std::vector<entry>& entries) {
  for (std::size_t l = 0; l < listed.world->levels.size(); ++l) {
    const std::string& file = listed.world->levels[l];
    entries.push_back(
        {world, static_cast<int>(l), dusk::LevelSourcePath(listed, file), listed.folder + "/" + file});
  }
}

// The number of the world in a folder, from the worlds.txt of the folder above; -1 when that lists no such
// world.
int WorldNumber(const std::filesystem::path& folder, std::string& name) {
  name = folder.filename().string();
  std::string parent = folder.parent_path().string();
  if (parent.empty()) parent = ".";
  if (dusk::PathKind(parent + "/worlds.txt") != 1) return -1;
  int number = 0;
  for (const dusk::listed_world& listed : dusk::ListWorlds(parent)) {
    if (!listed.world) continue;
    if (listed.folder == name) return number;
    ++number;
  }
  return -1;
}

std::filesystem::path Folder(const std::string& path) {
  std::filesystem::path folder = std::filesystem::path(path).lexically_normal();
  if (folder.filename().empty()) folder = folder.parent_path();
  return folder;
}

// The levels the command line names, in world order; false with a message when they can't be listed.
bool Entries(const std::string& path, std::vector<entry>& entries) {
  if (dusk::PathKind(path) == 1) {
    // A lone level is numbered when its folder's world.txt lists it.
    entry e{-1, -1, path, path};
    const std::filesystem::path file = std::filesystem::path(path).lexically_normal();
    std::string folder = file.parent_path().string();
    if (folder.empty()) folder = ".";
    dusk::source_error ignored;
    if (const auto world = dusk::ReadWorldFile(folder + "/world.txt", ignored)) {
      for (std::size_t l = 0; l < world->levels.size(); ++l) {
        if (world->levels[l] == file.filename().string()) e.levelno = static_cast<int>(l);
      }
      std::string name;
      if (e.levelno >= 0) e.world = WorldNumber(Folder(folder), name);
    }
    entries.push_back(e);
    return true;
  }
  if (dusk::PathKind(path) != 2) {
    std::fprintf(stderr, "%s: no such file or folder\n", path.c_str());
    return false;
  }
  if (dusk::PathKind(path + "/worlds.txt") == 1) {
    int world = 0;
    bool ok = true;
    for (const dusk::listed_world& listed : dusk::ListWorlds(path)) {
      if (!listed.world) {
        std::fprintf(stderr, "%s\n", listed.error.c_str());
        ok = false;
        continue;
      }
      AddWorld(listed, world++, entries);
    }
    return ok;
  }
  if (dusk::PathKind(path + "/world.txt") == 1) {
    dusk::listed_world listed;
    const int world = WorldNumber(Folder(path), listed.folder);
    listed.path = path;
    dusk::source_error error;
    listed.world = dusk::ReadWorldFile(path + "/world.txt", error);
    if (!listed.world) {
      std::fprintf(stderr, "%s\n", error.text().c_str());
      return false;
    }
    AddWorld(listed, world, entries);
    return true;
  }
  std::fprintf(stderr, "%s: holds neither worlds.txt nor world.txt\n", path.c_str());
  return false;
}

std::string Best(const dusk::solve_result& r) {
  switch (r.status) {
    case dusk::solve_status::solved:
      return std::to_string(r.moves);
    case dusk::solve_status::best_found:
      return std::to_string(r.moves) + "?";
    case dusk::solve_status::unsolvable:
      return "none";
    case dusk::solve_status::gave_up:
      return "?";
    case dusk::solve_status::no_player:
      return "-";
  }
  return "?";
}

}  // namespace

int main(int argc, char** argv) {
  std::string path;
  int walks = dusk::kReportWalks;
  uint64_t seed = dusk::kReportSeed;
  dusk::solver_limits limits;
  limits.max_seconds = 20;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasvalue = i + 1 < argc;
    if (arg == "--walks" && hasvalue) {
      walks = std::atoi(argv[++i]);
    } else if (arg == "--seed" && hasvalue) {
      seed = std::strtoull(argv[++i], nullptr, 0);
    } else if (arg == "--max-seconds" && hasvalue) {
      limits.max_seconds = std::atof(argv[++i]);
    } else if (arg == "--max-states" && hasvalue) {
      limits.max_states = static_cast<std::size_t>(std::atoll(argv[++i]));
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage();
    } else if (path.empty()) {
      path = arg;
    } else {
      return Usage();
    }
  }
  if (path.empty()) path = "worlds";
  if (walks <= 0 || walks > 10'000'000 || limits.max_seconds <= 0 || limits.max_states == 0) return Usage();

  std::vector<entry> entries;
  const bool listed = Entries(path, entries);
  if (entries.empty()) return 2;

  std::printf("%-5s %-36s %5s %5s %9s  %-20s %s\n", "level", "source", "moves", "best", "states",
              "first steps win", "random wins");
  std::vector<std::string> flags;
  std::vector<dusk::puzzle_forms> forms;
  std::vector<std::size_t> formentry;  // which entry each form belongs to
  bool readerror = !listed;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const entry& e = entries[i];
    dusk::source_error error;
    const std::optional<dusk::level_source> source = dusk::ReadLevelSource(e.path, error);
    if (!source) {
      std::fprintf(stderr, "%s\n", error.text().c_str());
      readerror = true;
      continue;
    }
    const dusk::level lvl = dusk::BuildSourceLevel(*source);
    const dusk::solve_result best = dusk::Solve(lvl, source->moves, limits);
    const bool won =
        best.status == dusk::solve_status::solved || best.status == dusk::solve_status::best_found;
    std::string first = "-";
    if (won) {
      const dusk::first_step_figures f = dusk::FirstSteps(lvl, source->moves, best.moves, limits);
      first = std::to_string(f.winning) + " of " + std::to_string(f.possible) + " (" +
              std::to_string(f.best) + " best)";
      if (f.unknown > 0) first += " " + std::to_string(f.unknown) + "?";
    }
    const int wins = dusk::RandomPlaythroughWins(lvl, source->moves, walks, seed);
    char random[64];
    std::snprintf(random, sizeof random, "%d of %d (%.1f %%)", wins, walks, 100.0 * wins / walks);
    std::printf("%-5s %-36s %5d %5s %9zu  %-20s %s\n", Label(e).c_str(), e.shortname.c_str(), source->moves,
                Best(best).c_str(), best.states, first.c_str(), random);
    std::fflush(stdout);

    const std::string who = Label(e) + " " + e.shortname + ": ";
    if (best.status == dusk::solve_status::unsolvable)
      flags.push_back(who + "can't be won within its allowance");
    if (best.status == dusk::solve_status::gave_up)
      flags.push_back(who + "the solver found no solution within its budget (" + best.limit + ")");
    if (best.status == dusk::solve_status::best_found)
      flags.push_back(who + "best solution not proven within the solver's budget (" + best.limit + ")");
    if (dusk::WinsByChance(wins, walks)) {
      if (dusk::MayBeWonByChance(e.world, e.levelno)) {
        std::printf("      (random play wins %s: allowed for the first levels of world 1)\n", random);
      } else {
        flags.push_back(who + "random play wins " + random + ": more than 1 %");
      }
    }
    forms.push_back(dusk::PuzzleForms(*source));
    formentry.push_back(i);
  }

  for (const dusk::same_puzzle& same : dusk::SamePuzzles(forms)) {
    const entry& a = entries[formentry[same.earlier]];
    const entry& b = entries[formentry[same.later]];
    flags.push_back(Label(b) + " " + b.shortname + ": the same puzzle as " + Label(a) + " " + a.shortname +
                    ", " + dusk::SymmetryName(same.symmetry));
  }

  if (flags.empty()) {
    std::printf("\nNo level flagged.\n");
  } else {
    std::printf("\nFlagged:\n");
    for (const std::string& flag : flags) std::printf("  %s\n", flag.c_str());
  }
  if (readerror) return 2;
  return flags.empty() ? 0 : 1;
}
