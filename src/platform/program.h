// Ending the program and its two text outputs.
#pragma once

#include <string>

namespace dusk {

[[noreturn]] void EndProgram();
// Writes the message to standard error with no line end and ends the program with status -1 (255). When
// the game runs on a display, the message is also shown in a system message box first, since a game
// started from a desktop menu has no terminal to show standard error.
[[noreturn]] void FatalError(const std::string& message);
void PrintLine(const std::string& text);  // the text and a line end on standard output

// Tests and fuzzers only: FatalError calls the handler first (it may throw to get back control); when it
// returns, the program ends as usual. nullptr restores the plain behaviour.
using fatal_error_handler = void (*)(const std::string& message);
void SetFatalErrorHandlerForTesting(fatal_error_handler handler);
// Tests only: EndProgram calls the handler first (it may throw to get back control), the same way.
using end_program_handler = void (*)();
void SetEndProgramHandlerForTesting(end_program_handler handler);

}  // namespace dusk
