// Level sources: the parser with its messages, the level image and the level built directly.
#include "worlds/level_source.h"
#include "worlds/level_glyphs.h"
#include "worlds/level_links.h"

#include <algorithm>
#include <map>

#include "puzzle/kinds.h"
#include "worlds/source_text.h"

namespace dusk {

namespace {

using namespace sourcetext;

constexpr int side = level::size;
constexpr int kMaxLayers = level::size;

namespace glyph = levelglyph;
using levelglyph::kAnticlockwiseMarked;
using levelglyph::kDoorStartsOpen;
using levelglyph::kMoverOnFloor;
using levelglyph::kMoverOnMarked;

// ---- Legend descriptions ----

source_cell Ground(uint8_t kind) {
  return source_cell{kind, 0, 0, 0, 0};
}
source_cell Thing(uint8_t kind, uint8_t f = 0, uint8_t b = 0, uint8_t s = 0) {
  return source_cell{kind::floor, kind, f, b, s};
}

const std::map<char, source_cell>& Defaults() {
  static const std::map<char, source_cell> defaults = {
      {'.', Ground(kind::floor)},
      {':', Ground(kind::markedfloor)},
      {'#', Ground(kind::wall)},
      {'%', Ground(kind::wallsecondlook)},
      {'&', Ground(kind::wallthirdlook)},
      {'_', Ground(kind::untrailedfloor)},
      {'^', Ground(kind::onewayup)},
      {'v', Ground(kind::onewaydown)},
      {'>', Ground(kind::onewayright)},
      {'<', Ground(kind::onewayleft)},
      {'~', Ground(kind::trailclearingfloor)},
      {'=', Ground(kind::fixedtrailfloor)},
      {'*', Thing(kind::star)},
      {'o', Thing(kind::block)},
      {'@', Thing(kind::player)},
      {'L', Thing(kind::horizontalmover, 0)},
      {'R', Thing(kind::horizontalmover, 1)},
      {'U', Thing(kind::verticalmover, 0)},
      {'D', Thing(kind::verticalmover, 1)},
      {'E', Thing(kind::turningmover, 0, 1)},
      {'S', Thing(kind::turningmover, 1, 1)},
      {'W', Thing(kind::turningmover, 2, 1)},
      {'N', Thing(kind::turningmover, 3, 1)},
      {'!', Thing(kind::doorswitch, 1)},
      {'+', Thing(kind::door, 1, 1)},
      {'\'', Thing(kind::door, 1, 0)},
  };
  return defaults;
}

class description {
 public:
  description(std::vector<word> words, int line, int endcolumn, reporter& report)
      : words_(std::move(words)), line_(line), endcolumn_(endcolumn), report_(report) {}

