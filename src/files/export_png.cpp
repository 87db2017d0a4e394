// Screenshots of grids, cell by cell and glyph pixel by glyph pixel.
#include "files/export_png.h"

#include <algorithm>

#include "display/display_state.h"

namespace dusk {

namespace {

// A screenshot of more pixels than this is refused: no screen of the game comes near it.
constexpr int64_t kMaxScreenshotPixels = int64_t{1} << 26;
// The glyph sheet is small, but a damaged one must not take unbounded memory either.
constexpr int64_t kMaxSheetPixels = int64_t{1} << 24;
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;

}  // namespace

std::string ForegroundSheetPath(const std::string& tilesetpath) {
  std::string base = tilesetpath;
  std::replace(base.begin(), base.end(), '\\', '/');
  const size_t dot = base.rfind('.');
  if (dot != std::string::npos && base.find('/', dot) == std::string::npos) base.erase(dot);
  return base + "_fg.png";
}

std::optional<picture> RenderScreenshot(const tilemap& grid, const picture& fgsheet, int glyphwidth,
                                        int glyphheight, const std::array<uint8_t, 768>& palette) {
  const int64_t width = static_cast<int64_t>(grid.tmapw) * glyphwidth;
  const int64_t height = static_cast<int64_t>(grid.tmaph) * glyphheight;
  if (width <= 0 || height <= 0 || width * height > kMaxScreenshotPixels) return std::nullopt;
  picture image = picture::Create(static_cast<int>(width), static_cast<int>(height));
  for (int x = 0; x < grid.tmapw; ++x) {
    for (int y = 0; y < grid.tmaph; ++y) {
      const int c = grid.at(0, x, y);
      const int f = grid.at(1, x, y);
      const int b = grid.at(2, x, y);
      const int sheetx = (c % 16) * glyphwidth;
      const int sheety = (c / 16) * glyphheight;
      for (int i = 0; i < glyphwidth; ++i) {
        for (int j = 0; j < glyphheight; ++j) {
          const int sx = sheetx + i;
          const int sy = sheety + j;
          // A sheet too small for its glyph grid shows the missing pixels as background.
          const bool foreground = sx < fgsheet.width && sy < fgsheet.height &&
                                  fgsheet.ReadPixel(sx, sy) == kOpaqueWhite;
          const int index = foreground ? f : b;
          if (index == kNoValue) continue;
          const uint32_t argb = 0xFF000000u | static_cast<uint32_t>(palette[static_cast<size_t>(index)]) << 16 |
                                static_cast<uint32_t>(palette[static_cast<size_t>(256 + index)]) << 8 |
                                palette[static_cast<size_t>(512 + index)];
          image.WritePixel(x * glyphwidth + i, y * glyphheight + j, argb);
        }
      }
    }
  }
  return image;
}

std::optional<picture> ExportPNG(const tilemap& grid, const std::string& path, int level) {
  std::optional<picture> sheet = LoadPngFile(ForegroundSheetPath(display.tilesetpath), kMaxSheetPixels);
  if (!sheet) return std::nullopt;
  std::optional<picture> image =
      RenderScreenshot(grid, *sheet, display.glyphwidth, display.glyphheight, display.palette);
  // The caller gets the picture even when the file can't be written; it finds no file at path then.
  if (image) static_cast<void>(SavePngFile(*image, png_channels::rgba, level, path));
  return image;
}

}  // namespace dusk
