// The authoring tools' Ogg Vorbis encoder state (sound effects and music): libvorbis and libogg set up for
// one stream, its three header packets already queued, and everything freed on the way out.
#pragma once

#include <ogg/ogg.h>
#include <vorbis/vorbisenc.h>

namespace dusk {

struct vorbis_encoder {
  vorbis_info info{};
  vorbis_comment comment{};
  vorbis_dsp_state dsp{};
  vorbis_block block{};
  ogg_stream_state stream{};
  bool dsp_ready = false, stream_ready = false;

  vorbis_encoder() {
    vorbis_info_init(&info);
    vorbis_comment_init(&comment);
  }
  ~vorbis_encoder() {
    if (stream_ready) ogg_stream_clear(&stream);
    if (dsp_ready) {
      vorbis_block_clear(&block);
      vorbis_dsp_clear(&dsp);
    }
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
  }
  vorbis_encoder(const vorbis_encoder&) = delete;
  vorbis_encoder& operator=(const vorbis_encoder&) = delete;

  // Sets up a VBR stream with these tags (artist may be null) and queues its headers in the stream. The
  // serial number is the caller's, so the same input always gives the same bytes. False when libvorbis
  // refuses the settings.
  bool Start(int channels, long rate, float quality, int serial, const char* title, const char* artist) {
    if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) return false;
    vorbis_comment_add_tag(&comment, "TITLE", title);
    if (artist != nullptr) vorbis_comment_add_tag(&comment, "ARTIST", artist);
    if (vorbis_analysis_init(&dsp, &info) != 0) return false;
    vorbis_block_init(&dsp, &block);
    dsp_ready = true;
    ogg_stream_init(&stream, serial);
    stream_ready = true;
    ogg_packet header, header_comment, header_code;
    vorbis_analysis_headerout(&dsp, &comment, &header, &header_comment, &header_code);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &header_comment);
    ogg_stream_packetin(&stream, &header_code);
    return true;
  }
};

}  // namespace dusk
