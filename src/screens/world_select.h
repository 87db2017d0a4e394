// The world select: the unlocked worlds, each with its "*" when every level reached its high score.
#pragma once

#include "ui/select_list.h"

namespace dusk {

inline constexpr const char* kWorldSelectTitle = "World select";

// The list of the listed worlds: unlocked, below numworlds and with a loaded record.
select_screen BuildWorldList();

// Shows the list with the cursor on the given row; the chosen world number, or -1 for back.
int WorldSelect(int cursor);

}  // namespace dusk
