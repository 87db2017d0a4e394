// Cells to pixels and back. Encoder and decoder make the same random draws in the same order, so a scrambled
// picture decodes to the grid that was encoded.
#include "files/png_coding.h"

#include <cmath>
#include <iterator>
#include <limits>
#include <numbers>

#include "files/screen_file.h"
#include "platform/files.h"
#include "platform/random.h"

namespace dusk {

namespace {

constexpr int kPngLevel = 9;
constexpr double kDegrees = 180.0 / std::numbers::pi;

// A real to integer conversion that turns what has no integer value (NaN, out of range) into the lowest
// integer, as the generator's seed expects.
int TruncateOrLowest(double value) {
  if (!(value > static_cast<double>(std::numeric_limits<int>::min()) - 1.0 &&
        value < static_cast<double>(std::numeric_limits<int>::max()) + 1.0)) {
    return std::numeric_limits<int>::min();
  }
  return static_cast<int>(value);
}

// w times the arc cosine of h in degrees: 0 for one row, undefined (so the start state) for more.
void SeedForSize(int w, int h) {
  SeedRandom(TruncateOrLowest(static_cast<double>(w) * std::acos(static_cast<double>(h)) * kDegrees));
}

// The rotation of a position's channels. Positions past 1 have no arc sine or cosine; they take the full
// range of rotations instead, which keeps every remainder non-negative and the coding reversible.
int RotationBound(const vector& v) {
  const double t = (std::asin(static_cast<double>(v.x)) + std::acos(static_cast<double>(v.y))) * kDegrees;
  if (std::isnan(t)) return 2;
  return static_cast<int>(t);
}

// Visits the pixel positions in list order: down each column, or shuffled when scrambling. The unshuffled
// order is walked without building the list, which would cost a node per cell.
template <typename visit>
void ForEachPosition(int w, int h, int scramble, visit&& f) {
  if (scramble == 0) {
    for (int x = 0; x < w; ++x) {
      for (int y = 0; y < h; ++y) f(vector::Create(x, y, 0));
    }
    return;
  }
  std::list<vector> list = createvectorlist(w, h);
  mixvectorlist(list);
  for (const vector& v : list) f(v);
}

uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return 0xFF000000u | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | b;
}

}  // namespace

std::list<vector> createvectorlist(int w, int h) {
  std::list<vector> list;
  for (int x = 0; x < w; ++x) {
    for (int y = 0; y < h; ++y) list.push_back(vector::Create(x, y, 0));
  }
  return list;
}

int mixvectorlist(std::list<vector>& list) {
  const int passes = RandomInt(4, 17);
  const int p = RandomInt(4, 17);
  for (int pass = 0; pass <= passes; ++pass) {
    // A position sent to the back is met again later in the same walk; the walk ends at the first
    // position that stays where it is once nothing follows it.
    auto it = list.begin();
    while (it != list.end()) {
      if (RandomInt(0, p) != 0) {
        auto next = std::next(it);
        list.splice(list.end(), list, it);
        it = next == list.end() ? it : next;
      } else {
        ++it;
      }
    }
  }
  return 0;
}

picture EncodePicture(const tilemap& grid, int scramble) {
  picture image = picture::Create(grid.tmapw, grid.tmaph);
  SeedForSize(grid.tmapw, grid.tmaph);
  int k = 0;
  ForEachPosition(grid.tmapw, grid.tmaph, scramble, [&](const vector& v) {
    uint8_t c = 0;
    uint8_t f = 0;
    uint8_t b = 0;
    grid.GrabTile(k % grid.tmapw, k / grid.tmapw, c, f, b);
    const int r = RandomInt(0, RotationBound(v)) * scramble;
    if (RandomInt(0, 45) == 0 && scramble != 0) {
      c = static_cast<uint8_t>(c + RandomInt(0, 255));
      f = static_cast<uint8_t>(f + RandomInt(0, 255));
      b = static_cast<uint8_t>(b + RandomInt(0, 255));
    }
    uint32_t pixel = Rgb(0, 0, 0);
    switch (r % 3) {
      case 0: pixel = Rgb(c, f, b); break;
      case 1: pixel = Rgb(f, b, c); break;
      case 2: pixel = Rgb(b, c, f); break;
      default: break;  // a negative remainder leaves the pixel black
    }
    image.WritePixel(v.x, v.y, pixel);
    ++k;
  });
  return image;
}

tilemap DecodePicture(const picture& image, int scramble) {
  tilemap grid = tilemap::Create(image.width, image.height);
  SeedForSize(image.width, image.height);
  int k = 0;
  ForEachPosition(image.width, image.height, scramble, [&](const vector& v) {
    const uint32_t pixel = image.ReadPixel(v.x, v.y);
    const auto red = static_cast<uint8_t>(pixel >> 16);
    const auto green = static_cast<uint8_t>(pixel >> 8);
    const auto blue = static_cast<uint8_t>(pixel);
    uint8_t c = 0;
    uint8_t f = 0;
    uint8_t b = 0;
    const int r = RandomInt(0, RotationBound(v)) * scramble;
    switch (r % 3) {
      case 0: c = red, f = green, b = blue; break;
      case 1: f = red, b = green, c = blue; break;
      case 2: b = red, c = green, f = blue; break;
      default: break;
    }
    if (RandomInt(0, 45) == 0 && scramble != 0) {
      c = static_cast<uint8_t>(c - RandomInt(0, 255));
      f = static_cast<uint8_t>(f - RandomInt(0, 255));
      b = static_cast<uint8_t>(b - RandomInt(0, 255));
    }
    // Without force a byte of 255 is not stored, so that plane of the cell keeps its 0.
    grid.SetTile(k % image.width, k / image.width, c, f, b, 0);
    ++k;
  });
  return grid;
}

std::optional<std::vector<uint8_t>> EncodePNGBytes(const tilemap& grid, int scramble) {
  return SavePngBytes(EncodePicture(grid, scramble), png_channels::rgb, kPngLevel);
}

std::optional<tilemap> DecodePNGBytes(const uint8_t* data, size_t size, int scramble) {
  std::optional<picture> image = LoadPngBytes(data, size, kMaxScreenCells);
  if (!image) return std::nullopt;
  return DecodePicture(*image, scramble);
}

picture EncodePNG(const tilemap& grid, const std::string& path, int scramble) {
  picture image = EncodePicture(grid, scramble);
  // A picture that can't be saved leaves no file at path, which is how callers learn of it.
  if (!SavePngFile(image, png_channels::rgb, kPngLevel, path)) RemoveFile(path);
  return image;
}

std::optional<tilemap> DecodePNG(const std::string& path, int scramble) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return std::nullopt;
  return DecodePNGBytes(bytes.data(), bytes.size(), scramble);
}

}  // namespace dusk
