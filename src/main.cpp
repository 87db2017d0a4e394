// Entry point of the game.
#include <cstdlib>

#include "app/command_line.h"
#include "app/start_game.h"

int main(int argc, char** argv) {
  // The command line is read here, before the game starts.
  if (const auto status = dusk::ApplyCommandLine(argc, argv)) return *status;
  // In a browser the screens' loops give the page its turns, so the first return from main comes long
  // before the game ends and the last one reaches nobody: the program ends itself, here as on the desktop.
  std::exit(dusk::StartGame());
}
