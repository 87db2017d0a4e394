// World files: a world's name, unlock flag, looks and level order, and the world text the compiler reads.
#include "worlds/world_file.h"

#include <algorithm>
#include <array>

#include "puzzle/kinds.h"
#include "worlds/source_text.h"
#include "worlds/world_looks.h"

namespace dusk {

namespace {

using namespace sourcetext;

constexpr int kMaxLevels = 16;

const world_look* Find(const std::vector<world_look>& looks, int k) {
  for (const world_look& l : looks) {
    if (l.kind == k) return &l;
  }
  return nullptr;
}

bool IsStateKind(int k) {
  return k >= kind::moverleft && k <= kind::gateshutsin + kind::kLongestCountdown;
}

// Colours that read on every dark floor and apart from one another, with two to spare for those a world
// takes itself.
constexpr std::array<uint8_t, 10> kPairColors = {37, 56, 34, 12, 39, 3, 47, 26, 55, 50};
constexpr std::array<uint8_t, 10> kKeyColors = {5, 50, 55, 32, 35, 47, 43, 0, 37, 34};
// Anticlockwise turners take the first of these that isn't the clockwise ones' colour.
constexpr std::array<uint8_t, 2> kAnticlockwiseColors = {50, 47};

constexpr uint8_t kSendGlyph = 9;      // a ring: step in and leave
constexpr uint8_t kReceiveGlyph = 10;  // a ring set in a block: where you arrive
constexpr uint8_t kBothGlyph = 232;    // a ring with a way through
constexpr std::array<uint8_t, 4> kTriangles = {16, 31, 17, 30};  // right, down, left, up
constexpr uint8_t kArrowUp = 24;
constexpr uint8_t kArrowDown = 25;
constexpr uint8_t kArrowRight = 26;
constexpr uint8_t kArrowLeft = 27;

// The colours a world leaves out come from the list in order, skipping those it gives and the one to avoid.
void FillColors(std::vector<world_look>& looks, int first, std::vector<uint8_t> colors, int avoid) {
  std::vector<uint8_t> used;
  for (int i = 0; i < kind::kMarkColors; ++i) {
    if (const world_look* l = Find(looks, first + i)) used.push_back(l->fg);
  }
  std::erase_if(colors, [&](uint8_t c) {
    return c == avoid || std::find(used.begin(), used.end(), c) != used.end();
  });
  size_t next = 0;
  for (int i = 0; i < kind::kMarkColors; ++i) {
    if (Find(looks, first + i)) continue;
    const uint8_t color = next < colors.size() ? colors[next++] : static_cast<uint8_t>(i);
    looks.push_back({static_cast<uint8_t>(first + i), 0, color, 0, 0});
  }
}

// A kind by the name the first worlds gave it; states are not kinds a world can feature.
std::optional<uint8_t> NamedKind(std::string_view name) {
  for (int k = 0; k < 255; ++k) {
    if (KindName(static_cast<uint8_t>(k)) == name) return static_cast<uint8_t>(k);
  }
  return std::nullopt;
}

// Kinds a level can hold and lose: removing one of these changes play, so a world can be about it.
bool CanBeFeatured(uint8_t k) {
  switch (k) {
    case kind::untrailedfloor:
    case kind::onewayup:
    case kind::onewaydown:
    case kind::onewayright:
    case kind::onewayleft:
    case kind::trailclearingfloor:
    case kind::fixedtrailfloor:
    case kind::block:
    case kind::teleporter:
    case kind::doorswitch:
    case kind::door:
    case kind::timedgate:
    case kind::horizontalmover:
    case kind::verticalmover:
    case kind::turningmover:
      return true;
    default:
      return false;
  }
}

class world_parser {
 public:
  world_parser(const std::string& file, source_error& error) : report_(file, error) { world_.file = file; }

