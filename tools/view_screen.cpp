// Renders a screen file (".qtm" screen, ".slv" level image) to a PNG picture in the game's glyphs and palette,
// so authors can look at what they made.
//
//   view_screen <file.qtm|file.slv> [out.png] [--graphics <graphics.txt>]
//
// The picture goes to out.png, or beside the file with the extension ".png". The display configuration
// defaults to game/graphics/graphics.txt under the working directory, else under the source tree the tool
// was built in; the sheet and palette paths it names are taken relative to the folder above it, as the game
// does from its own folder.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "display/display_config.h"
#include "display/display_state.h"
#include "files/export_png.h"
#include "files/png_image.h"
#include "files/screen_file.h"

namespace dusk {
namespace {

constexpr const char* kUsage = "usage: view_screen <file.qtm|file.slv> [out.png] [--graphics <graphics.txt>]\n";
constexpr int kCompressionLevel = 9;

std::string FindConfig(const char* argv0) {
  namespace fs = std::filesystem;
  const fs::path relative = fs::path("game") / "graphics" / "graphics.txt";
  if (fs::exists(relative)) return relative.string();
  // The tool lives in <build>/tools/, and the build folder in the source tree.
  std::error_code error;
  const fs::path exe = fs::canonical(fs::path(argv0), error);
  if (!error) {
    for (fs::path dir = exe.parent_path(); !dir.empty() && dir != dir.root_path(); dir = dir.parent_path()) {
      if (fs::exists(dir / relative)) return (dir / relative).string();
    }
  }
  return relative.string();
}

// A path named in the configuration, taken from the game's folder.
std::string FromGameFolder(const std::string& game, std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return (std::filesystem::path(game) / path).string();
}

int Run(int argc, char** argv) {
  std::string input;
  std::string output;
  std::string config;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--graphics" && i + 1 < argc) {
      config = argv[++i];
    } else if (input.empty()) {
      input = arg;
    } else if (output.empty()) {
      output = arg;
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (input.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (output.empty()) output = std::filesystem::path(input).replace_extension(".png").string();
  if (config.empty()) config = FindConfig(argv[0]);

  std::optional<tilemap> grid = Read(input, 1, kScratchPngPath);
  if (!grid) {
    std::fprintf(stderr, "%s: not a readable screen file\n", input.c_str());
    return 1;
  }

  ReadDisplayConfig(config);
  const std::string game = std::filesystem::path(config).parent_path().parent_path().string();
  display.tilesetpath = FromGameFolder(game, display.tilesetpath);
  LoadPalette(FromGameFolder(game, display.palettepath));
  // The glyph size comes from the sheet, as when the game loads it; no window is needed for that.
  std::optional<picture> sheet = LoadPngFile(ForegroundSheetPath(display.tilesetpath), int64_t{1} << 24);
  if (!sheet) {
    std::fprintf(stderr, "%s: can't be loaded\n", ForegroundSheetPath(display.tilesetpath).c_str());
    return 1;
  }
  display.glyphwidth = static_cast<uint8_t>(sheet->width / 16);
  display.glyphheight = static_cast<uint8_t>(sheet->height / 16);

  std::optional<picture> image = ExportPNG(*grid, output, kCompressionLevel);
  if (!image || !std::filesystem::exists(output)) {
    std::fprintf(stderr, "%s: the picture can't be written\n", output.c_str());
    return 1;
  }
  std::printf("%s: %d x %d cells, %d x %d pixels\n", output.c_str(), grid->tmapw, grid->tmaph, image->width,
              image->height);
  return 0;
}

}  // namespace
}  // namespace dusk

int main(int argc, char** argv) { return dusk::Run(argc, argv); }
