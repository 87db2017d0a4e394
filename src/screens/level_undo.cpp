// Undo: the level is rebuilt and the recorded steps but the last are played again, so nothing about the
// rules has to be reversed by hand.
#include "screens/level_undo.h"

#include <vector>

#include "persist/replay.h"
#include "screens/level_play.h"

namespace dusk {

bool CanUndo(const level_session& s) {
  const replay& steps = replays.currentreplay;
  if (s.state != level_phase::playing && s.state != level_phase::lost) return false;
  // Past the steps the replay stores, the earlier position can't be rebuilt.
  return steps.maxindex > 0 && steps.maxindex <= replay::kStoredSteps;
}

bool UndoStep(level_session& s) {
  if (!CanUndo(s)) return false;
  std::vector<int> kept;
  for (int i = 0; i + 1 < replays.currentreplay.maxindex; ++i) kept.push_back(replays.currentreplay.get(i));

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
  for (const int code : kept) {
    // Each step was taken while the level was being played, so it is taken again the same way.
    (void)StepLevelFrame(s, StepInput(code));
  }
  s.playfield.ClearParticles();
  s.score = s.stars * play::kStarPoints - s.moves;
  s.banner = banner;
  s.blink = blink;
  return true;
}

}  // namespace dusk
