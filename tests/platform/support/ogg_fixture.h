// Ogg Vorbis fixtures encoded in the test, so that no binary sound file is needed.
#pragma once

#include <cstdint>
#include <vector>

namespace dusk::testing {

// A quiet sweeping tone of frames frames (each channel its own pitch), quality 0.1.
std::vector<uint8_t> EncodeSweep(int frames, int channels, int rate);

}  // namespace dusk::testing
