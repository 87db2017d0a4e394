// The level model: its grids and piece list as compact values, trail blocks, and the update after a move.
#include "puzzle/level.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <type_traits>

#include "puzzle/tile_step.h"

namespace dusk {

namespace {

// The heading steps of a turning mover: right, down, left, up.
constexpr int headingx[4] = {1, 0, -1, 0};
constexpr int headingy[4] = {0, 1, 0, -1};

// Every step walks the whole piece list, so the walk compares id and cell as one word per piece.
uint32_t idandcell(const tile& t) {
  uint32_t word;
  std::memcpy(&word, &t, sizeof word);
  return word;
}
constexpr uint32_t cellword(int x, int y, int z) {
  return static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y) << 16 | static_cast<uint32_t>(z) << 24;
}
static_assert(offsetof(tile, id) == 0 && offsetof(tile, x) == 1 && offsetof(tile, y) == 2 &&
              offsetof(tile, z) == 3);
static_assert(std::endian::native == std::endian::little, "idandcell reads the id as the low byte");

// Word-wise hashing over four independent lanes, so long grids hash at memory speed.
constexpr uint64_t hashprime = 0x9E3779B97F4A7C15ull;

uint64_t finish(uint64_t h) {
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ull;
  h ^= h >> 33;
  return h;
}

uint64_t lane(uint64_t h, uint64_t word) {
  h = (h ^ word) * hashprime;
  return h ^ (h >> 29);
}

uint64_t hashbytes(uint64_t h, const void* data, std::size_t n) {
  const auto* p = static_cast<const unsigned char*>(data);
  uint64_t l[4] = {h, h + 1, h + 2, h + 3};
  h = lane(h, n);
  while (n >= 32) {
    for (uint64_t& v : l) {
      uint64_t word;
      std::memcpy(&word, p, 8);
      v = lane(v, word);
      p += 8;
    }
    n -= 32;
  }
  while (n >= 8) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    h = lane(h, word);
    p += 8;
    n -= 8;
  }
  if (n > 0) {
    uint64_t word = 0;
    std::memcpy(&word, p, n);
    h = lane(h, word);
  }
  return lane(lane(lane(lane(h, l[0]), l[1]), l[2]), l[3]);
}

template <typename T>
uint64_t hashvalues(uint64_t h, const std::vector<T>& values) {
  static_assert(std::has_unique_object_representations_v<T>, "hashed as bytes: no padding allowed");
  return hashbytes(h, values.data(), values.size() * sizeof(T));
}

}  // namespace

level level::New() {
  return level{};
}

void level::setmap(int x, int y, int z, uint8_t kind) {
  if (!inside(x, y, z)) return;
  const int i = index(x, y, z);
  if (kind == kind::floor && static_cast<std::size_t>(i) >= cells_.size()) return;
  grow(i).ground = kind;
}

level::cell& level::growlayers(int i) {
  const auto need = static_cast<std::size_t>((i / layercells + 1) * layercells);
  if (cells_.size() < need) cells_.resize(need);
  return cells_[static_cast<std::size_t>(i)];
}

const tile* level::obj(int x, int y, int z) const {
  if (!inside(x, y, z)) return nullptr;
  const uint16_t code = at(index(x, y, z)).object;
  if (code == none) return nullptr;
  if (code == starcode) return &startile;
  if (code == blockcode) return &blocktile;
  return &fixtures_[code - firstfixture].object;
}

tile* level::editobj(int x, int y, int z) {
  if (!inside(x, y, z)) return nullptr;
  const uint16_t code = at(index(x, y, z)).object;
  return code >= firstfixture ? &fixtures_[code - firstfixture].object : nullptr;
}

void level::setobj(int x, int y, int z, const tile& object) {
  if (!inside(x, y, z)) return;
  const int i = index(x, y, z);
  clearcell(i);
  if (object.id == kind::star || object.id == kind::block) {
    grow(i).object = object.id == kind::star ? starcode : blockcode;
    return;
  }
  // Fixtures stay in cell order, so a builder's scan appends and copies of equal levels match byte for byte.
  auto place = std::lower_bound(fixtures_.begin(), fixtures_.end(), i,
                                [](const fixture& f, int where) { return f.where < where; });
  const auto k = static_cast<std::size_t>(place - fixtures_.begin());
  fixtures_.insert(place, fixture{object, 0, static_cast<uint16_t>(i)});
  grow(i);
  for (std::size_t j = k; j < fixtures_.size(); ++j) {
    cells_[fixtures_[j].where].object = static_cast<uint16_t>(firstfixture + j);
  }
}

void level::clearobj(int x, int y, int z) {
  if (inside(x, y, z)) clearcell(index(x, y, z));
}

