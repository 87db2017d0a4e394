// Joystick port 0: a game controller through SDL's mapping (A, B, X, Y are buttons 0 to 3; the left stick
// and the D-pad are the axes), or a raw joystick (its own buttons, axes 0 and 1, hat 0) when no mapping exists.
#include <algorithm>
#include <array>

#include "platform/input.h"
#include "platform/joystick_port.h"
#include "platform/sdl_session.h"

namespace dusk {

namespace {

constexpr int kButtons = 32;

struct port_state {
  sdl::controller_ptr controller;
  sdl::joystick_ptr joystick;  // only when there is no controller mapping
  SDL_JoystickID instance = -1;
  std::array<bool, kButtons> down{};
  std::array<int, kButtons> hits{};
  float stick_x = 0.0f;
  float stick_y = 0.0f;
  // The D-pad (or hat) overrides the stick on its axis while held.
  bool pad_left = false, pad_right = false, pad_up = false, pad_down = false;
};

port_state& Port() {
  static port_state port;
  return port;
}

// The device's raw range −32768 … 32767 mapped so that the full travel runs from −1 to 1.
float AxisValue(Sint16 raw) {
  constexpr float kMin = -32768.0f;
  constexpr float kRange = 65535.0f;
  return (static_cast<float>(raw) - kMin) * 2.0f / kRange - 1.0f;
}

void ButtonChanged(int button, bool pressed) {
  if (button < 0 || button >= kButtons) return;
  port_state& port = Port();
  if (pressed && !port.down[button]) port.hits[button] += 1;
  port.down[button] = pressed;
}

void ClosePort() {
  port_state& port = Port();
  port.controller.reset();
  port.joystick.reset();
  port = port_state{};
}

bool OpenDevice(int index) {
  port_state& port = Port();
  if (SDL_IsGameController(index)) {
    port.controller.reset(SDL_GameControllerOpen(index));
    if (!port.controller) return false;
    SDL_GameController* controller = port.controller.get();
    port.instance = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    // A button already held when the device arrives is not a press.
    for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX && b < kButtons; ++b) {
      port.down[b] = SDL_GameControllerGetButton(controller, static_cast<SDL_GameControllerButton>(b)) != 0;
    }
    port.stick_x = AxisValue(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX));
    port.stick_y = AxisValue(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY));
    port.pad_left = port.down[SDL_CONTROLLER_BUTTON_DPAD_LEFT];
    port.pad_right = port.down[SDL_CONTROLLER_BUTTON_DPAD_RIGHT];
    port.pad_up = port.down[SDL_CONTROLLER_BUTTON_DPAD_UP];
    port.pad_down = port.down[SDL_CONTROLLER_BUTTON_DPAD_DOWN];
    return true;
  }
  port.joystick.reset(SDL_JoystickOpen(index));
  if (!port.joystick) return false;
  SDL_Joystick* joystick = port.joystick.get();
  port.instance = SDL_JoystickInstanceID(joystick);
  const int buttons = std::min(SDL_JoystickNumButtons(joystick), kButtons);
  for (int b = 0; b < buttons; ++b) port.down[b] = SDL_JoystickGetButton(joystick, b) != 0;
  if (SDL_JoystickNumAxes(joystick) > 0) port.stick_x = AxisValue(SDL_JoystickGetAxis(joystick, 0));
  if (SDL_JoystickNumAxes(joystick) > 1) port.stick_y = AxisValue(SDL_JoystickGetAxis(joystick, 1));
  return true;
}

// The pad's direction changes to held: a press of its arrow key, kept for the frame loops. Only from a
// pad at rest: a direction added to one already held (a diagonal, a thumb rolling across the pad) is
// left to the axes, as before, so that one press never makes two steps.
void PadChanged(bool& pad, bool pressed, int arrow) {
  const port_state& port = Port();
  const bool rest = !port.pad_left && !port.pad_right && !port.pad_up && !port.pad_down;
  if (pressed && !pad && rest) joystick::KeepDirectionPress(arrow);
  pad = pressed;
}

void HatChanged(Uint8 hat) {
  port_state& port = Port();
  // A hat moved from rest straight to a diagonal keeps one press, the first of the two in this order.
  PadChanged(port.pad_right, (hat & SDL_HAT_RIGHT) != 0, key::kRight);
  PadChanged(port.pad_left, (hat & SDL_HAT_LEFT) != 0, key::kLeft);
  PadChanged(port.pad_down, (hat & SDL_HAT_DOWN) != 0, key::kDown);
  PadChanged(port.pad_up, (hat & SDL_HAT_UP) != 0, key::kUp);
}

