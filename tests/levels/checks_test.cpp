// The level report's checks, each on a small fixture that shows the fault it catches beside a twin that
// passes: careful play, the removal test, dead space, shared rooms, the limits on a level, the figures'
// cache, and the report of a small campaign with its world and campaign checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/files.h"
#include "puzzle/kinds.h"
#include "tests/worlds/support/working_folder.h"
#include "worlds/level_checks.h"
#include "worlds/level_report.h"
#include "worlds/level_rooms.h"

namespace dusk {
namespace {

using testing::working_folder;
using testing::WriteTextFile;

// The lines of a level source: its layers' rows padded with wall to 15 x 15, and legend lines.
std::vector<std::string> LevelLines(const std::string& name, int moves, std::vector<std::vector<std::string>> layers,
                                    const std::vector<std::string>& legend = {}) {
  std::vector<std::string> lines = {"name: " + name, "moves: " + std::to_string(moves), "highscore: auto"};
  for (std::vector<std::string>& rows : layers) {
    lines.push_back("layer");
    for (std::string& row : rows) row.resize(15, '#');
    rows.resize(15, std::string(15, '#'));
    lines.insert(lines.end(), rows.begin(), rows.end());
  }
  if (!legend.empty()) lines.push_back("legend");
  lines.insert(lines.end(), legend.begin(), legend.end());
  return lines;
}

level_source Source(int moves, const std::vector<std::vector<std::string>>& layers,
                    const std::vector<std::string>& legend = {}, const std::string& name = "Test") {
  std::string text;
  for (const std::string& line : LevelLines(name, moves, layers, legend)) text += line + "\n";
  source_error error;
  const auto parsed = ParseLevelSource(text, "test.level", error);
  EXPECT_TRUE(parsed) << error.text();
  return parsed ? *parsed : level_source{};
}

TEST(CarefulPlay, NeverTakesAStepThatLosesAtOnce) {
  // Niches below the corridor trap whoever steps in: random play takes one half the time at each of two
  // places, careful play never.
  const std::vector<std::string> niches = {"#######", "#@...*#", "#.#.###"};
  const level lvl = BuildSourceLevel(Source(9, {niches}));
  const int random = RandomPlaythroughWins(lvl, 9);
  EXPECT_GT(random, kReportWalks / 4 - 60);
  EXPECT_LT(random, kReportWalks / 4 + 60);
  EXPECT_EQ(CarefulPlaythroughWins(lvl, 9), kReportWalks);
  // The last allowed move may be taken when it wins; one move too few, and every walk ends out of moves.
  EXPECT_EQ(CarefulPlaythroughWins(lvl, 4), kReportWalks);
  EXPECT_EQ(CarefulPlaythroughWins(lvl, 3), 0);
  // Where every step is as good as another, careful play is random play.
  const level fork = BuildSourceLevel(Source(9, {{"######", "#*@..#"}}));
  const int careful = CarefulPlaythroughWins(fork, 9);
  EXPECT_GT(careful, kReportWalks * 4 / 10);
  EXPECT_LT(careful, kReportWalks * 6 / 10);
  EXPECT_FALSE(WinsByCare(20, 1000));
  EXPECT_TRUE(WinsByCare(21, 1000));
}

TEST(RemovalTest, FindsWhetherALevelNeedsItsKinds) {
  const std::vector<uint8_t> doors = {kind::doorswitch, kind::door};
  const std::vector<uint8_t> pads = {kind::teleporter};
  // The door closes the straight way to the star; the switch is round the loop.
  const std::vector<std::string> loop = {"#######", "#..!..#", "#.###.#", "#@.+.*#"};
  std::vector<std::string> open = loop;
  open[3][3] = '\'';
  struct test_case {
    const char* name;
    level_source source;
    std::vector<uint8_t> kinds;
    removal_outcome outcome;
  };
  const test_case cases[] = {
      {"door in the way", Source(12, {loop}), doors, removal_outcome::naive_fails},
      {"door open", Source(12, {open}), doors, removal_outcome::not_needed},
      {"pads to the star", Source(9, {{"#####", "#@.A#"}, {"#####", "#B.*#"}}, {"A = teleporter send 1", "B = teleporter receive 1"}),
       pads, removal_outcome::unwinnable},
      {"no pads", Source(12, {loop}), pads, removal_outcome::absent},
  };
  solver_limits limits;
  limits.max_seconds = 10;
  for (const test_case& c : cases) {
    const removal_test test = RemovalTest(c.source, c.kinds, limits);
    EXPECT_EQ(test.outcome, c.outcome) << c.name;
  }
  // The naive route is the stripped level's shortest: four steps right.
  EXPECT_EQ(RemovalTest(Source(12, {loop}), doors, limits).stripped.moves, 4);
}

TEST(RemovalTest, StripsPiecesToTheFloorBelowThem) {
  const level_source source =
      Source(20, {{"#######", "#@a^!+*", "#######"}}, {"a = mover right on marked floor"});
  const std::vector<uint8_t> kinds = {kind::horizontalmover, kind::onewayup, kind::doorswitch};
  const level_source stripped = StrippedSource(source, kinds);
  EXPECT_EQ(stripped.at(2, 1, 0), (source_cell{kind::markedfloor, 0, 0, 0, 0}));
  EXPECT_EQ(stripped.at(3, 1, 0), (source_cell{kind::floor, 0, 0, 0, 0}));
  EXPECT_EQ(stripped.at(4, 1, 0), (source_cell{kind::floor, 0, 0, 0, 0}));
  EXPECT_EQ(stripped.at(5, 1, 0), source.at(5, 1, 0)) << "the door is not named";
  EXPECT_TRUE(HoldsKinds(source, kinds));
  EXPECT_FALSE(HoldsKinds(stripped, kinds));
}

// A ring round a walled-off pocket, and floor beyond the outer wall that reaches the grid's edge.
std::vector<std::string> Ring() {
  std::vector<std::string> rows = {"#######", "#@....#", "#.###.#", "#.#.#.#", "#.###.#", "#...*.#", "#######"};
  rows.resize(14, std::string(15, '#'));
  rows.push_back("...............");
  return rows;
}

TEST(DeadSpace, FindsFloorNoPlayStepsOnto) {
  const level ring = BuildSourceLevel(Source(30, {Ring()}));
  explore_limits limits;
  dead_space dead = DeadSpace(ring, 30, {}, limits);
  ASSERT_TRUE(dead.known);
  ASSERT_EQ(dead.cells, (std::vector<int>{level::cellindex(3, 3, 0)})) << "the pocket, not the edge";
  EXPECT_EQ(dead.walledoff, 1u);
  EXPECT_EQ(DeadSpaceMap(ring, dead),
            (std::vector<std::string>{"#######", "#@....#", "#.###.#", "#.#X#.#", "#.###.#", "#.....#", "#######"}));

  // Too few moves to go round to the far side of the ring: three cells there are dead, beside the pocket.
  dead = DeadSpace(ring, 6, {}, limits);
  ASSERT_TRUE(dead.known);
  EXPECT_EQ(dead.cells.size(), 4u);
  EXPECT_EQ(DeadSpaceMap(ring, dead),
            (std::vector<std::string>{"#######", "#@....#", "#.###.#", "#.#X#.#", "#.###X#", "#...XX#", "#######"}));

  // A block is not floor to stand on; floor behind it that a play reaches is not dead.
  std::vector<std::string> blocked = Ring();
  blocked[3] = "#.#o#.#";
  dead = DeadSpace(BuildSourceLevel(Source(30, {blocked})), 30, {}, limits);
  EXPECT_TRUE(dead.known);
  EXPECT_TRUE(dead.cells.empty());

  // Out of budget: the answer is not known, and the cells still missing are counted.
  limits.max_states = 3;
  limits.cuts = false;
  dead = DeadSpace(BuildSourceLevel(Source(40, {{"#########", "#@......#", "#.......#", "#.......#", "#......*#"}})),
                   40, {}, limits);
  EXPECT_FALSE(dead.known);
  EXPECT_GT(dead.missing, 0u);
  EXPECT_TRUE(dead.cells.empty());
}

TEST(DeadSpace, KnownPlaysNeedNoSearch) {
  const level corridor = BuildSourceLevel(Source(9, {{"#######", "#@...*#"}}));
  const std::vector<std::vector<uint8_t>> plays = {{3, 3, 3, 3}};
  const dead_space dead = DeadSpace(corridor, 9, plays);
  EXPECT_TRUE(dead.known);
  EXPECT_TRUE(dead.cells.empty());
  EXPECT_EQ(dead.explored.states, 0u);
}

TEST(RoomPlans, OverlapWhenARoomIsDrawnAgain) {
  const std::vector<std::string> room = {"##########", "#@.....*.#", "#.##.##..#", "#........#", "#..#.....#", "#*.......#"};
  // The same room with the stars moved, then turned a quarter and moved across the grid.
  std::vector<std::string> restarred = room;
  restarred[1] = "#@*......#";
  std::vector<std::string> turned(15, std::string(15, '#'));
  for (std::size_t y = 0; y < room.size(); ++y) {
    for (std::size_t x = 0; x < room[y].size(); ++x) turned[x + 3][14 - y - 2] = room[y][x];
  }
  // A room of much the same size and another shape.
  const std::vector<std::string> other = {"##########", "#@...#####", "#....#####", "#.........#", "#.........#",
                                          "#####...*#"};
  const auto plans = [](const std::vector<std::string>& rows) { return RoomPlans(BuildSourceLevel(Source(60, {rows}))); };
  EXPECT_DOUBLE_EQ(RoomOverlap(plans(room), plans(restarred)).share, 1.0);
  const room_overlap t = RoomOverlap(plans(room), plans(turned));
  EXPECT_DOUBLE_EQ(t.share, 1.0);
  EXPECT_NE(t.symmetry, 0);
  EXPECT_LT(RoomOverlap(plans(room), plans(other)).share, kMostRoomOverlap);
  // A pocket of a few cells is no room to compare.
  EXPECT_TRUE(plans({"#####", "#@.*#", "#...#"}).empty());
}

// Figures of a level that passes everything, to change one at a time.
level_figures Passing() {
  level_figures f;
  f.status = solve_status::solved;
  f.steps = {3};
  f.states = 25000;
  f.walks = 1000;
  f.deadknown = true;
  return f;
}

TEST(LevelFailures, HoldLevelsToTheirLimits) {
  const level_source nine = Source(17, {{"#####", "#@.*#", "#.*.#"}}, {}, "Thirteen char");  // 2 stars
  level_place place;
  place.world = 4;
  place.levelno = 3;
  struct test_case {
    const char* name;
    level_source source;
    level_place place;
    bool last;
    level_figures figures;
    std::string failure;  // the start of the one failure expected, or none
  };
  std::vector<test_case> cases;
  cases.push_back({"passes", nine, place, false, Passing(), ""});
  level_source over = nine;
  over.moves = 18;
  cases.push_back({"allowance", over, place, false, Passing(), "the allowance of 18 moves is not below 9 x 2"});
  level_source longname = nine;
  longname.name = "Fourteen chars";
  cases.push_back({"name", longname, place, false, Passing(), "its name 'Fourteen chars' has 14"});
  level_figures f = Passing();
  f.random = 10;
  f.careful = 20;
  cases.push_back({"chance at the limits", nine, place, false, f, ""});
  f.random = 11;
  cases.push_back({"random", nine, place, false, f, "random play wins 1.1 %"});
  f.random = 0;
  f.careful = 21;
  cases.push_back({"careful", nine, place, false, f, "careful play wins 2.1 %"});
  level_place first = place;
  first.world = 1;
  first.levelno = 2;
  f.random = 900;
  cases.push_back({"world 1 may be won by chance", nine, first, false, f, ""});
  f = Passing();
  f.mechanictested = true;
  f.mechanic = removal_outcome::not_needed;
  f.strippedmoves = 7;
  place.featured = {kind::timedgate};
  cases.push_back({"mechanic", nine, place, false, f, "doesn't need its world's featured kinds (gate)"});
  f.mechanic = removal_outcome::naive_fails;
  cases.push_back({"mechanic needed", nine, place, false, f, ""});
  f = Passing();
  f.deadknown = false;
  f.deadlimit = "states";
  cases.push_back({"dead space unknown", nine, place, false, f, "dead space not known"});
  f = Passing();
  f.states = 19999;
  cases.push_back({"last level", nine, place, true, f, "explores 19,999 states; its world's last level"});
  cases.push_back({"middle level", nine, place, false, f, ""});
  level_place bonus = place;
  bonus.levelno = 0;
  cases.push_back({"bonus level", nine, bonus, false, f, "explores 19,999 states; a bonus level"});
  f.states = 5000;
  first.levelno = 10;
  cases.push_back({"world 1's last", nine, first, true, f, ""});
  f.states = 4999;
  cases.push_back({"world 1's last, shallow", nine, first, true, f, "explores 4,999 states"});

  for (const test_case& c : cases) {
    const std::vector<std::string> failures = LevelFailures(c.source, c.place, c.last, c.figures);
    if (c.failure.empty()) {
      EXPECT_TRUE(failures.empty()) << c.name << ": " << (failures.empty() ? "" : failures[0]);
    } else {
      ASSERT_EQ(failures.size(), 1u) << c.name;
      EXPECT_EQ(failures[0].substr(0, c.failure.size()), c.failure) << c.name;
    }
  }
}

TEST(FiguresCache, ReadsBackWhatItWroteAndNothingDamaged) {
  level_figures f = Passing();
  f.steps = {0, 1, 2, 3, 3};
  f.limit = "time";
  f.first = {4, 2, 1, 1};
  f.random = 7;
  f.careful = 19;
  f.mechanictested = true;
  f.mechanic = removal_outcome::unwinnable;
  f.strippedmoves = 12;
  f.combined = {{2, removal_outcome::naive_fails, 31}, {4, removal_outcome::not_needed, 0}};
  f.deadcells = {17, 230};
  f.walledoff = 1;
  f.explored = 1234;
  f.forgiveness = forgiveness_figures{};
  f.forgiveness->positions = 90;
  f.forgiveness->winnable = 45;
  f.forgiveness->complete = true;
  const std::string text = FiguresText(f);
  const std::optional<level_figures> back = ParseFigures(text);
  ASSERT_TRUE(back);
  EXPECT_EQ(FiguresText(*back), text);

  auto replaced = [&text](const std::string& from, const std::string& to) {
    std::string damaged = text;
    damaged.replace(damaged.find(from), from.size(), to);
    return damaged;
  };
  const std::string damaged[] = {
      text.substr(0, text.size() - 4),           // cut short
      text.substr(0, text.find("end")),          // no end
      replaced("steps 01233", "steps 01243"),    // not a step
      replaced("walks 1000 7 19", "walks 10 17 19"),  // more wins than walks
      replaced("states 25000", "states -3"),
      replaced("states 25000", "states 25000\nstates 25000"),  // twice
      replaced("deadcells 17 230", "deadcells 17 3375"),       // beyond the grid
      replaced("mechanic 1 1 12", "mechanic 1 9 12"),
      replaced("dead 1 1 0 1234", "dead 1 3 0 1234"),  // more walled off than dead
      replaced("limit time", "limit TIME"),
      replaced("first 4 2 1 1", "first 4 2 1"),
      replaced("status 0", "colour 0"),
      text + "status 0\n",
      "",
  };
  for (const std::string& d : damaged) EXPECT_FALSE(ParseFigures(d)) << d;
}

// A small campaign: a bonus world, a world without featured kinds, one that forgets its featured line,
// and one that features doors.
class CampaignReport : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeFolder("camp");
    WriteTextFile("camp/worlds.txt", {"bonus", "walk", "arrows", "locks"});
    World("bonus", "Bonus", "featured: switch, door", {{"b0", LevelLines("Latch", 12, {Loop()})}});
    World("walk", "Cinder Walks", "", {{"w0", LevelLines("Harvest", 9, {{"#####", "#@.*#"}})},
                                       {"w1", LevelLines("Corridor", 9, {{"######", "#@..*#"}})},
                                       {"w2", LevelLines("Box", 30, {Box()})}});
    World("arrows", "Arrows", "", {{"a0", LevelLines("Arrow", 9, {{"######", "#@>.*#"}})}});
    World("locks", "Locks", "featured: switch, door",
          {{"l0", LevelLines("Lock", 12, {Loop()})},
           {"l1", LevelLines("Corridor", 9, {{"#######", "#@...*#"}})},
           {"l2", LevelLines("Box Again", 30, {Box(true)})}});
  }

