// compile_worlds [folder]: compiles the worlds of a game folder, its levels\ into leveldata\, as the game
// does at start-up, and prints the compiler's log, which the game itself discards.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/files.h"
#include "platform/stream.h"
#include "worlds/compiler.h"

int main(int argc, char** argv) {
  if (argc > 2 || (argc == 2 && (std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help"))) {
    std::fprintf(stderr,
                 "usage: compile_worlds [folder]\n"
                 "Compiles folder/levels/_WORLDINDEX.txt and its worlds into folder/leveldata.\n");
    return 2;
  }
  if (argc == 2 && ::chdir(argv[1]) != 0) {
    std::fprintf(stderr, "compile_worlds: can't enter the folder %s\n", argv[1]);
    return 1;
  }
  auto log = dusk::OpenMemoryWrite();
  dusk::CompileWorlds("_WORLDINDEX", log.get());
  // The log's lines end with a carriage return and a line feed; a terminal wants only the line feed.
  for (uint8_t c : log->TakeBytes()) {
    if (c != '\r') std::fputc(c, stdout);
  }
  return dusk::PathKind("levels\\_WORLDINDEX.txt") == 1 ? 0 : 1;
}
