// Screenshots: a grid drawn in the game's glyphs and palette as a full-size RGBA picture.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "display/tilemap.h"
#include "files/png_image.h"

namespace dusk {

// The grid drawn with a foreground glyph sheet (16 x 16 glyphs of glyphwidth x glyphheight pixels, opaque
// white where the glyph's foreground is) and a palette of 256 reds, then greens, then blues. Colour 255
// leaves its pixels transparent. None when the picture would be empty or unreasonably large.
std::optional<picture> RenderScreenshot(const tilemap& grid, const picture& fgsheet, int glyphwidth,
                                        int glyphheight, const std::array<uint8_t, 768>& palette);

// RenderScreenshot with the display's glyph size, palette and the "_fg" sheet beside its tileset path,
// saved to path at the given compression level. None when the sheet can't be loaded or the picture made;
// the picture is returned even when it can't be saved.
std::optional<picture> ExportPNG(const tilemap& grid, const std::string& path, int level);

// The "_fg" sheet of a tileset path: backslashes made slashes, the extension replaced by "_fg.png".
std::string ForegroundSheetPath(const std::string& tilesetpath);

}  // namespace dusk