  static std::vector<std::string> Loop() { return {"#######", "#..!..#", "#.###.#", "#@.+.*#"}; }
  static std::vector<std::string> Box(bool moved = false) {
    std::vector<std::string> rows = {"#########", "#@......#", "#.#...#.#", "#.......#", "#.#...#.#", "#......*#"};
    if (moved) rows[1] = "#@*.....#";
    return rows;
  }
  static void World(const std::string& folder, const std::string& name, const std::string& featured,
                    const std::vector<std::pair<std::string, std::vector<std::string>>>& levels) {
    MakeFolder("camp/" + folder);
    std::vector<std::string> lines = {"name: " + name, "unlock: yes", featured, "levels"};
    for (const auto& [file, text] : levels) {
      lines.push_back(file + ".level");
      WriteTextFile("camp/" + folder + "/" + file + ".level", text);
    }
    WriteTextFile("camp/" + folder + "/world.txt", lines);
  }

  static const reported_level& Level(const campaign_report& report, const std::string& shortname) {
    for (const reported_level& l : report.levels) {
      if (l.shortname == shortname) return l;
    }
    static const reported_level none;
    ADD_FAILURE() << "no level " << shortname;
    return none;
  }
  static bool Says(const std::vector<std::string>& failures, const std::string& start) {
    return std::any_of(failures.begin(), failures.end(),
                       [&](const std::string& f) { return f.substr(0, start.size()) == start; });
  }

