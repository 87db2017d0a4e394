// The music tool's output: a stereo track encoded as Ogg Vorbis through libvorbisenc.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/music/synth.h"

namespace dusk::music {

// Encodes at the given VBR quality (-0.1 to 1). The stream's serial number is fixed by the caller and the
// encoder takes no other input, so the same track always gives the same bytes.
std::vector<uint8_t> EncodeVorbis(const stereo_buffer& track, float quality, int serial,
                                  const std::string& title);

}  // namespace dusk::music
