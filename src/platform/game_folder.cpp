// Finding the installed data beside the executable and the player's folder, and moving into it.
#include "platform/game_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/files.h"

namespace dusk {

namespace {

std::string ExecutableFolder() {
  std::vector<char> buffer(4096);
  ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return {};
  std::string path(buffer.data(), static_cast<size_t>(n));
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string{} : path.substr(0, slash);
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// mkdir -p: every missing folder along the path, for a fresh home with no ~/.local yet.
bool MakeFolders(const std::string& path) {
  for (size_t at = 1; at <= path.size(); ++at) {
    if (at < path.size() && path[at] != '/') continue;
    std::string part = path.substr(0, at);
    if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return IsFolder(path);
}

}  // namespace

std::string InstalledDataFolder() {
  std::string bin = ExecutableFolder();
  if (bin.empty()) return {};
  size_t slash = bin.find_last_of('/');
  if (slash == std::string::npos) return {};
  std::string data = bin.substr(0, slash) + "/share/duskmarrow";
  return IsFile(data + "/graphics/graphics.txt") ? data : std::string{};
}

std::string PlayerFolder() {
  const char* data_home = std::getenv("XDG_DATA_HOME");
  if (data_home && data_home[0] == '/') return std::string(data_home) + "/duskmarrow";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/share/duskmarrow";
  return {};
}

bool UseGameFolder(const std::string& folder, const std::string& data, std::string& message) {
  if (folder.empty()) {
    message = "No folder for the game's files: set HOME or XDG_DATA_HOME, or give --folder.";
    return false;
  }
  // Not installed, the game's data is where it was started (its source tree's game folder).
  std::string started;
  if (data.empty()) {
    std::vector<char> buffer(4096);
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) started = buffer.data();
  }
  if (!MakeFolders(folder) || ::chdir(folder.c_str()) != 0) {
    message = "Can't use the folder " + folder + ": " + std::strerror(errno);
    return false;
  }
  const std::string& from = data.empty() ? started : data;
  SetDataFolders(from.empty() ? std::vector<std::string>{} : std::vector<std::string>{from});
  return true;
}

}  // namespace dusk