  working_folder folder_;
};

TEST_F(CampaignReport, ChecksLevelsWorldsAndTheCampaign) {
  report_options options;
  options.solver.max_seconds = 10;
  options.cachefolder = "cache";
  const campaign_report report = ReportCampaign("camp", options);
  ASSERT_TRUE(report.errors.empty()) << report.errors[0];
  EXPECT_TRUE(report.wholecampaign);
  ASSERT_EQ(report.levels.size(), 8u);
  EXPECT_FALSE(Passed(report));
  EXPECT_EQ(report.fromcache, 0u);

  // Levels.
  const reported_level& latch = Level(report, "bonus/b0.level");
  EXPECT_EQ(latch.place.world, 0);
  EXPECT_EQ(latch.figures.mechanic, removal_outcome::naive_fails);
  const reported_level& corridor = Level(report, "locks/l1.level");
  EXPECT_TRUE(Says(corridor.failures, "holds none of its world's featured kinds (switch, door)"));
  EXPECT_TRUE(Says(corridor.failures, "shares its name 'Corridor' with 1-1 walk/w1.level"));
  EXPECT_TRUE(Says(Level(report, "locks/l2.level").failures, "shares a room with 1-2 walk/w2.level"));
  EXPECT_FALSE(Says(Level(report, "walk/w2.level").failures, "shares a room"));
  EXPECT_TRUE(Level(report, "walk/w1.level").figures.forgiveness) << "a world's first level";
  EXPECT_FALSE(Level(report, "walk/w2.level").figures.forgiveness);

  // Worlds.
  ASSERT_EQ(report.worlds.size(), 4u);
  EXPECT_TRUE(Says(report.worlds[1].failures, "its name 'Cinder Walks' has 12 characters"));
  EXPECT_TRUE(Says(report.worlds[1].failures, "holds 3 levels; a world holds 10 to 14"));
  EXPECT_FALSE(Says(report.worlds[1].failures, "names no featured kinds")) << "world 1 features none";
  EXPECT_TRUE(Says(report.worlds[2].failures, "names no featured kinds"));
  EXPECT_TRUE(Says(report.worlds[3].failures, "0 of its 3 levels combine its mechanic"));

  // The campaign.
  EXPECT_TRUE(Says(report.failures, "the median of the states its levels explore is"));
  EXPECT_TRUE(Says(report.failures, "holds 4 worlds and 8 levels"));

  // Again, from the cache: the same report.
  const campaign_report again = ReportCampaign("camp", options);
  EXPECT_EQ(again.fromcache, 8u);
  for (std::size_t i = 0; i < report.levels.size(); ++i) {
    EXPECT_EQ(again.levels[i].failures, report.levels[i].failures) << report.levels[i].shortname;
    EXPECT_EQ(FiguresText(again.levels[i].figures), FiguresText(report.levels[i].figures));
  }
}