  bool parse(source_cell& cell) {
    if (words_.empty())
      return report_.fail(line_, endcolumn_, "a legend entry needs a description after '='");
    const std::string_view what = next().text;
    if (what == "floor") {
      cell = Ground(kind::floor);
    } else if (what == "marked") {
      if (!expect("floor")) return false;
      cell = Ground(kind::markedfloor);
    } else if (what == "wall") {
      cell = Ground(kind::wall);
      if (peek("2")) {
        next();
        cell = Ground(kind::wallsecondlook);
      } else if (peek("3")) {
        next();
        cell = Ground(kind::wallthirdlook);
      }
    } else if (what == "untrailed") {
      if (!expect("floor")) return false;
      cell = Ground(kind::untrailedfloor);
    } else if (what == "one-way") {
      int heading = 0;
      if (!direction(heading)) return false;
      static constexpr uint8_t floors[4] = {kind::onewayright, kind::onewaydown, kind::onewayleft,
                                            kind::onewayup};
      cell = Ground(floors[heading]);
    } else if (what == "clearing") {
      if (!expect("floor")) return false;
      cell = Ground(kind::trailclearingfloor);
    } else if (what == "fixed-trail") {
      if (!expect("floor")) return false;
      cell = Ground(kind::fixedtrailfloor);
    } else if (what == "star") {
      cell = Thing(kind::star);
    } else if (what == "block") {
      cell = Thing(kind::block);
    } else if (what == "player") {
      cell = Thing(kind::player);
      if (!onmarked(cell)) return false;
    } else if (what == "mover") {
      int heading = 0;
      if (!direction(heading)) return false;
      // Horizontal movers keep 0 for left, 1 for right; vertical ones 0 for up, 1 for down.
      cell = heading == 0 || heading == 2 ? Thing(kind::horizontalmover, heading == 0 ? 1 : 0)
                                          : Thing(kind::verticalmover, heading == 1 ? 1 : 0);
      if (!onmarked(cell)) return false;
    } else if (what == "turner") {
      int heading = 0;
      if (!direction(heading)) return false;
      int clockwise = 0;
      if (!choice("clockwise", "anticlockwise", clockwise)) return false;
      cell = Thing(kind::turningmover, static_cast<uint8_t>(heading), static_cast<uint8_t>(clockwise));
      if (!onmarked(cell)) return false;
    } else if (what == "switch") {
      int key = 0;
      if (!number("a colour key", 0, 255, key)) return false;
      cell = Thing(kind::doorswitch, static_cast<uint8_t>(key));
    } else if (what == "door") {
      int key = 0;
      int open = 0;
      if (!number("a colour key", 0, 255, key) || !choice("open", "closed", open)) return false;
      cell = Thing(kind::door, static_cast<uint8_t>(key), open != 0 ? 0 : 1);
    } else if (what == "teleporter") {
      int send = 0;
      int receive = 0;
      bool any = false;
      if (peek("send")) {
        next();
        if (!number("a send key", 0, 255, send)) return false;
        any = true;
      }
      if (peek("receive")) {
        next();
        if (!number("a receive key", 0, 255, receive)) return false;
        any = true;
      }
      if (!any) return missing("'send' or 'receive'");
      cell = Thing(kind::teleporter, static_cast<uint8_t>(send), static_cast<uint8_t>(receive));
    } else if (what == "gate") {
      int closedfor = 0;
      int openfor = 0;
      int open = 0;
      if (!expect("closed") || !number("the closed phase length", 0, 255, closedfor) || !expect("open") ||
          !number("the open phase length", 0, 255, openfor) || !expect("starts") ||
          !choice("open", "closed", open)) {
        return false;
      }
      cell = Thing(kind::timedgate, static_cast<uint8_t>(closedfor), static_cast<uint8_t>(openfor),
                   open != 0 ? 0 : 1);
    } else {
      return report_.fail(
          line_, words_[0].column,
          "unknown thing " + Quote(what) +
              " (floor, marked floor, wall, wall 2, wall 3, untrailed floor, one-way, clearing floor, "
              "fixed-trail floor, star, block, player, mover, turner, switch, door, teleporter, gate)");
    }
    if (at_ < words_.size())
      return report_.fail(line_, words_[at_].column, "unexpected " + Quote(words_[at_].text));
    return true;
  }

 private:
  const word& next() { return words_[at_++]; }
  bool peek(std::string_view text) const { return at_ < words_.size() && words_[at_].text == text; }
  int column() const { return at_ < words_.size() ? words_[at_].column : endcolumn_; }
  bool missing(const std::string& what) {
    if (at_ < words_.size()) {
      return report_.fail(line_, column(), "expected " + what + ", found " + Quote(words_[at_].text));
    }
    return report_.fail(line_, column(), "expected " + what + " at the end of the line");
  }
  bool expect(std::string_view text) {
    if (!peek(text)) return missing(Quote(text));
    next();
    return true;
  }
  bool choice(std::string_view yes, std::string_view no, int& value) {
    if (peek(yes) || peek(no)) {
      value = next().text == yes ? 1 : 0;
      return true;
    }
    return missing(Quote(yes) + " or " + Quote(no));
  }
  bool number(const std::string& what, int low, int high, int& value) {
    if (at_ >= words_.size()) return missing(what);
    const std::optional<int> n = Number(words_[at_].text, low, high);
    if (!n) {
      return report_.fail(line_, column(),
                          "expected " + what + " from " + std::to_string(low) + " to " +
                              std::to_string(high) + ", found " + Quote(words_[at_].text));
    }
    ++at_;
    value = *n;
    return true;
  }
  // Headings in the order turning movers number them: right, down, left, up.
  bool direction(int& heading) {
    static constexpr std::string_view names[4] = {"right", "down", "left", "up"};
    for (int h = 0; h < 4; ++h) {
      if (peek(names[h])) {
        next();
        heading = h;
        return true;
      }
    }
    return missing("'up', 'down', 'left' or 'right'");
  }
  // Only the pieces the image can show on marked floor may stand there.
  bool onmarked(source_cell& cell) {
    if (!peek("on")) return true;
    next();
    if (!expect("marked") || !expect("floor")) return false;
    cell.ground = kind::markedfloor;
    return true;
  }

