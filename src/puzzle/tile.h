// The record of every puzzle object, and Move: the one rule book that decides every step.
#pragma once

#include <cstdint>

namespace dusk {

class level;

// A tile is a plain 9-byte value. Stars, blocks, teleporters, switches, doors and timed gates stand in a
// level's obj grid; the player, movers and dissolving trail pieces live in its objs list (see level.h).
// A switch's door cells are kept by the level it stands in (level::vec), so tiles copy, compare and hash
// as bytes.
struct tile {
  uint8_t id = 0;  // kind (puzzle/kinds.h)
  uint8_t x = 0;   // where it stands; for a teleporter, its destination; 0 for stars and blocks
  uint8_t y = 0;
  uint8_t z = 0;
  uint8_t f = 0;  // send key, colour key, closed-phase length, heading, age
  uint8_t b = 0;  // receive key, door closed flag, open-phase length, turning sense
  uint8_t s = 0;  // timed gate closed flag
  uint8_t t = 0;  // timed gate phase counter
  uint8_t u = 0;  // mover sits out the next move pass

  static tile New();
  // x, y and z are kept as their low 8 bits.
  static tile Create(uint8_t id, int x, int y, int z, uint8_t f, uint8_t b, uint8_t s);
  // 1 for a block, the only object kind that blocks by kind alone.
  static int solid(uint8_t kind);

  // One step by (dx, dy, dz) in lvl. Returns 1 and moves the tile when it moved, else 0. starcount and
  // teleportcount are added to when the step meets a star or is carried by a teleporter.
  //   leavetrail != 0: leave a block (or a dissolving piece) on the cell left behind.
  //   collect: 1 takes a star on the way, 0 is held back by it, any other value passes over it.
  //   trigger != 0: switches toggle their doors, trail-clearing floors dissolve their layer's blocks.
  //   passwalls != 0: walls, one-way floors and closed doors don't hold the tile back.
  // The tile may be one of lvl's own objs: Move appends to that list only after its last use of itself.
  // A tile standing outside the 15 x 15 x 15 grid never moves, and nothing leaves the grid.
  int Move(int dx, int dy, int dz, level& lvl, int leavetrail, int collect, int trigger, int& starcount,
           int& teleportcount, int passwalls);
  // Would the tile move? Tries the step without trail or triggers and puts the tile back.
  int testmovevars(int dx, int dy, int dz, level& lvl, int collect, int& starcount, int& teleportcount);
  int testmove(int dx, int dy, int dz, level& lvl, int collect);

  friend bool operator==(const tile&, const tile&) = default;

 private:
  friend class level;
  // Move's body (puzzle/tile_step.h), inlined by the rule book's own callers.
  inline int step(int dx, int dy, int dz, level& lvl, int leavetrail, int collect, int trigger,
                  int& starcount, int& teleportcount, int passwalls);
  // testmovevars' body, likewise.
  inline int teststep(int dx, int dy, int dz, level& lvl, int collect, int& starcount, int& teleportcount);
};

}  // namespace dusk
