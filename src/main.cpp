// Entry point of the game.
#include "app/command_line.h"
#include "app/start_game.h"

int main(int argc, char** argv) {
  // The command line is read here, before the game starts.
  if (const auto status = dusk::ApplyCommandLine(argc, argv)) return *status;
  return dusk::StartGame();
}
