// Keyboard, typed characters, mouse and close requests, read from SDL's events whenever input is asked for.
#include "platform/input.h"
#include "platform/render_state.h"

#include <array>
#include <cstdint>

#include "platform/joystick_port.h"
#include "platform/key_map.h"
#include "platform/render_state.h"
#include "platform/sdl_session.h"

namespace dusk {

namespace {

constexpr int kKeys = 256;
constexpr size_t kTypedCapacity = 256;
constexpr size_t kKeptPresses = 32;

struct key_state {
  bool down = false;
  bool pressed = false;  // a press was seen since ClearInput, so its auto-repeats type
  int hits = 0;
  int typedhits = 0;
  // The presses not yet taken by a frame loop, oldest first, by their place among all presses.
  std::array<uint32_t, kKeptPresses> kept{};
  size_t keptcount = 0;
};

struct input_state {
  std::array<key_state, kKeys> keys{};
  uint32_t presses = 0;  // every press so far, to order the kept ones
  // The typed characters not yet taken, as a ring.
  std::array<int, kTypedCapacity> typed{};
  size_t typed_first = 0;
  size_t typed_count = 0;
  int mouse_x = 0;
  int mouse_y = 0;
  std::array<bool, 4> mouse_down{};
  bool close_requested = false;
};

input_state& Input() {
  static input_state input;
  return input;
}

void PushTyped(int character) {
  input_state& input = Input();
  if (character == 0 || input.typed_count == kTypedCapacity) return;  // a full queue drops what is typed
  input.typed[(input.typed_first + input.typed_count) % kTypedCapacity] = character;
  input.typed_count += 1;
}

// Each Unicode code point of the text becomes one character, its code's low 8 bits.
void PushTypedText(const char* text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p != 0) {
    unsigned int code = *p;
    int extra = 0;
    if (code >= 0xF0 && code < 0xF8) {
      code &= 0x07;
      extra = 3;
    } else if (code >= 0xE0) {
      code &= 0x0F;
      extra = 2;
    } else if (code >= 0xC0) {
      code &= 0x1F;
      extra = 1;
    } else if (code >= 0x80) {
      ++p;  // a stray continuation byte is no character
      continue;
    }
    ++p;
    bool complete = true;
    for (int i = 0; i < extra; ++i) {
      if ((*p & 0xC0) != 0x80) {
        complete = false;
        break;
      }
      code = (code << 6) | (*p & 0x3Fu);
      ++p;
    }
    if (complete) PushTyped(static_cast<int>(code & 0xFFu));
  }
}

// Keeps a press for the frame loops, in the order of all presses.
void KeepPress(key_state& key) {
  // A burst beyond what any frame loop takes in turn is dropped rather than stored without end.
  if (key.keptcount < kKeptPresses) key.kept[key.keptcount++] = Input().presses;
  Input().presses += 1;
}

void SetKey(int code, bool pressed, bool repeat) {
  key_state& key = Input().keys[static_cast<size_t>(code)];
  // A repeat never counts as a hit, but it marks a key held across ClearInput as down again.
  if (pressed && (repeat ? key.pressed : !key.down)) key.typedhits += 1;
  if (pressed && !key.down && !repeat) {
    key.hits += 1;
    key.pressed = true;
    KeepPress(key);
  }
  key.down = pressed;
}

void KeyChanged(const SDL_KeyboardEvent& event) {
  const int code = VirtualKeyOf(event.keysym);
  const bool pressed = event.state == SDL_PRESSED;
  const bool repeat = event.repeat != 0;
  // Alt+Enter is the desktop's fullscreen key: it counts as a hit of F11 and never as Enter, so no screen
  // takes it for confirm.
  if (code == key::kEnter && (event.keysym.mod & KMOD_ALT) != 0) {
    if (pressed && !repeat) Input().keys[static_cast<size_t>(key::kF11)].hits += 1;
    return;
  }
  if (code > 0 && code < kKeys) {
    SetKey(code, pressed, repeat);
    if (const int either = EitherSideKey(code)) {
      const bool was_down = Input().keys[static_cast<size_t>(either)].down;
      const bool now_down = pressed || Input().keys[static_cast<size_t>(OtherSideKey(code))].down;
      if (now_down != was_down || (pressed && !repeat)) SetKey(either, now_down, repeat || was_down);
    }
  }
  // Backspace and Enter type their control characters, held ones repeating as typing does.
  if (pressed && (code == key::kBackspace || code == key::kEnter)) PushTyped(code);
}

void ClearKeysAndButtons() {
  ClearInput();
  Input().mouse_down = {};
}

void HandleEvent(const SDL_Event& event) {
  input_state& input = Input();
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      KeyChanged(event.key);
      break;
    case SDL_TEXTINPUT:
      PushTypedText(event.text.text);
      break;
    case SDL_MOUSEMOTION:
      input.mouse_x = event.motion.x;
      input.mouse_y = event.motion.y;
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      input.mouse_x = event.button.x;
      input.mouse_y = event.button.y;
      int button = 0;
      if (event.button.button == SDL_BUTTON_LEFT) button = 1;
      if (event.button.button == SDL_BUTTON_RIGHT) button = 2;
      if (event.button.button == SDL_BUTTON_MIDDLE) button = 3;
      if (button != 0) input.mouse_down[static_cast<size_t>(button)] = event.type == SDL_MOUSEBUTTONDOWN;
      break;
    }
    case SDL_WINDOWEVENT:
      // Keys released while another window had the focus would otherwise stay down for good.
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST || event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
        ClearKeysAndButtons();
      }
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) input.close_requested = true;
      // The window's contents may be gone; the next frame is drawn even if it repeats the last one.
      if (event.window.event == SDL_WINDOWEVENT_EXPOSED || event.window.event == SDL_WINDOWEVENT_SHOWN ||
          event.window.event == SDL_WINDOWEVENT_RESTORED ||
          event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        Render().redraw_needed = true;
      }
      break;
    case SDL_QUIT:
      input.close_requested = true;
      break;
    default:
      joystick::HandleEvent(event);
      break;
  }
}

}  // namespace

