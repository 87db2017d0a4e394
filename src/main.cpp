// Entry point of the game.
#include <cstdio>

int main() {
  std::fputs(
      "Duskmarrow is not playable yet: the rule book, drawing, screen files, worlds, save file and level\n"
      "tools are built and tested, but the menus and level play are still to come.\n",
      stderr);
  return 1;
}
