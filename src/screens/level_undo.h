// Taking back the last step of level play, by playing the level again from its start without that step.
#pragma once

#include "screens/level_session.h"

namespace dusk {

// Whether undo can do something: the level is being played or lost (not won, not behind the help screen),
// and either there is a last step, every step since the start still held by currentreplay, or no step was
// taken since a restart whose position was kept.
bool CanUndo(const level_session& session);

// Rebuilds the level from its start and plays currentreplay without its last step through the level
// play's own step, so movers, gates, doors, the dissolving trail and the stars come back exactly as they
// were; the moves, the score and currentreplay fall back with it. A lost level is played again. Right
// after a restart it brings back the position the restart left, with its moves, score and replay (a lost
// or won one as it was); undo goes on stepping back from there. False when there was nothing to take back.
bool UndoStep(level_session& session);

}  // namespace dusk
