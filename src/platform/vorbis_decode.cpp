// Ogg Vorbis decoding with libvorbisfile over memory, for files and embedded data alike.
#include "platform/vorbis_decode.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

namespace dusk {

namespace {

struct memory_source {
  const uint8_t* data;
  size_t size;
  size_t position;
};

size_t ReadMemory(void* out, size_t size, size_t count, void* source_pointer) {
  auto* source = static_cast<memory_source*>(source_pointer);
  if (size == 0) return 0;
  const size_t items = std::min(count, (source->size - source->position) / size);
  std::memcpy(out, source->data + source->position, items * size);
  source->position += items * size;
  return items;
}

int SeekMemory(void* source_pointer, ogg_int64_t offset, int whence) {
  auto* source = static_cast<memory_source*>(source_pointer);
  ogg_int64_t base = 0;
  if (whence == SEEK_CUR) base = static_cast<ogg_int64_t>(source->position);
  if (whence == SEEK_END) base = static_cast<ogg_int64_t>(source->size);
  const ogg_int64_t target = base + offset;
  if (target < 0 || target > static_cast<ogg_int64_t>(source->size)) return -1;
  source->position = static_cast<size_t>(target);
  return 0;
}

long TellMemory(void* source_pointer) { return static_cast<long>(static_cast<memory_source*>(source_pointer)->position); }

struct vorbis_file {
  OggVorbis_File file{};
  bool open = false;
  ~vorbis_file() {
    if (open) ov_clear(&file);
  }
};

}  // namespace

bool DecodeVorbis(const uint8_t* data, size_t size, decoded_sound& out) {
  out = decoded_sound{};
  if (data == nullptr || size == 0) return false;
  memory_source source{data, size, 0};
  const ov_callbacks callbacks{ReadMemory, SeekMemory, nullptr, TellMemory};
  vorbis_file vorbis;
  if (ov_open_callbacks(&source, &vorbis.file, nullptr, 0, callbacks) != 0) return false;
  vorbis.open = true;
  const vorbis_info* info = ov_info(&vorbis.file, -1);
  if (info == nullptr || info->channels < 1 || info->channels > 2 || info->rate <= 0) return false;
  out.channels = info->channels;
  out.sample_rate = static_cast<int>(info->rate);

  const int big_endian = std::endian::native == std::endian::big ? 1 : 0;
  std::vector<char> bytes;
  char buffer[8192];
  int first_section = -1;
  for (;;) {
    int section = 0;
    const long got = ov_read(&vorbis.file, buffer, sizeof buffer, big_endian, 2, 1, &section);
    if (got == 0) break;
    if (got == OV_HOLE) continue;  // a gap in the data; what follows still decodes
    if (got < 0) return false;
    if (first_section < 0) first_section = section;
    if (section != first_section) {
      // A chained stream may change its format; the first part is the sound.
      const vorbis_info* now = ov_info(&vorbis.file, section);
      if (now == nullptr || now->channels != out.channels || now->rate != info->rate) break;
    }
    if (bytes.size() + static_cast<size_t>(got) > kMaxDecodedBytes) return false;
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  const size_t frame_bytes = sizeof(int16_t) * static_cast<size_t>(out.channels);
  const size_t whole = bytes.size() / frame_bytes * frame_bytes;
  if (whole == 0) return false;
  out.samples.resize(whole / sizeof(int16_t));
  std::memcpy(out.samples.data(), bytes.data(), whole);
  return true;
}

}  // namespace dusk
