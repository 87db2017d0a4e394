// Hints in level play: the next step of a shortest winning line from where the player stands, found by the
// solver as a background task (a worker thread, or slices between frames) so that the frames go on while it
// thinks.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/background_task.h"
#include "puzzle/level.h"
#include "puzzle/solver.h"
#include "screens/level_picture.h"
#include "screens/level_session.h"

namespace dusk {

inline constexpr const char* kNoWayToWin = "No way to win from here";
inline constexpr const char* kNoHint = "No hint for this level";

namespace hint {
inline constexpr double kSeconds = 1.5;          // the solver's time budget for one hint
inline constexpr std::size_t kStates = 600'000;  // and its state budget, which bounds its memory
inline constexpr int kBlinkFrames = 50;          // the target cell blinks for a second
inline constexpr int kBlinkRate = 6;
inline constexpr int kMessageFrames = 100;  // the message stays two seconds
}  // namespace hint

// What the solver says about a position: a step (0 up, 1 down, 2 left, 3 right), no win possible within
// the moves left, or nothing known within the budget.
struct hint_answer {
  enum class kind { step, no_win, no_hint } what = kind::no_hint;
  int step = -1;
};

// The answer for a level as it stands, with stars already taken and moves left. Plain and synchronous.
hint_answer FindHint(const level& current, int starstaken, int movesleft, const solver_limits& limits);

struct hint_job;

// The hint in progress and what it shows.
struct hint_state {
  std::shared_ptr<hint_job> job;          // what the solver was asked, and its answer
  std::shared_ptr<background_task> task;  // the solver's run, when one is going
  tilemap strip;                  // the message, over the top two rows
  int messageframes = 0;
  int messagemoves = 0;  // the moves taken when the message was shown
};

// H: starts the solver on a copy of the level (a second H while it thinks does nothing).
void RequestHint(hint_state& hints, const level_session& session);
// Every frame: takes the solver's answer once it is there, if the level still stands where it was asked,
// and shows it (a blinking cell on the playfield, or a message). With wait, blocks until it is there.
void PollHint(hint_state& hints, level_session& session, bool wait = false);
// The message over the frame's picture while it lasts, and only while the level is being played.
void AddHintPicture(frame_picture& picture, hint_state& hints, const level_session& session);

// A message in the look of the lose screen's, centred over two rows of the strip.
void WriteHintMessage(tilemap& strip, const std::string& text);

// Shows an answer: the target cell's blink, or the message.
void ShowHint(hint_state& hints, level_session& session, const hint_answer& answer);

}  // namespace dusk
