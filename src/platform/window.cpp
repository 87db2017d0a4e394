// The window, its renderer (OpenGL through SDL's renderer), frame presentation and its 60-per-second pacing.
#include "platform/window.h"

#include <cstring>
#include <utility>

#include "platform/clock.h"
#include "platform/input_injection.h"
#include "platform/render_state.h"
#include "platform/web_page.h"

namespace dusk {

namespace {

constexpr int kRefreshRate = 60;

// The renderer on SDL's OpenGL driver; without it, and only when nothing is shown on a real display,
// SDL's software renderer, so that tests still run where no OpenGL is available.
bool CreateRenderer(render_state& render, int width, int height, const std::string& title) {
  // A browser offers WebGL, which SDL drives through its OpenGL ES 2 renderer.
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, web::kInBrowser ? "opengles2" : "opengl");
  SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  render.window.reset(SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                       SDL_WINDOW_OPENGL));
  if (render.window) render.renderer.reset(SDL_CreateRenderer(render.window.get(), -1, SDL_RENDERER_ACCELERATED));
  if (render.renderer) return true;
  if (!sdl::HeadlessVideo()) {
    render.window.reset();
    return false;
  }
  render.renderer.reset();
  render.window.reset(SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, 0));
  if (!render.window) return false;
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
  render.renderer.reset(SDL_CreateRenderer(render.window.get(), -1, SDL_RENDERER_SOFTWARE));
  render.software = true;
  if (!render.renderer) render.window.reset();
  return render.renderer != nullptr;
}

// The whole window in the border colour (a clear ignores the frame's area); the frame covers its part.
void ClearBorder(render_state& render) {
  SDL_SetRenderDrawColor(render.renderer.get(), render.border.r, render.border.g, render.border.b, 255);
  SDL_RenderClear(render.renderer.get());
}

}  // namespace

namespace sdl {

bool HeadlessVideo() {
  const char* driver = SDL_WasInit(SDL_INIT_VIDEO) != 0 ? SDL_GetCurrentVideoDriver() : SDL_getenv("SDL_VIDEODRIVER");
  if (driver == nullptr) return false;
  return SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0;
}

Uint32 CurrentWindowId() {
  const render_state& render = Render();
  return render.window ? SDL_GetWindowID(render.window.get()) : 0;
}

}  // namespace sdl

render_state& Render() {
  static render_state state;
  return state;
}

bool OpenWindow(int width, int height, const std::string& title) {
  CloseWindow();
  if (width <= 0 || height <= 0 || !sdl::EnsureEvents()) return false;
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    // Video and the OpenGL library stay loaded for the whole run: reopening the window at a new scale then
    // costs no driver reload, and the driver's own allocations stay its own until exit.
    SDL_GL_LoadLibrary(nullptr);
  }
  if (sdl::HeadlessVideo()) {
    // An offscreen window never holds the keyboard focus, and SDL would drop controller events for it.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  }
  render_state& render = Render();
  render.software = false;
  if (!CreateRenderer(render, width, height, title)) return false;
  SDL_RendererInfo info{};
  SDL_GetRendererInfo(render.renderer.get(), &info);
  render.max_texture_width = info.max_texture_width > 0 ? info.max_texture_width : 4096;
  render.max_texture_height = info.max_texture_height > 0 ? info.max_texture_height : 4096;
  render.vsync = false;
  render.color = SDL_Color{255, 255, 255, 255};
  render.scale_x = 1.0f;
  render.scale_y = 1.0f;
  render.atlas_dirty = true;
  render.next_frame_ms = static_cast<uint32_t>(ClockMs());
  render.carry = 0;
  render.last_complete = false;
  render.redraw_needed = true;
  render.frame_sent = false;
  render.clear_pending = false;
  render.fullscreen = false;
  render.frame_x = 0;
  render.frame_y = 0;
  render.frame_width = 0;
  render.frame_height = 0;
  SDL_SetRenderDrawColor(render.renderer.get(), 0, 0, 0, 255);
  SDL_RenderClear(render.renderer.get());
  SDL_StartTextInput();
  return true;
}

