// What one frame of level play shows: the grids it draws, where, and which part of each, in drawing order.
// Making the picture changes nothing but the message strip's text; drawing it is the loop's job.
#pragma once

#include <array>

#include "display/tilemap.h"
#include "screens/level_session.h"
#include "ui/front_state.h"

namespace dusk {

struct frame_draw {
  tilemap* grid = nullptr;
  int sx = 0;  // window cell of the grid's view's top-left corner
  int sy = 0;
  int vx = 0;  // the view: vw × vh cells from (vx, vy); -1 for all
  int vy = 0;
  int vw = -1;
  int vh = -1;
};

struct frame_picture {
  std::array<frame_draw, 12> draws{};
  int count = 0;

  void Add(tilemap* grid, int sx, int sy, int vx = 0, int vy = 0, int vw = -1, int vh = -1) {
    if (grid != nullptr && count < static_cast<int>(draws.size()))
      draws[static_cast<size_t>(count++)] = frame_draw{grid, sx, sy, vx, vy, vw, vh};
  }
  // The draw of a grid, or nullptr when the frame doesn't show it.
  const frame_draw* Find(const tilemap* grid) const {
    for (int i = 0; i < count; ++i) {
      if (draws[static_cast<size_t>(i)].grid == grid) return &draws[static_cast<size_t>(i)];
    }
    return nullptr;
  }
};

// The picture of the frame between BeginLevelFrame and StepLevelFrame, with the hud, help, win and lose
// screens of the front end (those that could not be read are left out).
frame_picture LevelFramePicture(level_session& session, front_state& screens);

// Clears the window and draws the picture (moving and ageing the particles of the grids drawn).
void DrawPicture(const frame_picture& picture);

}  // namespace dusk
