// Play that explains itself, checked on the drawn cells: pieces drawn by their state before and after it
// changes, the layer figure, the note under the banner, the help's legend and pages, the lose screen's undo.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "persist/replay.h"
#include "puzzle/kinds.h"
#include "screens/level_help.h"
#include "screens/level_picture.h"
#include "screens/level_play.h"
#include "screens/level_session.h"
#include "state/progress.h"
#include "state/settings.h"
#include "tests/screens/play_fixture.h"
#include "ui/menu_colors.h"
#include "worlds/world_looks.h"

namespace dusk {
namespace {

using testing::SourceLevel;

struct cell {
  int glyph;
  int fg;
  int bg;
  friend bool operator==(const cell&, const cell&) = default;
};

std::ostream& operator<<(std::ostream& out, const cell& c) {
  return out << "glyph " << c.glyph << " in " << c.fg << " on " << c.bg;
}

cell Look(const world& w, int k) {
  return {w.tilec[static_cast<size_t>(k)], w.tilef[static_cast<size_t>(k)], w.tileb[static_cast<size_t>(k)]};
}

class LevelTeaching : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgress();
    ResetSettings();
    ResetReplays();
    testing::ApplySampleLooks(world_, true);
    world_.levelname[1] = "Lantern Row";
  }
  void TearDown() override {
    ResetProgress();
    ResetSettings();
    ResetReplays();
  }

  level_session Start(const std::vector<std::vector<std::string>>& layers, const std::vector<std::string>& legend = {},
                      int moves = 30) {
    const level_source source = SourceLevel(layers, moves, legend);
    world_.levelmoves[1] = moves;
    return NewLevelSession(world_, 1, 1, BuildSourceLevel(source));
  }
  frame_picture Frame(level_session& s, const play_input& in = {}) {
    BeginLevelFrame(s);
    frame_picture picture = LevelFramePicture(s, screens_);
    StepLevelFrame(s, in);
    return picture;
  }
  void Step(level_session& s, int play_input::*direction) {
    play_input in;
    in.*direction = 1;
    Frame(s, in);
  }
  static cell At(const tilemap& grid, int x, int y) { return {grid.at(0, x, y), grid.at(1, x, y), grid.at(2, x, y)}; }
  static std::string Row(const tilemap& grid, int y) {
    std::string text;
    for (int x = 0; x < grid.tmapw; ++x) {
      const int g = grid.at(0, x, y);
      text += g == 255 ? ' ' : static_cast<char>(g);
    }
    return text;
  }

  world world_;
  front_state screens_;
};

TEST_F(LevelTeaching, ATurnersLookFollowsItsHeadingAndShowsItsTurningSense) {
  // Two turners heading right into walls: the first turns clockwise (down), the second anticlockwise (up).
  level_session s = Start({{"###############", "#@......#######", "#......E#######", "#.......#######",
                            "#.......#######", "#......a#######", "#......*#######"}},
                          {"a = turner right anticlockwise"});
  EXPECT_EQ(At(s.playfield, 7, 2), Look(world_, kind::turnerclockwise + 0));
  EXPECT_EQ(At(s.playfield, 7, 5), Look(world_, kind::turneranticlockwise + 0));
  EXPECT_NE(At(s.playfield, 7, 2).fg, At(s.playfield, 7, 5).fg);

  Frame(s);  // the banner's first frame
  Step(s, &play_input::right);
  EXPECT_EQ(At(s.playfield, 7, 3), Look(world_, kind::turnerclockwise + 1)) << "heading down now";
  EXPECT_EQ(At(s.playfield, 7, 4), Look(world_, kind::turneranticlockwise + 3)) << "heading up now";
}

TEST_F(LevelTeaching, AMoversLookFollowsItsHeading) {
  level_session s = Start({{"###############", "#@....*########", "#..##.R########"}});
  EXPECT_EQ(At(s.playfield, 6, 2), Look(world_, kind::moverright));
  Frame(s);
  Step(s, &play_input::down);
  EXPECT_EQ(At(s.playfield, 5, 2), Look(world_, kind::moverleft)) << "turned back at the wall";
}

