// The credits: a short text built into the game, read once at start-up and shown on a scrolling screen.
#pragma once

#include <string>
#include <vector>

#include "display/tilemap.h"
#include "platform/stream.h"
#include "ui/front_state.h"
#include "ui/screen_frame.h"

namespace dusk {

inline constexpr const char* kCreditsFile = "incbin::incbin\\credits.txt";

// Reads the credits into front.credits and front.creditrows; nothing when the text can't be opened.
void LoadCredits();
// The reading itself: a line starting with "+" opens a heading, any other line is a name under the last
// heading (a name before the first heading gets a heading without text). Tabs become blanks, lines are
// trimmed and empty ones skipped.
void ReadCredits(stream& in, std::vector<cred>& credits, int& creditrows);

struct credits_state {
  tilemap list;  // 20 columns, one row per heading gap, heading and name line
  int scroll = 0;
};

struct credits_step {
  effect_list effects;
  bool restart_music = false;
  bool leave = false;
};

credits_state EnterCredits(const std::vector<cred>& credits, int creditrows);
credits_step StepCredits(credits_state& state, const menu_input& in);
void DrawCredits(credits_state& state);

// Runs the screen until back or left.
void CreditsScreen();

}  // namespace dusk
