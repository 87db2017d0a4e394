// Level sources and world files: what a good source gives, and the message for every kind of mistake.
#include "worlds/level_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "puzzle/kinds.h"
#include "worlds/world_file.h"

namespace dusk {
namespace {

// A source built from parts: header lines, layers of rows, legend lines. Rows not given are floor.
struct source_text {
  std::vector<std::string> header = {"name: Test", "moves: 30", "highscore: auto"};
  std::vector<std::vector<std::string>> layers;
  std::vector<std::string> legend;

  std::string text() const {
    std::string out;
    for (const std::string& line : header) out += line + "\n";
    for (const auto& layer : layers) {
      out += "layer\n";
      for (const std::string& row : layer) out += row + "\n";
    }
    if (!legend.empty()) out += "legend\n";
    for (const std::string& line : legend) out += line + "\n";
    return out;
  }
};

// A layer whose top rows are given and padded to 15 x 15 with floor.
std::vector<std::string> Layer(std::vector<std::string> rows) {
  for (std::string& row : rows) row.resize(15, '.');
  rows.resize(15, std::string(15, '.'));
  return rows;
}

source_text Simple() {
  source_text s;
  s.layers = {Layer({"@..*"})};
  return s;
}

std::string ErrorOf(const std::string& text) {
  source_error error;
  const auto parsed = ParseLevelSource(text, "x.level", error);
  return parsed ? "parsed" : error.text();
}

TEST(LevelSource, ParsesHeaderLayersAndLegend) {
  source_text s;
  s.header = {"; a comment", "  name:  Two Floors  ", "note: Two floors, one way down.", "moves: 42",
              "highscore: 17", ""};
  s.layers = {Layer({"@.T*#%&", ":_^v><~", "=o!+'LR", "UDESWNg", "m.t.x.d"}), Layer({"T.*"})};
  s.legend = {"T = teleporter send 3 receive 4",
              "  g = gate closed 2 open 5 starts open",
              "m = mover up on marked floor",
              "t = turner left anticlockwise on marked floor",
              "x = player on marked floor",
              "d = door 1 open",
              "@ = floor",
              ". = floor"};
  // The legend turns '@' into floor: the player is the 'x'. The second teleporter receives 3 and sends 4.
  s.legend.push_back("Q = star");
  s.layers[1] = Layer({"Y.*"});
  s.legend.push_back("Y = teleporter send 4 receive 3");
  source_error error;
  const auto parsed = ParseLevelSource(s.text(), "two.level", error);
  ASSERT_TRUE(parsed) << error.text();
  const level_source& p = *parsed;
  EXPECT_EQ(p.name, "Two Floors");
  EXPECT_EQ(p.note, "Two floors, one way down.");
  EXPECT_EQ(p.moves, 42);
  EXPECT_EQ(p.highscore, 17);
  EXPECT_EQ(p.depth, 2);
  EXPECT_EQ(p.stars, 2);

  struct expected {
    int x, y, z;
    source_cell cell;
  };
  const expected cells[] = {
      {0, 0, 0, {kind::floor, 0}},
      {2, 0, 0, {kind::floor, kind::teleporter, 3, 4, 0}},
      {3, 0, 0, {kind::floor, kind::star}},
      {4, 0, 0, {kind::wall, 0}},
      {5, 0, 0, {kind::wallsecondlook, 0}},
      {6, 0, 0, {kind::wallthirdlook, 0}},
      {0, 1, 0, {kind::markedfloor, 0}},
      {1, 1, 0, {kind::untrailedfloor, 0}},
      {2, 1, 0, {kind::onewayup, 0}},
      {3, 1, 0, {kind::onewaydown, 0}},
      {4, 1, 0, {kind::onewayright, 0}},
      {5, 1, 0, {kind::onewayleft, 0}},
      {6, 1, 0, {kind::trailclearingfloor, 0}},
      {0, 2, 0, {kind::fixedtrailfloor, 0}},
      {1, 2, 0, {kind::floor, kind::block}},
      {2, 2, 0, {kind::floor, kind::doorswitch, 1}},
      {3, 2, 0, {kind::floor, kind::door, 1, 1}},
      {4, 2, 0, {kind::floor, kind::door, 1, 0}},
      {5, 2, 0, {kind::floor, kind::horizontalmover, 0}},
      {6, 2, 0, {kind::floor, kind::horizontalmover, 1}},
      {0, 3, 0, {kind::floor, kind::verticalmover, 0}},
      {1, 3, 0, {kind::floor, kind::verticalmover, 1}},
      {2, 3, 0, {kind::floor, kind::turningmover, 0, 1}},
      {3, 3, 0, {kind::floor, kind::turningmover, 1, 1}},
      {4, 3, 0, {kind::floor, kind::turningmover, 2, 1}},
      {5, 3, 0, {kind::floor, kind::turningmover, 3, 1}},
      {6, 3, 0, {kind::floor, kind::timedgate, 2, 5, 0}},
      {0, 4, 0, {kind::markedfloor, kind::verticalmover, 0}},
      {2, 4, 0, {kind::markedfloor, kind::turningmover, 2, 0}},
      {4, 4, 0, {kind::markedfloor, kind::player}},
      {6, 4, 0, {kind::floor, kind::door, 1, 0}},
      {0, 0, 1, {kind::floor, kind::teleporter, 4, 3, 0}},
      {2, 0, 1, {kind::floor, kind::star}},
  };
  for (const expected& e : cells) {
    EXPECT_EQ(p.at(e.x, e.y, e.z), e.cell) << "cell " << e.x << "," << e.y << "," << e.z;
  }
}

TEST(LevelSource, TakesCarriageReturnsAndTrailingBlanks) {
  std::string text = Simple().text();
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += "  \r";
    crlf += c;
  }
  EXPECT_EQ(ErrorOf(crlf), "parsed");
}

TEST(LevelSource, ReportsEveryMistakeWithFileLineAndColumn) {
  struct test_case {
    const char* what;
    source_text source;
    const char* message;
  };
  auto with = [](auto change) {
    source_text s = Simple();
    change(s);
    return s;
  };
  // Header lines are 1 to 3, "layer" line 4, the layer's rows lines 5 to 19, "legend" line 20.
  const test_case cases[] = {
      {"unknown character", with([](source_text& s) { s.layers[0][2][7] = '?'; }),
       "x.level:7:8: unknown character '?': not a default character and not in the legend"},
      {"short row", with([](source_text& s) { s.layers[0][3].resize(14); }),
       "x.level:8:15: ragged picture: this row has 14 cells; every row of a layer has 15"},
      {"long row", with([](source_text& s) { s.layers[0][0] += "#"; }),
       "x.level:5:16: ragged picture: this row has 16 cells; every row of a layer has 15"},
      {"blank line in a picture", with([](source_text& s) { s.layers[0][5] = ""; }),
       "x.level:10:1: ragged picture: this row has 0 cells; every row of a layer has 15"},
      {"layer cut short", with([](source_text& s) { s.layers[0].resize(12); }),
       "x.level:17:1: the layer that starts on line 4 has only 12 rows; a layer has 15"},
      {"missing player", with([](source_text& s) { s.layers[0][0][0] = '.'; }),
       "x.level:4:1: no player start: put '@' (or a legend 'player') in a layer"},
      {"two players", with([](source_text& s) { s.layers[0][9][3] = '@'; }),
       "x.level:14:4: a second player start (the first is at line 5, column 1)"},
      {"too many layers", with([](source_text& s) { s.layers.resize(16, Layer({})); }),
       "x.level:244:1: too many layers: a level has at most 15"},
      {"no stars", with([](source_text& s) { s.layers[0][0][3] = '.'; }),
       "x.level:4:1: no stars: the level would be won before the first move"},
      {"unpaired teleporter", with([](source_text& s) {
         s.layers[0][1] = "..A............";
         s.legend = {"A = teleporter send 2 receive 1"};
       }),
       "x.level:6:3: unpaired teleporter: it sends key 2, which no teleporter receives"},
      {"teleporter to itself", with([](source_text& s) {
         s.layers[0][1] = "..A..B.........";
         s.legend = {"A = teleporter send 1 receive 1", "B = teleporter receive 2"};
       }),
       "x.level:6:3: teleporter sends to itself: it receives its own send key 1"},
      {"two receivers of a key", with([](source_text& s) {
         s.layers[0][1] = "..A..B.........";
         s.layers[0][2] = "..B............";
         s.legend = {"A = teleporter send 1", "B = teleporter receive 1"};
       }),
       "x.level:7:3: a second teleporter receives key 1 (the first is at line 6, column 6)"},
      {"door without switch", with([](source_text& s) { s.layers[0][4][6] = '+'; }),
       "x.level:9:7: door without switch: no switch has its key 1"},
      {"switch without door", with([](source_text& s) {
         s.layers[0][4][6] = 's';
         s.legend = {"s = switch 4"};
       }),
       "x.level:9:7: switch without door: no door has its key 4"},
      {"no moves line", with([](source_text& s) { s.header.erase(s.header.begin() + 1); }),
       "x.level:1:1: the level has no 'moves:' line"},
      {"moves not a number", with([](source_text& s) { s.header[1] = "moves:  many"; }),
       "x.level:2:9: the move allowance is a number from 1 to 65535, found 'many'"},
      {"high score out of range", with([](source_text& s) { s.header[2] = "highscore: 70000"; }),
       "x.level:3:12: the high score is 'auto' or a number from 0 to 65535, found '70000'"},
      {"name twice", with([](source_text& s) { s.header.push_back("name: Again"); }),
       "x.level:4:1: 'name:' is given twice (first on line 1)"},
      {"stray line", with([](source_text& s) { s.header.push_back("size: 15"); }),
       "x.level:4:1: unexpected line; expected 'name:', 'note:', 'moves:', 'highscore:', 'layer' or 'legend'"},
      {"note too long", with([](source_text& s) { s.header.push_back("note: " + std::string(41, 'n')); }),
       "x.level:4:7: a note is 1 to 40 printable ASCII characters"},
      {"empty note", with([](source_text& s) { s.header.push_back("note:"); }),
       "x.level:4:6: a note is 1 to 40 printable ASCII characters"},
      {"unknown thing", with([](source_text& s) { s.legend = {"k = dragon"}; }),
       "x.level:21:5: unknown thing 'dragon' (floor, marked floor, wall, wall 2, wall 3, untrailed floor, "
       "one-way, "
       "clearing floor, fixed-trail floor, star, block, player, mover, turner, switch, door, teleporter, "
       "gate)"},
      {"key out of range", with([](source_text& s) { s.legend = {"k = switch 300"}; }),
       "x.level:21:12: expected a colour key from 0 to 255, found '300'"},
      {"gate without its phases", with([](source_text& s) { s.legend = {"g = gate closed 2 starts open"}; }),
       "x.level:21:19: expected 'open', found 'starts'"},
      {"missing heading", with([](source_text& s) { s.legend = {"m = mover"}; }),
       "x.level:21:10: expected 'up', 'down', 'left' or 'right' at the end of the line"},
      {"star on marked floor", with([](source_text& s) { s.legend = {"m = star on marked floor"}; }),
       "x.level:21:10: unexpected 'on'"},
      {"legend entry twice", with([](source_text& s) {
         s.legend = {"k = star", "k = block"};
       }),
       "x.level:22:1: 'k' is already in the legend (line 21)"},
      {"legend entry without =", with([](source_text& s) { s.legend = {"k star"}; }),
       "x.level:21:3: a legend entry is one character, '=' and what it stands for, as in 'T = teleporter "
       "send 1'"},
  };
  for (const test_case& c : cases) {
    EXPECT_EQ(ErrorOf(c.source.text()), c.message) << c.what;
  }
}

TEST(WorldFile, ParsesNameUnlockLooksAndLevels) {
  const std::string text =
      "; a world\n"
      "name: Dusk Garden\n"
      "unlock: no\n"
      "featured: one-way left,turner ,  clearing floor\n"
      "looks\n"
      "  floor = 250 24 23\n"
      "  star = '*' 21 23\n"
      "  one-way left = 27 34 23\n"
      "  17 = 1 2 3\n"
      "levels\n"
      "  first.level\n"
      "  second.level\n";
  source_error error;
  const auto world = ParseWorldFile(text, "world.txt", error);
  ASSERT_TRUE(world) << error.text();
  EXPECT_EQ(world->name, "Dusk Garden");
  EXPECT_EQ(world->unlock, 0);
  EXPECT_EQ(world->featured,
            (std::vector<uint8_t>{kind::onewayleft, kind::turningmover, kind::trailclearingfloor}));
  ASSERT_EQ(world->looks.size(), 4u);
  EXPECT_EQ(world->looks[1].kind, kind::star);
  EXPECT_EQ(world->looks[1].glyph, '*');
  EXPECT_EQ(world->looks[2].kind, kind::onewayleft);
  EXPECT_EQ(world->looks[3].kind, 17);
  EXPECT_EQ(world->looks[3].bg, 3);
  EXPECT_EQ(world->levels, (std::vector<std::string>{"first.level", "second.level"}));
  EXPECT_EQ(world->levellines, (std::vector<int>{11, 12}));

  // The world text the compiler reads, in the order of the world data file; a note goes before its level's
  // file.
  const std::string compiled = WorldText(*world, {{"First", 20, 38, "dusk_first.qtm", "Walls grow."},
                                                  {"Second", 25, 0, "dusk_second.qtm", ""}});
  EXPECT_EQ(
      compiled,
      "@Dusk Garden\r\n#0:\r\n#0:250:24:23:\r\n#200:42:21:23:\r\n#44:27:34:23:\r\n#17:1:2:3:\r\n#255:\r\n"
      "@First\r\n*20:38:\r\n&Walls grow.\r\n!dusk_first.qtm\r\n@Second\r\n*25:0:\r\n!dusk_second.qtm\r\n"
      "% end of world\r\n");
}

TEST(WorldFile, FeaturesNothingWhenTheListIsEmptyOrMissing) {
  for (const char* featured : {"", "featured:\n", "featured:   \n"}) {
    source_error error;
    const auto world =
        ParseWorldFile(std::string("name: W\nunlock: yes\n") + featured + "levels\na.level\n", "w.txt", error);
    ASSERT_TRUE(world) << error.text();
    EXPECT_TRUE(world->featured.empty()) << featured;
  }
  EXPECT_EQ(KindName(kind::turningmover), "turner");
  EXPECT_EQ(KindName(kind::onewayup), "one-way up");
  EXPECT_FALSE(KindName(17));
}

TEST(WorldFile, ReportsMistakes) {
  struct test_case {
    const char* text;
    const char* message;
  };
  std::string seventeen = "name: W\nunlock: yes\nlevels\n";
  for (int i = 0; i < 17; ++i) seventeen += "l" + std::to_string(i) + ".level\n";
  const test_case cases[] = {
      {"name: W\nunlock: maybe\nlevels\na.level\n",
       "w.txt:2:9: unlock is 'yes' (winning the last level opens the next world) or 'no', found 'maybe'"},
      {"name: W\nunlock: yes\nlooks\ndragon = 1 2 3\n", "w.txt:4:1: unknown kind 'dragon'"},
      {"name: W\nunlock: yes\nlooks\nstar = 42 21\n",
       "w.txt:4:7: a look has three values: glyph, foreground and background"},
      {"name: W\nunlock: yes\nlooks\nstar = 42 21 300\n",
       "w.txt:4:14: a colour is a palette number from 0 to 255, found '300'"},
      {"name: W\nunlock: yes\nlooks\nstar = x 21 3\n",
       "w.txt:4:8: a glyph is a number from 0 to 255 or a quoted character, found 'x'"},
      {"name: W\nunlock: yes\nlooks\nstar = 1 2 3\nstar = 1 2 3\n",
       "w.txt:5:1: kind 'star' has a look already"},
      {"name: W\nunlock: yes\n", "w.txt:1:1: the world lists no levels"},
      {"unlock: yes\nlevels\na.level\n", "w.txt:1:1: the world has no 'name:' line"},
      {"name: W\nunlock: yes\nfirst.level\n",
       "w.txt:3:1: unexpected line; expected 'name:', 'unlock:', 'featured:', 'looks' or 'levels'"},
      {"name: W\nunlock: yes\nfeatured: switch, dragon\nlevels\na.level\n", "w.txt:3:19: unknown kind 'dragon'"},
      {"name: W\nunlock: yes\nfeatured: switch,, door\nlevels\na.level\n",
       "w.txt:3:18: a featured list is kind names separated by commas"},
      {"name: W\nunlock: yes\nfeatured: switch,\nlevels\na.level\n",
       "w.txt:3:18: a featured list is kind names separated by commas"},
      {"name: W\nunlock: yes\nfeatured: door, switch, door\nlevels\na.level\n",
       "w.txt:3:25: kind 'door' is featured already"},
      {"name: W\nunlock: yes\nfeatured: open door\nlevels\na.level\n",
       "w.txt:3:11: 'open door' can't be featured: a world features special floors and pieces (a door covers "
       "open doors, a gate open gates)"},
      {"name: W\nunlock: yes\nfeatured: star\nlevels\na.level\n",
       "w.txt:3:11: 'star' can't be featured: a world features special floors and pieces (a door covers open "
       "doors, a gate open gates)"},
      {"name: W\nfeatured: gate\nunlock: yes\nfeatured: door\nlevels\na.level\n",
       "w.txt:4:1: the world has a 'featured:' line already"},
      {seventeen.c_str(), "w.txt:20:1: too many levels: a world holds at most 16"},
  };
  for (const test_case& c : cases) {
    source_error error;
    EXPECT_FALSE(ParseWorldFile(c.text, "w.txt", error)) << c.text;
    EXPECT_EQ(error.text(), c.message) << c.text;
  }
}

}  // namespace
}  // namespace dusk
