// The file system as the game sees it: paths relative to the working directory, "\" and "/" both separators.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dusk {

// The path with every "\" turned into "/", as the operating system wants it.
std::string NativePath(const std::string& path);

// Folders the game also reads from, in order, after its working folder. An installed game keeps its
// read-only data there and works in the player's own folder, so every file name the game uses stays the
// same. Only reading looks there: writing, removing and making folders stay in the working folder.
void SetDataFolders(std::vector<std::string> folders);
// Names the game writes for itself (its save file, its compiled worlds and replays): a path that is one of
// them or lies under one is read from the working folder only, so a fresh working folder starts fresh even
// when a data folder holds such files (a source tree's game folder does).
void SetWorkingOnlyNames(std::vector<std::string> names);
// Where a relative path is read from: the working folder's entry when there is one, else the first data
// folder that has it, else the working folder's (which then doesn't exist). In the system's form.
std::string ReadablePath(const std::string& path);

int PathKind(const std::string& path);  // 0 nothing there, 1 a file, 2 a folder
int64_t FileBytes(const std::string& path);  // -1 when there is no such file
int RemoveFile(const std::string& path);     // 1 when the file is gone afterwards
void CopyFileTo(const std::string& from, const std::string& to);
void MakeFolder(const std::string& path);

// Reads a whole file (or embedded file); false when it can't be read.
[[nodiscard]] bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out);
// Replaces a file in one atomic step: the bytes go to path + ".temp", are flushed to the disk and renamed
// over path. On any failure the old file is untouched, the temporary file removed, and false returned.
[[nodiscard]] bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace dusk