TEST_F(LevelTeaching, AGatesLookCountsDownToItsChange) {
  level_session s = Start({{"###############", "#@....G.......#", "#.............#", "#............*#"}},
                          {"G = gate closed 2 open 1 starts closed"});
  std::vector<cell> shown = {At(s.playfield, 6, 1)};
  Frame(s);
  for (int step = 0; step < 5; ++step) {
    Step(s, step == 0 ? &play_input::down : &play_input::right);
    shown.push_back(At(s.playfield, 6, 1));
  }
  const std::vector<cell> expected = {Look(world_, kind::gateopensin + 3), Look(world_, kind::gateopensin + 2),
                                      Look(world_, kind::gateopensin + 1), Look(world_, kind::gateshutsin + 2),
                                      Look(world_, kind::gateshutsin + 1), Look(world_, kind::gateopensin + 3)};
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(shown[0].glyph, '3');
}

TEST_F(LevelTeaching, PairedPadsShareAColourNoOtherPairHas) {
  level_session s = Start({{"###############", "#@.A...B......#", "#..S...T......#", "#..X.........*#"}},
                          {"A = teleporter send 1 receive 2", "B = teleporter send 2 receive 1",
                           "S = teleporter send 3", "T = teleporter receive 3", "X = teleporter receive 9"});
  const cell a = At(s.playfield, 3, 1), b = At(s.playfield, 7, 1);
  const cell send = At(s.playfield, 3, 2), receive = At(s.playfield, 7, 2), idle = At(s.playfield, 3, 3);
  EXPECT_EQ(a, b) << "two pads sending to each other";
  EXPECT_EQ(a.glyph, world_.tilec[kind::teleporterboth]);
  EXPECT_EQ(send.glyph, world_.tilec[kind::teleportersends]);
  EXPECT_EQ(receive.glyph, world_.tilec[kind::teleporterreceives]);
  EXPECT_EQ(send.fg, receive.fg);
  EXPECT_NE(send.fg, a.fg);
  EXPECT_EQ(idle, Look(world_, kind::teleporteridle)) << "a pad that does nothing";
  EXPECT_NE(idle.fg, a.fg);
  EXPECT_NE(idle.fg, send.fg);
}

TEST_F(LevelTeaching, ASwitchSharesItsDoorsColourAndNoOtherKeys) {
  level_session s = Start({{"###############", "#@!+'.........#", "#...a.b......*#"}},
                          {"a = switch 2", "b = door 2 closed"});
  const cell sw = At(s.playfield, 2, 1), shut = At(s.playfield, 3, 1), open = At(s.playfield, 4, 1);
  const cell other = At(s.playfield, 4, 2), otherdoor = At(s.playfield, 6, 2);
  EXPECT_EQ(sw.fg, shut.fg);
  EXPECT_EQ(sw.fg, open.fg);
  EXPECT_EQ(other.fg, otherdoor.fg);
  EXPECT_NE(sw.fg, other.fg);
  EXPECT_EQ(shut.glyph, world_.tilec[kind::door]);
  EXPECT_EQ(open.glyph, world_.tilec[kind::opendoor]);

  Frame(s);
  Step(s, &play_input::right);  // onto the switch: its doors change over and keep their colour
  EXPECT_EQ(At(s.playfield, 3, 1).glyph, world_.tilec[kind::opendoor]);
  EXPECT_EQ(At(s.playfield, 3, 1).fg, sw.fg);
  EXPECT_EQ(At(s.playfield, 4, 1).glyph, world_.tilec[kind::door]);
  EXPECT_EQ(At(s.playfield, 6, 2), otherdoor) << "another key's door stays as it was";
}

