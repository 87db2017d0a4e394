// Feeds any bytes to the world data reader, and as a world text file to the compiler's transcription
// followed by the reader, which must take whatever the compiler writes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/stream.h"
#include "worlds/compiler.h"
#include "worlds/world.h"
#include "worlds/worlds_state.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void LoadAndCheck(std::vector<uint8_t> bytes, int w) {
  dusk::stream_ptr in = dusk::OpenMemory(std::move(bytes));
  int counted = 0;
  auto wd = dusk::LoadWorldFrom(*in, w, [&](int world_number, int level) {
    Check(world_number == w && level == counted && level < dusk::kMaxLevels);
    ++counted;
    return level * 3;
  });
  Check(dusk::gameworlds.numworlds >= 0 && dusk::gameworlds.numworlds <= dusk::kMaxWorlds);
  if (!wd) return;
  Check(wd->numlevels >= 0 && wd->numlevels < dusk::kMaxLevels);
  Check(counted == 0 || wd->numlevels == counted - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  dusk::ResetWorlds();
  const int w = size > 0 ? data[0] % 20 : 0;  // worlds past 15 too: the reader must not index by them
  std::vector<uint8_t> bytes(data, data + size);
  LoadAndCheck(bytes, w);

  dusk::stream_ptr text = dusk::OpenMemory(bytes);
  const dusk::world_source source = dusk::TranscribeWorldSource(*text);
  std::vector<uint8_t> compiled = {static_cast<uint8_t>(size)};
  compiled.insert(compiled.end(), source.data.begin(), source.data.end());
  LoadAndCheck(std::move(compiled), w);
  return 0;
}
