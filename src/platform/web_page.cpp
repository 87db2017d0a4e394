// The page's side of the platform: handing control back to the browser through Emscripten's Asyncify, and
// asking the page to store the player's folder. The page script (webpage/duskmarrow-page.js) defines the
// Module functions called here.
#include "platform/web_page.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

#include <chrono>

#include "platform/audio.h"

// clang-format off
EM_ASYNC_JS(void, dusk_wait_for_animation_frame, (), {
  await new Promise((resolve) => requestAnimationFrame(() => resolve()));
});
EM_JS(void, dusk_player_files_changed, (), {
  if (Module.duskPlayerFilesChanged) Module.duskPlayerFilesChanged();
});
// clang-format on

namespace dusk::web {

namespace {

std::chrono::steady_clock::time_point last_turn = std::chrono::steady_clock::now();

void TurnTaken() {
  last_turn = std::chrono::steady_clock::now();
  // Music streams in bounded pieces between frames, since the page has no thread to do it.
  ServiceAudio();
}

}  // namespace

void WaitForAnimationFrame() {
  dusk_wait_for_animation_frame();
  TurnTaken();
}

void Sleep(int ms) {
  emscripten_sleep(static_cast<unsigned>(ms));
  TurnTaken();
}

void Yield() {
  emscripten_sleep(0);
  TurnTaken();
}

void YieldNowAndThen() {
  constexpr auto kLongestTurn = std::chrono::milliseconds(30);
  if (std::chrono::steady_clock::now() - last_turn >= kLongestTurn) Yield();
}

void PlayerFilesChanged() { dusk_player_files_changed(); }

}  // namespace dusk::web

#else

namespace dusk::web {

void WaitForAnimationFrame() {}
void Sleep(int) {}
void Yield() {}
void YieldNowAndThen() {}
void PlayerFilesChanged() {}

}  // namespace dusk::web

#endif
