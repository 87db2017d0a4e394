// Looks by state: which entry of a world's tables each piece and object is drawn with now, the marks that
// give a level's teleporter pairs and keys their colours, and the check that no two states look alike.
#include "worlds/world_looks.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "puzzle/kinds.h"

namespace dusk {

namespace {

constexpr uint8_t kNoValue = 255;
constexpr uint8_t kTransparent = 9;  // never painted by grid drawing, like 255

bool Given(const world& w, int k) {
  return k >= 0 && k < 256 && w.tilegiven.test(static_cast<size_t>(k));
}

std::optional<uint8_t> MarkColor(const world& w, int first, int mark) {
  if (mark < 0 || mark >= kind::kMarkColors || !Given(w, first + mark)) return std::nullopt;
  return w.tilef[static_cast<size_t>(first + mark)];
}

constexpr std::array<const char*, 4> kHeadings = {"right", "down", "left", "up"};

struct named_kind {
  const char* name;
  uint8_t kind;
};

// The kinds every world has given looks since the first worlds.
constexpr std::array<named_kind, 26> kPlainKinds = {{
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

constexpr std::array<named_kind, 8> kStateKinds = {{
    {"mover left", kind::moverleft},
    {"mover right", kind::moverright},
    {"mover up", kind::moverup},
    {"mover down", kind::moverdown},
    {"sending teleporter", kind::teleportersends},
    {"receiving teleporter", kind::teleporterreceives},
    {"two-way teleporter", kind::teleporterboth},
    {"idle teleporter", kind::teleporteridle},
}};

}  // namespace

cell_look KindLook(const world& w, int k) {
  const auto i = static_cast<size_t>(k & 255);
  return {w.tilec[i], w.tilef[i], w.tileb[i]};
}

pad_mark level_marks::pad(int cell) const {
  for (const auto& [where, mark] : pads) {
    if (where == cell) return mark;
  }
  return {};
}

level_marks MarkLevel(const level& lvl) {
  level_marks marks;
  marks.keys.fill(-1);
  struct pad {
    int cell;
    int destination;  // -1 when it never sends
  };
  std::vector<pad> pads;
  const int depth = std::clamp(lvl.depth, 0, level::size);
  for (int z = 0; z < depth; ++z) {
    for (int x = 0; x < level::size; ++x) {
      for (int y = 0; y < level::size; ++y) {
        const tile* object = lvl.obj(x, y, z);
        if (object == nullptr) continue;
        if (object->id == kind::teleporter) {
          const int destination =
              object->f != 0 ? level::cellindex(object->x, object->y, object->z) : -1;
          pads.push_back({level::cellindex(x, y, z), destination});
        } else if ((object->id == kind::doorswitch || object->id == kind::door) && marks.keys[object->f] < 0) {
          marks.keys[object->f] = static_cast<int16_t>(marks.keycount++);
        }
      }
    }
  }

  // A pair is named by the cell the pads of it send to; its members are that pad and its senders.
  auto members = [&pads](int destination) {
    std::vector<int> cells;
    for (const pad& p : pads) {
      if (p.cell == destination || p.destination == destination) cells.push_back(p.cell);
    }
    std::sort(cells.begin(), cells.end());
    return cells;
  };
  std::vector<std::vector<int>> pairs;
  auto pairnumber = [&](int destination) {
    const std::vector<int> cells = members(destination);
    const auto found = std::find(pairs.begin(), pairs.end(), cells);
    if (found != pairs.end()) return static_cast<int>(found - pairs.begin());
    pairs.push_back(cells);
    return static_cast<int>(pairs.size()) - 1;
  };
  for (const pad& p : pads) {
    const bool receives = std::any_of(pads.begin(), pads.end(), [&p](const pad& q) { return q.destination == p.cell; });
    const bool sends = p.destination >= 0;
    pad_mark mark;
    if (receives) mark.receivepair = pairnumber(p.cell);
    if (sends) mark.sendpair = pairnumber(p.destination);
    mark.role = sends && receives ? pad_role::both
                : sends           ? pad_role::sends
                : receives        ? pad_role::receives
                                  : pad_role::none;
    marks.pads.emplace_back(p.cell, mark);
  }
  marks.pairs = static_cast<int>(pairs.size());
  return marks;
}

cell_look TeleporterLook(const world& w, const pad_mark& mark) {
  int k = kind::teleporter;
  switch (mark.role) {
    case pad_role::sends: k = kind::teleportersends; break;
    case pad_role::receives: k = kind::teleporterreceives; break;
    case pad_role::both: k = kind::teleporterboth; break;
    case pad_role::none: k = kind::teleporteridle; break;
  }
  if (!Given(w, k)) return KindLook(w, kind::teleporter);
  cell_look look = KindLook(w, k);
  const std::optional<uint8_t> sent = MarkColor(w, kind::paircolor, mark.sendpair);
  const std::optional<uint8_t> received = MarkColor(w, kind::paircolor, mark.receivepair);
  switch (mark.role) {
    case pad_role::sends:
      if (sent) look.fg = *sent;
      break;
    case pad_role::receives:
      if (received) look.fg = *received;
      break;
    case pad_role::both:
      // A pad in two pairs shows the pair it sends on in its glyph and the one it receives on around it.
      if (sent) look.fg = *sent;
      if (received && mark.receivepair != mark.sendpair) look.bg = *received;
      break;
    case pad_role::none:
      break;
  }
  return look;
}

cell_look KeyLook(const world& w, int k, int key) {
  cell_look look = KindLook(w, k);
  if (const std::optional<uint8_t> color = MarkColor(w, kind::keycolor, key)) look.fg = *color;
  return look;
}

cell_look GateLook(const world& w, bool closed, int remaining) {
  const int plain = closed ? kind::timedgate : kind::opentimedgate;
  if (remaining < 1 || remaining > kind::kLongestCountdown) return KindLook(w, plain);
  const int k = (closed ? kind::gateopensin : kind::gateshutsin) + remaining;
  return KindLook(w, Given(w, k) ? k : plain);
}

int GateCountdown(const tile& gate) {
  const int limit = gate.s != 0 ? gate.f : gate.b;
  // A gate flips on the update after its counter reaches the phase length.
  return std::max(limit - gate.t, 0) + 1;
}

cell_look PieceLook(const world& w, const tile& piece) {
  int k = -1;
  switch (piece.id) {
    case kind::horizontalmover:
      if (piece.f <= 1) k = piece.f == 0 ? kind::moverleft : kind::moverright;
      break;
    case kind::verticalmover:
      if (piece.f <= 1) k = piece.f == 0 ? kind::moverup : kind::moverdown;
      break;
    case kind::turningmover:
      k = (piece.b != 0 ? kind::turnerclockwise : kind::turneranticlockwise) + piece.f % 4;
      break;
    default:
      break;
  }
  return KindLook(w, k >= 0 && Given(w, k) ? k : piece.id);
}

cell_look ObjectLook(const world& w, const level_marks& marks, const tile& object, int x, int y, int z) {
  switch (object.id) {
    case kind::doorswitch:
      return KeyLook(w, kind::doorswitch, marks.key(object.f));
    case kind::door:
      return KeyLook(w, object.b != 0 ? kind::door : kind::opendoor, marks.key(object.f));
    case kind::timedgate:
      return GateLook(w, object.s != 0, GateCountdown(object));
    case kind::teleporter:
      return TeleporterLook(w, marks.pad(level::cellindex(x, y, z)));
    default:
      return KindLook(w, object.id);
  }
}

std::optional<std::string_view> PlainKindName(int k) {
  for (const named_kind& n : kPlainKinds) {
    if (n.kind == k) return n.name;
  }
  return std::nullopt;
}

std::string LookName(int k) {
  for (const named_kind& n : kPlainKinds) {
    if (n.kind == k) return n.name;
  }
  for (const named_kind& n : kStateKinds) {
    if (n.kind == k) return n.name;
  }
  if (k >= kind::turnerclockwise && k < kind::turnerclockwise + 8) {
    const int heading = (k - kind::turnerclockwise) % 4;
    const bool clockwise = k < kind::turneranticlockwise;
    return std::string("turner ") + kHeadings[static_cast<size_t>(heading)] +
           (clockwise ? " clockwise" : " anticlockwise");
  }
  if (k > kind::gateopensin && k <= kind::gateopensin + kind::kLongestCountdown)
    return "gate opens in " + std::to_string(k - kind::gateopensin);
  if (k > kind::gateshutsin && k <= kind::gateshutsin + kind::kLongestCountdown)
    return "gate shuts in " + std::to_string(k - kind::gateshutsin);
  if (k >= kind::paircolor && k < kind::paircolor + kind::kMarkColors)
    return "pair colour " + std::to_string(k - kind::paircolor + 1);
  if (k >= kind::keycolor && k < kind::keycolor + kind::kMarkColors)
    return "key colour " + std::to_string(k - kind::keycolor + 1);
  return "";
}

std::optional<uint8_t> LookKind(std::string_view name) {
  if (name.empty()) return std::nullopt;
  for (int k = 0; k < 255; ++k) {
    // Colours of pairs and keys are given as lists, never one by one.
    if (k >= kind::paircolor && k < kind::keycolor + kind::kMarkColors) continue;
    if (LookName(k) == name) return static_cast<uint8_t>(k);
  }
  return std::nullopt;
}

namespace {

bool Blank(uint8_t glyph) {
  return glyph == 0 || glyph == ' ' || glyph == kNoValue;
}

uint8_t SeenColor(uint8_t color) {
  return color == kNoValue ? kTransparent : color;
}

constexpr uint8_t kFullBlock = 219;
constexpr uint8_t kLowerHalf = 220;
constexpr uint8_t kLeftHalf = 221;
constexpr uint8_t kRightHalf = 222;
constexpr uint8_t kUpperHalf = 223;

// A look as the eye takes it: shape and colours, with shapes that are the same picture made alike.
std::tuple<uint8_t, uint8_t, uint8_t> Seen(const cell_look& look) {
  uint8_t glyph = look.glyph;
  uint8_t fg = SeenColor(look.fg);
  uint8_t bg = SeenColor(look.bg);
  if (glyph == kFullBlock) {
    glyph = 0;
    bg = fg;
  }
  if (glyph == kUpperHalf || glyph == kRightHalf) {
    glyph = glyph == kUpperHalf ? kLowerHalf : kLeftHalf;
    std::swap(fg, bg);
  }
  if (Blank(glyph) || fg == bg) return {0, 0, bg};
  return {glyph, fg, bg};
}

// A look drawn over a cell: a plane of 255 keeps what the cell showed.
cell_look Over(const cell_look& look, const cell_look& under) {
  return {look.glyph == kNoValue ? under.glyph : look.glyph, look.fg == kNoValue ? under.fg : look.fg,
          look.bg == kNoValue ? under.bg : look.bg};
}

std::string Ordinal(int n) {
  return std::to_string(n + 1);
}

struct shown_state {
  std::string name;      // for the message
  std::string plays;     // states that play alike share this
  cell_look look;        // as drawn, over what it stands on
  std::vector<int> kinds;
};

tile Piece(uint8_t id, uint8_t f, uint8_t b) {
  return tile::Create(id, 0, 0, 0, f, b, 0);
}

class state_list {
 public:
  explicit state_list(const world& w) : w_(w) {}

  std::vector<shown_state> All() {
    const cell_look floor = Over(KindLook(w_, kind::floor), {0, kTransparent, kTransparent});
    Grounds(floor);
    Objects(floor);
    Pieces();
    return std::move(states_);
  }

 private:
  void Add(std::string name, std::string plays, const cell_look& look, std::vector<int> kinds) {
    states_.push_back({std::move(name), std::move(plays), look, std::move(kinds)});
  }

  void Grounds(const cell_look& floor) {
    static constexpr uint8_t grounds[] = {kind::floor,          kind::markedfloor,    kind::wall,
                                          kind::wallsecondlook, kind::wallthirdlook,  kind::untrailedfloor,
                                          kind::onewayup,       kind::onewaydown,     kind::onewayright,
                                          kind::onewayleft,     kind::trailclearingfloor, kind::fixedtrailfloor};
    for (const uint8_t g : grounds) {
      if (g != kind::floor && !Given(w_, g)) continue;
      // Marked floor is plain floor with a look of its own, and the three walls are one wall.
      std::string plays = LookName(g);
      if (g == kind::markedfloor) plays = "floor";
      if (level::solid(g) != 0) plays = "wall";
      const cell_look look = g == kind::floor ? floor : Over(KindLook(w_, g), floor);
      Add(LookName(g), plays, look, {g});
      if (level::solid(g) == 0) under_.push_back(states_.back());
    }
  }

  void Teleporters(const cell_look& floor) {
    auto add = [&](const pad_mark& mark, std::string name, std::vector<int> kinds, bool underpiece) {
      Add(name, name, Over(TeleporterLook(w_, mark), floor), std::move(kinds));
      // Pieces land on pads that receive; a pad that only sends passes them on at once.
      if (underpiece) under_.push_back(states_.back());
    };
    add({}, "idle teleporter", {Given(w_, kind::teleporteridle) ? kind::teleporteridle : kind::teleporter}, true);
    for (int p = 0; p < kind::kMarkColors; ++p) {
      add({pad_role::sends, p, -1}, "sending teleporter of pair " + Ordinal(p),
          {kind::teleportersends, kind::paircolor + p}, false);
      add({pad_role::receives, -1, p}, "receiving teleporter of pair " + Ordinal(p),
          {kind::teleporterreceives, kind::paircolor + p}, true);
      for (int q = 0; q < kind::kMarkColors; ++q) {
        std::string name = "two-way teleporter of pair " + Ordinal(p);
        if (q != p) name = "two-way teleporter sending on pair " + Ordinal(p) + " and receiving on pair " + Ordinal(q);
        add({pad_role::both, p, q}, name, {kind::teleporterboth, kind::paircolor + p, kind::paircolor + q}, true);
      }
    }
  }

  void Objects(const cell_look& floor) {
    for (const uint8_t k : {kind::star, kind::block}) {
      if (Given(w_, k)) Add(LookName(k), LookName(k), Over(KindLook(w_, k), floor), {k});
    }
    if (Given(w_, kind::teleporter)) Teleporters(floor);
    for (int key = 0; key < kind::kMarkColors; ++key) {
      const std::string of = " of key " + Ordinal(key);
      const int color = kind::keycolor + key;
      for (const int k : {kind::doorswitch, kind::door, kind::opendoor}) {
        if (!Given(w_, k)) continue;
        Add(LookName(k) + of, LookName(k) + of, Over(KeyLook(w_, k, key), floor), {k, color});
        if (k != kind::door) under_.push_back(states_.back());
      }
    }
    for (const bool closed : {true, false}) {
      const int plain = closed ? kind::timedgate : kind::opentimedgate;
      if (!Given(w_, plain)) continue;
      const int first = closed ? kind::gateopensin : kind::gateshutsin;
      for (int n = 1; n <= kind::kLongestCountdown + 1; ++n) {
        const bool counted = n <= kind::kLongestCountdown;
        std::string name = counted ? LookName(first + n) : LookName(plain) + " (further from changing)";
        Add(name, name, Over(GateLook(w_, closed, n), floor), {counted && Given(w_, first + n) ? first + n : plain});
        if (!closed) under_.push_back(states_.back());
      }
    }
  }

  void Pieces() {
    // Each piece in every state it has, with the kind that names the state.
    std::vector<std::pair<tile, int>> pieces = {{Piece(kind::player, 0, 0), kind::player},
                                               {Piece(kind::dissolvingtrail, 0, 0), kind::dissolvingtrail}};
    for (uint8_t f = 0; f < 2; ++f) {
      pieces.push_back({Piece(kind::horizontalmover, f, 0), f == 0 ? kind::moverleft : kind::moverright});
      pieces.push_back({Piece(kind::verticalmover, f, 0), f == 0 ? kind::moverup : kind::moverdown});
    }
    for (const uint8_t b : {uint8_t{1}, uint8_t{0}}) {
      for (uint8_t f = 0; f < 4; ++f) {
        pieces.push_back({Piece(kind::turningmover, f, b), (b != 0 ? kind::turnerclockwise : kind::turneranticlockwise) + f});
      }
    }
    const std::vector<shown_state> under = under_;
    for (const auto& [piece, k] : pieces) {
      if (!Given(w_, piece.id)) continue;
      const int drawn = Given(w_, k) ? k : piece.id;
      const std::string name = LookName(k);
      for (const shown_state& cell : under) {
        std::vector<int> kinds = {drawn};
        kinds.insert(kinds.end(), cell.kinds.begin(), cell.kinds.end());
        Add(name + " on " + cell.name, name, Over(PieceLook(w_, piece), cell.look), kinds);
      }
    }
  }

  const world& w_;
  std::vector<shown_state> states_;
  std::vector<shown_state> under_;  // what pieces can stand on
};

}  // namespace

bool LookAlike(const cell_look& a, const cell_look& b) {
  return Seen(a) == Seen(b);
}

std::optional<look_clash> FindLookClash(const world& w) {
  const std::vector<shown_state> states = state_list(w).All();
  std::map<std::tuple<uint8_t, uint8_t, uint8_t>, const shown_state*> seen;
  for (const shown_state& s : states) {
    const auto [it, added] = seen.emplace(Seen(s.look), &s);
    if (added || it->second->plays == s.plays) continue;
    // The kinds that make the two states come first, what they stand on after.
    const std::vector<int>& a = it->second->kinds;
    look_clash clash{it->second->name, s.name, s.look, {s.kinds.front(), a.front()}};
    clash.kinds.insert(clash.kinds.end(), s.kinds.begin() + 1, s.kinds.end());
    clash.kinds.insert(clash.kinds.end(), a.begin() + 1, a.end());
    return clash;
  }
  return std::nullopt;
}

}  // namespace dusk
