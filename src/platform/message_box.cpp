// A message shown by the operating system, for the few messages that come before the game's window exists.
#include "platform/message_box.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace dusk {

namespace {

#if !defined(__EMSCRIPTEN__)
bool HeadlessVideo() {
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  if (driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
    return true;
  }
#if defined(__linux__)
  // No display server to show a box on.
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) return true;
#endif
  return false;
}
#endif

void WriteToStandardError(const std::string& title, const std::string& text) {
  std::fprintf(stderr, "%s\n%s\n", title.c_str(), text.c_str());
  std::fflush(stderr);
}

}  // namespace

bool ShowSystemMessageBox(const std::string& title, const std::string& text) {
#if defined(__EMSCRIPTEN__)
  // A browser's box would be an alert that stops the page; the page shows standard error in place of the
  // game instead.
  (void)title;
  (void)text;
  return false;
#else
  return !HeadlessVideo() &&
         SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr) == 0;
#endif
}

void ShowSystemMessage(const std::string& title, const std::string& text) {
  if (!ShowSystemMessageBox(title, text)) WriteToStandardError(title, text);
}

}  // namespace dusk
