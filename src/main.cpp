// Entry point of the game.
#include "app/start_game.h"

int main(int /*argc*/, char** /*argv*/) {
  // The command line is read here, before the game starts.
  return dusk::StartGame();
}
