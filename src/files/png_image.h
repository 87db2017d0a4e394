// In-memory pictures of 32-bit ARGB pixels and their PNG form, through libpng. Every libpng error is caught
// and turned into "none"; nothing a damaged picture holds can end the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dusk {

struct picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // ARGB (alpha in the top byte), row by row from the top

  static picture Create(int w, int h);  // every pixel 0, transparent black
  uint32_t ReadPixel(int x, int y) const { return pixels[Index(x, y)]; }
  void WritePixel(int x, int y, uint32_t argb) { pixels[Index(x, y)] = argb; }

 private:
  size_t Index(int x, int y) const {
    return static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
  }
};

enum class png_channels { rgb, rgba };

// PNG bytes: 8 bits per channel, no interlacing, exactly the chunks IHDR, IDAT and IEND. level is the zlib
// compression level, 0 to 9. None for a picture with no pixels.
std::optional<std::vector<uint8_t>> SavePngBytes(const picture& image, png_channels channels, int level);
[[nodiscard]] bool SavePngFile(const picture& image, png_channels channels, int level, const std::string& path);

// Any PNG libpng can read, expanded to 8-bit ARGB; pictures without alpha come out opaque. None when the
// bytes are not a whole readable PNG or hold more than max_pixels pixels.
std::optional<picture> LoadPngBytes(const uint8_t* data, size_t size, int64_t max_pixels);
std::optional<picture> LoadPngFile(const std::string& path, int64_t max_pixels);

}  // namespace dusk
