// The state of one level being played and the frame's logic over it, free of the window, the clock and
// the sound device, so that tests, benchmarks, and later undo, hints and a replay viewer can run it.
//
// A frame runs in three parts, in this order, because the level play draws the level as it stood before
// the frame's step:
//   BeginLevelFrame: colour drift, a pending restart, the score, the figures, the win or lose slide;
//   LevelFramePicture: what the frame shows (screens/level_picture.h);
//   StepLevelFrame: back, help, the banner, the player's step, the end tests, restarts and results.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "display/tilemap.h"
#include "persist/replay.h"
#include "puzzle/level.h"
#include "ui/sound_effects.h"
#include "worlds/world.h"

namespace dusk {

enum class level_phase : uint8_t { playing, help, won, lost };

// Level play's colours and places.
namespace play {
inline constexpr int kFrameMs = 20;      // a frame lasts at least this long
inline constexpr int kSleepStepMs = 4;   // and waits for it in steps of this
inline constexpr int kSlideFrames = 50;  // frames of the win or lose slide
inline constexpr int kBannerIn = 20;     // banner position where the name stands still
inline constexpr int kBannerOut = 21;    // banner position after the first key
inline constexpr int kBannerGone = 40;   // banner position where the name has left
inline constexpr int kBlinkFrames = 24;  // one blink of the moves left: half lit, half dark
inline constexpr int kFewMovesLeft = 10;
inline constexpr int kTeleportLow = -2;
inline constexpr int kTeleportHigh = 27;
inline constexpr int kStarPoints = 9;
inline constexpr int kSkipPenalty = 5;
inline constexpr size_t kKeptRestarts = 64;  // the positions before restarts that undo can bring back

inline constexpr int kFigureColor = 0;
inline constexpr int kWarningColor = 32;  // moves left blinking, a negative score
inline constexpr int kPlayerBestColor = 35;
inline constexpr int kFigureBackground = 20;
inline constexpr int kEndStripColor = 3;
inline constexpr int kLoseMessageColor = 26;
inline constexpr int kStripBackground = 48;
inline constexpr int kSkipStripColor = 10;  // and the undo strip's
inline constexpr int kHelpBar = 36;         // the help's title and foot bars
inline constexpr int kHelpBarText = 0;
}  // namespace play

inline constexpr const char* kNoMoreMoves = "No more moves!";
inline constexpr const char* kTrapped = "Trapped!";
inline constexpr const char* kSkipsLevel = "[ctrl] skips level";
inline constexpr const char* kUndoesStep = "[z] undo last step";
inline constexpr const char* kMoreHelp = "Right: more";

// One frame's input, as the loop read it.
struct play_input {
  int right = 0;
  int left = 0;
  int down = 0;
  int up = 0;
  int confirm = 0;
  int back = 0;
  int help = 0;      // F1
  int again = 0;     // R
  int skip = 0;      // either Ctrl
  int undo = 0;      // Backspace, Z or the left shoulder button
  int hint = 0;      // H
  int lift = 0;      // lifts the banner and the note, and does nothing else
  int clock_ms = 0;  // the clock noted at the start of the frame; seeds the teleport burst
};

// A frame's input that takes one recorded step (kStepUp, kStepDown, kStepLeft or kStepRight), for playing
// recorded steps again through the same frame step.
play_input StepInput(int code);

// What a frame's step asks of the loop: effects to play, in order, and the result when the level ends.
struct play_outcome {
  std::array<sound_effect, 3> sounds{};
  int soundcount = 0;
  std::optional<int> result;
  void Play(sound_effect effect) {
    if (soundcount < static_cast<int>(sounds.size())) sounds[static_cast<size_t>(soundcount++)] = effect;
  }
};

struct level_session {
  int worldno = 0;
  int levelno = 0;
  world* worldrec = nullptr;  // the colour drift changes it, and the change stays
  level start;                // the level as built, which every restart starts again from
  level levelrec;

  level_phase state = level_phase::playing;
  int endtimer = 0;
  int stars = 0;
  int moves = 0;
  int score = 0;
  int banner = 0;
  int blink = 0;
  bool restart = false;
  bool sliding = false;  // this frame moved the win or lose screen on; it takes no confirm yet
  std::string message;

  tilemap playfield;     // every layer drawn, layer z on rows z × 15 to z × 15 + 14
  tilemap numbers;       // the figures laid over the hud
  tilemap skipstrip;     // "[ctrl] skips level"
  tilemap messagestrip;  // the banner, and the texts of the win and lose screens
  tilemap notestrip;     // the level's note, on up to three rows, standing with the banner
  int noterow = 1;            // the screen row of the note's first row
  bool notehidesroom = false;  // the note covers part of the room wherever it stands
  tilemap layerstrip;    // "2/3" at the foot of the hud: the player's layer and the layers, when several
  tilemap undostrip;     // "[z] undo last step" on the lose screen
  tilemap morestrip;     // "Right: more" on the help's first page

  // The help's pages after the keys page, made as it opens (the legend shows the level as it stands), and
  // the page shown: 0 is the keys page.
  std::vector<tilemap> helppages;
  int helppage = 0;

  // The steps of the positions that restarts left, the latest last, so that undo right after a restart
  // can bring its position back (a restart with no step since the last keeps nothing new).
  std::vector<replay> restarts;

  int playerlayer() const;
  int allowance() const { return worldrec->levelmoves[static_cast<size_t>(levelno)]; }
};

// The session of an already built level of a world (worldno and levelno 0 to 15). Starts a new
// currentreplay.
level_session NewLevelSession(world& worldrec, int worldno, int levelno, const level& built);
// Builds the level from its image; none when the world or the level can't be had.
std::optional<level_session> StartLevelSession(int worldno, int levelno);

void BeginLevelFrame(level_session& session);
// A player's first arrow key while a note hides part of the room only lifts the note: the pieces under it
// are seen before the first step. Recorded steps (undo, replays) never pass through here.
play_input FirstKeyLiftsNote(const level_session& session, play_input in);
play_outcome StepLevelFrame(level_session& session, const play_input& in);

// The teleport burst's particles with the random generator seeded from seed (TeleportEffect seeds it from
// the clock and plays its sound first).
void TeleportBurst(tilemap& grid, int layer, int low, int high, int seed);

// The message strip of the win and lose screens.
void WriteWinStrip(tilemap& strip, int moves, int score);
void WriteLoseStrip(tilemap& strip, const std::string& message);
// The level name, right-aligned, on the banner.
void WriteBannerStrip(tilemap& strip, const std::string& name);

}  // namespace dusk
