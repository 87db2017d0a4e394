// Feeds any bytes to the save file decoder. A file it accepts must come back the same through the
// encoder, and the settings it hands to the game must be in their ranges. The tamper stop is ReadSave's
// and is left out: the decoder only reports it.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "persist/save.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  dusk::progress_state progress;
  dusk::settings_state settings;
  if (dusk::DecodeSave(bytes, progress, settings) != dusk::save_status::loaded) return 0;
  Check(settings.windowscale >= 1 && settings.windowscale <= 8);
  Check(settings.teleporteffect >= 0 && settings.teleporteffect <= 7);
  Check(settings.brightness >= -126 && settings.brightness <= 126);
  Check(settings.contrast >= -126 && settings.contrast <= 126);

  const std::vector<uint8_t> again = dusk::EncodeSave(progress, settings);
  Check(again.size() == 799 + progress.playername.size());
  dusk::progress_state progress2;
  dusk::settings_state settings2;
  Check(dusk::DecodeSave(again, progress2, settings2) == dusk::save_status::loaded);
  Check(progress2.playername == progress.playername && progress2.bestscore == progress.bestscore &&
        progress2.levelunlocked == progress.levelunlocked &&
        progress2.worldunlocked == progress.worldunlocked && progress2.namechosen == progress.namechosen);
  Check(settings2.windowscale == settings.windowscale && settings2.brightness == settings.brightness &&
        settings2.musicon == settings.musicon && settings2.soundsaved == settings.soundsaved);
  return 0;
}