TEST_F(LevelTeaching, TheHudShowsTheLayerOfALayeredLevelAndFollowsATeleport) {
  level_session s = Start({{"###############", "#@A..*.#######"}, {"###############", "#.B.*..#######"}},
                          {"A = teleporter send 1", "B = teleporter receive 1"});
  frame_picture picture = Frame(s);
  const frame_draw* figure = picture.Find(&s.layerstrip);
  ASSERT_NE(figure, nullptr);
  EXPECT_EQ(figure->sx, 0);
  EXPECT_EQ(figure->sy, 14);
  EXPECT_EQ(Row(s.layerstrip, 0), " 1/2 ");
  Step(s, &play_input::right);
  ASSERT_EQ(s.playerlayer(), 1);
  Frame(s);
  EXPECT_EQ(Row(s.layerstrip, 0), " 2/2 ");

  // A level of one layer has no figure.
  level_session flat = Start({{"###############", "#@...*.#######"}});
  Frame(flat);
  EXPECT_EQ(Row(flat.layerstrip, 0), "     ");
}

TEST_F(LevelTeaching, TheNoteStandsWithTheBannerUntilTheFirstKey) {
  world_.levelnote[1] = "A block stays where you left it.";
  level_session s = Start({{"###############", "#@...*.#######"}});
  frame_picture picture = Frame(s);
  const frame_draw* note = picture.Find(&s.notestrip);
  ASSERT_NE(note, nullptr) << "the note comes in with the banner from the first frame";
  EXPECT_EQ(note->sy, 13) << "the room shows under the banner, so the note stands at the foot of the board";
  EXPECT_EQ(note->sx, picture.Find(&s.messagestrip)->sx);
  EXPECT_EQ(Row(s.notestrip, 0), " A block stays where");
  EXPECT_EQ(Row(s.notestrip, 1), "        you left it.");
  // The note reaches over the hud, so both its rows cover all 20 columns: no hud label peeks out beside them.
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 20; ++x) EXPECT_EQ(At(s.notestrip, x, y).bg, kListBackground) << x << "," << y;
  }
  for (int frame = 0; frame < 12; ++frame) picture = Frame(s);
  EXPECT_EQ(picture.Find(&s.notestrip)->sx, 0) << "standing in full while the banner stands";

  Step(s, &play_input::right);
  for (int frame = 0; frame < 20; ++frame) picture = Frame(s);
  EXPECT_EQ(picture.Find(&s.notestrip), nullptr) << "gone with the banner after the first key";
}

TEST_F(LevelTeaching, ANoteWithinTheBoardStandsAsOneBlockOverItAlone) {
  world_.levelnote[1] = "Step on a star everywhere";
  level_session s = Start({{"###############", "#@...*.#######"}});
  Frame(s);
  EXPECT_EQ(Row(s.notestrip, 0), "      Step on a star");
  EXPECT_EQ(Row(s.notestrip, 1), "          everywhere");
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 20; ++x) {
      EXPECT_EQ(At(s.notestrip, x, y).bg == kListBackground, x >= 6) << "the block of the longer row: " << x << "," << y;
    }
  }
}

TEST_F(LevelTeaching, TheNoteStandsWhereItHidesNoPartOfTheRoom) {
  world_.levelnote[1] = "A block stays where you left it.";  // two rows, reaching over the hud
  const std::string wall(15, '#');
  const std::string room = "#@...*........#";
  const std::string open = "#.............#";
  struct place_case {
    const char* what;
    std::vector<std::string> rows;  // from the top; rows left out are wall
    int noterow;
    bool hidesroom;
  };
  const place_case cases[] = {
      {"walls under the banner", {wall, wall, wall, room}, 1, false},
      {"the room under the banner, walls at the foot", {wall, room}, 13, false},
      {"a band of wall in the middle",
       {wall, room, open, open, open, open, open, wall, wall, open, open, open, open, open, wall}, 7, false},
      {"room on every row", {wall, room, open, open, open, open, open, open, open, open, open, open, open, open, wall},
       1, true},
  };
  for (const place_case& c : cases) {
    const level_session s = Start({c.rows});
    EXPECT_EQ(s.noterow, c.noterow) << c.what;
    EXPECT_EQ(s.notehidesroom, c.hidesroom) << c.what;
  }

  // A note narrower than the board covers only the columns it stands on: a room to its left shows beside it.
  world_.levelnote[1] = "Go first";
  const level_session narrow = Start({{wall, "#@..*.#########", "#.#############", "#*#############"}});
  EXPECT_EQ(narrow.noterow, 1);
  EXPECT_FALSE(narrow.notehidesroom);
}

