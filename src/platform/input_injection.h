// Input for tests: synthetic events fed through SDL's event queue and read by the same code as real ones.
#pragma once

#include <functional>
#include <string>

namespace dusk::inject {

// Keys by virtual-key code. A press is a down and an up; an auto-repeat is a down while held.
void KeyDown(int key);
void KeyRepeat(int key);
void KeyUp(int key);
void KeyPress(int key);
void KeyPressWithAlt(int key);  // a press while Alt is held
// Typed text (UTF-8), as the platform's text input delivers it.
void Text(const std::string& utf8);
void MouseMove(int x, int y);
void MouseButton(int button, bool down);  // 1 left, 2 right, 3 middle
void Click(int x, int y, int button);
void Focus(bool gained);
void RequestClose();

// A device on joystick port 0 made with SDL's virtual joystick, so its events come from SDL's own joystick
// and game controller layers. With a mapping it is a game controller whose buttons and axes are numbered
// as SDL's (buttons 0 A, 1 B, 2 X, 3 Y, 11 to 14 D-pad up, down, left, right; axes 0 left x, 1 left y);
// without one it is a raw joystick with 16 buttons, 2 axes and a hat. False when SDL can't make one.
// Devices attached one after another are all plugged in; the buttons and axes set are the last one's.
[[nodiscard]] bool AttachController(bool mapped);
void DetachController();  // unplugs every attached device
void ControllerButton(int button, bool down);
void ControllerAxis(int axis, int value);  // −32768 … 32767
void ControllerHat(int value);             // SDL_HAT_* bits, raw joystick only

// Called after every PresentFrame with the number of frames presented since it was set (1, 2, …), so a
// test can feed each frame's input to a screen that runs its own loop. An empty function removes it.
void SetFrameHook(std::function<void(int frame)> hook);
void RunFrameHook();  // for PresentFrame

}  // namespace dusk::inject
