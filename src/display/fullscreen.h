// Desktop fullscreen for the game's screen: drawn at the largest whole-number scale that fits, centred.
#pragma once

namespace dusk {

// Into desktop fullscreen, or back to the window at its own scale.
void ToggleFullscreen();
// After the window was opened at its windowed scale: back into fullscreen when the player had chosen it.
void ApplyWindowMode();

}  // namespace dusk
