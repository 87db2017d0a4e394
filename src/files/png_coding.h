// The PNG coding of a grid: one RGB pixel per cell (glyph, foreground, background), placed column by column,
// with the shared random generator seeded and advanced as the file format fixes it. scramble shuffles the
// positions and disturbs the channels; the game always passes 0.
#pragma once

#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <vector>

#include "display/tilemap.h"
#include "files/png_image.h"
#include "puzzle/vector.h"

namespace dusk {

// Positions (x, y, 0), x in the outer loop: down the first column, then down the second, and so on.
std::list<vector> createvectorlist(int w, int h);
// Shuffles the list in place with the shared generator. Returns 0.
int mixvectorlist(std::list<vector>& list);

// The cell picture of the grid (reseeds the generator and draws two numbers per cell).
picture EncodePicture(const tilemap& grid, int scramble);
// The grid a cell picture holds (same generator use); bytes of 255 leave 0 in the cell.
tilemap DecodePicture(const picture& image, int scramble);

// The cell picture as PNG bytes at compression level 9; none for a grid with no cells.
std::optional<std::vector<uint8_t>> EncodePNGBytes(const tilemap& grid, int scramble);
// None when the bytes are not a readable PNG or it has more than kMaxScreenCells pixels.
std::optional<tilemap> DecodePNGBytes(const uint8_t* data, size_t size, int scramble);

// Makes the cell picture, saves it to path (when it can) and returns it.
picture EncodePNG(const tilemap& grid, const std::string& path, int scramble);
std::optional<tilemap> DecodePNG(const std::string& path, int scramble);

}  // namespace dusk
