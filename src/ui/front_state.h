// The front end's fixed data, read once at start-up and shared by every screen for the whole run: the
// embedded screens, the message strip, the credits and the option names.
#pragma once

#include <string>
#include <vector>

#include "display/tilemap.h"

namespace dusk {

// A credits heading with the name lines under it.
struct cred {
  std::string name;
  std::vector<std::string> subs;
};

struct front_state {
  // The embedded screens; a screen that could not be read is an empty grid and draws nothing.
  tilemap help;        // 20 x 15, level play's help
  tilemap hud;         // 5 x 15, level play's heads-up display
  tilemap winner;      // 20 x 15
  tilemap loser;       // 20 x 15
  tilemap lselect;     // 20 x 15, world and level select
  tilemap loading;     // 20 x 15
  tilemap menu;        // 20 x 15, the main menu
  tilemap lockedmenu;  // 20 x 15, the main menu once the bonus world's bonus level reached its high score
  tilemap option;      // 20 x 15, the options' background (the teleport preview throws its particles here)
  tilemap credit;      // 20 x 15
  tilemap nameinput;   // 20 x 15

  // 20 x 1, level play's banner and win and lose texts.
  tilemap messagestrip;

  // The credits in file order, and the grid rows they need (2 per heading, 1 per name line).
  std::vector<cred> credits;
  int creditrows = 0;

  // The options' entry names, and the same drawn into a grid of 20 x 2 rows per entry.
  std::vector<std::string> optionnames;
  tilemap optionnamesgrid;
};

inline front_state front;

inline void ResetFrontState() {
  front = front_state{};
}

}  // namespace dusk
