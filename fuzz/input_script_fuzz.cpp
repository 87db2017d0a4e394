// Feeds any bytes to the input script reader. An accepted script has only commands it can play; a refused
// one names a line inside the text.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/input_script.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const dusk::parsed_script script = dusk::ParseInputScript(text);
  if (script.error) {
    Check(script.commands.empty());
    Check(script.error->line >= 1 && static_cast<size_t>(script.error->line) <= size);
    Check(!script.error->message.empty() && script.error->message.size() < 200);
    return 0;
  }
  for (const dusk::script_command& command : script.commands) {
    switch (command.op) {
      case dusk::script_op::wait:
        Check(command.frames >= 0 && command.frames <= dusk::kMaxWaitFrames);
        break;
      case dusk::script_op::press:
      case dusk::script_op::down:
      case dusk::script_op::up:
        Check(command.key > 0 && command.key < 256);
        break;
      case dusk::script_op::type:
      case dusk::script_op::shot:
        Check(!command.text.empty() && command.text.size() <= size);
        break;
      case dusk::script_op::close:
        break;
    }
  }
  return 0;
}
