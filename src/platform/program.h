// Ending the program and its two text outputs.
#pragma once

#include <string>

namespace dusk {

[[noreturn]] void EndProgram();
// Writes the message to standard error with no line end and ends the program with status -1 (255).
[[noreturn]] void FatalError(const std::string& message);
void PrintLine(const std::string& text);  // the text and a line end on standard output

// Tests and fuzzers only: FatalError calls the handler first (it may throw to get back control); when it
// returns, the program ends as usual. nullptr restores the plain behaviour.
using fatal_error_handler = void (*)(const std::string& message);
void SetFatalErrorHandlerForTesting(fatal_error_handler handler);

}  // namespace dusk