TEST_F(CampaignReport, ChecksOneWorldOrOneLevelInTheCampaignAroundIt) {
  report_options options;
  options.solver.max_seconds = 10;
  campaign_report report = ReportCampaign("camp/locks", options);
  ASSERT_TRUE(report.errors.empty());
  EXPECT_FALSE(report.wholecampaign);
  for (const reported_level& l : report.levels) EXPECT_EQ(l.checked, l.world == 3) << l.shortname;
  EXPECT_TRUE(report.failures.empty()) << "the campaign's own checks wait for the whole campaign";
  EXPECT_TRUE(Says(report.worlds[3].failures, "0 of its 3 levels combine"));
  EXPECT_TRUE(report.worlds[1].failures.empty()) << "other worlds are not checked";
  // Names and rooms are still compared with the whole campaign.
  EXPECT_TRUE(Says(Level(report, "locks/l2.level").failures, "shares a room with 1-2 walk/w2.level"));

  report = ReportCampaign("camp/locks/l1.level", options);
  ASSERT_TRUE(report.errors.empty());
  const reported_level& corridor = Level(report, "locks/l1.level");
  EXPECT_TRUE(corridor.checked);
  EXPECT_EQ(corridor.place.world, 3);
  EXPECT_EQ(corridor.place.levelno, 1);
  EXPECT_EQ(corridor.place.featured, (std::vector<uint8_t>{kind::doorswitch, kind::door}));
  EXPECT_TRUE(Says(corridor.failures, "shares its name 'Corridor'"));
  EXPECT_EQ(std::count_if(report.levels.begin(), report.levels.end(), [](const reported_level& l) { return l.checked; }), 1);
  for (const reported_world& w : report.worlds) EXPECT_TRUE(w.failures.empty());

  // A level outside any campaign gets its own checks only.
  MakeFolder("loose");
  WriteTextFile("loose/one.level", LevelLines("Loose", 9, {{"######", "#@..*#"}}));
  report = ReportCampaign("loose/one.level", options);
  ASSERT_EQ(report.levels.size(), 1u);
  EXPECT_EQ(report.levels[0].world, -1);
  EXPECT_EQ(LevelNumber(report.levels[0]), "?");
  EXPECT_FALSE(report.levels[0].figures.mechanictested);
  EXPECT_TRUE(Says(report.levels[0].failures, "random play wins"));
}

}  // namespace
}  // namespace dusk
