// Where a world's files live.
#include "worlds/world_paths.h"

namespace dusk {

std::string HexDigit(int n) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return std::string(1, kDigits[static_cast<unsigned>(n) & 15u]);
}

std::string WorldFolder(int w) {
  return std::string(kLevelDataFolder) + "\\world " + HexDigit(w);
}

std::string WorldDataPath(int w) {
  return WorldFolder(w) + "\\" + HexDigit(w) + "w.wdt";
}

std::string LevelPath(int w, int l) {
  return WorldFolder(w) + "\\" + HexDigit(w) + "-" + HexDigit(l) + ".slv";
}

std::string ReplayFolder(int w) {
  return WorldFolder(w) + "\\replays";
}

std::string ReplayPath(int w, int l) {
  return ReplayFolder(w) + "\\" + HexDigit(w) + "-" + HexDigit(l) + ".rpl";
}

}  // namespace dusk
