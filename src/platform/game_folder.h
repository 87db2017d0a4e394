// Where the game works: an installed game keeps what it writes in the player's own folder and reads its
// read-only data from the installed data folder behind it; run from its source tree it works where started.
#pragma once

#include <string>

namespace dusk {

// The installed data folder, <prefix>/share/duskmarrow beside <prefix>/bin/duskmarrow, when the running
// executable is an installed one (the folder holds the display configuration); empty otherwise.
std::string InstalledDataFolder();

// The player's own folder: $XDG_DATA_HOME/duskmarrow, else ~/.local/share/duskmarrow; empty when neither
// variable gives an absolute path.
std::string PlayerFolder();

// Makes the folder (with its parents) and works in it, reading what it lacks from the data folder, or when
// none is given (a game run from its source tree) from the folder it was started in. False, with the reason
// in message, when the folder can't be made or entered.
[[nodiscard]] bool UseGameFolder(const std::string& folder, const std::string& data, std::string& message);

}  // namespace dusk
