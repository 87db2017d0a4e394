// Save: the choice of coding, the statistics lines, files that round trip, and failures that leave no file.
#include <gtest/gtest.h>

#include "files/png_coding.h"
#include "tests/files/screen_test_util.h"

namespace dusk {
namespace {

// A grid that changes at every byte but compresses well: the PNG variant is the smaller.
tilemap Gradient(int w, int h) {
  tilemap grid = tilemap::Create(w, h);
  for (int x = 0; x < w; ++x) {
    for (int y = 0; y < h; ++y) grid.SetTile(x, y, x, y, (x + y) % 7, 1);
  }
  return grid;
}

std::string Magic(const std::vector<uint8_t>& file) {
  return file.size() < 4 ? "" : std::string(file.begin(), file.begin() + 4);
}

TEST(ScreenSave, WritesTheSmallerCodingAndPrintsTheStatistics) {
  testing::temp_folder folder;
  struct save_case {
    const char* name;
    tilemap grid;
    std::string magic;
  };
  const save_case cases[] = {
      {"long runs", testing::DrawnGrid(20, 15), "QDTR"},
      {"smooth changes", Gradient(40, 30), "QDTP"},
      // Random cells: the picture is larger than the raw cells, and the run-length file is written.
      {"noise", testing::RandomGrid(20, 15, 7), "QDTR"},
  };
  for (const save_case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder / "screen.qtm";
    const int rle = rlesize(c.grid);
    const int png = pngsize(c.grid);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(Save(c.grid, path), 1);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "FILE SIZE STATISTICS: (excl. extra information)\n"
                       "Uncompressed: " + std::to_string(c.grid.tmapw * c.grid.tmaph * 3) + " bytes\n"
                       "RLE compression: " + std::to_string(rle) + " bytes\n"
                       "PNG compression: " + std::to_string(png) + " bytes\n");
    const std::vector<uint8_t> file = testing::ReadTestFile(path);
    EXPECT_EQ(Magic(file), c.magic);
    if (c.magic == "QDTP") {
      EXPECT_EQ(file.size(), static_cast<size_t>(16 + 8 + png + 3));
    } else {
      EXPECT_EQ(file, testing::CodeRunLength(c.grid));
    }
    testing::error_log errors;
    std::optional<tilemap> back = Read(path, 1);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->tmap, c.grid.tmap);
    EXPECT_TRUE(errors.entries.empty());
  }
  EXPECT_FALSE(testing::TestFileExists(folder / "screen.qtm.temp"));
}

TEST(ScreenSave, TheLoadingScreenIsSavedByteForByte) {
  testing::temp_folder folder;
  ::testing::internal::CaptureStdout();
  ASSERT_EQ(Save(testing::LoadingScreen(), folder / "loading.qtm"), 1);
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(testing::ReadTestFile(folder / "loading.qtm"), testing::kLoadingScreenFile);
}

TEST(ScreenSave, PngFileLayout) {
  const tilemap grid = Gradient(16, 9);
  auto out = OpenMemoryWrite();
  ASSERT_EQ(WritePNG(grid, *out), 1);
  const std::vector<uint8_t> file = out->TakeBytes();
  std::optional<std::vector<uint8_t>> png = EncodePNGBytes(grid, 0);
  ASSERT_TRUE(png.has_value());
  ASSERT_EQ(file.size(), 16 + 8 + png->size() + 3);
  stream_ptr in = OpenMemory(file);
  in->Seek(4);
  EXPECT_EQ(in->ReadInt(), 16);
  EXPECT_EQ(in->ReadInt(), 9);
  EXPECT_EQ(in->ReadInt(), GetChecksum(grid));
  EXPECT_EQ(in->ReadDouble(), static_cast<double>(png->size()));
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 24, file.end() - 3), *png);
  EXPECT_EQ(std::string(file.end() - 3, file.end()), "EOF");
  EXPECT_EQ(pngsize(grid), static_cast<int>(png->size()));
}

TEST(ScreenSave, GridsWithNoCellsHaveNoPictureAndAreSavedRunLength) {
  const tilemap empty = tilemap::Create(0, 3);
  EXPECT_EQ(pngsize(empty), -1);
  auto out = OpenMemoryWrite();
  EXPECT_EQ(WritePNG(empty, *out), 0);
  EXPECT_TRUE(out->Bytes().empty());

  testing::temp_folder folder;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(Save(empty, folder / "empty.qtm"), 1);
  const std::string printed = ::testing::internal::GetCapturedStdout();
  EXPECT_NE(printed.find("PNG compression: -1 bytes"), std::string::npos);
  EXPECT_EQ(Magic(testing::ReadTestFile(folder / "empty.qtm")), "QDTR");
}

TEST(ScreenSave, AnUnwritablePathFailsQuietlyAndLeavesNoFile) {
  testing::temp_folder folder;
  const std::string path = folder / "no such folder/screen.qtm";
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(Save(testing::DrawnGrid(20, 15), path), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_FALSE(testing::TestFileExists(path));
}

}  // namespace
}  // namespace dusk
