// Synthesizes the game's five sound effects and writes them as mono 44100 Hz Ogg Vorbis files.
//
//   make_sounds [output dir]     (default assets/sounds)
//
// bip   a menu cursor tick         slide  a selection swoosh
// sweep a bright star pickup       whip   a short step (heard on every move, so it stays soft)
// phase a shimmering teleport
//
// Every effect is shaped by smooth envelopes, starts and ends at silence, and is scaled to a peak
// of one half (-6 dBFS) so that effects and music mix without clipping. Noise comes from a fixed
// seed and the stream serial numbers are fixed, so a rerun writes the same files.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "tools/vorbis_encoder.h"

namespace dusk {
namespace {

constexpr int kRate = 44100;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

using samples = std::vector<float>;

int Frames(double seconds) { return static_cast<int>(std::lround(seconds * kRate)); }

// Deterministic white noise in [-1, 1].
class noise {
 public:
  explicit noise(std::uint32_t seed) : state_(seed) {}
  double Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_ / 2147483647.5 - 1.0;
  }

 private:
  std::uint32_t state_;
};

// A state-variable band-pass filter whose centre frequency may change every sample.
class band_pass {
 public:
  explicit band_pass(double q) : damping_(1.0 / q) {}
  double Step(double in, double centre) {
    const double f = 2.0 * std::sin(std::numbers::pi * std::min(centre, kRate / 6.0) / kRate);
    low_ += f * band_;
    const double high = in - low_ - damping_ * band_;
    band_ += f * high;
    return band_;
  }

 private:
  double damping_, low_ = 0, band_ = 0;
};

// Attack then exponential decay, the shape of a struck or plucked sound.
double Strike(double t, double attack, double decay) {
  if (t < 0) return 0;
  if (t < attack) return std::sin(t / attack * std::numbers::pi / 2);
  return std::exp(-(t - attack) / decay);
}

// A smooth rise and fall over the whole length (0 at both ends).
double Swell(double t, double length, double peak_at) {
  if (t <= 0 || t >= length) return 0;
  const double x = t < peak_at ? t / peak_at : (length - t) / (length - peak_at);
  return std::sin(x * std::numbers::pi / 2) * std::sin(x * std::numbers::pi / 2);
}

samples Bip() {
  samples out(static_cast<std::size_t>(Frames(0.07)));
  double phase = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double frequency = 1250.0 + 150.0 * std::exp(-t / 0.01);  // a slight drop gives it a "tick"
    phase += kTwoPi * frequency / kRate;
    const double tone = std::sin(phase) + 0.25 * std::sin(2 * phase);
    out[i] = static_cast<float>(tone * Strike(t, 0.003, 0.016));
  }
  return out;
}

samples Slide() {
  const double length = 0.2;
  samples out(static_cast<std::size_t>(Frames(length)));
  noise hiss(0x51DE);
  band_pass filter(2.5), second(2.5);  // two stages keep the hiss out of the top octaves
  double phase = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double x = t / length;
    const double centre = 600.0 * std::pow(3500.0 / 600.0, x);  // the swoosh rises through the band
    phase += kTwoPi * (500.0 + 500.0 * x) / kRate;
    const double body = second.Step(filter.Step(hiss.Next(), centre), centre) + 0.12 * std::sin(phase);
    out[i] = static_cast<float>(body * Swell(t, length, 0.35 * length));
  }
  return out;
}

samples Sweep() {
  // A quick rising arpeggio of bell tones; the last note rings longest.
  const double notes[] = {987.77, 1318.51, 1567.98, 1975.53};
  const double length = 0.42;
  samples out(static_cast<std::size_t>(Frames(length)));
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    double sum = 0;
    for (int n = 0; n < 4; ++n) {
      const double start = 0.045 * n;
      const double local = t - start;
      if (local < 0) continue;
      const double f = notes[n];
      const double bell = std::sin(kTwoPi * f * local) + 0.3 * std::sin(kTwoPi * 2 * f * local) +
                          0.08 * std::sin(kTwoPi * 3.01 * f * local);
      sum += bell * Strike(local, 0.005, n == 3 ? 0.11 : 0.06) * (n == 3 ? 1.0 : 0.8);
    }
    out[i] = static_cast<float>(sum);
  }
  return out;
}

samples Whip() {
  const double length = 0.06;
  samples out(static_cast<std::size_t>(Frames(length)));
  noise hiss(0x3A1F);
  band_pass filter(1.4), second(1.4);
  double phase = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double x = t / length;
    const double centre = 1800.0 * std::pow(500.0 / 1800.0, x);  // a short downward swish
    const double swish = second.Step(filter.Step(hiss.Next(), centre), centre) * Strike(t, 0.004, 0.012);
    phase += kTwoPi * (170.0 - 70.0 * x) / kRate;
    const double thump = 0.6 * std::sin(phase) * Strike(t, 0.002, 0.015);
    out[i] = static_cast<float>(swish + thump);
  }
  return out;
}

