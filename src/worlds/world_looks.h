// How each piece and object is drawn in its present state: the look a world's tables give a turner for its
// heading and turning sense, a mover for its heading, a gate for the moves left before it changes, a
// teleporter for what it does and which pads it pairs with, a switch or door for its key. The level drawing,
// the help's legend and the converter's check that no two states look alike all take their looks here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "puzzle/level.h"
#include "worlds/world.h"

namespace dusk {

struct cell_look {
  uint8_t glyph = 0;
  uint8_t fg = 0;
  uint8_t bg = 0;
  friend bool operator==(const cell_look&, const cell_look&) = default;
};

// The look a world's tables give kind k.
cell_look KindLook(const world& w, int k);

// What a teleporter does, and which pairs it belongs to: the pair it sends on and the pair it receives on
// (-1 for none). A pair is a receiving pad with every pad that sends to it; two pads that send to each other
// are one pair. Pairs are numbered in the order the level's scan meets them.
enum class pad_role : uint8_t { none, sends, receives, both };
struct pad_mark {
  pad_role role = pad_role::none;
  int sendpair = -1;
  int receivepair = -1;
};

// The marks of one level: its teleporters' roles and pairs, and its switch and door keys numbered in the
// order the scan meets them, so that each pair and each key can take a colour no other one in the level uses.
// The links never change in play, so one marking serves a whole level.
struct level_marks {
  std::vector<std::pair<int, pad_mark>> pads;  // by cell index (level::cellindex), in scan order
  std::array<int16_t, 256> keys{};             // key number by key value, -1 for a key the level lacks
  int pairs = 0;
  int keycount = 0;

  pad_mark pad(int cell) const;
  int key(uint8_t value) const { return keys[value]; }
};
level_marks MarkLevel(const level& lvl);

cell_look TeleporterLook(const world& w, const pad_mark& mark);
// A switch, closed door or open door (by kind) of the key numbered key.
cell_look KeyLook(const world& w, int k, int key);
// A gate that is closed or open and changes after remaining more moves.
cell_look GateLook(const world& w, bool closed, int remaining);
// Moves until a gate changes: 1 means it changes with the next move.
int GateCountdown(const tile& gate);
// A piece of objs: movers by heading, turners by heading and turning sense, anything else by kind.
cell_look PieceLook(const world& w, const tile& piece);
// A static object of the level's grid standing at (x, y, z), by its state.
cell_look ObjectLook(const world& w, const level_marks& marks, const tile& object, int x, int y, int z);

// The name of a look in world files: a kind's ("floor") or a state's ("turner right clockwise", "gate opens
// in 2", "pair colour 3"); empty for a number without a name.
std::string LookName(int k);
// The look a world file's name stands for (pair and key colours come as lists, never by name); none for a
// name that isn't one.
std::optional<uint8_t> LookKind(std::string_view name);
// The name of one of the kinds the first worlds gave looks, or none.
std::optional<std::string_view> PlainKindName(int k);

// Two looks a player can't tell apart on the screen: the same shape in the same colours, where blanks,
// full blocks and a glyph in one colour on the same colour count as the same solid cell.
bool LookAlike(const cell_look& a, const cell_look& b);

// Two drawn states of a world that play differently yet look alike, named for a message.
struct look_clash {
  std::string first;
  std::string second;
  cell_look look;
  std::vector<int> kinds;  // the kinds whose looks make them, the states' own first, to point at in the file
};
// Every state a level of this world can show, on every floor it can stand on, checked against the others.
std::optional<look_clash> FindLookClash(const world& w);

}  // namespace dusk
