// The credits: reading the built-in text and the scrolling screen that shows it.
#include "screens/credits_screen.h"

#include <algorithm>

#include "display/draw.h"
#include "display/text.h"
#include "platform/input.h"
#include "ui/menu_colors.h"
#include "ui/music.h"
#include "ui/read_input.h"

namespace dusk {

namespace {

constexpr int kListWidth = 20;
constexpr int kViewRows = 11;
constexpr int kListY = 2;
constexpr int kHeadingX = 1;
constexpr int kNameX = 2;

std::string CleanLine(std::string line) {
  std::replace(line.begin(), line.end(), '\t', ' ');
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!line.empty() && blank(line.back())) line.pop_back();
  const auto first = std::find_if_not(line.begin(), line.end(), blank);
  line.erase(line.begin(), first);
  return line;
}

}  // namespace

void ReadCredits(stream& in, std::vector<cred>& credits, int& creditrows) {
  while (in.Remaining() > 0) {
    const std::string line = CleanLine(in.ReadLine());
    if (line.empty()) continue;
    if (line.front() == '+') {
      credits.push_back(cred{line.substr(1), {}});
      creditrows += 2;
    } else {
      // A name before the first heading gets a heading without text, which takes its rows like any other.
      if (credits.empty()) {
        credits.push_back(cred{});
        creditrows += 2;
      }
      credits.back().subs.push_back(line);
      creditrows += 1;
    }
  }
}

void LoadCredits() {
  stream_ptr in = OpenRead(kCreditsFile);
  if (!in) return;
  ReadCredits(*in, front.credits, front.creditrows);
}

credits_state EnterCredits(const std::vector<cred>& credits, int creditrows) {
  credits_state state;
  state.list = tilemap::Create(kListWidth, creditrows);
  state.list.Fill(kNoValue, kNoValue, kNoValue, 1);
  int r = 0;
  for (const cred& heading : credits) {
    ++r;
    InsertString(state.list, kHeadingX, r, heading.name, kValueColor, kListBackground);
    ++r;
    for (const std::string& name : heading.subs) {
      InsertString(state.list, kNameX, r, name, kEntryColor, kListBackground);
      ++r;
    }
  }
  return state;
}

credits_step StepCredits(credits_state& state, const menu_input& in) {
  credits_step step;
  step.restart_music = in.mute != 0;
  if (in.up || in.down) step.effects.push_back(sound_effect::slide);
  state.scroll += (in.down ? 1 : 0) - (in.up ? 1 : 0);
  state.scroll = std::max(state.scroll, 0);
  // Short credits make this negative; the view then starts at the top.
  state.scroll = std::min(state.scroll, state.list.tmaph - (kViewRows + 1));
  step.leave = in.back || in.left;
  return step;
}

void DrawCredits(credits_state& state) {
  Draw(front.credit, 0, 0);
  Draw(state.list, 0, kListY, 0, std::max(state.scroll + 1, 0), kListWidth, kViewRows);
}

void CreditsScreen() {
  ClearInput();
  credits_state state = EnterCredits(front.credits, front.creditrows);
  for (;;) {
    const credits_step step = StepCredits(state, ReadMenuInput(kMenuRepeat));
    if (step.restart_music) MusicOnMenuMute();
    PlayEffects(step.effects);
    DrawCredits(state);
    EndMenuFrame();
    if (step.leave) return;
  }
}

}  // namespace dusk
