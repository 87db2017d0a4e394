// Sounds and channels on OpenAL Soft. An effect is one buffer decoded at load time; a music track is
// decoded while it plays, a few small buffers at a time queued on its source by the audio layer's own
// streaming thread, so that loading costs little and no frame waits for decoding. A channel is one source.
// In a browser, which gives the page no threads, the same streaming runs a bounded piece at every turn the
// game gives the browser (ServiceAudio).
#include "platform/audio.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "platform/vorbis_decode.h"
#include "platform/vorbis_stream.h"
#include "platform/web_page.h"

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

// A streamed track keeps this many buffers of this many frames queued (about 0.37 s at 44100 Hz), and the
// streaming thread tops them up this often.
constexpr int kStreamBuffers = 4;
constexpr size_t kStreamFrames = 4096;
constexpr auto kStreamPeriod = std::chrono::milliseconds(10);

// Set once the audio state is gone at exit, so that sounds and channels outliving it leave it alone.
bool audio_destroyed = false;

ALenum Format(int channels) {
  return channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
}

// The thread that decodes the streamed channels that play. It alone touches their decoders and buffers;
// the game's thread only flags a channel to stop, and starting or stopping a source happens under the lock
// so that the thread never restarts a source the game has just stopped.
class streamer {
 public:
  streamer() = default;
  streamer(const streamer&) = delete;
  streamer& operator=(const streamer&) = delete;
  ~streamer() { Stop(); }

  void Add(const channel_ptr& c);
  void Stop();
  // One round over the active channels: each is topped up, and those done with are dropped.
  void ServiceOnce();
  std::mutex& lock() { return mutex_; }

 private:
  void Run();
  bool Service(channel& c);  // false when the channel is done with

  std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<channel_ptr> active_;
  bool quit_ = false;
  std::thread thread_;
};

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
  // A streamed channel may be dropped on the streaming thread, hence the lock.
  std::mutex registry;
  std::vector<sound*> sounds;
  std::vector<channel*> channels;
  streamer streaming;
};

audio_state& Audio() {
  static audio_state state;
  return state;
}

template <typename T>
void Remember(std::vector<T*>& list, T* item) {
  std::lock_guard<std::mutex> hold(Audio().registry);
  list.push_back(item);
}

template <typename T>
void Forget(std::vector<T*>& list, T* item) {
  if (audio_destroyed) return;
  std::lock_guard<std::mutex> hold(Audio().registry);
  auto found = std::find(list.begin(), list.end(), item);
  if (found != list.end()) list.erase(found);
}

bool AudioOpen() {
  return Audio().context != nullptr;
}

}  // namespace

struct sound {
  ALuint buffer = 0;  // an effect's whole samples
  bool loop = false;
  std::string track;  // a streamed track's source, decoded as it plays
  track_info format;

  sound() { Remember(Audio().sounds, this); }
  sound(const sound&) = delete;
  sound& operator=(const sound&) = delete;
  ~sound() {
    Forget(Audio().sounds, this);
    Release();
  }
  bool streamed() const { return !track.empty(); }
  bool usable() const { return buffer != 0 || (streamed() && AudioOpen()); }
  void Release() {
    if (buffer != 0) alDeleteBuffers(1, &buffer);
    buffer = 0;
    track.clear();
  }
};

struct channel {
  ALuint source = 0;
  sound_ptr playing;  // keeps the buffer alive while the source may use it
  channel_state state = channel_state::prepared;
  bool streamed = false;

  // A streamed channel: the game's thread asks it to stop; the streaming thread says when it has ended.
  std::atomic<bool> stopping{false};
  std::atomic<bool> finished{false};
  // The streaming thread's alone while it streams the channel.
  std::unique_ptr<vorbis_stream> decoder;
  std::array<ALuint, kStreamBuffers> buffers{};
  bool started = false;

  channel() { Remember(Audio().channels, this); }
  channel(const channel&) = delete;
  channel& operator=(const channel&) = delete;
  ~channel() {
    Forget(Audio().channels, this);
    Release();
  }
  void ReleaseStream() {
    if (source != 0 && started) {
      alSourceStop(source);
      alSourcei(source, AL_BUFFER, 0);
    }
    for (ALuint& b : buffers) {
      if (b != 0) alDeleteBuffers(1, &b);
      b = 0;
    }
    decoder.reset();
    started = false;
  }
  void Release() {
    ReleaseStream();
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
    if (streamed) return finished || stopping;
    ALint al_state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &al_state);
    return al_state == AL_STOPPED;
  }
};