  std::optional<world_file> parse(std::string_view text) {
    enum class section { top, looks, levels } in = section::top;
    bool named = false;
    bool unlocked = false;
    int looksline = 1;
    bool featured = false;
    for (const text_line& l : SplitLines(text)) {
      int column = 1;
      const std::string_view line = Trimmed(l.text, column);
      if (line.empty() || line[0] == ';') continue;
      if (line == "looks") {
        in = section::looks;
        looksline = l.number;
      } else if (line == "levels") {
        in = section::levels;
      } else if (line.starts_with("name:")) {
        int skipped = 1;
        const std::string_view value = Trimmed(line.substr(5), skipped);
        if (value.empty() || value.size() > kMaxNameLength || !PrintableName(value)) {
          report_.fail(l.number, column + 4 + skipped, "a name is 1 to 255 printable ASCII characters");
          return std::nullopt;
        }
        world_.name = std::string(value);
        named = true;
      } else if (line.starts_with("unlock:")) {
        int skipped = 1;
        const std::string_view value = Trimmed(line.substr(7), skipped);
        if (value != "yes" && value != "no") {
          report_.fail(l.number, column + 6 + skipped,
                       "unlock is 'yes' (winning the last level opens the next "
                       "world) or 'no', found " +
                           Quote(value));
          return std::nullopt;
        }
        world_.unlock = value == "yes" ? 1 : 0;
        unlocked = true;
      } else if (line.starts_with("featured:")) {
        if (featured) {
          report_.fail(l.number, column, "the world has a 'featured:' line already");
          return std::nullopt;
        }
        featured = true;
        if (!features(l.number, column + 9, line.substr(9))) return std::nullopt;
      } else if (in == section::looks) {
        if (!look(l.number, column, line)) return std::nullopt;
      } else if (in == section::levels) {
        if (world_.levels.size() == kMaxLevels) {
          report_.fail(l.number, column, "too many levels: a world holds at most 16");
          return std::nullopt;
        }
        world_.levels.emplace_back(line);
        world_.levellines.push_back(l.number);
      } else {
        report_.fail(l.number, column,
                     "unexpected line; expected 'name:', 'unlock:', 'featured:', 'looks' or 'levels'");
        return std::nullopt;
      }
    }
    if (!named)
      report_.fail(1, 1, "the world has no 'name:' line");
    else if (!unlocked)
      report_.fail(1, 1, "the world has no 'unlock:' line");
    else if (world_.levels.empty())
      report_.fail(1, 1, "the world lists no levels");
    else if (AddStateLooks(world_.looks); apart(looksline))
      return std::move(world_);
    return std::nullopt;
  }

 private:
  // "<kind>, <kind>, ...": kind names as the looks name them; none at all is a world about no new kind.
  bool features(int number, int column, std::string_view list) {
    std::size_t at = 0;
    while (at <= list.size()) {
      std::size_t comma = list.find(',', at);
      if (comma == std::string_view::npos) comma = list.size();
      int skipped = 1;
      const std::string_view name = Trimmed(list.substr(at, comma - at), skipped);
      const int where = column + static_cast<int>(at) + skipped - 1;
      if (name.empty()) {
        if (comma == list.size() && at == 0) return true;
        return report_.fail(number, where, "a featured list is kind names separated by commas");
      }
      const std::optional<uint8_t> k = NamedKind(name);
      if (!k) return report_.fail(number, where, "unknown kind " + Quote(name));
      if (!CanBeFeatured(*k)) {
        return report_.fail(number, where,
                            Quote(name) +
                                " can't be featured: a world features special floors and pieces "
                                "(a door covers open doors, a gate open gates)");
      }
      if (std::find(world_.featured.begin(), world_.featured.end(), *k) != world_.featured.end())
        return report_.fail(number, where, "kind " + Quote(name) + " is featured already");
      world_.featured.push_back(*k);
      at = comma + 1;
    }
    return true;
  }

