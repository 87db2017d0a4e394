// Reading a world data file into a world record.
#include "worlds/world.h"

#include <algorithm>

#include "display/stream_text.h"
#include "platform/stream.h"
#include "worlds/level_notes.h"
#include "worlds/world_paths.h"
#include "worlds/worlds_state.h"

namespace dusk {

namespace {

constexpr int kEndOfAppearance = 255;

}  // namespace

std::unique_ptr<world> LoadWorldFrom(stream& in, int w, const star_counter& stars) {
  // A file without even its world count is not a world.
  if (in.Remaining() < 1) return nullptr;
  // Compiled files count every world of the index, even past the sixteenth; only 16 can exist.
  gameworlds.numworlds = std::min(in.ReadByte(), kMaxWorlds);
  auto result = std::make_unique<world>();
  world& wd = *result;
  // Damaged files are taken as far as they go: every field below stops the reading where the data ends.
  const std::string name = ReadShortString(in);
  if (w >= 0 && w < kMaxWorlds) gameworlds.worldname[w] = name;
  if (in.Remaining() < 1) return result;
  wd.unlock_next_upon_normal_completion = in.ReadByte();

  while (true) {
    if (in.Remaining() < 1) return result;
    const int kind = in.ReadByte();
    if (kind == kEndOfAppearance) break;
    if (in.Remaining() < 3) return result;
    wd.tilec[kind] = static_cast<uint8_t>(in.ReadByte());
    wd.tilef[kind] = static_cast<uint8_t>(in.ReadByte());
    wd.tileb[kind] = static_cast<uint8_t>(in.ReadByte());
    wd.tilegiven.set(static_cast<size_t>(kind));
  }

  for (int i = 0; i < kMaxLevels && in.Remaining() > 0; ++i) {
    wd.levelname[i] = ReadShortString(in);
    // A name with no numbers after it ends the list without counting as a level.
    if (in.Remaining() < 4) break;
    wd.levelmoves[i] = in.ReadShort();
    wd.levelhighs[i] = in.ReadShort();
    wd.levelstars[i] = stars ? stars(w, i) : 0;
    if (i > 0) ++wd.numlevels;
  }
  return result;
}

}  // namespace dusk

namespace dusk {

std::unique_ptr<world> LoadWorld(int w, const star_counter& stars) {
  stream_ptr in = OpenRead(WorldDataPath(w));
  if (!in) return nullptr;
  std::unique_ptr<world> loaded = LoadWorldFrom(*in, w, stars);
  if (loaded) loaded->levelnote = ReadLevelNotes(w);
  return loaded;
}

}  // namespace dusk
