// The replay viewer of the level select: a level's stored replay played through level play's own step and
// drawing, a step every few frames, until any key ends it.
#pragma once

#include <optional>
#include <vector>

#include "persist/replay.h"
#include "screens/level_session.h"

namespace dusk {

inline constexpr int kViewerStepFrames = 8;  // frames between two steps of the replay

struct replay_viewer {
  level_session session;
  std::vector<int> steps;
  int next = 0;   // the next step to play
  int frame = 0;  // frames since the viewer started
};

// The viewer of a replay over level l of world w; none when the level can't be built. currentreplay is
// kept as it was.
std::optional<replay_viewer> StartReplayViewer(int w, int l, const replay& recording);

// One frame: the session's frame start, then (every few frames) the next step. The picture is taken
// between the two, as level play takes it.
void BeginViewerFrame(replay_viewer& viewer);
void StepViewerFrame(replay_viewer& viewer);

// The viewer's own loop over the replay file of level l of world w: false at once when there is no
// readable replay or level. Any key ends it.
bool ViewReplay(int w, int l);

}  // namespace dusk
