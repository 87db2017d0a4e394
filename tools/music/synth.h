// The music tool's instruments: oscillators, envelopes and filters that render one note into a stereo buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dusk::music {

constexpr int kRate = 44100;

// A stereo buffer. A cyclic buffer holds one turn of a looping track: sound written past its end wraps
// around to its start, so whatever rings on at the end of the loop is heard again at its head.
struct stereo_buffer {
  std::vector<float> left, right;
  bool cyclic = false;

  stereo_buffer() = default;
  stereo_buffer(std::size_t frames, bool wraps) : left(frames, 0.0f), right(frames, 0.0f), cyclic(wraps) {}
  std::size_t Frames() const { return left.size(); }
  // Adds one frame; outside a plain buffer it is dropped, in a cyclic one it wraps.
  void Add(int64_t frame, double l, double r);
};

// A small seeded generator, so every render of a song is the same.
class random_source {
 public:
  explicit random_source(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }  // [0, 1)
  double Noise() { return 2.0 * Uniform() - 1.0; }                            // [-1, 1)
  int Below(int n) { return static_cast<int>(Uniform() * n); }

 private:
  uint64_t state_;
};

enum class voice {
  warm_pad,     // detuned saws through a slowly breathing low-pass
  glass_pad,    // soft detuned triangles with a slow swell
  bell,         // two-operator FM, bright attack and long ring
  marimba,      // a struck bar: sine with a fast fading overtone
  pluck,        // a filtered saw whose brightness falls quickly
  flute,        // a sine with breath and a delayed vibrato
  square_lead,  // a hollow pulse with vibrato
  saw_lead,     // a bright, slightly detuned saw
  epiano,       // FM tine piano
  round_bass,   // sine and triangle, soft attack
  synth_bass,   // a saw with a snappy filter
  kick,
  snare,
  hat,
  open_hat,
  rim,
  shaker,
  clap,
  tom,
  tick,  // a dry clock tick
};

struct note {
  voice kind = voice::bell;
  int64_t start = 0;    // first frame
  int64_t length = 0;   // frames the key is held; the release rings on after it
  double pitch = 60;    // MIDI note number; drums take it as a tuning
  double velocity = 1;  // 0 to 1
  double pan = 0;       // -1 left to 1 right
  uint32_t seed = 1;    // noise of this note
};

// Adds the note (its release included) into the buffer.
void RenderNote(const note& n, stereo_buffer& out);

double MidiToHz(double pitch);

}  // namespace dusk::music
