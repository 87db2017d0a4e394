// Name input: the one-line field over the name-input picture.
#include "screens/name_input.h"

#include "display/draw.h"
#include "display/input_field.h"
#include "persist/save.h"
#include "platform/input.h"
#include "screens/main_menu.h"
#include "ui/front_state.h"
#include "ui/menu_colors.h"
#include "ui/screen_frame.h"

namespace dusk {

namespace {

constexpr int kFieldX = 6;
constexpr int kFieldY = 7;

}  // namespace

name_input_state EnterNameInput(progress_state& values) {
  name_input_state state;
  state.text = values.playername;
  state.field = tilemap::Create(kNameLength, 1);
  values.namechosen = 1;
  return state;
}

bool StepNameInput(name_input_state& state, int typed, progress_state& values) {
  state.field.Fill(kNoValue, kNoValue, kNoValue, 1);
  std::string edited =
      EditInputField(state.field, 0, 0, state.text, kEntryColor, kListBackground, kNameLength, typed);
  if (!edited.empty() && edited.back() == '\0') {
    edited.pop_back();
    state.text = edited;
    values.playername = edited;
    if (edited == kUnlockName) UnlockAll(values, 1);
    return true;
  }
  state.text = std::move(edited);
  return false;
}

void DrawNameInput(name_input_state& state) {
  Draw(front.nameinput, 0, 0);
  Draw(state.field, kFieldX, kFieldY);
}

void NameInput() {
  // The key that opened the screen must not land in the field.
  ClearInput();
  name_input_state state = EnterNameInput(progress);
  for (;;) {
    if (StepNameInput(state, NextTypedChar(), progress)) {
      WriteSave(kSaveFile);
      return;
    }
    DrawNameInput(state);
    EndMenuFrame();
    if (KeyHits(key::kEscape)) return;
  }
}

}  // namespace dusk
