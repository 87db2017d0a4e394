// The one instance of each global state struct.
#include "state/progress.h"
#include "state/settings.h"

namespace dusk {

settings_state settings;
progress_state progress;

}  // namespace dusk
