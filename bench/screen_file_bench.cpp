// Speed of reading screens and building levels: start-up reads every screen, and world loading builds each
// level once to count its stars.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "files/png_coding.h"
#include "files/screen_file.h"
#include "worlds/build_level.h"

namespace dusk {
namespace {

// A 20 x 15 screen with a title bar, text rows and a scattered pattern, like the menus.
tilemap MenuLikeScreen() {
  tilemap grid = tilemap::Create(20, 15);
  grid.Fill(0, 0, 20, 1);
  grid.SetTiles(0, 0, 20, 1, 0, 0, 36, 1);
  for (int y = 2; y < 13; y += 2) {
    for (int x = 1; x < 19; ++x) grid.SetTile(x, y, 'a' + (x * y) % 26, 46, 20, 1);
  }
  return grid;
}

// A level image of three layers with walls, stars, movers, teleporters, switches and doors.
tilemap LevelImage() {
  tilemap image = tilemap::Create(15, 45);
  for (int z = 0; z < 3; ++z) {
    for (int i = 0; i < 15; ++i) {
      image.SetTile(i, z * 15, '#', 0, 0, 1);
      image.SetTile(i, z * 15 + 14, '#', 0, 0, 1);
    }
    for (int x = 2; x < 13; x += 3) image.SetTile(x, z * 15 + 3, '*', 0, 0, 1);
    image.SetTile(4, z * 15 + 6, 26, 0, 3, 1);
    image.SetTile(8, z * 15 + 8, 16, 0, 4, 1);
    image.SetTile(2, z * 15 + 10, '+', static_cast<uint8_t>(z + 1), static_cast<uint8_t>(z), 1);
    image.SetTile(11, z * 15 + 11, 7, 4, 0, 1);
    image.SetTile(12, z * 15 + 12, 8, 4, 0, 1);
  }
  image.SetTile(7, 7, 2, 0, 0, 1);
  return image;
}

std::vector<uint8_t> Coded(const tilemap& grid, bool png) {
  auto out = OpenMemoryWrite();
  if (png) {
    WritePNG(grid, *out);
  } else {
    WriteRLE(grid, *out);
  }
  return out->TakeBytes();
}

void BM_ReadRunLengthScreen(benchmark::State& state) {
  const std::vector<uint8_t> file = Coded(MenuLikeScreen(), false);
  for (auto _ : state) {
    stream_ptr in = OpenMemory(file);
    benchmark::DoNotOptimize(ReadScreen(*in, 0));
  }
}
BENCHMARK(BM_ReadRunLengthScreen);

void BM_ReadPngScreen(benchmark::State& state) {
  const std::vector<uint8_t> file = Coded(MenuLikeScreen(), true);
  for (auto _ : state) {
    stream_ptr in = OpenMemory(file);
    benchmark::DoNotOptimize(ReadScreen(*in, 0));
  }
}
BENCHMARK(BM_ReadPngScreen);

void BM_EncodePngScreen(benchmark::State& state) {
  const tilemap grid = MenuLikeScreen();
  for (auto _ : state) benchmark::DoNotOptimize(EncodePNGBytes(grid, 0));
}
BENCHMARK(BM_EncodePngScreen);

void BM_BuildLevelFromImage(benchmark::State& state) {
  const tilemap image = LevelImage();
  for (auto _ : state) benchmark::DoNotOptimize(BuildLevelFromImage(image));
}
BENCHMARK(BM_BuildLevelFromImage);

}  // namespace
}  // namespace dusk
