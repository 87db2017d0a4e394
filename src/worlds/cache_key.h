// Keys for the caches the authoring tools keep in the build folder: a hash of what a cached result
// depends on, the program that worked it out included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace dusk {

// A 64-bit hash of bytes, continuing from h (not for security: the caches are our own build output).
uint64_t HashBytes(uint64_t h, const uint8_t* data, std::size_t size);
inline uint64_t HashText(uint64_t h, std::string_view text) {
  return HashBytes(h, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// What a cached result depends on besides its inputs: the rules and the solver, which are the running
// program. Any rebuild of it that changes its bytes makes every cached result stale.
uint64_t ProgramKey();

}  // namespace dusk
