// Headless displays for tests: tiny glyph sheets and palettes, a window opened through OpenDisplay, and
// frames compared with reference pictures.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dusk::testing {

// Colour i of the test palette: red i, green 255 - i, blue (i * 37) mod 256, so every index is told apart.
uint32_t TestPaletteColor(int index);

// Writes a test palette of count colours (width x height pixels, count = width * height).
void WriteTestPalette(const std::string& path, int width, int height);

// Writes base + "_fg.png" and base + "_bg.png": 16 x 16 cells of glyph_w x glyph_h pixels. The "_fg" cell of
// every glyph is the top-left quarter (the left half columns of the top half rows), the "_bg" cell the rest,
// except glyph 0 whose "_fg" cell is empty.
void WriteTestSheets(const std::string& base, int glyph_w, int glyph_h);

// Writes a configuration with the test sheets and palette in folder and opens the display from it.
// The display state, the settings' contrast and brightness are reset first.
void OpenTestDisplay(const std::string& folder, int width_cells, int height_cells, int glyph_w, int glyph_h,
                     int scale);

// Opens the display from the game's own graphics.txt, sheets and palette (game/graphics in the source tree).
// False (and nothing opened) when they are not there.
bool OpenGameDisplay(const std::string& source_dir, int scale);

// Opens a display of the given size in cells with the game's own glyph sheets and palette, through a
// configuration written into folder.
bool OpenGameSheetsDisplay(const std::string& folder, const std::string& source_dir, int width_cells,
                           int height_cells, int scale);

// The frame drawn so far, as RGB without alpha.
struct frame {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> rgb;
  uint32_t at(int x, int y) const {
    return rgb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  }
};
frame ReadFrame();

// Compares the frame drawn so far, pixel for pixel, with the PNG at reference_path. With the environment
// variable DUSK_UPDATE_REFERENCES=1 the frame is written there instead. On a mismatch the frame is written
// beside the test (name.actual.png in the working folder) for a look.
void ExpectFrameMatchesReference(const std::string& reference_path);
// The same for a frame read another way (a presented frame a screen's own loop kept, say).
void ExpectFrameMatchesReference(const frame& actual, const std::string& reference_path);

// Runs f with FatalError turned into an exception caught here: the message, or nothing when f ended
// normally. Lets a test look at the state an error left behind.
std::optional<std::string> CatchFatalError(const std::function<void()>& f);

}  // namespace dusk::testing
