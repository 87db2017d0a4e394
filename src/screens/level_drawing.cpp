// Drawing a level into its grid, and the teleport burst. The drawing is also the turn's last rule: dissolving
// trail pieces one update old become particles here and leave the level, which the solver mirrors.
#include <string>

#include "platform/clock.h"
#include "platform/random.h"
#include "puzzle/kinds.h"
#include "screens/level_play.h"
#include "screens/level_session.h"
#include "state/progress.h"
#include "state/settings.h"
#include "ui/sound_effects.h"
#include "worlds/world_looks.h"

namespace dusk {

namespace {

constexpr int kOkapiStarGlyph = 20;
constexpr int kDissolveBlink = 6;
constexpr int kDissolveLife = 24;

// The burst's glyph from a draw of 0 to 7, and a colour from a draw of 0 to 5 (255: the cell's own).
int BurstGlyph(int k) {
  static constexpr int glyphs[8] = {0, 176, 177, 178, 4, 255, 0, 255};
  return glyphs[k & 7];
}

int BurstColor(int k) {
  static constexpr int colors[6] = {37, 39, 25, 4, 255, 255};
  return k >= 0 && k < 6 ? colors[k] : 255;
}

}  // namespace

void DrawLevel(tilemap& grid, world& worldrec, level& levelrec) {
  const world& w = worldrec;
  const bool okapi = progress.playername == "OKAPI";
  const cell_look floor = KindLook(w, 0);
  grid.Fill(floor.glyph, floor.fg, floor.bg, 0);
  const level_marks marks = MarkLevel(levelrec);

  for (int z = 0; z < levelrec.depth; ++z) {
    for (int x = 0; x < level::size; ++x) {
      for (int y = 0; y < level::size; ++y) {
        cell_look cell{};
        if (const tile* object = levelrec.obj(x, y, z)) {
          cell = ObjectLook(w, marks, *object, x, y, z);
          if (okapi && object->id == kind::star) cell.glyph = kOkapiStarGlyph;
        } else if (const uint8_t ground = levelrec.map(x, y, z); ground != 0) {
          cell = KindLook(w, ground);
        } else {
          continue;
        }
        grid.SetTile(x, y + z * level::size, cell.glyph, cell.fg, cell.bg, 0);
      }
    }
  }

  for (size_t i = 0; i < levelrec.objs().size();) {
    const tile piece = levelrec.objs()[i];
    const int row = piece.y + piece.z * level::size;
    if (piece.id == kind::dissolvingtrail && piece.f == 1) {
      const cell_look gone = KindLook(w, kind::dissolvingtrail);
      grid.AddParticle(static_cast<float>(piece.x), static_cast<float>(row), 0, 0, kDissolveBlink,
                       kDissolveLife, gone.glyph, gone.fg, gone.bg);
      levelrec.removeobj(i);
      continue;
    }
    const cell_look shown = PieceLook(w, piece);
    grid.SetTile(piece.x, row, shown.glyph, shown.fg, shown.bg, 0);
    ++i;
  }
}

void TeleportBurst(tilemap& grid, int layer, int low, int high, int seed) {
  const int c = settings.teleporteffect;
  if (c == 0) return;
  low -= 15 - 2 * c;
  high += (c - 3) * 9;
  SeedRandom(seed);
  const int first = layer * level::size;
  for (int x = 0; x < grid.tmapw; ++x) {
    for (int r = first; r < first + level::size; ++r) {
      const int glyph = BurstGlyph(RandomInt(0, 7));
      const int fg = BurstColor(RandomInt(0, 5));
      const int bg = BurstColor(RandomInt(0, 5));
      if (RandomInt(low, high) > 0) {
        const int life = RandomInt(8, 32);
        const int blink = RandomInt(0, 4);
        const auto yv = static_cast<float>(RandomReal(-0.2, 0.2));
        const auto xv = static_cast<float>(RandomReal(-0.2, 0.2));
        grid.AddParticle(static_cast<float>(x), static_cast<float>(r), xv, yv, blink, life, glyph, fg, bg);
      }
    }
  }
}

void TeleportEffect(tilemap& grid, int layer, int low, int high) {
  PlayEffect(sound_effect::phase);
  if (settings.teleporteffect == 0) return;
  TeleportBurst(grid, layer, low, high, ClockMs());
}

}  // namespace dusk
