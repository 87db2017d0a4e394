// Feeds any text to the level source and world file parsers. A source that parses must give an image the
// level builder reads back as the very level the source describes, and the solver must take that level.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "puzzle/solver.h"
#include "worlds/build_level.h"
#include "worlds/level_source.h"
#include "worlds/world_file.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  dusk::source_error error;
  if (const auto source = dusk::ParseLevelSource(text, "fuzz.level", error)) {
    Check(source->depth >= 1 && source->depth <= 15 && source->stars >= 1);
    const dusk::level direct = dusk::BuildSourceLevel(*source);
    const auto built = dusk::BuildLevelFromImage(dusk::LevelImage(*source));
    Check(built && *built == direct);
    dusk::solver_limits limits;
    limits.max_seconds = 0.05;
    limits.max_states = 2000;
    dusk::Solve(direct, source->moves, limits);
  } else {
    Check(!error.message.empty());
  }
  if (!dusk::ParseWorldFile(text, "world.txt", error)) Check(!error.message.empty());
  return 0;
}