namespace {

// Decodes the next piece of the channel's track into the buffer; false when the track has no more.
bool Fill(channel& c, ALuint buffer) {
  static thread_local std::vector<int16_t> samples;
  const track_info& format = c.decoder->info();
  samples.resize(kStreamFrames * static_cast<size_t>(format.channels));
  const size_t frames = c.decoder->Read(samples.data(), kStreamFrames);
  if (frames == 0) return false;
  alBufferData(buffer, Format(format.channels), samples.data(),
               static_cast<ALsizei>(frames * static_cast<size_t>(format.channels) * sizeof(int16_t)),
               format.sample_rate);
  return true;
}

void streamer::Add(const channel_ptr& c) {
  std::lock_guard<std::mutex> hold(mutex_);
  if (!web::kInBrowser && !thread_.joinable()) {
    quit_ = false;
    thread_ = std::thread([this] { Run(); });
  }
  active_.push_back(c);
  wake_.notify_one();
}

void streamer::Stop() {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    quit_ = true;
    wake_.notify_one();
  }
  if (thread_.joinable()) thread_.join();
  std::vector<channel_ptr> left;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    left.swap(active_);
  }
  for (const channel_ptr& c : left) c->ReleaseStream();
}

void streamer::Run() {
  for (;;) {
    {
      std::unique_lock<std::mutex> hold(mutex_);
      // With nothing to stream the thread sleeps until a channel starts.
      wake_.wait(hold, [this] { return quit_ || !active_.empty(); });
      wake_.wait_for(hold, kStreamPeriod, [this] { return quit_; });
      if (quit_) return;
    }
    ServiceOnce();
  }
}

void streamer::ServiceOnce() {
  std::vector<channel_ptr> work;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    if (active_.empty()) return;
    work = active_;
  }
  std::vector<channel*> done;
  for (const channel_ptr& c : work) {
    if (!Service(*c)) done.push_back(c.get());
  }
  std::vector<channel_ptr> dropped;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    for (channel* c : done) {
      auto found =
          std::find_if(active_.begin(), active_.end(), [c](const channel_ptr& p) { return p.get() == c; });
      if (found != active_.end()) {
        dropped.push_back(std::move(*found));
        active_.erase(found);
      }
    }
  }
  // The last references may go here, outside the lock.
  work.clear();
  dropped.clear();
}

bool streamer::Service(channel& c) {
  if (c.stopping || c.source == 0) {
    c.ReleaseStream();
    return false;
  }
  if (!c.started) {
    c.decoder = c.playing ? vorbis_stream::Open(c.playing->track, c.playing->loop) : nullptr;
    alGetError();
    if (c.decoder) alGenBuffers(kStreamBuffers, c.buffers.data());
    if (!c.decoder || alGetError() != AL_NO_ERROR) {
      c.buffers.fill(0);
      c.finished = true;
      c.ReleaseStream();
      return false;
    }
    c.started = true;
    int filled = 0;
    while (filled < kStreamBuffers && Fill(c, c.buffers[static_cast<size_t>(filled)])) ++filled;
    if (filled == 0) {
      c.finished = true;
      c.ReleaseStream();
      return false;
    }
    std::lock_guard<std::mutex> hold(mutex_);
    if (!c.stopping) {
      alSourceQueueBuffers(c.source, filled, c.buffers.data());
      alSourcePlay(c.source);
    }
    return true;
  }

  ALint processed = 0;
  alGetSourcei(c.source, AL_BUFFERS_PROCESSED, &processed);
  for (; processed > 0; --processed) {
    ALuint buffer = 0;
    alSourceUnqueueBuffers(c.source, 1, &buffer);
    if (buffer != 0 && !c.decoder->ended() && Fill(c, buffer)) alSourceQueueBuffers(c.source, 1, &buffer);
  }
  ALint queued = 0;
  alGetSourcei(c.source, AL_BUFFERS_QUEUED, &queued);
  if (queued == 0) {
    // The track has ended (or broke off where its file is damaged) and its last piece has played.
    c.finished = true;
    c.ReleaseStream();
    return false;
  }
  ALint al_state = AL_PLAYING;
  alGetSourcei(c.source, AL_SOURCE_STATE, &al_state);
  if (al_state != AL_PLAYING) {
    // The queue ran dry before it was topped up; go on from where it stopped.
    std::lock_guard<std::mutex> hold(mutex_);
    if (!c.stopping) alSourcePlay(c.source);
  }
  return true;
}

