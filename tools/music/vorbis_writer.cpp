// The music tool's output: Ogg Vorbis encoding of a stereo track into bytes in memory.
#include "tools/music/vorbis_writer.h"

#include <ogg/ogg.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>

namespace dusk::music {

namespace {

// Owns the libvorbis and libogg encoder state of one stream.
struct encoder {
  vorbis_info info{};
  vorbis_comment comment{};
  vorbis_dsp_state dsp{};
  vorbis_block block{};
  ogg_stream_state stream{};
  bool dsp_ready = false, stream_ready = false;

  encoder() {
    vorbis_info_init(&info);
    vorbis_comment_init(&comment);
  }
  ~encoder() {
    if (stream_ready) ogg_stream_clear(&stream);
    if (dsp_ready) {
      vorbis_block_clear(&block);
      vorbis_dsp_clear(&dsp);
    }
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
  }
  encoder(const encoder&) = delete;
  encoder& operator=(const encoder&) = delete;
};

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
  encoder e;
  if (vorbis_encode_init_vbr(&e.info, 2, kRate, quality) != 0) return {};
  vorbis_comment_add_tag(&e.comment, "TITLE", title.c_str());
  vorbis_comment_add_tag(&e.comment, "ARTIST", "Duskmarrow");
  if (vorbis_analysis_init(&e.dsp, &e.info) != 0) return {};
  vorbis_block_init(&e.dsp, &e.block);
  e.dsp_ready = true;
  ogg_stream_init(&e.stream, serial);
  e.stream_ready = true;

  ogg_packet header, header_comment, header_code;
  vorbis_analysis_headerout(&e.dsp, &e.comment, &header, &header_comment, &header_code);
  ogg_stream_packetin(&e.stream, &header);
  ogg_stream_packetin(&e.stream, &header_comment);
  ogg_stream_packetin(&e.stream, &header_code);
  TakePages(e.stream, true, out);

  constexpr std::size_t kChunk = 4096;
  std::size_t done = 0;
  ogg_packet packet;
  for (;;) {
    const std::size_t count = std::min(kChunk, track.Frames() - done);
    if (count > 0) {
      float** buffer = vorbis_analysis_buffer(&e.dsp, static_cast<int>(count));
      std::copy_n(track.left.begin() + static_cast<std::ptrdiff_t>(done), count, buffer[0]);
      std::copy_n(track.right.begin() + static_cast<std::ptrdiff_t>(done), count, buffer[1]);
      vorbis_analysis_wrote(&e.dsp, static_cast<int>(count));
      done += count;
    } else {
      vorbis_analysis_wrote(&e.dsp, 0);  // end of stream
    }
    while (vorbis_analysis_blockout(&e.dsp, &e.block) == 1) {
      vorbis_analysis(&e.block, nullptr);
      vorbis_bitrate_addblock(&e.block);
      while (vorbis_bitrate_flushpacket(&e.dsp, &packet)) {
        ogg_stream_packetin(&e.stream, &packet);
        TakePages(e.stream, false, out);
      }
    }
    if (count == 0) break;
  }
  TakePages(e.stream, true, out);
  return out;
}

}  // namespace dusk::music
