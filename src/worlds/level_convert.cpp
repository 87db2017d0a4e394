// Converting level sources: parse, cross-check the image against the level, solve, then lay out the files.
#include "worlds/level_convert.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <thread>

#include "files/screen_file.h"
#include "platform/files.h"
#include "platform/stream.h"
#include "worlds/build_level.h"
#include "worlds/cache_key.h"
#include "worlds/world_looks.h"

namespace dusk {

namespace {

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/' || folder.back() == '\\') return folder + name;
  return folder + "/" + name;
}

std::string Stem(const std::string& name) {
  const size_t slash = name.find_last_of("/\\");
  const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
  const size_t dot = base.rfind('.');
  return dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
}

// Output names are built from folder and file names, and the world compiler reads them back from text
// lines: keep them to characters every file system and the compiler's trimming leave alone.
bool PlainName(const std::string& name) {
  if (name.empty()) return false;
  for (const char c : name) {
    const bool ok =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    if (!ok) return false;
  }
  return true;
}

std::vector<std::pair<int, std::string>> WorldList(const std::string& text) {
  std::vector<std::pair<int, std::string>> list;
  int number = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    ++number;
    start = end + 1;
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) continue;
    const size_t last = line.find_last_not_of(" \t\r");
    line = line.substr(first, last - first + 1);
    if (line[0] == ';') continue;
    list.emplace_back(number, line);
  }
  return list;
}

// One level on its way through the conversion: read and checked, then solved (perhaps by another thread, or
// from the cache), then checked against its solution.
struct level_job {
  std::string path;
  std::string worldfolder;
  std::string error;  // set when reading or checking failed: the job ends there
  std::optional<level_source> parsed;
  std::optional<level> direct;
  tilemap image;
  uint64_t key = 0;  // the cache key: what the solution depends on
  solve_result solution;
};

void PrepareLevel(level_job& job, const convert_options& options) {
  source_error error;
  std::vector<uint8_t> bytes;
  job.parsed = ReadLevelSource(job.path, error);
  if (!job.parsed) {
    job.error = error.text();
    return;
  }
  job.image = LevelImage(*job.parsed);
  job.direct = BuildSourceLevel(*job.parsed);
  // The game builds the level from the image: it must be exactly the level the source describes.
  const std::optional<level> built = BuildLevelFromImage(job.image);
  if (!built || !(*built == *job.direct)) {
    job.error = job.path + ": the level image does not build the level the source describes";
    return;
  }
  // Each pair of pads and each key shows in a colour of its own, and a world has eight of each.
  const level_marks marks = MarkLevel(*job.direct);
  if (marks.pairs > kind::kMarkColors || marks.keycount > kind::kMarkColors) {
    const bool pairs = marks.pairs > kind::kMarkColors;
    job.error = job.path + ": the level has " + std::to_string(pairs ? marks.pairs : marks.keycount) +
                (pairs ? " teleporter pairs" : " door keys") + "; the screen tells at most " +
                std::to_string(kind::kMarkColors) + " apart";
    return;
  }
  if (options.cachefolder.empty()) return;
  if (!ReadWholeFile(job.path, bytes)) bytes.clear();
  const std::string budget = std::to_string(options.max_seconds) + "/" + std::to_string(options.max_states);
  uint64_t h = HashBytes(ProgramKey(), bytes.data(), bytes.size());
  job.key = HashBytes(h, reinterpret_cast<const uint8_t*>(budget.data()), budget.size());
}

std::string CachePath(const std::string& folder, uint64_t key) {
  char name[32];
  std::snprintf(name, sizeof name, "%016llx.solution", static_cast<unsigned long long>(key));
  return Join(folder, name);
}

// A cached solution: "status N", "steps DIGITS", "states N", "seconds X", "limit WORD", one a line. A file
// that doesn't read back whole is ignored and the level solved again.
std::string CacheText(const solve_result& r) {
  char line[128];
  std::snprintf(line, sizeof line, "seconds %.6f\n", r.seconds);
  return "status " + std::to_string(static_cast<int>(r.status)) + "\nsteps " + StepDigits(r.steps) +
         "\nstates " + std::to_string(r.states) + "\n" + line + "limit " + r.limit + "\n";
}

