// Rooms: the cells a level's player could be in, dead space among them, and room outlines compared under
// turns, mirrors and shifts.
#include "worlds/level_rooms.h"

#include <algorithm>
#include <bit>

#include "puzzle/kinds.h"
#include "worlds/level_report.h"

namespace dusk {

namespace {

constexpr int kSteps[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};

int CellX(int c) {
  return (c % level::layercells) / level::size;
}
int CellY(int c) {
  return c % level::size;
}
int CellZ(int c) {
  return c / level::layercells;
}

bool Wall(const level& lvl, int x, int y, int z) {
  return !level::inside(x, y, z) || level::solid(lvl.map(x, y, z)) != 0;
}

// Cells that start under something the player can never share a cell with: a block (until a clearing
// floor takes it, which the player may never do) or a player piece that never moves.
bool Occupied(const level& lvl, int x, int y, int z) {
  const tile* object = lvl.obj(x, y, z);
  if (object != nullptr && object->id == kind::block) return true;
  for (const tile& piece : lvl.objs()) {
    if (&piece != lvl.playertile() && piece.id == kind::player && piece.x == x && piece.y == y && piece.z == z)
      return true;
  }
  return false;
}

}  // namespace

std::vector<uint8_t> RoomCells(const level& lvl) {
  std::vector<uint8_t> room(level::maxcells, 0);
  const tile* player = lvl.playertile();
  if (player == nullptr || !level::inside(player->x, player->y, player->z)) return room;
  // Cells the flood has met: a teleporter may land in a wall, and the player can walk out of it.
  std::vector<uint8_t> met(level::maxcells, 0);
  std::vector<int> todo;
  auto reach = [&](int x, int y, int z) {
    const int c = level::cellindex(x, y, z);
    if (met[c] != 0) return;
    met[c] = 1;
    if (!Wall(lvl, x, y, z)) room[c] = 1;
    todo.push_back(c);
  };
  reach(player->x, player->y, player->z);
  while (!todo.empty()) {
    const int c = todo.back();
    todo.pop_back();
    const int x = CellX(c);
    const int y = CellY(c);
    const int z = CellZ(c);
    for (const auto& step : kSteps) {
      if (!Wall(lvl, x + step[0], y + step[1], z)) reach(x + step[0], y + step[1], z);
    }
    const tile* object = lvl.obj(x, y, z);
    if (object != nullptr && object->id == kind::teleporter && object->f != 0 &&
        level::inside(object->x, object->y, object->z)) {
      reach(object->x, object->y, object->z);
    }
  }
  return room;
}

std::vector<uint8_t> WalledOffCells(const level& lvl) {
  const std::vector<uint8_t> room = RoomCells(lvl);
  std::vector<uint8_t> out(level::maxcells, 0);
  // Floor joined to the grid's edge is outside; what is neither outside nor the room is walled off.
  std::vector<uint8_t> outside(level::maxcells, 0);
  std::vector<int> todo;
  const int layers = std::clamp(lvl.depth, 1, level::size);
  auto reach = [&](int x, int y, int z) {
    const int c = level::cellindex(x, y, z);
    if (outside[c] != 0 || room[c] != 0 || Wall(lvl, x, y, z)) return;
    outside[c] = 1;
    todo.push_back(c);
  };
  for (int z = 0; z < layers; ++z) {
    for (int i = 0; i < level::size; ++i) {
      reach(i, 0, z);
      reach(i, level::size - 1, z);
      reach(0, i, z);
      reach(level::size - 1, i, z);
    }
  }
  while (!todo.empty()) {
    const int c = todo.back();
    todo.pop_back();
    for (const auto& step : kSteps) {
      const int x = CellX(c) + step[0];
      const int y = CellY(c) + step[1];
      if (level::inside(x, y, CellZ(c))) reach(x, y, CellZ(c));
    }
  }
  for (int z = 0; z < layers; ++z) {
    for (int x = 0; x < level::size; ++x) {
      for (int y = 0; y < level::size; ++y) {
        const int c = level::cellindex(x, y, z);
        if (room[c] == 0 && outside[c] == 0 && !Wall(lvl, x, y, z)) out[c] = 1;
      }
    }
  }
  return out;
}

void MarkPlay(const level& lvl, int allowance, std::span<const uint8_t> steps, std::vector<uint8_t>& entered) {
  entered.resize(level::maxcells, 0);
  level play = lvl;
  const tile* player = play.playertile();
  if (player == nullptr) return;
  if (level::inside(player->x, player->y, player->z))
    entered[level::cellindex(player->x, player->y, player->z)] = 1;
  int stars = 0;
  int moves = 0;
  for (const uint8_t s : steps) {
    if (s > 3 || Judge(play, stars, moves, allowance) != play_state::playing) break;
    const int x = play.playertile()->x + stepdx[s];
    const int y = play.playertile()->y + stepdy[s];
    const int z = play.playertile()->z;
    const turn_result turn = PlayTurn(play, s);
    if (turn.moved == 0) continue;
    ++moves;
    stars += turn.stars;
    if (level::inside(x, y, z)) entered[level::cellindex(x, y, z)] = 1;
    const tile* now = play.playertile();
    if (now != nullptr && level::inside(now->x, now->y, now->z)) entered[level::cellindex(now->x, now->y, now->z)] = 1;
  }
}

dead_space DeadSpace(const level& lvl, int allowance, std::span<const std::vector<uint8_t>> plays,
                     const explore_limits& limits) {
  dead_space out;
  std::vector<uint8_t> wanted = RoomCells(lvl);
  const std::vector<uint8_t> walledoff = WalledOffCells(lvl);
  for (int c = 0; c < level::maxcells; ++c) {
    if ((wanted[c] | walledoff[c]) == 0) continue;
    if (Occupied(lvl, CellX(c), CellY(c), CellZ(c))) {
      wanted[c] = 0;
      continue;
    }
    out.roomcells += wanted[c];
    if (walledoff[c] != 0) {
      out.cells.push_back(c);
      ++out.walledoff;
    }
  }
  std::vector<uint8_t> entered(level::maxcells, 0);
  for (const std::vector<uint8_t>& play : plays) MarkPlay(lvl, allowance, play, entered);
  std::vector<uint8_t> sought(level::maxcells, 0);
  for (int c = 0; c < level::maxcells; ++c) sought[c] = wanted[c] != 0 && entered[c] == 0 ? 1 : 0;
  out.explored = ExploreCells(lvl, allowance, sought, limits);
  out.known = out.explored.complete;
  for (int c = 0; c < level::maxcells; ++c) {
    if (sought[c] == 0 || out.explored.entered[c] != 0) continue;
    if (out.known) {
      out.cells.push_back(c);
    } else {
      ++out.missing;
    }
  }
  std::sort(out.cells.begin(), out.cells.end());
  return out;
}

std::vector<std::string> DeadSpaceMap(const level& lvl, const dead_space& dead) {
  std::vector<std::string> lines;
  if (dead.cells.empty()) return lines;
  std::vector<uint8_t> room = RoomCells(lvl);
  const std::vector<uint8_t> walledoff = WalledOffCells(lvl);
  for (int c = 0; c < level::maxcells; ++c) room[c] = room[c] | walledoff[c];
  std::vector<uint8_t> isdead(level::maxcells, 0);
  for (const int c : dead.cells) isdead[c] = 1;
  const tile* player = lvl.playertile();
  const int layers = std::clamp(lvl.depth, 1, level::size);
  for (int z = 0; z < layers; ++z) {
    int x0 = level::size;
    int y0 = level::size;
    int x1 = -1;
    int y1 = -1;
    bool any = false;
    for (int x = 0; x < level::size; ++x) {
      for (int y = 0; y < level::size; ++y) {
        const int c = level::cellindex(x, y, z);
        any = any || isdead[c] != 0;
        if (room[c] == 0) continue;
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
      }
    }
    if (!any) continue;
    if (layers > 1) lines.push_back("layer " + std::to_string(z));
    for (int y = std::max(0, y0 - 1); y <= std::min(level::size - 1, y1 + 1); ++y) {
      std::string row;
      for (int x = std::max(0, x0 - 1); x <= std::min(level::size - 1, x1 + 1); ++x) {
        const int c = level::cellindex(x, y, z);
        if (player != nullptr && player->x == x && player->y == y && player->z == z) {
          row += '@';
        } else if (isdead[c] != 0) {
          row += 'X';
        } else if (room[c] != 0 && Occupied(lvl, x, y, z)) {
          row += 'o';
        } else if (room[c] != 0) {
          row += '.';
        } else {
          row += Wall(lvl, x, y, z) ? '#' : ' ';
        }
      }
      lines.push_back(row);
    }
  }
  return lines;
}

std::vector<room_plan> RoomPlans(const level& lvl) {
  const std::vector<uint8_t> room = RoomCells(lvl);
  std::vector<room_plan> plans;
  for (int z = 0; z < std::clamp(lvl.depth, 1, level::size); ++z) {
    room_plan plan;
    plan.layer = z;
    for (int x = 0; x < level::size; ++x) {
      for (int y = 0; y < level::size; ++y) {
        if (room[level::cellindex(x, y, z)] == 0) continue;
        ++plan.cells;
        plan.rows[y] = static_cast<uint16_t>(plan.rows[y] | 1u << x);
      }
    }
    if (plan.cells >= kSmallestRoom) plans.push_back(plan);
  }
  return plans;
}

namespace {

// A plan turned or mirrored, moved to the top left corner: its rows and its size.
struct placed_plan {
  uint32_t rows[level::size] = {};
  int width = 0;
  int height = 0;
};

placed_plan Placed(const room_plan& plan, int symmetry) {
  constexpr int centre = level::size / 2;
  int xs[level::layercells];
  int ys[level::layercells];
  int n = 0;
  int minx = level::size;
  int miny = level::size;
  for (int y = 0; y < level::size; ++y) {
    for (unsigned bits = plan.rows[y]; bits != 0; bits &= bits - 1) {
      int tx = std::countr_zero(bits) - centre;
      int ty = y - centre;
      TurnStep(symmetry, tx, ty);
      xs[n] = tx + centre;
      ys[n] = ty + centre;
      minx = std::min(minx, xs[n]);
      miny = std::min(miny, ys[n]);
      ++n;
    }
  }
  placed_plan p;
  for (int i = 0; i < n; ++i) {
    p.rows[ys[i] - miny] |= uint32_t{1} << (xs[i] - minx);
    p.width = std::max(p.width, xs[i] - minx + 1);
    p.height = std::max(p.height, ys[i] - miny + 1);
  }
  return p;
}

}  // namespace

room_overlap PlanOverlap(const room_plan& a, const room_plan& b) {
  room_overlap best;
  best.layera = a.layer;
  best.layerb = b.layer;
  if (a.cells == 0 || b.cells == 0) return best;
  const placed_plan still = Placed(a, 0);
  int most = 0;
  for (int k = 0; k < kSymmetries; ++k) {
    const placed_plan moved = Placed(b, k);
    for (int oy = -(moved.height - 1); oy < still.height; ++oy) {
      for (int ox = -(moved.width - 1); ox < still.width; ++ox) {
        int common = 0;
        for (int r = std::max(0, -oy); r < moved.height && r + oy < still.height; ++r) {
          const uint32_t row = ox >= 0 ? moved.rows[r] << ox : moved.rows[r] >> -ox;
          common += std::popcount(still.rows[r + oy] & row);
        }
        if (common > most) {
          most = common;
          best.symmetry = k;
        }
      }
    }
  }
  best.share = static_cast<double>(most) / (a.cells + b.cells - most);
  return best;
}

room_overlap RoomOverlap(std::span<const room_plan> a, std::span<const room_plan> b) {
  room_overlap best;
  for (const room_plan& ra : a) {
    for (const room_plan& rb : b) {
      // The floor in common is at most the smaller room's.
      if (static_cast<double>(std::min(ra.cells, rb.cells)) / std::max(ra.cells, rb.cells) <= best.share) continue;
      const room_overlap o = PlanOverlap(ra, rb);
      if (o.share > best.share) best = o;
    }
  }
  return best;
}

}  // namespace dusk
