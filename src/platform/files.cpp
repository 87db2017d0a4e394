// The file system as the game sees it: both separators, embedded files, and replacing files safely.
#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "platform/embedded.h"
#include "platform/web_page.h"

namespace dusk {

namespace {

// Closes a descriptor on every way out of a function.
class fd_guard {
 public:
  explicit fd_guard(int fd) : fd_(fd) {}
  ~fd_guard() {
    if (fd_ >= 0) ::close(fd_);
  }
  fd_guard(const fd_guard&) = delete;
  fd_guard& operator=(const fd_guard&) = delete;
  int get() const { return fd_; }
  // Closes now and reports whether the close succeeded, which for a written file is part of the write.
  bool Close() {
    int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
  }

 private:
  int fd_;
};

bool EmbeddedName(const std::string& path, std::string& name) {
  std::string prefix = kEmbeddedPrefix;
  if (!path.starts_with(prefix)) return false;
  name = path.substr(prefix.size());
  return true;
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string FolderOf(const std::string& native_path) {
  size_t slash = native_path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return native_path.substr(0, slash);
}

std::vector<std::string>& DataFolders() {
  static std::vector<std::string> folders;
  return folders;
}

std::vector<std::string>& WorkingOnlyNames() {
  static std::vector<std::string> names;
  return names;
}

bool Exists(const std::string& native_path) {
  struct stat info {};
  return ::stat(native_path.c_str(), &info) == 0;
}

}  // namespace

void SetDataFolders(std::vector<std::string> folders) { DataFolders() = std::move(folders); }

void SetWorkingOnlyNames(std::vector<std::string> names) { WorkingOnlyNames() = std::move(names); }

std::string ReadablePath(const std::string& path) {
  std::string native = NativePath(path);
  if (native.empty() || native.front() == '/' || Exists(native)) return native;
  for (const std::string& name : WorkingOnlyNames()) {
    const std::string own = NativePath(name);
    if (native == own || (native.starts_with(own) && native.size() > own.size() && native[own.size()] == '/'))
      return native;
  }
  for (const std::string& folder : DataFolders()) {
    std::string candidate = folder + "/" + native;
    if (Exists(candidate)) return candidate;
  }
  return native;
}

std::string NativePath(const std::string& path) {
  std::string native = path;
  std::replace(native.begin(), native.end(), '\\', '/');
  return native;
}

int PathKind(const std::string& path) {
  std::string name;
  if (EmbeddedName(path, name)) {
    const uint8_t* data = nullptr;
    size_t size = 0;
    return FindEmbedded(name, data, size) ? 1 : 0;
  }
  struct stat info {};
  if (::stat(ReadablePath(path).c_str(), &info) != 0) return 0;
  if (S_ISDIR(info.st_mode)) return 2;
  return S_ISREG(info.st_mode) ? 1 : 0;
}

int64_t FileBytes(const std::string& path) {
  std::string name;
  if (EmbeddedName(path, name)) {
    const uint8_t* data = nullptr;
    size_t size = 0;
    return FindEmbedded(name, data, size) ? static_cast<int64_t>(size) : -1;
  }
  struct stat info {};
  if (::stat(ReadablePath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  return static_cast<int64_t>(info.st_size);
}

int RemoveFile(const std::string& path) {
  std::string name;
  if (EmbeddedName(path, name)) return PathKind(path) == 1 ? 0 : 1;
  // Only the working folder's file: the data folders behind it are never changed.
  std::string native = NativePath(path);
  auto is_file = [&native] {
    struct stat info {};
    return ::stat(native.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  };
  if (is_file()) {
    ::unlink(native.c_str());
    web::PlayerFilesChanged();
  }
  return is_file() ? 0 : 1;
}

void CopyFileTo(const std::string& from, const std::string& to) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(from, bytes)) return;
  // Through a temporary file, so that a failed copy never leaves half a file behind.
  (void)WriteFileAtomically(to, bytes);
}

void MakeFolder(const std::string& path) {
  if (::mkdir(NativePath(path).c_str(), 0755) == 0) web::PlayerFilesChanged();
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  out.clear();
  std::string name;
  if (EmbeddedName(path, name)) {
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (!FindEmbedded(name, data, size)) return false;
    if (size > 0) out.assign(data, data + size);
    return true;
  }
  fd_guard fd(::open(ReadablePath(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return false;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  out.reserve(static_cast<size_t>(info.st_size));
  uint8_t buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      out.clear();
      return false;
    }
    if (n == 0) return true;
    out.insert(out.end(), buffer, buffer + n);
  }
}

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (path.starts_with(kEmbeddedPrefix)) return false;
  std::string native = NativePath(path);
  std::string temp = native + ".temp";
  // O_EXCL is not used: a temporary file left by an earlier crash is simply replaced. A folder in its
  // place makes open fail, and that folder is not ours to remove.
  fd_guard fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (fd.get() < 0) return false;
  bool written = WriteAll(fd.get(), bytes.data(), bytes.size()) && ::fsync(fd.get()) == 0;
  written = fd.Close() && written;
  if (!written || ::rename(temp.c_str(), native.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  // Makes the rename itself durable; some file systems can't sync a folder, and the new file is in place
  // either way, so a failure here is not a failed write.
  fd_guard folder(::open(FolderOf(native).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() >= 0) ::fsync(folder.get());
  web::PlayerFilesChanged();
  return true;
}

}  // namespace dusk
