// The save file: the player's name, options, unlocks and best scores, guarded by a checksum.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/progress.h"
#include "state/settings.h"

namespace dusk {

inline constexpr const char* kSaveFile = "save.dat";
inline constexpr const char* kTamperMessage = "The save file has been tampered with!";

enum class save_status {
  loaded,      // whole and its checksum matches
  not_a_save,  // its first field is not the marker
  truncated,   // ends inside its fields
  tampered,    // whole, but the checksum fails
};

// The 16-bit checksum over the unlock flags and best scores.
int SaveChecksum(const progress_state& progress);
// The file's bytes for these values; the name is cut to 255 characters so its length byte holds.
std::vector<uint8_t> EncodeSave(const progress_state& values, const settings_state& options);
// Reads the file's bytes into values and options; on any status but loaded they may be half changed,
// so callers decode into copies. Settings outside their ranges are brought into them.
save_status DecodeSave(const std::vector<uint8_t>& bytes, progress_state& values, settings_state& options);

// Writes the globals to path, replacing the old file in one step through path + ".temp". When that fails
// the old file stays as it was, a message goes to standard error and false is returned; the game goes on.
bool WriteSave(const std::string& path);
// Reads path into the globals. A missing file changes nothing. A damaged one (short, or without the marker)
// changes nothing, is reported on standard error and is kept as path + ".damaged", so that the next save
// doesn't destroy what may still be recovered. A checksum that fails ends the program with the tamper
// message.
void ReadSave(const std::string& path);

}  // namespace dusk
