// Loading images: pixel images for reading, and cell sheets whose pixels become fully opaque or transparent.
#include <algorithm>

#include "platform/files.h"
#include "platform/png_decode.h"
#include "platform/render_state.h"

namespace dusk {

namespace {

bool LoadPng(const std::string& path, decoded_png& image) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  return DecodePng(bytes.data(), bytes.size(), image);
}

}  // namespace

void cell_sheet_deleter::operator()(cell_sheet* sheet) const {
  render_state& render = Render();
  auto found = std::find(render.sheets.begin(), render.sheets.end(), sheet);
  if (found != render.sheets.end()) {
    render.sheets.erase(found);
    // The atlas shrinks on its next use, so that reloading sheets again and again doesn't grow it.
    render.atlas_dirty = true;
  }
  delete sheet;
}

cell_sheet_ptr LoadCellSheet(const std::string& path, int cellw, int cellh, int first, int count, int maskred,
                             int maskgreen, int maskblue) {
  if (cellw <= 0 || cellh <= 0 || first < 0 || count < 0) return nullptr;
  decoded_png image;
  if (!LoadPng(path, image)) return nullptr;
  const int per_row = image.width / cellw;
  const int64_t cells = int64_t{per_row} * (image.height / cellh);
  if (int64_t{first} + count > cells) return nullptr;

  cell_sheet_ptr sheet(new cell_sheet);
  sheet->width = image.width;
  sheet->height = image.height;
  sheet->cellw = cellw;
  sheet->cellh = cellh;
  sheet->first = first;
  sheet->count = count;
  sheet->per_row = per_row;
  sheet->argb = std::move(image.argb);
  const uint32_t mask = (static_cast<uint32_t>(maskred & 255) << 16) | (static_cast<uint32_t>(maskgreen & 255) << 8) |
                        static_cast<uint32_t>(maskblue & 255);
  for (uint32_t& pixel : sheet->argb) {
    const bool opaque = image.has_alpha ? (pixel >> 24) >= 128 : (pixel & 0xFFFFFFu) != mask;
    pixel = opaque ? (pixel | 0xFF000000u) : 0u;
  }
  Render().sheets.push_back(sheet.get());
  Render().atlas_dirty = true;
  return sheet;
}

std::unique_ptr<pixel_image> LoadPixels(const std::string& path) {
  decoded_png decoded;
  if (!LoadPng(path, decoded)) return nullptr;
  auto image = std::make_unique<pixel_image>();
  image->width = decoded.width;
  image->height = decoded.height;
  image->argb = std::move(decoded.argb);
  return image;
}

int ReadPixel(const pixel_image& image, int x, int y) {
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return 0;
  return static_cast<int>(image.argb[static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)]);
}

}  // namespace dusk