std::optional<solve_result> ReadCache(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes) || bytes.size() > 1 << 20) return std::nullopt;
  return ParseCachedSolution(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void SolveLevel(level_job& job, const convert_options& options) {
  if (!job.error.empty()) return;
  const std::string cached = options.cachefolder.empty() ? "" : CachePath(options.cachefolder, job.key);
  if (!cached.empty()) {
    if (std::optional<solve_result> r = ReadCache(cached)) {
      // A stored solution must still win the level: a damaged cache never lets a wrong one through.
      const bool claimswin = r->status == solve_status::solved || r->status == solve_status::best_found;
      if (!claimswin || ReplaySteps(*job.direct, job.parsed->moves, r->steps).state == play_state::won) {
        r->moves = static_cast<int>(r->steps.size());
        r->score = claimswin ? 9 * job.direct->totalstars - r->moves : 0;
        job.solution = std::move(*r);
        return;
      }
    }
  }
  solver_limits limits;
  limits.max_seconds = options.max_seconds;
  limits.max_states = options.max_states;
  job.solution = Solve(*job.direct, job.parsed->moves, limits);
  // A search cut short by the clock says more about the machine's load than about the level: the next
  // conversion tries again rather than keep the shortfall.
  if (!cached.empty() && job.solution.limit != "time") {
    const std::string text = CacheText(job.solution);
    if (!WriteFileAtomically(cached, std::vector<uint8_t>(text.begin(), text.end()))) {
      // The cache only saves time: a conversion that can't write it still converts.
    }
  }
}

// Solves every job, on up to options.threads threads.
void SolveLevels(std::vector<level_job*>& jobs, const convert_options& options) {
  if (!options.cachefolder.empty() && PathKind(options.cachefolder) != 2) MakeFolder(options.cachefolder);
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t i = next++; i < jobs.size(); i = next++) SolveLevel(*jobs[i], options);
  };
  const int threads = std::clamp(options.threads, 1, 64);
  std::vector<std::thread> helpers;
  for (int t = 1; t < threads && static_cast<std::size_t>(t) < jobs.size(); ++t) helpers.emplace_back(work);
  work();
  for (std::thread& t : helpers) t.join();
}

void FinishLevel(level_job& job, converted_world& world, std::vector<std::string>& errors) {
  if (!job.error.empty()) {
    errors.push_back(job.error);
    return;
  }
  const std::string& path = job.path;
  converted_level out;
  out.source = path;
  out.image = std::move(job.image);
  out.solution = std::move(job.solution);
  const level_source& parsed = *job.parsed;
  const std::string allowance = std::to_string(parsed.moves);
  switch (out.solution.status) {
    case solve_status::unsolvable:
      errors.push_back(path + ": no solution within the allowance of " + allowance + " moves");
      return;
    case solve_status::gave_up:
      errors.push_back(path + ": the solver found no solution within its budget (" + out.solution.limit +
                       " ran out); give it more time or states, or make the level smaller");
      return;
    case solve_status::no_player:
      errors.push_back(path + ": the level has no player");
      return;
    case solve_status::best_found:
      if (!parsed.highscore) {
        errors.push_back(path + ": the best score can't be proven within the solver's budget (" +
                         out.solution.limit + " ran out; best found " + std::to_string(out.solution.score) +
                         "); give the high score by hand");
        return;
      }
      break;
    case solve_status::solved:
      break;
  }
  out.highscore = parsed.highscore.value_or(out.solution.score);
  if (out.solution.status == solve_status::solved && out.highscore > out.solution.score) {
    errors.push_back(path + ": the high score " + std::to_string(out.highscore) +
                     " is above the best possible score " + std::to_string(out.solution.score));
    return;
  }
  if (out.highscore < 0) {
    errors.push_back(path + ": the best score " + std::to_string(out.highscore) +
                     " is negative; a high score is 0 or more");
    return;
  }
  const std::string stem = Stem(path);
  if (!PlainName(stem)) {
    errors.push_back(path + ": level file names are letters, digits, '-' and '_' before the extension");
    return;
  }
  out.screenfile = job.worldfolder + "_" + stem + ".qtm";
  out.parsed = std::move(*job.parsed);
  world.levels.push_back(std::move(out));
}

}  // namespace

std::optional<solve_result> ParseCachedSolution(std::string_view text) {
  solve_result r;
  unsigned seen = 0;  // each field once
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) return std::nullopt;  // cut short
    std::string line(text.substr(start, end - start));
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t space = line.find(' ');
    const std::string name = line.substr(0, space);
    const std::string value = space == std::string::npos ? std::string() : line.substr(space + 1);
    static constexpr const char* names[5] = {"status", "steps", "states", "seconds", "limit"};
    unsigned field = 0;
    while (field < 5 && name != names[field]) ++field;
    if (field == 5 || (seen >> field & 1) != 0) return std::nullopt;
    seen |= 1u << field;
    if (name == "status") {
      const int v = std::atoi(value.c_str());
      if (v < 0 || v > static_cast<int>(solve_status::no_player)) return std::nullopt;
      r.status = static_cast<solve_status>(v);
    } else if (name == "steps") {
      for (const char c : value) {
        if (c < '0' || c > '3') return std::nullopt;
        r.steps.push_back(static_cast<uint8_t>(c - '0'));
      }
    } else if (name == "states") {
      r.states = static_cast<std::size_t>(std::strtoull(value.c_str(), nullptr, 10));
    } else if (name == "seconds") {
      r.seconds = std::atof(value.c_str());
    } else {
      r.limit = value;
    }
  }
  if (seen != 31) return std::nullopt;
  return r;
}

