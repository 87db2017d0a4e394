// The music tool's instruments: each voice renders one note, from oscillators, envelopes and filters.
#include "tools/music/synth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace dusk::music {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kSecond = 1.0 / kRate;

int64_t Frames(double seconds) {
  return static_cast<int64_t>(std::lround(seconds * kRate));
}

// The correction that takes the click out of a saw's jump (polynomial band-limited step).
double Blep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

// A band-limited saw, its phase in [0, 1).
double Saw(double phase, double dt) {
  return 2.0 * phase - 1.0 - Blep(phase, dt);
}

double Wrap(double phase) {
  return phase - std::floor(phase);
}

// A sine of a phase in turns, read from a table: far quicker than the library's and as clean to the ear.
class sine_table {
 public:
  sine_table() {
    for (std::size_t i = 0; i <= kSize; ++i) values_[i] = std::sin(kTwoPi * static_cast<double>(i) / kSize);
  }
  double operator()(double turns) const {
    const double x = Wrap(turns) * kSize;
    const auto i = static_cast<std::size_t>(x);
    const double f = x - static_cast<double>(i);
    return values_[i] + f * (values_[i + 1] - values_[i]);
  }

 private:
  static constexpr std::size_t kSize = 4096;
  std::array<double, kSize + 1> values_{};
};

const sine_table kSine;

double Pulse(double phase, double dt, double width) {
  return Saw(phase, dt) - Saw(Wrap(phase + width), dt);
}

double Triangle(double phase) {
  return 1.0 - 4.0 * std::fabs(phase - 0.5);
}

// A state-variable filter (trapezoidal), steady for any cutoff that changes every sample.
class filter {
 public:
  explicit filter(double q = 0.707) : damping_(1.0 / q) {}
  void Step(double in, double cutoff) {
    // The coefficients are worked out again only when the cutoff has moved audibly.
    if (std::fabs(cutoff - cutoff_) > 0.001 * cutoff_) {
      cutoff_ = cutoff;
      const double g = std::tan(kPi * std::clamp(cutoff, 20.0, 18000.0) / kRate);
      a1_ = 1.0 / (1.0 + g * (g + damping_));
      a2_ = g * a1_;
      a3_ = g * a2_;
    }
    const double a1 = a1_, a2 = a2_, a3 = a3_;
    const double v3 = in - ic2_;
    const double v1 = a1 * ic1_ + a2 * v3;
    const double v2 = ic2_ + a2 * ic1_ + a3 * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    low = v2;
    band = v1;
    high = in - damping_ * v1 - v2;
  }
  double low = 0, band = 0, high = 0;

 private:
  double damping_, ic1_ = 0, ic2_ = 0;
  double cutoff_ = -1, a1_ = 0, a2_ = 0, a3_ = 0;
};

// Attack, decay to a sustain level while the key is held, then a release that reaches silence exactly.
struct envelope {
  double attack, decay, sustain, release;

  double HeldLevel(double t) const {
    if (t < attack) return std::sin(t / attack * kPi / 2);
    return sustain + (1.0 - sustain) * std::exp(-(t - attack) / decay);
  }
  double At(double t, double gate) const {
    if (t < gate) return HeldLevel(t);
    const double after = t - gate;
    return HeldLevel(gate) * std::exp(-after / release) * std::max(0.0, 1.0 - after / (3.0 * release));
  }
  double Length(double gate) const { return gate + 3.0 * release; }
};

// A struck sound: a short attack, then exponential decay; letting the key go speeds the fade, and the last
// stretch tapers to silence so nothing is cut off with a click.
double Struck(double t, double gate, double attack, double decay, double release, double end) {
  if (t < 0 || t >= end) return 0;
  double level = t < attack ? std::sin(t / attack * kPi / 2) : std::exp(-(t - attack) / decay);
  if (t > gate) level *= std::exp(-(t - gate) / release);
  const double taper = std::min(1.0, (end - t) / 0.02);
  return level * taper;
}

