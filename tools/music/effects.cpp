// The music tool's mixing stage: reverb, echo, limiter and loudness matching.
#include "tools/music/effects.h"

#include <ebur128.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace dusk::music {

namespace {

// One line of a room: a delay whose output is damped and fed back.
class comb {
 public:
  explicit comb(std::size_t length) : line_(length, 0.0) {}
  double Step(double in, double feedback, double damping) {
    const double out = line_[at_];
    store_ = out * (1.0 - damping) + store_ * damping;
    line_[at_] = in + store_ * feedback;
    if (++at_ == line_.size()) at_ = 0;
    return out;
  }

 private:
  std::vector<double> line_;
  std::size_t at_ = 0;
  double store_ = 0;
};

class allpass {
 public:
  explicit allpass(std::size_t length) : line_(length, 0.0) {}
  double Step(double in) {
    const double delayed = line_[at_];
    line_[at_] = in + delayed * 0.5;
    if (++at_ == line_.size()) at_ = 0;
    return delayed - in;
  }

 private:
  std::vector<double> line_;
  std::size_t at_ = 0;
};

// How many times a buffer is run through an effect: once when plain, twice round when cyclic, so the
// second turn starts with the state the end of the loop left.
int Turns(const stereo_buffer& b) {
  return b.cyclic ? 2 : 1;
}

double DecibelsToGain(double db) {
  return std::pow(10.0, db / 20.0);
}

void Scale(stereo_buffer& b, double gain) {
  for (std::size_t i = 0; i < b.Frames(); ++i) {
    b.left[i] = static_cast<float>(b.left[i] * gain);
    b.right[i] = static_cast<float>(b.right[i] * gain);
  }
}

// Lowers the gain smoothly around every sample that would pass the ceiling: the gain falls ahead of a peak
// (a backward pass) and recovers slowly after it (a forward pass), and never rises above what each
// sample allows.
void Limit(stereo_buffer& b, double ceiling) {
  const std::size_t n = b.Frames();
  if (n == 0) return;
  std::vector<double> gain(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double peak = std::max(std::fabs(b.left[i]), std::fabs(b.right[i]));
    gain[i] = peak > ceiling ? ceiling / peak : 1.0;
  }
  const double attack = 1.0 - std::exp(-1.0 / (0.004 * kRate));
  const double release = 1.0 - std::exp(-1.0 / (0.15 * kRate));
  const int turns = Turns(b);
  double held = 1.0;
  for (int turn = 0; turn < turns; ++turn)
    for (std::size_t k = n; k-- > 0;) {
      held = std::min(gain[k], held + (1.0 - held) * attack);
      gain[k] = held;
    }
  held = 1.0;
  for (int turn = 0; turn < turns; ++turn)
    for (std::size_t k = 0; k < n; ++k) {
      held = std::min(gain[k], held + (1.0 - held) * release);
      gain[k] = held;
    }
  for (std::size_t i = 0; i < n; ++i) {
    b.left[i] = static_cast<float>(b.left[i] * gain[i]);
    b.right[i] = static_cast<float>(b.right[i] * gain[i]);
  }
}

}  // namespace

stereo_buffer Reverb(const stereo_buffer& in, double room_size, double damping, double width) {
  // Comb and all-pass lengths of a classic room at 44.1 kHz; the right channel's lines are a little longer.
  constexpr std::array<std::size_t, 8> kCombs = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
  constexpr std::array<std::size_t, 4> kAllpasses = {556, 441, 341, 225};
  constexpr std::size_t kSpread = 23;
  std::vector<comb> combs_left, combs_right;
  std::vector<allpass> passes_left, passes_right;
  for (std::size_t length : kCombs) {
    combs_left.emplace_back(length);
    combs_right.emplace_back(length + kSpread);
  }
  for (std::size_t length : kAllpasses) {
    passes_left.emplace_back(length);
    passes_right.emplace_back(length + kSpread);
  }
  const double feedback = 0.7 + 0.28 * room_size;
  const double damp = 0.4 * damping;
  const double wet_same = 0.5 + width / 2, wet_cross = (1.0 - width) / 2;
  stereo_buffer out(in.Frames(), in.cyclic);
  const int turns = Turns(in);
  for (int turn = 0; turn < turns; ++turn) {
    const bool keep = turn == turns - 1;
    for (std::size_t i = 0; i < in.Frames(); ++i) {
      const double input = 0.015 * (in.left[i] + in.right[i]);
      double l = 0, r = 0;
      for (std::size_t c = 0; c < kCombs.size(); ++c) {
        l += combs_left[c].Step(input, feedback, damp);
        r += combs_right[c].Step(input, feedback, damp);
      }
      for (std::size_t a = 0; a < kAllpasses.size(); ++a) {
        l = passes_left[a].Step(l);
        r = passes_right[a].Step(r);
      }
      if (keep) {
        out.left[i] = static_cast<float>(l * wet_same + r * wet_cross);
        out.right[i] = static_cast<float>(r * wet_same + l * wet_cross);
      }
    }
  }
  return out;
}

