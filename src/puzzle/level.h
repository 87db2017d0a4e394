// One loaded puzzle: ground and static objects on a 15 x 15 x 15 grid, and the list of moving pieces.
//
// A level is a value. Copying it copies the whole puzzle (grids, static objects, the objs list in order,
// switch door lists, teleporter destinations) and shares nothing, so a copy can be changed freely; two
// levels compare equal (==) and hash alike (hash(), std::hash) exactly when their puzzle states match.
// Copies are cheap: the grids hold only the layers that have anything in them, static objects with
// fields live in one small array, and pieces are values in another.
//
// Building a level (what a level builder calls):
//   level lvl = level::New();
//   lvl.depth = layers;                          // 1 to 15
//   lvl.setmap(x, y, z, kind::wall);             // ground of a cell
//   lvl.setobj(x, y, z, tile::Create(...));      // static object of a cell: star, block, teleporter, ...
//   lvl.totalstars += 1;                         // stars are counted by the builder
//   lvl.addobj(tile::Create(kind::horizontalmover, x, y, z, heading, 0, 0));  // pieces, in update order
//   lvl.addplayer(tile::Create(kind::player, x, y, z, 0, 0, 0));  // appended; becomes playertile()
//   lvl.playerx = x; ...                         // the start cell
//   lvl.editobj(x, y, z)->x = destination.x;     // pair a teleporter: change a placed object's fields
//   lvl.linkdoor(x, y, z, vector::Create(dx, dy, dz));  // add a door cell to the switch at (x, y, z)
// Playing it (what the level play and a solver call):
//   lvl.playertile()->Move(dx, dy, 0, lvl, 1, 1, 1, stars, jumps, 0); then lvl.updateobjs();
//   lvl.playertile()->testmove(dx, dy, 0, lvl, 2);   // the trapped test
//   map(), obj(), objs() to draw; removeobj() to drop a dissolving piece that became a particle.
//
// Every position outside 0..14 in x, y and z reads as floor with no object and is skipped on writes.
// Pointers and spans returned here stay valid until the level is next changed (a Move of any piece may
// add to objs). A builder that places objects in scan order (layer, column, row) and links switch by
// switch in that order only ever appends; any other order works too, just slower.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <span>
#include <utility>
#include <vector>

#include "puzzle/kinds.h"
#include "puzzle/tile.h"
#include "puzzle/vector.h"

namespace dusk {

class level {
 public:
  static constexpr int size = 15;  // cells along x and y, and the most layers
  static constexpr int layercells = size * size;
  static constexpr int maxcells = layercells * size;

  int32_t depth = 1;  // layers in use; gates update on these layers only
  int32_t totalstars = 0;
  int32_t playerx = 0;
  int32_t playery = 0;
  int32_t playerz = 0;

  static level New();
  // 1 for the wall kinds (1, 3, 4), 0 for every other ground value.
  static int solid(uint8_t kind) {
    return kind == kind::wall || kind == kind::wallsecondlook || kind == kind::wallthirdlook ? 1 : 0;
  }
  static bool inside(int x, int y, int z) {
    return static_cast<unsigned>(x) < size && static_cast<unsigned>(y) < size &&
           static_cast<unsigned>(z) < size;
  }

  // Ground.
  uint8_t map(int x, int y, int z) const { return inside(x, y, z) ? at(index(x, y, z)).ground : 0; }
  void setmap(int x, int y, int z, uint8_t kind);

  // Static objects. obj() gives the object of a cell or nullptr. setobj places an object, replacing
  // whatever the cell held (and its door links); stars and blocks carry no fields, so theirs read back as
  // 0. editobj() gives write access to the fields of a placed object other than a star or block.
  const tile* obj(int x, int y, int z) const;
  tile* editobj(int x, int y, int z);
  void setobj(int x, int y, int z, const tile& object);
  void clearobj(int x, int y, int z);
  // The door cells a switch at (x, y, z) toggles, in the order they were linked (the switch's vec).
  std::span<const vector> vec(int x, int y, int z) const;
  // Appends a door cell to the list of the object at (x, y, z); 0 when no object with fields stands there.
  int linkdoor(int x, int y, int z, const vector& door);

  // Moving pieces, in list order (the order they update in).
  std::span<const tile> objs() const { return objs_; }
  std::span<tile> objs() { return objs_; }
  void addobj(const tile& piece);
  // Appends a player piece and makes it the playertile (an earlier player stays as a piece).
  void addplayer(const tile& piece);
  void removeobj(std::size_t index);
  // Replaces every piece with these, in order; pieces[player] becomes the playertile (none when -1).
  void setobjs(std::span<const tile> pieces, int player);
  tile* playertile() { return player_ < 0 ? nullptr : &objs_[static_cast<std::size_t>(player_)]; }
  const tile* playertile() const { return player_ < 0 ? nullptr : &objs_[static_cast<std::size_t>(player_)]; }

