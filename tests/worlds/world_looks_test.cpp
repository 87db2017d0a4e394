// Looks by state: which look each piece and object takes now, how a level's pairs and keys are numbered,
// the defaults a world gets for the state looks it leaves out, and the converter's refusal of look-alikes.
#include "worlds/world_looks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "puzzle/kinds.h"
#include "tests/puzzle/support/level_picture.h"
#include "worlds/world_file.h"

namespace dusk {
namespace {

using testing::legend;
using testing::picture;

// A world whose every look is a distinct glyph: the state kind's own number, so a test reads which
// entry a state took.
world NumberedWorld() {
  world w;
  for (int k = 0; k < 255; ++k) {
    w.tilec[static_cast<size_t>(k)] = static_cast<uint8_t>(k);
    w.tilef[static_cast<size_t>(k)] = static_cast<uint8_t>(k);
    w.tileb[static_cast<size_t>(k)] = 1;
    w.tilegiven.set(static_cast<size_t>(k));
  }
  return w;
}

pad_mark PadAt(const level& lvl, const level_marks& marks, int x, int y, int z = 0) {
  (void)lvl;
  return marks.pad(level::cellindex(x, y, z));
}

TEST(LevelMarks, PairsPadsBySender) {
  // A two-way pair, a one-way pair, and a ring of three: A <-> B, S -> T, 1 -> 2 -> 3 -> 1.
  const level lvl = picture({"@AB.ST.123"}, {{'A', testing::teleporter(1, 2)},
                                             {'B', testing::teleporter(2, 1)},
                                             {'S', testing::teleporter(3, 0)},
                                             {'T', testing::teleporter(0, 3)},
                                             {'1', testing::teleporter(4, 6)},
                                             {'2', testing::teleporter(5, 4)},
                                             {'3', testing::teleporter(6, 5)}});
  const level_marks marks = MarkLevel(lvl);
  const pad_mark a = PadAt(lvl, marks, 1, 0), b = PadAt(lvl, marks, 2, 0);
  const pad_mark s = PadAt(lvl, marks, 4, 0), t = PadAt(lvl, marks, 5, 0);
  const pad_mark one = PadAt(lvl, marks, 7, 0), two = PadAt(lvl, marks, 8, 0), three = PadAt(lvl, marks, 9, 0);

  // Pads that send to each other are one pair, shown alike.
  EXPECT_EQ(a.role, pad_role::both);
  EXPECT_EQ(a.sendpair, a.receivepair);
  EXPECT_EQ(b.sendpair, a.sendpair);
  EXPECT_EQ(b.receivepair, a.sendpair);
  // A one-way pair: the sender and the receiver share the pair no other pad has.
  EXPECT_EQ(s.role, pad_role::sends);
  EXPECT_EQ(t.role, pad_role::receives);
  EXPECT_EQ(s.sendpair, t.receivepair);
  EXPECT_NE(s.sendpair, a.sendpair);
  // In a ring each pad sends on one pair and receives on another, which its sender sends on.
  EXPECT_EQ(one.role, pad_role::both);
  EXPECT_NE(one.sendpair, one.receivepair);
  EXPECT_EQ(one.sendpair, two.receivepair);
  EXPECT_EQ(two.sendpair, three.receivepair);
  EXPECT_EQ(three.sendpair, one.receivepair);
  EXPECT_EQ(marks.pairs, 5);
  // Pairs are numbered in the order the scan meets them.
  EXPECT_EQ(a.sendpair, 0);
  EXPECT_EQ(s.sendpair, 1);
}

TEST(LevelMarks, TwoSendersToOnePadAreOnePair) {
  const level lvl = picture({"@X.Y.R.Q"}, {{'X', testing::teleporter(1, 0)},
                                           {'Y', testing::teleporter(1, 0)},
                                           {'R', testing::teleporter(0, 1)},
                                           {'Q', testing::teleporter(0, 9)}});
  const level_marks marks = MarkLevel(lvl);
  EXPECT_EQ(PadAt(lvl, marks, 1, 0).sendpair, 0);
  EXPECT_EQ(PadAt(lvl, marks, 3, 0).sendpair, 0);
  EXPECT_EQ(PadAt(lvl, marks, 5, 0).receivepair, 0);
  // Nothing sends to Q and it sends nothing: it does nothing, and belongs to no pair.
  EXPECT_EQ(PadAt(lvl, marks, 7, 0).role, pad_role::none);
  EXPECT_EQ(marks.pairs, 1);
}

TEST(LevelMarks, NumbersKeysInScanOrder) {
  // Columns are scanned before rows: key 7's door in column 1 comes before key 3's switch in column 2.
  const level lvl = picture({"@.d", ".D!", ".s."}, {{'D', testing::door(7, true)},
                                                   {'d', testing::door(3, false)},
                                                   {'!', testing::doorswitch(3)},
                                                   {'s', testing::doorswitch(7)}});
  const level_marks marks = MarkLevel(lvl);
  EXPECT_EQ(marks.key(7), 0);
  EXPECT_EQ(marks.key(3), 1);
  EXPECT_EQ(marks.key(1), -1);
  EXPECT_EQ(marks.keycount, 2);
}

TEST(StateLooks, PiecesTakeTheLookOfTheirState) {
  const world w = NumberedWorld();
  struct test_case {
    tile piece;
    int look;
  };
  const test_case cases[] = {
      {tile::Create(kind::horizontalmover, 0, 0, 0, 0, 0, 0), kind::moverleft},
      {tile::Create(kind::horizontalmover, 0, 0, 0, 1, 0, 0), kind::moverright},
      {tile::Create(kind::verticalmover, 0, 0, 0, 0, 0, 0), kind::moverup},
      {tile::Create(kind::verticalmover, 0, 0, 0, 1, 0, 0), kind::moverdown},
      {tile::Create(kind::turningmover, 0, 0, 0, 0, 1, 0), kind::turnerclockwise},
      {tile::Create(kind::turningmover, 0, 0, 0, 3, 1, 0), kind::turnerclockwise + 3},
      {tile::Create(kind::turningmover, 0, 0, 0, 1, 0, 0), kind::turneranticlockwise + 1},
      {tile::Create(kind::turningmover, 0, 0, 0, 2, 0, 0), kind::turneranticlockwise + 2},
      {tile::Create(kind::player, 0, 0, 0, 0, 0, 0), kind::player},
  };
  for (const test_case& c : cases) {
    EXPECT_EQ(PieceLook(w, c.piece).glyph, c.look) << "piece " << int(c.piece.id) << " f " << int(c.piece.f);
  }
}

TEST(StateLooks, GatesCountDownToTheirChange) {
  const world w = NumberedWorld();
  // Closed for 2 + 1 moves, then open for 0 + 1: each update moves the count on by one.
  tile gate = tile::Create(kind::timedgate, 0, 0, 0, 2, 0, 1);
  std::vector<int> shown;
  for (int update = 0; update < 5; ++update) {
    shown.push_back(GateLook(w, gate.s != 0, GateCountdown(gate)).glyph);
    const int limit = gate.s != 0 ? gate.f : gate.b;
    if (gate.t < limit) {
      ++gate.t;
    } else {
      gate.s = gate.s != 0 ? 0 : 1;
      gate.t = 0;
    }
  }
  EXPECT_EQ(shown, (std::vector<int>{kind::gateopensin + 3, kind::gateopensin + 2, kind::gateopensin + 1,
                                     kind::gateshutsin + 1, kind::gateopensin + 3}));
  // Further than nine moves from its change, a gate shows its plain look.
  EXPECT_EQ(GateLook(w, true, 10).glyph, kind::timedgate);
  EXPECT_EQ(GateLook(w, false, 12).glyph, kind::opentimedgate);
}

TEST(StateLooks, AWorldWithoutStateLooksDrawsThePlainOnes) {
  world w = NumberedWorld();
  for (int k = kind::moverleft; k < 160; ++k) w.tilegiven.reset(static_cast<size_t>(k));
  EXPECT_EQ(PieceLook(w, tile::Create(kind::turningmover, 0, 0, 0, 2, 0, 0)).glyph, kind::turningmover);
  EXPECT_EQ(PieceLook(w, tile::Create(kind::horizontalmover, 0, 0, 0, 1, 0, 0)).glyph, kind::horizontalmover);
  EXPECT_EQ(GateLook(w, true, 1).glyph, kind::timedgate);
  EXPECT_EQ(TeleporterLook(w, {pad_role::both, 0, 1}), KindLook(w, kind::teleporter));
  EXPECT_EQ(KeyLook(w, kind::door, 0), KindLook(w, kind::door));
}

TEST(StateLooks, PairAndKeyColoursPaintTheirPadsSwitchesAndDoors) {
  const world w = NumberedWorld();
  const cell_look sends = TeleporterLook(w, {pad_role::sends, 2, -1});
  EXPECT_EQ(sends.glyph, kind::teleportersends);
  EXPECT_EQ(sends.fg, kind::paircolor + 2);
  EXPECT_EQ(TeleporterLook(w, {pad_role::receives, -1, 2}).fg, kind::paircolor + 2);
  // A pad on two pairs: the one it sends on in its glyph, the one it receives on behind it.
  const cell_look ring = TeleporterLook(w, {pad_role::both, 1, 4});
  EXPECT_EQ(ring.fg, kind::paircolor + 1);
  EXPECT_EQ(ring.bg, kind::paircolor + 4);
  EXPECT_EQ(TeleporterLook(w, {pad_role::both, 3, 3}).bg, 1);

  EXPECT_EQ(KeyLook(w, kind::doorswitch, 1).fg, kind::keycolor + 1);
  EXPECT_EQ(KeyLook(w, kind::door, 1).fg, kind::keycolor + 1);
  EXPECT_EQ(KeyLook(w, kind::opendoor, 1).glyph, kind::opendoor);
  // A key past the eighth has no colour of its own.
  EXPECT_EQ(KeyLook(w, kind::door, 8).fg, kind::door);
}

TEST(StateLooks, NamesAndKindsGoBothWays) {
  for (const char* name : {"floor", "turner up anticlockwise", "gate opens in 9", "gate shuts in 1",
                           "mover down", "two-way teleporter"}) {
    const std::optional<uint8_t> k = LookKind(name);
    ASSERT_TRUE(k) << name;
    EXPECT_EQ(LookName(*k), name);
  }
  EXPECT_FALSE(LookKind("gate opens in 10"));
  EXPECT_FALSE(LookKind("pair colour 1"));  // colours come as lists
  EXPECT_FALSE(LookKind(""));
}

TEST(StateLooks, SolidCellsAndSwappedHalvesLookAlike) {
  EXPECT_TRUE(LookAlike({0, 5, 7}, {' ', 9, 7}));
  EXPECT_TRUE(LookAlike({219, 7, 3}, {0, 1, 7}));
  EXPECT_TRUE(LookAlike({42, 7, 7}, {255, 2, 7}));
  EXPECT_TRUE(LookAlike({223, 4, 5}, {220, 5, 4}));
  EXPECT_FALSE(LookAlike({42, 4, 5}, {42, 5, 4}));
  EXPECT_FALSE(LookAlike({24, 34, 13}, {25, 34, 13}));
}

// A world file with every kind given apart; each line of changes replaces the look of its kind, or is added.
std::string WorldText(const std::string& changes) {
  std::vector<std::string> looks = {
      "floor = 250 24 23",        "wall = 178 58 8",           "marked floor = 176 38 23",
      "wall 2 = 177 11 13",       "wall 3 = 219 17 60",        "untrailed floor = 247 50 23",
      "one-way up = 24 34 23",    "one-way down = 25 34 23",   "one-way right = 26 34 23",
      "one-way left = 27 34 23",  "clearing floor = 15 51 29", "fixed-trail floor = 240 57 23",
      "star = '*' 21 23",         "block = 254 49 23",         "teleporter = 9 39 23",
      "switch = 7 5 23",          "door = 219 41 23",          "open door = 176 41 23",
      "gate = 233 31 23",         "open gate = 248 31 23",     "horizontal mover = 29 16 23",
      "vertical mover = 18 16 23", "turner = 4 55 23",         "player = 2 62 23",
      "star burst = 15 21 23",    "dissolving trail = 177 49 23"};
  size_t start = 0;
  while (start < changes.size()) {
    const size_t end = changes.find('\n', start);
    const std::string line = changes.substr(start, end - start);
    start = end + 1;
    const std::string name = line.substr(0, line.find(" = ") + 3);
    const auto given = looks.begin() + 26;
    auto same = std::find_if(looks.begin(), given, [&](const std::string& l) { return l.starts_with(name); });
    if (same != given) {
      *same = line;
    } else {
      looks.push_back(line);
    }
  }
  std::string text = "name: W\nunlock: yes\nlooks\n";
  for (const std::string& l : looks) text += l + "\n";
  return text + "levels\na.level\n";
}

TEST(WorldLooks, AWorldWithoutStateLooksGetsThemAllApart) {
  source_error error;
  const std::optional<world_file> parsed = ParseWorldFile(WorldText(""), "w.txt", error);
  ASSERT_TRUE(parsed) << error.text();
  auto look = [&](int k) {
    for (const world_look& l : parsed->looks) {
      if (l.kind == k) return l;
    }
    ADD_FAILURE() << "no look for kind " << k;
    return world_look{};
  };
  EXPECT_EQ(look(kind::moverleft).glyph, 27);
  EXPECT_EQ(look(kind::moverleft).fg, 16);
  EXPECT_EQ(look(kind::turnerclockwise + 3).glyph, 30);
  EXPECT_NE(look(kind::turneranticlockwise).fg, look(kind::turnerclockwise).fg);
  // A closed gate's count in the gate's colours swapped, an open one's in the open gate's.
  EXPECT_EQ(look(kind::gateopensin + 2).glyph, '2');
  EXPECT_EQ(look(kind::gateopensin + 2).bg, 31);
  EXPECT_EQ(look(kind::gateshutsin + 2).fg, 31);
  // The first key keeps the switch colour; no pair takes the plain teleporter's.
  EXPECT_EQ(look(kind::keycolor).fg, 5);
  for (int p = 0; p < kind::kMarkColors; ++p) EXPECT_NE(look(kind::paircolor + p).fg, 39);
}

TEST(WorldLooks, GivenColoursComeFirstAndDefaultsFillTheRest) {
  source_error error;
  const std::optional<world_file> parsed = ParseWorldFile(WorldText("pair colours = 12 37\n"), "w.txt", error);
  ASSERT_TRUE(parsed) << error.text();
  std::vector<int> colors(kind::kMarkColors, -1);
  for (const world_look& l : parsed->looks) {
    if (l.kind >= kind::paircolor && l.kind < kind::paircolor + kind::kMarkColors) colors[l.kind - kind::paircolor] = l.fg;
  }
  EXPECT_EQ(colors[0], 12);
  EXPECT_EQ(colors[1], 37);
  // The defaults skip the colours already taken.
  EXPECT_EQ(std::count(colors.begin(), colors.end(), 12), 1);
  EXPECT_EQ(std::count(colors.begin(), colors.end(), 37), 1);
}

TEST(WorldLooks, RefusesStatesThatLookAlike) {
  struct test_case {
    const char* extra;
    const char* message;
  };
  const test_case cases[] = {
      // Two kinds.
      {"", nullptr},
      {"untrailed floor = 178 58 8\n",
       "w.txt:9:1: 'wall' and 'untrailed floor' look the same (glyph 178 in colour 58 on 8); give one of them a "
       "look of its own"},
      // A state and the other state of one piece.
      {"mover right = 27 16 23\n", "w.txt:30:1: 'mover left on floor' and 'mover right on floor' look the same "
                                  "(glyph 27 in colour 16 on 23); give one of them a look of its own"},
      {"turner down anticlockwise = 31 55 23\n",
       "w.txt:30:1: 'turner down clockwise on floor' and 'turner down anticlockwise on floor' look the same "
       "(glyph 31 in colour 55 on 23); give one of them a look of its own"},
      {"gate shuts in 2 = '2' 23 31\n",
       "w.txt:30:1: 'gate opens in 2' and 'gate shuts in 2' look the same (glyph 50 in colour 23 on 31); give "
       "one of them a look of its own"},
      // A piece and a ground: a mover arrow in the one-way floors' colour.
      {"mover up = 24 34 23\n", "w.txt:30:1: 'one-way up' and 'mover up on floor' look the same (glyph 24 in "
                               "colour 34 on 23); give one of them a look of its own"},
      // Two keys, or two pairs, in one colour.
      {"key colours = 5 5\n", "w.txt:30:1: 'switch of key 1' and 'switch of key 2' look the same (glyph 7 in "
                             "colour 5 on 23); give one of them a look of its own"},
      {"pair colours = 24\n",
       "w.txt:30:1: 'idle teleporter' and 'sending teleporter of pair 1' look the same (glyph 9 in colour 24 on "
       "23); give one of them a look of its own"},
      // A solid cell is a solid cell, whatever glyph makes it: a closed door as blank as a wall.
      {"wall 3 = 0 0 5\n", "w.txt:20:1: 'wall 3' and 'door of key 1' look the same (glyph 219 in colour 5 on "
                          "23); give one of them a look of its own"},
  };
  for (const test_case& c : cases) {
    source_error error;
    const std::optional<world_file> parsed = ParseWorldFile(WorldText(c.extra), "w.txt", error);
    if (c.message == nullptr) {
      EXPECT_TRUE(parsed) << error.text();
    } else {
      EXPECT_FALSE(parsed) << c.extra;
      EXPECT_EQ(error.text(), c.message) << c.extra;
    }
  }
}

TEST(WorldLooks, ReportsMistakesInColourLists) {
  struct test_case {
    const char* extra;
    const char* message;
  };
  const test_case cases[] = {
      {"pair colours =\n", "w.txt:30:15: give 1 to 8 colours, one for each pair or key a level may hold"},
      {"key colours = 1 2 3 4 5 6 7 8 9\n",
       "w.txt:30:31: give 1 to 8 colours, one for each pair or key a level may hold"},
      {"key colours = 1 x\n", "w.txt:30:17: a colour is a palette number from 0 to 255, found 'x'"},
      {"key colours = 1\nkey colours = 2\n", "w.txt:31:1: these colours are given already"},
  };
  for (const test_case& c : cases) {
    source_error error;
    EXPECT_FALSE(ParseWorldFile(WorldText(c.extra), "w.txt", error)) << c.extra;
    EXPECT_EQ(error.text(), c.message) << c.extra;
  }
}

}  // namespace
}  // namespace dusk
