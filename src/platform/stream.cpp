// Byte streams: readers hold their whole contents in memory, writers buffer and hand bytes to a file.
#include "platform/stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/embedded.h"
#include "platform/files.h"
#include "platform/program.h"
#include "platform/web_page.h"

namespace dusk {

namespace {

// Bytes are pushed to the file once this many are pending.
constexpr size_t kWriteBuffer = 64 * 1024;

class file_writer : public stream {
 public:
  explicit file_writer(int fd) : fd_(fd) { writable_ = true; }
  // A writer dropped without Close() still writes its bytes, and a failure still ends the program. Only a
  // test's fatal-error handler can make that throw, and a destructor must not let it out.
  ~file_writer() override {
    try {
      Close();
    } catch (...) {
    }
  }
  file_writer(const file_writer&) = delete;
  file_writer& operator=(const file_writer&) = delete;

 protected:
  bool FlushBytes() override {
    size_t done = 0;
    while (done < bytes_.size()) {
      ssize_t n = ::write(fd_, bytes_.data() + done, bytes_.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        // Keep what the device refused, so that a later flush doesn't write the rest out of order.
        bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(done));
        return false;
      }
      done += static_cast<size_t>(n);
    }
    bytes_.clear();
    return true;
  }

  bool CloseDevice() override {
    if (fd_ < 0) return true;
    int result = ::close(fd_);
    fd_ = -1;
    web::PlayerFilesChanged();
    return result == 0;
  }

 private:
  int fd_;
};

class memory_reader : public stream {
 public:
  explicit memory_reader(std::vector<uint8_t> bytes) { bytes_ = std::move(bytes); }
};

}  // namespace

void stream::ReadError() const { FatalError("Error reading from stream"); }

void stream::WriteError() const { FatalError("Error writing to stream"); }

const uint8_t* stream::Take(size_t count) {
  if (writable_ || closed_ || static_cast<uint64_t>(Remaining()) < count) ReadError();
  const uint8_t* at = bytes_.data() + position_;
  position_ += static_cast<int64_t>(count);
  return at;
}

void stream::Put(const uint8_t* data, size_t count) {
  if (!writable_ || closed_) WriteError();
  bytes_.insert(bytes_.end(), data, data + count);
  position_ += static_cast<int64_t>(count);
  if (bytes_.size() >= kWriteBuffer && !Flush()) WriteError();
}

int stream::ReadByte() { return *Take(1); }

int stream::ReadShort() {
  const uint8_t* b = Take(2);
  return b[0] | b[1] << 8;
}

int32_t stream::ReadInt() {
  const uint8_t* b = Take(4);
  uint32_t n = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
               static_cast<uint32_t>(b[3]) << 24;
  return static_cast<int32_t>(n);
}

double stream::ReadDouble() {
  const uint8_t* b = Take(8);
  uint64_t n = 0;
  for (int i = 7; i >= 0; --i) n = n << 8 | b[i];
  // memcpy rather than std::bit_cast, which the web build's standard library lacks.
  double d = 0;
  std::memcpy(&d, &n, sizeof d);
  return d;
}

std::string stream::ReadLine() {
  if (writable_ || closed_) ReadError();
  std::string line;
  while (position_ < Size()) {
    uint8_t c = bytes_[static_cast<size_t>(position_++)];
    if (c == '\n' || c == 0) break;
    if (c != '\r') line.push_back(static_cast<char>(c));
  }
  return line;
}

void stream::ReadBytes(uint8_t* data, size_t count) {
  const uint8_t* from = Take(count);
  if (count > 0) std::memcpy(data, from, count);
}

void stream::WriteByte(int n) {
  uint8_t b = static_cast<uint8_t>(n);
  Put(&b, 1);
}

void stream::WriteShort(int n) {
  uint8_t b[2] = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8)};
  Put(b, 2);
}

void stream::WriteInt(int32_t n) {
  uint32_t u = static_cast<uint32_t>(n);
  uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
                  static_cast<uint8_t>(u >> 24)};
  Put(b, 4);
}

void stream::WriteDouble(double d) {
  uint64_t u = 0;
  std::memcpy(&u, &d, sizeof u);
  uint8_t b[8];
  for (int i = 0; i < 8; ++i) b[i] = static_cast<uint8_t>(u >> (8 * i));
  Put(b, 8);
}

void stream::WriteLine(const std::string& text) {
  Put(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  static constexpr uint8_t kLineEnd[2] = {'\r', '\n'};
  Put(kLineEnd, 2);
}

void stream::WriteBytes(const uint8_t* data, size_t count) {
  if (count > 0) Put(data, count);
}

int stream::Eof() const { return writable_ || position_ >= Size() ? 1 : 0; }

void stream::Seek(int64_t position) {
  if (writable_) return;
  position_ = position < 0 ? 0 : position > Size() ? Size() : position;
}

int64_t stream::Position() const { return position_; }

int64_t stream::Size() const { return writable_ ? position_ : static_cast<int64_t>(bytes_.size()); }

int64_t stream::Remaining() const { return writable_ ? 0 : Size() - position_; }

bool stream::Flush() {
  if (!writable_ || closed_) return true;
  return FlushBytes();
}

void stream::Close() {
  if (closed_) return;
  if (writable_) {
    bool flushed = Flush();
    bool device_closed = CloseDevice();
    closed_ = true;
    if (!flushed || !device_closed) WriteError();
    return;
  }
  closed_ = true;
  bytes_.clear();
  bytes_.shrink_to_fit();
  position_ = 0;
}

bool stream::Writable() const { return writable_; }

stream_ptr OpenRead(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return nullptr;
  return std::make_unique<memory_reader>(std::move(bytes));
}

stream_ptr OpenWrite(const std::string& path) {
  if (path.starts_with(kEmbeddedPrefix)) return nullptr;
  int fd = ::open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  return std::make_unique<file_writer>(fd);
}

stream_ptr OpenMemory(std::vector<uint8_t> bytes) { return std::make_unique<memory_reader>(std::move(bytes)); }

std::unique_ptr<memory_writer> OpenMemoryWrite() { return std::make_unique<memory_writer>(); }

std::vector<uint8_t> memory_writer::TakeBytes() {
  std::vector<uint8_t> taken = std::move(bytes_);
  bytes_.clear();
  position_ = 0;
  return taken;
}

}  // namespace dusk
