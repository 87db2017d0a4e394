// Run-length coding of the cell bytes: runs of (count, value) standing for count + 1 copies, at most 256.
#include <cstdint>

#include "files/screen_file.h"

namespace dusk {

std::vector<uint8_t> RunLengthBody(const tilemap& grid) {
  const std::vector<uint8_t>& bytes = grid.tmap;
  const size_t n = bytes.size();
  std::vector<uint8_t> body;
  // A grid with no cells still gets one run, (255, 0), which the reader takes and clips.
  int prev = n > 0 ? bytes[0] : 0;
  int count = -1;
  for (size_t j = 0; j <= n; ++j) {
    if (j == n || bytes[j] != prev || count == 255) {
      body.push_back(static_cast<uint8_t>(count & 0xFF));
      body.push_back(static_cast<uint8_t>(prev));
      count = 0;
      if (j < n) prev = bytes[j];
    } else {
      ++count;
    }
  }
  return body;
}

int rlesize(const tilemap& grid) {
  // The estimate starts as if a run of zeros were open, which is why it can exceed the real size by 2.
  const std::vector<uint8_t>& bytes = grid.tmap;
  const size_t n = bytes.size();
  int prev = 0;
  int count = 0;
  int size = 0;
  for (size_t j = 0; j <= n; ++j) {
    if (j == n || bytes[j] != prev || count == 255) {
      size += 2;
      count = 0;
      if (j < n) prev = bytes[j];
    } else {
      ++count;
    }
  }
  return size;
}

int WriteRLE(const tilemap& grid, stream& out) {
  const std::vector<uint8_t> body = RunLengthBody(grid);
  out.WriteBytes(reinterpret_cast<const uint8_t*>(kRunLengthMagic.data()), kRunLengthMagic.size());
  out.WriteInt(grid.tmapw);
  out.WriteInt(grid.tmaph);
  out.WriteInt(GetChecksum(grid));
  out.WriteBytes(body.data(), body.size());
  out.WriteBytes(reinterpret_cast<const uint8_t*>(kTrailer.data()), kTrailer.size());
  return 0;
}

}  // namespace dusk