// Drops the fire-and-forget channels whose sound has ended; their sources go back to the device.
void ReclaimFinished() {
  auto& list = Audio().fire_and_forget;
  list.erase(std::remove_if(list.begin(), list.end(), [](const channel_ptr& c) { return c->Finished(); }),
             list.end());
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
    if (oldest->streamed) {
      StopChannel(oldest);
    } else {
      oldest->Release();
    }
  }
}

channel_ptr NewChannel(const sound_ptr& sound) {
  if (!sound || !sound->usable() || !AudioOpen()) return nullptr;
  const ALuint source = NewSource();
  if (source == 0) return nullptr;
  auto result = std::make_shared<channel>();
  result->source = source;
  result->playing = sound;
  result->streamed = sound->streamed();
  if (!result->streamed) alSourcei(source, AL_BUFFER, static_cast<ALint>(sound->buffer));
  // A streamed track loops in its decoder, so that its queue of buffers runs on without a seam.
  alSourcei(source, AL_LOOPING, sound->loop && !result->streamed ? AL_TRUE : AL_FALSE);
  return result;
}

void Start(const channel_ptr& c) {
  c->state = channel_state::playing;
  if (c->streamed) {
    Audio().streaming.Add(c);
  } else {
    alSourcePlay(c->source);
  }
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
  audio.streaming.Stop();
  audio.fire_and_forget.clear();
  // Channels and sounds still held by the game become silent shells; their operations then do nothing.
  // The streaming thread has stopped, so nothing else changes the lists now; a released channel may drop
  // the last reference to its sound, which then leaves the list of sounds, so that list is read after.
  std::vector<channel*> channels;
  {
    std::lock_guard<std::mutex> hold(audio.registry);
    channels = audio.channels;
  }
  for (channel* c : channels) c->Release();
  std::vector<sound*> sounds;
  {
    std::lock_guard<std::mutex> hold(audio.registry);
    sounds = audio.sounds;
  }
  for (sound* s : sounds) s->Release();
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
  alBufferData(result->buffer, Format(decoded.channels), decoded.samples.data(),
               static_cast<ALsizei>(decoded.samples.size() * sizeof(int16_t)), decoded.sample_rate);
  if (alGetError() != AL_NO_ERROR) return nullptr;
  return result;
}

sound_ptr LoadStreamedSound(const std::string& source, int flags) {
  if (!AudioOpen()) return nullptr;
  const std::optional<track_info> format = ProbeTrack(source);
  if (!format) return nullptr;
  auto result = std::make_shared<sound>();
  result->loop = (flags & 1) != 0;
  result->track = source;
  result->format = *format;
  return result;
}

channel_ptr PlaySound(const sound_ptr& sound) {
  channel_ptr result = NewChannel(sound);
  if (!result) return nullptr;
  Start(result);
  Audio().fire_and_forget.push_back(result);
  return result;
}

channel_ptr CueSound(const sound_ptr& sound) {
  // A source that was never played stays at the start, silent, until it is resumed.
  return NewChannel(sound);
}

void ResumeChannel(const channel_ptr& channel) {
  if (!channel || channel->source == 0 || channel->state != channel_state::prepared) return;
  Start(channel);
}

void StopChannel(const channel_ptr& channel) {
  if (!channel || channel->source == 0) return;
  if (channel->streamed) {
    std::lock_guard<std::mutex> hold(Audio().streaming.lock());
    channel->stopping = true;
    alSourceStop(channel->source);
  } else {
    alSourceStop(channel->source);
  }
  channel->state = channel_state::stopped;
}

int ChannelPlaying(const channel_ptr& channel) {
  if (!channel || channel->source == 0 || channel->state != channel_state::playing) return 0;
  if (channel->streamed) return channel->finished || channel->stopping ? 0 : 1;
  ALint al_state = AL_STOPPED;
  alGetSourcei(channel->source, AL_SOURCE_STATE, &al_state);
  return al_state == AL_PLAYING ? 1 : 0;
}

void ServiceAudio() {
  if (web::kInBrowser && AudioOpen()) Audio().streaming.ServiceOnce();
}

int ChannelsInUse() {
  ReclaimFinished();
  audio_state& audio = Audio();
  std::lock_guard<std::mutex> hold(audio.registry);
  return static_cast<int>(std::count_if(audio.channels.begin(), audio.channels.end(),
                                        [](const channel* c) { return c->source != 0; }));
}

}  // namespace dusk