// Writes a mono voice into the buffer at the note's pan (equal power).
class writer {
 public:
  writer(const note& n, stereo_buffer& out)
      : out_(out),
        start_(n.start),
        left_(n.velocity * std::cos((n.pan + 1.0) * kPi / 4)),
        right_(n.velocity * std::sin((n.pan + 1.0) * kPi / 4)) {}
  void Put(int64_t i, double v) { out_.Add(start_ + i, v * left_, v * right_); }

 private:
  stereo_buffer& out_;
  int64_t start_;
  double left_, right_;
};

void WarmPad(const note& n, stereo_buffer& out, random_source& random) {
  const double f = MidiToHz(n.pitch);
  const envelope env{0.7, 1.2, 0.8, 1.4};
  const double gate = static_cast<double>(n.length) * kSecond;
  const int64_t frames = Frames(env.Length(gate));
  const double detune[3] = {0.9954, 1.0, 1.0041};
  double phase[4] = {random.Uniform(), random.Uniform(), random.Uniform(), random.Uniform()};
  const double lfo = random.Uniform() * kTwoPi;
  filter lowpass(0.8);
  writer w(n, out);
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    double s = 0;
    for (int k = 0; k < 3; ++k) {
      const double dt = f * detune[k] * kSecond;
      s += Saw(phase[k], dt);
      phase[k] = Wrap(phase[k] + dt);
    }
    const double dt_sub = 0.5 * f * kSecond;
    s += 0.4 * Triangle(phase[3]);
    phase[3] = Wrap(phase[3] + dt_sub);
    lowpass.Step(s, f * (2.5 + 1.2 * kSine(0.21 * t + lfo)) + 300.0);
    w.Put(i, 0.22 * lowpass.low * env.At(t, gate));
  }
}

void GlassPad(const note& n, stereo_buffer& out, random_source& random) {
  const double f = MidiToHz(n.pitch);
  const envelope env{1.2, 2.0, 0.75, 1.8};
  const double gate = static_cast<double>(n.length) * kSecond;
  const int64_t frames = Frames(env.Length(gate));
  const double ratio[3] = {1.0, 1.0035, 2.0};
  const double level[3] = {0.5, 0.5, 0.22};
  double phase[3] = {random.Uniform(), random.Uniform(), random.Uniform()};
  const double shimmer = random.Uniform() * kTwoPi;
  writer w(n, out);
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    double s = 0;
    for (int k = 0; k < 3; ++k) {
      s += level[k] * Triangle(phase[k]);
      phase[k] = Wrap(phase[k] + f * ratio[k] * kSecond);
    }
    s *= 1.0 + 0.15 * kSine(0.5 * t + shimmer);
    w.Put(i, 0.3 * s * env.At(t, gate));
  }
}

void Bell(const note& n, stereo_buffer& out) {
  const double f = MidiToHz(n.pitch);
  const double gate = static_cast<double>(n.length) * kSecond;
  const double end = std::min(gate + 1.5, 4.0);
  const int64_t frames = Frames(end);
  writer w(n, out);
  double carrier = 0, modulator = 0, second = 0;
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    const double index = 0.3 + 2.2 * std::exp(-t / 0.35);
    const double s =
        kSine(carrier + index / kTwoPi * kSine(modulator)) + 0.2 * kSine(second) * std::exp(-t / 0.5);
    carrier = Wrap(carrier + f * kSecond);
    modulator = Wrap(modulator + 3.5 * f * kSecond);
    second = Wrap(second + 2.76 * f * kSecond);
    w.Put(i, 0.35 * s * Struck(t, gate, 0.002, 1.1, 0.5, end));
  }
}

void Marimba(const note& n, stereo_buffer& out) {
  const double f = MidiToHz(n.pitch);
  const double end = 1.2;
  const double gate = std::max(static_cast<double>(n.length) * kSecond, 0.6);
  const int64_t frames = Frames(end);
  writer w(n, out);
  double p1 = 0, p4 = 0, p10 = 0;
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    const double s =
        kSine(p1) + 0.35 * kSine(p4) * std::exp(-t / 0.06) + 0.12 * kSine(p10) * std::exp(-t / 0.015);
    p1 = Wrap(p1 + f * kSecond);
    p4 = Wrap(p4 + 3.93 * f * kSecond);
    p10 = Wrap(p10 + 9.7 * f * kSecond);
    w.Put(i, 0.45 * s * Struck(t, gate, 0.0015, 0.32, 0.2, end));
  }
}

