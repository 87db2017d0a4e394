// The game's one window and everything drawn into it (OpenGL through SDL's renderer).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dusk {

// Opens a windowed window whose client area is width x height pixels; refresh rate 60 sets the pacing of
// PresentFrame(-1). Headless (SDL's offscreen driver) it behaves the same and can be read back.
bool OpenWindow(int width, int height, const std::string& title);
void CloseWindow();
bool WindowIsOpen();
// -1: 60 frames a second by the pacing rule; 1: vertical sync; 0: at once.
void PresentFrame(int sync);
int CloseRequested();  // 1 once after the user asked to close the window

void ClearScreen();
void SetColor(int red, int green, int blue);
void SetDrawScale(float sx, float sy);
void FillRect(float x, float y, float w, float h);

// An image cut into equal cells, drawable by index.
struct cell_sheet;
struct cell_sheet_deleter {
  void operator()(cell_sheet* sheet) const;
};
using cell_sheet_ptr = std::unique_ptr<cell_sheet, cell_sheet_deleter>;

cell_sheet_ptr LoadCellSheet(const std::string& path, int cellw, int cellh, int first, int count, int maskred,
                             int maskgreen, int maskblue);
void DrawCell(const cell_sheet& sheet, float x, float y, int cell);

// The frame drawn so far (since the last present), as ARGB pixels, row by row: for tests and screenshots.
std::vector<uint32_t> ReadFramePixels(int& width, int& height);

// An image in memory with 32-bit ARGB pixels.
struct pixel_image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;
};
std::unique_ptr<pixel_image> LoadPixels(const std::string& path);
inline int PixelsWidth(const pixel_image& image) { return image.width; }
inline int PixelsHeight(const pixel_image& image) { return image.height; }
int ReadPixel(const pixel_image& image, int x, int y);

}  // namespace dusk
