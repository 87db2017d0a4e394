// Joystick port 0: the first connected game controller, or raw joystick; only platform sources include it.
#pragma once

#include <SDL.h>

namespace dusk::joystick {

// Opens the first connected device when the port is empty.
void FindDevice();
// Handles device arrivals and removals, buttons, axes and hats; false for events that are not the port's.
bool HandleEvent(const SDL_Event& event);
// Whether the port holds a device, and whether it is read through SDL's game controller mapping.
bool PortOpen();
bool PortIsController();

}  // namespace dusk::joystick