  std::vector<word> words_;
  size_t at_ = 0;
  int line_;
  int endcolumn_;
  reporter& report_;
};

// ---- Level sources ----

struct picture_row {
  int line = 0;
  std::string_view text;
};

struct legend_entry {
  source_cell cell;
  int line = 0;
};

struct place {
  int line = 0;
  int column = 0;
};

std::string At(const place& p) {
  return "line " + std::to_string(p.line) + ", column " + std::to_string(p.column);
}

class level_parser {
 public:
  level_parser(const std::string& file, source_error& error) : report_(file, error) { source_.file = file; }

  std::optional<level_source> parse(std::string_view text) {
    if (!lines(SplitLines(text)) || !headers() || !cells() || !check()) return std::nullopt;
    return std::move(source_);
  }

 private:
  bool lines(const std::vector<text_line>& all) {
    bool inlegend = false;
    int rowsleft = 0;
    for (const text_line& l : all) {
      if (rowsleft > 0) {
        std::string_view row = l.text;
        while (!row.empty() && IsBlank(row.back())) row.remove_suffix(1);
        if (row.size() != side) {
          return report_.fail(l.number, static_cast<int>(std::min<size_t>(row.size(), side)) + 1,
                              "ragged picture: this row has " + std::to_string(row.size()) +
                                  " cells; every row of a layer has 15");
        }
        layers_.back().push_back({l.number, row});
        --rowsleft;
        continue;
      }
      int column = 1;
      const std::string_view line = Trimmed(l.text, column);
      if (line.empty() || line[0] == ';') continue;
      if (line == "layer") {
        if (layers_.size() == kMaxLayers) {
          return report_.fail(l.number, column, "too many layers: a level has at most 15");
        }
        layers_.emplace_back();
        layerlines_.push_back(l.number);
        rowsleft = side;
        inlegend = false;
      } else if (line == "legend") {
        inlegend = true;
      } else if (HeaderKey(line) != nullptr) {
        if (!header(l.number, column, line)) return false;
      } else if (inlegend) {
        if (!entry(l.number, column, line)) return false;
      } else {
        return report_.fail(l.number, column,
                            "unexpected line; expected 'name:', 'note:', 'moves:', 'highscore:', 'layer' or 'legend'");
      }
    }
    if (rowsleft > 0) {
      const int last = layers_.back().empty() ? layerlines_.back() : layers_.back().back().line;
      return report_.fail(last + 1, 1,
                          "the layer that starts on line " + std::to_string(layerlines_.back()) +
                              " has only " + std::to_string(side - rowsleft) + " rows; a layer has 15");
    }
    return true;
  }

  static const char* HeaderKey(std::string_view line) {
    for (const char* key : {"name:", "note:", "moves:", "highscore:"}) {
      if (line.starts_with(key)) return key;
    }
    return nullptr;
  }

