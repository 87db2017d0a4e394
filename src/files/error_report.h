// Where a damaged screen file is reported. The files library sits below the popups, so start-up installs
// the "Error!" popup here; tests install a recorder.
#pragma once

#include <functional>
#include <string>

namespace dusk {

using error_reporter = std::function<void(const std::string& title, const std::string& message)>;

// An empty reporter restores the default, which writes the message to standard error.
void SetErrorReporter(error_reporter reporter);
void ReportError(const std::string& title, const std::string& message);

}  // namespace dusk
