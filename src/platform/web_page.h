// The page around the game when it runs in a browser. The game's loops stay as they are: the calls here
// hand control back to the browser where the desktop would wait. On the desktop every call does nothing.
#pragma once

namespace dusk::web {

#ifdef __EMSCRIPTEN__
inline constexpr bool kInBrowser = true;
#else
inline constexpr bool kInBrowser = false;
#endif

// Gives the browser its turn (input, timers, sound, showing the frame) and comes back at its next animation
// frame: the browser's vertical sync.
void WaitForAnimationFrame();
// Gives the browser its turn for ms milliseconds: the page's sleep.
void Sleep(int ms);
// Gives the browser a short turn and comes back as soon as it is done.
void Yield();
// Gives the browser a short turn when the last one was more than a few milliseconds ago, so that a run
// on the virtual clock, which never waits, still leaves the page alive.
void YieldNowAndThen();
// Something in the player's folder was written or removed: the page copies the folder into the browser's
// storage once the game next gives it a turn, so that it outlives a reload.
void PlayerFilesChanged();

}  // namespace dusk::web
