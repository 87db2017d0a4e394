// Ending the program and its two text outputs.
#include "platform/program.h"

#include <cstdio>
#include <cstdlib>

#include "platform/message_box.h"

namespace dusk {

namespace {
constexpr const char* kFatalErrorTitle = "Error!";
fatal_error_handler fatal_handler = nullptr;
end_program_handler end_handler = nullptr;
}  // namespace

void SetFatalErrorHandlerForTesting(fatal_error_handler handler) {
  fatal_handler = handler;
}
void SetEndProgramHandlerForTesting(end_program_handler handler) {
  end_handler = handler;
}

void EndProgram() {
  if (end_handler != nullptr) end_handler();
  std::fflush(stdout);
  std::exit(0);
}

void FatalError(const std::string& message) {
  if (fatal_handler != nullptr) fatal_handler(message);
  std::fwrite(message.data(), 1, message.size(), stderr);
  std::fflush(stderr);
  ShowSystemMessageBox(kFatalErrorTitle, message);
  // The shell sees -1 as 255.
  std::exit(-1);
}

void PrintLine(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace dusk
