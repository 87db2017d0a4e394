// The hint: the solver runs on its own copy of the level as a background task (a worker thread, or in a
// browser slices between the frames), which touches nothing else; the frame loop only looks whether it has
// finished.
#include "screens/level_hint.h"

#include <chrono>
#include <thread>

#include "display/text.h"
#include "puzzle/kinds.h"

namespace dusk {

struct hint_job {
  level asked;  // the level as it stood when the hint was asked for
  int moves = 0;
  hint_answer answer;
};

hint_answer FindHint(const level& current, int starstaken, int movesleft, const solver_limits& limits) {
  // The solver counts stars from the position it starts at, so the stars still to take are the total.
  level from = current;
  from.totalstars = current.totalstars - starstaken;
  const solve_result result = Solve(from, movesleft, limits);
  hint_answer answer;
  switch (result.status) {
    case solve_status::solved:
      if (!result.steps.empty()) {
        answer.what = hint_answer::kind::step;
        answer.step = result.steps.front();
      }
      break;
    case solve_status::unsolvable:
    case solve_status::no_player:
      answer.what = hint_answer::kind::no_win;
      break;
    default:
      // A line that is not proven shortest is no hint.
      break;
  }
  return answer;
}

void RequestHint(hint_state& hints, const level_session& s) {
  if (s.state != level_phase::playing) return;
  if (hints.task && !hints.task->Done()) return;
  auto job = std::make_shared<hint_job>();
  job->asked = s.levelrec;
  job->moves = s.moves;
  const int stars = s.stars;
  const int left = s.allowance() - s.moves;
  hints.job = job;
  hints.task = StartBackgroundTask([job, stars, left](const task_pause& pause) {
    solver_limits limits;
    limits.max_seconds = hint::kSeconds;
    limits.max_states = hint::kStates;
    limits.pause = pause;
    job->answer = FindHint(job->asked, stars, left, limits);
  });
}

void WriteHintMessage(tilemap& strip, const std::string& text) {
  // The messages are wider than the screen, so they take two rows, split at the blank nearest the middle.
  constexpr int kWidth = 20;
  strip = tilemap::Create(kWidth, 2);
  size_t split = std::string::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != ' ') continue;
    const auto off = [&](size_t at) {
      return at > text.size() / 2 ? at - text.size() / 2 : text.size() / 2 - at;
    };
    if (split == std::string::npos || off(i) < off(split)) split = i;
  }
  const std::string rows[2] = {split == std::string::npos ? text : text.substr(0, split),
                               split == std::string::npos ? std::string() : text.substr(split + 1)};
  for (int y = 0; y < 2; ++y) {
    tilemap line = tilemap::Create(kWidth, 1);
    WriteLoseStrip(line, rows[y]);
    tilemap::CopyRect(line, 0, 0, kWidth, 1, strip, 0, y, 1);
  }
}

void ShowHint(hint_state& hints, level_session& s, const hint_answer& answer) {
  if (answer.what == hint_answer::kind::step) {
    const tile* player = s.levelrec.playertile();
    if (player == nullptr || answer.step < 0 || answer.step > 3) return;
    const world& w = *s.worldrec;
    const int x = player->x + stepdx[answer.step];
    const int y = player->y + stepdy[answer.step] + player->z * level::size;
    s.playfield.AddParticle(static_cast<float>(x), static_cast<float>(y), 0, 0, hint::kBlinkRate,
                            hint::kBlinkFrames, w.tilec[kind::player], w.tilef[kind::player],
                            w.tileb[kind::player]);
    return;
  }
  WriteHintMessage(hints.strip, answer.what == hint_answer::kind::no_win ? kNoWayToWin : kNoHint);
  hints.messageframes = hint::kMessageFrames;
  hints.messagemoves = s.moves;
}

void PollHint(hint_state& hints, level_session& s, bool wait) {
  if (!hints.job) return;
  if (!hints.task->Done()) hints.task->Step();
  while (wait && !hints.task->Done()) {
    hints.task->Step();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (!hints.task->Done()) return;
  hints.task.reset();
  const std::shared_ptr<hint_job> job = std::move(hints.job);
  // An answer for a position the player has since left is no use.
  if (s.state != level_phase::playing || job->moves != s.moves || !(job->asked == s.levelrec)) return;
  ShowHint(hints, s, job->answer);
}

void AddHintPicture(frame_picture& picture, hint_state& hints, const level_session& s) {
  if (hints.messageframes <= 0) return;
  // The message speaks of the position it was asked for: a step, an undo or a restart makes it stale.
  if (s.state != level_phase::playing || s.moves != hints.messagemoves) {
    hints.messageframes = 0;
    return;
  }
  hints.messageframes -= 1;
  picture.Add(&hints.strip, 0, 0);
}

}  // namespace dusk
