// The run-length coding, its size estimate, the checksum, and the loading screen's stored bytes.
#include <gtest/gtest.h>

#include "tests/files/screen_test_util.h"

namespace dusk {
namespace {

using testing::CodeRunLength;
using testing::LoadingScreen;

// A grid whose cell bytes, in storage order, are exactly these (one row, the bytes split over 3 planes).
tilemap GridOfBytes(const std::vector<uint8_t>& bytes) {
  tilemap grid = tilemap::Create(static_cast<int>(bytes.size() / 3), 1);
  grid.tmap = bytes;
  return grid;
}

std::vector<uint8_t> Repeat(size_t count, uint8_t value) { return std::vector<uint8_t>(count, value); }

std::vector<uint8_t> Join(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(RunLength, RunsCloseAtAValueChangeAndAt256Bytes) {
  struct run_case {
    const char* name;
    std::vector<uint8_t> cells;
    std::vector<uint8_t> body;
  };
  const run_case cases[] = {
      {"three alike", Repeat(3, 7), {2, 7}},
      {"255 alike", Repeat(255, 7), {254, 7}},
      {"258 alike: a full run and the rest", Repeat(258, 7), {255, 7, 1, 7}},
      {"a change every byte", {1, 2, 3}, {0, 1, 0, 2, 0, 3}},
      {"a run crossing the plane boundary", {5, 5, 5, 5, 5, 9}, {4, 5, 0, 9}},
  };
  for (const run_case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RunLengthBody(GridOfBytes(c.cells)), c.body);
  }
}

TEST(RunLength, TwoHundredFiftySixAndSeventhEqualBytes) {
  // 256 equal bytes are the single run (255, v); a 257th starts a new run (0, v).
  tilemap grid = tilemap::Create(256, 1);
  grid.tmap.assign(768, 0);
  std::fill(grid.tmap.begin(), grid.tmap.begin() + 256, 9);
  std::fill(grid.tmap.begin() + 256, grid.tmap.end(), 4);
  const std::vector<uint8_t> body = RunLengthBody(grid);
  ASSERT_GE(body.size(), 2u);
  EXPECT_EQ(body[0], 255);
  EXPECT_EQ(body[1], 9);

  tilemap longer = tilemap::Create(257, 1);
  std::fill(longer.tmap.begin(), longer.tmap.begin() + 257, 9);
  std::fill(longer.tmap.begin() + 257, longer.tmap.end(), 4);
  const std::vector<uint8_t> two = RunLengthBody(longer);
  ASSERT_GE(two.size(), 4u);
  EXPECT_EQ(std::vector<uint8_t>(two.begin(), two.begin() + 4), (std::vector<uint8_t>{255, 9, 0, 9}));
}

TEST(RunLength, EstimateIsTheBodySizeOrTwoMore) {
  struct estimate_case {
    const char* name;
    std::vector<uint8_t> cells;
    int extra;  // rlesize minus the real body size
  };
  const estimate_case cases[] = {
      {"starts with zeros", Join(Repeat(10, 0), Repeat(5, 3)), 0},
      {"starts with a non-zero byte", Join(Repeat(10, 32), Repeat(5, 0)), 2},
      {"starts with 256 zeros", Join(Repeat(256, 0), Repeat(4, 1)), 2},
      {"starts with 512 zeros", Join(Repeat(512, 0), Repeat(1, 1)), 2},
      {"starts with 257 zeros", Join(Repeat(257, 0), Repeat(1, 1)), 0},
      {"all zeros, 300 of them", Repeat(300, 0), 0},
  };
  for (const estimate_case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> cells = c.cells;
    while (cells.size() % 3 != 0) cells.push_back(cells.back());
    const tilemap grid = GridOfBytes(cells);
    EXPECT_EQ(rlesize(grid), static_cast<int>(RunLengthBody(grid).size()) + c.extra);
  }
}

TEST(RunLength, HelpScreenLikeGridStartingWithGlyph32IsEstimatedTwoHigh) {
  tilemap grid = tilemap::Create(20, 15);
  grid.Fill(32, 0, 20, 1);
  EXPECT_EQ(rlesize(grid), static_cast<int>(RunLengthBody(grid).size()) + 2);
}

TEST(Checksum, EmptyGridAndSmallGrids) {
  EXPECT_EQ(GetChecksum(tilemap::Create(0, 0)), -1048576);
  EXPECT_EQ(GetChecksum(tilemap::Create(0, 7)), -1048576);
  // One cell: bytes 1, 2, 3. d runs 2, 8, 22; c ends at -(1048576 - 1 + 2 + 3).
  tilemap one = tilemap::Create(1, 1);
  one.tmap = {1, 2, 3};
  EXPECT_EQ(GetChecksum(one), 22 + 1048576 - 1 + 2 + 3);
  // The closed form for ordinary grids: final d + 1048576 + byte sum - 2 * first byte.
  tilemap all = tilemap::Create(4, 4);
  all.tmap.assign(48, 200);
  int64_t d = 0;
  for (int i = 0; i < 48; ++i) d = ((d + 200) % 65535) * 2;
  EXPECT_EQ(GetChecksum(all), d + 1048576 + 48 * 200 - 400);
}

TEST(Checksum, WrapsLikeThirtyTwoBitArithmeticOnLargeGrids) {
  // 2000 x 2000 cells of 255: the byte sum alone passes 2^31.
  tilemap grid = tilemap::Create(2000, 2000);
  grid.tmap.assign(grid.tmap.size(), 255);
  int64_t d = 0;
  for (size_t i = 0; i < grid.tmap.size(); ++i) d = ((d + 255) % 65535) * 2;
  const int64_t exact = d + 1048576 + int64_t{255} * static_cast<int64_t>(grid.tmap.size()) - 510;
  EXPECT_EQ(GetChecksum(grid), static_cast<int32_t>(static_cast<uint32_t>(exact)));
}

TEST(LoadingScreen, CodesToItsStoredBytes) {
  const tilemap grid = LoadingScreen();
  EXPECT_EQ(GetChecksum(grid), 1077156);
  const std::vector<uint8_t> file = CodeRunLength(grid);
  EXPECT_EQ(file, testing::kLoadingScreenFile);
  EXPECT_EQ(file.size(), 71u);
  const std::vector<uint8_t> body = RunLengthBody(grid);
  EXPECT_EQ(body.size(), 52u);
  EXPECT_EQ(rlesize(grid), 52);
  EXPECT_EQ(std::vector<uint8_t>(body.begin(), body.begin() + 2), (std::vector<uint8_t>{141, 0}));
  EXPECT_EQ(std::vector<uint8_t>(body.end() - 4, body.end()), (std::vector<uint8_t>{255, 20, 43, 20}));
  // "Loading" one run per letter, then the two dots as one run.
  const std::string letters = "Loading";
  for (size_t i = 0; i < letters.size(); ++i) {
    EXPECT_EQ(body[2 + 2 * i], 0);
    EXPECT_EQ(body[3 + 2 * i], static_cast<uint8_t>(letters[i]));
  }
  EXPECT_EQ(body[16], 1);
  EXPECT_EQ(body[17], '.');
}

TEST(LoadingScreen, ReadsBackWithoutAnyMessage) {
  testing::error_log errors;
  std::optional<tilemap> grid = testing::ReadBytes(testing::kLoadingScreenFile);
  ASSERT_TRUE(grid.has_value());
  EXPECT_TRUE(errors.entries.empty());
  EXPECT_EQ(grid->tmapw, 20);
  EXPECT_EQ(grid->tmaph, 15);
  EXPECT_EQ(grid->transparentcolor, 9);
  EXPECT_EQ(grid->tmap, LoadingScreen().tmap) << to_string(*grid, true);
}

}  // namespace
}  // namespace dusk
