// Drawing into the frame: filled rectangles and sheet cells, all batched into one draw call over an atlas.
#include <algorithm>

#include "platform/render_state.h"

namespace dusk {

namespace {

// The atlas starts with a white block that filled rectangles sample, so they share the cells' batch.
constexpr int kWhiteBlock = 2;
// Pending vertices are sent in batches of at most this many, to bound the memory of one frame.
constexpr size_t kMaxBatchVertices = size_t{1} << 16;

void PlaceSheetsAndUpload(render_state& render) {
  // Texture coordinates of the same cells may now sample other pixels.
  render.last_complete = false;
  render.atlas.reset();
  render.atlas_generation += 1;
  render.atlas_dirty = false;
  // Sheets are stacked in shelves as wide as the renderer allows.
  int width = kWhiteBlock;
  int height = kWhiteBlock;
  int shelf_x = kWhiteBlock;
  int shelf_y = 0;
  int shelf_height = kWhiteBlock;
  for (cell_sheet* sheet : render.sheets) {
    sheet->atlas_generation = 0;
    if (sheet->width > render.max_texture_width) continue;
    if (shelf_x + sheet->width > render.max_texture_width) {
      shelf_y += shelf_height;
      shelf_x = 0;
      shelf_height = 0;
    }
    if (shelf_y + sheet->height > render.max_texture_height) continue;
    sheet->atlas_x = shelf_x;
    sheet->atlas_y = shelf_y;
    sheet->atlas_generation = render.atlas_generation;
    shelf_x += sheet->width;
    shelf_height = std::max(shelf_height, sheet->height);
    width = std::max(width, shelf_x);
    height = std::max(height, shelf_y + shelf_height);
  }
  // Rows of the white block first, then transparent texels for the rest.
  std::vector<uint32_t> pixels;
  pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int y = 0; y < kWhiteBlock; ++y) {
    pixels.insert(pixels.end(), kWhiteBlock, 0xFFFFFFFFu);
    pixels.insert(pixels.end(), static_cast<size_t>(width - kWhiteBlock), 0u);
  }
  pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
  for (const cell_sheet* sheet : render.sheets) {
    if (sheet->atlas_generation != render.atlas_generation) continue;
    for (int y = 0; y < sheet->height; ++y) {
      const uint32_t* from = sheet->argb.data() + static_cast<size_t>(y) * sheet->width;
      std::copy(from, from + sheet->width,
                pixels.begin() + static_cast<ptrdiff_t>(sheet->atlas_y + y) * width + sheet->atlas_x);
    }
  }
  sdl::texture_ptr texture(
      SDL_CreateTexture(render.renderer.get(), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, width, height));
  if (!texture) return;
  SDL_UpdateTexture(texture.get(), nullptr, pixels.data(), width * 4);
  SDL_SetTextureScaleMode(texture.get(), SDL_ScaleModeNearest);
  // Every texel is fully opaque or fully transparent, so blending is an alpha test at one half.
  SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_BLEND);
  render.atlas = std::move(texture);
  render.atlas_width = width;
  render.atlas_height = height;
}

// The atlas with every live sheet, rebuilt after sheets came or went; false without a window or texture.
bool ReadyAtlas(render_state& render) {
  if (!render.renderer) return false;
  if (render.atlas_dirty || !render.atlas) {
    FlushDrawing();
    PlaceSheetsAndUpload(render);
  }
  return render.atlas != nullptr;
}

void AddQuad(render_state& render, float x, float y, float w, float h, float u0, float v0, float u1, float v1) {
  if (render.vertices.size() >= kMaxBatchVertices) FlushDrawing();
  const size_t first_vertex = render.vertices.size();
  const size_t first_index = render.indices.size();
  render.vertices.resize(first_vertex + 4);
  render.indices.resize(first_index + 6);
  const SDL_Color color = render.color;
  SDL_Vertex* vertex = render.vertices.data() + first_vertex;
  vertex[0] = SDL_Vertex{SDL_FPoint{x, y}, color, SDL_FPoint{u0, v0}};
  vertex[1] = SDL_Vertex{SDL_FPoint{x + w, y}, color, SDL_FPoint{u1, v0}};
  vertex[2] = SDL_Vertex{SDL_FPoint{x + w, y + h}, color, SDL_FPoint{u1, v1}};
  vertex[3] = SDL_Vertex{SDL_FPoint{x, y + h}, color, SDL_FPoint{u0, v1}};
  const int base = static_cast<int>(first_vertex);
  int* index = render.indices.data() + first_index;
  index[0] = base;
  index[1] = base + 1;
  index[2] = base + 2;
  index[3] = base;
  index[4] = base + 2;
  index[5] = base + 3;
}

}  // namespace

