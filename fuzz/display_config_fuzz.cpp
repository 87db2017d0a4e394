// Feeds any bytes to the display configuration reader, and to the palette and glyph sheet loaders as image
// files. Errors must end in FatalError with a message (caught here through the test hook), never a crash;
// what the reader keeps must stay within its slots.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "display/display_config.h"
#include "display/display_state.h"
#include "platform/program.h"
#include "platform/stream.h"

namespace {

struct fatal_error_thrown {};

void ThrowFatalError(const std::string& message) {
  if (message.empty()) std::abort();  // every error has its message
  throw fatal_error_thrown{};
}

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string ScratchFile() {
  static const std::string path = "/tmp/dusk_display_config_fuzz_" + std::to_string(::getpid());
  return path;
}

void WriteScratch(const std::string& path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  dusk::SetFatalErrorHandlerForTesting(ThrowFatalError);
  dusk::ResetDisplay();
  const int mode = data[0] % 4;
  const uint8_t* body = data + 1;
  const size_t length = size - 1;
  try {
    if (mode == 0) {
      dusk::ReadDisplayConfigLines(*dusk::OpenMemory(std::vector<uint8_t>(body, body + length)), "fuzz.txt");
      Check(dusk::display.configloaded == 1);
    } else if (mode == 1) {
      const std::string line(reinterpret_cast<const char*>(body), length);
      dusk::SplitConfigLine(line, "on line 1 of fuzz.txt");
      for (const std::string& slot : dusk::display.configargs) Check(slot.size() <= line.size());
    } else if (mode == 2) {
      WriteScratch(ScratchFile() + ".png", body, length);
      dusk::LoadPalette(ScratchFile() + ".png");
    } else {
      WriteScratch(ScratchFile() + "_fg.png", body, length);
      WriteScratch(ScratchFile() + "_bg.png", body, length);
      dusk::LoadTileset(ScratchFile() + ".png");
      Check(dusk::display.glyphwidth > 0 || dusk::display.fgsheet);
    }
  } catch (const fatal_error_thrown&) {
  }
  dusk::SetFatalErrorHandlerForTesting(nullptr);
  return 0;
}
