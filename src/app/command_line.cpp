// Reading the command line from its table of options.
#include "app/command_line.h"

#include <cstdio>
#include <functional>
#include <string_view>

#include "app/input_script.h"
#include "display/display_state.h"
#include "persist/save.h"
#include "platform/files.h"
#include "platform/game_folder.h"
#include "ui/front_state.h"
#include "worlds/world_paths.h"

#ifndef DUSK_VERSION
#define DUSK_VERSION "unknown"
#endif

namespace dusk {

namespace {

// An option of the table: its name, the name of its argument (empty when it takes none), its help line,
// and what it does; apply answers an error message, or an empty string when all went well.
struct option_spec {
  std::string_view name;
  std::string_view argument;
  std::string_view help;
  std::function<std::string(command_line&, const std::string&)> apply;
};

std::string Usage();

// A whole decimal number, nothing else; none for anything else (signs, blanks, overflow).
std::optional<int> WholeNumber(const std::string& text) {
  if (text.empty() || text.size() > 3) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

const std::vector<option_spec>& Options() {
  static const std::vector<option_spec> options = {
      {"--help", "", "show this help and end",
       [](command_line& result, const std::string&) {
         result.exit = true;
         result.output = Usage();
         return std::string();
       }},
      {"--version", "", "show the version and end",
       [](command_line& result, const std::string&) {
         result.exit = true;
         result.output = std::string("Duskmarrow ") + DUSK_VERSION + "\n";
         return std::string();
       }},
      {"--script", "FILE", "play the input script FILE into the game, then go on with real input",
       [](command_line& result, const std::string& file) {
         result.options.script = file;
         return std::string();
       }},
      {"--fast", "", "with --script: run its frames at once on a virtual clock, without waiting",
       [](command_line& result, const std::string&) {
         result.options.fast = true;
         return std::string();
       }},
      {"--folder", "DIR", "keep the save file, compiled worlds, replays and screenshots in DIR",
       [](command_line& result, const std::string& folder) {
         if (folder.empty()) return std::string("--folder needs a folder name");
         result.options.folder = folder;
         return std::string();
       }},
      {"--fullscreen", "", "start in fullscreen (F11 or Alt+Enter switches back)",
       [](command_line& result, const std::string&) {
         result.options.fullscreen = true;
         return std::string();
       }},
      {"--scale", "N", "the window scale 1 to 8 for this run (the saved one stays as it is)",
       [](command_line& result, const std::string& text) {
         const std::optional<int> n = WholeNumber(text);
         if (!n || *n < kMinWindowScale || *n > kMaxWindowScale)
           return "--scale needs a number from 1 to 8, not \"" + text + "\"";
         result.options.scale = *n;
         return std::string();
       }},
      {"--level", "W-L", "start in level L of world W, both one hex digit as in the level select (3-C)",
       [](command_line& result, const std::string& text) {
         const int w = text.size() == 3 && text[1] == '-' ? HexDigitValue(text.substr(0, 1)) : -1;
         const int l = text.size() == 3 && text[1] == '-' ? HexDigitValue(text.substr(2, 1)) : -1;
         if (w < 0 || l < 0)
           return "--level needs a world and a level as W-L, like 1-3 or 3-C, not \"" + text + "\"";
         result.options.world = w;
         result.options.level = l;
         return std::string();
       }},
  };
  return options;
}

std::string Usage() {
  std::string text = "Usage: duskmarrow [options]\n\nOptions:\n";
  for (const option_spec& option : Options()) {
    std::string left = "  " + std::string(option.name);
    if (!option.argument.empty()) left += " " + std::string(option.argument);
    left.resize(std::max<size_t>(left.size() + 2, 18), ' ');
    text += left + std::string(option.help) + "\n";
  }
  return text;
}

command_line Failure(const std::string& message) {
  command_line result;
  result.exit = true;
  result.status = kUsageStatus;
  result.error = "duskmarrow: " + message + " (see --help)\n";
  return result;
}

}  // namespace

int HexDigitValue(const std::string& text) {
  if (text.size() != 1) return -1;
  const char c = text[0];
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void ApplyLaunchOptions(const launch_options& options) {
  if (options.fullscreen) display.fullscreen = true;
  display.runscale = options.scale;
  front.startworld = options.world;
  front.startlevel = options.level;
}

command_line ParseCommandLine(const std::vector<std::string>& args) {
  command_line result;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const option_spec* option = nullptr;
    for (const option_spec& candidate : Options()) {
      if (candidate.name == arg) option = &candidate;
    }
    if (option == nullptr) return Failure("unknown option \"" + arg + "\"");
    std::string value;
    if (!option->argument.empty()) {
      if (i + 1 >= args.size()) return Failure(arg + " needs " + std::string(option->argument));
      value = args[++i];
    }
    if (const std::string error = option->apply(result, value); !error.empty()) return Failure(error);
    // Help and version end the run at once, whatever follows them.
    if (result.exit) return result;
  }
  if (result.options.fast && result.options.script.empty()) return Failure("--fast needs --script");
  return result;
}

std::optional<int> ApplyCommandLine(int argc, const char* const* argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  const command_line parsed = ParseCommandLine(args);
  std::fputs(parsed.output.c_str(), stdout);
  std::fputs(parsed.error.c_str(), stderr);
  if (parsed.exit) return parsed.status;
  // The script is read from where the game was started, before the game moves into its own folder.
  parsed_script script;
  if (!parsed.options.script.empty()) {
    script = ReadInputScript(parsed.options.script);
    if (script.error) {
      std::fprintf(stderr, "duskmarrow: %s\n", ScriptErrorText(parsed.options.script, *script.error).c_str());
      return kUsageStatus;
    }
  }
  const std::string data = InstalledDataFolder();
  const std::string folder = !parsed.options.folder.empty() ? parsed.options.folder
                             : !data.empty()                ? PlayerFolder()
                                                            : std::string();
  if (!folder.empty() || !data.empty()) {
    std::string message;
    if (!UseGameFolder(folder, data, message)) {
      std::fprintf(stderr, "duskmarrow: %s\n", message.c_str());
      return 1;
    }
    // What the game writes for itself belongs to this folder alone, whatever the data folder holds.
    SetWorkingOnlyNames({kSaveFile, kLevelDataFolder});
  }
  if (!parsed.options.script.empty()) StartInputScript(std::move(script.commands), parsed.options.fast);
  ApplyLaunchOptions(parsed.options);
  return std::nullopt;
}

}  // namespace dusk
