// The results of play: scores, best scores, the unlocks they earn and the bonus world's opening.
#pragma once

namespace dusk {

// What a won level earned.
struct win_record {
  int score = 0;
  bool best = false;          // the best score rose
  bool next_world = false;    // the world's last level opened the next world
  bool write_replay = false;  // at least the best before it: its replay replaces the stored one
};

// Scores level l of world w won in the given moves: raises the best score, unlocks the next level, or
// after the world's last level the next world (when the world says so) and runs CheckPerfect.
win_record RecordWin(int w, int l, int moves);

// Opens each world's bonus level once all its normal levels reached their high scores, and the bonus
// world once every level of worlds 1 to 15 did.
void CheckPerfect();

}  // namespace dusk