void level::clearcell(int i) {
  if (static_cast<std::size_t>(i) >= cells_.size()) return;
  const uint16_t code = cells_[static_cast<std::size_t>(i)].object;
  cells_[static_cast<std::size_t>(i)].object = none;
  if (code < firstfixture) return;
  const auto [start, end] = doorrange(i);
  linkowners_.erase(linkowners_.begin() + static_cast<std::ptrdiff_t>(start),
                    linkowners_.begin() + static_cast<std::ptrdiff_t>(end));
  links_.erase(links_.begin() + static_cast<std::ptrdiff_t>(start),
               links_.begin() + static_cast<std::ptrdiff_t>(end));
  const std::size_t k = code - firstfixture;
  fixtures_.erase(fixtures_.begin() + static_cast<std::ptrdiff_t>(k));
  for (std::size_t j = k; j < fixtures_.size(); ++j) {
    cells_[fixtures_[j].where].object = static_cast<uint16_t>(firstfixture + j);
  }
}

std::pair<std::size_t, std::size_t> level::doorrange(int i) const {
  const auto owner = static_cast<uint16_t>(i);
  const auto [first, last] = std::equal_range(linkowners_.begin(), linkowners_.end(), owner);
  return {static_cast<std::size_t>(first - linkowners_.begin()),
          static_cast<std::size_t>(last - linkowners_.begin())};
}

std::span<const vector> level::vec(int x, int y, int z) const {
  if (!inside(x, y, z)) return {};
  const int i = index(x, y, z);
  if (at(i).object < firstfixture) return {};
  const auto [start, end] = doorrange(i);
  return {links_.data() + start, end - start};
}

int level::linkdoor(int x, int y, int z, const vector& door) {
  if (!inside(x, y, z)) return 0;
  const int i = index(x, y, z);
  if (at(i).object < firstfixture) return 0;
  const auto end = static_cast<std::ptrdiff_t>(doorrange(i).second);
  linkowners_.insert(linkowners_.begin() + end, static_cast<uint16_t>(i));
  links_.insert(links_.begin() + end, door);
  return 1;
}

void level::addobj(const tile& piece) {
  objs_.push_back(piece);
}

void level::addplayer(const tile& piece) {
  objs_.push_back(piece);
  player_ = static_cast<int32_t>(objs_.size() - 1);
}

void level::setobjs(std::span<const tile> pieces, int player) {
  objs_.assign(pieces.begin(), pieces.end());
  player_ = player >= 0 && static_cast<std::size_t>(player) < objs_.size() ? player : -1;
}

void level::removeobj(std::size_t i) {
  if (i >= objs_.size()) return;
  objs_.erase(objs_.begin() + static_cast<std::ptrdiff_t>(i));
  const auto removed = static_cast<int32_t>(i);
  if (player_ == removed) {
    player_ = -1;
  } else if (player_ > removed) {
    --player_;
  }
}

int level::createtrail(int x, int y, int z) {
  if (!inside(x, y, z)) return 0;
  const int i = index(x, y, z);
  const cell c = at(i);
  if (c.object == none && c.ground != kind::untrailedfloor) grow(i).object = blockcode;
  return 0;
}

void level::blockbits(std::span<const uint16_t> cells, uint8_t* bits) const {
  const std::size_t count = cells_.size();
  const cell* data = cells_.data();
  for (std::size_t k = 0; k < cells.size(); ++k) {
    const std::size_t i = cells[k];
    const bool block = i < count && data[i].object == blockcode;
    bits[k >> 3] |= static_cast<uint8_t>(static_cast<unsigned>(block) << (k & 7));
  }
}

int level::ObjOnTile(int x, int y, int z) const {
  if (!inside(x, y, z)) return 0;
  const uint32_t where = cellword(x, y, z);
  for (const tile& piece : objs_) {
    if ((idandcell(piece) & 0xFFFFFF00u) == where) return 1;
  }
  return 0;
}

void level::dissolvelayer(int z) {
  const auto base = static_cast<std::size_t>(z * layercells);
  if (base >= cells_.size()) return;
  for (int i = 0; i < layercells; ++i) {
    cell& c = cells_[base + static_cast<std::size_t>(i)];
    if (c.object == blockcode && c.ground != kind::fixedtrailfloor) {
      c.object = none;
      objs_.push_back(tile::Create(kind::dissolvingtrail, i / size, i % size, z, 0, 0, 0));
    }
  }
}