stereo_buffer Echo(const stereo_buffer& in, int64_t delay_frames, double feedback) {
  const auto delay = static_cast<std::size_t>(std::max<int64_t>(delay_frames, 1));
  std::vector<double> line_left(delay, 0.0), line_right(delay, 0.0);
  std::size_t at = 0;
  double tone_left = 0, tone_right = 0;
  const double darken = 0.35;  // each repeat passes a gentle low-pass
  stereo_buffer out(in.Frames(), in.cyclic);
  const int turns = Turns(in);
  for (int turn = 0; turn < turns; ++turn) {
    const bool keep = turn == turns - 1;
    for (std::size_t i = 0; i < in.Frames(); ++i) {
      const double from_left = line_left[at], from_right = line_right[at];
      tone_left += (from_left - tone_left) * (1.0 - darken);
      tone_right += (from_right - tone_right) * (1.0 - darken);
      // The repeats cross from side to side.
      line_left[at] = 0.5 * (in.left[i] + in.right[i]) + feedback * tone_right;
      line_right[at] = feedback * tone_left;
      if (++at == delay) at = 0;
      if (keep) {
        out.left[i] = static_cast<float>(tone_left);
        out.right[i] = static_cast<float>(tone_right);
      }
    }
  }
  return out;
}

void Mix(stereo_buffer& target, const stereo_buffer& source, double scale) {
  const std::size_t n = std::min(target.Frames(), source.Frames());
  for (std::size_t i = 0; i < n; ++i) {
    target.left[i] = static_cast<float>(target.left[i] + scale * source.left[i]);
    target.right[i] = static_cast<float>(target.right[i] + scale * source.right[i]);
  }
}

loudness_figures MeasureLoudness(const stereo_buffer& track) {
  loudness_figures figures;
  std::unique_ptr<ebur128_state, void (*)(ebur128_state*)> meter(
      ebur128_init(2, kRate, EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK),
      [](ebur128_state* s) { ebur128_destroy(&s); });
  if (!meter) return figures;
  std::vector<float> frames;
  constexpr std::size_t kChunk = 1 << 16;
  for (std::size_t start = 0; start < track.Frames(); start += kChunk) {
    const std::size_t count = std::min(kChunk, track.Frames() - start);
    frames.resize(2 * count);
    for (std::size_t i = 0; i < count; ++i) {
      frames[2 * i] = track.left[start + i];
      frames[2 * i + 1] = track.right[start + i];
    }
    ebur128_add_frames_float(meter.get(), frames.data(), count);
  }
  ebur128_loudness_global(meter.get(), &figures.integrated);
  double peak = 0;
  for (unsigned channel = 0; channel < 2; ++channel) {
    double p = 0;
    ebur128_true_peak(meter.get(), channel, &p);
    peak = std::max(peak, p);
  }
  figures.true_peak = peak > 0 ? 20.0 * std::log10(peak) : -200.0;
  return figures;
}

loudness_figures MatchLoudness(stereo_buffer& track, double target_lufs, double ceiling_dbfs) {
  loudness_figures now = MeasureLoudness(track);
  // A gain moves loudness and peak alike, so only limiting calls for a new measurement. Limiting takes a
  // little loudness away, and raising the gain again adds peaks back: a few rounds settle it.
  for (int round = 0; round < 6; ++round) {
    const double gain_db = target_lufs - now.integrated;
    if (std::fabs(gain_db) < 0.05 && now.true_peak <= ceiling_dbfs) break;
    Scale(track, DecibelsToGain(gain_db));
    now.integrated += gain_db;
    now.true_peak += gain_db;
    if (now.true_peak > ceiling_dbfs) {
      Limit(track, DecibelsToGain(ceiling_dbfs - 0.3 - 0.3 * round));
      now = MeasureLoudness(track);
    }
  }
  return now;
}

}  // namespace dusk::music
