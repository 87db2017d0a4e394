// Track decoding with libvorbisfile over a file or embedded data, a piece at a time, looping seamlessly.
#include "platform/vorbis_stream.h"

#include <ogg/ogg.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/embedded.h"
#include "platform/files.h"

namespace dusk {

namespace {

// The longest an Ogg page can be: the end of a file is searched this far back for the closing page.
constexpr int64_t kLongestPage = 65307;

// Where a track's bytes come from: a file read as it plays, or embedded data.
struct byte_source {
  std::FILE* file = nullptr;
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t position = 0;

  byte_source() = default;
  byte_source(const byte_source&) = delete;
  byte_source& operator=(const byte_source&) = delete;
  ~byte_source() {
    if (file != nullptr) std::fclose(file);
  }

  bool Open(const std::string& path) {
    const std::string prefix = kEmbeddedPrefix;
    if (path.starts_with(prefix)) return FindEmbedded(path.substr(prefix.size()), data, size);
    if (PathKind(path) != 1) return false;
    file = std::fopen(ReadablePath(path).c_str(), "rb");
    return file != nullptr;
  }
  size_t Read(void* out, size_t bytes) {
    if (file != nullptr) return std::fread(out, 1, bytes, file);
    const size_t n = std::min(bytes, size - position);
    if (n > 0) std::memcpy(out, data + position, n);
    position += n;
    return n;
  }
  int Seek(int64_t offset, int whence) {
    if (file != nullptr) return std::fseek(file, static_cast<long>(offset), whence) == 0 ? 0 : -1;
    int64_t base = 0;
    if (whence == SEEK_CUR) base = static_cast<int64_t>(position);
    if (whence == SEEK_END) base = static_cast<int64_t>(size);
    const int64_t target = base + offset;
    if (target < 0 || target > static_cast<int64_t>(size)) return -1;
    position = static_cast<size_t>(target);
    return 0;
  }
  int64_t Tell() { return file != nullptr ? std::ftell(file) : static_cast<int64_t>(position); }
  int64_t Size() {
    if (file == nullptr) return static_cast<int64_t>(size);
    const int64_t here = Tell();
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    const int64_t end = Tell();
    std::fseek(file, static_cast<long>(here), SEEK_SET);
    return end;
  }
};

size_t ReadSource(void* out, size_t size, size_t count, void* source) {
  if (size == 0) return 0;
  return static_cast<byte_source*>(source)->Read(out, size * count) / size;
}
int SeekSource(void* source, ogg_int64_t offset, int whence) {
  return static_cast<byte_source*>(source)->Seek(offset, whence);
}
long TellSource(void* source) {
  return static_cast<long>(static_cast<byte_source*>(source)->Tell());
}

const ov_callbacks kCallbacks{ReadSource, SeekSource, nullptr, TellSource};

bool Playable(const vorbis_info* info) {
  return info != nullptr && info->channels >= 1 && info->channels <= 2 && info->rate > 0 &&
         info->rate <= 384000;
}

// Whether the last whole page at the end of the source closes its stream.
bool EndsWhole(byte_source& source) {
  const int64_t size = source.Size();
  if (size <= 0) return false;
  const int64_t from = std::max<int64_t>(0, size - kLongestPage);
  if (source.Seek(from, SEEK_SET) != 0) return false;
  ogg_sync_state sync;
  ogg_sync_init(&sync);
  const auto want = static_cast<size_t>(size - from);
  char* buffer = ogg_sync_buffer(&sync, static_cast<long>(want));
  const size_t got = buffer != nullptr ? source.Read(buffer, want) : 0;
  ogg_sync_wrote(&sync, static_cast<long>(got));
  bool last_closes = false;
  bool trailing = false;
  ogg_page page;
  for (;;) {
    const long n = ogg_sync_pageseek(&sync, &page);
    if (n == 0) {
      trailing = sync.fill > sync.returned;  // a page cut off by the end of the data
      break;
    }
    if (n > 0) {
      last_closes = ogg_page_eos(&page) != 0;
      trailing = false;
    }
  }
  ogg_sync_clear(&sync);
  return last_closes && !trailing;
}

}  // namespace

struct vorbis_stream::source_state {
  byte_source bytes;
  OggVorbis_File file{};
  bool open = false;
  int section = -1;
  ~source_state() {
    if (open) ov_clear(&file);
  }
};

std::optional<track_info> ProbeTrack(const std::string& source) {
  byte_source bytes;
  if (!bytes.Open(source)) return std::nullopt;
  OggVorbis_File file{};
  if (ov_test_callbacks(&bytes, &file, nullptr, 0, kCallbacks) != 0) return std::nullopt;
  const vorbis_info* info = ov_info(&file, -1);
  track_info result;
  const bool playable = Playable(info);
  if (playable) {
    result.channels = info->channels;
    result.sample_rate = static_cast<int>(info->rate);
  }
  ov_clear(&file);
  if (!playable) return std::nullopt;
  result.whole = EndsWhole(bytes);
  return result;
}

std::unique_ptr<vorbis_stream> vorbis_stream::Open(const std::string& source, bool loop) {
  std::unique_ptr<vorbis_stream> stream(new vorbis_stream);
  stream->source_ = std::make_unique<source_state>();
  source_state& s = *stream->source_;
  if (!s.bytes.Open(source)) return nullptr;
  stream->info_.whole = EndsWhole(s.bytes);
  if (s.bytes.Seek(0, SEEK_SET) != 0) return nullptr;
  if (ov_open_callbacks(&s.bytes, &s.file, nullptr, 0, kCallbacks) != 0) return nullptr;
  s.open = true;
  const vorbis_info* info = ov_info(&s.file, -1);
  if (!Playable(info)) return nullptr;
  stream->info_.channels = info->channels;
  stream->info_.sample_rate = static_cast<int>(info->rate);
  stream->loop_ = loop;
  return stream;
}

vorbis_stream::~vorbis_stream() = default;

size_t vorbis_stream::Read(int16_t* out, size_t frames) {
  source_state& s = *source_;
  const auto channels = static_cast<size_t>(info_.channels);
  const size_t frame_bytes = channels * sizeof(int16_t);
  const int big_endian = std::endian::native == std::endian::big ? 1 : 0;
  size_t got = 0;
  // A track that gives no sample in a whole pass (all gaps) would otherwise loop for ever.
  bool produced_this_pass = true;
  while (got < frames && !ended_) {
    const size_t room = std::min<size_t>((frames - got) * frame_bytes, 1 << 20);
    int section = 0;
    char* into = reinterpret_cast<char*>(out + got * channels);
    const long n = ov_read(&s.file, into, static_cast<int>(room), big_endian, 2, 1, &section);
    if (n == OV_HOLE) continue;  // a gap in the data; what follows still decodes
    if (n < 0) {
      ended_ = failed_ = true;
      break;
    }
    bool at_end = n == 0;
    if (!at_end) {
      if (s.section < 0) s.section = section;
      if (section != s.section) {
        // A chained stream may change its format; the first part is the track.
        const vorbis_info* now = ov_info(&s.file, section);
        if (now == nullptr || now->channels != info_.channels || now->rate != info_.sample_rate)
          at_end = true;
      }
    }
    if (at_end) {
      if (!loop_ || !info_.whole || !produced_this_pass) {
        ended_ = true;
        failed_ = !info_.whole;
        break;
      }
      if (ov_pcm_seek(&s.file, 0) != 0) {
        ended_ = failed_ = true;
        break;
      }
      s.section = -1;
      produced_this_pass = false;
      continue;
    }
    got += static_cast<size_t>(n) / frame_bytes;
    produced_this_pass = true;
  }
  return got;
}

}  // namespace dusk