void Pluck(const note& n, stereo_buffer& out, random_source& random) {
  const double f = MidiToHz(n.pitch);
  const double gate = static_cast<double>(n.length) * kSecond;
  const double end = std::min(gate + 0.6, 2.5);
  const int64_t frames = Frames(end);
  filter lowpass(0.9);
  double phase = random.Uniform();
  const double dt = f * kSecond;
  writer w(n, out);
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    const double s = 0.6 * Saw(phase, dt) + 0.4 * Pulse(phase, dt, 0.5);
    phase = Wrap(phase + dt);
    lowpass.Step(s, f * (1.2 + 14.0 * std::exp(-t / 0.07)));
    w.Put(i, 0.4 * lowpass.low * Struck(t, gate, 0.002, 0.45, 0.08, end));
  }
}

void Flute(const note& n, stereo_buffer& out, random_source& random) {
  const double f = MidiToHz(n.pitch);
  const envelope env{0.07, 0.3, 0.85, 0.22};
  const double gate = static_cast<double>(n.length) * kSecond;
  const int64_t frames = Frames(env.Length(gate));
  filter breath(3.0);
  double phase = 0;
  writer w(n, out);
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    const double vibrato = 1.0 + 0.004 * std::min(1.0, std::max(0.0, (t - 0.25) / 0.3)) * kSine(5.2 * t);
    phase = Wrap(phase + f * vibrato * kSecond);
    breath.Step(random.Noise(), 2.0 * f);
    const double s = kSine(phase) + 0.18 * kSine(2 * phase) + 0.06 * kSine(3 * phase) + 0.35 * breath.band;
    w.Put(i, 0.42 * s * env.At(t, gate));
  }
}

void SquareLead(const note& n, stereo_buffer& out) {
  const double f = MidiToHz(n.pitch);
  const envelope env{0.012, 0.25, 0.7, 0.16};
  const double gate = static_cast<double>(n.length) * kSecond;
  const int64_t frames = Frames(env.Length(gate));
  filter lowpass(0.9);
  double phase = 0;
  writer w(n, out);
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    const double vibrato = 1.0 + 0.003 * std::min(1.0, t / 0.4) * kSine(5.5 * t);
    const double dt = f * vibrato * kSecond;
    const double s = Pulse(phase, dt, 0.35);
    phase = Wrap(phase + dt);
    lowpass.Step(s, f * (3.0 + 3.0 * std::exp(-t / 0.15)));
    w.Put(i, 0.28 * lowpass.low * env.At(t, gate));
  }
}

void SawLead(const note& n, stereo_buffer& out) {
  const double f = MidiToHz(n.pitch);
  const envelope env{0.01, 0.3, 0.75, 0.2};
  const double gate = static_cast<double>(n.length) * kSecond;
  const int64_t frames = Frames(env.Length(gate));
  filter lowpass(1.1);
  double a = 0, b = 0.37;
  writer w(n, out);
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    const double vibrato = 1.0 + 0.0035 * std::min(1.0, t / 0.5) * kSine(5.0 * t);
    const double da = f * vibrato * 0.9965 * kSecond, db = f * vibrato * 1.0035 * kSecond;
    const double s = Saw(a, da) + Saw(b, db);
    a = Wrap(a + da);
    b = Wrap(b + db);
    lowpass.Step(s, f * (3.0 + 6.0 * std::exp(-t / 0.2)) + 400.0);
    w.Put(i, 0.17 * lowpass.low * env.At(t, gate));
  }
}

