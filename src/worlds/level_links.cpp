// Pairing teleporters and linking switches, shared by the level builder and the level sources.
#include "worlds/level_links.h"

#include <cstdint>

namespace dusk {

void PairTeleporters(level& lvl, std::span<const vector> teleporters) {
  for (const vector& a : teleporters) {
    const uint8_t send = lvl.obj(a.x, a.y, a.z)->f;
    for (const vector& b : teleporters) {
      if (lvl.obj(b.x, b.y, b.z)->b != send) continue;
      tile* sender = lvl.editobj(a.x, a.y, a.z);
      sender->x = static_cast<uint8_t>(b.x);
      sender->y = static_cast<uint8_t>(b.y);
      sender->z = static_cast<uint8_t>(b.z);
      break;
    }
  }
}

void LinkSwitches(level& lvl, std::span<const vector> switches, std::span<const vector> doors) {
  for (const vector& s : switches) {
    const uint8_t key = lvl.obj(s.x, s.y, s.z)->f;
    for (const vector& d : doors) {
      if (lvl.obj(d.x, d.y, d.z)->f == key) lvl.linkdoor(s.x, s.y, s.z, d);
    }
  }
}

}  // namespace dusk