bool SetFullscreen(bool on) {
  render_state& render = Render();
  if (!render.window) return false;
  if (on && !render.fullscreen) SDL_GetWindowSize(render.window.get(), &render.windowed_width, &render.windowed_height);
  if (SDL_SetWindowFullscreen(render.window.get(), on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
  // Not every video driver gives the window its own size back by itself.
  if (!on && render.fullscreen && render.windowed_width > 0) {
    SDL_SetWindowSize(render.window.get(), render.windowed_width, render.windowed_height);
  }
  render.fullscreen = on;
  return true;
}

bool IsFullscreen() { return Render().fullscreen; }

bool WindowPixelSize(int& width, int& height) {
  render_state& render = Render();
  width = 0;
  height = 0;
  if (!render.renderer) return false;
  sdl::PumpEvents();
  return SDL_GetRendererOutputSize(render.renderer.get(), &width, &height) == 0;
}

void SetFrameArea(int x, int y, int width, int height) {
  render_state& render = Render();
  if (!render.renderer) return;
  FlushDrawing();
  render.frame_x = x;
  render.frame_y = y;
  render.frame_width = width;
  render.frame_height = height;
  render.redraw_needed = true;  // everything moves: the next frame is drawn whole even if it repeats
  const SDL_Rect area{x, y, width, height};
  SDL_RenderSetViewport(render.renderer.get(), width > 0 ? &area : nullptr);
  ClearBorder(render);
}

void SetBorderColor(int red, int green, int blue) {
  Render().border = SDL_Color{static_cast<Uint8>(red), static_cast<Uint8>(green), static_cast<Uint8>(blue), 255};
}

void SetBeforePresentHook(std::function<void()> hook) { Render().before_present = std::move(hook); }

void CloseWindow() {
  render_state& render = Render();
  if (!render.window) return;
  DropRendererResources();
  render.renderer.reset();
  render.window.reset();
}

bool WindowIsOpen() { return Render().renderer != nullptr; }

std::string RendererName() {
  render_state& render = Render();
  if (!render.renderer) return {};
  SDL_RendererInfo info{};
  if (SDL_GetRendererInfo(render.renderer.get(), &info) != 0 || info.name == nullptr) return {};
  std::string name = info.name;
  if (name == "opengl") {
    // The GL strings say whether a real GPU or Mesa's software rasteriser does the work.
    using get_string = const unsigned char* (*)(unsigned int);
    auto gl_get_string = reinterpret_cast<get_string>(SDL_GL_GetProcAddress("glGetString"));
    constexpr unsigned int kGlRenderer = 0x1F01;
    if (gl_get_string != nullptr) {
      if (const unsigned char* gl = gl_get_string(kGlRenderer)) name += std::string(" (") + reinterpret_cast<const char*>(gl) + ")";
    }
  }
  return name;
}

namespace {

bool SameVertices(const std::vector<SDL_Vertex>& a, const std::vector<SDL_Vertex>& b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(SDL_Vertex)) == 0);
}

// Whether this frame's drawing repeats the last frame drawn, so the window shows it already.
bool RepeatsLastFrame(const render_state& render) {
  return render.last_complete && !render.frame_sent && !render.redraw_needed &&
         render.clear_pending == render.last_cleared && render.indices == render.last_indices &&
         SameVertices(render.vertices, render.last_vertices);
}

}  // namespace

int FramesDrawn() {
  return Render().frames_drawn;
}

int FramesPresented() {
  return Render().frames_presented;
}