namespace joystick {

void KeepDirectionPress(int code) {
  if (code <= 0 || code >= kKeys) return;
  KeepPress(Input().keys[static_cast<size_t>(code)]);
}

}  // namespace joystick

namespace sdl {

bool EnsureEvents() {
  static bool tried = false;
  static bool ready = false;
  if (tried) return ready;
  tried = true;
  if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) return false;
  ready = true;
  // Without joysticks the keyboard and mouse still work.
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) == 0) joystick::FindDevice();
  SDL_StartTextInput();
  return true;
}

void PumpEvents() {
  if (!EnsureEvents()) return;
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) HandleEvent(event);
}

bool TakeCloseRequest() {
  const bool requested = Input().close_requested;
  Input().close_requested = false;
  return requested;
}

}  // namespace sdl

int KeyHits(int code) {
  if (code < 0 || code >= kKeys) return 0;
  sdl::PumpEvents();
  key_state& key = Input().keys[static_cast<size_t>(code)];
  const int hits = key.hits;
  key.hits = 0;
  return hits;
}

int KeyTypedHits(int code) {
  if (code < 0 || code >= kKeys) return 0;
  sdl::PumpEvents();
  key_state& key = Input().keys[static_cast<size_t>(code)];
  const int hits = key.typedhits;
  key.typedhits = 0;
  return hits;
}

int KeyIsDown(int code) {
  if (code < 0 || code >= kKeys) return 0;
  sdl::PumpEvents();
  return Input().keys[static_cast<size_t>(code)].down ? 1 : 0;
}

int TakeFirstPress(std::span<const int> keys) {
  sdl::PumpEvents();
  input_state& input = Input();
  key_state* first = nullptr;
  int first_code = 0;
  for (const int code : keys) {
    if (code < 0 || code >= kKeys) continue;
    key_state& key = input.keys[static_cast<size_t>(code)];
    // Presses are numbered by a wrapping counter: the one furthest behind the next number came first.
    if (key.keptcount > 0 &&
        (first == nullptr || input.presses - key.kept[0] > input.presses - first->kept[0])) {
      first = &key;
      first_code = code;
    }
  }
  if (first == nullptr) return 0;
  for (size_t i = 1; i < first->keptcount; ++i) first->kept[i - 1] = first->kept[i];
  first->keptcount -= 1;
  return first_code;
}

bool PressPending(int code) {
  if (code < 0 || code >= kKeys) return false;
  sdl::PumpEvents();
  return Input().keys[static_cast<size_t>(code)].keptcount > 0;
}

int NextTypedChar() {
  sdl::PumpEvents();
  input_state& input = Input();
  if (input.typed_count == 0) return 0;
  const int character = input.typed[input.typed_first];
  input.typed_first = (input.typed_first + 1) % kTypedCapacity;
  input.typed_count -= 1;
  return character;
}

void ClearInput() {
  input_state& input = Input();
  input.keys = {};
  input.typed_first = 0;
  input.typed_count = 0;
}

// The mouse in the frame's pixels: in fullscreen the frame sits centred in the screen.
int MousePixelX() {
  sdl::PumpEvents();
  return Input().mouse_x - Render().frame_x;
}

int MousePixelY() {
  sdl::PumpEvents();
  return Input().mouse_y - Render().frame_y;
}

int MouseButtonDown(int button) {
  if (button < 1 || button > 3) return 0;
  sdl::PumpEvents();
  return Input().mouse_down[static_cast<size_t>(button)] ? 1 : 0;
}

}  // namespace dusk
