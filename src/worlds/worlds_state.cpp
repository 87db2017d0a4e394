// The one instance of the loaded worlds.
#include "worlds/worlds_state.h"

namespace dusk {

worlds_state gameworlds;

}  // namespace dusk
