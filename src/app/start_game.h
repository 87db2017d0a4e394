// The whole life of the game: start-up, the main menu, and the end.
#pragma once

namespace dusk {

inline constexpr const char* kWorldIndexName = "_WORLDINDEX";
inline constexpr const char* kWorldIndexFile = "levels\\_WORLDINDEX.txt";

// Builds everything the screens share, opens the window and runs the main menu; returns 0 when the menu
// returns. Runs once: a second call does nothing and returns 0.
int StartGame();

// The steps of start-up before the window opens, for tests: embedded files, world compilation, screens,
// sounds, the progress tables and the save file.
void PrepareGame();
// The rest once the window is open: the worlds, credits, option names and music, and every world and
// level unlocked.
void LoadGameData();

}  // namespace dusk
