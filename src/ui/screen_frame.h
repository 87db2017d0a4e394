// The end of a menu screen's frame, the same in every menu loop.
#pragma once

namespace dusk {

// Presents the frame at the menu pace of 60 a second; when the window was asked to close, the program
// ends at once without saving (only the main menu saves first, and it checks the close itself).
void EndMenuFrame();

}  // namespace dusk
