// The settable error reporter and its standard-error default.
#include "files/error_report.h"

#include <cstdio>
#include <utility>

namespace dusk {

namespace {

void WriteToStandardError(const std::string& title, const std::string& message) {
  // Written by length: a quoted trailer may hold any byte, 0 included.
  std::fwrite(title.data(), 1, title.size(), stderr);
  std::fputc(' ', stderr);
  std::fwrite(message.data(), 1, message.size(), stderr);
  std::fputc('\n', stderr);
}

error_reporter& CurrentReporter() {
  static error_reporter reporter = WriteToStandardError;
  return reporter;
}

}  // namespace

void SetErrorReporter(error_reporter reporter) {
  CurrentReporter() = reporter ? std::move(reporter) : error_reporter(WriteToStandardError);
}

void ReportError(const std::string& title, const std::string& message) {
  // Copied first, so a reporter may replace itself while it runs.
  error_reporter reporter = CurrentReporter();
  reporter(title, message);
}

}  // namespace dusk
