// The game's loaded sounds and the channels its music plays on.
#pragma once

#include <array>

#include "platform/audio.h"

namespace dusk {

inline constexpr int kMusicWorlds = 16;

struct audio_state {
  // The five effects, built into the program.
  sound_ptr bip;
  sound_ptr sweep;
  sound_ptr phase;
  sound_ptr slide;
  sound_ptr whip;

  sound_ptr menumusic;
  channel_ptr menuchannel;
  std::array<sound_ptr, kMusicWorlds> worldmusic;
  std::array<channel_ptr, kMusicWorlds> worldchannel;
};

// Never destroyed: at program exit the audio layer may already be gone, so the sounds must not be released
// then.
inline audio_state& audio = *new audio_state;

inline void ResetAudioState() {
  audio = audio_state{};
}

}  // namespace dusk
