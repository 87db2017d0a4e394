// Level notes: the one-sentence idea each level teaches, kept beside a compiled world in
// "leveldata\world X\notes.txt", one line per level in level order (line 1 is level 0). The world data file
// keeps its layout, so worlds compiled before notes existed still load, and simply have none.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "state/progress.h"

namespace dusk {

using level_notes = std::array<std::string, kMaxLevels>;

// A notes file bigger than this is not one the compiler wrote, and is ignored.
inline constexpr size_t kMaxNotesBytes = 4096;

std::string NotesPath(int w);  // leveldata\world X(w)\notes.txt

// The notes of a file's bytes (only the first kMaxNotesBytes count). Whatever the bytes, the result is at most 16 notes of at most 40
// printable characters each: other characters are dropped and longer notes cut.
level_notes ParseLevelNotes(std::string_view bytes);
// The notes of world w; all empty when it has no notes file.
level_notes ReadLevelNotes(int w);
// The file the compiler writes for notes in level order.
std::string LevelNotesText(const std::vector<std::string>& notes);

}  // namespace dusk
