// Text as bytes on streams; the reads stop quietly at the end, since these carry untrusted file text.
#include "display/stream_text.h"

#include <algorithm>
#include <cstdint>

namespace dusk {

namespace {

constexpr size_t kShortStringMax = 255;

std::string ReadUpTo(stream& in, int64_t count) {
  const int64_t available = std::min(std::max<int64_t>(count, 0), in.Remaining());
  std::string text(static_cast<size_t>(available), '\0');
  if (available > 0) in.ReadBytes(reinterpret_cast<uint8_t*>(text.data()), text.size());
  return text;
}

}  // namespace

void WriteShortString(stream& out, const std::string& text) {
  const size_t length = std::min(text.size(), kShortStringMax);
  out.WriteByte(static_cast<int>(length));
  out.WriteBytes(reinterpret_cast<const uint8_t*>(text.data()), length);
}

std::string ReadShortString(stream& in) {
  if (in.Remaining() < 1) return "";
  return ReadUpTo(in, in.ReadByte());
}

void WriteChars(stream& out, const std::string& text) {
  out.WriteBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::string ReadChars(stream& in, int count) { return ReadUpTo(in, count); }

}  // namespace dusk
