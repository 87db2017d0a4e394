// The music tool's sequencer: a song's style (key, tempo, form, patterns, instruments) becomes notes, and the
// notes become a mixed stereo track.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/music/synth.h"

namespace dusk::music {

enum class mode { major, minor, dorian, mixolydian, lydian, phrygian, harmonic_minor };

// A part's place in the mix: its level, its place in the stereo field and how much of it feeds the echo
// and the room.
struct part_mix {
  double level = 1.0;
  double pan = 0.0;
  double echo = 0.0;
  double reverb = 0.2;
};

// One drum of the kit and its pattern: one bar of steps, 'x' a full hit, 'o' a soft one, '.' a rest.
// The fill, when given, replaces the pattern in the last bar of every section.
struct drum_line {
  voice kind;
  std::string pattern;
  std::string fill;
  double level = 1.0;
  double pan = 0.0;
  int energy = 2;       // heard in sections of at least this energy
  double pitch = 60.0;  // tuning of toms
};

struct song_style {
  std::string name;   // the file name, without ".ogg"
  std::string title;  // stored in the file's comments
  bool loops = true;  // world tracks loop without a seam; the menu theme ends on a held chord
  uint32_t seed = 1;

  int tonic = 60;  // MIDI note of the key's first degree
  mode scale = mode::major;
  double bpm = 100;
  int beats_per_bar = 4;
  int steps_per_beat = 4;
  double swing = 0;  // every second step comes late by this part of a step

  // Sections in order, one letter each; the same letter plays the same tune. Each section's energy (digits
  // 0 to 3) decides which parts play: 0 pad only, 1 with bass and arpeggio, 2 with melody and the lighter
  // drums, 3 everything.
  std::string form = "ABAC";
  std::string energy = "2332";
  int bars_per_section = 8;
  // The chords of each section letter, as scale degrees (0 the tonic), one a bar and repeated as needed.
  std::vector<std::vector<int>> chords;
  bool sevenths = false;

  // Melody: its voice, its range in scale degrees from the tonic an octave up, and the bar rhythms it
  // draws from ('x' a note, '-' held, '.' a rest); the cadence rhythm closes each four-bar phrase.
  voice lead = voice::flute;
  int lead_low = 0, lead_high = 9;
  std::vector<std::string> rhythms;
  std::string cadence;
  double leaps = 0.2;  // how often the melody jumps rather than steps
  int lead_octave = 12;

  // Arpeggio over the chord: digits index the chord's notes upward, '-' holds, '.' rests.
  voice arp = voice::bell;
  std::string arp_pattern;
  int arp_octave = 12;

  voice pad = voice::warm_pad;
  int pad_low = 55;  // pad notes sit in the octave from here

  // Bass, one bar of steps: R root, F fifth, O octave, T third, '-' held, '.' rest.
  voice bass = voice::round_bass;
  std::string bass_pattern;
  int bass_low = 36;

  std::vector<drum_line> drums;

  part_mix lead_mix, arp_mix, pad_mix, bass_mix, drum_mix;
  double echo_beats = 0.75, echo_feedback = 0.35;
  double room = 0.6, damping = 0.4, width = 1.0, reverb_level = 0.9;

  double ending_seconds = 5;  // the held last chord of a track that does not loop
};

// The loop length (looping songs) or the length before the last chord (the others), in frames.
int64_t SongFrames(const song_style& style);

struct rendered_song {
  stereo_buffer track;
  double loudness = 0;   // LUFS, integrated
  double true_peak = 0;  // dBFS
};

// The whole track, mixed, at the loudness target with its true peak under the ceiling.
rendered_song RenderSong(const song_style& style, double target_lufs, double ceiling_dbfs);

}  // namespace dusk::music
