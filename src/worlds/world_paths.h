// Where a world's files live: "leveldata\world 3\3w.wdt", "3-C.slv", "replays\3-C.rpl".
#pragma once

#include <string>

namespace dusk {

// The last digit of n in upper-case hexadecimal: 10 gives "A", 16 gives "0".
std::string HexDigit(int n);

// The folder the game compiles its worlds into and keeps its replays in.
inline constexpr const char* kLevelDataFolder = "leveldata";

std::string WorldFolder(int w);        // leveldata\world X(w)
std::string WorldDataPath(int w);      // leveldata\world X(w)\X(w)w.wdt
std::string LevelPath(int w, int l);   // leveldata\world X(w)\X(w)-X(l).slv
std::string ReplayFolder(int w);       // leveldata\world X(w)\replays
std::string ReplayPath(int w, int l);  // leveldata\world X(w)\replays\X(w)-X(l).rpl

}  // namespace dusk
