// The PNG coding: column-by-column placement, the generator's use, scrambling, the 255 rule, the file's form.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>

#include "files/png_coding.h"
#include "platform/random.h"
#include "tests/files/screen_test_util.h"
#include "tests/platform/support/png_fixture.h"

namespace dusk {
namespace {

uint32_t Big32(const std::vector<uint8_t>& bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) << 24 | static_cast<uint32_t>(bytes[at + 1]) << 16 |
         static_cast<uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

struct chunk {
  std::string type;
  std::vector<uint8_t> data;
};

std::vector<chunk> Chunks(const std::vector<uint8_t>& png) {
  std::vector<chunk> chunks;
  size_t at = 8;
  while (at + 12 <= png.size()) {
    const uint32_t length = Big32(png, at);
    chunk c;
    c.type.assign(png.begin() + static_cast<long>(at) + 4, png.begin() + static_cast<long>(at) + 8);
    c.data.assign(png.begin() + static_cast<long>(at) + 8, png.begin() + static_cast<long>(at + 8 + length));
    chunks.push_back(c);
    at += 12 + length;
  }
  return chunks;
}

// The generator state after n cells' worth of draws from the start state.
int StateAfterCells(int cells) {
  SeedRandom(0);
  for (int i = 0; i < 2 * cells; ++i) RandomUnit();
  return RandomState();
}

TEST(PngCoding, PositionListRunsDownEachColumn) {
  const std::list<vector> list = createvectorlist(2, 3);
  const std::vector<vector> expected = {vector::Create(0, 0, 0), vector::Create(0, 1, 0), vector::Create(0, 2, 0),
                                        vector::Create(1, 0, 0), vector::Create(1, 1, 0), vector::Create(1, 2, 0)};
  EXPECT_EQ(std::vector<vector>(list.begin(), list.end()), expected);
  EXPECT_TRUE(createvectorlist(0, 5).empty());
}

TEST(PngCoding, CellsFillThePictureColumnByColumn) {
  tilemap grid = tilemap::Create(3, 2);
  for (int k = 0; k < 6; ++k) grid.SetTile(k % 3, k / 3, k, 10 + k, 20 + k, 1);
  const picture image = EncodePicture(grid, 0);
  ASSERT_EQ(image.width, 3);
  ASSERT_EQ(image.height, 2);
  // Column 0 holds cells 0 and 1, column 1 cells 2 and 3, column 2 cells 4 and 5.
  for (int k = 0; k < 6; ++k) {
    const uint32_t expected = 0xFF000000u | static_cast<uint32_t>(k) << 16 | static_cast<uint32_t>(10 + k) << 8 |
                              static_cast<uint32_t>(20 + k);
    EXPECT_EQ(image.ReadPixel(k / 2, k % 2), expected) << "cell " << k;
  }

  const tilemap screen = testing::RandomGrid(20, 15, 3);
  const picture big = EncodePicture(screen, 0);
  // Column 1 of a 20 x 15 picture: cells 15 to 19 of the top row, then cells 0 to 9 of the second.
  EXPECT_EQ(big.ReadPixel(1, 0) >> 16 & 0xFF, screen.at(0, 15, 0));
  EXPECT_EQ(big.ReadPixel(1, 4) >> 16 & 0xFF, screen.at(0, 19, 0));
  EXPECT_EQ(big.ReadPixel(1, 5) >> 16 & 0xFF, screen.at(0, 0, 1));
  EXPECT_EQ(big.ReadPixel(1, 14) >> 8 & 0xFF, screen.at(1, 9, 1));
}

TEST(PngCoding, CodingRestartsTheGeneratorAndDrawsTwicePerCell) {
  const tilemap grid = testing::RandomGrid(20, 15, 4);
  const int expected = StateAfterCells(300);
  SeedRandom(987654);
  std::optional<std::vector<uint8_t>> png = EncodePNGBytes(grid, 0);
  ASSERT_TRUE(png.has_value());
  EXPECT_EQ(RandomState(), expected);
  SeedRandom(55);
  ASSERT_TRUE(DecodePNGBytes(png->data(), png->size(), 0).has_value());
  EXPECT_EQ(RandomState(), expected);
  // One row: the seed is 0, which also means the start state.
  const tilemap row = testing::RandomGrid(9, 1, 5);
  SeedRandom(31337);
  ASSERT_TRUE(EncodePNGBytes(row, 0).has_value());
  EXPECT_EQ(RandomState(), StateAfterCells(9));
}

TEST(PngCoding, ScrambledPicturesDecodeToTheGridEncoded) {
  const std::pair<int, int> sizes[] = {{20, 15}, {7, 3}, {5, 1}, {1, 6}, {40, 30}};
  for (auto [w, h] : sizes) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
    const tilemap grid = testing::RandomGrid(w, h, static_cast<unsigned>(w * 100 + h));
    const picture scrambled = EncodePicture(grid, 1);
    EXPECT_NE(scrambled.pixels, EncodePicture(grid, 0).pixels);
    EXPECT_EQ(DecodePicture(scrambled, 1).tmap, grid.tmap);
    EXPECT_EQ(DecodePicture(EncodePicture(grid, 0), 0).tmap, grid.tmap);
  }
}

TEST(PngCoding, MixingKeepsEveryPositionOnce) {
  SeedRandom(0);
  std::list<vector> list = createvectorlist(6, 5);
  EXPECT_EQ(mixvectorlist(list), 0);
  std::vector<vector> mixed(list.begin(), list.end());
  const std::list<vector> original = createvectorlist(6, 5);
  EXPECT_NE(mixed, std::vector<vector>(original.begin(), original.end()));
  auto order = [](const vector& a, const vector& b) { return std::tie(a.x, a.y) < std::tie(b.x, b.y); };
  std::sort(mixed.begin(), mixed.end(), order);
  EXPECT_EQ(mixed, std::vector<vector>(original.begin(), original.end()));

  std::list<vector> single = createvectorlist(1, 1);
  mixvectorlist(single);
  EXPECT_EQ(single.size(), 1u);
}

TEST(PngCoding, BytesOf255ComeBackAsZero) {
  tilemap grid = testing::RandomGrid(6, 4, 6);
  grid.SetTile(2, 1, 255, 7, 255, 1);
  grid.SetTile(5, 3, 1, 255, 2, 1);
  tilemap expected = grid;
  expected.SetTile(2, 1, 0, 7, 0, 1);
  expected.SetTile(5, 3, 1, 0, 2, 1);
  EXPECT_EQ(DecodePicture(EncodePicture(grid, 0), 0).tmap, expected.tmap);
}

TEST(PngCoding, ScreenPictureIsEightBitRgbWithThreeChunks) {
  const tilemap grid = testing::DrawnGrid(20, 15);
  std::optional<std::vector<uint8_t>> png = EncodePNGBytes(grid, 0);
  ASSERT_TRUE(png.has_value());
  const std::vector<chunk> chunks = Chunks(*png);
  ASSERT_EQ(chunks.size(), 3u);
  EXPECT_EQ(chunks[0].type, "IHDR");
  EXPECT_EQ(chunks[1].type, "IDAT");
  EXPECT_EQ(chunks[2].type, "IEND");
  const std::vector<uint8_t>& header = chunks[0].data;
  EXPECT_EQ(Big32(header, 0), 20u);
  EXPECT_EQ(Big32(header, 4), 15u);
  EXPECT_EQ(header[8], 8);   // bits per channel
  EXPECT_EQ(header[9], 2);   // RGB, no alpha
  EXPECT_EQ(header[12], 0);  // not interlaced
  std::vector<uint8_t> raw(2000);
  uLongf size = raw.size();
  ASSERT_EQ(uncompress(raw.data(), &size, chunks[1].data.data(), chunks[1].data.size()), Z_OK);
  EXPECT_EQ(size, 915u);  // 15 rows of a filter byte and 60 samples
}

TEST(PngCoding, DecodesPicturesOfEveryColourType) {
  // A grey picture gives glyph, foreground and background all equal to the grey level.
  fixtures::png_spec grey;
  grey.width = 3;
  grey.height = 2;
  grey.color_type = 0;
  grey.samples = {1, 2, 3, 4, 5, 6};
  std::vector<uint8_t> png = fixtures::EncodePng(grey);
  std::optional<tilemap> grid = DecodePNGBytes(png.data(), png.size(), 0);
  ASSERT_TRUE(grid.has_value());
  // Pixel (x, y) is cell number x * 2 + y in row order.
  EXPECT_EQ(grid->at(0, 0, 0), 1);  // pixel (0, 0)
  EXPECT_EQ(grid->at(2, 1, 0), 4);  // cell 1 = pixel (0, 1)
  EXPECT_EQ(grid->at(1, 2, 1), 6);  // cell 5 = pixel (2, 1)

  fixtures::png_spec deep;
  deep.width = 2;
  deep.height = 1;
  deep.bit_depth = 16;
  deep.samples = {0x0100, 0x0200, 0x0300, 0x0400, 0x0500, 0x0600};
  png = fixtures::EncodePng(deep);
  grid = DecodePNGBytes(png.data(), png.size(), 0);
  ASSERT_TRUE(grid.has_value());
  EXPECT_EQ(grid->tmap, (std::vector<uint8_t>{1, 4, 2, 5, 3, 6}));

  fixtures::png_spec indexed;
  indexed.width = 2;
  indexed.height = 2;
  indexed.color_type = 3;
  indexed.interlaced = true;
  indexed.samples = {0, 1, 1, 0};
  indexed.palette = {{10, 20, 30}, {40, 50, 60}};
  png = fixtures::EncodePng(indexed);
  grid = DecodePNGBytes(png.data(), png.size(), 0);
  ASSERT_TRUE(grid.has_value());
  EXPECT_EQ(grid->at(0, 1, 0), 40);  // cell 1 = pixel (0, 1), palette entry 1
}

TEST(PngCoding, FilesOnDiskRoundTrip) {
  testing::temp_folder folder;
  const tilemap grid = testing::RandomGrid(11, 4, 8);
  const std::string path = folder / "cells.png";
  const picture image = EncodePNG(grid, path, 0);
  EXPECT_EQ(image.width, 11);
  ASSERT_TRUE(testing::TestFileExists(path));
  std::optional<tilemap> back = DecodePNG(path, 0);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->tmap, grid.tmap);
  EXPECT_FALSE(DecodePNG(folder / "missing.png", 0).has_value());
}

}  // namespace
}  // namespace dusk
