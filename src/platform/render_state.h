// The renderer's state shared by the window and drawing sources; only platform sources include it.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/sdl_session.h"
#include "platform/window.h"

namespace dusk {

// A loaded sheet keeps its pixels in memory: it may be loaded before any window exists, and it must
// survive the window being closed and opened again. Its pixels are copied into the renderer's atlas.
struct cell_sheet {
  int width = 0;
  int height = 0;
  int cellw = 0;
  int cellh = 0;
  int first = 0;
  int count = 0;
  int per_row = 0;
  std::vector<uint32_t> argb;    // alpha is 0 or 255 only
  // Where the sheet sits in the atlas of the current renderer.
  uint64_t atlas_generation = 0;  // 0: not placed
  int atlas_x = 0;
  int atlas_y = 0;
};

struct render_state {
  sdl::window_ptr window;
  sdl::renderer_ptr renderer;
  bool software = false;
  bool vsync = false;
  bool vsync_allowed = true;
  // A copy of a presented frame for scripted screenshots.
  bool keep_next_frame = false;
  std::vector<uint32_t> kept_frame;
  int kept_width = 0;
  int kept_height = 0;
  int max_texture_width = 0;
  int max_texture_height = 0;

  // Where the frame sits in the window (the whole window, unless fullscreen centres it).
  bool fullscreen = false;
  int windowed_width = 0;  // the window's size before it went fullscreen
  int windowed_height = 0;
  int frame_x = 0;
  int frame_y = 0;
  int frame_width = 0;  // 0: the whole window
  int frame_height = 0;
  SDL_Color border{0, 0, 0, 255};
  std::function<void()> before_present;

  SDL_Color color{255, 255, 255, 255};
  float scale_x = 1.0f;
  float scale_y = 1.0f;

  // Pacing of PresentFrame(-1), in the wrapping 32-bit clock.
  uint32_t next_frame_ms = 0;
  int carry = 0;

  // Every draw of a frame goes into one vertex list over one texture, so a frame is a single draw call.
  std::vector<SDL_Vertex> vertices;
  std::vector<int> indices;
  bool clear_pending = false;  // ClearScreen was called; the clear goes out with the vertices

  // A menu frame that repeats the last one drawn exactly is not drawn again: the window still shows it,
  // and an idle menu would otherwise keep a software rasteriser busy for most of a core.
  bool frame_sent = false;     // this frame already sent something to the renderer (a flush, a read back)
  bool last_complete = false;  // the last drawn frame went out whole, as last_vertices and last_indices
  bool redraw_needed = true;   // the window lost its contents (exposed, resized, new)
  bool last_cleared = false;
  std::vector<SDL_Vertex> last_vertices;
  std::vector<int> last_indices;
  int frames_drawn = 0;
  int frames_presented = 0;

  // One texture holding a white block (for filled rectangles) and every live sheet.
  sdl::texture_ptr atlas;
  int atlas_width = 0;
  int atlas_height = 0;
  uint64_t atlas_generation = 0;  // bumped on each rebuild, so placements of older atlases are stale
  bool atlas_dirty = true;
  std::vector<cell_sheet*> sheets;
};

render_state& Render();
// Sends the pending vertices to the renderer.
void FlushDrawing();
// Frees the atlas (before its renderer goes) and forgets pending vertices.
void DropRendererResources();

}  // namespace dusk
