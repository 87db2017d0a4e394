// Feeds any bytes to the credits reader and lays the result out as the credits screen does: the rows counted
// must be the rows the list needs, and every line is clean.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/stream.h"
#include "screens/credits_screen.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  dusk::stream_ptr in = dusk::OpenMemory(std::vector<uint8_t>(data, data + size));
  std::vector<dusk::cred> credits;
  int rows = 0;
  dusk::ReadCredits(*in, credits, rows);
  int counted = 0;
  for (const dusk::cred& heading : credits) {
    counted += 2;
    for (const std::string& name : heading.subs) {
      Check(!name.empty() && name.front() != '\t' && name.back() != ' ');
      counted += 1;
    }
  }
  Check(rows == counted);
  dusk::credits_state state = dusk::EnterCredits(credits, rows);
  Check(state.list.tmaph == rows);
  return 0;
}