void FlushDrawing() {
  render_state& render = Render();
  if (render.clear_pending && render.renderer) {
    // In fullscreen a clear reaches the border around the frame too, which keeps its own colour.
    const SDL_Color clear = render.frame_width > 0 ? render.border : SDL_Color{0, 0, 0, 255};
    SDL_SetRenderDrawColor(render.renderer.get(), clear.r, clear.g, clear.b, 255);
    SDL_RenderClear(render.renderer.get());
    render.frame_sent = true;
  }
  render.clear_pending = false;
  if (!render.vertices.empty() && render.renderer && render.atlas) {
    render.frame_sent = true;
    // SDL puts the viewport back to the whole window whenever the window changes size (as it does going
    // fullscreen), so the frame's area is set again before each batch.
    if (render.frame_width > 0) {
      const SDL_Rect area{render.frame_x, render.frame_y, render.frame_width, render.frame_height};
      SDL_RenderSetViewport(render.renderer.get(), &area);
    }
    SDL_RenderGeometry(render.renderer.get(), render.atlas.get(), render.vertices.data(),
                       static_cast<int>(render.vertices.size()), render.indices.data(),
                       static_cast<int>(render.indices.size()));
  }
  render.vertices.clear();
  render.indices.clear();
}

void DropRendererResources() {
  render_state& render = Render();
  render.vertices.clear();
  render.indices.clear();
  render.clear_pending = false;
  render.last_complete = false;
  render.redraw_needed = true;
  render.atlas.reset();
  render.atlas_dirty = true;
  for (cell_sheet* sheet : render.sheets) sheet->atlas_generation = 0;
}

void ClearScreen() {
  render_state& render = Render();
  if (!render.renderer) return;
  // Whatever was drawn before is covered anyway; the clear itself goes out with the frame.
  render.vertices.clear();
  render.indices.clear();
  render.clear_pending = true;
}

void SetColor(int red, int green, int blue) {
  auto component = [](int value) { return static_cast<Uint8>(std::clamp(value, 0, 255)); };
  Render().color = SDL_Color{component(red), component(green), component(blue), 255};
}

void SetDrawScale(float sx, float sy) {
  Render().scale_x = sx;
  Render().scale_y = sy;
}

void FillRect(float x, float y, float w, float h) {
  render_state& render = Render();
  if (!ReadyAtlas(render)) return;
  // The centre of the white block: nearest sampling picks a white texel whatever the rectangle's size.
  const float u = static_cast<float>(kWhiteBlock) / 2.0f / static_cast<float>(render.atlas_width);
  const float v = static_cast<float>(kWhiteBlock) / 2.0f / static_cast<float>(render.atlas_height);
  AddQuad(render, x, y, w * render.scale_x, h * render.scale_y, u, v, u, v);
}

void DrawCell(const cell_sheet& sheet, float x, float y, int cell) {
  render_state& render = Render();
  if (cell < 0 || cell >= sheet.count || !ReadyAtlas(render)) return;
  if (sheet.atlas_generation != render.atlas_generation) return;  // too big for the renderer's textures
  const int n = sheet.first + cell;
  const float sx = static_cast<float>(sheet.atlas_x + (n % sheet.per_row) * sheet.cellw);
  const float sy = static_cast<float>(sheet.atlas_y + (n / sheet.per_row) * sheet.cellh);
  const float aw = static_cast<float>(render.atlas_width);
  const float ah = static_cast<float>(render.atlas_height);
  const float cw = static_cast<float>(sheet.cellw);
  const float ch = static_cast<float>(sheet.cellh);
  AddQuad(render, x, y, cw * render.scale_x, ch * render.scale_y, sx / aw, sy / ah, (sx + cw) / aw, (sy + ch) / ah);
}

}  // namespace dusk
