// Synthetic input events for tests, pushed into SDL's queue so they take the real event path.
#include "platform/input_injection.h"

#include <cstring>
#include <vector>

#include "platform/key_map.h"
#include "platform/sdl_session.h"

namespace dusk::inject {

namespace {

struct injection_state {
  // Our handles on the virtual devices, for setting their buttons and axes; the last one is driven.
  std::vector<sdl::joystick_ptr> devices;
  int mouse_x = 0;  // button events carry the position of the last injected move
  int mouse_y = 0;
  std::function<void(int)> frame_hook;
  int frames = 0;
};

injection_state& State() {
  static injection_state state;
  return state;
}

void Push(SDL_Event& event) {
  if (!sdl::EnsureEvents()) return;
  event.common.timestamp = SDL_GetTicks();
  SDL_PushEvent(&event);
}

void PushKey(int key, bool down, bool repeat, Uint16 modifiers = KMOD_NONE) {
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.windowID = sdl::CurrentWindowId();
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat ? 1 : 0;
  if (!KeysymOf(key, event.key.keysym)) return;
  event.key.keysym.mod = modifiers;
  Push(event);
}

void PushWindowEvent(SDL_WindowEventID id) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = sdl::CurrentWindowId();
  event.window.event = static_cast<Uint8>(id);
  Push(event);
}

size_t CodePointLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

void KeyDown(int key) { PushKey(key, true, false); }
void KeyRepeat(int key) { PushKey(key, true, true); }
void KeyUp(int key) { PushKey(key, false, false); }

void KeyPress(int key) {
  KeyDown(key);
  KeyUp(key);
}

void KeyPressWithAlt(int key) {
  PushKey(key, true, false, KMOD_LALT);
  PushKey(key, false, false, KMOD_LALT);
}

void Text(const std::string& utf8) {
  // One event holds a few bytes; longer text comes in pieces split between code points, as from SDL.
  constexpr size_t kCapacity = SDL_TEXTINPUTEVENT_TEXT_SIZE - 1;
  size_t start = 0;
  while (start < utf8.size()) {
    size_t end = start;
    while (end < utf8.size()) {
      const size_t length = CodePointLength(static_cast<unsigned char>(utf8[end]));
      if (end + length - start > kCapacity) break;
      end += length;
    }
    if (end == start) break;
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = sdl::CurrentWindowId();
    std::memcpy(event.text.text, utf8.data() + start, std::min(end, utf8.size()) - start);
    Push(event);
    start = end;
  }
}

void MouseMove(int x, int y) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.windowID = sdl::CurrentWindowId();
  event.motion.x = x;
  event.motion.y = y;
  State().mouse_x = x;
  State().mouse_y = y;
  Push(event);
}

void MouseButton(int button, bool down) {
  SDL_Event event{};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.windowID = sdl::CurrentWindowId();
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.clicks = 1;
  if (button == 1) event.button.button = SDL_BUTTON_LEFT;
  if (button == 2) event.button.button = SDL_BUTTON_RIGHT;
  if (button == 3) event.button.button = SDL_BUTTON_MIDDLE;
  if (event.button.button == 0) return;
  event.button.x = State().mouse_x;
  event.button.y = State().mouse_y;
  Push(event);
}

void Click(int x, int y, int button) {
  MouseMove(x, y);
  MouseButton(button, true);
  MouseButton(button, false);
}

void Focus(bool gained) { PushWindowEvent(gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST); }

void RequestClose() { PushWindowEvent(SDL_WINDOWEVENT_CLOSE); }

bool AttachController(bool mapped) {
  if (!sdl::EnsureEvents() || SDL_WasInit(SDL_INIT_JOYSTICK) == 0) return false;
  injection_state& state = State();
  const int index = mapped ? SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                       SDL_CONTROLLER_BUTTON_MAX, 0)
                           : SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 16, 1);
  if (index < 0) return false;
  sdl::joystick_ptr device(SDL_JoystickOpen(index));
  if (!device) {
    SDL_JoystickDetachVirtual(index);
    return false;
  }
  state.devices.push_back(std::move(device));
  // The port takes the device now, as it would have by the next frame; buttons set after this are presses.
  sdl::PumpEvents();
  return true;
}

void DetachController() {
  injection_state& state = State();
  while (!state.devices.empty()) {
    // Indices move as devices come and go; the instance id does not.
    const SDL_JoystickID instance = SDL_JoystickInstanceID(state.devices.back().get());
    state.devices.pop_back();
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
      if (SDL_JoystickGetDeviceInstanceID(i) == instance) {
        SDL_JoystickDetachVirtual(i);
        break;
      }
    }
  }
}

namespace {

SDL_Joystick* Driven() { return State().devices.empty() ? nullptr : State().devices.back().get(); }

}  // namespace

void ControllerButton(int button, bool down) {
  if (SDL_Joystick* device = Driven()) SDL_JoystickSetVirtualButton(device, button, down ? 1 : 0);
}

void ControllerAxis(int axis, int value) {
  if (SDL_Joystick* device = Driven()) SDL_JoystickSetVirtualAxis(device, axis, static_cast<Sint16>(value));
}

void ControllerHat(int value) {
  if (SDL_Joystick* device = Driven()) SDL_JoystickSetVirtualHat(device, 0, static_cast<Uint8>(value));
}

void SetFrameHook(std::function<void(int frame)> hook) {
  State().frame_hook = std::move(hook);
  State().frames = 0;
}

void RunFrameHook() {
  injection_state& state = State();
  if (!state.frame_hook) return;
  state.frames += 1;
  // A copy, so that a hook may replace itself.
  auto hook = state.frame_hook;
  hook(state.frames);
}

}  // namespace dusk::inject
