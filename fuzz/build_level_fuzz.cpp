// Builds levels from arbitrary images: the first two bytes give the size, the rest the cells (repeated to
// fill the grid). A level that is built must be one the level play can run, so a few moves are played.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/program.h"
#include "worlds/build_level.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void AbortOnFatalError(const std::string&) { std::abort(); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = [] {
    dusk::SetFatalErrorHandlerForTesting(AbortOnFatalError);
    return true;
  }();
  static_cast<void>(quiet);
  if (size < 3) return 0;
  // Widths 0 to 31 and heights 0 to 255 cover every refusal and up to 15 layers and more.
  dusk::tilemap image = dusk::tilemap::Create(data[0] % 32, data[1]);
  const size_t cells = size - 2;
  for (size_t i = 0; i < image.tmap.size(); ++i) image.tmap[i] = data[2 + i % cells];

  std::optional<dusk::level> lvl = dusk::BuildLevelFromImage(image);
  if (!lvl) return 0;
  Check(lvl->depth >= 1 && lvl->depth <= 15 && lvl->depth == image.tmaph / 15);
  Check(image.tmapw >= 15);
  Check(lvl->playertile() != nullptr);
  Check(lvl->totalstars >= 0 && lvl->totalstars <= 225 * lvl->depth);
  for (const dusk::tile& piece : lvl->objs()) Check(dusk::level::inside(piece.x, piece.y, piece.z));

  const int steps[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
  for (const auto& step : steps) {
    int stars = 0;
    int jumps = 0;
    if (lvl->playertile()->Move(step[0], step[1], 0, *lvl, 1, 1, 1, stars, jumps, 0) != 0) lvl->updateobjs();
  }
  return 0;
}
