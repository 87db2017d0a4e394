// Feeds any bytes to the replay reader. A replay it accepts must save back to exactly the bytes it read.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "persist/replay.h"
#include "platform/stream.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  dusk::stream_ptr in = dusk::OpenMemory(std::vector<uint8_t>(data, data + size));
  const std::optional<dusk::replay> r = dusk::replay::read(in.get());
  if (!r) return 0;
  const auto used = static_cast<size_t>(in->Position());
  auto out = dusk::OpenMemoryWrite();
  Check(r->save(out.get()) == 1);
  const std::vector<uint8_t>& saved = out->Bytes();
  Check(saved.size() == used && std::memcmp(saved.data(), data, used) == 0);
  for (int i = -2; i < r->maxindex + 2 && i < 600; ++i) {
    const int step = r->get(i);
    Check(step >= -1 && step <= 3);
  }
  auto text = dusk::OpenMemoryWrite();
  r->output(text.get());
  return 0;
}
