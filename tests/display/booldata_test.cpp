// Packed bits: byte layout, the stream form and its text form.
#include "display/booldata.h"

#include <gtest/gtest.h>

#include <vector>

namespace dusk {
namespace {

using bytes = std::vector<uint8_t>;

TEST(BooldataTest, BitsLiveInTheirBytes) {
  booldata bits = booldata::Create(16);
  EXPECT_EQ(bits.size, 16);
  EXPECT_EQ(bits.data, bytes(3, 0));
  bits.set(9, 1);
  EXPECT_EQ(bits.data, (bytes{0, 2, 0}));
  EXPECT_EQ(bits.get(9), 1);
  EXPECT_EQ(bits.get(8), 0);
  bits.set(8, 1);
  bits.set(0, 1);
  bits.set(7, 1);
  bits.set(16, 1);  // past size but inside the last byte: the bit exists
  EXPECT_EQ(bits.data, (bytes{0x81, 3, 1}));
  bits.set(9, 0);
  EXPECT_EQ(bits.data, (bytes{0x81, 1, 1})) << "clearing keeps the other bits";
  EXPECT_EQ(bits.get(9), 0);
  bits.set(99, 1);
  bits.set(-1, 1);
  EXPECT_EQ(bits.data, (bytes{0x81, 1, 1})) << "bits with no byte are skipped";
  EXPECT_EQ(bits.get(99), 0);
}

TEST(BooldataTest, ResizeKeepsTheBytesThatFit) {
  booldata bits = booldata::Create(20);  // 3 bytes
  bits.set(3, 1);
  bits.set(19, 1);
  bits.resize(40);
  EXPECT_EQ(bits.size, 40);
  EXPECT_EQ(bits.data, (bytes{8, 0, 8, 0, 0, 0}));
  bits.resize(7);
  EXPECT_EQ(bits.data, (bytes{8}));
}

TEST(BooldataTest, StreamFormIsByteExact) {
  auto out = OpenMemoryWrite();
  booldata::Create(0).write(*out);
  EXPECT_EQ(out->Bytes(), (bytes{0, 0, 0, 0, 0}));

  out = OpenMemoryWrite();
  booldata bits = booldata::Create(10);
  bits.set(1, 1);
  bits.set(9, 1);
  bits.write(*out);
  EXPECT_EQ(out->Bytes(), (bytes{10, 0, 0, 0, 2, 2}));

  auto in = OpenMemory(out->TakeBytes());
  booldata back = booldata::read(*in);
  EXPECT_EQ(back.size, 10);
  EXPECT_EQ(back.data, bits.data);
  EXPECT_EQ(in->Eof(), 1);
}

TEST(BooldataTest, TextFormIsEightDigitsPerByte) {
  booldata bits = booldata::Create(9);
  bits.set(0, 1);
  bits.set(2, 1);
  bits.set(8, 1);
  EXPECT_EQ(bits.str(), "0000010100000001");
}

using BooldataDeathTest = ::testing::Test;

TEST_F(BooldataDeathTest, AShortStreamIsTheReadError) {
  EXPECT_EXIT(booldata::read(*OpenMemory({16, 0, 0, 0, 1, 2})), ::testing::ExitedWithCode(255),
              "^Error reading from stream$");
  // A huge size fails the same way, without first making room for it.
  EXPECT_EXIT(booldata::read(*OpenMemory({0xFF, 0xFF, 0xFF, 0x7F, 1})), ::testing::ExitedWithCode(255),
              "^Error reading from stream$");
}

}  // namespace
}  // namespace dusk
