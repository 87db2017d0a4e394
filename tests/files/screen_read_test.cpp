// Reading screen files: round trips of the three codings, every message, and damaged or hostile files.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>
#include <limits>

#include "files/png_coding.h"
#include "tests/files/screen_test_util.h"

namespace dusk {
namespace {

using testing::CodePlain;
using testing::CodePng;
using testing::CodeRunLength;
using testing::error_log;
using testing::ReadBytes;

enum class coding { plain, runlength, png };

std::vector<uint8_t> Code(coding how, const tilemap& grid) {
  switch (how) {
    case coding::plain: return CodePlain(grid);
    case coding::runlength: return CodeRunLength(grid);
    case coding::png: return CodePng(grid);
  }
  return {};
}

const char* Name(coding how) {
  switch (how) {
    case coding::plain: return "QDTM";
    case coding::runlength: return "QDTR";
    case coding::png: return "QDTP";
  }
  return "";
}

void PutBig32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& png, const std::string& type, const std::vector<uint8_t>& data) {
  PutBig32(png, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> typed(type.begin(), type.end());
  typed.insert(typed.end(), data.begin(), data.end());
  png.insert(png.end(), typed.begin(), typed.end());
  PutBig32(png, static_cast<uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}

// A "QDTP" file whose picture claims width x height pixels but holds no pixel data at all.
std::vector<uint8_t> HollowPictureFile(uint32_t width, uint32_t height) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutBig32(header, width);
  PutBig32(header, height);
  header.insert(header.end(), {8, 2, 0, 0, 0});
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IEND", {});
  auto out = OpenMemoryWrite();
  out->WriteBytes(reinterpret_cast<const uint8_t*>("QDTP"), 4);
  out->WriteInt(1);
  out->WriteInt(1);
  out->WriteInt(0);
  out->WriteDouble(static_cast<double>(png.size()));
  out->WriteBytes(png.data(), png.size());
  out->WriteBytes(reinterpret_cast<const uint8_t*>("EOF"), 3);
  return out->TakeBytes();
}

void PutInt(std::vector<uint8_t>& bytes, size_t at, int32_t value) {
  std::memcpy(bytes.data() + at, &value, 4);  // little-endian machine, as the file format
}

TEST(ScreenRead, EveryCodingRoundTrips) {
  const tilemap grids[] = {testing::RandomGrid(20, 15, 1), testing::RandomGrid(1, 1, 2), testing::RandomGrid(33, 7, 3),
                           testing::RandomGrid(15, 225, 4), testing::DrawnGrid(20, 15)};
  for (coding how : {coding::plain, coding::runlength, coding::png}) {
    for (const tilemap& grid : grids) {
      SCOPED_TRACE(std::string(Name(how)) + " " + std::to_string(grid.tmapw) + " x " + std::to_string(grid.tmaph));
      error_log errors;
      const std::vector<uint8_t> file = Code(how, grid);
      EXPECT_EQ(std::string(file.begin(), file.begin() + 4), Name(how));
      std::optional<tilemap> back = ReadBytes(file);
      ASSERT_TRUE(back.has_value());
      EXPECT_EQ(back->tmapw, grid.tmapw);
      EXPECT_EQ(back->tmaph, grid.tmaph);
      EXPECT_EQ(back->tmap, grid.tmap);
      EXPECT_EQ(back->transparentcolor, 9);
      EXPECT_TRUE(errors.entries.empty());
    }
  }
}

TEST(ScreenRead, RunLengthAndPlainKeepBytesOf255) {
  const tilemap grid = testing::RandomGrid(20, 15, 9, false);
  for (coding how : {coding::plain, coding::runlength}) {
    error_log errors;
    std::optional<tilemap> back = ReadBytes(Code(how, grid));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->tmap, grid.tmap);
    EXPECT_TRUE(errors.entries.empty());
  }
}

TEST(ScreenRead, PngCodedBytesOf255ReadBackAsZeroWithTheChecksumMessage) {
  tilemap grid = testing::DrawnGrid(20, 15);
  grid.SetTile(4, 4, 255, 255, 255, 1);
  error_log errors;
  std::optional<tilemap> back = ReadBytes(CodePng(grid));
  ASSERT_TRUE(back.has_value());
  tilemap expected = grid;
  expected.SetTile(4, 4, 0, 0, 0, 1);
  EXPECT_EQ(back->tmap, expected.tmap);
  ASSERT_EQ(errors.entries.size(), 1u);
  EXPECT_EQ(errors.entries[0].first, "Error!");
  EXPECT_EQ(errors.entries[0].second, kChecksumFailed);
}

TEST(ScreenRead, DamagedFilesGetTheirMessages) {
  const tilemap grid = testing::DrawnGrid(20, 15);
  const std::vector<uint8_t> runlength = CodeRunLength(grid);
  const std::vector<uint8_t> plain = CodePlain(grid);
  const std::vector<uint8_t> png = CodePng(grid);

  struct damage_case {
    const char* name;
    std::vector<uint8_t> file;
    std::string message;
    bool gives_grid = false;
  };
  std::vector<damage_case> cases;
  cases.push_back({"empty file", {}, kUnrecognizedHeader});
  cases.push_back({"unknown magic", [&] { auto f = runlength; f[3] = 'X'; return f; }(), kUnrecognizedHeader});
  cases.push_back({"lower-case magic", [&] { auto f = runlength; f[0] = 'q'; return f; }(), kUnrecognizedHeader});
  cases.push_back({"wrong trailer", [&] { auto f = runlength; f.back() = 'X'; return f; }(),
                   TrailerMessage("EOX")});
  cases.push_back({"trailer cut short", [&] { auto f = png; f.pop_back(); return f; }(), TrailerMessage("EO")});
  cases.push_back({"extra run before the trailer", [&] {
                     auto f = runlength;
                     f.insert(f.end() - 3, {0, 0});
                     return f;
                   }(),
                   TrailerMessage(std::string("\0\0E", 3))});
  cases.push_back({"plain body with no trailer", [&] {
                     auto f = plain;
                     f.resize(f.size() - 3);
                     return f;
                   }(),
                   kUnexpectedEnd});
  cases.push_back({"plain body with one trailer byte", [&] {
                     auto f = plain;
                     f.resize(f.size() - 2);
                     return f;
                   }(),
                   TrailerMessage("E")});
  cases.push_back({"checksum off by one", [&] { auto f = runlength; f[12] ^= 1; return f; }(), kChecksumFailed, true});
  cases.push_back({"negative width", [&] { auto f = plain; PutInt(f, 4, -20); return f; }(), kBadSize});
  cases.push_back({"negative height", [&] { auto f = runlength; PutInt(f, 8, -1); return f; }(), kBadSize});
  cases.push_back({"huge size", [&] {
                     auto f = runlength;
                     PutInt(f, 4, 100000);
                     PutInt(f, 8, 100000);
                     return f;
                   }(),
                   kBadSize});
  cases.push_back({"size overflowing 32 bits", [&] {
                     auto f = plain;
                     PutInt(f, 4, std::numeric_limits<int32_t>::max());
                     PutInt(f, 8, std::numeric_limits<int32_t>::max());
                     return f;
                   }(),
                   kBadSize});
  cases.push_back({"size beyond the run-length body", [&] { auto f = runlength; PutInt(f, 8, 3000); return f; }(),
                   kUnexpectedEnd});
  cases.push_back({"size beyond the plain body", [&] { auto f = plain; PutInt(f, 8, 16); return f; }(),
                   kUnexpectedEnd});
  cases.push_back({"picture longer than the file", [&] {
                     auto f = png;
                     const double length = 1e12;
                     std::memcpy(f.data() + 16, &length, 8);
                     return f;
                   }(),
                   kUnexpectedEnd});
  cases.push_back({"picture of negative length", [&] {
                     auto f = png;
                     const double length = -5;
                     std::memcpy(f.data() + 16, &length, 8);
                     return f;
                   }(),
                   kBadPicture});
  cases.push_back({"picture length not a number", [&] {
                     auto f = png;
                     const double length = std::numeric_limits<double>::quiet_NaN();
                     std::memcpy(f.data() + 16, &length, 8);
                     return f;
                   }(),
                   kBadPicture});
  cases.push_back({"picture with a damaged pixel chunk", [&] {
                     auto f = png;
                     f[24 + 8 + 33 + 10] ^= 0x55;  // inside IDAT: its CRC no longer matches
                     return f;
                   }(),
                   kBadPicture});
  // Refused from the header alone, before anything is allocated for its pixels.
  cases.push_back({"picture of more cells than a screen may have", HollowPictureFile(5000, 5000), kBadPicture});
  cases.push_back({"picture of a width beyond PNG's limit", HollowPictureFile(0x80000000u, 1), kBadPicture});
  cases.push_back({"picture with no pixel data", HollowPictureFile(4, 4), kBadPicture});
  cases.push_back({"picture that is not a PNG", [&] {
                     auto f = png;
                     f[24 + 1] = 'X';
                     return f;
                   }(),
                   kBadPicture});

  for (const damage_case& c : cases) {
    SCOPED_TRACE(c.name);
    error_log errors;
    std::optional<tilemap> back = ReadBytes(c.file);
    EXPECT_EQ(back.has_value(), c.gives_grid);
    ASSERT_EQ(errors.entries.size(), 1u);
    EXPECT_EQ(errors.entries[0].first, "Error!");
    EXPECT_EQ(errors.entries[0].second, c.message);

    error_log quiet;
    EXPECT_EQ(ReadBytes(c.file, 0).has_value(), c.gives_grid);
    EXPECT_TRUE(quiet.entries.empty()) << "showerrors 0 shows nothing";
  }
}

TEST(ScreenRead, EveryTruncationFailsWithOneMessage) {
  const tilemap grid = testing::DrawnGrid(20, 15);
  for (coding how : {coding::plain, coding::runlength, coding::png}) {
    const std::vector<uint8_t> file = Code(how, grid);
    const size_t body_end = file.size() - 3;
    for (size_t length = 0; length < file.size(); ++length) {
      SCOPED_TRACE(std::string(Name(how)) + " cut to " + std::to_string(length) + " bytes");
      error_log errors;
      EXPECT_FALSE(ReadBytes(std::vector<uint8_t>(file.begin(), file.begin() + static_cast<long>(length))));
      ASSERT_EQ(errors.entries.size(), 1u);
      std::string expected = kUnexpectedEnd;
      if (length < 4) {
        expected = kUnrecognizedHeader;
      } else if (length > body_end || (length == body_end && how != coding::plain)) {
        expected = TrailerMessage(std::string(file.begin() + static_cast<long>(body_end),
                                              file.begin() + static_cast<long>(length)));
      }
      EXPECT_EQ(errors.entries[0].second, expected);
    }
  }
}

TEST(ScreenRead, RunsReachingPastTheCellsAreClipped) {
  // A 1 x 1 grid (3 bytes) stored as one run of 10 sevens.
  tilemap sevens = tilemap::Create(1, 1);
  sevens.tmap = {7, 7, 7};
  std::vector<uint8_t> file = {'Q', 'D', 'T', 'R', 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 9, 7, 'E', 'O', 'F'};
  PutInt(file, 12, GetChecksum(sevens));
  error_log errors;
  std::optional<tilemap> back = ReadBytes(file);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->tmap, sevens.tmap);
  EXPECT_TRUE(errors.entries.empty());
}

