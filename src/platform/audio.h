// Sounds from Ogg Vorbis (file or "incbin::" data), decoded once or streamed, and the channels that play
// them.
#pragma once

#include <memory>
#include <string>

namespace dusk {

struct sound;
struct channel;
using sound_ptr = std::shared_ptr<sound>;
using channel_ptr = std::shared_ptr<channel>;

// Opens the audio device once (the system's default, or the named one); false when there is none, and
// then every sound is none and every channel operation does nothing. Closing releases every sound and
// channel still held: they stay valid objects that do nothing.
bool OpenAudio(const std::string& device_name = {});
void CloseAudio();

sound_ptr LoadSound(const std::string& source, int flags);  // flags 1 loops; none when it can't be decoded
// A music track, decoded a little at a time while a channel plays it rather than whole at load time: only
// its headers are read here (none when they aren't Ogg Vorbis). The source must stay readable while the
// track is in use. A looping track goes on from its first sample after its last; a track whose file is
// damaged part way plays up to the damage and then its channel falls silent.
sound_ptr LoadStreamedSound(const std::string& source, int flags);
channel_ptr PlaySound(const sound_ptr& sound);  // fire-and-forget, a new channel each time
channel_ptr CueSound(const sound_ptr& sound);   // a new channel paused at the start
void ResumeChannel(const channel_ptr& channel);
void StopChannel(const channel_ptr& channel);
int ChannelPlaying(const channel_ptr& channel);  // 1 while audibly playing; 0 prepared, stopped or ended

// Streams the music that plays a bounded piece further. On the desktop the audio layer's own thread does
// this and the call does nothing; in a browser, which has no threads for the page, the platform calls it
// at every turn the game gives the browser.
void ServiceAudio();

// Channels holding a device source, after finished fire-and-forget channels are reclaimed: for leak checks.
int ChannelsInUse();

}  // namespace dusk
