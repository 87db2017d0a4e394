// Headless displays for tests: tiny glyph sheets and palettes, a window opened through OpenDisplay, and
// frames compared with reference pictures.
#include "tests/display/support/display_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "display/display_config.h"
#include "display/display_state.h"
#include "platform/program.h"
#include "platform/window.h"
#include "state/settings.h"
#include "tests/display/support/png_writer.h"

namespace dusk::testing {

uint32_t TestPaletteColor(int index) {
  const auto i = static_cast<uint32_t>(index & 255);
  return 0xFF000000u | (i << 16) | ((255 - i) << 8) | ((i * 37) & 255);
}

void WriteTestPalette(const std::string& path, int width, int height) {
  std::vector<uint32_t> pixels;
  for (int i = 0; i < width * height; ++i) pixels.push_back(TestPaletteColor(i));
  WritePng(path, width, height, pixels);
}

void WriteTestSheets(const std::string& base, int glyph_w, int glyph_h) {
  const int width = 16 * glyph_w;
  const int height = 16 * glyph_h;
  std::vector<uint32_t> fg(static_cast<size_t>(width) * static_cast<size_t>(height), 0xFF000000u);
  std::vector<uint32_t> bg = fg;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int glyph = (y / glyph_h) * 16 + x / glyph_w;
      const bool quarter = x % glyph_w < glyph_w / 2 && y % glyph_h < glyph_h / 2;
      const size_t at = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
      if (quarter && glyph != 0) fg[at] = 0xFFFFFFFFu;
      if (!quarter) bg[at] = 0xFFFFFFFFu;
    }
  }
  WritePng(base + "_fg.png", width, height, fg);
  WritePng(base + "_bg.png", width, height, bg);
}

void OpenTestDisplay(const std::string& folder, int width_cells, int height_cells, int glyph_w, int glyph_h,
                     int scale) {
  ResetDisplay();
  settings.contrast = 0;
  settings.brightness = 0;
  WriteTestSheets(folder + "/sheet", glyph_w, glyph_h);
  WriteTestPalette(folder + "/palette.png", 16, 16);
  const std::string config = folder + "/graphics.txt";
  std::ofstream out(config);
  out << "width " << width_cells << "\nheight " << height_cells << "\ntileset " << folder
      << "/sheet.png\npallet " << folder << "/palette.png\ntitle \"Test\"\n";
  out.close();
  OpenDisplay(config, scale, kUseDefaultTitle);
}

bool OpenGameDisplay(const std::string& source_dir, int scale) {
  const std::filesystem::path graphics = std::filesystem::path(source_dir) / "game";
  if (!std::filesystem::exists(graphics / "graphics" / "graphics.txt")) return false;
  ResetDisplay();
  settings.contrast = 0;
  settings.brightness = 0;
  // The configuration names its files relative to the game folder, as the game runs there.
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(graphics);
  OpenDisplay(kDisplayConfigFile, scale, kUseDefaultTitle);
  std::filesystem::current_path(before);
  return true;
}

bool OpenGameSheetsDisplay(const std::string& folder, const std::string& source_dir, int width_cells,
                           int height_cells, int scale) {
  const std::string graphics = source_dir + "/game/graphics";
  if (!std::filesystem::exists(graphics + "/palette.png")) return false;
  ResetDisplay();
  settings.contrast = 0;
  settings.brightness = 0;
  const std::string config = folder + "/graphics.txt";
  std::ofstream out(config);
  out << "width " << width_cells << "\nheight " << height_cells << "\ntileset \"" << graphics
      << "/glyphs.png\"\npallet \"" << graphics << "/palette.png\"\n";
  out.close();
  OpenDisplay(config, scale, kUseDefaultTitle);
  return true;
}

frame ReadFrame() {
  frame f;
  f.rgb = ReadFramePixels(f.width, f.height);
  for (uint32_t& p : f.rgb) p &= 0x00FFFFFFu;
  return f;
}

void ExpectFrameMatchesReference(const std::string& reference_path) {
  ExpectFrameMatchesReference(ReadFrame(), reference_path);
}

void ExpectFrameMatchesReference(const frame& actual, const std::string& reference_path) {
  ASSERT_GT(actual.width, 0) << "no frame to compare";
  std::vector<uint32_t> opaque = actual.rgb;
  for (uint32_t& p : opaque) p |= 0xFF000000u;

  const char* update = std::getenv("DUSK_UPDATE_REFERENCES");
  if (update != nullptr && std::string(update) == "1") {
    std::filesystem::create_directories(std::filesystem::path(reference_path).parent_path());
    WritePng(reference_path, actual.width, actual.height, opaque);
    std::cout << "[ reference ] wrote " << reference_path << "\n";
    return;
  }

  const std::unique_ptr<pixel_image> expected = LoadPixels(reference_path);
  ASSERT_TRUE(expected) << "no reference picture " << reference_path
                        << " (run with DUSK_UPDATE_REFERENCES=1 to make it)";
  const std::string actual_path = std::filesystem::path(reference_path).stem().string() + ".actual.png";
  bool same_size = expected->width == actual.width && expected->height == actual.height;
  int differing = 0;
  int first_x = -1;
  int first_y = -1;
  if (same_size) {
    for (int y = 0; y < actual.height; ++y) {
      for (int x = 0; x < actual.width; ++x) {
        const auto want = static_cast<uint32_t>(ReadPixel(*expected, x, y)) & 0x00FFFFFFu;
        if (want != actual.at(x, y)) {
          if (differing == 0) {
            first_x = x;
            first_y = y;
          }
          ++differing;
        }
      }
    }
  }
  if (!same_size || differing > 0) {
    WritePng(actual_path, actual.width, actual.height, opaque);
    ADD_FAILURE() << "frame differs from " << reference_path << ": "
                  << (same_size
                          ? std::to_string(differing) + " pixels, first at (" + std::to_string(first_x) +
                                ", " + std::to_string(first_y) + ")"
                          : "size " + std::to_string(actual.width) + "x" + std::to_string(actual.height) +
                                " against " + std::to_string(expected->width) + "x" +
                                std::to_string(expected->height))
                  << "; the frame is in " << std::filesystem::absolute(actual_path).string();
  }
}

namespace {
struct fatal_error_thrown {
  std::string message;
};
void ThrowFatalError(const std::string& message) {
  throw fatal_error_thrown{message};
}
}  // namespace

std::optional<std::string> CatchFatalError(const std::function<void()>& f) {
  SetFatalErrorHandlerForTesting(ThrowFatalError);
  std::optional<std::string> caught;
  try {
    f();
  } catch (const fatal_error_thrown& error) {
    caught = error.message;
  }
  SetFatalErrorHandlerForTesting(nullptr);
  return caught;
}

}  // namespace dusk::testing
