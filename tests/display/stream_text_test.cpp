// Text as bytes on streams.
#include "display/stream_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dusk {
namespace {

using bytes = std::vector<uint8_t>;

TEST(StreamTextTest, ShortStringsAreLengthPrefixed) {
  auto out = OpenMemoryWrite();
  WriteShortString(*out, "Ok");
  WriteShortString(*out, "");
  WriteShortString(*out, "\xE9\xFF");
  EXPECT_EQ(out->Bytes(), (bytes{0x02, 0x4F, 0x6B, 0x00, 0x02, 0xE9, 0xFF}));
  auto in = OpenMemory(out->TakeBytes());
  EXPECT_EQ(ReadShortString(*in), "Ok");
  EXPECT_EQ(ReadShortString(*in), "");
  EXPECT_EQ(ReadShortString(*in), "\xE9\xFF");
  EXPECT_EQ(in->Eof(), 1);
}

TEST(StreamTextTest, LongTextIsCutTo255Characters) {
  std::string exact(255, 'x');
  std::string longer = std::string(255, 'y') + "tail";
  auto out = OpenMemoryWrite();
  WriteShortString(*out, exact);
  WriteShortString(*out, longer);
  EXPECT_EQ(out->Size(), 2 * 256);
  auto in = OpenMemory(out->TakeBytes());
  EXPECT_EQ(ReadShortString(*in), exact);
  EXPECT_EQ(ReadShortString(*in), std::string(255, 'y'));
  EXPECT_EQ(in->Eof(), 1) << "nothing of the cut text is left to be misread as the next field";
}

TEST(StreamTextTest, ShortReadsStopQuietlyAtTheEnd) {
  struct read_case {
    bytes input;
    std::string text;
  };
  const read_case cases[] = {
      {{0x05, 0x41, 0x42}, "AB"},
      {{0x00, 0x41}, ""},
      {{0x03}, ""},
      {{}, ""},
  };
  for (const read_case& c : cases) {
    auto in = OpenMemory(c.input);
    EXPECT_EQ(ReadShortString(*in), c.text) << ::testing::PrintToString(c.input);
  }
}

TEST(StreamTextTest, CharsCarryNoLengthAndStopAtTheEnd) {
  auto out = OpenMemoryWrite();
  WriteChars(*out, "QDTR");
  WriteChars(*out, "");
  EXPECT_EQ(out->Bytes(), (bytes{'Q', 'D', 'T', 'R'}));
  auto in = OpenMemory({'Q', 'D', 'T', 'R', 'E', 'O'});
  EXPECT_EQ(ReadChars(*in, 4), "QDTR");
  EXPECT_EQ(ReadChars(*in, 3), "EO");
  EXPECT_EQ(ReadChars(*in, 3), "");
  auto other = OpenMemory({'a'});
  EXPECT_EQ(ReadChars(*other, 0), "");
  EXPECT_EQ(ReadChars(*other, -2), "");
  EXPECT_EQ(other->Position(), 0);
}

}  // namespace
}  // namespace dusk
