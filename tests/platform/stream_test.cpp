// Streams: little-endian layout, lines, the ends of streams, files and embedded data.
#include "platform/stream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/embedded.h"
#include "tests/platform/support/temp_folder.h"

namespace dusk {
namespace {

using bytes = std::vector<uint8_t>;
using dusk::testing::ReadTestFile;
using dusk::testing::temp_folder;
using dusk::testing::WriteTestFile;

TEST(StreamTest, WritesAreLittleEndianAndKeepTheLowBits) {
  auto out = OpenMemoryWrite();
  out->WriteByte(0x1AB);
  out->WriteShort(0x12345);
  out->WriteShort(-1);
  out->WriteInt(-2);
  out->WriteInt(0x01020304);
  out->WriteDouble(1.0);
  out->WriteDouble(-2.5);
  out->WriteLine("A\xE9");
  EXPECT_EQ(out->Bytes(), (bytes{0xAB,                                            //
                                 0x45, 0x23, 0xFF, 0xFF,                          //
                                 0xFE, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01,  //
                                 0, 0, 0, 0, 0, 0, 0xF0, 0x3F,                    //
                                 0, 0, 0, 0, 0, 0, 0x04, 0xC0,                    //
                                 0x41, 0xE9, 0x0D, 0x0A}));
  EXPECT_EQ(out->Position(), 33);
  EXPECT_EQ(out->Size(), 33);
}

TEST(StreamTest, ReadsGiveTheStatedRanges) {
  auto in = OpenMemory({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0xC8});
  EXPECT_EQ(in->ReadShort(), 65535);
  EXPECT_EQ(in->ReadInt(), -1);
  EXPECT_EQ(in->ReadInt(), static_cast<int32_t>(0x800000FF));
  EXPECT_EQ(in->ReadByte(), 200);
  EXPECT_EQ(in->Eof(), 1);
}

TEST(StreamTest, EverythingWrittenReadsBack) {
  auto out = OpenMemoryWrite();
  const double doubles[] = {0.0, -0.0, 3.141592653589793, 1e-310, -1e308};
  for (int i = 0; i < 256; ++i) out->WriteByte(i);
  out->WriteShort(0);
  out->WriteShort(65535);
  out->WriteInt(-2147483647 - 1);
  out->WriteInt(2147483647);
  for (double d : doubles) out->WriteDouble(d);
  out->WriteLine("first line");
  out->WriteLine("");
  auto in = OpenMemory(out->TakeBytes());
  for (int i = 0; i < 256; ++i) ASSERT_EQ(in->ReadByte(), i);
  EXPECT_EQ(in->ReadShort(), 0);
  EXPECT_EQ(in->ReadShort(), 65535);
  EXPECT_EQ(in->ReadInt(), -2147483647 - 1);
  EXPECT_EQ(in->ReadInt(), 2147483647);
  for (double d : doubles) {
    double got = in->ReadDouble();
    EXPECT_EQ(std::signbit(got), std::signbit(d));
    EXPECT_EQ(got, d);
  }
  EXPECT_EQ(in->ReadLine(), "first line");
  EXPECT_EQ(in->ReadLine(), "");
  EXPECT_EQ(in->Eof(), 1);
}

TEST(StreamTest, ReadLineSplitsAtLineFeedAndZeroAndDropsCarriageReturns) {
  struct line_case {
    std::string input;
    std::vector<std::string> lines;  // read until the end of the stream
  };
  const line_case cases[] = {
      {"ab\r\ncd\r\n", {"ab", "cd"}},
      {"ab\ncd", {"ab", "cd"}},                 // the last line may lack an ending
      {std::string("a\0b", 3), {"a", "b"}},     // byte 0 ends a line too
      {"x\ry\r\r\n", {"xy"}},                   // every carriage return is dropped, not only the last
      {"\n\n", {"", ""}},
      {"\xE9\xFF\x80\n", {"\xE9\xFF\x80"}},     // bytes above 127 are characters
  };
  for (const line_case& c : cases) {
    auto in = OpenMemory(bytes(c.input.begin(), c.input.end()));
    std::vector<std::string> got;
    while (!in->Eof()) got.push_back(in->ReadLine());
    EXPECT_EQ(got, c.lines) << "input " << ::testing::PrintToString(c.input);
  }
  // At the end a line is empty, not an error.
  auto empty = OpenMemory({});
  EXPECT_EQ(empty->ReadLine(), "");
}

TEST(StreamTest, PositionSeekAndRemaining) {
  auto in = OpenMemory({1, 2, 3, 4, 5});
  EXPECT_EQ(in->Size(), 5);
  EXPECT_EQ(in->Remaining(), 5);
  EXPECT_EQ(in->Eof(), 0);
  in->Seek(3);
  EXPECT_EQ(in->ReadByte(), 4);
  EXPECT_EQ(in->Position(), 4);
  EXPECT_EQ(in->Remaining(), 1);
  in->Seek(99);
  EXPECT_EQ(in->Position(), 5);
  EXPECT_EQ(in->Eof(), 1);
  in->Seek(-4);
  EXPECT_EQ(in->Position(), 0);
  EXPECT_EQ(in->ReadByte(), 1);
}

using StreamDeathTest = ::testing::Test;

TEST_F(StreamDeathTest, ReadingPastTheEndIsFatal) {
  // The message exactly, no line end, and exit status -1.
  const char* message = "^Error reading from stream$";
  EXPECT_EXIT(OpenMemory({1, 2, 3})->ReadInt(), ::testing::ExitedWithCode(255), message);
  EXPECT_EXIT(OpenMemory({})->ReadByte(), ::testing::ExitedWithCode(255), message);
  EXPECT_EXIT(OpenMemory({1})->ReadShort(), ::testing::ExitedWithCode(255), message);
  EXPECT_EXIT(OpenMemory(bytes(7))->ReadDouble(), ::testing::ExitedWithCode(255), message);
  EXPECT_EXIT(
      {
        auto in = OpenMemory({1, 2});
        uint8_t buffer[3];
        in->ReadBytes(buffer, 3);
      },
      ::testing::ExitedWithCode(255), message);
}

TEST_F(StreamDeathTest, AFailedWriteIsFatal) {
  // The device that is always full refuses every byte.
  EXPECT_EXIT(
      {
        auto out = OpenWrite("/dev/full");
        if (!out) std::exit(3);
        out->WriteInt(7);
        out->Close();
      },
      ::testing::ExitedWithCode(255), "^Error writing to stream$");
  // Dropping the stream without closing it still writes, and still fails loudly.
  EXPECT_EXIT(
      {
        auto out = OpenWrite("/dev/full");
        if (!out) std::exit(3);
        out->WriteByte(7);
      },
      ::testing::ExitedWithCode(255), "^Error writing to stream$");
}

TEST(StreamTest, FilesWrittenAndReadBack) {
  temp_folder folder;
  std::string path = folder / "data.bin";
  {
    auto out = OpenWrite(path);
    ASSERT_NE(out, nullptr);
    out->WriteInt(0x11223344);
    out->WriteLine("hi");
    out->Close();
  }
  EXPECT_EQ(ReadTestFile(path), (bytes{0x44, 0x33, 0x22, 0x11, 'h', 'i', '\r', '\n'}));

  // More than the write buffer holds, dropped without Close(): every byte arrives, in order.
  bytes big(200000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7 + i / 256);
  {
    auto out = OpenWrite(path);
    ASSERT_NE(out, nullptr);
    for (uint8_t b : big) out->WriteByte(b);
  }
  EXPECT_EQ(ReadTestFile(path), big);

  auto in = OpenRead(path);
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(in->Size(), 200000);
  bytes back(big.size());
  in->ReadBytes(back.data(), back.size());
  EXPECT_EQ(back, big);

  // Backslashes separate folders as well.
  WriteTestFile(folder / "inner.txt", {'o', 'k'});
  auto backslashed = OpenRead(folder.path() + "\\inner.txt");
  ASSERT_NE(backslashed, nullptr);
  EXPECT_EQ(backslashed->ReadLine(), "ok");
}

TEST(StreamTest, OpeningFailsWithNone) {
  temp_folder folder;
  EXPECT_EQ(OpenRead(folder / "missing.bin"), nullptr);
  EXPECT_EQ(OpenRead(folder.path()), nullptr) << "a folder is not a file";
  EXPECT_EQ(OpenWrite(folder / "no/such/folder.bin"), nullptr);
  EXPECT_EQ(OpenWrite(folder.path()), nullptr);
  EXPECT_EQ(OpenWrite("incbin::anything"), nullptr) << "embedded files are read-only";
}

class EmbeddedTest : public ::testing::Test {
 protected:
  void TearDown() override { ClearEmbedded(); }
};

TEST_F(EmbeddedTest, EitherSeparatorFindsTheFile) {
  static const uint8_t hud[] = {'Q', 'D', 'T', 'R', 0};
  static const uint8_t bip[] = {1, 2, 3};
  RegisterEmbedded("incbin\\hud.qtm", hud, sizeof hud);
  RegisterEmbedded("sounds/bip.ogg", bip, sizeof bip);

  for (const char* path : {"incbin::incbin\\hud.qtm", "incbin::incbin/hud.qtm"}) {
    auto in = OpenRead(path);
    ASSERT_NE(in, nullptr) << path;
    EXPECT_EQ(in->Size(), 5);
    EXPECT_EQ(in->ReadLine(), "QDTR");
  }
  for (const char* path : {"incbin::sounds\\bip.ogg", "incbin::sounds/bip.ogg"}) {
    auto in = OpenRead(path);
    ASSERT_NE(in, nullptr) << path;
    EXPECT_EQ(in->ReadShort(), 0x0201);
  }
  EXPECT_EQ(OpenRead("incbin::incbin\\menu.qtm"), nullptr);
  EXPECT_EQ(OpenRead("incbin\\hud.qtm"), nullptr) << "without the prefix it is a disk path";

  const uint8_t* data = nullptr;
  size_t size = 0;
  ASSERT_TRUE(FindEmbedded("incbin/hud.qtm", data, size));
  EXPECT_EQ(data, hud);
  EXPECT_EQ(size, sizeof hud);
  ClearEmbedded();
  EXPECT_FALSE(FindEmbedded("incbin/hud.qtm", data, size));
}

}  // namespace
}  // namespace dusk