void PresentFrame(int sync) {
  render_state& render = Render();
  if (!render.renderer) return;
  sdl::PumpEvents();
  if (render.before_present) {
    // The hook may draw and may even reopen the window; a copy keeps it alive while it runs.
    std::function<void()> hook = render.before_present;
    hook();
    if (!render.renderer) return;
  }
  // Only the menu pace may leave a frame out: vertical sync and "at once" wait on the present itself, and a
  // frame to be kept must be in the back buffer to be read.
  const bool repeat = sync == -1 && !render.keep_next_frame && RepeatsLastFrame(render);
  if (repeat) {
    render.vertices.clear();
    render.indices.clear();
    render.clear_pending = false;
  } else {
    render.last_complete = !render.frame_sent;
    render.last_cleared = render.clear_pending;
    render.last_vertices = render.vertices;
    render.last_indices = render.indices;
    FlushDrawing();
  }
  if (render.keep_next_frame) {
    render.keep_next_frame = false;
    render.kept_frame = ReadFramePixels(render.kept_width, render.kept_height);
  }
  const bool want_vsync = sync == 1 && render.vsync_allowed;
  // The browser shows a frame at its own vertical sync once the page gives it a turn (below).
  if (!web::kInBrowser && want_vsync != render.vsync) {
    SDL_RenderSetVSync(render.renderer.get(), want_vsync ? 1 : 0);
    render.vsync = want_vsync;
  }
  bool slept = false;
  if (sync == -1) {
    // 1000 ms do not divide into 60 frames: 16 ms each, and the 40 ms left over are spread by a carry.
    constexpr int kPeriod = 1000 / kRefreshRate;
    constexpr int kRemainder = 1000 - kPeriod * kRefreshRate;
    render.next_frame_ms += kPeriod;
    render.carry += kRemainder;
    if (render.carry >= kRefreshRate) {
      render.carry -= kRefreshRate;
      render.next_frame_ms += 1;
    }
    const int wait = static_cast<int32_t>(render.next_frame_ms - static_cast<uint32_t>(ClockMs()));
    if (wait <= 0) {
      render.next_frame_ms -= static_cast<uint32_t>(wait);  // a late frame restarts the schedule from now
    } else {
      SleepMs(wait);
      slept = true;
    }
  }
  if (!repeat) {
    SDL_RenderPresent(render.renderer.get());
    render.frames_drawn += 1;
    // Mesa's software rasteriser keeps every frame's drawing until the driver is made to finish it, so
    // without this a long run grows by a quarter of a megabyte a frame; a real GPU is done with the
    // frame's few quads at once.
    if (!render.software && !web::kInBrowser) {
      using gl_finish = void (*)();
      static const auto finish = reinterpret_cast<gl_finish>(SDL_GL_GetProcAddress("glFinish"));
      if (finish != nullptr) finish();
    }
    // The back buffer's border is undefined after a present, and frames draw only their own area.
    if (render.frame_width > 0) ClearBorder(render);
  }
  render.frame_sent = false;
  render.redraw_needed = false;
  render.frames_presented += 1;
  if (web::kInBrowser) {
    // The page's frame loop is the browser's: a frame appears, and keys arrive, only while it has a turn.
    if (VirtualClockInUse()) {
      web::YieldNowAndThen();
    } else if (want_vsync) {
      web::WaitForAnimationFrame();
    } else if (!slept) {
      web::Yield();
    }
  }
  inject::RunFrameHook();
}

void AllowVsync(bool allowed) { Render().vsync_allowed = allowed; }

void KeepNextPresentedFrame() { Render().keep_next_frame = true; }

std::vector<uint32_t> TakePresentedFrame(int& width, int& height) {
  render_state& render = Render();
  width = render.kept_width;
  height = render.kept_height;
  render.kept_width = 0;
  render.kept_height = 0;
  return std::exchange(render.kept_frame, {});
}

int CloseRequested() {
  if (!sdl::EnsureEvents()) return 0;
  sdl::PumpEvents();
  return sdl::TakeCloseRequest() ? 1 : 0;
}

std::vector<uint32_t> ReadFramePixels(int& width, int& height) {
  width = 0;
  height = 0;
  render_state& render = Render();
  if (!render.renderer) return {};
  FlushDrawing();
  if (render.frame_width > 0) {
    const SDL_Rect area{render.frame_x, render.frame_y, render.frame_width, render.frame_height};
    SDL_RenderSetViewport(render.renderer.get(), &area);
  }
  int w = render.frame_width;
  int h = render.frame_height;
  if (w <= 0 && SDL_GetRendererOutputSize(render.renderer.get(), &w, &h) != 0) return {};
  if (w <= 0 || h <= 0) return {};
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
  if (SDL_RenderReadPixels(render.renderer.get(), nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), w * 4) != 0) {
    return {};
  }
  // The frame is opaque; whatever the back buffer's alpha holds means nothing.
  for (uint32_t& pixel : pixels) pixel |= 0xFF000000u;
  width = w;
  height = h;
  return pixels;
}

}  // namespace dusk
