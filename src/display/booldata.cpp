// A packed array of bits with a stream form.
#include "display/booldata.h"

#include <algorithm>

namespace dusk {

namespace {

// Division truncates toward zero, so small negative sizes still have one byte and larger ones none.
size_t ByteCount(int bits) { return static_cast<size_t>(std::max(bits / 8 + 1, 0)); }

}  // namespace

booldata booldata::Create(int n) {
  booldata bits;
  bits.size = n;
  bits.data.assign(ByteCount(n), 0);
  return bits;
}

int booldata::resize(int n) {
  size = n;
  data.resize(ByteCount(n), 0);
  return 0;
}

int booldata::set(int n, int v) {
  // A bit outside the array has no byte to live in; writing it is skipped like an outside grid cell.
  if (n < 0 || static_cast<size_t>(n / 8) >= data.size()) return 0;
  uint8_t& byte = data[static_cast<size_t>(n / 8)];
  byte = static_cast<uint8_t>((byte & ~(1 << (n % 8))) + ((v & 1) << (n % 8)));
  return 0;
}

int booldata::get(int n) const {
  if (n < 0 || static_cast<size_t>(n / 8) >= data.size()) return 0;
  return data[static_cast<size_t>(n / 8)] >> (n % 8) & 1;
}

int booldata::write(stream& out) const {
  out.WriteInt(size);
  // Always the byte count the size calls for, so that the stream form reads back whatever data holds.
  for (size_t i = 0; i < ByteCount(size); ++i) out.WriteByte(i < data.size() ? data[i] : 0);
  return 0;
}

booldata booldata::read(stream& in) {
  booldata bits;
  bits.size = in.ReadInt();
  const size_t count = ByteCount(bits.size);
  if (static_cast<uint64_t>(in.Remaining()) < count) {
    // A short stream: go straight to the stream's own read error rather than allocate for a size that
    // isn't there.
    in.Seek(in.Size());
    in.ReadByte();
  }
  bits.data.resize(count);
  in.ReadBytes(bits.data.data(), count);
  return bits;
}

std::string booldata::str() const {
  std::string text;
  text.reserve(data.size() * 8);
  for (uint8_t byte : data) {
    for (int bit = 7; bit >= 0; --bit) text.push_back((byte >> bit & 1) != 0 ? '1' : '0');
  }
  return text;
}

}  // namespace dusk
