// Encoding test tones with libvorbisenc.
#include "tests/platform/support/ogg_fixture.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>

namespace dusk::testing {

std::vector<uint8_t> EncodeSweep(int frames, int channels, int rate) {
  std::vector<uint8_t> out;
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, channels, rate, 0.1f) != 0) return out;
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block block;
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, 7);
  auto append = [&out](const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
  };
  ogg_packet header, header_comment, header_code;
  vorbis_analysis_headerout(&dsp, &comment, &header, &header_comment, &header_code);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &header_comment);
  ogg_stream_packetin(&stream, &header_code);
  ogg_page page;
  while (ogg_stream_flush(&stream, &page) != 0) append(page);
  // Fed in pieces, as an encoder of a long track would be.
  constexpr int kPiece = 1024;
  bool finished = false;
  for (int done = 0;;) {
    const int n = std::min(kPiece, frames - done);
    if (n > 0) {
      float** buffer = vorbis_analysis_buffer(&dsp, n);
      for (int i = 0; i < n; ++i) {
        const auto t = static_cast<float>(done + i);
        for (int c = 0; c < channels; ++c) {
          buffer[c][i] = 0.3f * std::sin(t * (0.02f + 0.01f * static_cast<float>(c)) * (1.0f + t / 50000.0f));
        }
      }
      done += n;
    }
    vorbis_analysis_wrote(&dsp, std::max(n, 0));  // 0: the end of the track
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
        ogg_stream_packetin(&stream, &packet);
        while (!finished && ogg_stream_pageout(&stream, &page) != 0) {
          append(page);
          finished = ogg_page_eos(&page) != 0;
        }
      }
    }
    if (n <= 0) break;
  }
  while (ogg_stream_flush(&stream, &page) != 0) append(page);
  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}

}  // namespace dusk::testing
