// Damaged screen files reported in the game's "Error!" popup.
#pragma once

namespace dusk {

// Makes the screen file reader report through ShowMessage. Start-up calls it once the window is open; before
// that, reports go to standard error.
void InstallPopupErrorReporting();

}  // namespace dusk
