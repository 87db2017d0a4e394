// convert_levels <sources> <levels> [--max-seconds N] [--max-states N] [--stamp FILE] [--cache FOLDER]
// [--jobs N]: turns the level
// sources (worlds/) into the level screen files, world text files and "_WORLDINDEX.txt" of a game's levels
// folder, which the game compiles into "leveldata" at start-up. Every level is solved first: a level that
// can't be won within its allowance stops the conversion, and "auto" high scores become the best score.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "platform/files.h"
#include "worlds/level_convert.h"

namespace {

int Usage() {
  std::fprintf(
      stderr,
      "usage: convert_levels <sources folder> <levels folder> [--max-seconds N] [--max-states N] "
      "[--stamp FILE] [--cache FOLDER] [--jobs N]\n"
      "Converts <sources folder>/worlds.txt and its worlds into <levels folder>. With --cache, solutions\n"
      "are kept in FOLDER and only changed levels are solved again; --jobs solves N levels at once\n"
      "(default: one per processor).\n");
  return 2;
}

// Files an earlier conversion wrote that this one no longer makes would be compiled by nobody, but would
// confuse whoever looks in the folder.
void RemoveStale(const std::string& folder, const std::vector<dusk::output_file>& files) {
  std::set<std::string> made;
  for (const auto& f : files) made.insert(f.name);
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
    const std::string name = entry.path().filename().string();
    const std::string ext = entry.path().extension().string();
    if ((ext == ".qtm" || ext == ".txt") && made.count(name) == 0)
      std::filesystem::remove(entry.path(), ignored);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string sources;
  std::string levels;
  std::string stamp;
  dusk::convert_options options;
  options.threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasvalue = i + 1 < argc;
    if (arg == "--max-seconds" && hasvalue) {
      options.max_seconds = std::atof(argv[++i]);
    } else if (arg == "--max-states" && hasvalue) {
      options.max_states = static_cast<std::size_t>(std::atoll(argv[++i]));
    } else if (arg == "--stamp" && hasvalue) {
      stamp = argv[++i];
    } else if (arg == "--cache" && hasvalue) {
      options.cachefolder = argv[++i];
    } else if (arg == "--jobs" && hasvalue) {
      options.threads = std::atoi(argv[++i]);
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage();
    } else if (sources.empty()) {
      sources = arg;
    } else if (levels.empty()) {
      levels = arg;
    } else {
      return Usage();
    }
  }
  if (levels.empty() || options.max_seconds <= 0 || options.max_states == 0 || options.threads < 1 ||
      options.threads > 64)
    return Usage();

  const dusk::conversion result = dusk::ConvertWorlds(sources, options);
  for (const auto& world : result.worlds) {
    for (const auto& level : world.levels) std::printf("%s\n", dusk::LevelSummary(level).c_str());
  }
  for (const std::string& error : result.errors) std::fprintf(stderr, "%s\n", error.c_str());
  if (!result.errors.empty()) {
    std::fprintf(stderr, "convert_levels: %zu error(s); nothing written\n", result.errors.size());
    return 1;
  }
  if (!dusk::WriteConversion(result, levels)) {
    std::fprintf(stderr, "convert_levels: can't write into %s\n", levels.c_str());
    return 1;
  }
  RemoveStale(dusk::NativePath(levels), dusk::ConversionFiles(result));
  if (!stamp.empty() && !dusk::WriteFileAtomically(stamp, {'o', 'k', '\n'})) {
    std::fprintf(stderr, "convert_levels: can't write %s\n", stamp.c_str());
    return 1;
  }
  return 0;
}
