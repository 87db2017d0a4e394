// Builds levels from text pictures for the rule tests, and draws them back.
#include "tests/puzzle/support/level_picture.h"

#include <algorithm>
#include <stdexcept>

namespace dusk::testing {

namespace {

constexpr int size = level::size;

square object(const tile& t) {
  return square{kind::floor, t, std::nullopt};
}
square piece(const tile& t) {
  return square{kind::floor, std::nullopt, t};
}

const legend& defaults() {
  static const legend table = {
      {'.', ground(kind::floor)},
      {'#', ground(kind::wall)},
      {':', ground(kind::markedfloor)},
      {'%', ground(kind::wallsecondlook)},
      {'&', ground(kind::wallthirdlook)},
      {'_', ground(kind::untrailedfloor)},
      {'^', ground(kind::onewayup)},
      {'v', ground(kind::onewaydown)},
      {'>', ground(kind::onewayright)},
      {'<', ground(kind::onewayleft)},
      {'~', ground(kind::trailclearingfloor)},
      {'=', ground(kind::fixedtrailfloor)},
      {'*', star()},
      {'o', block()},
      {'!', doorswitch(1)},
      {'+', door(1, true)},
      {'\'', door(1, false)},
      {'@', player()},
      {'L', horizontalmover(false)},
      {'R', horizontalmover(true)},
      {'U', verticalmover(false)},
      {'D', verticalmover(true)},
      {'E', turningmover(0, true)},
      {'S', turningmover(1, true)},
      {'W', turningmover(2, true)},
      {'N', turningmover(3, true)},
      {'d', dissolving(0)},
  };
  return table;
}

char groundchar(uint8_t g) {
  switch (g) {
    case kind::floor:
      return '.';
    case kind::wall:
      return '#';
    case kind::markedfloor:
      return ':';
    case kind::wallsecondlook:
      return '%';
    case kind::wallthirdlook:
      return '&';
    case kind::untrailedfloor:
      return '_';
    case kind::onewayup:
      return '^';
    case kind::onewaydown:
      return 'v';
    case kind::onewayright:
      return '>';
    case kind::onewayleft:
      return '<';
    case kind::trailclearingfloor:
      return '~';
    case kind::fixedtrailfloor:
      return '=';
    default:
      return '?';
  }
}

char objectchar(const tile& t) {
  switch (t.id) {
    case kind::star:
      return '*';
    case kind::block:
      return 'o';
    case kind::teleporter:
      return 'T';
    case kind::doorswitch:
      return '!';
    case kind::door:
      return t.b != 0 ? '+' : '\'';
    case kind::timedgate:
      return t.s != 0 ? 'X' : 'x';
    default:
      return '?';
  }
}

char piecechar(const tile& t) {
  switch (t.id) {
    case kind::player:
      return '@';
    case kind::horizontalmover:
      return t.f == 0 ? 'L' : t.f == 1 ? 'R' : '?';
    case kind::verticalmover:
      return t.f == 0 ? 'U' : t.f == 1 ? 'D' : '?';
    case kind::turningmover:
      return "ESWN"[t.f % 4];
    case kind::dissolvingtrail:
      return 'd';
    default:
      return '?';
  }
}

struct cellref {
  int x, y, z;
};

}  // namespace

square ground(uint8_t kind) {
  return square{kind, std::nullopt, std::nullopt};
}
square star() {
  return object(tile::Create(kind::star, 0, 0, 0, 0, 0, 0));
}
square block() {
  return object(tile::Create(kind::block, 0, 0, 0, 0, 0, 0));
}
square teleporter(uint8_t send, uint8_t receive) {
  return object(tile::Create(kind::teleporter, 0, 0, 0, send, receive, 0));
}
square doorswitch(uint8_t key) {
  return object(tile::Create(kind::doorswitch, 0, 0, 0, key, 0, 0));
}
square door(uint8_t key, bool closed) {
  return object(tile::Create(kind::door, 0, 0, 0, key, closed ? 1 : 0, 0));
}
square gate(uint8_t closedlength, uint8_t openlength, bool closed) {
  return object(tile::Create(kind::timedgate, 0, 0, 0, closedlength, openlength, closed ? 1 : 0));
}
square horizontalmover(bool right) {
  return piece(tile::Create(kind::horizontalmover, 0, 0, 0, right ? 1 : 0, 0, 0));
}
square verticalmover(bool down) {
  return piece(tile::Create(kind::verticalmover, 0, 0, 0, down ? 1 : 0, 0, 0));
}
square turningmover(uint8_t heading, bool clockwise) {
  return piece(tile::Create(kind::turningmover, 0, 0, 0, heading, clockwise ? 1 : 0, 0));
}
square player() {
  return piece(tile::Create(kind::player, 0, 0, 0, 0, 0, 0));
}
square dissolving(uint8_t age) {
  return piece(tile::Create(kind::dissolvingtrail, 0, 0, 0, age, 0, 0));
}
square on(uint8_t groundkind, square thing) {
  thing.ground = groundkind;
  return thing;
}

level layers(const std::vector<layerpicture>& pictures, const legend& extra) {
  if (pictures.empty() || pictures.size() > static_cast<std::size_t>(size)) {
    throw std::invalid_argument("a level picture has 1 to 15 layers");
  }
  level lvl = level::New();
  lvl.depth = static_cast<int32_t>(pictures.size());
  std::vector<cellref> teleporters;
  std::vector<cellref> switches;
  std::vector<cellref> doors;

  for (int z = 0; z < lvl.depth; ++z) {
    const layerpicture& rows = pictures[static_cast<std::size_t>(z)];
    if (rows.size() > static_cast<std::size_t>(size))
      throw std::invalid_argument("more than 15 rows in a layer");
    for (const std::string& row : rows) {
      if (row.size() > static_cast<std::size_t>(size)) {
        throw std::invalid_argument("more than 15 columns in row \"" + row + "\"");
      }
    }
    for (int x = 0; x < size; ++x) {
      for (int y = 0; y < size; ++y) {
        const auto row = static_cast<std::size_t>(y);
        const auto column = static_cast<std::size_t>(x);
        if (row >= rows.size() || column >= rows[row].size()) continue;
        const char c = rows[row][column];
        auto found = extra.find(c);
        if (found == extra.end()) {
          found = defaults().find(c);
          if (found == defaults().end())
            throw std::invalid_argument(std::string("unknown picture character ") + c);
        }
        const square& what = found->second;
        lvl.setmap(x, y, z, what.ground);
        if (what.object) {
          tile t = *what.object;
          switch (t.id) {
            case kind::star:
              ++lvl.totalstars;
              break;
            case kind::teleporter:
              t.x = static_cast<uint8_t>(lvl.playerx);
              t.y = static_cast<uint8_t>(lvl.playery);
              t.z = static_cast<uint8_t>(lvl.playerz);
              teleporters.push_back({x, y, z});
              break;
            case kind::doorswitch:
              t = tile::Create(t.id, x, y, z, t.f, t.b, t.s);
              switches.push_back({x, y, z});
              break;
            case kind::door:
              t = tile::Create(t.id, x, y, z, t.f, t.b, t.s);
              doors.push_back({x, y, z});
              break;
            case kind::timedgate:
              t = tile::Create(t.id, x, y, z, t.f, t.b, t.s);
              break;
            default:
              break;
          }
          lvl.setobj(x, y, z, t);
        }
        if (what.piece) {
          tile t = *what.piece;
          t.x = static_cast<uint8_t>(x);
          t.y = static_cast<uint8_t>(y);
          t.z = static_cast<uint8_t>(z);
          if (t.id == kind::player) {
            lvl.addplayer(t);
            lvl.playerx = x;
            lvl.playery = y;
            lvl.playerz = z;
          } else {
            lvl.addobj(t);
          }
        }
      }
    }
  }

  for (const cellref& a : teleporters) {
    tile* from = lvl.editobj(a.x, a.y, a.z);
    for (const cellref& b : teleporters) {
      if (lvl.obj(b.x, b.y, b.z)->b == from->f) {
        from->x = static_cast<uint8_t>(b.x);
        from->y = static_cast<uint8_t>(b.y);
        from->z = static_cast<uint8_t>(b.z);
        break;
      }
    }
  }
  for (const cellref& s : switches) {
    for (const cellref& d : doors) {
      if (lvl.obj(s.x, s.y, s.z)->f == lvl.obj(d.x, d.y, d.z)->f) {
        lvl.linkdoor(s.x, s.y, s.z, vector::Create(d.x, d.y, d.z));
      }
    }
  }
  return lvl;
}

level picture(const layerpicture& layer, const legend& extra) {
  return layers(std::vector<layerpicture>{layer}, extra);
}

turn playerstep(level& lvl, int dx, int dy) {
  turn result;
  tile* self = lvl.playertile();
  if (self == nullptr) return result;
  result.moved = self->Move(dx, dy, 0, lvl, 1, 1, 1, result.stars, result.jumps, 0);
  if (result.moved != 0) lvl.updateobjs();
  return result;
}

int play(level& lvl, const std::string& steps) {
  int moved = 0;
  for (const char c : steps) {
    const int dx = c == 'r' ? 1 : c == 'l' ? -1 : 0;
    const int dy = c == 'd' ? 1 : c == 'u' ? -1 : 0;
    if (dx == 0 && dy == 0) throw std::invalid_argument(std::string("unknown step ") + c);
    moved += playerstep(lvl, dx, dy).moved;
  }
  return moved;
}

std::string show(const level& lvl, int width, int height, int z) {
  std::string text;
  for (int y = 0; y < height; ++y) {
    if (y > 0) text += '\n';
    for (int x = 0; x < width; ++x) {
      char c = groundchar(lvl.map(x, y, z));
      if (const tile* t = lvl.obj(x, y, z)) c = objectchar(*t);
      for (const tile& p : lvl.objs()) {
        if (p.x == x && p.y == y && p.z == z) c = piecechar(p);
      }
      text += c;
    }
  }
  return text;
}

::testing::AssertionResult looks_like(const level& lvl, const layerpicture& rows, int z) {
  std::size_t width = 0;
  std::string expected;
  for (const std::string& row : rows) {
    width = std::max(width, row.size());
    if (!expected.empty()) expected += '\n';
    expected += row;
  }
  const std::string got = show(lvl, static_cast<int>(width), static_cast<int>(rows.size()), z);
  if (got == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "layer " << z << " expected:\n" << expected << "\ngot:\n" << got;
}

}  // namespace dusk::testing
