// The program's command line: a table of options, each with its help line and what it sets.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dusk {

// What the options ask of this run.
struct launch_options {
  std::string script;       // --script FILE: input played into the game
  bool fast = false;        // --fast: the script's frames on the virtual clock, without waiting
  std::string folder;       // --folder DIR: where the game keeps what it writes
  bool fullscreen = false;  // --fullscreen
  int scale = 0;            // --scale N: the window scale of this run, 0 for the saved one
  int world = -1;           // --level W-L: the level to start in, -1 for the main menu
  int level = -1;
};

inline constexpr int kMinWindowScale = 1;
inline constexpr int kMaxWindowScale = 8;

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

// The value of a one-digit hexadecimal world or level number as the game writes them ("A" or "a" is 10);
// -1 for anything else.
int HexDigitValue(const std::string& text);

// For main: reads the command line, prints what it asks for, moves into the game's folder (the one given,
// the player's own when the game is installed, else where it was started) and starts a script. A status when
// the program is to end at once (help, version, a bad option or script), otherwise none.
std::optional<int> ApplyCommandLine(int argc, const char* const* argv);

// The options of the run that start-up applies once the save file has been read, after ApplyCommandLine.
void ApplyLaunchOptions(const launch_options& options);

}  // namespace dusk
