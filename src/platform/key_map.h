// Translation between SDL's keys and the Windows virtual-key codes the game uses everywhere.
#pragma once

#include <SDL.h>

namespace dusk {

// The virtual-key code of a key event, 0 for keys the game has no code for.
int VirtualKeyOf(const SDL_Keysym& keysym);
// A key event's keysym for a virtual-key code (for injected events); false for codes with no key.
bool KeysymOf(int virtual_key, SDL_Keysym& keysym);
// For the side-specific modifier codes (left/right Shift, Ctrl, Alt), the code of both sides; else 0.
int EitherSideKey(int virtual_key);
// The other side's code of a side-specific modifier; else 0.
int OtherSideKey(int virtual_key);

}  // namespace dusk
