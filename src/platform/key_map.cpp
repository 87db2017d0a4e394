// Windows virtual-key codes for SDL's scancodes and keycodes; letters follow the keyboard layout.
#include "platform/key_map.h"

#include <iterator>

namespace dusk {

namespace {

struct key_pair {
  SDL_Scancode scancode;
  int virtual_key;
};

// Keys whose code does not depend on the layout. Letters, digits, keypad digits and function keys are
// ranges, handled in code.
constexpr key_pair kKeys[] = {
    {SDL_SCANCODE_BACKSPACE, 8},     {SDL_SCANCODE_TAB, 9},           {SDL_SCANCODE_RETURN, 13},
    {SDL_SCANCODE_KP_ENTER, 13},     {SDL_SCANCODE_PAUSE, 19},        {SDL_SCANCODE_CAPSLOCK, 20},
    {SDL_SCANCODE_ESCAPE, 27},       {SDL_SCANCODE_SPACE, 32},        {SDL_SCANCODE_PAGEUP, 33},
    {SDL_SCANCODE_PAGEDOWN, 34},     {SDL_SCANCODE_END, 35},          {SDL_SCANCODE_HOME, 36},
    {SDL_SCANCODE_LEFT, 37},         {SDL_SCANCODE_UP, 38},           {SDL_SCANCODE_RIGHT, 39},
    {SDL_SCANCODE_DOWN, 40},         {SDL_SCANCODE_PRINTSCREEN, 44},  {SDL_SCANCODE_INSERT, 45},
    {SDL_SCANCODE_DELETE, 46},       {SDL_SCANCODE_LGUI, 91},         {SDL_SCANCODE_RGUI, 92},
    {SDL_SCANCODE_APPLICATION, 93},  {SDL_SCANCODE_KP_MULTIPLY, 106}, {SDL_SCANCODE_KP_PLUS, 107},
    {SDL_SCANCODE_KP_MINUS, 109},    {SDL_SCANCODE_KP_PERIOD, 110},   {SDL_SCANCODE_KP_DIVIDE, 111},
    {SDL_SCANCODE_NUMLOCKCLEAR, 144}, {SDL_SCANCODE_SCROLLLOCK, 145}, {SDL_SCANCODE_LSHIFT, 160},
    {SDL_SCANCODE_RSHIFT, 161},      {SDL_SCANCODE_LCTRL, 162},       {SDL_SCANCODE_RCTRL, 163},
    {SDL_SCANCODE_LALT, 164},        {SDL_SCANCODE_RALT, 165},        {SDL_SCANCODE_SEMICOLON, 186},
    {SDL_SCANCODE_EQUALS, 187},      {SDL_SCANCODE_COMMA, 188},       {SDL_SCANCODE_MINUS, 189},
    {SDL_SCANCODE_PERIOD, 190},      {SDL_SCANCODE_SLASH, 191},       {SDL_SCANCODE_GRAVE, 192},
    {SDL_SCANCODE_LEFTBRACKET, 219}, {SDL_SCANCODE_BACKSLASH, 220},   {SDL_SCANCODE_RIGHTBRACKET, 221},
    {SDL_SCANCODE_APOSTROPHE, 222},
};

constexpr int kVirtualA = 65, kVirtualZ = 90, kVirtual0 = 48, kVirtual1 = 49, kVirtual9 = 57;
constexpr int kVirtualNumpad0 = 96, kVirtualNumpad1 = 97, kVirtualNumpad9 = 105;
constexpr int kVirtualF1 = 112, kVirtualF12 = 123, kVirtualF13 = 124, kVirtualF24 = 135;

int Offset(SDL_Scancode code, SDL_Scancode from) { return static_cast<int>(code) - static_cast<int>(from); }
SDL_Scancode Scancode(SDL_Scancode from, int offset) {
  return static_cast<SDL_Scancode>(static_cast<int>(from) + offset);
}

}  // namespace

int VirtualKeyOf(const SDL_Keysym& keysym) {
  // Letters come from the layout (the key that types "A" is A), as the desktop's own key codes do.
  if (keysym.sym >= SDLK_a && keysym.sym <= SDLK_z) return kVirtualA + static_cast<int>(keysym.sym - SDLK_a);
  const SDL_Scancode code = keysym.scancode;
  if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) return kVirtualA + Offset(code, SDL_SCANCODE_A);
  if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return kVirtual1 + Offset(code, SDL_SCANCODE_1);
  if (code == SDL_SCANCODE_0) return kVirtual0;
  // Keypad digits keep their codes whether Num Lock is on or not: the game steers with 2, 4, 6 and 8.
  if (code >= SDL_SCANCODE_KP_1 && code <= SDL_SCANCODE_KP_9) return kVirtualNumpad1 + Offset(code, SDL_SCANCODE_KP_1);
  if (code == SDL_SCANCODE_KP_0) return kVirtualNumpad0;
  if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F12) return kVirtualF1 + Offset(code, SDL_SCANCODE_F1);
  if (code >= SDL_SCANCODE_F13 && code <= SDL_SCANCODE_F24) return kVirtualF13 + Offset(code, SDL_SCANCODE_F13);
  for (const key_pair& pair : kKeys) {
    if (pair.scancode == code) return pair.virtual_key;
  }
  return 0;
}

