// Writing test images as PNG files, straight through zlib, so the game's own decoder reads them back.
#include "tests/display/support/png_writer.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>

namespace dusk::testing {

namespace {

void PutBig32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>((value >> shift) & 255));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  PutBig32(out, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  PutBig32(out, static_cast<uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}

}  // namespace

void WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& argb,
              bool with_alpha) {
  ASSERT_EQ(argb.size(), static_cast<size_t>(width) * static_cast<size_t>(height));
  const int channels = with_alpha ? 4 : 3;
  std::vector<uint8_t> raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < width; ++x) {
      const uint32_t p = argb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
      raw.push_back(static_cast<uint8_t>((p >> 16) & 255));
      raw.push_back(static_cast<uint8_t>((p >> 8) & 255));
      raw.push_back(static_cast<uint8_t>(p & 255));
      if (with_alpha) raw.push_back(static_cast<uint8_t>((p >> 24) & 255));
    }
  }
  uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> packed(packed_size);
  ASSERT_EQ(compress2(packed.data(), &packed_size, raw.data(), static_cast<uLong>(raw.size()), 9), Z_OK);
  packed.resize(packed_size);

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutBig32(header, static_cast<uint32_t>(width));
  PutBig32(header, static_cast<uint32_t>(height));
  header.push_back(8);                      // bits per sample
  header.push_back(channels == 4 ? 6 : 2);  // RGBA or RGB
  header.push_back(0);
  header.push_back(0);
  header.push_back(0);
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", packed);
  PutChunk(png, "IEND", {});

  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  ASSERT_TRUE(file.good()) << "can't write " << path;
}

}  // namespace dusk::testing
