// World files: a world's name, unlock flag, looks and level order, and the world text the compiler reads.
#include "worlds/world_file.h"

#include <algorithm>
#include <array>

#include "puzzle/kinds.h"
#include "worlds/source_text.h"

namespace dusk {

namespace {

using namespace sourcetext;

constexpr int kMaxLevels = 16;

struct kind_name {
  std::string_view name;
  uint8_t kind;
};

constexpr std::array<kind_name, 26> kKindNames = {{
    {"floor", kind::floor},
    {"wall", kind::wall},
    {"marked floor", kind::markedfloor},
    {"wall 2", kind::wallsecondlook},
    {"wall 3", kind::wallthirdlook},
    {"untrailed floor", kind::untrailedfloor},
    {"one-way up", kind::onewayup},
    {"one-way down", kind::onewaydown},
    {"one-way right", kind::onewayright},
    {"one-way left", kind::onewayleft},
    {"clearing floor", kind::trailclearingfloor},
    {"fixed-trail floor", kind::fixedtrailfloor},
    {"star", kind::star},
    {"block", kind::block},
    {"teleporter", kind::teleporter},
    {"switch", kind::doorswitch},
    {"door", kind::door},
    {"open door", kind::opendoor},
    {"gate", kind::timedgate},
    {"open gate", kind::opentimedgate},
    {"horizontal mover", kind::horizontalmover},
    {"vertical mover", kind::verticalmover},
    {"turner", kind::turningmover},
    {"player", kind::player},
    {"star burst", kind::starburst},
    {"dissolving trail", kind::dissolvingtrail},
}};

std::optional<uint8_t> NamedKind(std::string_view name) {
  for (const kind_name& k : kKindNames) {
    if (k.name == name) return k.kind;
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
    bool featured = false;
    for (const text_line& l : SplitLines(text)) {
      int column = 1;
      const std::string_view line = Trimmed(l.text, column);
      if (line.empty() || line[0] == ';') continue;
      if (line == "looks") {
        in = section::looks;
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
    else
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
    std::optional<uint8_t> kind = NamedKind(name);
    if (!kind) {
      if (const std::optional<int> n = Number(name, 0, 254)) kind = static_cast<uint8_t>(*n);
    }
    if (!kind) return report_.fail(number, column, "unknown kind " + Quote(name));
    for (const world_look& l : world_.looks) {
      if (l.kind == *kind) return report_.fail(number, column, "kind " + Quote(name) + " has a look already");
    }
    const int restcolumn = column + static_cast<int>(equals) + 1;
    const std::vector<word> words = Words(line.substr(equals + 1), restcolumn);
    if (words.size() != 3) {
      return report_.fail(number, words.size() > 3 ? words[3].column : restcolumn,
                          "a look has three values: glyph, foreground and background");
    }
    world_look look{*kind, 0, 0, 0};
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

  reporter report_;
  world_file world_;
};

}  // namespace

std::optional<std::string_view> KindName(uint8_t k) {
  for (const kind_name& named : kKindNames) {
    if (named.kind == k) return named.name;
  }
  return std::nullopt;
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
    out += "!" + l.screenfile + "\r\n";
  }
  out += "% end of world\r\n";
  return out;
}

}  // namespace dusk
