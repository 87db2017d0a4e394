// The frame's picture: the hud, the figures and the player's layer while playing, the banner over them, the
// help screen, and the win and lose screens sliding in over the frozen level.
#include "screens/level_picture.h"

#include "display/draw.h"
#include "platform/window.h"
#include "state/settings.h"

namespace dusk {

namespace {

tilemap* Shown(tilemap& screen) {
  return screen.tmapw > 0 && screen.tmaph > 0 ? &screen : nullptr;
}

void AddLevel(frame_picture& picture, level_session& s, front_state& screens) {
  picture.Add(Shown(screens.hud), 0, 0);
  picture.Add(&s.numbers, 1, 3);
  picture.Add(&s.layerstrip, 0, 14);
  picture.Add(&s.playfield, 5, 0, 0, s.playerlayer() * level::size, level::size, level::size);
}

}  // namespace

frame_picture LevelFramePicture(level_session& s, front_state& screens) {
  using namespace play;
  frame_picture picture;
  const int slide = kSlideFrames - s.endtimer;
  switch (s.state) {
    case level_phase::playing:
      AddLevel(picture, s, screens);
      if (s.banner <= kBannerIn) {
        if (s.banner == 0) {
          WriteBannerStrip(s.messagestrip, s.worldrec->levelname[static_cast<size_t>(s.levelno)]);
        }
        picture.Add(&s.messagestrip, s.banner - kBannerIn, 0);
        picture.Add(&s.notestrip, s.banner - kBannerIn, s.noterow);
      } else if (s.banner < kBannerGone) {
        picture.Add(&s.messagestrip, s.banner - kBannerIn, 0);
        picture.Add(&s.notestrip, s.banner - kBannerIn, s.noterow);
      }
      break;
    case level_phase::help:
      if (s.helppage > 0 && s.helppage <= static_cast<int>(s.helppages.size())) {
        picture.Add(&s.helppages[static_cast<size_t>(s.helppage - 1)], 0, 0);
      } else {
        if (tilemap* keys = Shown(screens.help)) {
          picture.Add(keys, 0, 0);
          if (!s.helppages.empty()) picture.Add(&s.morestrip, 0, 14);
        }
      }
      break;
    case level_phase::won:
      if (s.sliding) AddLevel(picture, s, screens);
      picture.Add(Shown(screens.winner), slide, 0);
      WriteWinStrip(s.messagestrip, s.moves, s.score);
      picture.Add(&s.messagestrip, slide, 1);
      break;
    case level_phase::lost:
      if (s.sliding) AddLevel(picture, s, screens);
      picture.Add(Shown(screens.loser), slide, 0);
      WriteLoseStrip(s.messagestrip, s.message);
      picture.Add(&s.messagestrip, slide, 1);
      if (s.moves > 0) picture.Add(&s.undostrip, slide, 12);
      if (settings.levelskipping != 0) picture.Add(&s.skipstrip, slide, 14);
      break;
  }
  return picture;
}

void DrawPicture(const frame_picture& picture) {
  ClearScreen();
  for (int i = 0; i < picture.count; ++i) {
    const frame_draw& d = picture.draws[static_cast<size_t>(i)];
    Draw(*d.grid, d.sx, d.sy, d.vx, d.vy, d.vw, d.vh);
  }
}

}  // namespace dusk
