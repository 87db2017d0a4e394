// Reading screen files. Every length is checked before it is read: a damaged or hostile file gets its
// message and no grid, never a read past the end.
#include <cmath>

#include "files/error_report.h"
#include "files/png_coding.h"
#include "files/screen_file.h"

namespace dusk {

namespace {

struct reader {
  stream& in;
  int showerrors;

  std::nullopt_t Fail(const std::string& message) const {
    if (showerrors != 0) ReportError(kErrorTitle, message);
    return std::nullopt;
  }

  // Up to count bytes as text, fewer when the stream ends first.
  std::string ReadText(int64_t count) const {
    std::string text;
    while (count-- > 0 && in.Remaining() > 0) text.push_back(static_cast<char>(in.ReadByte()));
    return text;
  }
};

// The cell bytes a header promises, or -1 when the size is negative or beyond what a screen may hold.
int64_t CellBytes(int32_t width, int32_t height) {
  if (width < 0 || height < 0) return -1;
  const int64_t cells = static_cast<int64_t>(width) * height;
  return cells > kMaxScreenCells ? -1 : cells * 3;
}

}  // namespace

std::optional<tilemap> ReadScreen(stream& in, int showerrors) {
  const reader r{in, showerrors};
  const std::string magic = r.ReadText(4);
  if (magic != kPlainMagic && magic != kRunLengthMagic && magic != kPngMagic) {
    return r.Fail(kUnrecognizedHeader);
  }
  if (in.Remaining() < 12) return r.Fail(kUnexpectedEnd);
  const int32_t width = in.ReadInt();
  const int32_t height = in.ReadInt();
  const int32_t stored = in.ReadInt();

  std::optional<tilemap> grid;
  if (magic == kPngMagic) {
    // The picture carries its own size; the header's is not used.
    if (in.Remaining() < 8) return r.Fail(kUnexpectedEnd);
    const double length = std::trunc(in.ReadDouble());
    if (!(length >= 0)) return r.Fail(kBadPicture);
    if (length > static_cast<double>(in.Remaining())) return r.Fail(kUnexpectedEnd);
    const auto count = static_cast<size_t>(length);
    std::vector<uint8_t> png(count);
    if (count > 0) in.ReadBytes(png.data(), count);
    grid = DecodePNGBytes(png.data(), png.size(), 0);
    if (!grid) return r.Fail(kBadPicture);
  } else {
    const int64_t n = CellBytes(width, height);
    if (n < 0) return r.Fail(kBadSize);
    if (magic == kRunLengthMagic) {
      // Every run covers at most 256 bytes: a body too short for the size is refused before allocating.
      if (n > (in.Remaining() / 2) * 256) return r.Fail(kUnexpectedEnd);
      grid = tilemap::Create(width, height);
      std::vector<uint8_t>& cells = grid->tmap;
      int64_t total = 0;
      do {
        if (in.Remaining() < 2) return r.Fail(kUnexpectedEnd);
        const int count = in.ReadByte();
        const auto value = static_cast<uint8_t>(in.ReadByte());
        // A run reaching past the cells is clipped; the writer's single run for a grid with no cells is one.
        const int64_t end = std::min<int64_t>(total + count + 1, n);
        std::fill(cells.begin() + static_cast<std::ptrdiff_t>(total), cells.begin() + static_cast<std::ptrdiff_t>(end),
                  value);
        total += count + 1;
      } while (total < n);
    } else {
      // The plain body must be followed by at least one more byte: a file ending with its last cell fails.
      if (n > 0 && in.Remaining() <= n) return r.Fail(kUnexpectedEnd);
      grid = tilemap::Create(width, height);
      if (n > 0) in.ReadBytes(grid->tmap.data(), static_cast<size_t>(n));
    }
  }

  const std::string trailer = r.ReadText(static_cast<int64_t>(kTrailer.size()));
  if (trailer != kTrailer) return r.Fail(TrailerMessage(trailer));
  if (GetChecksum(*grid) != stored && showerrors != 0) ReportError(kErrorTitle, kChecksumFailed);
  return grid;
}

std::optional<tilemap> Read(const std::string& path, int showerrors, const std::string& /*temppath*/) {
  stream_ptr in = OpenRead(path);
  if (!in) return std::nullopt;
  std::optional<tilemap> grid = ReadScreen(*in, showerrors);
  in->Close();
  return grid;
}

}  // namespace dusk