  // "<kind> = <glyph> <foreground> <background>", the glyph a number or a quoted character.
  bool look(int number, int column, std::string_view line) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      return report_.fail(number, column, "a look is '<kind> = <glyph> <foreground> <background>'");
    }
    int skipped = 1;
    const std::string_view name = Trimmed(line.substr(0, equals), skipped);
    const int restcolumn = column + static_cast<int>(equals) + 1;
    const std::vector<word> words = Words(line.substr(equals + 1), restcolumn);
    if (name == "pair colours") return colors(number, column, restcolumn, words, kind::paircolor);
    if (name == "key colours") return colors(number, column, restcolumn, words, kind::keycolor);
    std::optional<uint8_t> kind = LookKind(name);
    if (!kind) {
      if (const std::optional<int> n = Number(name, 0, 254)) kind = static_cast<uint8_t>(*n);
    }
    if (!kind) return report_.fail(number, column, "unknown kind " + Quote(name));
    if (Find(world_.looks, *kind)) {
      return report_.fail(number, column, "kind " + Quote(name) + " has a look already");
    }
    if (words.size() != 3) {
      return report_.fail(number, words.size() > 3 ? words[3].column : restcolumn,
                          "a look has three values: glyph, foreground and background");
    }
    world_look look{*kind, 0, 0, 0, number};
    const std::string_view g = words[0].text;
    if (g.size() == 3 && g.front() == '\'' && g.back() == '\'') {
      look.glyph = static_cast<uint8_t>(g[1]);
    } else if (const std::optional<int> n = Number(g, 0, 255)) {
      look.glyph = static_cast<uint8_t>(*n);
    } else {
      return report_.fail(number, words[0].column,
                          "a glyph is a number from 0 to 255 or a quoted character, found " + Quote(g));
    }
    for (int i = 1; i < 3; ++i) {
      const std::optional<int> colour = Number(words[static_cast<size_t>(i)].text, 0, 255);
      if (!colour) {
        return report_.fail(
            number, words[static_cast<size_t>(i)].column,
            "a colour is a palette number from 0 to 255, found " + Quote(words[static_cast<size_t>(i)].text));
      }
      (i == 1 ? look.fg : look.bg) = static_cast<uint8_t>(*colour);
    }
    world_.looks.push_back(look);
    return true;
  }

  // "pair colours = <colour>..." or "key colours = ...": up to eight palette numbers, taken by a level's
  // pairs or keys in the order its scan meets them.
  bool colors(int number, int column, int restcolumn, const std::vector<word>& words, int first) {
    if (Find(world_.looks, first)) return report_.fail(number, column, "these colours are given already");
    if (words.empty() || words.size() > static_cast<size_t>(kind::kMarkColors)) {
      return report_.fail(number, words.empty() ? restcolumn : words[kind::kMarkColors].column,
                          "give 1 to 8 colours, one for each pair or key a level may hold");
    }
    for (size_t i = 0; i < words.size(); ++i) {
      const std::optional<int> color = Number(words[i].text, 0, 255);
      if (!color) {
        return report_.fail(number, words[i].column,
                            "a colour is a palette number from 0 to 255, found " + Quote(words[i].text));
      }
      world_.looks.push_back(
          {static_cast<uint8_t>(first + static_cast<int>(i)), 0, static_cast<uint8_t>(*color), 0, number});
    }
    return true;
  }

  // Every state must look apart from every other that plays differently, on whatever it stands on: else
  // the player can't tell from the screen what happens next.
  bool apart(int looksline) {
    world drawn;
    for (const world_look& l : world_.looks) {
      drawn.tilec[l.kind] = l.glyph;
      drawn.tilef[l.kind] = l.fg;
      drawn.tileb[l.kind] = l.bg;
      drawn.tilegiven.set(l.kind);
    }
    const std::optional<look_clash> clash = FindLookClash(drawn);
    if (!clash) return true;
    // Point at the look to change: a state's own look or colour list when the world gives one, else the
    // look of a kind.
    int line = 0;
    for (const bool state : {true, false}) {
      for (const int k : clash->kinds) {
        const world_look* l = Find(world_.looks, k);
        if (line == 0 && l && l->line > 0 && IsStateKind(k) == state) line = l->line;
      }
    }
    if (line == 0) line = looksline;
    const cell_look& look = clash->look;
    return report_.fail(line, 1,
                        Quote(clash->first) + " and " + Quote(clash->second) + " look the same (glyph " +
                            std::to_string(look.glyph) + " in colour " + std::to_string(look.fg) + " on " +
                            std::to_string(look.bg) + "); give one of them a look of its own");
  }

  reporter report_;
  world_file world_;
};

}  // namespace