  bool header(int number, int column, std::string_view line) {
    const std::string key = HeaderKey(line);
    int valuecolumn = column + static_cast<int>(key.size());
    std::string_view rest = line.substr(key.size());
    int skipped = 1;
    const std::string_view value = Trimmed(rest, skipped);
    valuecolumn += skipped - 1;
    if (seen_.count(key) != 0) {
      return report_.fail(number, column,
                          Quote(key) + " is given twice (first on line " + std::to_string(seen_[key]) + ")");
    }
    seen_[key] = number;
    if (key == "name:") {
      if (value.empty()) return report_.fail(number, valuecolumn, "the level needs a name");
      if (value.size() > kMaxNameLength || !PrintableName(value)) {
        return report_.fail(number, valuecolumn, "a name is 1 to 255 printable ASCII characters");
      }
      source_.name = std::string(value);
    } else if (key == "note:") {
      // Two rows of 20 cells under the level's name, and on the help's second page.
      if (value.empty() || value.size() > kMaxNoteLength || !PrintableName(value)) {
        return report_.fail(number, valuecolumn, "a note is 1 to 40 printable ASCII characters");
      }
      source_.note = std::string(value);
    } else if (key == "moves:") {
      const std::optional<int> moves = Number(value, 1, 65535);
      if (!moves) {
        return report_.fail(number, valuecolumn,
                            "the move allowance is a number from 1 to 65535, found " + Quote(value));
      }
      source_.moves = *moves;
    } else {
      if (value == "auto") return true;
      const std::optional<int> high = Number(value, 0, 65535);
      if (!high) {
        return report_.fail(number, valuecolumn,
                            "the high score is 'auto' or a number from 0 to 65535, found " + Quote(value));
      }
      source_.highscore = *high;
    }
    return true;
  }

  bool entry(int number, int column, std::string_view line) {
    const char c = line[0];
    if (c == '=' || c == ';' || c < 33 || c > 126) {
      return report_.fail(number, column,
                          "a legend character is a printable character other than '=' and ';'");
    }
    int at = 1;
    while (at < static_cast<int>(line.size()) && IsBlank(line[static_cast<size_t>(at)])) ++at;
    if (at >= static_cast<int>(line.size()) || line[static_cast<size_t>(at)] != '=') {
      return report_.fail(
          number, column + at,
          "a legend entry is one character, '=' and what it stands for, as in 'T = teleporter send 1'");
    }
    if (legend_.count(c) != 0) {
      return report_.fail(number, column,
                          Quote(std::string(1, c)) + " is already in the legend (line " +
                              std::to_string(legend_[c].line) + ")");
    }
    const std::string_view rest = line.substr(static_cast<size_t>(at) + 1);
    const int restcolumn = column + at + 1;
    description d(Words(rest, restcolumn), number, column + static_cast<int>(line.size()), report_);
    legend_entry e;
    e.line = number;
    if (!d.parse(e.cell)) return false;
    legend_[c] = e;
    return true;
  }

  bool headers() {
    for (const char* key : {"name:", "moves:", "highscore:"}) {
      if (seen_.count(key) == 0) return report_.fail(1, 1, "the level has no " + Quote(key) + " line");
    }
    if (layers_.empty()) return report_.fail(1, 1, "the level has no layer");
    return true;
  }

  bool cells() {
    source_.depth = static_cast<int>(layers_.size());
    source_.cells.resize(static_cast<size_t>(source_.depth * side * side));
    places_.resize(source_.cells.size());
    for (int z = 0; z < source_.depth; ++z) {
      for (int y = 0; y < side; ++y) {
        const picture_row& row = layers_[static_cast<size_t>(z)][static_cast<size_t>(y)];
        for (int x = 0; x < side; ++x) {
          const char c = row.text[static_cast<size_t>(x)];
          const auto i = static_cast<size_t>(z * side * side + y * side + x);
          places_[i] = {row.line, x + 1};
          if (const auto e = legend_.find(c); e != legend_.end()) {
            source_.cells[i] = e->second.cell;
          } else if (const auto d = Defaults().find(c); d != Defaults().end()) {
            source_.cells[i] = d->second;
          } else {
            return report_.fail(row.line, x + 1,
                                "unknown character " + Quote(std::string(1, c)) +
                                    ": not a default character and not in the legend");
          }
        }
      }
    }
    return true;
  }