  // Leaves a block at (x, y, z) unless the cell holds an object or is untrailed floor. Always 0.
  int createtrail(int x, int y, int z);
  // 1 when any piece of objs stands on the cell.
  int ObjOnTile(int x, int y, int z) const;
  // The update after a successful player step: gates, dissolving trail, movers. Always 0.
  int updateobjs();

  // Cells by index, for searches that keep millions of states and restore them often: a cell's index is
  // z * 225 + x * 15 + y (layer by layer, column by column), the order every scan of the rules takes.
  static int cellindex(int x, int y, int z) { return index(x, y, z); }
  bool blockat(int i) const { return at(i).object == blockcode; }
  // obj() and editobj() by cell index.
  const tile* objat(int i) const {
    const uint16_t code = at(i).object;
    if (code >= firstfixture) return &fixtures_[code - firstfixture].object;
    return code == none ? nullptr : code == starcode ? &startile : &blocktile;
  }
  tile* editobjat(int i) {
    const uint16_t code = at(i).object;
    return code >= firstfixture ? &fixtures_[code - firstfixture].object : nullptr;
  }
  bool starat(int i) const { return at(i).object == starcode; }
  // Sets bit k (of byte k / 8, bit k % 8) for every cells[k] that holds a block; bits starts zeroed.
  void blockbits(std::span<const uint16_t> cells, uint8_t* bits) const;
  // Puts a star or a block on a cell inside the grid that holds no object yet.
  void putplain(int i, bool star) { grow(i).object = star ? starcode : blockcode; }
  // Takes a star or a block off a cell (a cell with any other object keeps it).
  void clearplain(int i) {
    if (static_cast<std::size_t>(i) < cells_.size() && cells_[i].object < firstfixture)
      cells_[i].object = none;
  }

  uint64_t hash() const;
  friend bool operator==(const level& a, const level& b);

 private:
  friend struct tile;

  // What a cell holds: its ground and a code for its object.
  static constexpr uint16_t none = 0;
  static constexpr uint16_t starcode = 1;
  static constexpr uint16_t blockcode = 2;
  static constexpr uint16_t firstfixture = 3;  // code firstfixture + i is fixtures_[i]
  struct cell {
    uint16_t object = none;
    uint8_t ground = kind::floor;
    uint8_t spare = 0;
    friend bool operator==(const cell&, const cell&) = default;
  };
  // A static object with fields, kept in cell order.
  struct fixture {
    tile object;
    uint8_t spare = 0;
    uint16_t where = 0;
    friend bool operator==(const fixture&, const fixture&) = default;
  };

  // Cells are stored layer by layer, x-major within a layer (the order every scan of the rules takes),
  // and only up to the last layer ever written.
  static int index(int x, int y, int z) { return z * layercells + x * size + y; }
  cell at(int i) const { return static_cast<std::size_t>(i) < cells_.size() ? cells_[i] : cell{}; }
  cell& grow(int i) {
    return static_cast<std::size_t>(i) < cells_.size() ? cells_[static_cast<std::size_t>(i)] : growlayers(i);
  }
  cell& growlayers(int i);
  void clearcell(int i);
  // The range of links_ that belongs to the object of cell i.
  std::pair<std::size_t, std::size_t> doorrange(int i) const;
  void dissolvelayer(int z);
  // Whether a piece other than a dissolving one (and other than self) stands on the cell. Every step of
  // every piece asks this, so it lives here where Move can inline it, and compares id and cell as one word
  // per piece.
  bool pieceat(int x, int y, int z, const tile* self) const {
    const uint32_t where =
        static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y) << 16 | static_cast<uint32_t>(z) << 24;
    for (const tile& piece : objs_) {
      uint32_t word;
      std::memcpy(&word, &piece, sizeof word);
      if ((word & 0xFFFFFF00u) == where && (word & 0xFFu) != kind::dissolvingtrail && &piece != self)
        return true;
    }
    return false;
  }

  // Stars and blocks have no fields of their own, so every one of them is this same record.
  static constexpr tile startile{kind::star};
  static constexpr tile blocktile{kind::block};

  std::vector<cell> cells_;
  std::vector<fixture> fixtures_;
  // Door lists of all switches: linkowners_ holds the cell of each entry's switch, in cell order, so a
  // builder linking switch by switch appends, and each list is one stretch of links_.
  std::vector<uint16_t> linkowners_;
  std::vector<vector> links_;
  std::vector<tile> objs_;
  int32_t player_ = -1;
};

}  // namespace dusk

template <>
struct std::hash<dusk::level> {
  std::size_t operator()(const dusk::level& lvl) const noexcept { return static_cast<std::size_t>(lvl.hash()); }
};
