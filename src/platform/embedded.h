// Files built into the executable, opened as "incbin::" + name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace dusk {

inline constexpr const char* kEmbeddedPrefix = "incbin::";

// Registers data under a name (the bytes are not copied and must live for the whole run).
void RegisterEmbedded(const std::string& name, const uint8_t* data, size_t size);
// The registered data for a name ("\" and "/" are treated alike), or false.
bool FindEmbedded(const std::string& name, const uint8_t*& data, size_t& size);
void ClearEmbedded();

}  // namespace dusk
