// A replay: the steps of one attempt at a level, packed four to a byte, and its file form.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace dusk {

class stream;

// Step codes as level play records them.
enum replay_step : int { kStepUp = 0, kStepDown = 1, kStepLeft = 2, kStepRight = 3 };

class replay {
 public:
  static constexpr int arraysize = 128;
  // Only the first 128 steps are stored; later ones are counted but read back as -1.
  static constexpr int kStoredSteps = 128;
  // The file holds data bytes 0 to (maxindex - 1) div 4 + 1, which must fit the array.
  static constexpr int kMaxFileSteps = 4 * (arraysize - 1);

  std::array<uint8_t, arraysize> data{};
  int onmove = 0;    // where add writes and grab reads
  int maxindex = 0;  // number of steps recorded

  int add(int v);
  int grab() const;
  int seek(int n);
  int set(int i, int v);    // adds v to entry i (stores v into an empty entry)
  int reset(int i, int v);  // overwrites entry i
  int set0(int i);
  int get(int i) const;  // entry i (0 to 3), or -1 outside 0 to 127
  // Writes the file body; 0 when there is no stream or the counts don't fit the file form, else 1.
  int save(stream* out) const;
  // Reads and checks a file body; none when it is short, too long for the array or fails its check.
  static std::optional<replay> read(stream* in);
  // The stored steps as one run of digits, "002" for up, up, left.
  int output(stream* out) const;
};

// Writes the replay of level l of world w to its file in the world's "replays" folder, replacing an
// older one in one step. False when it can't be written; the caller goes on without a message.
bool SaveReplayFile(const replay& r, int w, int l);
// The replay of level l of world w from its file; none when there is none or it fails its check.
std::optional<replay> LoadReplayFile(int w, int l);

struct replay_state {
  replay currentreplay;
};

extern replay_state replays;
inline void ResetReplays() {
  replays = replay_state{};
}

}  // namespace dusk
