// Decodes arbitrary bytes as Ogg Vorbis: refused or decoded within the size limit, never a crash.
#include <cstdint>
#include <cstdlib>

#include "platform/vorbis_decode.h"

// libvorbisfile 1.3.7 itself loses a few bytes when some damaged streams fail to open; that leak is the
// library's, not ours, and would otherwise stop every run.
extern "C" const char* __lsan_default_suppressions() { return "leak:libvorbisfile.so\nleak:libvorbis.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  dusk::decoded_sound sound;
  if (dusk::DecodeVorbis(data, size, sound)) {
    if (sound.channels < 1 || sound.channels > 2 || sound.sample_rate <= 0) std::abort();
    if (sound.samples.empty() || sound.samples.size() % static_cast<size_t>(sound.channels) != 0) std::abort();
    if (sound.samples.size() * sizeof(int16_t) > dusk::kMaxDecodedBytes) std::abort();
  }
  return 0;
}
