// The help pages that teach the level at hand, and the note under the banner.
#include "screens/level_help.h"

#include <algorithm>
#include <initializer_list>
#include <optional>

#include "display/text.h"
#include "puzzle/kinds.h"
#include "screens/level_session.h"
#include "ui/menu_colors.h"

namespace dusk {

namespace {

constexpr int kScreenWidth = 20;
constexpr int kScreenHeight = 15;
constexpr int kBoardColumns = level::size;  // the columns right of the hud
constexpr int kHudColumns = 5;
constexpr int kFirstNoteRow = 1;  // under the banner
constexpr int kBarColor = play::kHelpBar;
constexpr int kBarText = play::kHelpBarText;
constexpr int kFirstRow = 2;  // content rows, between the bars
constexpr int kLastRow = 13;
constexpr int kLookColumn = 0;
constexpr int kTextColumn = 2;
constexpr int kPlainColumn = 1;  // the note and the keys
constexpr int kNoteColor = kValueColor;
constexpr int kNameColor = kValueColor;
constexpr int kRuleColor = kEntryColor;
constexpr int kPageLeftGlyph = 27;
constexpr int kPageRightGlyph = 26;

cell_look Over(const cell_look& look, const cell_look& under) {
  return {look.glyph == kNoValue ? under.glyph : look.glyph, look.fg == kNoValue ? under.fg : look.fg,
          look.bg == kNoValue ? under.bg : look.bg};
}

// What a level holds, gathered in one scan.
struct contents {
  bool ground[256] = {};
  const tile* first[256] = {};  // the first object of each id in scan order
  int firstcell[256] = {};
  const tile* closedgate = nullptr;
  const tile* opengate = nullptr;
  const tile* closeddoor = nullptr;
  const tile* opendoor = nullptr;
  int closeddoorcell = 0;
  int opendoorcell = 0;
  int pads[4] = {-1, -1, -1, -1};  // the first pad of each role, by cell
  bool relay = false;              // a pad that sends on one pair and receives on another
  int relaycell = -1;
  const tile* pieces[4] = {};  // horizontal mover, vertical mover, turner clockwise, turner anticlockwise
};

contents Gather(const level& lvl, const level_marks& marks) {
  contents c;
  c.ground[kind::floor] = true;
  const int depth = std::clamp(lvl.depth, 0, level::size);
  for (int z = 0; z < depth; ++z) {
    for (int x = 0; x < level::size; ++x) {
      for (int y = 0; y < level::size; ++y) {
        const int cell = level::cellindex(x, y, z);
        const tile* object = lvl.obj(x, y, z);
        if (object == nullptr) {
          c.ground[lvl.map(x, y, z)] = true;
          continue;
        }
        if (c.first[object->id] == nullptr) {
          c.first[object->id] = object;
          c.firstcell[object->id] = cell;
        }
        if (object->id == kind::timedgate) {
          const tile*& gate = object->s != 0 ? c.closedgate : c.opengate;
          if (gate == nullptr) gate = object;
        } else if (object->id == kind::door) {
          const bool closed = object->b != 0;
          if ((closed ? c.closeddoor : c.opendoor) == nullptr) {
            (closed ? c.closeddoor : c.opendoor) = object;
            (closed ? c.closeddoorcell : c.opendoorcell) = cell;
          }
        } else if (object->id == kind::teleporter) {
          const pad_mark mark = marks.pad(cell);
          const bool relay = mark.role == pad_role::both && mark.sendpair != mark.receivepair;
          if (relay && !c.relay) {
            c.relay = true;
            c.relaycell = cell;
          } else if (!relay && c.pads[static_cast<int>(mark.role)] < 0) {
            c.pads[static_cast<int>(mark.role)] = cell;
          }
        }
      }
    }
  }
  for (const tile& piece : lvl.objs()) {
    int slot = -1;
    if (piece.id == kind::horizontalmover) slot = 0;
    if (piece.id == kind::verticalmover) slot = 1;
    if (piece.id == kind::turningmover) slot = piece.b != 0 ? 2 : 3;
    if (slot >= 0 && c.pieces[slot] == nullptr) c.pieces[slot] = &piece;
  }
  return c;
}

std::string Moves(int n) {
  return std::to_string(n) + (n == 1 ? " move" : " moves");
}

// One row of a page: a look at the left, or none, and text in a colour.
struct page_line {
  std::optional<cell_look> look;
  std::string text;
  int color = kRuleColor;
  int column = kTextColumn;
  bool keepwithnext = false;  // a heading stays on the page of what it heads
  bool blank = false;
  size_t named = 0;  // the first characters name a kind, in the name colour
};

}  // namespace

std::vector<std::string> WrapText(const std::string& text, int width) {
  std::vector<std::string> rows;
  if (width <= 0) return rows;
  std::string row;
  size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && text[at] == ' ') ++at;
    size_t end = text.find(' ', at);
    if (end == std::string::npos) end = text.size();
    std::string word = text.substr(at, end - at);
    at = end;
    if (word.empty()) break;
    const auto w = static_cast<size_t>(width);
    if (!row.empty() && row.size() + 1 + word.size() <= w) {
      row += ' ' + word;
      continue;
    }
    if (!row.empty()) rows.push_back(row);
    while (word.size() > w) {
      rows.push_back(word.substr(0, w));
      word.erase(0, w);
    }
    row = word;
  }
  if (!row.empty()) rows.push_back(row);
  return rows;
}

