// The world compiler: transcribes world text files into world data files and copies the level files.
#include "worlds/compiler.h"

#include <algorithm>

#include "display/text_number.h"
#include "platform/files.h"
#include "platform/stream.h"
#include "state/progress.h"
#include "worlds/level_notes.h"
#include "worlds/world_paths.h"
#include "worlds/worlds_state.h"

namespace dusk {

namespace {

constexpr size_t kMaxShortText = 255;

void Log(stream* log, const std::string& line) {
  if (log) log->WriteLine(line);
}

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

// "#" lines give one byte per number, "*" lines one 16-bit value; each number ends with ":".
void TranscribeNumbers(std::string_view rest, bool wide, std::vector<uint8_t>& out) {
  size_t start = 0;
  for (size_t at = 0; at < rest.size(); ++at) {
    if (rest[at] != ':') continue;
    const auto value = static_cast<uint32_t>(TextToInt(rest.substr(start, at - start)));
    out.push_back(static_cast<uint8_t>(value));
    if (wide) out.push_back(static_cast<uint8_t>(value >> 8));
    start = at + 1;
  }
}

// The game compiles its worlds at every start, and writing a file safely means waiting for the disk; a file
// that already holds these bytes is left alone, so an unchanged world costs only reading.
bool WriteIfChanged(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> existing;
  if (ReadWholeFile(path, existing) && existing == bytes) return true;
  return WriteFileAtomically(path, bytes);
}

void CopyIfChanged(const std::string& from, const std::string& to) {
  std::vector<uint8_t> bytes;
  if (ReadWholeFile(from, bytes)) (void)WriteIfChanged(to, bytes);
}

int CompileCountedWorld(const std::string& name, int w, int numworlds, stream* log) {
  Log(log, "Compiling world: " + name);
  // The game ships without "leveldata" until the first compilation; the world folders go inside it.
  if (PathKind(kLevelDataFolder) != 2) MakeFolder(kLevelDataFolder);
  const std::string folder = WorldFolder(w);
  if (PathKind(folder) != 2) MakeFolder(folder);
  if (PathKind(ReplayFolder(w)) != 2) MakeFolder(ReplayFolder(w));

  const std::string source_path = "levels\\" + RemoveExtension(name) + ".txt";
  stream_ptr source = OpenRead(source_path);
  if (!source) {
    Log(log, "Did not compile world: Failed to open " + source_path);
    return 0;
  }
  const std::string write_failed =
      "Did not compile world: Failed to write leveldata\\" + HexDigit(w) + "w.wdt";
  if (PathKind(folder) != 2) {
    Log(log, write_failed);
    return 0;
  }

  const world_source transcribed = TranscribeWorldSource(*source);
  std::vector<uint8_t> bytes;
  bytes.reserve(transcribed.data.size() + 1);
  bytes.push_back(static_cast<uint8_t>(numworlds));
  bytes.insert(bytes.end(), transcribed.data.begin(), transcribed.data.end());
  // The data file goes first and in one step: when it can't be written, the level files stay as the last
  // run left them, so they keep matching the names, limits and high scores of the old data file.
  if (!WriteIfChanged(WorldDataPath(w), bytes)) {
    Log(log, write_failed);
    return 0;
  }

  for (size_t l = 0; l < transcribed.levels.size(); ++l) {
    const std::string level = RemoveExtension(transcribed.levels[l]) + ".qtm";
    if (l >= static_cast<size_t>(kMaxLevels)) {
      Log(log, "Failed to compile level from file levels\\" + level + ": Too many worlds!");
      continue;
    }
    const int number = static_cast<int>(l);
    const std::string target = HexDigit(w) + "-" + HexDigit(number) + ".slv";
    CopyIfChanged("levels\\" + level, folder + "\\" + target);
    Log(log, "Compiled level: " + std::to_string(number) + " from " + level + " to " + target);
  }
  // The notes only help: a world whose notes can't be written still plays.
  const std::string notes = LevelNotesText(transcribed.notes);
  (void)WriteIfChanged(NotesPath(w), std::vector<uint8_t>(notes.begin(), notes.end()));
  return 0;
}

}  // namespace

std::string_view TrimLine(std::string_view line) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
  return line;
}

std::string RemoveExtension(std::string_view name) {
  std::string result(name);
  std::replace(result.begin(), result.end(), '\\', '/');
  const size_t dot = result.find_last_of('.');
  if (dot != std::string::npos && result.find('/', dot) == std::string::npos) result.erase(dot);
  return result;
}

world_source TranscribeWorldSource(stream& in) {
  world_source out;
  std::string note;
  while (in.Remaining() > 0) {
    const std::string line = in.ReadLine();
    const std::string_view text = TrimLine(line);
    if (text.size() < 2) continue;
    const std::string_view rest = text.substr(1);
    switch (text.front()) {
      case '@': {
        // A longer text would not fit its length byte and would shift every field after it.
        const std::string_view shown = rest.substr(0, std::min(rest.size(), kMaxShortText));
        out.data.push_back(static_cast<uint8_t>(shown.size()));
        out.data.insert(out.data.end(), shown.begin(), shown.end());
        break;
      }
      case '#':
        TranscribeNumbers(rest, false, out.data);
        break;
      case '*':
        TranscribeNumbers(rest, true, out.data);
        break;
      case '!':
        out.levels.emplace_back(rest);
        out.notes.push_back(std::move(note));
        note.clear();
        break;
      case '&':
        note = std::string(rest);
        break;
      case '%':
        return out;
      default:
        break;
    }
  }
  return out;
}

int CompileWorld(const std::string& name, int w, stream* log) {
  return CompileCountedWorld(name, w, gameworlds.numworlds, log);
}

int CompileWorlds(const std::string& indexname, stream* log) {
  const std::string index_path = "levels\\" + indexname + ".txt";
  Log(log, "Compiling worlds using " + index_path + " as index file");
  stream_ptr index = OpenRead(index_path);
  if (!index) return 0;

  // Every "$" line counts, even those after "%" and past the sixteenth, so all files agree on one number.
  int count = 0;
  while (index->Remaining() > 0) {
    const std::string line = index->ReadLine();
    if (TrimLine(line).starts_with('$')) ++count;
  }
  gameworlds.numworlds = std::min(count, kMaxWorlds);

  index->Seek(0);
  int w = 0;
  while (index->Remaining() > 0) {
    const std::string line = index->ReadLine();
    const std::string_view text = TrimLine(line);
    if (text.starts_with('$')) {
      const std::string name = RemoveExtension(text.substr(1)) + ".txt";
      if (w < kMaxWorlds) {
        CompileCountedWorld(name, w, count, log);
        Log(log, "Finshed compiling world: " + std::to_string(w));
        ++w;
      } else {
        Log(log, "Failed to compile world from file levels\\" + name + ": Too many worlds!");
      }
    } else if (text.starts_with('%')) {
      break;
    }
  }
  return 0;
}

}  // namespace dusk
