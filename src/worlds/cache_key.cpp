// Cache keys: hashes of inputs and of the running program.
#include "worlds/cache_key.h"

#include <cstring>
#include <vector>

#include "platform/files.h"

namespace dusk {

uint64_t HashBytes(uint64_t h, const uint8_t* data, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    h = (h ^ data[i]) * 0x100000001B3ull;
  }
  return h ^ (h >> 29);
}

uint64_t ProgramKey() {
  static const uint64_t key = [] {
    std::vector<uint8_t> bytes;
    uint64_t h = 0xCBF29CE484222325ull;
    // Linux names the running program here; elsewhere the key is the inputs alone.
    if (ReadWholeFile("/proc/self/exe", bytes)) {
      // Word-wise: the program is a few megabytes.
      for (std::size_t i = 0; i + 8 <= bytes.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        h = (h ^ word) * 0x9E3779B97F4A7C15ull;
        h ^= h >> 31;
      }
      h = HashBytes(h, bytes.data() + bytes.size() / 8 * 8, bytes.size() % 8);
    }
    return h;
  }();
  return key;
}

}  // namespace dusk
