// The screen file checksum over the cell bytes in storage order.
#include <cstdint>
#include <cstdlib>

#include "files/screen_file.h"

namespace dusk {

int GetChecksum(const tilemap& grid) {
  // d stays below 2 * 65535 and c within a byte of -1048576 minus the byte sum, so 64 bits never wrap for
  // any grid we accept; the result is taken back to 32 bits as the file stores it.
  int64_t d = 0;
  int64_t c = 1048576;
  for (uint8_t b : grid.tmap) {
    d = ((d + b) % 65535) * 2;
    c = -std::llabs(c - b);
  }
  return static_cast<int32_t>(static_cast<uint32_t>(d - c));
}

}  // namespace dusk
