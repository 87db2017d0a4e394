// Reading and writing the notes file of a compiled world.
#include "worlds/level_notes.h"

#include <algorithm>

#include "platform/files.h"
#include "worlds/level_source.h"
#include "worlds/world_paths.h"

namespace dusk {

std::string NotesPath(int w) {
  return WorldFolder(w) + "\\notes.txt";
}

level_notes ParseLevelNotes(std::string_view bytes) {
  level_notes notes;
  bytes = bytes.substr(0, std::min(bytes.size(), kMaxNotesBytes));
  size_t level = 0;
  for (const char c : bytes) {
    if (level == notes.size()) break;
    if (c == '\n') {
      ++level;
      continue;
    }
    std::string& note = notes[level];
    const bool printable = c >= 32 && c <= 126;
    if (printable && note.size() < kMaxNoteLength && !(c == ' ' && note.empty())) note += c;
  }
  for (std::string& note : notes) {
    while (!note.empty() && note.back() == ' ') note.pop_back();
  }
  return notes;
}

level_notes ReadLevelNotes(int w) {
  const std::string path = NotesPath(w);
  // The compiler writes a few hundred bytes at most: a bigger file is not its own, and is not loaded.
  const int64_t size = FileBytes(path);
  if (size <= 0 || size > static_cast<int64_t>(kMaxNotesBytes)) return {};
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return {};
  return ParseLevelNotes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string LevelNotesText(const std::vector<std::string>& notes) {
  std::string text;
  for (size_t i = 0; i < notes.size() && i < static_cast<size_t>(kMaxLevels); ++i) text += notes[i] + "\r\n";
  return text;
}

}  // namespace dusk