samples Phase() {
  const double length = 0.65;
  samples out(static_cast<std::size_t>(Frames(length)));
  const double ratios[] = {1.0, 1.5, 2.01, 3.02};
  const double levels[] = {1.0, 0.6, 0.45, 0.25};
  double phases[4] = {0, 0, 0, 0};
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double x = t / length;
    // The pitch glides up and settles; vibrato and a fast tremolo make it shimmer.
    const double base = 320.0 * std::pow(880.0 / 320.0, std::sin(x * std::numbers::pi / 2)) *
                        (1.0 + 0.012 * std::sin(kTwoPi * 7.0 * t));
    const double tremolo = 0.65 + 0.35 * std::sin(kTwoPi * 19.0 * t);
    double sum = 0;
    for (int k = 0; k < 4; ++k) {
      phases[k] += kTwoPi * base * ratios[k] / kRate;
      sum += levels[k] * std::sin(phases[k]);
    }
    sum *= 0.7 + 0.3 * std::sin(kTwoPi * 37.0 * t);  // a slow ring for a glassy edge
    out[i] = static_cast<float>(sum * tremolo * Swell(t, length, 0.25 * length));
  }
  return out;
}

// Scales to the target peak and softens the first and last milliseconds, so no effect can click.
void Finish(samples& s, double peak) {
  const std::size_t fade_in = static_cast<std::size_t>(Frames(0.001));
  const std::size_t fade_out = static_cast<std::size_t>(Frames(0.004));
  for (std::size_t i = 0; i < s.size(); ++i) {
    double gain = 1.0;
    if (i < fade_in) gain = static_cast<double>(i) / static_cast<double>(fade_in);
    const std::size_t from_end = s.size() - 1 - i;
    if (from_end < fade_out) gain = std::min(gain, static_cast<double>(from_end) / static_cast<double>(fade_out));
    s[i] = static_cast<float>(s[i] * gain);
  }
  float largest = 0;
  for (float v : s) largest = std::max(largest, std::fabs(v));
  if (largest > 0)
    for (float& v : s) v = static_cast<float>(v * peak / largest);
}

bool WritePages(std::FILE* file, ogg_stream_state& stream, bool flush) {
  ogg_page page;
  while (flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
    if (std::fwrite(page.header, 1, static_cast<std::size_t>(page.header_len), file) !=
            static_cast<std::size_t>(page.header_len) ||
        std::fwrite(page.body, 1, static_cast<std::size_t>(page.body_len), file) !=
            static_cast<std::size_t>(page.body_len))
      return false;
  }
  return true;
}

bool WriteOgg(const std::string& path, const samples& s, const char* title, int serial) {
  vorbis_encoder e;
  if (!e.Start(1, kRate, 0.5f, serial, title, nullptr)) return false;

  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = WritePages(file, e.stream, true);

  float** buffer = vorbis_analysis_buffer(&e.dsp, static_cast<int>(s.size()));
  std::copy(s.begin(), s.end(), buffer[0]);
  vorbis_analysis_wrote(&e.dsp, static_cast<int>(s.size()));
  vorbis_analysis_wrote(&e.dsp, 0);  // end of stream

  ogg_packet packet;
  while (ok && vorbis_analysis_blockout(&e.dsp, &e.block) == 1) {
    vorbis_analysis(&e.block, nullptr);
    vorbis_bitrate_addblock(&e.block);
    while (ok && vorbis_bitrate_flushpacket(&e.dsp, &packet)) {
      ogg_stream_packetin(&e.stream, &packet);
      ok = WritePages(file, e.stream, false);
    }
  }
  ok = ok && WritePages(file, e.stream, true);
  ok = (std::fclose(file) == 0) && ok;
  return ok;
}

}  // namespace
}  // namespace dusk

int main(int argc, char** argv) {
  using namespace dusk;
  const std::string dir = argc > 1 ? argv[1] : "assets/sounds";
  struct effect {
    const char* name;
    samples (*make)();
    double peak;
  };
  // The step plays on every move, so it sits a little under the others.
  const effect effects[] = {
      {"bip", Bip, 0.5}, {"slide", Slide, 0.5}, {"sweep", Sweep, 0.5}, {"whip", Whip, 0.4}, {"phase", Phase, 0.5},
  };
  int serial = 0x5EED;
  for (const effect& e : effects) {
    samples s = e.make();
    Finish(s, e.peak);
    const std::string path = dir + "/" + e.name + ".ogg";
    if (!WriteOgg(path, s, e.name, serial++)) {
      std::fprintf(stderr, "make_sounds: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("wrote %s (%.3f s)\n", path.c_str(), static_cast<double>(s.size()) / kRate);
  }
  return 0;
}
