// Text as bytes on streams: length-prefixed short strings and bare character runs.
#pragma once

#include <string>

#include "platform/stream.h"

namespace dusk {

// The length as one byte, then one byte per character. A text longer than 255 characters is cut to its
// first 255, so that what is written always reads back as written (a wrapped length byte would not).
void WriteShortString(stream& out, const std::string& text);
// Up to the stored number of characters; a stream that ends early gives the characters read so far.
std::string ReadShortString(stream& in);
// One byte per character, with no length and no terminator.
void WriteChars(stream& out, const std::string& text);
// Up to count characters, stopping quietly at the end of the stream.
std::string ReadChars(stream& in, int count);

}  // namespace dusk
