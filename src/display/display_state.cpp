// The one instance of the display module's state.
#include "display/display_state.h"

namespace dusk {

display_state& display = *new display_state;

void ResetDisplay() {
  display = display_state{};
}

}  // namespace dusk
