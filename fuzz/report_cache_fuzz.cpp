// Feeds any text to the reader of the level report's cached figures: it takes a whole, well-formed entry
// or nothing; what it takes is written back as the very same text, and its cells lie inside the grid.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "worlds/level_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const auto figures = dusk::ParseFigures(text)) {
    for (const int cell : figures->deadcells) {
      if (cell < 0 || cell >= dusk::level::maxcells) std::abort();
    }
    if (figures->random > figures->walks || figures->careful > figures->walks) std::abort();
    if (!dusk::ParseFigures(dusk::FiguresText(*figures))) std::abort();
  }
  return 0;
}
