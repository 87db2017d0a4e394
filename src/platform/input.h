// Keyboard (Windows virtual-key codes), typed characters, mouse and joystick port 0.
#pragma once

#include <span>

namespace dusk {

namespace key {
inline constexpr int kBackspace = 8, kTab = 9, kEnter = 13, kEscape = 27, kSpace = 32;
inline constexpr int kEnd = 35, kHome = 36, kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kDelete = 46;
inline constexpr int kA = 65, kD = 68, kM = 77, kR = 82, kS = 83, kW = 87;
inline constexpr int kNumpad2 = 98, kNumpad4 = 100, kNumpad6 = 102, kNumpad8 = 104;
inline constexpr int kF1 = 112, kF11 = 122, kF12 = 123;
inline constexpr int kV = 86, kZ = 90, kH = 72;
inline constexpr int kLeftCtrl = 162, kRightCtrl = 163;
}  // namespace key

// The left shoulder button of a mapped game controller, as joystick port 0 numbers its buttons.
inline constexpr int kJoyLeftShoulder = 9;

int KeyHits(int key);
int KeyIsDown(int key);
// Presses of the key and its auto-repeats while held since then, as a text field counts them, since the last
// call for the key; resets the count. A key held down across ClearInput repeats nothing until pressed again.
int KeyTypedHits(int key);
// Every press of a key (not its auto-repeat) is also kept, in the order of all presses, until a frame loop
// takes it, so a key pressed and let go between two frames is still seen, and two taps within one frame
// are seen one after the other. Takes the earliest kept press of any of the keys and returns its key; 0
// when none of them has one. ClearInput forgets the kept presses; up to 32 a key are kept.
int TakeFirstPress(std::span<const int> keys);
// Whether a press of the key is kept and not yet taken.
bool PressPending(int key);
int NextTypedChar();
void ClearInput();
int MousePixelX();
int MousePixelY();
int MouseButtonDown(int button);  // 1 left, 2 right, 3 middle
int JoyButtonHits(int button, int port);
float JoyAxisX(int port);
float JoyAxisY(int port);

}  // namespace dusk