int level::updateobjs() {
  // Timed gates, in cell order, on the layers in use.
  const auto layers = static_cast<uint32_t>(std::clamp(depth, 0, size));
  for (fixture& fx : fixtures_) {
    if (fx.where / layercells >= layers) break;
    tile& gate = fx.object;
    if (gate.id != kind::timedgate) continue;
    const uint8_t limit = gate.s != 0 ? gate.f : gate.b;
    if (gate.t < limit) {
      ++gate.t;
    } else {
      gate.s = gate.s == 0 ? 1 : 0;
      gate.t = 0;
    }
  }

  // Look-ahead: a blocked mover turns at once, and sits out the move pass when a piece blocks it.
  // testmove leaves no trail and triggers nothing, so objs_ keeps its place in memory here.
  for (std::size_t i = 0; i < objs_.size();) {
    tile& piece = objs_[i];
    const int x = piece.x;
    const int y = piece.y;
    const int z = piece.z;
    switch (piece.id) {
      case kind::dissolvingtrail: {
        const int age = piece.f + 1;
        if (age >= 2) {
          removeobj(i);
          continue;
        }
        piece.f = static_cast<uint8_t>(age);
        break;
      }
      case kind::horizontalmover:
      case kind::verticalmover: {
        const bool horizontal = piece.id == kind::horizontalmover;
        if (piece.f == 0 || piece.f == 1) {
          const int sign = piece.f == 0 ? -1 : 1;
          const int dx = horizontal ? sign : 0;
          const int dy = horizontal ? 0 : sign;
          int stars = 0;
          int jumps = 0;
          if (piece.teststep(dx, dy, 0, *this, 0, stars, jumps) == 0) {
            piece.f = piece.f == 0 ? 1 : 0;
            if (ObjOnTile(x + dx, y + dy, z) != 0) piece.u = 1;
          }
        }
        break;
      }
      case kind::turningmover: {
        const int dx = headingx[piece.f % 4];
        const int dy = headingy[piece.f % 4];
        int heading = piece.f;
        int stars = 0;
        int jumps = 0;
        if (piece.teststep(dx, dy, 0, *this, 0, stars, jumps) == 0) {
          heading += 2 * piece.b - 1;
          if (ObjOnTile(x + dx, y + dy, z) != 0) piece.u = 1;
        }
        piece.f = static_cast<uint8_t>(((heading % 4) + 4) % 4);
        break;
      }
      default:
        break;
    }
    ++i;
  }

  // Moves. Move may append dissolving pieces (and so move objs_ in memory): index afresh after each.
  for (std::size_t i = 0; i < objs_.size(); ++i) {
    if (objs_[i].u != 0) {
      objs_[i].u = 0;
      continue;
    }
    const tile piece = objs_[i];
    int stars = 0;
    int jumps = 0;
    switch (piece.id) {
      case kind::horizontalmover:
      case kind::verticalmover: {
        if (piece.f != 0 && piece.f != 1) break;
        const bool horizontal = piece.id == kind::horizontalmover;
        const int sign = piece.f == 0 ? -1 : 1;
        const int moved =
            objs_[i].step(horizontal ? sign : 0, horizontal ? 0 : sign, 0, *this, 0, 0, 1, stars, jumps, 0);
        if (moved == 0) objs_[i].f = piece.f == 0 ? 1 : 0;
        break;
      }
      case kind::turningmover: {
        int heading = piece.f;
        if (objs_[i].step(headingx[heading % 4], headingy[heading % 4], 0, *this, 0, 0, 1, stars, jumps, 0) ==
            0) {
          heading += 2 * piece.b - 1;
        }
        objs_[i].f = static_cast<uint8_t>(((heading % 4) + 4) % 4);
        break;
      }
      default:
        break;
    }
  }
  return 0;
}

uint64_t level::hash() const {
  // Trailing empty layers don't count: a level equals its copy whatever layers either has grown.
  std::size_t used = cells_.size();
  while (used > 0 && cells_[used - 1] == cell{}) --used;
  static_assert(std::has_unique_object_representations_v<cell>);
  const int32_t scalars[6] = {depth, totalstars, playerx, playery, playerz, player_};
  uint64_t h = hashbytes(0x5D1CE5, scalars, sizeof scalars);
  h = hashbytes(h, cells_.data(), used * sizeof(cell));
  h = hashvalues(h, fixtures_);
  h = hashvalues(h, linkowners_);
  h = hashvalues(h, links_);
  h = hashvalues(h, objs_);
  return finish(h);
}

bool operator==(const level& a, const level& b) {
  if (a.depth != b.depth || a.totalstars != b.totalstars || a.playerx != b.playerx ||
      a.playery != b.playery || a.playerz != b.playerz || a.player_ != b.player_ ||
      a.fixtures_ != b.fixtures_ || a.linkowners_ != b.linkowners_ || a.links_ != b.links_ ||
      a.objs_ != b.objs_) {
    return false;
  }
  const std::size_t common = std::min(a.cells_.size(), b.cells_.size());
  if (common > 0 && std::memcmp(a.cells_.data(), b.cells_.data(), common * sizeof(level::cell)) != 0)
    return false;
  const auto& longer = a.cells_.size() > common ? a.cells_ : b.cells_;
  return std::all_of(longer.begin() + static_cast<std::ptrdiff_t>(common), longer.end(),
                     [](const level::cell& c) { return c == level::cell{}; });
}

}  // namespace dusk
