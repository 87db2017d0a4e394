// Sound effects go through the settings' sound switch, so no screen has to check it itself.
#include "ui/sound_effects.h"

#include "state/settings.h"
#include "ui/audio_state.h"

namespace dusk {

namespace {

const sound_ptr& EffectSound(sound_effect effect) {
  switch (effect) {
    case sound_effect::bip: return audio.bip;
    case sound_effect::slide: return audio.slide;
    case sound_effect::sweep: return audio.sweep;
    case sound_effect::whip: return audio.whip;
    case sound_effect::phase: break;
  }
  return audio.phase;
}

}  // namespace

void PlayEffect(sound_effect effect) {
  if (!settings.soundon) return;
  const sound_ptr& sound = EffectSound(effect);
  if (sound) PlaySound(sound);
}

}  // namespace dusk
