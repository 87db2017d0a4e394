// Numbers written in text, as configuration files and world sources write them.
#include "display/text_number.h"

#include <cstdint>

namespace dusk {

namespace {

// The value of a digit in the given base, or -1 when the character is not one.
int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') {
    value = c - '0';
  } else if (c >= 'a' && c <= 'f') {
    value = c - 'a' + 10;
  } else if (c >= 'A' && c <= 'F') {
    value = c - 'A' + 10;
  }
  return value < base ? value : -1;
}

}  // namespace

int TextToInt(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && static_cast<unsigned char>(text[at]) <= 32) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  int base = 10;
  if (at < text.size() && text[at] == '$') {
    base = 16;
    ++at;
  } else if (at < text.size() && text[at] == '%') {
    base = 2;
    ++at;
  }
  // Unsigned arithmetic wraps instead of overflowing, so any run of digits is safe.
  uint32_t value = 0;
  for (; at < text.size(); ++at) {
    const int digit = DigitValue(text[at], base);
    if (digit < 0) break;
    value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
  }
  if (negative) value = 0u - value;
  return static_cast<int>(value);
}

}  // namespace dusk