TEST_F(LevelTeaching, AFirstKeyOnlyLiftsANoteThatHidesTheRoom) {
  world_.levelnote[1] = "A block stays where you left it.";
  const std::string open = "#.............#";
  level_session hidden =
      Start({{std::string(15, '#'), "#@...........*#", open, open, open, open, open, open, open, open, open, open,
              open, open, std::string(15, '#')}});
  ASSERT_TRUE(hidden.notehidesroom);
  play_input right;
  right.right = 1;
  Frame(hidden, FirstKeyLiftsNote(hidden, right));
  EXPECT_EQ(hidden.moves, 0) << "the first key shows what the note covered";
  EXPECT_GT(hidden.banner, play::kBannerIn);
  Frame(hidden, FirstKeyLiftsNote(hidden, right));
  EXPECT_EQ(hidden.moves, 1) << "the next key steps";

  // A restart brings the note back, and an arrow in the very next frame, read before the restart is made,
  // still only lifts it.
  play_input again;
  again.again = 1;
  Frame(hidden, again);
  ASSERT_TRUE(hidden.restart);
  Frame(hidden, FirstKeyLiftsNote(hidden, right));
  EXPECT_EQ(hidden.moves, 0) << "the restarted level's note is lifted, and nothing steps under it";
  Frame(hidden, FirstKeyLiftsNote(hidden, right));
  EXPECT_EQ(hidden.moves, 1);

  // Where the note hides nothing, the first key lifts it and steps at once.
  level_session clear = Start({{std::string(15, '#'), "#@...*.#######"}});
  ASSERT_FALSE(clear.notehidesroom);
  Frame(clear, FirstKeyLiftsNote(clear, right));
  EXPECT_EQ(clear.moves, 1);
}

TEST_F(LevelTeaching, ANoteOfThreeRowsKeepsItsWordsWhole) {
  world_.levelnote[1] = "One way out, and a beetle walks past it.";
  const level_session s = Start({{std::string(15, '#'), "#@...*.#######"}});
  EXPECT_EQ(Row(s.notestrip, 0), "  One way out, and a");
  EXPECT_EQ(Row(s.notestrip, 1), "   beetle walks past");
  EXPECT_EQ(Row(s.notestrip, 2), "                 it.");
  EXPECT_EQ(s.noterow, 12) << "three rows at the foot of the board";
}

TEST_F(LevelTeaching, TheLegendListsExactlyTheKindsInTheLevel) {
  const level_session s = Start({{"###############", "#@.*_.G..<....#", "#..R.....a....#", "#..S...T......#"}},
                                {"G = gate closed 1 open 1 starts closed", "a = turner up anticlockwise",
                                 "S = teleporter send 1", "T = teleporter receive 1"});
  std::vector<std::string> names;
  for (const legend_entry& e : LevelLegend(world_, s.levelrec)) names.push_back(e.name + ": " + e.rule);
  EXPECT_EQ(names, (std::vector<std::string>{
                       "Mover: bounces off anything", "Turner: turns left at anything",
                       "Shut gate: opens in 2 moves", "Pad: sends you to its colour",
                       "Pad: its colour lands you here", "Bare floor: takes no block", "One-way: enter going left",
                       "Star: take all", "You: each step leaves a block", "Block: no way past",
                       "Floor: walk on it", "Wall: no way past"}));
  // Each entry shows the kind as the level draws it.
  const std::vector<legend_entry> legend = LevelLegend(world_, s.levelrec);
  EXPECT_EQ(legend[2].look.glyph, '2');
  EXPECT_EQ(legend[1].look, KindLook(world_, kind::turneranticlockwise + 3));
}

TEST_F(LevelTeaching, TheClearingFloorSpeaksOfLayersOnlyWhereTheHudCountsThem) {
  auto rule = [this](const level_session& s) {
    for (const legend_entry& e : LevelLegend(world_, s.levelrec)) {
      if (e.name == "Clearing floor") return e.rule;
    }
    return std::string("(none)");
  };
  EXPECT_EQ(rule(Start({{"###############", "#@.~.*.#######"}})), "wipes away the trail blocks");
  EXPECT_EQ(rule(Start({{"###############", "#@A~.*.#######"}, {"###############", "#.B.*..#######"}},
                       {"A = teleporter send 1", "B = teleporter receive 1"})),
            "wipes the trail blocks of its layer");
}

