// A level's room: the cells a player could ever be in, which of them no play within the allowance ever
// steps onto (dead space), and the room's shape, to find levels that reuse another level's room.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "puzzle/level.h"
#include "puzzle/solver.h"

namespace dusk {

// The room: every cell that isn't a wall, joined to the player's start through cells that aren't walls,
// layers joined by the teleporters that send between them. Flags by level::cellindex. What a wall closes
// off is plainly not part of the room.
std::vector<uint8_t> RoomCells(const level& lvl);

// The cells a play steps onto, added to entered (flags by level::cellindex): the start, every cell a step
// enters and every teleporter landing, up to the level's end.
void MarkPlay(const level& lvl, int allowance, std::span<const uint8_t> steps, std::vector<uint8_t>& entered);

// Floor walled off from the start but not from the rest of the room: pockets of floor no wall leaves
// outside, which read as part of the room. Floor that reaches the grid's edge without crossing a wall is
// outside the room, as a wall plainly shows.
std::vector<uint8_t> WalledOffCells(const level& lvl);

// Floor that no play within the allowance steps onto: room cells the search never reaches, and walled-off
// pockets. Cells that start under a block or another player piece are not floor to stand on, and are not
// asked for. plays are known plays (the best solution, say) whose cells need no search.
struct dead_space {
  std::vector<int> cells;  // cell indexes, when known; the walled-off pockets are known without a search
  std::size_t roomcells = 0;
  std::size_t walledoff = 0;  // of cells, those in pockets walled off from the start
  bool known = false;      // false: the search's budget ran out (explored.limit) before an answer
  std::size_t missing = 0;  // when not known: room cells not stepped onto when the budget ran out
  exploration explored;
};
dead_space DeadSpace(const level& lvl, int allowance, std::span<const std::vector<uint8_t>> plays,
                     const explore_limits& limits = {});

// The layers with dead cells, cut to the room, one text row a line: '#' wall, '.' floor some play steps
// onto, 'X' dead floor, 'o' a block, '@' the start, ' ' outside the room. Layers are headed "layer N" when the level
// has more than one.
std::vector<std::string> DeadSpaceMap(const level& lvl, const dead_space& dead);

// A room's floor plan for comparing levels: per layer, the room's cells as bits of rows.
struct room_plan {
  int layer = 0;
  int cells = 0;
  uint16_t rows[level::size] = {};
};
// Layers with fewer floor cells than this are pockets, not rooms, and are not compared.
inline constexpr int kSmallestRoom = 12;
std::vector<room_plan> RoomPlans(const level& lvl);

// How much two floor plans coincide, best over the eight turns and mirrors and every shift: the floor
// they share over the floor of either. A room drawn again with other stars scores near 1; a room of the
// same size but another shape, or a small room inside a large one, scores low.
struct room_overlap {
  double share = 0;
  int symmetry = 0;  // as level_report's SymmetryName
  int layera = 0;
  int layerb = 0;
};
room_overlap PlanOverlap(const room_plan& a, const room_plan& b);
// The largest overlap of any room of a with any room of b.
room_overlap RoomOverlap(std::span<const room_plan> a, std::span<const room_plan> b);
// Two levels share a room when their floor plans overlap by more than this.
inline constexpr double kMostRoomOverlap = 0.8;

}  // namespace dusk
