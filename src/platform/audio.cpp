// Sounds and channels on OpenAL Soft: a sound is one buffer decoded at load time, a channel one source.
#include "platform/audio.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/files.h"
#include "platform/vorbis_decode.h"

namespace dusk {

namespace {

struct device_closer {
  void operator()(ALCdevice* device) const { alcCloseDevice(device); }
};
struct context_destroyer {
  void operator()(ALCcontext* context) const {
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
  }
};

enum class channel_state { prepared, playing, stopped };

// Set once the audio state is gone at exit, so that sounds and channels outliving it leave it alone.
bool audio_destroyed = false;

void ReleaseEverything();

struct audio_state {
  audio_state() = default;
  audio_state(const audio_state&) = delete;
  audio_state& operator=(const audio_state&) = delete;
  ~audio_state() {
    ReleaseEverything();
    audio_destroyed = true;
  }

  std::unique_ptr<ALCdevice, device_closer> device;
  std::unique_ptr<ALCcontext, context_destroyer> context;
  // Channels started by PlaySound, held until their sound has finished.
  std::vector<channel_ptr> fire_and_forget;
  // Every sound and channel holding an OpenAL name, so that closing the device can release them first.
  std::vector<sound*> sounds;
  std::vector<channel*> channels;
};

audio_state& Audio() {
  static audio_state state;
  return state;
}

template <typename T>
void Forget(std::vector<T*>& list, T* item) {
  if (audio_destroyed) return;
  auto found = std::find(list.begin(), list.end(), item);
  if (found != list.end()) list.erase(found);
}

bool AudioOpen() { return Audio().context != nullptr; }

}  // namespace

struct sound {
  ALuint buffer = 0;
  bool loop = false;

  sound() { Audio().sounds.push_back(this); }
  sound(const sound&) = delete;
  sound& operator=(const sound&) = delete;
  ~sound() {
    Forget(Audio().sounds, this);
    Release();
  }
  void Release() {
    if (buffer != 0) alDeleteBuffers(1, &buffer);
    buffer = 0;
  }
};

struct channel {
  ALuint source = 0;
  sound_ptr playing;  // keeps the buffer alive while the source may use it
  channel_state state = channel_state::prepared;

  channel() { Audio().channels.push_back(this); }
  channel(const channel&) = delete;
  channel& operator=(const channel&) = delete;
  ~channel() {
    Forget(Audio().channels, this);
    Release();
  }
  void Release() {
    if (source != 0) {
      alSourceStop(source);
      alSourcei(source, AL_BUFFER, 0);
      alDeleteSources(1, &source);
    }
    source = 0;
    state = channel_state::stopped;
    playing.reset();
  }
  bool Finished() const {
    if (source == 0) return true;
    ALint al_state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &al_state);
    return al_state == AL_STOPPED;
  }
};

namespace {

// Drops the fire-and-forget channels whose sound has ended; their sources go back to the device.
void ReclaimFinished() {
  auto& list = Audio().fire_and_forget;
  list.erase(std::remove_if(list.begin(), list.end(), [](const channel_ptr& c) { return c->Finished(); }), list.end());
}

// A new source; when the device has none left, the oldest fire-and-forget channel gives up its own.
ALuint NewSource() {
  ReclaimFinished();
  audio_state& audio = Audio();
  for (;;) {
    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() == AL_NO_ERROR && source != 0) return source;
    if (audio.fire_and_forget.empty()) return 0;
    channel_ptr oldest = audio.fire_and_forget.front();
    audio.fire_and_forget.erase(audio.fire_and_forget.begin());
    oldest->Release();
  }
}

channel_ptr NewChannel(const sound_ptr& sound) {
  if (!sound || sound->buffer == 0 || !AudioOpen()) return nullptr;
  const ALuint source = NewSource();
  if (source == 0) return nullptr;
  auto result = std::make_shared<channel>();
  result->source = source;
  result->playing = sound;
  alSourcei(source, AL_BUFFER, static_cast<ALint>(sound->buffer));
  alSourcei(source, AL_LOOPING, sound->loop ? AL_TRUE : AL_FALSE);
  return result;
}

}  // namespace

bool OpenAudio(const std::string& device_name) {
  audio_state& audio = Audio();
  if (AudioOpen()) return true;
  audio.device.reset(alcOpenDevice(device_name.empty() ? nullptr : device_name.c_str()));
  if (!audio.device) return false;
  audio.context.reset(alcCreateContext(audio.device.get(), nullptr));
  if (!audio.context || alcMakeContextCurrent(audio.context.get()) != ALC_TRUE) {
    audio.context.reset();
    audio.device.reset();
    return false;
  }
  return true;
}

namespace {

void ReleaseEverything() {
  audio_state& audio = Audio();
  audio.fire_and_forget.clear();
  // Channels and sounds still held by the game become silent shells; their operations then do nothing.
  for (channel* c : audio.channels) c->Release();
  for (sound* s : audio.sounds) s->Release();
  audio.context.reset();
  audio.device.reset();
}

}  // namespace

void CloseAudio() {
  if (AudioOpen()) ReleaseEverything();
}

sound_ptr LoadSound(const std::string& source, int flags) {
  if (!AudioOpen()) return nullptr;
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(source, bytes)) return nullptr;
  decoded_sound decoded;
  if (!DecodeVorbis(bytes.data(), bytes.size(), decoded)) return nullptr;
  auto result = std::make_shared<sound>();
  result->loop = (flags & 1) != 0;
  alGetError();
  alGenBuffers(1, &result->buffer);
  if (alGetError() != AL_NO_ERROR) {
    result->buffer = 0;
    return nullptr;
  }
  const ALenum format = decoded.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
  alBufferData(result->buffer, format, decoded.samples.data(),
               static_cast<ALsizei>(decoded.samples.size() * sizeof(int16_t)), decoded.sample_rate);
  if (alGetError() != AL_NO_ERROR) return nullptr;
  return result;
}

channel_ptr PlaySound(const sound_ptr& sound) {
  channel_ptr result = NewChannel(sound);
  if (!result) return nullptr;
  alSourcePlay(result->source);
  result->state = channel_state::playing;
  Audio().fire_and_forget.push_back(result);
  return result;
}

channel_ptr CueSound(const sound_ptr& sound) {
  // A source that was never played stays at the start, silent, until it is resumed.
  return NewChannel(sound);
}

void ResumeChannel(const channel_ptr& channel) {
  if (!channel || channel->source == 0 || channel->state != channel_state::prepared) return;
  alSourcePlay(channel->source);
  channel->state = channel_state::playing;
}

void StopChannel(const channel_ptr& channel) {
  if (!channel || channel->source == 0) return;
  alSourceStop(channel->source);
  channel->state = channel_state::stopped;
}

int ChannelPlaying(const channel_ptr& channel) {
  if (!channel || channel->source == 0 || channel->state != channel_state::playing) return 0;
  ALint al_state = AL_STOPPED;
  alGetSourcei(channel->source, AL_SOURCE_STATE, &al_state);
  return al_state == AL_PLAYING ? 1 : 0;
}

int ChannelsInUse() {
  ReclaimFinished();
  return static_cast<int>(std::count_if(Audio().channels.begin(), Audio().channels.end(),
                                        [](const channel* c) { return c->source != 0; }));
}

}  // namespace dusk