static_assert(kJoyLeftShoulder == SDL_CONTROLLER_BUTTON_LEFTSHOULDER);

void ControllerButton(Uint8 button, bool pressed) {
  port_state& port = Port();
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: PadChanged(port.pad_left, pressed, key::kLeft); break;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: PadChanged(port.pad_right, pressed, key::kRight); break;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: PadChanged(port.pad_up, pressed, key::kUp); break;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: PadChanged(port.pad_down, pressed, key::kDown); break;
    default: break;
  }
  ButtonChanged(button, pressed);
}

float PadAxis(bool negative, bool positive, float stick) {
  if (negative != positive) return negative ? -1.0f : 1.0f;
  return stick;
}

}  // namespace

namespace joystick {

void FindDevice() {
  // A device with a game controller mapping first: other joystick devices may be anything (some
  // computers report motion sensors as joysticks).
  const int count = SDL_NumJoysticks();
  if (PortOpen()) {
    if (PortIsController()) return;
    for (int i = 0; i < count; ++i) {
      if (SDL_IsGameController(i) && SDL_JoystickGetDeviceInstanceID(i) != Port().instance) {
        ClosePort();
        break;
      }
    }
    if (PortOpen()) return;
  }
  for (bool want_mapping : {true, false}) {
    for (int i = 0; i < count; ++i) {
      if ((SDL_IsGameController(i) == SDL_TRUE) != want_mapping) continue;
      if (OpenDevice(i)) return;
      ClosePort();
    }
  }
}

bool PortOpen() { return Port().instance >= 0; }
bool PortIsController() { return Port().controller != nullptr; }

bool HandleEvent(const SDL_Event& event) {
  port_state& port = Port();
  switch (event.type) {
    case SDL_JOYDEVICEADDED:
      FindDevice();  // a controller arriving takes the port from a raw joystick
      return true;
    case SDL_JOYDEVICEREMOVED:
      if (event.jdevice.which == port.instance) {
        ClosePort();
        FindDevice();  // another connected device takes the port
      }
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (port.controller && event.cbutton.which == port.instance) {
        ControllerButton(event.cbutton.button, event.type == SDL_CONTROLLERBUTTONDOWN);
      }
      return true;
    case SDL_CONTROLLERAXISMOTION:
      if (port.controller && event.caxis.which == port.instance) {
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) port.stick_x = AxisValue(event.caxis.value);
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) port.stick_y = AxisValue(event.caxis.value);
      }
      return true;
    // A controller's device also sends raw joystick events; only a port without a mapping reads them.
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
      if (port.joystick && event.jbutton.which == port.instance) {
        ButtonChanged(event.jbutton.button, event.type == SDL_JOYBUTTONDOWN);
      }
      return true;
    case SDL_JOYAXISMOTION:
      if (port.joystick && event.jaxis.which == port.instance) {
        if (event.jaxis.axis == 0) port.stick_x = AxisValue(event.jaxis.value);
        if (event.jaxis.axis == 1) port.stick_y = AxisValue(event.jaxis.value);
      }
      return true;
    case SDL_JOYHATMOTION:
      if (port.joystick && event.jhat.which == port.instance && event.jhat.hat == 0) HatChanged(event.jhat.value);
      return true;
    default:
      return false;
  }
}

}  // namespace joystick

int JoyButtonHits(int button, int port_number) {
  if (port_number != 0 || button < 0 || button >= kButtons) return 0;
  sdl::PumpEvents();
  port_state& port = Port();
  const int hits = port.hits[button];
  port.hits[button] = 0;
  return hits;
}

float JoyAxisX(int port_number) {
  if (port_number != 0) return 0.0f;
  sdl::PumpEvents();
  const port_state& port = Port();
  return PadAxis(port.pad_left, port.pad_right, port.stick_x);
}

float JoyAxisY(int port_number) {
  if (port_number != 0) return 0.0f;
  sdl::PumpEvents();
  const port_state& port = Port();
  return PadAxis(port.pad_up, port.pad_down, port.stick_y);
}

}  // namespace dusk
