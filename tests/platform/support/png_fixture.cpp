// Writes PNG files with libpng for test fixtures.
#include "tests/platform/support/png_fixture.h"

#include <png.h>

#include <csetjmp>

namespace dusk::fixtures {

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

int Channels(int color_type) {
  switch (color_type) {
    case PNG_COLOR_TYPE_GRAY: return 1;
    case PNG_COLOR_TYPE_PALETTE: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    default: return 4;
  }
}

bool Write(png_structp png, png_infop info, const png_spec& spec, std::vector<std::vector<png_byte>>& rows,
           std::vector<png_bytep>& row_pointers) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(spec.width), static_cast<png_uint_32>(spec.height), spec.bit_depth,
               spec.color_type, spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (const auto& entry : spec.palette) palette.push_back(png_color{entry[0], entry[1], entry[2]});
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  png_color_16 trns_colour{};
  std::vector<png_byte> trns_alpha;
  if (!spec.transparency.empty()) {
    if (spec.color_type == PNG_COLOR_TYPE_PALETTE) {
      trns_alpha.assign(spec.transparency.begin(), spec.transparency.end());
      png_set_tRNS(png, info, trns_alpha.data(), static_cast<int>(trns_alpha.size()), nullptr);
    } else {
      trns_colour.gray = spec.transparency[0];
      trns_colour.red = spec.transparency[0];
      if (spec.transparency.size() >= 3) {
        trns_colour.green = spec.transparency[1];
        trns_colour.blue = spec.transparency[2];
      }
      png_set_tRNS(png, info, nullptr, 0, &trns_colour);
    }
  }
  png_write_info(png, info);
  if (spec.bit_depth < 8) png_set_packing(png);
  const int channels = Channels(spec.color_type);
  const size_t per_row = static_cast<size_t>(spec.width) * static_cast<size_t>(channels);
  rows.assign(static_cast<size_t>(spec.height), {});
  for (int y = 0; y < spec.height; ++y) {
    auto& row = rows[static_cast<size_t>(y)];
    for (size_t i = 0; i < per_row; ++i) {
      const uint16_t sample = spec.samples[static_cast<size_t>(y) * per_row + i];
      if (spec.bit_depth == 16) {
        row.push_back(static_cast<png_byte>(sample >> 8));
        row.push_back(static_cast<png_byte>(sample & 0xFF));
      } else {
        row.push_back(static_cast<png_byte>(sample));
      }
    }
    row_pointers.push_back(row.data());
  }
  png_write_image(png, row_pointers.data());
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::vector<uint8_t> EncodePng(const png_spec& spec) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, AppendBytes, NoFlush);
  std::vector<std::vector<png_byte>> rows;
  std::vector<png_bytep> row_pointers;
  if (!Write(png, info, spec, rows, row_pointers)) out.clear();
  png_destroy_write_struct(&png, &info);
  return out;
}

std::vector<uint8_t> EncodeArgbPng(int width, int height, const std::vector<uint32_t>& argb, bool with_alpha) {
  png_spec spec;
  spec.width = width;
  spec.height = height;
  spec.color_type = with_alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB;
  for (uint32_t pixel : argb) {
    spec.samples.push_back(static_cast<uint16_t>((pixel >> 16) & 0xFF));
    spec.samples.push_back(static_cast<uint16_t>((pixel >> 8) & 0xFF));
    spec.samples.push_back(static_cast<uint16_t>(pixel & 0xFF));
    if (with_alpha) spec.samples.push_back(static_cast<uint16_t>(pixel >> 24));
  }
  return EncodePng(spec);
}

}  // namespace dusk::fixtures