bool KeysymOf(int virtual_key, SDL_Keysym& keysym) {
  keysym = SDL_Keysym{};
  SDL_Scancode code = SDL_SCANCODE_UNKNOWN;
  if (virtual_key >= kVirtualA && virtual_key <= kVirtualZ) {
    code = Scancode(SDL_SCANCODE_A, virtual_key - kVirtualA);
  } else if (virtual_key >= kVirtual1 && virtual_key <= kVirtual9) {
    code = Scancode(SDL_SCANCODE_1, virtual_key - kVirtual1);
  } else if (virtual_key == kVirtual0) {
    code = SDL_SCANCODE_0;
  } else if (virtual_key >= kVirtualNumpad1 && virtual_key <= kVirtualNumpad9) {
    code = Scancode(SDL_SCANCODE_KP_1, virtual_key - kVirtualNumpad1);
  } else if (virtual_key == kVirtualNumpad0) {
    code = SDL_SCANCODE_KP_0;
  } else if (virtual_key >= kVirtualF1 && virtual_key <= kVirtualF12) {
    code = Scancode(SDL_SCANCODE_F1, virtual_key - kVirtualF1);
  } else if (virtual_key >= kVirtualF13 && virtual_key <= kVirtualF24) {
    code = Scancode(SDL_SCANCODE_F13, virtual_key - kVirtualF13);
  } else {
    for (const key_pair& pair : kKeys) {
      if (pair.virtual_key == virtual_key) {
        code = pair.scancode;
        break;
      }
    }
  }
  if (code == SDL_SCANCODE_UNKNOWN) return false;
  keysym.scancode = code;
  // The key as a US layout types it; the letters must not depend on the layout of the machine running tests.
  if (virtual_key >= kVirtualA && virtual_key <= kVirtualZ) {
    keysym.sym = SDLK_a + (virtual_key - kVirtualA);
  } else {
    keysym.sym = SDL_GetKeyFromScancode(code);
    if (keysym.sym == SDLK_UNKNOWN) keysym.sym = SDL_SCANCODE_TO_KEYCODE(code);
  }
  return true;
}

int EitherSideKey(int virtual_key) {
  switch (virtual_key) {
    case 160: case 161: return 16;  // Shift
    case 162: case 163: return 17;  // Ctrl
    case 164: case 165: return 18;  // Alt
    default: return 0;
  }
}

int OtherSideKey(int virtual_key) {
  switch (virtual_key) {
    case 160: case 162: case 164: return virtual_key + 1;
    case 161: case 163: case 165: return virtual_key - 1;
    default: return 0;
  }
}

}  // namespace dusk
