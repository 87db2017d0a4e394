// Undo: the level is rebuilt and the recorded steps but the last are played again, so nothing about the
// rules has to be reversed by hand.
#include "screens/level_undo.h"

#include <vector>

#include "persist/replay.h"
#include "screens/level_play.h"

namespace dusk {

namespace {

// The level from its start with the steps played again, each the way it was taken while playing.
void PlayFromStart(level_session& s, const std::vector<int>& steps) {
  // The banner and the blink counter belong to the frame, not to the position, and stay as they are.
  const int banner = s.banner;
  const int blink = s.blink;
  s.levelrec = s.start;
  s.state = level_phase::playing;
  s.endtimer = 0;
  s.stars = 0;
  s.moves = 0;
  s.restart = false;
  s.sliding = false;
  s.message.clear();
  replays.currentreplay = replay{};
  DrawLevel(s.playfield, *s.worldrec, s.levelrec);
  for (const int code : steps) (void)StepLevelFrame(s, StepInput(code));
  s.playfield.ClearParticles();
  s.score = s.stars * play::kStarPoints - s.moves;
  s.banner = banner;
  s.blink = blink;
}

std::vector<int> Steps(const replay& r, int count) {
  std::vector<int> steps;
  for (int i = 0; i < count; ++i) steps.push_back(r.get(i));
  return steps;
}

bool RightAfterRestart(const level_session& s) {
  return replays.currentreplay.maxindex == 0 && !s.restarts.empty();
}

}  // namespace

bool CanUndo(const level_session& s) {
  const replay& steps = replays.currentreplay;
  if (s.state != level_phase::playing && s.state != level_phase::lost) return false;
  if (RightAfterRestart(s)) return true;
  // Past the steps the replay stores, the earlier position can't be rebuilt.
  return steps.maxindex > 0 && steps.maxindex <= replay::kStoredSteps;
}

bool UndoStep(level_session& s) {
  if (!CanUndo(s)) return false;
  if (RightAfterRestart(s)) {
    const replay left = s.restarts.back();
    s.restarts.pop_back();
    PlayFromStart(s, Steps(left, left.maxindex));
    return true;
  }
  PlayFromStart(s, Steps(replays.currentreplay, replays.currentreplay.maxindex - 1));
  return true;
}

}  // namespace dusk
