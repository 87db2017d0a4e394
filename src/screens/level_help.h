// The help's pages after the keys page: the level's note, a legend of every kind in the level drawn in the
// world's looks with what it does, and the keys the first page leaves out. Also the note's two rows under
// the level-name banner.
#pragma once

#include <string>
#include <vector>

#include "display/tilemap.h"
#include "puzzle/level.h"
#include "worlds/world.h"
#include "worlds/world_looks.h"

namespace dusk {

// One line of the legend: a kind (or a state of one) as the level shows it, its name and what it does.
struct legend_entry {
  cell_look look;  // over the world's floor, as drawn in the level
  std::string name;
  std::string rule;
};

// Every kind the level holds now, in a fixed order: first what makes the level (moving pieces by kind and
// turning sense, gates by state, pads by what they do, switches and doors, special floors), then the star,
// the player, the trail's block, floor and walls.
std::vector<legend_entry> LevelLegend(const world& w, const level& lvl);

// The words of text on rows of at most width characters (a word longer than a row is cut).
std::vector<std::string> WrapText(const std::string& text, int width);

// The pages after the keys page, 20 × 15 each.
std::vector<tilemap> HelpPages(const world& w, const level& lvl, const std::string& note);

// The note on the strip's rows (20 wide; three hold any note of 40 characters), right-aligned, words whole;
// empty cells where it has no text. Returns the rows it takes.
int WriteNoteStrip(tilemap& strip, const std::string& note);

// Where the note stands until the first key: its first screen row, and whether it hides part of the room
// there (every place left some of the room under it).
struct note_place {
  int row = 1;
  bool hidesroom = false;
};
note_place PlaceNote(const tilemap& strip, int rows, const level& lvl, int layer);

}  // namespace dusk
