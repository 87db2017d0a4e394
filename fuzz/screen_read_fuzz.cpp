// Feeds any bytes to the screen file reader. Whatever it is given, it must return (no crash, no read past
// the end, no runaway allocation); a grid it accepts must be whole and come back the same through the
// run-length writer.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/error_report.h"
#include "files/screen_file.h"
#include "platform/program.h"
#include "platform/stream.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void AbortOnFatalError(const std::string&) { std::abort(); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = [] {
    dusk::SetErrorReporter([](const std::string&, const std::string&) {});
    dusk::SetFatalErrorHandlerForTesting(AbortOnFatalError);
    return true;
  }();
  static_cast<void>(quiet);

  dusk::stream_ptr in = dusk::OpenMemory(std::vector<uint8_t>(data, data + size));
  std::optional<dusk::tilemap> grid = dusk::ReadScreen(*in, 1);
  if (!grid) return 0;
  Check(grid->tmapw >= 0 && grid->tmaph >= 0);
  const int64_t cells = int64_t{grid->tmapw} * grid->tmaph;
  Check(cells <= dusk::kMaxScreenCells);
  Check(grid->tmap.size() == static_cast<size_t>(cells * 3));
  Check(grid->transparentcolor == 9);

  auto out = dusk::OpenMemoryWrite();
  dusk::WriteRLE(*grid, *out);
  dusk::stream_ptr again = dusk::OpenMemory(out->TakeBytes());
  std::optional<dusk::tilemap> back = dusk::ReadScreen(*again, 0);
  Check(back.has_value() && back->tmapw == grid->tmapw && back->tmaph == grid->tmaph && back->tmap == grid->tmap);
  return 0;
}
