// The file system as the game sees it: paths relative to the working directory, "\" and "/" both separators.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dusk {

// The path with every "\" turned into "/", as the operating system wants it.
std::string NativePath(const std::string& path);

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
