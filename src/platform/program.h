// Ending the program and its two text outputs.
#pragma once

#include <string>

namespace dusk {

[[noreturn]] void EndProgram();
// Writes the message to standard error with no line end and ends the program with status -1 (255).
[[noreturn]] void FatalError(const std::string& message);
void PrintLine(const std::string& text);  // the text and a line end on standard output

}  // namespace dusk
