// The files built into the executable: the eleven screens, the credits text and the five sound effects.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace dusk {

struct embedded_file {
  const char* name;  // as registered, e.g. "incbin\help.qtm" or "sounds\bip.ogg"
  const uint8_t* data;
  size_t size;
};

// Every embedded file, in the order start-up registers them.
std::span<const embedded_file> EmbeddedFiles();

// Registers them all in that order, so that "incbin::" + name opens each one.
void RegisterEmbeddedFiles();

}  // namespace dusk
