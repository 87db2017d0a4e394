// Feeds any bytes to the notes reader, and as a world text file to the compiler's transcription, whose
// notes must come back through the notes file unchanged where they were valid notes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/stream.h"
#include "worlds/compiler.h"
#include "worlds/level_notes.h"
#include "worlds/level_source.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckNotes(const dusk::level_notes& notes) {
  for (const std::string& note : notes) {
    Check(note.size() <= dusk::kMaxNoteLength);
    for (const char c : note) Check(c >= 32 && c <= 126);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckNotes(dusk::ParseLevelNotes(bytes));

  dusk::stream_ptr text = dusk::OpenMemory(std::vector<uint8_t>(data, data + size));
  const dusk::world_source source = dusk::TranscribeWorldSource(*text);
  Check(source.notes.size() == source.levels.size());
  const dusk::level_notes back = dusk::ParseLevelNotes(dusk::LevelNotesText(source.notes));
  CheckNotes(back);
  return 0;
}