void AddStateLooks(std::vector<world_look>& looks) {
  auto plain = [&looks](int k) {
    const world_look* l = Find(looks, k);
    return l ? *l : world_look{static_cast<uint8_t>(k), 0, 0, 0, 0};
  };
  auto add = [&looks](int k, uint8_t glyph, uint8_t fg, uint8_t bg) {
    if (!Find(looks, k)) looks.push_back({static_cast<uint8_t>(k), glyph, fg, bg, 0});
  };
  // A world that gives no look for a kind has no use for it, nor for the looks of its states.
  auto has = [&looks](int k) { return Find(looks, k) != nullptr; };

  if (has(kind::horizontalmover)) {
    const world_look across = plain(kind::horizontalmover);
    add(kind::moverleft, kArrowLeft, across.fg, across.bg);
    add(kind::moverright, kArrowRight, across.fg, across.bg);
  }
  if (has(kind::verticalmover)) {
    const world_look along = plain(kind::verticalmover);
    add(kind::moverup, kArrowUp, along.fg, along.bg);
    add(kind::moverdown, kArrowDown, along.fg, along.bg);
  }

  if (has(kind::turningmover)) {
    const world_look turner = plain(kind::turningmover);
    const uint8_t other =
        turner.fg != kAnticlockwiseColors[0] ? kAnticlockwiseColors[0] : kAnticlockwiseColors[1];
    for (int heading = 0; heading < 4; ++heading) {
      const uint8_t glyph = kTriangles[static_cast<size_t>(heading)];
      add(kind::turnerclockwise + heading, glyph, turner.fg, turner.bg);
      add(kind::turneranticlockwise + heading, glyph, other, turner.bg);
    }
  }

  // A closed gate's count stands out of a block in the gate's colour; an open gate's is written on its floor.
  if (has(kind::timedgate)) {
    const world_look closed = plain(kind::timedgate);
    const world_look open = plain(kind::opentimedgate);
    for (int n = 1; n <= kind::kLongestCountdown; ++n) {
      const auto digit = static_cast<uint8_t>('0' + n);
      add(kind::gateopensin + n, digit, closed.bg, closed.fg);
      add(kind::gateshutsin + n, digit, open.fg, open.bg);
    }
  }

  if (has(kind::teleporter)) {
    const world_look pad = plain(kind::teleporter);
    add(kind::teleportersends, kSendGlyph, pad.fg, pad.bg);
    add(kind::teleporterreceives, kReceiveGlyph, pad.fg, pad.bg);
    add(kind::teleporterboth, kBothGlyph, pad.fg, pad.bg);
    // A pad that does nothing is a ring as dim as the floor's dots.
    add(kind::teleporteridle, kSendGlyph, plain(kind::floor).fg, pad.bg);
    FillColors(looks, kind::paircolor, {kPairColors.begin(), kPairColors.end()}, pad.fg);
  }

  if (has(kind::doorswitch) || has(kind::door)) {
    // The first key keeps the world's own switch colour.
    const uint8_t switchcolor = plain(kind::doorswitch).fg;
    std::vector<uint8_t> keys = {switchcolor};
    for (const uint8_t c : kKeyColors) {
      if (c != switchcolor) keys.push_back(c);
    }
    FillColors(looks, kind::keycolor, keys, -1);
  }
}

std::optional<std::string_view> KindName(uint8_t k) {
  return PlainKindName(k);
}

std::optional<world_file> ParseWorldFile(std::string_view text, const std::string& file,
                                         source_error& error) {
  world_parser parser(file, error);
  return parser.parse(text);
}

std::optional<world_file> ReadWorldFile(const std::string& path, source_error& error) {
  const std::optional<std::string> text = ReadText(path, error);
  if (!text) return std::nullopt;
  return ParseWorldFile(*text, path, error);
}

std::string WorldText(const world_file& world, const std::vector<compiled_level>& levels) {
  std::string out = "@" + world.name + "\r\n";
  out += "#" + std::to_string(world.unlock) + ":\r\n";
  for (const world_look& l : world.looks) {
    out += "#" + std::to_string(l.kind) + ":" + std::to_string(l.glyph) + ":" + std::to_string(l.fg) + ":" +
           std::to_string(l.bg) + ":\r\n";
  }
  out += "#255:\r\n";
  for (const compiled_level& l : levels) {
    out += "@" + l.name + "\r\n";
    out += "*" + std::to_string(l.moves) + ":" + std::to_string(l.highscore) + ":\r\n";
    // The note goes to a file of its own: the world data file keeps the layout every reader knows.
    if (!l.note.empty()) out += "&" + l.note + "\r\n";
    out += "!" + l.screenfile + "\r\n";
  }
  out += "% end of world\r\n";
  return out;
}

}  // namespace dusk
