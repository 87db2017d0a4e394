// Runs the real game executable on a script, headless and fast, in a fresh game folder holding the test
// worlds; and the seeded random scripts of the monkey runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/platform/support/temp_folder.h"

namespace dusk::testing {

// A temporary game folder with the game's graphics and the two converted test worlds, laid out as a
// player's installation is.
class game_folder {
 public:
  game_folder();
  const std::string& path() const { return folder_.path(); }
  std::string operator/(const std::string& name) const { return folder_ / name; }

 private:
  temp_folder folder_;
};

struct game_run {
  int status = -1;     // the exit status, or -1 when the game did not end by itself in time
  std::string errors;  // what it wrote to standard error
};

// Runs the game in the folder on the script file (a path inside the folder) with --fast and the given
// extra arguments; a game still running after timeout_seconds is stopped.
game_run RunGame(const game_folder& folder, const std::string& script, int timeout_seconds,
                 const std::string& extra_arguments = "");

// A script of random input: a heading into one of the screens, then about the given number of frames of
// key presses, held keys, typed text and pauses, never a close; then a close (repeated, for a game that
// shows a message first).
std::string MonkeyScript(uint64_t seed, int frames);

// Compares a PNG written by the game with a reference picture, pixel for pixel. With the environment
// variable DUSK_UPDATE_REFERENCES=1 the picture becomes the reference instead; on a mismatch it is copied
// beside the test as name.actual.png for a look.
void ExpectPictureMatchesReference(const std::string& picture_path, const std::string& reference_path);

}  // namespace dusk::testing
