// Ogg Vorbis decoding into 16-bit samples, from bytes in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dusk {

struct decoded_sound {
  int channels = 0;     // 1 or 2
  int sample_rate = 0;
  std::vector<int16_t> samples;  // interleaved
};

// A decoded sound is at most this big, so a hostile file can't ask for unbounded memory.
inline constexpr size_t kMaxDecodedBytes = size_t{256} << 20;

// False when the bytes are not Ogg Vorbis, can't be decoded, hold no samples, hold more than two channels
// or decode to more than the limit.
[[nodiscard]] bool DecodeVorbis(const uint8_t* data, size_t size, decoded_sound& out);

}  // namespace dusk
