// The registry of files built into the executable.
#include "platform/embedded.h"

#include <algorithm>
#include <map>
#include <utility>

namespace dusk {

namespace {

std::map<std::string, std::pair<const uint8_t*, size_t>>& Registry() {
  static std::map<std::string, std::pair<const uint8_t*, size_t>> registry;
  return registry;
}

// Names are registered with "\" but may be asked for with either separator.
std::string Key(const std::string& name) {
  std::string key = name;
  std::replace(key.begin(), key.end(), '\\', '/');
  return key;
}

}  // namespace

void RegisterEmbedded(const std::string& name, const uint8_t* data, size_t size) {
  Registry()[Key(name)] = {data, size};
}

bool FindEmbedded(const std::string& name, const uint8_t*& data, size_t& size) {
  auto found = Registry().find(Key(name));
  if (found == Registry().end()) return false;
  data = found->second.first;
  size = found->second.second;
  return true;
}

void ClearEmbedded() { Registry().clear(); }

}  // namespace dusk
