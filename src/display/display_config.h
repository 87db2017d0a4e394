// The display configuration file, the glyph sheets and palette it names, and opening the window from them.
#pragma once

#include <string>

#include "platform/stream.h"

namespace dusk {

// Texts that stand for "the path from the configuration" and "the title from the configuration". The
// first one's spelling is part of the interface.
inline constexpr const char* kUseDefaultPath = "?USE_DEAFULT";
inline constexpr const char* kUseDefaultTitle = "?USE_DEFAULT";

inline constexpr const char* kDisplayConfigFile = "graphics\\graphics.txt";

// Reads the configuration (when the file exists), loads glyph sheets and palette, and opens the window at
// displaywidth x displayheight cells of the glyph size times the scale. A scale of 0 keeps the file's.
void OpenDisplay(const std::string& file, int scale, const std::string& title);

// Reads the file's settings into display; any error ends the program with its message.
void ReadDisplayConfig(const std::string& file);

// The same for a configuration already opened as a stream; file names it in messages.
void ReadDisplayConfigLines(stream& in, const std::string& file);

// Splits one configuration line: returns the keyword and leaves the arguments in display.configargs and
// display.configargcount. where ("on line 3 of file") goes into the unterminated-string message.
std::string SplitConfigLine(std::string line, const std::string& where);

// Loads base + "_fg.png" and base + "_bg.png" as 16 x 16 glyph sheets and sets the glyph size.
void LoadTileset(const std::string& name);

// Fills the palette from an image of at most 256 pixels, row by row.
void LoadPalette(const std::string& name);

}  // namespace dusk
