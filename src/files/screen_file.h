// Screen files: one grid with its size and checksum, its cells stored plain ("QDTM"), run-length coded
// ("QDTR") or as a PNG picture ("QDTP"), followed by "EOF".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "display/tilemap.h"
#include "platform/stream.h"

namespace dusk {

inline constexpr std::string_view kPlainMagic = "QDTM";
inline constexpr std::string_view kRunLengthMagic = "QDTR";
inline constexpr std::string_view kPngMagic = "QDTP";
inline constexpr std::string_view kTrailer = "EOF";

// The scratch name every caller in the game passes. The picture is coded in memory, so nothing is ever
// written under it; the parameters that take it are kept so callers read as they always have.
inline constexpr const char* kScratchPngPath = "qtm_temp_file.png";

// Grids larger than this are refused when read: no screen comes near it, and it bounds what a hostile
// header can make the reader allocate.
inline constexpr int64_t kMaxScreenCells = 4'000'000;

inline constexpr const char* kErrorTitle = "Error!";
inline constexpr const char* kUnrecognizedHeader = "Unrecognized file header!";
inline constexpr const char* kUnexpectedEnd = "Encountered unexpected end of file.";
inline constexpr const char* kChecksumFailed = "File checksum failed to verify. The image may be corrupt!";
// Not among the historic messages: a picture libpng refuses, and a header size out of range.
inline constexpr const char* kBadPicture = "Failed to decode PNG image!";
inline constexpr const char* kBadSize = "Invalid image size!";
std::string TrailerMessage(const std::string& trailer);  // "Did not encounter expected EOF, ..."

// The checksum of the cell bytes in storage order; -1048576 for a grid with no cells.
int GetChecksum(const tilemap& grid);

// The run-length body of the cell bytes, and the writer's estimate of its size (exact or 2 more).
std::vector<uint8_t> RunLengthBody(const tilemap& grid);
int rlesize(const tilemap& grid);

// Whole "QDTR" file to an open stream. Returns 0.
int WriteRLE(const tilemap& grid, stream& out);
// Whole "QDTP" file to an open stream; 1 on success, 0 when the picture can't be made.
int WritePNG(const tilemap& grid, stream& out, const std::string& temppath = kScratchPngPath);
// Byte size of the grid's PNG picture, or -1 when it can't be made (a grid with no cells).
int pngsize(const tilemap& grid, const std::string& temppath = kScratchPngPath);

// Writes the smaller of the run-length and PNG files (run-length on a tie, and whenever no picture can be
// made) after printing the size statistics. The file is replaced in one step, so a failure leaves the old
// file as it was. 1 on success, 0 on failure.
int Save(const tilemap& grid, const std::string& path);

// Reads a screen file from disk or "incbin::" + name. None when it can't be opened (silently) or is damaged
// (reported when showerrors is non-zero); a checksum mismatch is reported but the grid is still returned.
std::optional<tilemap> Read(const std::string& path, int showerrors,
                            const std::string& temppath = kScratchPngPath);
// The same over an open stream (the fuzzer's entry).
std::optional<tilemap> ReadScreen(stream& in, int showerrors);

}  // namespace dusk
