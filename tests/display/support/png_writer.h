// Writing test images as PNG files, straight through zlib, so the game's own decoder reads them back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dusk::testing {

// An 8-bit RGB image (alpha dropped), or RGBA when with_alpha is set; pixels are ARGB row by row.
void WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& argb,
              bool with_alpha = false);

}  // namespace dusk::testing