void Epiano(const note& n, stereo_buffer& out) {
  const double f = MidiToHz(n.pitch);
  const double gate = static_cast<double>(n.length) * kSecond;
  const double end = std::min(gate + 0.5, 3.5);
  const int64_t frames = Frames(end);
  double carrier = 0, modulator = 0, tine = 0;
  writer w(n, out);
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    const double index = 0.2 + 1.3 * std::exp(-t / 0.5);
    const double s =
        kSine(carrier + index / kTwoPi * kSine(modulator)) + 0.25 * kSine(tine) * std::exp(-t / 0.02);
    carrier = Wrap(carrier + f * kSecond);
    modulator = Wrap(modulator + f * kSecond);
    tine = Wrap(tine + 14.0 * f * kSecond);
    w.Put(i, 0.36 * s * Struck(t, gate, 0.002, 1.4, 0.12, end));
  }
}

void RoundBass(const note& n, stereo_buffer& out) {
  const double f = MidiToHz(n.pitch);
  const envelope env{0.008, 0.4, 0.75, 0.08};
  const double gate = static_cast<double>(n.length) * kSecond;
  const int64_t frames = Frames(env.Length(gate));
  double phase = 0;
  writer w(n, out);
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    const double s = kSine(phase) + 0.25 * Triangle(Wrap(phase + 0.25)) + 0.12 * kSine(2 * phase);
    phase = Wrap(phase + f * kSecond);
    w.Put(i, 0.55 * s * env.At(t, gate));
  }
}

void SynthBass(const note& n, stereo_buffer& out) {
  const double f = MidiToHz(n.pitch);
  const envelope env{0.005, 0.25, 0.65, 0.07};
  const double gate = static_cast<double>(n.length) * kSecond;
  const int64_t frames = Frames(env.Length(gate));
  filter lowpass(1.3);
  double phase = 0;
  const double dt = f * kSecond;
  writer w(n, out);
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    lowpass.Step(Saw(phase, dt), f * (1.5 + 7.0 * std::exp(-t / 0.1)));
    const double s = 0.7 * lowpass.low + 0.5 * kSine(phase);
    phase = Wrap(phase + dt);
    w.Put(i, 0.5 * s * env.At(t, gate));
  }
}

void Kick(const note& n, stereo_buffer& out, random_source& random) {
  const double end = 0.45;
  const int64_t frames = Frames(end);
  double phase = 0;
  writer w(n, out);
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    phase = Wrap(phase + 48.0 * (1.0 + 2.2 * std::exp(-t / 0.028)) * kSecond);
    const double click = t < 0.003 ? random.Noise() * (1.0 - t / 0.003) * 0.3 : 0.0;
    w.Put(i, 0.9 * (kSine(phase) + click) * Struck(t, end, 0.001, 0.2, 1, end));
  }
}

void Snare(const note& n, stereo_buffer& out, random_source& random) {
  const double end = 0.32;
  const int64_t frames = Frames(end);
  filter body(0.8);
  double phase = 0;
  writer w(n, out);
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    phase = Wrap(phase + 190.0 * (1.0 + 0.3 * std::exp(-t / 0.01)) * kSecond);
    body.Step(random.Noise(), 3200.0);
    const double s = 0.5 * kSine(phase) * std::exp(-t / 0.045) + 0.9 * body.band * std::exp(-t / 0.1);
    w.Put(i, 0.6 * s * Struck(t, end, 0.001, 10, 1, end));
  }
}

void Hat(const note& n, stereo_buffer& out, random_source& random, double decay, double end) {
  const int64_t frames = Frames(end);
  filter highpass(0.7);
  writer w(n, out);
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    highpass.Step(random.Noise(), 7500.0);
    w.Put(i, 0.3 * highpass.high * Struck(t, end, 0.0008, decay, 1, end));
  }
}

void Rim(const note& n, stereo_buffer& out, random_source& random) {
  const double end = 0.07;
  const int64_t frames = Frames(end);
  filter click(2.0);
  writer w(n, out);
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    click.Step(random.Noise(), 2400.0);
    const double s = 0.6 * kSine(1650.0 * t) + 1.2 * click.band;
    w.Put(i, 0.45 * s * Struck(t, end, 0.0005, 0.012, 1, end));
  }
}