std::vector<legend_entry> LevelLegend(const world& w, const level& lvl) {
  const level_marks marks = MarkLevel(lvl);
  const contents c = Gather(lvl, marks);
  const cell_look floor = KindLook(w, kind::floor);
  std::vector<legend_entry> entries;
  auto add = [&](const cell_look& look, std::string name, std::string rule) {
    entries.push_back({Over(look, floor), std::move(name), std::move(rule)});
  };
  auto has = [&c](int id) { return c.first[id] != nullptr; };
  struct ground_text {
    uint8_t kind;
    const char* name;
    const char* rule;
  };
  auto grounds = [&](std::initializer_list<ground_text> list) {
    for (const ground_text& g : list) {
      if (c.ground[g.kind]) add(KindLook(w, g.kind), g.name, g.rule);
    }
  };

  // What makes this level what it is comes first: its moving pieces, gates, pads, keys and special floors.
  // Anything stops a piece: a wall, a block, a star, a gate, another piece or you.
  static constexpr const char* kPieceRules[4] = {"bounces off anything", "bounces off anything",
                                                  "turns right at anything", "turns left at anything"};
  static constexpr const char* kPieceNames[4] = {"Mover", "Mover", "Turner", "Turner"};
  for (int slot = 0; slot < 4; ++slot) {
    if (c.pieces[slot] != nullptr) add(PieceLook(w, *c.pieces[slot]), kPieceNames[slot], kPieceRules[slot]);
  }

  if (c.closedgate != nullptr) {
    const int n = GateCountdown(*c.closedgate);
    add(GateLook(w, true, n), "Shut gate", n <= kind::kLongestCountdown ? "opens in " + Moves(n) : "opens later");
  }
  if (c.opengate != nullptr) {
    const int n = GateCountdown(*c.opengate);
    add(GateLook(w, false, n), "Open gate", n <= kind::kLongestCountdown ? "shuts in " + Moves(n) : "shuts later");
  }

  auto pad = [&](pad_role role) { return TeleporterLook(w, marks.pad(c.pads[static_cast<int>(role)])); };
  auto haspad = [&c](pad_role role) { return c.pads[static_cast<int>(role)] >= 0; };
  if (haspad(pad_role::sends)) add(pad(pad_role::sends), "Pad", "sends you to its colour");
  if (haspad(pad_role::receives)) add(pad(pad_role::receives), "Pad", "its colour lands you here");
  if (haspad(pad_role::both)) add(pad(pad_role::both), "Pad", "to and from its colour");
  if (c.relay) {
    add(TeleporterLook(w, marks.pad(c.relaycell)), "Pad", "sends to its colour; its ground's colour sends here");
  }
  if (haspad(pad_role::none)) add(pad(pad_role::none), "Pad", "does nothing");

  if (has(kind::doorswitch)) {
    add(KeyLook(w, kind::doorswitch, marks.key(c.first[kind::doorswitch]->f)), "Switch",
        "each step onto it flips the doors of its colour");
  }
  if (c.closeddoor != nullptr) add(KeyLook(w, kind::door, marks.key(c.closeddoor->f)), "Shut door", "no way past");
  if (c.opendoor != nullptr) add(KeyLook(w, kind::opendoor, marks.key(c.opendoor->f)), "Open door", "walk through");

  grounds({{kind::untrailedfloor, "Bare floor", "takes no block"},
           {kind::onewayup, "One-way", "enter going up"},
           {kind::onewaydown, "One-way", "enter going down"},
           {kind::onewayright, "One-way", "enter going right"},
           {kind::onewayleft, "One-way", "enter going left"},
           // "Layer" means something only where the hud counts layers.
           {kind::trailclearingfloor, "Clearing floor",
            lvl.depth > 1 ? "wipes the trail blocks of its layer" : "wipes away the trail blocks"},
           {kind::fixedtrailfloor, "Fixed floor", "its blocks never clear"}});

  // Then what every level has.
  if (has(kind::star)) add(KindLook(w, kind::star), "Star", "take all");
  add(KindLook(w, kind::player), "You", "each step leaves a block");
  add(KindLook(w, kind::block), "Block", "no way past");
  grounds({{kind::floor, "Floor", "walk on it"},
           {kind::markedfloor, "Marked floor", "walk on it, as on floor"},
           {kind::wall, "Wall", "no way past"},
           {kind::wallsecondlook, "Wall", "no way past"},
           {kind::wallthirdlook, "Wall", "no way past"}});
  return entries;
}

