// Shared helpers of the screen file tests: a recorder for reported errors, grids to code, file bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "display/tilemap.h"
#include "files/error_report.h"
#include "files/screen_file.h"
#include "platform/stream.h"
#include "tests/platform/support/temp_folder.h"

namespace dusk::testing {

// Records every reported error for as long as it lives.
class error_log {
 public:
  error_log() {
    SetErrorReporter([this](const std::string& title, const std::string& message) {
      entries.emplace_back(title, message);
    });
  }
  ~error_log() { SetErrorReporter(nullptr); }
  error_log(const error_log&) = delete;
  error_log& operator=(const error_log&) = delete;

  std::vector<std::string> messages() const {
    std::vector<std::string> texts;
    for (const auto& entry : entries) texts.push_back(entry.second);
    return texts;
  }

  std::vector<std::pair<std::string, std::string>> entries;
};

// The loading screen: "Loading.." at (2, 7) in colour 36 on 20, glyph 0 elsewhere. Blank cells show no
// foreground; it is 36 under the rows of text the screen once held and 0 elsewhere, as its stored bytes have it.
inline tilemap LoadingScreen() {
  tilemap grid = tilemap::Create(20, 15);
  grid.Fill(0, 0, 20, 1);
  const std::string text = "Loading..";
  for (int i = 0; i < static_cast<int>(text.size()); ++i) {
    grid.SetTile(2 + i, 7, static_cast<uint8_t>(text[static_cast<size_t>(i)]), 36, 20, 1);
  }
  const std::pair<int, int> leftover_rows[] = {{0, 12}, {5, 15}, {6, 4}, {11, 11}, {12, 5}, {13, 14}};
  for (auto [row, length] : leftover_rows) grid.SetTiles(2, row, length, 1, 0, 36, 20, 1);
  return grid;
}

inline const std::vector<uint8_t> kLoadingScreenFile = {
    0x51, 0x44, 0x54, 0x52, 0x14, 0x00, 0x00, 0x00, 0x0f, 0x00, 0x00, 0x00, 0xa4, 0x6f, 0x10, 0x00, 0x8d, 0x00,
    0x00, 0x4c, 0x00, 0x6f, 0x00, 0x61, 0x00, 0x64, 0x00, 0x69, 0x00, 0x6e, 0x00, 0x67, 0x01, 0x2e, 0x96, 0x00,
    0x0b, 0x24, 0x57, 0x00, 0x0e, 0x24, 0x04, 0x00, 0x03, 0x24, 0x0f, 0x00, 0x08, 0x24, 0x46, 0x00, 0x0a, 0x24,
    0x08, 0x00, 0x04, 0x24, 0x0e, 0x00, 0x0d, 0x24, 0x17, 0x00, 0xff, 0x14, 0x2b, 0x14, 0x45, 0x4f, 0x46};

// A grid of random cells; with no255 set, no byte is 255 (those would not survive the PNG coding).
inline tilemap RandomGrid(int w, int h, unsigned seed, bool no255 = true) {
  std::mt19937 generator(seed);
  tilemap grid = tilemap::Create(w, h);
  for (uint8_t& byte : grid.tmap) {
    byte = static_cast<uint8_t>(generator() % (no255 ? 255u : 256u));
  }
  return grid;
}

// A grid of a few colours in long runs, like a drawn screen.
inline tilemap DrawnGrid(int w, int h) {
  tilemap grid = tilemap::Create(w, h);
  grid.Fill(0, 0, 20, 1);
  grid.SetTiles(0, 0, w, 1, 0, 0, 36, 1);
  for (int x = 1; x < w - 1; x += 3) grid.SetTile(x, h / 2, 'A' + x % 26, 46, 20, 1);
  return grid;
}

inline std::vector<uint8_t> CodeRunLength(const tilemap& grid) {
  auto out = OpenMemoryWrite();
  WriteRLE(grid, *out);
  return out->TakeBytes();
}

inline std::vector<uint8_t> CodePng(const tilemap& grid) {
  auto out = OpenMemoryWrite();
  EXPECT_EQ(WritePNG(grid, *out), 1);
  return out->TakeBytes();
}

// The plain variant, which no writer of the game produces.
inline std::vector<uint8_t> CodePlain(const tilemap& grid) {
  auto out = OpenMemoryWrite();
  out->WriteBytes(reinterpret_cast<const uint8_t*>(kPlainMagic.data()), kPlainMagic.size());
  out->WriteInt(grid.tmapw);
  out->WriteInt(grid.tmaph);
  out->WriteInt(GetChecksum(grid));
  out->WriteBytes(grid.tmap.data(), grid.tmap.size());
  out->WriteBytes(reinterpret_cast<const uint8_t*>(kTrailer.data()), kTrailer.size());
  return out->TakeBytes();
}

inline std::optional<tilemap> ReadBytes(const std::vector<uint8_t>& bytes, int showerrors = 1) {
  stream_ptr in = OpenMemory(bytes);
  return ReadScreen(*in, showerrors);
}

}  // namespace dusk::testing
