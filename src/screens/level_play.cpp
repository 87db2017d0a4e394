// The level play's frame loop: read the input, run the frame's logic and picture, play its sounds, present
// with vertical sync and hold the frame to at least 20 ms.
#include "screens/level_play.h"

#include <cstdint>
#include <cstdlib>

#include "platform/clock.h"
#include "platform/input.h"
#include "platform/program.h"
#include "platform/window.h"
#include "screens/level_hint.h"
#include "screens/level_picture.h"
#include "screens/level_session.h"
#include "screens/level_undo.h"
#include "ui/front_state.h"
#include "ui/music.h"
#include "ui/read_input.h"
#include "ui/sound_effects.h"

namespace dusk {

namespace {

constexpr int kVerticalSync = 1;

// Milliseconds since the time noted, through the clock's wrap-around.
int64_t Elapsed(int since) {
  const auto now = static_cast<uint32_t>(ClockMs());
  return std::llabs(static_cast<int64_t>(static_cast<int32_t>(now - static_cast<uint32_t>(since))));
}

play_input ReadPlayInput(int clock_ms, int& mute) {
  play_input in;
  in.clock_ms = clock_ms;
  in.help = KeyHits(key::kF1);
  in.again = KeyHits(key::kR);
  in.skip = KeyHits(key::kLeftCtrl);
  if (in.skip == 0) in.skip = KeyHits(key::kRightCtrl);
  // Every undo key is asked, so that none keeps a hit for later.
  in.undo = KeyHits(key::kBackspace) + KeyHits(key::kZ) + JoyButtonHits(kJoyLeftShoulder, 0);
  in.hint = KeyHits(key::kH);
  ReadInput(in.right, in.left, in.down, in.up, in.confirm, in.back, mute, kLevelRepeat);
  return in;
}

}  // namespace

int PlayLevel(int worldno, int levelno) {
  std::optional<level_session> started = StartLevelSession(worldno, levelno);
  if (!started) return -1;
  level_session& session = *started;
  hint_state hints;
  ClearInput();
  MusicAtLevelStart(worldno);

  for (;;) {
    const int began = ClockMs();
    int mute = 0;
    const play_input in = ReadPlayInput(began, mute);
    if (mute != 0) MusicOnLevelMute(worldno);

    if (in.undo != 0) UndoStep(session);
    if (in.hint != 0) RequestHint(hints, session);
    PollHint(hints, session);

    BeginLevelFrame(session);
    frame_picture picture = LevelFramePicture(session, front);
    AddHintPicture(picture, hints, session);
    DrawPicture(picture);
    const play_outcome out = StepLevelFrame(session, FirstKeyLiftsNote(session, in));
    for (int i = 0; i < out.soundcount; ++i) PlayEffect(out.sounds[static_cast<size_t>(i)]);
    if (out.result) return *out.result;

    PresentFrame(kVerticalSync);
    while (Elapsed(began) < play::kFrameMs) SleepMs(play::kSleepStepMs);
    if (CloseRequested()) EndProgram();
  }
}

}  // namespace dusk
