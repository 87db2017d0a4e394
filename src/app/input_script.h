// Scripted runs: a plain-text list of input commands played into the real program, frame by frame, through
// the same event queue as real input, with screenshots along the way.
//
// One command a line; blank lines and lines starting with "#" are skipped:
//   wait N        N frames with no new input
//   press KEY     the key goes down for one frame and up for the next (two frames)
//   down KEY      the key goes down and stays down (one frame)
//   up KEY        the key goes up (one frame)
//   type TEXT     the rest of the line as typed text (one frame)
//   shot FILE     the frame on screen written as a PNG picture at window size (no frame)
//   cells FILE    the frame on screen written as text, cell by cell (display/frame_cells.h) (no frame)
//   close         the window is asked to close (one frame)
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/png_image.h"

namespace dusk {

enum class script_op { wait, press, down, up, type, shot, cells, close };

struct script_command {
  script_op op = script_op::wait;
  int line = 0;      // in the script, from 1
  int key = 0;       // virtual-key code, for press, down and up
  int frames = 0;    // for wait
  std::string text;  // typed text, or the path of the picture or cells file
};

struct script_error {
  int line = 0;
  std::string message;
};

// A script larger than this is refused: scripts are typed or generated, never this big.
inline constexpr size_t kMaxScriptBytes = 16 * 1024 * 1024;
inline constexpr int kMaxWaitFrames = 100'000'000;

// The virtual-key code of a key name (Up, Down, Left, Right, Return, Space, Escape, Backspace, Tab, F1 to
// F12, LCtrl, RCtrl, letters, digits; any case), 0 for a name the scripts don't know.
int ScriptKeyCode(std::string_view name);

// Parses a script. Either the commands or the first error.
struct parsed_script {
  std::vector<script_command> commands;
  std::optional<script_error> error;
};
parsed_script ParseInputScript(std::string_view text);

// Reads and parses a script file; a file that can't be read is an error on line 0.
parsed_script ReadInputScript(const std::string& path);

// "FILE:LINE: message" (or "FILE: message" for line 0), for the command line.
std::string ScriptErrorText(const std::string& path, const script_error& error);

// Plays commands into the game one frame at a time: Frame() is called after every presented frame.
class script_player {
 public:
  explicit script_player(std::vector<script_command> commands);
  // Called after every presented frame; injects the input of the next frame.
  void Frame();
  bool Finished() const { return next_ >= commands_.size() && wait_ == 0 && !release_; }
  // Screenshots and cells files that could not be written (their paths), for the caller to report.
  const std::vector<std::string>& FailedShots() const { return failed_shots_; }

 private:
  void Shot(const std::string& path);
  void Cells(const std::string& path);
  void AskForNextShot();

  std::vector<script_command> commands_;
  size_t next_ = 0;
  int wait_ = 0;     // frames still to wait
  int release_ = 0;  // a pressed key to release on the next frame, 0 when none
  std::vector<std::string> failed_shots_;
  picture shot_;             // the frame this frame's shots write
  bool shot_taken_ = false;  // shot_ holds this frame's picture
};

// Installs the player as the frame hook. With fast, frames run on the virtual clock without vertical sync
// until the script ends; then the real clock and real input take over.
void StartInputScript(std::vector<script_command> commands, bool fast);

}  // namespace dusk
