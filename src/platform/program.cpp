// Ending the program and its two text outputs.
#include "platform/program.h"

#include <cstdio>
#include <cstdlib>

namespace dusk {

void EndProgram() {
  std::fflush(stdout);
  std::exit(0);
}

namespace {
fatal_error_handler fatal_handler = nullptr;
}  // namespace

void SetFatalErrorHandlerForTesting(fatal_error_handler handler) { fatal_handler = handler; }

void FatalError(const std::string& message) {
  if (fatal_handler != nullptr) fatal_handler(message);
  std::fwrite(message.data(), 1, message.size(), stderr);
  std::fflush(stderr);
  // The shell sees -1 as 255.
  std::exit(-1);
}

void PrintLine(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace dusk