TEST(ScreenRead, GridsWithNoCellsRoundTripInTheWrittenCodings) {
  for (const tilemap& empty : {tilemap::Create(0, 0), tilemap::Create(0, 4), tilemap::Create(9, 0)}) {
    for (coding how : {coding::plain, coding::runlength}) {
      error_log errors;
      std::optional<tilemap> back = ReadBytes(Code(how, empty));
      ASSERT_TRUE(back.has_value());
      EXPECT_EQ(back->tmapw, empty.tmapw);
      EXPECT_EQ(back->tmaph, empty.tmaph);
      EXPECT_TRUE(errors.entries.empty());
    }
  }
}

TEST(ScreenRead, FilesOnDiskAndMissingFiles) {
  testing::temp_folder folder;
  const tilemap grid = testing::RandomGrid(20, 15, 12);
  testing::WriteTestFile(folder / "a.qtm", CodePng(grid));
  error_log errors;
  std::optional<tilemap> back = Read(folder / "a.qtm", 1);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->tmap, grid.tmap);
  // A file that can't be opened gives none and no message.
  EXPECT_FALSE(Read(folder / "missing.slv", 1).has_value());
  EXPECT_FALSE(Read(folder.path(), 1).has_value());
  EXPECT_TRUE(errors.entries.empty());
  // The picture is coded in memory: no scratch file is left behind or needed.
  EXPECT_FALSE(testing::TestFileExists(kScratchPngPath));
}

}  // namespace
}  // namespace dusk
