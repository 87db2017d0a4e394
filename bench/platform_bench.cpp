// The CPU cost of drawing a frame of cells headless: submitting the draws, and with presenting.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "platform/render_state.h"
#include "platform/window.h"

namespace dusk {
namespace {

// Without a display the benchmark runs on SDL's offscreen driver, as the tests do.
const bool headless_when_no_display = [] {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
  }
  return true;
}();

std::string GlyphSheet(const char* part) {
  return (std::filesystem::path(__FILE__).parent_path().parent_path() / "game" / "graphics" / part).string();
}

struct frame_setup {
  cell_sheet_ptr foreground;
  cell_sheet_ptr background;
  bool ready = false;
};

frame_setup Setup(benchmark::State& state, int width, int height) {
  frame_setup setup;
  setup.foreground = LoadCellSheet(GlyphSheet("glyphs_fg.png"), 16, 16, 0, 256, 0, 0, 0);
  setup.background = LoadCellSheet(GlyphSheet("glyphs_bg.png"), 16, 16, 0, 256, 0, 0, 0);
  if (!setup.foreground || !setup.background) {
    state.SkipWithError("the glyph sheets under game/graphics did not load");
    return setup;
  }
  if (!OpenWindow(width, height, "bench")) {
    state.SkipWithError("no window");
    return setup;
  }
  state.SetLabel(RendererName());
  setup.ready = true;
  return setup;
}

// A grid drawn as the display layer draws it: per cell a tinted background glyph and a tinted foreground
// glyph, each with its own colour, at scale 2.
void DrawGrid(const frame_setup& setup, int columns, int rows, int frame) {
  SetDrawScale(2, 2);
  for (int x = 0; x < columns; ++x) {
    for (int y = 0; y < rows; ++y) {
      const int glyph = (x * 7 + y * 13 + frame) & 255;
      const float px = static_cast<float>(x * 32);
      const float py = static_cast<float>(y * 32);
      SetColor((x * 40) & 255, (y * 60) & 255, 90);
      DrawCell(*setup.background, px, py, glyph);
      SetColor(250, (x * 9) & 255, (y * 17) & 255);
      DrawCell(*setup.foreground, px, py, glyph);
    }
  }
  SetDrawScale(1, 1);
}

// Only the draw calls: the vertices our drawing code builds, dropped unsent.
void BM_BuildFrame(benchmark::State& state) {
  const int columns = static_cast<int>(state.range(0));
  const int rows = static_cast<int>(state.range(1));
  frame_setup setup = Setup(state, columns * 32, rows * 32);
  if (!setup.ready) return;
  int frame = 0;
  for (auto _ : state) {
    DrawGrid(setup, columns, rows, frame++);
    Render().vertices.clear();
    Render().indices.clear();
  }
  state.counters["draws"] = static_cast<double>(columns * rows * 2);
  CloseWindow();
}
BENCHMARK(BM_BuildFrame)->Args({20, 15})->Args({50, 30})->Unit(benchmark::kMicrosecond);

// Clearing, the draws and queueing the batch in SDL's renderer: the work of our drawing code and SDL.
// OpenGL's share (SDL_RenderFlush, untimed here) is in the next benchmark.
void BM_SubmitFrame(benchmark::State& state) {
  const int columns = static_cast<int>(state.range(0));
  const int rows = static_cast<int>(state.range(1));
  frame_setup setup = Setup(state, columns * 32, rows * 32);
  if (!setup.ready) return;
  int frame = 0;
  for (auto _ : state) {
    ClearScreen();
    DrawGrid(setup, columns, rows, frame++);
    FlushDrawing();
    state.PauseTiming();
    SDL_RenderFlush(Render().renderer.get());
    state.ResumeTiming();
  }
  state.counters["draws"] = static_cast<double>(columns * rows * 2);
  CloseWindow();
}
BENCHMARK(BM_SubmitFrame)->Args({20, 15})->Args({50, 30})->Unit(benchmark::kMicrosecond);

// The whole frame with PresentFrame(0). Headless, Mesa's llvmpipe rasterises on the CPU, so this
// includes the pixel work a GPU would do.
void BM_PresentFrame(benchmark::State& state) {
  const int columns = static_cast<int>(state.range(0));
  const int rows = static_cast<int>(state.range(1));
  frame_setup setup = Setup(state, columns * 32, rows * 32);
  if (!setup.ready) return;
  int frame = 0;
  for (auto _ : state) {
    ClearScreen();
    DrawGrid(setup, columns, rows, frame++);
    PresentFrame(0);
  }
  state.counters["draws"] = static_cast<double>(columns * rows * 2);
  CloseWindow();
}
BENCHMARK(BM_PresentFrame)->Args({20, 15})->Args({50, 30})->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace dusk
