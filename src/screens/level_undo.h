// Taking back the last step of level play, by playing the level again from its start without that step.
#pragma once

#include "screens/level_session.h"

namespace dusk {

// Whether the last step can be taken back: there is one, the level is being played or lost (not won, not
// behind the help screen), and every step since the start is still held by currentreplay.
bool CanUndo(const level_session& session);

// Rebuilds the level from its start and plays currentreplay without its last step through the level
// play's own step, so movers, gates, doors, the dissolving trail and the stars come back exactly as they
// were; the moves, the score and currentreplay fall back with it. A lost level is played again. False
// when there was nothing to take back.
bool UndoStep(level_session& session);

}  // namespace dusk
