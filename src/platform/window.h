// The game's one window and everything drawn into it (OpenGL through SDL's renderer).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dusk {

// Opens a windowed window whose client area is width x height pixels; refresh rate 60 sets the pacing of
// PresentFrame(-1). Headless (SDL's offscreen driver) it behaves the same and can be read back.
bool OpenWindow(int width, int height, const std::string& title);
void CloseWindow();
bool WindowIsOpen();
// The renderer in use, e.g. "opengl (llvmpipe ...)"; empty without a window. For diagnostics and tests.
std::string RendererName();
// -1: 60 frames a second by the pacing rule; 1: vertical sync; 0: at once.
void PresentFrame(int sync);
int CloseRequested();  // 1 once after the user asked to close the window
// Frames actually drawn and shown since the program started. A PresentFrame(-1) whose drawing repeats the
// last frame drawn exactly leaves the window as it is and does not count. For tests and diagnostics.
int FramesDrawn();
// Every PresentFrame since the program started, repeated frames included: drawing after a change of this
// count belongs to a new frame.
int FramesPresented();

// Desktop fullscreen on the screen the window is on, or back to the window; false when the system refuses.
// The window's size in windowed mode is kept for coming back.
bool SetFullscreen(bool on);
bool IsFullscreen();
// The window's size in pixels now (the whole screen in fullscreen); false without a window.
bool WindowPixelSize(int& width, int& height);
// Where frames are drawn in the window: drawing at (0, 0) lands at (x, y), and the frame is width x height
// pixels. Outside it the window shows the clear colour. Reset by opening a window.
void SetFrameArea(int x, int y, int width, int height);
// The colour shown around the frame's area.
void SetBorderColor(int red, int green, int blue);
// Called at every PresentFrame after the frame was drawn and before it is shown: for overlays such as a
// brief message, and for screenshots. An empty function removes it.
void SetBeforePresentHook(std::function<void()> hook);
// Scripted runs: with false, PresentFrame(1) does not wait for vertical sync either.
void AllowVsync(bool allowed);
// Scripted runs: the next PresentFrame keeps a copy of the frame it shows (read before it is shown, since
// the back buffer means nothing afterwards), which TakePresentedFrame hands out once; empty without one.
void KeepNextPresentedFrame();
std::vector<uint32_t> TakePresentedFrame(int& width, int& height);

void ClearScreen();
void SetColor(int red, int green, int blue);
void SetDrawScale(float sx, float sy);
void FillRect(float x, float y, float w, float h);

// An image cut into equal cells, drawable by index. A sheet may be loaded before any window is opened and
// stays usable across closing and reopening the window.
struct cell_sheet;
struct cell_sheet_deleter {
  void operator()(cell_sheet* sheet) const;
};
using cell_sheet_ptr = std::unique_ptr<cell_sheet, cell_sheet_deleter>;

// None when the file can't be read or decoded, or holds fewer than first + count cells of cellw x cellh.
// Without an alpha channel, pixels of exactly the mask colour are transparent; with one (or a transparency
// chunk) a pixel is opaque when its alpha is at least one half.
cell_sheet_ptr LoadCellSheet(const std::string& path, int cellw, int cellh, int first, int count, int maskred,
                             int maskgreen, int maskblue);
// Cell 0 … count − 1 of the sheet (image cell first + cell); other numbers draw nothing.
void DrawCell(const cell_sheet& sheet, float x, float y, int cell);

// The frame drawn so far (since the last present), as opaque ARGB pixels, row by row: for tests and
// screenshots. Only the frame's area (see SetFrameArea). Empty (and 0 x 0) without a window.
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
int ReadPixel(const pixel_image& image, int x, int y);  // 0 outside the image

}  // namespace dusk
