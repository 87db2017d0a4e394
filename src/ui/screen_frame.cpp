// The pieces every menu screen's frame shares.
#include "ui/screen_frame.h"

#include "platform/program.h"
#include "platform/window.h"

namespace dusk {

menu_input ReadMenuInput(const auto_repeat& repeat) {
  menu_input in;
  ReadInput(in.right, in.left, in.down, in.up, in.confirm, in.back, in.mute, repeat);
  return in;
}

void PlayEffects(const effect_list& effects) {
  for (const sound_effect effect : effects) PlayEffect(effect);
}

void EndMenuFrame() {
  PresentFrame(-1);
  if (CloseRequested()) EndProgram();
}

}  // namespace dusk