  // Mistakes of the whole level, reported at the cell (in reading order) that shows them.
  bool check() {
    const size_t n = source_.cells.size();
    std::optional<size_t> player;
    for (size_t i = 0; i < n; ++i) {
      const source_cell& c = source_.cells[i];
      if (c.thing == kind::star) ++source_.stars;
      if (c.thing != kind::player) continue;
      if (player) {
        return report_.fail(places_[i].line, places_[i].column,
                            "a second player start (the first is at " + At(places_[*player]) + ")");
      }
      player = i;
    }
    if (!player)
      return report_.fail(layerlines_[0], 1, "no player start: put '@' (or a legend 'player') in a layer");
    if (source_.stars == 0) {
      return report_.fail(layerlines_[0], 1, "no stars: the level would be won before the first move");
    }
    for (size_t i = 0; i < n; ++i) {
      const source_cell& c = source_.cells[i];
      const place& p = places_[i];
      if (c.thing == kind::teleporter) {
        if (c.b != 0) {
          for (size_t j = 0; j < i; ++j) {
            if (source_.cells[j].thing == kind::teleporter && source_.cells[j].b == c.b) {
              return report_.fail(p.line, p.column,
                                  "a second teleporter receives key " + std::to_string(c.b) +
                                      " (the first is at " + At(places_[j]) + ")");
            }
          }
        }
        if (c.f == 0) continue;
        std::optional<size_t> target;
        for (size_t j = 0; j < n && !target; ++j) {
          if (source_.cells[j].thing == kind::teleporter && source_.cells[j].b == c.f) target = j;
        }
        if (!target) {
          return report_.fail(
              p.line, p.column,
              "unpaired teleporter: it sends key " + std::to_string(c.f) + ", which no teleporter receives");
        }
        if (*target == i) {
          return report_.fail(
              p.line, p.column,
              "teleporter sends to itself: it receives its own send key " + std::to_string(c.f));
        }
      } else if (c.thing == kind::door || c.thing == kind::doorswitch) {
        const uint8_t other = c.thing == kind::door ? kind::doorswitch : kind::door;
        const bool paired = std::any_of(source_.cells.begin(), source_.cells.end(),
                                        [&](const source_cell& o) { return o.thing == other && o.f == c.f; });
        if (!paired) {
          return report_.fail(p.line, p.column,
                              c.thing == kind::door
                                  ? "door without switch: no switch has its key " + std::to_string(c.f)
                                  : "switch without door: no door has its key " + std::to_string(c.f));
        }
      }
    }
    return true;
  }

  reporter report_;
  level_source source_;
  std::vector<std::vector<picture_row>> layers_;
  std::vector<int> layerlines_;
  std::map<char, legend_entry> legend_;
  std::map<std::string, int> seen_;
  std::vector<place> places_;
};

struct image_cell {
  uint8_t glyph = glyph::space;
  uint8_t fg = 0;
  uint8_t bg = 0;
};

image_cell ImageCell(const source_cell& c) {
  const bool marked = c.ground == kind::markedfloor;
  switch (c.thing) {
    case kind::star:
      return {glyph::asterisk};
    case kind::block:
      return {glyph::circle};
    case kind::player:
      return {marked ? glyph::lightface : glyph::darkface};
    case kind::teleporter:
      return {glyph::plus, c.f, c.b};
    case kind::doorswitch:
      return {glyph::bullet, c.f};
    case kind::door:
      return {glyph::inversebullet, c.f, c.b == 0 ? kDoorStartsOpen : uint8_t{0}};
    case kind::timedgate:
      return {c.s != 0 ? glyph::theta : glyph::letter_o, c.f, c.b};
    case kind::horizontalmover:
      return {c.f == 0 ? glyph::leftarrow : glyph::rightarrow, 0, marked ? kMoverOnMarked : kMoverOnFloor};
    case kind::verticalmover:
      return {c.f == 0 ? glyph::uparrow : glyph::downarrow, 0, marked ? kMoverOnMarked : kMoverOnFloor};
    case kind::turningmover: {
      static constexpr uint8_t shapes[4] = {glyph::righttriangle, glyph::downtriangle, glyph::lefttriangle,
                                            glyph::uptriangle};
      const uint8_t bg =
          c.b != 0 ? (marked ? kMoverOnMarked : kMoverOnFloor) : (marked ? kAnticlockwiseMarked : uint8_t{0});
      return {shapes[c.f % 4], 0, bg};
    }
    default:
      break;
  }
  switch (c.ground) {
    case kind::wall:
      return {glyph::hash};
    case kind::markedfloor:
      return {glyph::lightshade};
    case kind::wallsecondlook:
      return {glyph::sun};
    case kind::wallthirdlook:
      return {glyph::almostequal};
    case kind::untrailedfloor:
      return {glyph::percent};
    case kind::onewayup:
      return {glyph::uparrow};
    case kind::onewaydown:
      return {glyph::downarrow};
    case kind::onewayright:
      return {glyph::rightarrow};
    case kind::onewayleft:
      return {glyph::leftarrow};
    case kind::trailclearingfloor:
      return {glyph::femalesign};
    case kind::fixedtrailfloor:
      return {glyph::triplebar};
    default:
      return {glyph::space};
  }
}

}  // namespace

std::string source_error::text() const {
  if (line == 0) return file + ": " + message;
  return file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + message;
}

std::optional<level_source> ParseLevelSource(std::string_view text, const std::string& file,
                                             source_error& error) {
  level_parser parser(file, error);
  return parser.parse(text);
}

std::optional<level_source> ReadLevelSource(const std::string& path, source_error& error) {
  const std::optional<std::string> text = ReadText(path, error);
  if (!text) return std::nullopt;
  return ParseLevelSource(*text, path, error);
}

tilemap LevelImage(const level_source& source) {
  tilemap image = tilemap::Create(side, source.depth * side);
  for (int z = 0; z < source.depth; ++z) {
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side; ++x) {
        const image_cell c = ImageCell(source.at(x, y, z));
        image.SetTile(x, y + z * side, c.glyph, c.fg, c.bg, 1);
      }
    }
  }
  return image;
}

