// Ogg Vorbis tracks decoded piece by piece while they play, from their file or embedded data, so that a
// track costs a file handle and a decoder only while it is heard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace dusk {

struct track_info {
  int channels = 0;  // 1 or 2
  int sample_rate = 0;
  // The stream's last page closes it. A file cut short (or followed by junk) lacks that page: it plays up
  // to the damage and then stops, even when it loops.
  bool whole = false;
};

// Reads a track's headers and the end of its file; none when it can't be opened or isn't Ogg Vorbis of one
// or two channels. Nothing is decoded.
std::optional<track_info> ProbeTrack(const std::string& source);

class vorbis_stream {
 public:
  // None when the source can't be opened or isn't a playable track (as ProbeTrack).
  static std::unique_ptr<vorbis_stream> Open(const std::string& source, bool loop);
  ~vorbis_stream();
  vorbis_stream(const vorbis_stream&) = delete;
  vorbis_stream& operator=(const vorbis_stream&) = delete;

  const track_info& info() const { return info_; }
  // Up to frames frames of interleaved 16-bit samples (frames × channels values). A looping whole track
  // goes on from its first sample after its last, so it never ends; otherwise fewer frames than asked
  // means the track has ended (or is damaged from there on).
  size_t Read(int16_t* out, size_t frames);
  bool ended() const { return ended_; }
  bool failed() const { return failed_; }  // ended on damage rather than at its end

 private:
  struct source_state;
  vorbis_stream() = default;

  std::unique_ptr<source_state> source_;
  track_info info_;
  bool loop_ = false;
  bool ended_ = false;
  bool failed_ = false;
};

}  // namespace dusk