std::vector<tilemap> HelpPages(const world& w, const level& lvl, const std::string& note) {
  std::vector<page_line> lines;
  auto blank = [&lines] { lines.push_back({std::nullopt, "", kRuleColor, kTextColumn, false, true, 0}); };
  const int textwidth = kScreenWidth - kTextColumn;

  if (!note.empty()) {
    for (const std::string& row : WrapText(note, kScreenWidth - 2))
      lines.push_back({std::nullopt, row, kNoteColor, kPlainColumn, true, false, 0});
    lines.back().keepwithnext = false;
    blank();
  }
  for (const legend_entry& e : LevelLegend(w, lvl)) {
    // The name in its colour, and the rule after it, wrapped onto rows of its own.
    const std::vector<std::string> rows = WrapText(e.name + ": " + e.rule, textwidth);
    for (size_t r = 0; r < rows.size(); ++r) {
      page_line line{r == 0 ? std::optional<cell_look>(e.look) : std::nullopt, rows[r], kRuleColor, kTextColumn,
                     r + 1 < rows.size(), false, r == 0 ? e.name.size() + 1 : 0};
      lines.push_back(line);
    }
  }
  blank();
  lines.push_back({std::nullopt, "More keys", kNameColor, kPlainColumn, true, false, 0});
  // The keys stay together, on one page.
  for (const char* key : {"Z, Backspace: undo", "H: hint", "R: restart", "M: mute", "F11: fullscreen",
                          "F12: screenshot"}) {
    lines.push_back({std::nullopt, key, kRuleColor, kPlainColumn, true, false, 0});
  }
  lines.back().keepwithnext = false;
  // The hud's figures, which players could not work out from the screen alone.
  blank();
  lines.push_back({std::nullopt, "Score", kNameColor, kPlainColumn, true, false, 0});
  for (const char* rule : {"9 a star, -1 a step", "Red: below zero", "Highs: to beat"}) {
    lines.push_back({std::nullopt, rule, kRuleColor, kPlainColumn, true, false, 0});
  }
  lines.back().keepwithnext = false;

  // Lines onto pages: a heading or an entry never splits, and a page never starts with a blank line.
  std::vector<std::vector<page_line>> pages(1);
  const int rows = kLastRow - kFirstRow + 1;
  size_t i = 0;
  while (i < lines.size()) {
    size_t end = i;
    while (end < lines.size() && lines[end].keepwithnext) ++end;
    end = std::min(end + 1, lines.size());
    const auto count = static_cast<int>(end - i);
    std::vector<page_line>& page = pages.back();
    if (!page.empty() && static_cast<int>(page.size()) + count > rows) pages.emplace_back();
    for (size_t k = i; k < end; ++k) {
      if (pages.back().empty() && lines[k].blank) continue;
      if (static_cast<int>(pages.back().size()) == rows) pages.emplace_back();
      pages.back().push_back(lines[k]);
    }
    i = end;
  }

  std::vector<tilemap> grids;
  const int total = static_cast<int>(pages.size()) + 1;  // the keys page comes first
  for (size_t p = 0; p < pages.size(); ++p) {
    tilemap grid = tilemap::Create(kScreenWidth, kScreenHeight);
    grid.Fill(' ', kRuleColor, kListBackground, 1);
    grid.SetTiles(0, 0, kScreenWidth, 1, ' ', kBarText, kBarColor, 1);
    grid.SetTiles(0, kScreenHeight - 1, kScreenWidth, 1, ' ', kBarText, kBarColor, 1);
    InsertString(grid, 8, 0, "Help", kBarText, kBarColor);
    const std::string count = std::to_string(p + 2) + "/" + std::to_string(total);
    grid.SetTile(1, kScreenHeight - 1, kPageLeftGlyph, kBarText, kBarColor, 1);
    InsertString(grid, 3, kScreenHeight - 1, count, kBarText, kBarColor);
    if (static_cast<int>(p) + 2 < total) {
      grid.SetTile(4 + static_cast<int>(count.size()), kScreenHeight - 1, kPageRightGlyph, kBarText, kBarColor, 1);
    }
    InsertString(grid, 17, kScreenHeight - 1, "F1", kBarText, kBarColor);
    int row = kFirstRow;
    for (const page_line& line : pages[p]) {
      if (line.look) grid.SetTile(kLookColumn, row, line.look->glyph, line.look->fg, line.look->bg, 1);
      InsertString(grid, line.column, row, line.text, line.color, kListBackground);
      if (line.named > 0) InsertString(grid, line.column, row, line.text.substr(0, line.named), kNameColor, kListBackground);
      ++row;
    }
    grids.push_back(std::move(grid));
  }
  return grids;
}

