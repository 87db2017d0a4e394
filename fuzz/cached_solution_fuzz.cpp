// Feeds any text to the reader of the level converter's cached solutions: it takes a whole, well-formed
// entry or nothing, and what it takes holds only step digits.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "worlds/level_convert.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const auto solution = dusk::ParseCachedSolution(text)) {
    for (const uint8_t step : solution->steps) {
      if (step > 3) std::abort();
    }
    if (static_cast<int>(solution->status) < 0 || solution->status > dusk::solve_status::no_player)
      std::abort();
  }
  return 0;
}