std::vector<listed_world> ListWorlds(const std::string& sourcesfolder) {
  std::vector<listed_world> worlds;
  const std::string listpath = Join(sourcesfolder, "worlds.txt");
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(listpath, bytes)) {
    worlds.push_back({"", "", std::nullopt, listpath + ": can't read the file"});
    return worlds;
  }
  const auto list = WorldList(std::string(bytes.begin(), bytes.end()));
  if (list.empty()) worlds.push_back({"", "", std::nullopt, listpath + ": lists no worlds"});
  int count = 0;
  for (const auto& [line, folder] : list) {
    const std::string where = listpath + ":" + std::to_string(line) + ":1: ";
    if (count == kMaxWorlds) {
      worlds.push_back({folder, "", std::nullopt, where + "too many worlds: the game holds at most 16"});
      break;
    }
    if (!PlainName(folder)) {
      worlds.push_back(
          {folder, "", std::nullopt, where + "a world folder name is letters, digits, '-' and '_'"});
      continue;
    }
    listed_world out;
    out.folder = folder;
    out.path = Join(sourcesfolder, folder);
    source_error error;
    out.world = ReadWorldFile(Join(out.path, "world.txt"), error);
    if (!out.world) out.error = error.text();
    if (out.world) ++count;
    worlds.push_back(std::move(out));
  }
  return worlds;
}

std::string LevelSourcePath(const listed_world& world, const std::string& level) {
  return Join(world.path, level);
}

conversion ConvertWorlds(const std::string& sourcesfolder, const convert_options& options) {
  conversion result;
  // Read everything first, solve every level (in parallel), then check and gather in world order, so the
  // errors come in the same order whatever the threads do.
  std::vector<listed_world> listed = ListWorlds(sourcesfolder);
  std::vector<std::vector<level_job>> jobs(listed.size());
  std::vector<level_job*> all;
  for (std::size_t w = 0; w < listed.size(); ++w) {
    if (!listed[w].world) continue;
    for (const std::string& file : listed[w].world->levels) {
      level_job job;
      job.path = LevelSourcePath(listed[w], file);
      job.worldfolder = listed[w].folder;
      jobs[w].push_back(std::move(job));
    }
    for (level_job& job : jobs[w]) {
      PrepareLevel(job, options);
      all.push_back(&job);
    }
  }
  SolveLevels(all, options);
  for (std::size_t w = 0; w < listed.size(); ++w) {
    if (!listed[w].world) {
      result.errors.push_back(listed[w].error);
      continue;
    }
    converted_world out;
    out.folder = listed[w].folder;
    for (level_job& job : jobs[w]) FinishLevel(job, out, result.errors);
    out.world = std::move(*listed[w].world);
    result.worlds.push_back(std::move(out));
  }
  return result;
}

std::vector<output_file> ConversionFiles(const conversion& result) {
  std::vector<output_file> files;
  std::string index = "; Made by convert_levels from the level sources; edit those, not this.\r\n";
  for (const converted_world& world : result.worlds) {
    std::vector<compiled_level> levels;
    for (const converted_level& l : world.levels) {
      levels.push_back({l.parsed.name, l.parsed.moves, l.highscore, l.screenfile, l.parsed.note});
      auto out = OpenMemoryWrite();
      WriteRLE(l.image, *out);
      files.push_back({l.screenfile, out->TakeBytes()});
    }
    const std::string text = WorldText(world.world, levels);
    files.push_back({world.folder + ".txt", std::vector<uint8_t>(text.begin(), text.end())});
    index += "$" + world.folder + ".txt\r\n";
  }
  index += "%\r\n";
  files.push_back({"_WORLDINDEX.txt", std::vector<uint8_t>(index.begin(), index.end())});
  return files;
}

bool WriteConversion(const conversion& result, const std::string& levelsfolder) {
  if (PathKind(levelsfolder) != 2) MakeFolder(levelsfolder);
  bool ok = PathKind(levelsfolder) == 2;
  for (const output_file& file : ConversionFiles(result)) {
    if (!ok) break;
    const std::string path = Join(levelsfolder, file.name);
    std::vector<uint8_t> old;
    // Files that haven't changed keep their time stamps.
    if (ReadWholeFile(path, old) && old == file.bytes) continue;
    ok = WriteFileAtomically(path, file.bytes);
  }
  return ok;
}

std::string LevelSummary(const converted_level& level) {
  const solve_result& s = level.solution;
  char line[512];
  std::snprintf(line, sizeof line,
                "%s: \"%s\" %d stars, best %d moves of %d, score %d%s, high score %d; %zu states, %.3f s",
                level.source.c_str(), level.parsed.name.c_str(), level.parsed.stars, s.moves,
                level.parsed.moves, s.score,
                s.status == solve_status::solved ? " (proven best)" : " (best found, not proven)",
                level.highscore, s.states, s.seconds);
  return line;
}

}  // namespace dusk
