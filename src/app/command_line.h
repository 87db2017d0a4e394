// The program's command line: a table of options, each with its help line and what it sets.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dusk {

// What the options ask of this run.
struct launch_options {
  std::string script;  // --script FILE: input played into the game
  bool fast = false;   // --fast: the script's frames on the virtual clock, without waiting
  std::string folder;  // --folder DIR: where the game keeps what it writes
};

// The outcome of reading the command line: run the game, or end at once with a status after printing
// output (to standard output) or error (to standard error).
struct command_line {
  launch_options options;
  bool exit = false;
  int status = 0;
  std::string output;
  std::string error;
};

inline constexpr int kUsageStatus = 2;

// args without the program name.
command_line ParseCommandLine(const std::vector<std::string>& args);

// For main: reads the command line, prints what it asks for, moves into the game's folder (the one given,
// the player's own when the game is installed, else where it was started) and starts a script. A status when the
// program is to end at once (help, version, a bad option or script), otherwise none.
std::optional<int> ApplyCommandLine(int argc, const char* const* argv);

}  // namespace dusk
