// PNG decoding shared by pixel images and cell sheets; every colour type comes out as 8-bit ARGB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dusk {

struct decoded_png {
  int width = 0;
  int height = 0;
  bool has_alpha = false;  // an alpha channel or a transparency chunk
  std::vector<uint32_t> argb;
};

// Limits that keep a hostile header from asking for an unbounded allocation.
inline constexpr int kMaxPngSide = 16384;
inline constexpr int64_t kMaxPngPixels = int64_t{1} << 26;

// False when the bytes are not a complete, valid PNG within the limits.
[[nodiscard]] bool DecodePng(const uint8_t* data, size_t size, decoded_png& out);

}  // namespace dusk
