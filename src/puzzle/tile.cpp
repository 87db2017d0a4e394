// The rule book: one step of a piece, with every ground, object and piece it can meet.
#include "puzzle/tile.h"

#include <algorithm>

#include "puzzle/kinds.h"
#include "puzzle/level.h"
#include "puzzle/tile_step.h"

namespace dusk {

tile tile::New() {
  return tile{};
}

tile tile::Create(uint8_t id, int x, int y, int z, uint8_t f, uint8_t b, uint8_t s) {
  return tile{id, static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>(z), f, b, s, 0, 0};
}

int tile::solid(uint8_t kind) {
  return kind == kind::block ? 1 : 0;
}

int tile::Move(int dx, int dy, int dz, level& lvl, int leavetrail, int collect, int trigger, int& starcount,
               int& teleportcount, int passwalls) {
  return step(dx, dy, dz, lvl, leavetrail, collect, trigger, starcount, teleportcount, passwalls);
}

int tile::testmovevars(int dx, int dy, int dz, level& lvl, int collect, int& starcount, int& teleportcount) {
  return teststep(dx, dy, dz, lvl, collect, starcount, teleportcount);
}

int tile::testmove(int dx, int dy, int dz, level& lvl, int collect) {
  int stars = 0;
  int jumps = 0;
  return testmovevars(dx, dy, dz, lvl, collect, stars, jumps);
}

}  // namespace dusk
