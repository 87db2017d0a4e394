// Entry point of the game.
#include <cstdio>

#include "app/command_line.h"

int main(int argc, char** argv) {
  if (const auto status = dusk::ApplyCommandLine(argc, argv)) return *status;
  std::fputs(
      "Duskmarrow is not playable yet: the rule book, drawing, screen files, worlds, save file and level\n"
      "tools are built and tested, but the menus and level play are still to come.\n",
      stderr);
  return 1;
}
