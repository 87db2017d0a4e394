// Numbers in text: signs, "$" hexadecimal, "%" binary, and whatever follows the digits.
#include "display/text_number.h"

#include <gtest/gtest.h>

namespace dusk {
namespace {

TEST(TextToIntTest, ReadsSignsPrefixesAndStopsAtTheFirstOtherCharacter) {
  struct test_case {
    const char* text;
    int value;
  };
  const test_case cases[] = {
      {"12", 12},
      {"  \t-7", -7},
      {"+5", 5},
      {"$1F", 31},
      {"$ff", 255},
      {"-$10", -16},
      {"%101", 5},
      {"%102", 2},
      {"12abc", 12},
      {"300:", 300},
      {"", 0},
      {"abc", 0},
      {"$", 0},
      {"-", 0},
      {"- 5", 0},
      {"$-5", 0},
      {"%2", 0},
      {"$G", 0},
      {"007", 7},
      {"2147483647", 2147483647},
      {"4294967297", 1},
      {"$FFFFFFFF", -1},
      {"-2147483648", -2147483647 - 1},
  };
  for (const test_case& c : cases) EXPECT_EQ(TextToInt(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace dusk
