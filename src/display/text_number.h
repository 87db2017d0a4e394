// Numbers written in text, as configuration files and world sources write them.
#pragma once

#include <string_view>

namespace dusk {

// Leading blanks (codes 32 and below) are skipped, then an optional "+" or "-", then "$" and hexadecimal
// digits, "%" and binary digits, or decimal digits, up to the first character that doesn't fit. No digits
// give 0. The value wraps around in 32 bits rather than overflowing.
int TextToInt(std::string_view text);

}  // namespace dusk