level BuildSourceLevel(const level_source& source) {
  level lvl = level::New();
  lvl.depth = source.depth;
  std::vector<vector> teleporters;
  std::vector<vector> switches;
  std::vector<vector> doors;
  for (int z = 0; z < source.depth; ++z) {
    for (int x = 0; x < side; ++x) {
      for (int y = 0; y < side; ++y) {
        const source_cell& c = source.at(x, y, z);
        if (c.ground != kind::floor) lvl.setmap(x, y, z, c.ground);
        switch (c.thing) {
          case kind::star:
            lvl.setobj(x, y, z, tile::Create(kind::star, 0, 0, 0, 0, 0, 0));
            lvl.totalstars += 1;
            break;
          case kind::block:
            lvl.setobj(x, y, z, tile::Create(kind::block, 0, 0, 0, 0, 0, 0));
            break;
          case kind::player:
            lvl.playerx = x;
            lvl.playery = y;
            lvl.playerz = z;
            lvl.addplayer(tile::Create(kind::player, x, y, z, 0, 0, 0));
            break;
          case kind::teleporter:
            // Until pairing, a teleporter sends to the player start found so far, as the builder has it.
            lvl.setobj(x, y, z,
                       tile::Create(kind::teleporter, lvl.playerx, lvl.playery, lvl.playerz, c.f, c.b, 0));
            teleporters.push_back(vector::Create(x, y, z));
            break;
          case kind::doorswitch:
            lvl.setobj(x, y, z, tile::Create(kind::doorswitch, x, y, z, c.f, 0, 0));
            switches.push_back(vector::Create(x, y, z));
            break;
          case kind::door:
            lvl.setobj(x, y, z, tile::Create(kind::door, x, y, z, c.f, c.b, 0));
            doors.push_back(vector::Create(x, y, z));
            break;
          case kind::timedgate:
            lvl.setobj(x, y, z, tile::Create(kind::timedgate, x, y, z, c.f, c.b, c.s));
            break;
          case kind::horizontalmover:
          case kind::verticalmover:
            lvl.addobj(tile::Create(c.thing, x, y, z, c.f, 0, 0));
            break;
          case kind::turningmover:
            lvl.addobj(tile::Create(kind::turningmover, x, y, z, c.f, c.b, 0));
            break;
          default:
            break;
        }
      }
    }
  }
  PairTeleporters(lvl, teleporters);
  LinkSwitches(lvl, switches, doors);
  return lvl;
}

}  // namespace dusk
