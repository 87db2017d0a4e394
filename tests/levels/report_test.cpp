// The level report's figures (random playthroughs, first steps, turned and mirrored forms) on small levels
// whose answers are known, and the campaign's own rules: no level wins by chance, no two levels alike.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "worlds/level_convert.h"
#include "worlds/level_report.h"
#include "worlds/world_looks.h"

namespace dusk {
namespace {

// A level source from its layer rows (padded with wall to 15 x 15) and legend lines.
level_source Source(int moves, std::vector<std::string> rows, const std::vector<std::string>& legend = {}) {
  std::string text = "name: Test\nmoves: " + std::to_string(moves) + "\nhighscore: auto\nlayer\n";
  for (std::string& row : rows) row.resize(15, '#');
  rows.resize(15, std::string(15, '#'));
  for (const std::string& row : rows) text += row + "\n";
  if (!legend.empty()) text += "legend\n";
  for (const std::string& line : legend) text += line + "\n";
  source_error error;
  const auto parsed = ParseLevelSource(text, "test.level", error);
  EXPECT_TRUE(parsed) << error.text();
  return parsed ? *parsed : level_source{};
}

TEST(RandomPlaythroughs, CountWinsAsTheLevelPlayEndsTheLevel) {
  // A corridor: every walk goes right and wins.
  EXPECT_EQ(RandomPlaythroughWins(BuildSourceLevel(Source(9, {"#@..*#"})), 9), kReportWalks);
  // Too few moves: every walk runs out one step short of the star.
  EXPECT_EQ(RandomPlaythroughWins(BuildSourceLevel(Source(2, {"#@..*#"})), 2), 0);
  // The star is to the left, the trail forbids turning back: walks going right end trapped. About half win.
  const level fork = BuildSourceLevel(Source(9, {"#*@..#"}));
  const int wins = RandomPlaythroughWins(fork, 9);
  EXPECT_GT(wins, kReportWalks * 4 / 10);
  EXPECT_LT(wins, kReportWalks * 6 / 10);
  // The seed fixes the figure; another seed gives another sample of the same odds.
  EXPECT_EQ(RandomPlaythroughWins(fork, 9), wins);
  EXPECT_NE(RandomPlaythroughWins(fork, 9, kReportWalks, 7), wins);
  EXPECT_EQ(RandomPlaythroughWins(fork, 9, 0), 0);
}

TEST(RandomPlaythroughs, FlagMoreThanOnePercent) {
  EXPECT_FALSE(WinsByChance(10, 1000));
  EXPECT_TRUE(WinsByChance(11, 1000));
  EXPECT_FALSE(WinsByChance(0, 1000));
  EXPECT_TRUE(MayBeWonByChance(1, 1));
  EXPECT_TRUE(MayBeWonByChance(1, 2));
  EXPECT_FALSE(MayBeWonByChance(1, 3));
  EXPECT_FALSE(MayBeWonByChance(1, 0));
  EXPECT_FALSE(MayBeWonByChance(1, 4));
  EXPECT_FALSE(MayBeWonByChance(2, 1));
}

TEST(FirstSteps, CountStepsThatStillWinAndThoseThatStayBest) {
  solver_limits limits;
  limits.max_seconds = 10;
  // Left wins; right walks into a dead end the trail can't leave.
  const level corridor = BuildSourceLevel(Source(5, {"#*.@..#"}));
  first_step_figures f = FirstSteps(corridor, 5, 2, limits);
  EXPECT_EQ(f.possible, 2);
  EXPECT_EQ(f.winning, 1);
  EXPECT_EQ(f.best, 1);
  EXPECT_EQ(f.unknown, 0);
  // In an open room both first steps still win, one of them only the long way round: a star taken on the
  // first step counts for the rest of the level.
  const level room = BuildSourceLevel(Source(12, {"#####", "#@*.#", "#...#", "#..*#"}));
  f = FirstSteps(room, 12, 4, limits);
  EXPECT_EQ(f.possible, 2);
  EXPECT_EQ(f.winning, 2);
  EXPECT_EQ(f.best, 1);
  // A first step that wins at once.
  f = FirstSteps(BuildSourceLevel(Source(3, {"#@*#"})), 3, 1, limits);
  EXPECT_EQ(f.possible, 1);
  EXPECT_EQ(f.winning, 1);
  EXPECT_EQ(f.best, 1);
}

// A room with every direction a level holds: one-way floors both ways, and one moving piece (one only,
// since the order pieces move in follows the scan and so changes with the turn).
level_source Directional(char piece) {
  std::string row = "#.X...^.#";
  row[2] = piece;
  return Source(30, {"#########", "#@.>...*#", "#..v....#", row, "#*...<..#", "#......*#", "#########"},
                {"a = turner up anticlockwise"});
}

TEST(PuzzleForms, TurnsEveryDirectionAlongAndComposeBackToTheLevel) {
  const level_source source = Directional('a');
  const puzzle_forms forms = PuzzleForms(source);
  // Eight different levels, one of them the level itself.
  EXPECT_TRUE(forms.levels[0] == BuildSourceLevel(source));
  for (int a = 0; a < kSymmetries; ++a) {
    for (int b = a + 1; b < kSymmetries; ++b) EXPECT_NE(forms.hashes[a], forms.hashes[b]) << a << " " << b;
  }
  // A quarter turn four times, or a mirror twice, gives the level back.
  level_source turned = source;
  for (int i = 0; i < 4; ++i) turned = TransformedSource(turned, 1);
  EXPECT_TRUE(BuildSourceLevel(turned) == forms.levels[0]);
  for (int mirror = 4; mirror < kSymmetries; ++mirror) {
    EXPECT_TRUE(BuildSourceLevel(TransformedSource(TransformedSource(source, mirror), mirror)) ==
                forms.levels[0])
        << SymmetryName(mirror);
  }
}

// Turning and mirroring keep the puzzle: every form has a best solution of the same length, found after
// exploring as many states.
TEST(PuzzleForms, PlayAsTheLevelDoes) {
  solver_limits limits;
  limits.max_seconds = 20;
  for (const char piece : {'L', 'D', 'E', 'a'}) {
    const puzzle_forms forms = PuzzleForms(Directional(piece));
    const solve_result best = Solve(forms.levels[0], 30, limits);
    ASSERT_EQ(best.status, solve_status::solved) << piece;
    for (int k = 1; k < kSymmetries; ++k) {
      const solve_result other = Solve(forms.levels[k], 30, limits);
      EXPECT_EQ(other.status, solve_status::solved) << piece << " " << SymmetryName(k);
      EXPECT_EQ(other.moves, best.moves) << piece << " " << SymmetryName(k);
      EXPECT_EQ(other.states, best.states) << piece << " " << SymmetryName(k);
    }
  }
}

TEST(PuzzleForms, FindLevelsThatAreTheSamePuzzle) {
  const level_source source = Directional('a');
  // The same drawing with other wall looks, then mirrored, then a level that differs in one cell.
  level_source relooked = source;
  for (source_cell& c : relooked.cells) {
    if (c.ground == 1) c.ground = 3;
  }
  level_source different = source;
  different.cells[static_cast<std::size_t>(2 * 15 + 5)].ground = 1;
  const std::vector<puzzle_forms> levels = {PuzzleForms(source), PuzzleForms(different),
                                            PuzzleForms(TransformedSource(relooked, 6))};
  const std::vector<same_puzzle> same = SamePuzzles(levels);
  ASSERT_EQ(same.size(), 1u);
  EXPECT_EQ(same[0].earlier, 0u);
  EXPECT_EQ(same[0].later, 2u);
  EXPECT_EQ(same[0].symmetry, 6);
}

// Every level of the campaign, in world order, with its world and level number.
struct campaign_level {
  int world = 0;
  int levelno = 0;
  std::string path;
  level_source source;
};

std::vector<campaign_level> Campaign() {
  std::vector<campaign_level> levels;
  int world = 0;
  for (const listed_world& listed : ListWorlds(std::string(DUSK_SOURCE_DIR) + "/worlds")) {
    EXPECT_TRUE(listed.world) << listed.error;
    if (!listed.world) continue;
    for (std::size_t l = 0; l < listed.world->levels.size(); ++l) {
      const std::string path = LevelSourcePath(listed, listed.world->levels[l]);
      source_error error;
      const auto source = ReadLevelSource(path, error);
      EXPECT_TRUE(source) << error.text();
      if (source) levels.push_back({world, static_cast<int>(l), path, *source});
    }
    ++world;
  }
  return levels;
}

// Random play must not win a level: the figure level_report prints, with its seed.
TEST(Campaign, RandomPlayWinsNoLevelBeyondTheFirstOfWorldOne) {
  for (const campaign_level& l : Campaign()) {
    if (MayBeWonByChance(l.world, l.levelno)) continue;
    const int wins = RandomPlaythroughWins(BuildSourceLevel(l.source), l.source.moves);
    EXPECT_FALSE(WinsByChance(wins, kReportWalks))
        << l.path << " (" << l.world << "-" << l.levelno << "): random play wins " << wins << " of "
        << kReportWalks;
  }
}

// Every world's looks keep apart the states that play differently (reading a world file checks it), and
// every level's pairs and keys each get a colour of their own.
TEST(Campaign, EveryStateAndEveryPairAndKeyLooksApart) {
  for (const listed_world& listed : ListWorlds(std::string(DUSK_SOURCE_DIR) + "/worlds")) {
    EXPECT_TRUE(listed.world) << listed.error;
  }
  for (const campaign_level& l : Campaign()) {
    const level_marks marks = MarkLevel(BuildSourceLevel(l.source));
    EXPECT_LE(marks.pairs, kind::kMarkColors) << l.path;
    EXPECT_LE(marks.keycount, kind::kMarkColors) << l.path;
  }
}

TEST(Campaign, NoTwoLevelsAreTheSamePuzzle) {
  const std::vector<campaign_level> levels = Campaign();
  std::vector<puzzle_forms> forms;
  for (const campaign_level& l : levels) forms.push_back(PuzzleForms(l.source));
  for (const same_puzzle& same : SamePuzzles(forms)) {
    ADD_FAILURE() << levels[same.later].path << " is " << levels[same.earlier].path << ", "
                  << SymmetryName(same.symmetry);
  }
}

}  // namespace
}  // namespace dusk
