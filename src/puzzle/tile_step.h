// The body of tile::Move, for the rule book's own loops: where they call it with fixed flags and an
// inline copy, the compiler drops the branches those flags rule out. Included by the rule book only.
#pragma once

#include <algorithm>

#include "puzzle/kinds.h"
#include "puzzle/level.h"
#include "puzzle/tile.h"

namespace dusk {

[[gnu::always_inline]] inline int tile::step(int dx, int dy, int dz, level& lvl, int leavetrail, int collect,
                                             int trigger, int& starcount, int& teleportcount, int passwalls) {
  const int fromx = x;
  const int fromy = y;
  const int fromz = z;
  // A piece outside the grid (only a damaged level has one) has nowhere to step from.
  if (!level::inside(fromx, fromy, fromz)) return 0;

  // The grid's edge holds the step back; so does a change of layer that would leave the grid.
  int tox = static_cast<int>(std::clamp<long long>(static_cast<long long>(fromx) + dx, 0, level::size - 1));
  int toy = static_cast<int>(std::clamp<long long>(static_cast<long long>(fromy) + dy, 0, level::size - 1));
  const long long wantz = static_cast<long long>(fromz) + dz;
  int toz = fromz;
  if (wantz >= 0 && wantz < level::size) {
    toz = static_cast<int>(wantz);
  } else {
    tox = fromx;
    toy = fromy;
  }
  auto holdback = [&] {
    tox = fromx;
    toy = fromy;
    toz = fromz;
  };
  auto atfrom = [&] { return tox == fromx && toy == fromy && toz == fromz; };

  // Pieces: every piece but a dissolving one holds the step back, in every mode.
  if (lvl.pieceat(tox, toy, toz, this)) holdback();

  // Ground.
  const uint8_t ground = lvl.map(tox, toy, toz);
  if (ground >= kind::onewayup && ground <= kind::onewayleft) {
    const bool along = atfrom() || (ground == kind::onewayup && toy < fromy) ||
                       (ground == kind::onewaydown && toy > fromy) ||
                       (ground == kind::onewayright && tox > fromx) ||
                       (ground == kind::onewayleft && tox < fromx);
    if (!along && passwalls == 0) holdback();
  } else if (level::solid(ground) != 0 && passwalls == 0) {
    holdback();
  }

  // Static object, then the trail-clearing floor where the step now ends.
  int clearedlayer = -1;
  if (!atfrom()) {
    const int target = level::index(tox, toy, toz);
    const uint16_t code = lvl.at(target).object;
    if (code == level::starcode) {
      ++starcount;
      if (collect == 1) {
        lvl.clearcell(target);
      } else if (collect == 0) {
        holdback();
      }
    } else if (code == level::blockcode) {
      holdback();
    } else if (code >= level::firstfixture) {
      const std::size_t k = code - level::firstfixture;
      const tile& object = lvl.fixtures_[k].object;
      switch (object.id) {
        case kind::teleporter:
          // A destination outside the grid (a damaged level) makes the teleporter an ordinary cell.
          if (object.f != 0 && level::inside(object.x, object.y, object.z)) {
            tox = object.x;
            toy = object.y;
            toz = object.z;
            ++teleportcount;
          }
          break;
        case kind::doorswitch:
          if (trigger != 0) {
            const auto [start, end] = lvl.doorrange(target);
            for (std::size_t v = start; v < end; ++v) {
              const vector door = lvl.links_[v];
              // Stars and blocks keep no fields, so only objects with fields have a flag to flip.
              if (tile* other = lvl.editobj(door.x, door.y, door.z)) other->b = other->b == 0 ? 1 : 0;
            }
          }
          break;
        case kind::door:
          if (object.b != 0 && passwalls == 0) holdback();
          break;
        case kind::timedgate:
          if (object.s != 0) holdback();
          break;
        default:
          break;
      }
    }
    if (trigger != 0 && lvl.map(tox, toy, toz) == kind::trailclearingfloor) clearedlayer = toz;
  }

  // This tile may sit in lvl.objs_, which the appends below can move: finish with it first.
  const bool moved = !atfrom();
  if (moved) {
    x = static_cast<uint8_t>(tox);
    y = static_cast<uint8_t>(toy);
    z = static_cast<uint8_t>(toz);
  }
  if (clearedlayer >= 0) lvl.dissolvelayer(clearedlayer);
  if (!moved) return 0;
  if (leavetrail != 0) {
    if (clearedlayer >= 0) {
      lvl.objs_.push_back(tile::Create(kind::dissolvingtrail, fromx, fromy, fromz, 0, 0, 0));
    } else {
      lvl.createtrail(fromx, fromy, fromz);
    }
  }
  return 1;
}

[[gnu::always_inline]] inline int tile::teststep(int dx, int dy, int dz, level& lvl, int collect,
                                                 int& starcount, int& teleportcount) {
  const uint8_t keepx = x;
  const uint8_t keepy = y;
  const uint8_t keepz = z;
  const int moved = step(dx, dy, dz, lvl, 0, collect, 0, starcount, teleportcount, 0);
  x = keepx;
  y = keepy;
  z = keepz;
  return moved;
}

}  // namespace dusk
