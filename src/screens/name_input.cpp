// Name input: the one-line field over the name-input picture.
#include "screens/name_input.h"

#include <utility>

#include "display/draw.h"
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

// The frame's editing key; held ones repeat as the keyboard repeats them.
field_key ReadFieldKey() {
  static constexpr std::pair<int, field_key> kKeys[] = {
      {key::kLeft, field_key::left}, {key::kRight, field_key::right}, {key::kHome, field_key::home},
      {key::kEnd, field_key::end},   {key::kDelete, field_key::del},
  };
  field_key found = field_key::none;
  // Every key is asked, so that none keeps its presses for later.
  for (const auto& [code, key] : kKeys) {
    if (KeyTypedHits(code) > 0 && found == field_key::none) found = key;
  }
  return found;
}

}  // namespace

name_input_state EnterNameInput(progress_state& values) {
  name_input_state state;
  state.edit = SelectedField(values.playername);
  state.field = tilemap::Create(kNameLength, 1);
  values.namechosen = 1;
  return state;
}

bool StepNameInput(name_input_state& state, int typed, progress_state& values, field_key key) {
  state.field.Fill(kNoValue, kNoValue, kNoValue, 1);
  if (!EditTextField(state.field, 0, 0, state.edit, kEntryColor, kListBackground, kNameLength, typed, key)) {
    return false;
  }
  values.playername = state.edit.text;
  if (state.edit.text == kUnlockName) UnlockAll(values, 1);
  return true;
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
    if (StepNameInput(state, NextTypedChar(), progress, ReadFieldKey())) {
      WriteSave(kSaveFile);
      return;
    }
    DrawNameInput(state);
    EndMenuFrame();
    if (KeyHits(key::kEscape)) return;
  }
}

}  // namespace dusk
