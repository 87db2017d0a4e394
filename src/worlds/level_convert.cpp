// Converting level sources: parse, cross-check the image against the level, solve, then lay out the files.
#include "worlds/level_convert.h"

#include <cstdio>

#include "files/screen_file.h"
#include "platform/files.h"
#include "platform/stream.h"
#include "worlds/build_level.h"

namespace dusk {

namespace {

constexpr int kMaxWorlds = 16;

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
    std::string line = text.substr(start, end - start);
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

void ConvertLevel(const std::string& path, const std::string& worldfolder, const convert_options& options,
                  converted_world& world, std::vector<std::string>& errors) {
  source_error error;
  std::optional<level_source> parsed = ReadLevelSource(path, error);
  if (!parsed) {
    errors.push_back(error.text());
    return;
  }
  converted_level out;
  out.source = path;
  out.image = LevelImage(*parsed);
  const level direct = BuildSourceLevel(*parsed);
  // The game builds the level from the image: it must be exactly the level the source describes.
  const std::optional<level> built = BuildLevelFromImage(out.image);
  if (!built || !(*built == direct)) {
    errors.push_back(path + ": the level image does not build the level the source describes");
    return;
  }
  solver_limits limits;
  limits.max_seconds = options.max_seconds;
  limits.max_states = options.max_states;
  out.solution = Solve(direct, parsed->moves, limits);
  const std::string allowance = std::to_string(parsed->moves);
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
      if (!parsed->highscore) {
        errors.push_back(path + ": the best score can't be proven within the solver's budget (" +
                         out.solution.limit + " ran out; best found " + std::to_string(out.solution.score) +
                         "); give the high score by hand");
        return;
      }
      break;
    case solve_status::solved:
      break;
  }
  out.highscore = parsed->highscore.value_or(out.solution.score);
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
  out.screenfile = worldfolder + "_" + stem + ".qtm";
  out.parsed = std::move(*parsed);
  world.levels.push_back(std::move(out));
}

}  // namespace

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
  for (listed_world& listed : ListWorlds(sourcesfolder)) {
    if (!listed.world) {
      result.errors.push_back(listed.error);
      continue;
    }
    converted_world out;
    out.folder = listed.folder;
    for (const std::string& level : listed.world->levels) {
      ConvertLevel(LevelSourcePath(listed, level), listed.folder, options, out, result.errors);
    }
    out.world = std::move(*listed.world);
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
      levels.push_back({l.parsed.name, l.parsed.moves, l.highscore, l.screenfile});
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
