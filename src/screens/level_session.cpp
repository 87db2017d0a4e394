// One level's play as plain logic: setup, the frame's parts before and after the drawing, restarts.
#include "screens/level_session.h"

#include <cstdlib>

#include "display/text.h"
#include "persist/replay.h"
#include "platform/random.h"
#include "puzzle/kinds.h"
#include "screens/level_help.h"
#include "screens/level_play.h"
#include "state/progress.h"
#include "state/settings.h"
#include "worlds/build_level.h"
#include "worlds/worlds_state.h"

namespace dusk {

namespace {

constexpr int kEmpty = kNoValue;

bool ValidNumber(int n) {
  return n >= 0 && n < kMaxLevels;
}

char HexDigit(int n) {
  return "0123456789ABCDEF"[n & 15];
}

void FillEmpty(tilemap& grid) {
  grid.Fill(kEmpty, kEmpty, kEmpty, 1);
}

// The hidden names change a few rules for whoever types them in as their name.
bool NameIs(const char* name) {
  return progress.playername == name;
}

void DriftColors(world& w) {
  const int n = RandomInt(-4, 4);
  for (int k = 0; k < n; ++k) {
    const auto i = static_cast<size_t>(RandomInt(0, 255));
    auto& table = RandomInt(0, 1) == 0 ? w.tilef : w.tileb;
    table[i] = static_cast<uint8_t>(RandomInt(0, 63));
  }
}

void Restart(level_session& s) {
  // The position left is kept for undo, unless it has more steps than the replay holds to rebuild it.
  const replay& left = replays.currentreplay;
  if (left.maxindex > 0 && left.maxindex <= replay::kStoredSteps) {
    if (s.restarts.size() == play::kKeptRestarts) s.restarts.erase(s.restarts.begin());
    s.restarts.push_back(left);
  }
  s.restart = false;
  s.levelrec = s.start;
  s.state = level_phase::playing;
  s.endtimer = 0;
  s.stars = 0;
  s.moves = 0;
  DrawLevel(s.playfield, *s.worldrec, s.levelrec);
  s.playfield.ClearParticles();
  s.banner = 0;
  replays.currentreplay = replay{};
}

// The moves left, the score and the best figure over the hud, taken before the frame's step.
void WriteFigures(level_session& s) {
  using namespace play;
  tilemap& numbers = s.numbers;
  numbers.SetTiles(0, 3, 3, 7, kEmpty, kEmpty, kEmpty, 1);

  const int left = s.allowance() - s.moves;
  const int leftcolor = s.blink >= kBlinkFrames / 2 ? kWarningColor : kFigureColor;
  if (left <= kFewMovesLeft) {
    if (s.blink == 0) s.blink = kBlinkFrames;
    s.blink -= 1;
  }
  InsertRAlignString(numbers, 2, 3, std::to_string(left), leftcolor, kFigureBackground);

  int best = s.worldrec->levelhighs[static_cast<size_t>(s.levelno)];
  int bestcolor = kFigureColor;
  const int mine = progress.bestscore[static_cast<size_t>(s.worldno)][static_cast<size_t>(s.levelno)];
  if (mine > best) {
    best = mine;
    bestcolor = kPlayerBestColor;
  }
  InsertRAlignString(numbers, 2, 9, std::to_string(best), bestcolor, kFigureBackground);

  const int shown = static_cast<int>(std::llabs(s.score));
  InsertRAlignString(numbers, 2, 6, std::to_string(shown), s.score < 0 ? kWarningColor : kFigureColor,
                     kFigureBackground);

  // In a level of several layers the player must know which one the screen shows.
  FillEmpty(s.layerstrip);
  if (s.levelrec.depth > 1) {
    const std::string layer = std::to_string(s.playerlayer() + 1) + "/" + std::to_string(s.levelrec.depth);
    InsertString(s.layerstrip, (s.layerstrip.tmapw - static_cast<int>(layer.size())) / 2, 0, layer,
                 kFigureColor, kFigureBackground);
  }
}

void AddStarBurst(level_session& s, const tile& player) {
  constexpr float kSpeed = 1.0f / 12.0f;
  constexpr int kLife = 16;
  const world& w = *s.worldrec;
  const int glyph = w.tilec[kind::starburst];
  const int fg = w.tilef[kind::starburst];
  const int bg = w.tileb[kind::starburst];
  const auto x = static_cast<float>(player.x);
  const auto y = static_cast<float>(player.y + player.z * level::size);
  static constexpr float directions[4][2] = {{-kSpeed, 0}, {0, -kSpeed}, {0, kSpeed}, {kSpeed, 0}};
  for (const auto& d : directions) s.playfield.AddParticle(x, y, d[0], d[1], 0, kLife, glyph, fg, bg);
}

int StepCode(int dx, int dy) {
  if (dy < 0) return kStepUp;
  if (dy > 0) return kStepDown;
  return dx < 0 ? kStepLeft : kStepRight;
}

// The end tests in their order: all stars, then the allowance, then a player with no step left. Stars
// count as passable for the last.
void JudgeEnd(level_session& s) {
  if (s.stars == s.levelrec.totalstars) {
    s.state = level_phase::won;
    return;
  }
  if (s.moves >= s.allowance()) {
    s.state = level_phase::lost;
    s.message = kNoMoreMoves;
    return;
  }
  static constexpr int tries[4][2] = {{-1, 0}, {0, -1}, {0, 1}, {1, 0}};
  if (tile* player = s.levelrec.playertile()) {
    for (const auto& t : tries) {
      if (player->testmove(t[0], t[1], 0, s.levelrec, 2) != 0) return;
    }
  }
  s.state = level_phase::lost;
  s.message = kTrapped;
}

void StepPlaying(level_session& s, const play_input& in, play_outcome& out) {
  using namespace play;
  if (in.back != 0) {
    out.result = 0;
    return;
  }
  if (in.help != 0) {
    s.state = level_phase::help;  // shown from the next frame
    s.helppage = 0;
    s.helppages = HelpPages(*s.worldrec, s.levelrec, s.worldrec->levelnote[static_cast<size_t>(s.levelno)]);
  }

  if (s.banner <= kBannerIn) {
    if (s.banner < kBannerIn) s.banner += 2;
    if (in.back || in.help || in.again || in.right || in.left || in.up || in.down || in.confirm || in.lift)
      s.banner = kBannerOut;
  } else if (s.banner < kBannerGone) {
    s.banner += 2;
  }

  const int dx = (in.right != 0 ? 1 : 0) - (in.left != 0 ? 1 : 0);
  const int dy = (in.down != 0 ? 1 : 0) - (in.up != 0 ? 1 : 0);
  int met = 0;
  int jumps = 0;
  int moved = 0;
  if (tile* player = s.levelrec.playertile()) {
    moved = player->Move(dx, dy, 0, s.levelrec, NameIs("MINTY") ? 0 : 1, 1, 1, met, jumps,
                         NameIs("GHOSTWAY") ? 1 : 0);
  }
  // Moving may have grown the list of pieces, so the player is looked up again.
  if (met > 0) {
    out.Play(sound_effect::sweep);
    s.stars += met;
    if (const tile* player = s.levelrec.playertile()) AddStarBurst(s, *player);
  }
  if (jumps > 0) {
    out.Play(sound_effect::phase);
    TeleportBurst(s.playfield, s.playerlayer(), kTeleportLow, kTeleportHigh, in.clock_ms);
  }
  if (moved != 0) {
    out.Play(sound_effect::whip);
    s.moves += 1;
    s.levelrec.updateobjs();
    DrawLevel(s.playfield, *s.worldrec, s.levelrec);
    replays.currentreplay.add(StepCode(dx, dy));
  }

  JudgeEnd(s);
  if (in.again != 0 || in.confirm != 0) s.restart = true;
}

}  // namespace

int level_session::playerlayer() const {
  const tile* player = levelrec.playertile();
  return player != nullptr ? player->z : 0;
}

play_input FirstKeyLiftsNote(const level_session& s, play_input in) {
  const bool arrow = in.right != 0 || in.left != 0 || in.up != 0 || in.down != 0;
  // A restart still to come brings the banner and the note back before this input is stepped.
  const bool standing = s.restart || (s.state == level_phase::playing && s.banner <= play::kBannerIn);
  if (!standing || !s.notehidesroom || !arrow) return in;
  in.right = in.left = in.up = in.down = 0;
  in.lift = 1;
  return in;
}

level_session NewLevelSession(world& worldrec, int worldno, int levelno, const level& built) {
  level_session s;
  s.worldno = worldno;
  s.levelno = levelno;
  s.worldrec = &worldrec;
  s.start = built;
  s.levelrec = built;
  s.playfield = tilemap::Create(level::size, built.depth * level::size);
  DrawLevel(s.playfield, worldrec, s.levelrec);

  s.numbers = tilemap::Create(3, 10);
  FillEmpty(s.numbers);
  InsertString(s.numbers, 0, 0, std::string(1, HexDigit(worldno)), play::kFigureColor,
               play::kFigureBackground);
  InsertString(s.numbers, 2, 0, std::string(1, HexDigit(levelno)), play::kFigureColor,
               play::kFigureBackground);

  s.messagestrip = tilemap::Create(20, 1);
  FillEmpty(s.messagestrip);
  replays.currentreplay = replay{};
  s.skipstrip = tilemap::Create(20, 1);
  FillEmpty(s.skipstrip);
  InsertString(s.skipstrip, 1, 0, kSkipsLevel, play::kSkipStripColor, play::kStripBackground);
  s.undostrip = tilemap::Create(20, 1);
  FillEmpty(s.undostrip);
  InsertString(s.undostrip, 1, 0, kUndoesStep, play::kSkipStripColor, play::kStripBackground);
  s.morestrip = tilemap::Create(20, 1);
  FillEmpty(s.morestrip);
  InsertString(s.morestrip, 1, 0, kMoreHelp, play::kHelpBarText, play::kHelpBar);
  s.notestrip = tilemap::Create(20, 3);
  const int noterows = WriteNoteStrip(s.notestrip, worldrec.levelnote[static_cast<size_t>(levelno)]);
  const note_place place = PlaceNote(s.notestrip, noterows, s.start, s.playerlayer());
  s.noterow = place.row;
  s.notehidesroom = place.hidesroom;
  s.layerstrip = tilemap::Create(5, 1);
  FillEmpty(s.layerstrip);
  return s;
}

play_input StepInput(int code) {
  play_input in;
  switch (code) {
    case kStepUp:
      in.up = 1;
      break;
    case kStepDown:
      in.down = 1;
      break;
    case kStepLeft:
      in.left = 1;
      break;
    default:
      in.right = 1;
      break;
  }
  return in;
}

std::optional<level_session> StartLevelSession(int worldno, int levelno) {
  if (!ValidNumber(worldno) || !ValidNumber(levelno)) return std::nullopt;
  world* worldrec = gameworlds.worlds[static_cast<size_t>(worldno)].get();
  if (worldrec == nullptr) return std::nullopt;
  std::optional<level> built = BuildLevel(worldno, levelno);
  if (!built || built->playertile() == nullptr) return std::nullopt;
  return NewLevelSession(*worldrec, worldno, levelno, *built);
}

void BeginLevelFrame(level_session& s) {
  if (NameIs("BRAMBL")) DriftColors(*s.worldrec);
  if (s.restart) Restart(s);
  s.score = s.stars * play::kStarPoints - s.moves;
  WriteFigures(s);
  s.sliding = false;
  if ((s.state == level_phase::won || s.state == level_phase::lost) && s.endtimer < play::kSlideFrames) {
    s.endtimer += 1;
    s.sliding = true;
  }
}

play_outcome StepLevelFrame(level_session& s, const play_input& in) {
  play_outcome out;
  switch (s.state) {
    case level_phase::playing:
      StepPlaying(s, in, out);
      break;
    case level_phase::help:
      if (in.back != 0 || in.help != 0) {
        s.state = level_phase::playing;
      } else if (in.right != 0 && s.helppage < static_cast<int>(s.helppages.size())) {
        s.helppage += 1;
      } else if (in.left != 0 && s.helppage > 0) {
        s.helppage -= 1;
      }
      break;
    case level_phase::won:
      if (!s.sliding) {
        if (in.confirm != 0) {
          out.result = s.moves;
        } else if (in.again != 0) {
          s.restart = true;
        }
      }
      break;
    case level_phase::lost:
      if (!s.sliding && (in.confirm != 0 || in.again != 0)) s.restart = true;
      if (settings.levelskipping != 0 && in.skip != 0) out.result = s.allowance() + play::kSkipPenalty;
      break;
  }
  return out;
}

void WriteWinStrip(tilemap& strip, int moves, int score) {
  FillEmpty(strip);
  InsertString(strip, 0, 0, "Moves:" + std::to_string(moves), play::kEndStripColor, play::kStripBackground);
  InsertRAlignString(strip, 19, 0, "Score:" + std::to_string(score), play::kEndStripColor,
                     play::kStripBackground);
}

void WriteLoseStrip(tilemap& strip, const std::string& message) {
  FillEmpty(strip);
  const int column = 10 - static_cast<int>(message.size()) / 2;
  InsertString(strip, column, 0, message, play::kLoseMessageColor, play::kStripBackground);
}

void WriteBannerStrip(tilemap& strip, const std::string& name) {
  FillEmpty(strip);
  InsertRAlignString(strip, 19, 0, name, play::kFigureColor, play::kFigureBackground);
}

}  // namespace dusk
