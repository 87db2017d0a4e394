// The music tool's sequencer: composes a song's parts from its style and mixes them into one track.
#include "tools/music/composer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numbers>
#include <utility>

#include "tools/music/effects.h"

namespace dusk::music {

namespace {

const std::array<int, 7>& ScaleSteps(mode m) {
  static const std::array<int, 7> kMajor = {0, 2, 4, 5, 7, 9, 11};
  static const std::array<int, 7> kMinor = {0, 2, 3, 5, 7, 8, 10};
  static const std::array<int, 7> kDorian = {0, 2, 3, 5, 7, 9, 10};
  static const std::array<int, 7> kMixolydian = {0, 2, 4, 5, 7, 9, 10};
  static const std::array<int, 7> kLydian = {0, 2, 4, 6, 7, 9, 11};
  static const std::array<int, 7> kPhrygian = {0, 1, 3, 5, 7, 8, 10};
  static const std::array<int, 7> kHarmonicMinor = {0, 2, 3, 5, 7, 8, 11};
  switch (m) {
    case mode::major:
      return kMajor;
    case mode::minor:
      return kMinor;
    case mode::dorian:
      return kDorian;
    case mode::mixolydian:
      return kMixolydian;
    case mode::lydian:
      return kLydian;
    case mode::phrygian:
      return kPhrygian;
    case mode::harmonic_minor:
      return kHarmonicMinor;
  }
  return kMajor;
}

int FloorDiv(int a, int b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Semitones above the tonic of a scale degree (degree 7 is the octave).
int Semitones(int degree, mode m) {
  const int octave = FloorDiv(degree, 7);
  return 12 * octave + ScaleSteps(m)[static_cast<std::size_t>(degree - 7 * octave)];
}

// The pitch class placed in the octave that starts at low.
int InOctave(int pitch, int low) {
  return low + ((pitch - low) % 12 + 12) % 12;
}

// How long a loop's instruments take to fade before the seam, and how long before its first downbeat the
// looping file starts.
constexpr double kBreathSeconds = 0.15;
constexpr double kLeadInSeconds = 0.05;

enum part { lead_part, arp_part, pad_part, bass_part, drum_part, part_count };

// Where each step of the pattern grid falls, in frames, swing included.
struct grid {
  double step_frames;
  int steps_per_bar;
  double swing;

  int64_t At(int64_t step) const {
    const double late = (step % 2 == 1) ? swing : 0.0;
    return static_cast<int64_t>(std::llround((static_cast<double>(step) + late) * step_frames));
  }
  int64_t Span(double steps) const { return static_cast<int64_t>(std::llround(steps * step_frames)); }
};

struct onset {
  int step;
  int length;
};

// The notes of a one-bar rhythm: 'x' starts a note, each '-' after it holds it a step longer.
std::vector<onset> Onsets(const std::string& rhythm) {
  std::vector<onset> out;
  for (std::size_t i = 0; i < rhythm.size(); ++i) {
    if (rhythm[i] != 'x' && rhythm[i] != 'o') continue;
    int length = 1;
    while (i + static_cast<std::size_t>(length) < rhythm.size() &&
           rhythm[i + static_cast<std::size_t>(length)] == '-')
      ++length;
    out.push_back({static_cast<int>(i), length});
  }
  return out;
}

class composer {
 public:
  explicit composer(const song_style& style)
      : s_(style),
        random_(0x4D75'5369'6300'0000ull ^ style.seed),
        grid_{60.0 / style.bpm / style.steps_per_beat * kRate, style.beats_per_bar * style.steps_per_beat,
              style.swing} {}

  std::array<std::vector<note>, part_count> Compose() {
    int bar = 0;
    for (std::size_t section = 0; section < s_.form.size(); ++section) {
      const int letter = s_.form[section] - 'A';
      const int energy = section < s_.energy.size() ? s_.energy[section] - '0' : 3;
      ComposeSection(letter, energy, bar);
      bar += s_.bars_per_section;
    }
    if (!s_.loops) ComposeEnding(bar);
    return std::move(parts_);
  }

 private:
  int ChordOf(int letter, int bar_in_section) const {
    const auto& list = s_.chords[static_cast<std::size_t>(letter) % s_.chords.size()];
    return list[static_cast<std::size_t>(bar_in_section) % list.size()];
  }

  // The chord's notes as scale degrees, root first.
  std::vector<int> ChordDegrees(int root) const {
    std::vector<int> degrees = {root, root + 2, root + 4};
    if (s_.sevenths) degrees.push_back(root + 6);
    return degrees;
  }

  bool IsChordTone(int degree, int root) const {
    for (int d : ChordDegrees(root))
      if (((degree - d) % 7 + 7) % 7 == 0) return true;
    return false;
  }

  // The chord tone nearest the degree, preferring the way down on a tie.
  int NearestChordTone(int degree, int root) const {
    for (int distance = 0; distance < 4; ++distance) {
      if (IsChordTone(degree - distance, root)) return degree - distance;
      if (IsChordTone(degree + distance, root)) return degree + distance;
    }
    return degree;
  }

  uint32_t NextSeed() { return static_cast<uint32_t>(random_.Next()); }

  double Humanize(double velocity) { return velocity * (0.93 + 0.1 * random_.Uniform()); }

  void Add(part p, voice kind, int64_t start, int64_t length, double pitch, double velocity, double pan) {
    parts_[p].push_back(note{kind, start, length, pitch, velocity, pan, NextSeed()});
  }

  std::vector<int> MotifSteps(std::size_t count) {
    std::vector<int> steps;
    for (std::size_t i = 0; i < count; ++i) {
      const double r = random_.Uniform();
      int step = 0;
      if (r < s_.leaps) {
        step = 3 + random_.Below(2);
      } else if (r < s_.leaps + 0.3) {
        step = 2;
      } else if (r < 0.92) {
        step = 1;
      }
      if (random_.Uniform() < 0.5) step = -step;
      steps.push_back(step);
    }
    return steps;
  }

  // Each section letter gets its own tune, made once and replayed wherever the letter comes back.
  struct tune {
    std::vector<std::string> bar_rhythms;
    std::vector<std::vector<int>> bar_steps;
    int start_degree = 0;
  };

  const tune& TuneOf(int letter) {
    auto found = tunes_.find(letter);
    if (found != tunes_.end()) return found->second;
    tune t;
    const auto pick = [&] {
      return s_.rhythms[static_cast<std::size_t>(random_.Below(static_cast<int>(s_.rhythms.size())))];
    };
    const std::string first = pick(), second = pick(), third = pick();
    std::vector<int> first_steps = MotifSteps(Onsets(first).size());
    std::vector<int> second_steps = MotifSteps(Onsets(second).size());
    // Four-bar phrases: a two-bar motif, the motif's first bar again, a cadence; the second phrase ends the
    // same way after a new third bar.
    for (int b = 0; b < s_.bars_per_section; ++b) {
      const int place = b % 8;
      std::string r;
      std::vector<int> steps;
      if (place == 0 || place == 4) {
        r = first;
        steps = first_steps;
      } else if (place == 1 || place == 5) {
        r = second;
        steps = second_steps;
      } else if (place == 2) {
        r = first;
        steps = first_steps;
        for (int& step : steps) step = -step;  // the answer turns the motif over
      } else if (place == 6) {
        r = third;
        steps = MotifSteps(Onsets(third).size());
      } else {
        r = s_.cadence;
        steps = MotifSteps(Onsets(r).size());
      }
      t.bar_rhythms.push_back(r);
      t.bar_steps.push_back(steps);
    }
    t.start_degree = (s_.lead_low + s_.lead_high) / 2;
    return tunes_.emplace(letter, std::move(t)).first->second;
  }

  void ComposeMelody(int letter, int first_bar) {
    const tune& t = TuneOf(letter);
    int degree = t.start_degree;
    for (int b = 0; b < s_.bars_per_section; ++b) {
      const int chord = ChordOf(letter, b);
      const int place = b % 8;
      if (place == 0 || place == 4) degree = NearestChordTone(t.start_degree, chord);
      const auto notes = Onsets(t.bar_rhythms[static_cast<std::size_t>(b)]);
      const auto& steps = t.bar_steps[static_cast<std::size_t>(b)];
      for (std::size_t i = 0; i < notes.size(); ++i) {
        if (!(i == 0 && (place == 0 || place == 4))) degree += steps[i];
        if (degree > s_.lead_high) degree -= 2 * (degree - s_.lead_high);
        if (degree < s_.lead_low) degree += 2 * (s_.lead_low - degree);
        const bool strong = notes[i].step % s_.steps_per_beat == 0;
        const bool cadence = place == 3 || place == 7;
        if (cadence && i == 0) {
          // Phrases come to rest on the chord's root or third.
          degree = NearestChordTone(degree, chord);
          if (((degree - chord) % 7 + 7) % 7 == 4) degree -= 2;
        } else if (strong) {
          degree = NearestChordTone(degree, chord);
        }
        const int64_t step = static_cast<int64_t>(first_bar + b) * grid_.steps_per_bar + notes[i].step;
        const double accent = strong ? 1.0 : 0.85;
        Add(lead_part, s_.lead, grid_.At(step), grid_.Span(notes[i].length * 0.92),
            s_.tonic + s_.lead_octave + Semitones(degree, s_.scale), Humanize(accent), s_.lead_mix.pan);
      }
    }
  }

  void ComposeSection(int letter, int energy, int first_bar) {
    if (energy >= 2 && s_.lead_mix.level > 0) ComposeMelody(letter, first_bar);
    for (int b = 0; b < s_.bars_per_section; ++b) {
      const int bar = first_bar + b;
      const int chord = ChordOf(letter, b);
      const int64_t bar_step = static_cast<int64_t>(bar) * grid_.steps_per_bar;
      // The pad holds each chord, one note a voice, across bars of the same chord.
      const bool continues = b > 0 && ChordOf(letter, b - 1) == chord;
      if (!continues) {
        int bars = 1;
        while (b + bars < s_.bars_per_section && ChordOf(letter, b + bars) == chord) ++bars;
        const auto degrees = ChordDegrees(chord);
        for (std::size_t v = 0; v < degrees.size(); ++v) {
          const int pitch = InOctave(s_.tonic + Semitones(degrees[v], s_.scale), s_.pad_low);
          const double pan = (static_cast<double>(v) / static_cast<double>(degrees.size() - 1) - 0.5) * 0.9;
          Add(pad_part, s_.pad, grid_.At(bar_step), grid_.Span(bars * grid_.steps_per_bar - 0.5), pitch,
              energy == 0 ? 0.8 : 1.0, pan);
        }
      }
      if (energy >= 1) {
        ComposeArpeggio(chord, bar_step);
        ComposeBass(chord, bar_step);
      }
      const bool last_bar = b == s_.bars_per_section - 1;
      for (const drum_line& line : s_.drums) {
        if (energy < line.energy) continue;
        const std::string& pattern = last_bar && !line.fill.empty() ? line.fill : line.pattern;
        for (std::size_t i = 0; i < pattern.size(); ++i) {
          if (pattern[i] != 'x' && pattern[i] != 'o') continue;
          const double velocity = (pattern[i] == 'x' ? 1.0 : 0.55) * line.level;
          Add(drum_part, line.kind, grid_.At(bar_step + static_cast<int64_t>(i)), grid_.Span(1), line.pitch,
              Humanize(velocity), line.pan);
        }
      }
    }
  }

  void ComposeArpeggio(int chord, int64_t bar_step) {
    if (s_.arp_pattern.empty()) return;
    const auto degrees = ChordDegrees(chord);
    const int base = InOctave(s_.tonic + Semitones(chord, s_.scale), s_.tonic) + s_.arp_octave;
    int count = 0;
    for (std::size_t i = 0; i < s_.arp_pattern.size(); ++i) {
      const char c = s_.arp_pattern[i];
      if (c < '0' || c > '9') continue;
      int length = 1;
      while (i + static_cast<std::size_t>(length) < s_.arp_pattern.size() &&
             s_.arp_pattern[i + static_cast<std::size_t>(length)] == '-')
        ++length;
      const int k = c - '0';
      const auto n = static_cast<int>(degrees.size());
      const int degree = degrees[static_cast<std::size_t>(k % n)] + 7 * (k / n);
      const int pitch = base + Semitones(degree, s_.scale) - Semitones(chord, s_.scale);
      const double pan = (count++ % 2 == 0 ? 1.0 : -1.0) * s_.arp_mix.pan;
      Add(arp_part, s_.arp, grid_.At(bar_step + static_cast<int64_t>(i)), grid_.Span(length * 0.8), pitch,
          Humanize(i % static_cast<std::size_t>(s_.steps_per_beat) == 0 ? 1.0 : 0.8), pan);
    }
  }

  void ComposeBass(int chord, int64_t bar_step) {
    const int root = InOctave(s_.tonic + Semitones(chord, s_.scale), s_.bass_low);
    for (std::size_t i = 0; i < s_.bass_pattern.size(); ++i) {
      const char c = s_.bass_pattern[i];
      int pitch = 0;
      switch (c) {
        case 'R':
          pitch = root;
          break;
        case 'F':
          pitch = root + Semitones(chord + 4, s_.scale) - Semitones(chord, s_.scale);
          break;
        case 'O':
          pitch = root + 12;
          break;
        case 'T':
          pitch = root + Semitones(chord + 2, s_.scale) - Semitones(chord, s_.scale);
          break;
        default:
          continue;
      }
      int length = 1;
      while (i + static_cast<std::size_t>(length) < s_.bass_pattern.size() &&
             s_.bass_pattern[i + static_cast<std::size_t>(length)] == '-')
        ++length;
      Add(bass_part, s_.bass, grid_.At(bar_step + static_cast<int64_t>(i)), grid_.Span(length * 0.9), pitch,
          Humanize(i == 0 ? 1.0 : 0.85), 0.0);
    }
  }

  // The last chord of a track that ends: the tonic held on pad and bass, the melody's tonic on top.
  void ComposeEnding(int bar) {
    const int64_t start = grid_.At(static_cast<int64_t>(bar) * grid_.steps_per_bar);
    const int64_t hold = static_cast<int64_t>(std::llround(s_.ending_seconds * kRate));
    const auto degrees = ChordDegrees(0);
    for (std::size_t v = 0; v < degrees.size(); ++v) {
      const int pitch = InOctave(s_.tonic + Semitones(degrees[v], s_.scale), s_.pad_low);
      const double pan = (static_cast<double>(v) / static_cast<double>(degrees.size() - 1) - 0.5) * 0.9;
      Add(pad_part, s_.pad, start, hold, pitch, 1.0, pan);
    }
    Add(bass_part, s_.bass, start, hold / 2, InOctave(s_.tonic, s_.bass_low), 0.9, 0.0);
    Add(lead_part, s_.lead, start, hold / 2, s_.tonic + s_.lead_octave + 12, 0.8, s_.lead_mix.pan);
    Add(arp_part, s_.arp, start, hold / 3, s_.tonic + s_.arp_octave + 12, 0.7, 0.0);
  }

  const song_style& s_;
  random_source random_;
  grid grid_;
  std::array<std::vector<note>, part_count> parts_;
  std::map<int, tune> tunes_;
};

}  // namespace

int64_t SongFrames(const song_style& style) {
  const double steps = static_cast<double>(style.form.size()) * style.bars_per_section * style.beats_per_bar *
                       style.steps_per_beat;
  return static_cast<int64_t>(std::llround(steps * 60.0 / style.bpm / style.steps_per_beat * kRate));
}

rendered_song RenderSong(const song_style& style, double target_lufs, double ceiling_dbfs) {
  composer c(style);
  const auto parts = c.Compose();
  const int64_t body = SongFrames(style);
  // A track that ends gets room for its last chord and the room's tail after it.
  const int64_t frames =
      style.loops ? body : body + static_cast<int64_t>((style.ending_seconds + 4.0) * kRate);
  const auto size = static_cast<std::size_t>(frames);
  const part_mix* mixes[part_count] = {&style.lead_mix, &style.arp_mix, &style.pad_mix, &style.bass_mix,
                                       &style.drum_mix};
  stereo_buffer dry(size, style.loops), echo_send(size, style.loops), reverb_send(size, style.loops);
  // A loop takes a short breath before it turns: the instruments fade out just before its first downbeat
  // and what they would ring on into the next turn is left out, so at the seam only the room and the echoes
  // sound, and those run round the loop and carry on into its head unbroken. The file itself starts a
  // moment before that downbeat, in the quiet: a coder adds little error to a quiet signal and the head's
  // first notes do not land on the very first frame, so the decoded seam stays as smooth as the rest.
  const auto lead_in = static_cast<std::size_t>(kLeadInSeconds * kRate);
  const auto breath = static_cast<std::size_t>(kBreathSeconds * kRate);
  for (int p = 0; p < part_count; ++p) {
    stereo_buffer layer(size, false);
    for (const note& n : parts[static_cast<std::size_t>(p)]) RenderNote(n, layer);
    if (style.loops)
      for (std::size_t i = size - lead_in - breath; i < size; ++i) {
        const double x =
            i >= size - lead_in ? 0.0 : static_cast<double>(size - lead_in - i) / static_cast<double>(breath);
        const double gain = std::sin(x * std::numbers::pi / 2);
        layer.left[i] = static_cast<float>(layer.left[i] * gain * gain);
        layer.right[i] = static_cast<float>(layer.right[i] * gain * gain);
      }
    const part_mix& m = *mixes[p];
    Mix(dry, layer, m.level);
    if (m.echo > 0) Mix(echo_send, layer, m.level * m.echo);
    if (m.reverb > 0) Mix(reverb_send, layer, m.level * m.reverb);
  }
  const int64_t delay = static_cast<int64_t>(std::llround(style.echo_beats * 60.0 / style.bpm * kRate));
  const stereo_buffer echoes = Echo(echo_send, delay, style.echo_feedback);
  Mix(dry, echoes, 1.0);
  Mix(reverb_send, echoes, 0.5);
  const stereo_buffer room = Reverb(reverb_send, style.room, style.damping, style.width);
  Mix(dry, room, style.reverb_level);

  if (!style.loops) {
    // The room's tail is faded to silence over the last seconds, so the track ends on nothing at all.
    const auto fade = static_cast<std::size_t>(2.5 * kRate);
    for (std::size_t i = size - fade; i < size; ++i) {
      const double x = static_cast<double>(size - 1 - i) / static_cast<double>(fade);
      dry.left[i] = static_cast<float>(dry.left[i] * x * x);
      dry.right[i] = static_cast<float>(dry.right[i] * x * x);
    }
  }
  const loudness_figures figures = MatchLoudness(dry, target_lufs, ceiling_dbfs);
  if (style.loops) {
    const auto turn = static_cast<std::ptrdiff_t>(size - lead_in);
    std::rotate(dry.left.begin(), dry.left.begin() + turn, dry.left.end());
    std::rotate(dry.right.begin(), dry.right.begin() + turn, dry.right.end());
  }
  return {std::move(dry), figures.integrated, figures.true_peak};
}

}  // namespace dusk::music
