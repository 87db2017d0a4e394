// Shared SDL set-up for the window, drawing and input code; only platform sources include it.
#pragma once

#include <SDL.h>

#include <memory>

namespace dusk::sdl {

struct window_deleter {
  void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};
struct renderer_deleter {
  void operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
};
struct texture_deleter {
  void operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
};
struct controller_deleter {
  void operator()(SDL_GameController* controller) const { SDL_GameControllerClose(controller); }
};
struct joystick_deleter {
  void operator()(SDL_Joystick* joystick) const { SDL_JoystickClose(joystick); }
};
using window_ptr = std::unique_ptr<SDL_Window, window_deleter>;
using renderer_ptr = std::unique_ptr<SDL_Renderer, renderer_deleter>;
using texture_ptr = std::unique_ptr<SDL_Texture, texture_deleter>;
using controller_ptr = std::unique_ptr<SDL_GameController, controller_deleter>;
using joystick_ptr = std::unique_ptr<SDL_Joystick, joystick_deleter>;

// Events, joysticks and game controllers; started once, on first use. False when SDL can't start.
bool EnsureEvents();
// Reads every pending event into the input state (keys, text, mouse, joystick, focus, close requests).
void PumpEvents();
// Takes the close request noted by PumpEvents: true once per request.
bool TakeCloseRequest();
// True when windows are not shown on a real display (SDL's offscreen or dummy video driver).
bool HeadlessVideo();
// The open window's id, 0 when none; injected events carry it like real ones.
Uint32 CurrentWindowId();

}  // namespace dusk::sdl
