// Small PNG files made in memory for tests, in every colour type and bit depth libpng writes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace dusk::fixtures {

struct png_spec {
  int width = 0;
  int height = 0;
  int color_type = 2;  // PNG_COLOR_TYPE_*: 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
  int bit_depth = 8;
  bool interlaced = false;
  std::vector<uint16_t> samples;  // row by row, pixel by pixel, channel by channel (palette: indices)
  std::vector<std::array<uint8_t, 3>> palette;
  std::vector<uint8_t> transparency;  // tRNS: palette alphas, or for grey/RGB one colour as samples
};

// The encoded file; empty when libpng refuses the description.
std::vector<uint8_t> EncodePng(const png_spec& spec);

// An 8-bit RGB or RGBA picture from ARGB pixels.
std::vector<uint8_t> EncodeArgbPng(int width, int height, const std::vector<uint32_t>& argb, bool with_alpha);

}  // namespace dusk::fixtures