int WriteNoteStrip(tilemap& strip, const std::string& note) {
  strip.Fill(kNoValue, kNoValue, kNoValue, 1);
  std::vector<std::string> rows = WrapText(note, strip.tmapw);
  if (static_cast<int>(rows.size()) > strip.tmaph) {
    // Words that won't wrap onto the rows there are run on, cut where the rows end.
    rows.clear();
    for (size_t at = 0; at < note.size() && static_cast<int>(rows.size()) < strip.tmaph;
         at += static_cast<size_t>(strip.tmapw))
      rows.push_back(note.substr(at, static_cast<size_t>(strip.tmapw)));
  }
  // The rows stand as one solid block: a shorter row would let the board, or the hud once the note
  // reaches past the board's 15 columns, show through beside its words.
  std::size_t width = 0;
  for (const std::string& row : rows) width = std::max(width, row.size());
  if (width > static_cast<std::size_t>(kBoardColumns)) width = static_cast<std::size_t>(strip.tmapw);
  for (int y = 0; y < strip.tmaph && y < static_cast<int>(rows.size()); ++y) {
    std::string row = rows[static_cast<size_t>(y)];
    if (row.size() < width) row.insert(0, width - row.size(), ' ');
    InsertRAlignString(strip, strip.tmapw - 1, y, row, kNoteColor, kListBackground);
  }
  return std::min(static_cast<int>(rows.size()), strip.tmaph);
}

note_place PlaceNote(const tilemap& strip, int rows, const level& lvl, int layer) {
  // Whether the note standing at row top would cover a cell of the room (anything but bare wall).
  auto coversroom = [&](int top) {
    for (int y = 0; y < rows; ++y) {
      for (int x = kHudColumns; x < strip.tmapw; ++x) {
        if (strip.at(2, x, y) == kNoValue) continue;
        const int bx = x - kHudColumns;
        const int by = top + y;
        if (level::solid(lvl.map(bx, by, layer)) == 0 || lvl.obj(bx, by, layer) != nullptr) return true;
      }
    }
    return false;
  };
  if (rows <= 0) return {};
  // Under the banner, else at the foot of the board, else on the first band of wall it fits.
  std::vector<int> tops{kFirstNoteRow, kScreenHeight - rows};
  for (int top = kFirstNoteRow + 1; top < kScreenHeight - rows; ++top) tops.push_back(top);
  for (const int top : tops) {
    if (!coversroom(top)) return {top, false};
  }
  return {kFirstNoteRow, true};
}

}  // namespace dusk
