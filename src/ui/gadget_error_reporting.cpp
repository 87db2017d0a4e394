// Damaged screen files reported in the game's "Error!" popup.
#include "ui/gadget_error_reporting.h"

#include <string>

#include "files/error_report.h"
#include "ui/gadget.h"

namespace dusk {

void InstallPopupErrorReporting() {
  SetErrorReporter([](const std::string& title, const std::string& message) { ShowMessage(title, message); });
}

}  // namespace dusk
