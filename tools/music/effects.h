// The music tool's mixing stage: reverb, echo, a peak limiter and loudness matching over a whole track.
#pragma once

#include "tools/music/synth.h"

namespace dusk::music {

// A room: the buffer's sound passed through parallel damped combs and series all-passes, returned wet only.
// A cyclic buffer is run round twice so the room's tail at the end of the loop rings into its head.
stereo_buffer Reverb(const stereo_buffer& in, double room_size, double damping, double width);

// A ping-pong echo, each repeat darker than the last; returned wet only, cyclic as Reverb.
stereo_buffer Echo(const stereo_buffer& in, int64_t delay_frames, double feedback);

// Adds scale times the source into the target (same length).
void Mix(stereo_buffer& target, const stereo_buffer& source, double scale);

struct loudness_figures {
  double integrated = 0;  // LUFS
  double true_peak = 0;   // dBFS over both channels
};
loudness_figures MeasureLoudness(const stereo_buffer& track);

// Scales the track to the loudness target (LUFS, integrated, as a standard meter measures it) and holds its
// true peak under the ceiling (dBFS) with a smooth look-ahead limiter. Returns the figures reached.
loudness_figures MatchLoudness(stereo_buffer& track, double target_lufs, double ceiling_dbfs);

}  // namespace dusk::music
