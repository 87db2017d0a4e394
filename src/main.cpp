// Entry point of the game.
#include <cstdio>

int main() {
  std::fputs("Duskmarrow: the game's screens are not built yet; only the rule book and its tests exist.\n", stderr);
  return 1;
}
