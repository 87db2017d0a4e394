// Feeds any bytes to the music list reader. Every track it names must be a line of the input, trimmed.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "ui/music.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const dusk::music_list list = dusk::ParseMusicList(std::span<const uint8_t>(data, size));
  auto check = [size](const std::string& path) {
    Check(path.size() <= size);
    Check(path.empty() ||
          (static_cast<unsigned char>(path.front()) > ' ' && static_cast<unsigned char>(path.back()) > ' '));
    for (char c : path) Check(c != '\n' && c != '\0' && (c < 'A' || c > 'Z'));
  };
  if (list.menu) check(*list.menu);
  for (const auto& world : list.worlds) {
    if (world) check(*world);
  }
  return 0;
}
