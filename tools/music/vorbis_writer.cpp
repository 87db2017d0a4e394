// The music tool's output: Ogg Vorbis encoding of a stereo track into bytes in memory.
#include "tools/music/vorbis_writer.h"

#include <algorithm>

#include "tools/vorbis_encoder.h"

namespace dusk::music {

namespace {

// Frames of the loop coded on either side of it and trimmed by the decoder.
constexpr int64_t kLoopOverlap = 8192;

void TakePages(ogg_stream_state& stream, bool flush, std::vector<uint8_t>& out) {
  ogg_page page;
  while (flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
  }
}

}  // namespace

std::vector<uint8_t> EncodeVorbis(const stereo_buffer& track, float quality, int serial,
                                  const std::string& title) {
  std::vector<uint8_t> out;
  const auto length = static_cast<int64_t>(track.Frames());
  if (length == 0) return out;
  vorbis_encoder e;
  if (!e.Start(2, kRate, quality, serial, title.c_str(), "Duskmarrow")) return {};
  TakePages(e.stream, true, out);

  // A loop is coded with its start again after its end, so that the coder sees the music go on across the
  // seam rather than stop; the last granule position tells the decoder to drop those extra frames, and what
  // it plays is exactly one turn of the loop. (Trimming the start the same way is not honoured by every
  // decoder, so the loop's head is coded from silence.)
  const int64_t before = 0;
  const int64_t after = track.cyclic ? std::min<int64_t>(kLoopOverlap, length) : 0;
  const int64_t total = before + length + after;
  const auto frame_at = [&](int64_t i) {
    return static_cast<std::size_t>(((i - before) % length + length) % length);
  };

  bool first_page_out = !track.cyclic;  // a plain track needs no trimming at its start
  bool finished = false;
  constexpr int64_t kChunk = 4096;
  int64_t done = 0;
  ogg_packet packet;
  while (!finished) {
    const int64_t count = std::min(kChunk, total - done);
    if (count > 0) {
      float** buffer = vorbis_analysis_buffer(&e.dsp, static_cast<int>(count));
      for (int64_t i = 0; i < count; ++i) {
        const std::size_t at = frame_at(done + i);
        buffer[0][i] = track.left[at];
        buffer[1][i] = track.right[at];
      }
      vorbis_analysis_wrote(&e.dsp, static_cast<int>(count));
      done += count;
    } else {
      vorbis_analysis_wrote(&e.dsp, 0);  // end of stream
    }
    while (!finished && vorbis_analysis_blockout(&e.dsp, &e.block) == 1) {
      vorbis_analysis(&e.block, nullptr);
      vorbis_bitrate_addblock(&e.block);
      while (!finished && vorbis_bitrate_flushpacket(&e.dsp, &packet)) {
        if (!track.cyclic) {
          ogg_stream_packetin(&e.stream, &packet);
          TakePages(e.stream, false, out);
          continue;
        }
        // Positions count from the loop's first frame. The first page ends with the first packet that
        // reaches into the loop, its position short of the frames decoded so far by the lead-in; the
        // stream ends with the packet that reaches the loop's end, its position the loop's length.
        packet.granulepos -= before;
        if (packet.granulepos >= length) {
          packet.granulepos = length;
          packet.e_o_s = 1;
          finished = true;
        }
        ogg_stream_packetin(&e.stream, &packet);
        if (!first_page_out) {
          if (packet.granulepos > 0) {
            TakePages(e.stream, true, out);
            first_page_out = true;
          }
        } else {
          TakePages(e.stream, false, out);
        }
      }
    }
    if (count == 0) break;
  }
  TakePages(e.stream, true, out);
  return out;
}

}  // namespace dusk::music
