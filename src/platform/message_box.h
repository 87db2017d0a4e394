// A message shown by the operating system, for the few messages that come before the game's window exists.
#pragma once

#include <string>

namespace dusk {

// A system message box with one "Ok" button, waiting until it is closed. Without a display (SDL's offscreen
// or dummy video driver, or no display server at all) the title and text go to standard error instead.
void ShowSystemMessage(const std::string& title, const std::string& text);

// The box alone: false, and nothing shown, without a display or when the system can't show it. Never
// blocks headless.
bool ShowSystemMessageBox(const std::string& title, const std::string& text);

}  // namespace dusk