TEST_F(LevelTeaching, HelpTurnsToPagesWithTheNoteLegendAndKeysAndBack) {
  world_.levelnote[1] = "Stars first, then the door.";
  screens_.help = tilemap::Create(20, 15);  // the keys page
  level_session s = Start({{"###############", "#@.*..........#"}});
  Frame(s);
  Frame(s, [] {
    play_input in;
    in.help = 1;
    return in;
  }());
  ASSERT_EQ(s.state, level_phase::help);
  frame_picture picture = Frame(s);
  EXPECT_NE(picture.Find(&s.morestrip), nullptr) << "the keys page says there is more";
  ASSERT_FALSE(s.helppages.empty());
  const tilemap& page = s.helppages[0];
  EXPECT_EQ(Row(page, 0), "        Help        ");
  EXPECT_EQ(Row(page, 2), " Stars first, then  ");
  EXPECT_EQ(Row(page, 3), " the door.          ");
  std::string all;
  for (const tilemap& p : s.helppages) {
    for (int y = 0; y < p.tmaph; ++y) all += Row(p, y) + "\n";
  }
  for (const char* key : {"Z, Backspace: undo", "H: hint", "R: restart", "M: mute", "F11: fullscreen",
                          "F12: screenshot", "9 a star, -1 a step", "Red: below zero", "Highs: to beat"}) {
    EXPECT_NE(all.find(key), std::string::npos) << key << " in\n" << all;
  }

  play_input right;
  right.right = 1;
  play_input left;
  left.left = 1;
  Frame(s, right);
  picture = Frame(s);
  EXPECT_EQ(s.helppage, 1);
  EXPECT_NE(picture.Find(&s.helppages[0]), nullptr);
  for (int turn = 0; turn < 5; ++turn) Frame(s, right);
  EXPECT_EQ(s.helppage, static_cast<int>(s.helppages.size())) << "Right stops at the last page";
  for (int turn = 0; turn < 9; ++turn) Frame(s, left);
  EXPECT_EQ(s.helppage, 0) << "Left turns back to the keys page";
  play_input back;
  back.back = 1;
  Frame(s, back);
  EXPECT_EQ(s.state, level_phase::playing);
}

TEST_F(LevelTeaching, LegendPagesKeepEachEntryWhole) {
  // A level with many kinds fills more than one page; no entry is split between two.
  const level_session s = Start(
      {{"###############", "#@*_<>^v~=.%&.#", "#!+'RDEa.GH...#", "#AB.ST........#"}, {"###############"}},
      {"a = turner up anticlockwise", "G = gate closed 1 open 1 starts closed",
       "H = gate closed 1 open 1 starts open", "A = teleporter send 1 receive 2", "B = teleporter send 2 receive 1",
       "S = teleporter send 3", "T = teleporter receive 3"});
  const std::vector<tilemap> pages = HelpPages(world_, s.levelrec, "");
  ASSERT_GE(pages.size(), 2u);
  for (const tilemap& page : pages) {
    // An entry's first row has its look in column 0; the rows of its rule start in column 2.
    EXPECT_NE(Row(page, 2).substr(0, 2), "  ") << "a page starts with an entry's name, not its rule";
  }
}

TEST_F(LevelTeaching, TheLoseScreenNamesTheUndoKey) {
  level_session s = Start({{"###############", "#@#*..........#", "#.#...........#", "###...........#"}});
  Frame(s);
  Step(s, &play_input::down);
  ASSERT_EQ(s.state, level_phase::lost);
  frame_picture picture;
  for (int frame = 0; frame < 52; ++frame) picture = Frame(s);
  const frame_draw* undo = picture.Find(&s.undostrip);
  ASSERT_NE(undo, nullptr);
  EXPECT_EQ(undo->sx, 0);
  EXPECT_EQ(undo->sy, 12);
  EXPECT_EQ(Row(s.undostrip, 0), " [z] undo last step ");
}

}  // namespace
}  // namespace dusk
