// Draws the game's icon from its own glyphs and palette: the player with its trail and a star as 2 x 2
// cells, or the player alone where the icon is too small for four cells. One PNG per size, pixels scaled
// by whole numbers so the glyph art stays crisp.
//
//   make_icons <graphics.txt> <output folder>
//
// writes <output folder>/<size>x<size>/apps/org.duskmarrow.Duskmarrow.png for 16, 32, 48, 64, 128 and 256
// pixels, the layout of the desktop's icon theme folders.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "display/display_config.h"
#include "display/display_state.h"
#include "files/export_png.h"
#include "files/png_image.h"

namespace dusk {
namespace {

constexpr int kCompressionLevel = 9;

// Looks as the first world draws them: glyph, foreground, background.
struct look {
  int glyph;
  int fg;
  int bg;
};
constexpr look kPlayer{2, 62, 23};
constexpr look kTrail{254, 49, 23};
constexpr look kStar{15, 21, 23};

std::string FromGameFolder(const std::string& game, std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return (std::filesystem::path(game) / path).string();
}

picture Scaled(const picture& art, int factor) {
  picture out = picture::Create(art.width * factor, art.height * factor);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) out.WritePixel(x, y, art.ReadPixel(x / factor, y / factor));
  }
  return out;
}

int Run(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: make_icons <graphics.txt> <output folder>\n", stderr);
    return 2;
  }
  const std::string config = argv[1];
  const std::filesystem::path out = argv[2];
  ReadDisplayConfig(config);
  const std::string game = std::filesystem::path(config).parent_path().parent_path().string();
  LoadPalette(FromGameFolder(game, display.palettepath));
  const std::string sheet_path = ForegroundSheetPath(FromGameFolder(game, display.tilesetpath));
  std::optional<picture> sheet = LoadPngFile(sheet_path, int64_t{1} << 24);
  if (!sheet) {
    std::fprintf(stderr, "%s: can't be loaded\n", sheet_path.c_str());
    return 1;
  }
  const int cellw = sheet->width / 16;
  const int cellh = sheet->height / 16;

  tilemap single = tilemap::Create(1, 1);
  single.SetTile(0, 0, kPlayer.glyph, kPlayer.fg, kPlayer.bg, 1);
  tilemap square = tilemap::Create(2, 2);
  square.SetTile(0, 0, kTrail.glyph, kTrail.fg, kTrail.bg, 1);
  square.SetTile(1, 0, kPlayer.glyph, kPlayer.fg, kPlayer.bg, 1);
  square.SetTile(0, 1, kTrail.glyph, kTrail.fg, kTrail.bg, 1);
  square.SetTile(1, 1, kStar.glyph, kStar.fg, kStar.bg, 1);

  std::optional<picture> one = RenderScreenshot(single, *sheet, cellw, cellh, display.palette);
  std::optional<picture> four = RenderScreenshot(square, *sheet, cellw, cellh, display.palette);
  if (!one || !four) {
    std::fputs("the icon art can't be drawn\n", stderr);
    return 1;
  }
  for (int size : {16, 32, 48, 64, 128, 256}) {
    // Four cells when they divide the size evenly, else the player alone.
    const picture& art = size % four->width == 0 && size >= four->width ? *four : *one;
    if (size % art.width != 0) {
      std::fprintf(stderr, "%d pixels is no whole multiple of the glyph art\n", size);
      return 1;
    }
    const std::filesystem::path folder = out / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "org.duskmarrow.Duskmarrow.png").string();
    if (!SavePngFile(Scaled(art, size / art.width), png_channels::rgba, kCompressionLevel, path)) {
      std::fprintf(stderr, "%s: can't be written\n", path.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace
}  // namespace dusk

int main(int argc, char** argv) { return dusk::Run(argc, argv); }
