// Decodes arbitrary bytes as PNG: a damaged or hostile picture is refused or decoded, never a crash,
// and what is decoded has exactly the pixels its size says.
#include <cstdint>
#include <cstdlib>

#include "platform/png_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  dusk::decoded_png image;
  if (dusk::DecodePng(data, size, image)) {
    const size_t pixels = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    if (image.width <= 0 || image.height <= 0 || image.argb.size() != pixels) std::abort();
    if (image.width > dusk::kMaxPngSide || image.height > dusk::kMaxPngSide) std::abort();
  } else if (!image.argb.empty()) {
    std::abort();
  }
  return 0;
}