void Shaker(const note& n, stereo_buffer& out, random_source& random) {
  const double end = 0.14;
  const int64_t frames = Frames(end);
  filter band(1.2);
  writer w(n, out);
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    band.Step(random.Noise(), 6500.0);
    w.Put(i, 0.32 * band.band * Struck(t, end, 0.018, 0.035, 1, end));
  }
}

void Clap(const note& n, stereo_buffer& out, random_source& random) {
  const double end = 0.3;
  const int64_t frames = Frames(end);
  filter band(1.5);
  writer w(n, out);
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    band.Step(random.Noise(), 1300.0);
    // Three quick bursts and a tail, as of several hands.
    double level = std::exp(-t / 0.09);
    for (double burst : {0.0, 0.011, 0.022})
      if (t >= burst) level += 0.8 * std::exp(-(t - burst) / 0.005);
    w.Put(i, 0.5 * band.band * level * Struck(t, end, 0.0005, 10, 1, end));
  }
}

void Tom(const note& n, stereo_buffer& out) {
  const double f = MidiToHz(n.pitch);
  const double end = 0.5;
  const int64_t frames = Frames(end);
  double phase = 0;
  writer w(n, out);
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    phase = Wrap(phase + f * (1.0 + 0.6 * std::exp(-t / 0.04)) * kSecond);
    w.Put(i, 0.7 * kSine(phase) * Struck(t, end, 0.001, 0.2, 1, end));
  }
}

void Tick(const note& n, stereo_buffer& out) {
  const double end = 0.035;
  const int64_t frames = Frames(end);
  writer w(n, out);
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * kSecond;
    const double s = kSine(2900.0 * t) + 0.6 * kSine(4650.0 * t);
    w.Put(i, 0.3 * s * Struck(t, end, 0.0004, 0.005, 1, end));
  }
}

}  // namespace

void stereo_buffer::Add(int64_t frame, double l, double r) {
  const auto size = static_cast<int64_t>(left.size());
  if (size == 0) return;
  if (frame < 0 || frame >= size) {
    if (!cyclic) return;
    frame %= size;
    if (frame < 0) frame += size;
  }
  left[static_cast<std::size_t>(frame)] += static_cast<float>(l);
  right[static_cast<std::size_t>(frame)] += static_cast<float>(r);
}

uint64_t random_source::Next() {
  // splitmix64: small, fast and well mixed.
  state_ += 0x9E3779B97F4A7C15ull;
  uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double MidiToHz(double pitch) {
  return 440.0 * std::pow(2.0, (pitch - 69.0) / 12.0);
}

void RenderNote(const note& n, stereo_buffer& out) {
  random_source random(0xD05C'0000'0000ull + n.seed);
  switch (n.kind) {
    case voice::warm_pad:
      return WarmPad(n, out, random);
    case voice::glass_pad:
      return GlassPad(n, out, random);
    case voice::bell:
      return Bell(n, out);
    case voice::marimba:
      return Marimba(n, out);
    case voice::pluck:
      return Pluck(n, out, random);
    case voice::flute:
      return Flute(n, out, random);
    case voice::square_lead:
      return SquareLead(n, out);
    case voice::saw_lead:
      return SawLead(n, out);
    case voice::epiano:
      return Epiano(n, out);
    case voice::round_bass:
      return RoundBass(n, out);
    case voice::synth_bass:
      return SynthBass(n, out);
    case voice::kick:
      return Kick(n, out, random);
    case voice::snare:
      return Snare(n, out, random);
    case voice::hat:
      return Hat(n, out, random, 0.028, 0.12);
    case voice::open_hat:
      return Hat(n, out, random, 0.16, 0.45);
    case voice::rim:
      return Rim(n, out, random);
    case voice::shaker:
      return Shaker(n, out, random);
    case voice::clap:
      return Clap(n, out, random);
    case voice::tom:
      return Tom(n, out);
    case voice::tick:
      return Tick(n, out);
  }
}

}  // namespace dusk::music
