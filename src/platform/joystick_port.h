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
// A D-pad or hat press kept in the order of all key presses as a press of the arrow key, so that a tap
// shorter than a frame still steps. Its hold is read from the axes, as before.
void KeepDirectionPress(int key);

}  // namespace dusk::joystick
