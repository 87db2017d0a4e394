// The replay viewer: level play's session, fed the recorded steps instead of the player's keys.
#include "screens/replay_viewer.h"

#include "platform/clock.h"
#include "platform/input.h"
#include "platform/program.h"
#include "platform/window.h"
#include "screens/level_picture.h"
#include "ui/front_state.h"

namespace dusk {

namespace {

constexpr int kVerticalSync = 1;
constexpr int kFrameMs = 20;  // level play's pace
constexpr int kSleepStepMs = 4;
constexpr int kKeyCodes = 256;
constexpr int kJoyButtons = 32;

bool IsFrameKey(int code) {
  // Fullscreen, screenshots and the Alt of Alt+Enter are handled for every screen and end nothing.
  return code == key::kF11 || code == key::kF12 || code == 18 || code == 164 || code == 165;
}

// Whether any key or button was hit; every hit is taken.
bool AnyKeyHit() {
  bool hit = false;
  for (int code = 1; code < kKeyCodes; ++code) {
    if (!IsFrameKey(code) && KeyHits(code) != 0) hit = true;
  }
  for (int b = 0; b < kJoyButtons; ++b) {
    if (JoyButtonHits(b, 0) != 0) hit = true;
  }
  return hit;
}

}  // namespace

std::optional<replay_viewer> StartReplayViewer(int w, int l, const replay& recording) {
  const replay kept = replays.currentreplay;
  std::optional<level_session> session = StartLevelSession(w, l);
  replays.currentreplay = kept;
  if (!session) return std::nullopt;
  replay_viewer viewer{std::move(*session), {}, 0, 0};
  for (int i = 0; i < recording.maxindex; ++i) {
    const int code = recording.get(i);
    if (code < 0) break;  // past the steps the file holds
    viewer.steps.push_back(code);
  }
  return viewer;
}

void BeginViewerFrame(replay_viewer& v) {
  BeginLevelFrame(v.session);
}

void StepViewerFrame(replay_viewer& v) {
  const replay kept = replays.currentreplay;
  v.frame += 1;
  play_input in;
  if (v.frame % kViewerStepFrames == 0 && v.next < static_cast<int>(v.steps.size()) &&
      v.session.state == level_phase::playing) {
    in = StepInput(v.steps[static_cast<size_t>(v.next++)]);
  }
  // Its sounds are left out: the viewer is watched, not played.
  (void)StepLevelFrame(v.session, in);
  v.session.restart = false;
  replays.currentreplay = kept;
}

bool ViewReplay(int w, int l) {
  const std::optional<replay> recording = LoadReplayFile(w, l);
  if (!recording) return false;
  std::optional<replay_viewer> viewer = StartReplayViewer(w, l, *recording);
  if (!viewer) return false;
  ClearInput();
  for (;;) {
    const int began = ClockMs();
    if (AnyKeyHit()) break;
    BeginViewerFrame(*viewer);
    DrawPicture(LevelFramePicture(viewer->session, front));
    StepViewerFrame(*viewer);
    PresentFrame(kVerticalSync);
    while (ClockMs() - began >= 0 && ClockMs() - began < kFrameMs) SleepMs(kSleepStepMs);
    if (CloseRequested()) EndProgram();
  }
  ClearInput();
  return true;
}

}  // namespace dusk
