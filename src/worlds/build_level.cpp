// Building a level from its image: the glyph table, then teleporter pairing and switch linking in the order
// the scan found them.
#include "worlds/build_level.h"

#include <cstdint>
#include <vector>

#include "files/screen_file.h"
#include "puzzle/kinds.h"
#include "worlds/level_glyphs.h"
#include "worlds/level_links.h"
#include "worlds/world_paths.h"

namespace dusk {

namespace {

namespace glyph = levelglyph;
using levelglyph::kAnticlockwiseMarked;
using levelglyph::kDoorStartsOpen;
using levelglyph::kMoverOnFloor;
using levelglyph::kMoverOnMarked;

constexpr int kMinImageWidth = level::size;
constexpr int kMaxImageHeight = level::size * level::size;

enum class heading : uint8_t { right = 0, down = 1, left = 2, up = 3 };

struct builder {
  level lvl = level::New();
  std::vector<vector> teleporters;
  std::vector<vector> switches;
  std::vector<vector> doors;
  bool hasplayer = false;

  void Mover(int x, int y, int z, uint8_t bg, uint8_t id, uint8_t direction) {
    if (bg == kMoverOnFloor || bg == kMoverOnMarked) {
      if (bg == kMoverOnMarked) lvl.setmap(x, y, z, kind::markedfloor);
      lvl.addobj(tile::Create(id, x, y, z, direction, 0, 0));
    }
  }

  void OneWay(int x, int y, int z, uint8_t bg, uint8_t ground, uint8_t id, uint8_t direction) {
    if (bg == kMoverOnFloor || bg == kMoverOnMarked) {
      Mover(x, y, z, bg, id, direction);
    } else {
      lvl.setmap(x, y, z, ground);
    }
  }

  void Turner(int x, int y, int z, uint8_t bg, heading direction) {
    if (bg == kMoverOnMarked || bg == kAnticlockwiseMarked) lvl.setmap(x, y, z, kind::markedfloor);
    const uint8_t clockwise = bg == kMoverOnFloor || bg == kMoverOnMarked ? 1 : 0;
    lvl.addobj(tile::Create(kind::turningmover, x, y, z, static_cast<uint8_t>(direction), clockwise, 0));
  }

  void Player(int x, int y, int z, uint8_t ground) {
    lvl.setmap(x, y, z, ground);
    lvl.playerx = x;
    lvl.playery = y;
    lvl.playerz = z;
    lvl.addplayer(tile::Create(kind::player, x, y, z, 0, 0, 0));
    hasplayer = true;
  }

  void Cell(int x, int y, int z, uint8_t c, uint8_t fg, uint8_t bg) {
    switch (c) {
      case glyph::asterisk:
        lvl.setobj(x, y, z, tile::Create(kind::star, 0, 0, 0, 0, 0, 0));
        lvl.totalstars += 1;
        break;
      case glyph::hash: lvl.setmap(x, y, z, kind::wall); break;
      case glyph::lightshade: lvl.setmap(x, y, z, kind::markedfloor); break;
      case glyph::sun: lvl.setmap(x, y, z, kind::wallsecondlook); break;
      case glyph::almostequal: lvl.setmap(x, y, z, kind::wallthirdlook); break;
      case glyph::darkface: Player(x, y, z, kind::floor); break;
      case glyph::lightface: Player(x, y, z, kind::markedfloor); break;
      case glyph::circle: lvl.setobj(x, y, z, tile::Create(kind::block, 0, 0, 0, 0, 0, 0)); break;
      case glyph::percent: lvl.setmap(x, y, z, kind::untrailedfloor); break;
      case glyph::plus:
        // Until pairing finds a partner, a teleporter sends to the player start found so far.
        lvl.setobj(x, y, z, tile::Create(kind::teleporter, lvl.playerx, lvl.playery, lvl.playerz, fg, bg, 0));
        teleporters.push_back(vector::Create(x, y, z));
        break;
      case glyph::uparrow: OneWay(x, y, z, bg, kind::onewayup, kind::verticalmover, 0); break;
      case glyph::downarrow: OneWay(x, y, z, bg, kind::onewaydown, kind::verticalmover, 1); break;
      case glyph::rightarrow: OneWay(x, y, z, bg, kind::onewayright, kind::horizontalmover, 1); break;
      case glyph::leftarrow: OneWay(x, y, z, bg, kind::onewayleft, kind::horizontalmover, 0); break;
      case glyph::bullet:
        lvl.setobj(x, y, z, tile::Create(kind::doorswitch, x, y, z, fg, 0, 0));
        switches.push_back(vector::Create(x, y, z));
        break;
      case glyph::inversebullet:
        lvl.setobj(x, y, z, tile::Create(kind::door, x, y, z, fg, bg == kDoorStartsOpen ? 0 : 1, 0));
        doors.push_back(vector::Create(x, y, z));
        break;
      case glyph::theta: lvl.setobj(x, y, z, tile::Create(kind::timedgate, x, y, z, fg, bg, 1)); break;
      case glyph::letter_o: lvl.setobj(x, y, z, tile::Create(kind::timedgate, x, y, z, fg, bg, 0)); break;
      case glyph::righttriangle: Turner(x, y, z, bg, heading::right); break;
      case glyph::lefttriangle: Turner(x, y, z, bg, heading::left); break;
      case glyph::uptriangle: Turner(x, y, z, bg, heading::up); break;
      case glyph::downtriangle: Turner(x, y, z, bg, heading::down); break;
      case glyph::femalesign: lvl.setmap(x, y, z, kind::trailclearingfloor); break;
      case glyph::triplebar: lvl.setmap(x, y, z, kind::fixedtrailfloor); break;
      default: break;  // plain floor
    }
  }
};

}  // namespace

std::optional<level> BuildLevelFromImage(const tilemap& image) {
  if (image.tmapw < kMinImageWidth || image.tmaph > kMaxImageHeight) return std::nullopt;
  builder b;
  b.lvl.depth = image.tmaph / level::size;
  for (int z = 0; z < b.lvl.depth; ++z) {
    for (int x = 0; x < level::size; ++x) {
      for (int y = 0; y < level::size; ++y) {
        const int row = y + z * level::size;
        b.Cell(x, y, z, image.at(0, x, row), image.at(1, x, row), image.at(2, x, row));
      }
    }
  }
  if (!b.hasplayer) return std::nullopt;
  PairTeleporters(b.lvl, b.teleporters);
  LinkSwitches(b.lvl, b.switches, b.doors);
  return std::move(b.lvl);
}

std::optional<level> BuildLevel(int worldno, int levelno) {
  std::optional<tilemap> image = Read(LevelPath(worldno, levelno), 1, kScratchPngPath);
  if (!image) return std::nullopt;
  return BuildLevelFromImage(*image);
}

}  // namespace dusk
