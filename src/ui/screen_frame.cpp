#include "ui/screen_frame.h"

#include "platform/program.h"
#include "platform/window.h"

namespace dusk {

void EndMenuFrame() {
  PresentFrame(-1);
  if (CloseRequested()) EndProgram();
}

}  // namespace dusk
