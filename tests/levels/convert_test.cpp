// Conversion: the glyph table of level images, the trip through a screen file back to the same level, the
// sample worlds through the world compiler and world loading, and levels the converter refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/screen_file.h"
#include "platform/files.h"
#include "platform/stream.h"
#include "puzzle/kinds.h"
#include "tests/worlds/support/working_folder.h"
#include "worlds/build_level.h"
#include "worlds/compiler.h"
#include "worlds/level_convert.h"
#include "worlds/world.h"
#include "worlds/worlds_state.h"

namespace dusk {
namespace {

using testing::working_folder;
using testing::WriteTextFile;

std::vector<std::string> Layer(std::vector<std::string> rows) {
  for (std::string& row : rows) row.resize(15, '#');
  rows.resize(15, std::string(15, '#'));
  return rows;
}

std::vector<std::string> LevelLines(const std::string& name, int moves, const std::string& high,
                                    const std::vector<std::vector<std::string>>& layers,
                                    const std::vector<std::string>& legend = {}) {
  std::vector<std::string> lines = {"name: " + name, "moves: " + std::to_string(moves), "highscore: " + high};
  for (const auto& layer : layers) {
    lines.push_back("layer");
    for (const std::string& row : Layer(layer)) lines.push_back(row);
  }
  if (!legend.empty()) lines.push_back("legend");
  for (const std::string& line : legend) lines.push_back(line);
  return lines;
}

level_source Parse(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  source_error error;
  auto parsed = ParseLevelSource(text, "test.level", error);
  EXPECT_TRUE(parsed) << error.text();
  return parsed ? *parsed : level_source{};
}

// Every kind the glyph table knows, on two layers.
level_source EveryKind() {
  return Parse(LevelLines(
      "Every kind", 50, "auto",
      {{"@*#%&:_^v><~=o", "!+'LRUDESWNabc", "defghijk.....*", "A.B..........."}, {"C.*..........."}},
      {"a = mover up on marked floor", "b = mover right on marked floor",
       "c = turner down clockwise on marked floor", "d = turner left anticlockwise",
       "e = turner up anticlockwise on marked floor", "f = gate closed 2 open 7 starts closed",
       "g = gate closed 0 open 3 starts open", "h = switch 5", "i = door 5 closed", "j = door 5 open",
       "k = player on marked floor", "@ = floor", "A = teleporter send 9 receive 8",
       "B = teleporter send 8 receive 7", "C = teleporter send 7 receive 9"}));
}

TEST(LevelImage, WritesTheGlyphTable) {
  const tilemap image = LevelImage(EveryKind());
  ASSERT_EQ(image.tmapw, 15);
  ASSERT_EQ(image.tmaph, 30);
  struct cell {
    int x, y;
    int glyph, fg, bg;
  };
  const cell cells[] = {
      {0, 0, ' ', 0, 0}, {1, 0, '*', 0, 0}, {2, 0, '#', 0, 0},  {3, 0, 15, 0, 0},   {4, 0, 247, 0, 0},
      {5, 0, 176, 0, 0}, {6, 0, '%', 0, 0}, {7, 0, 24, 0, 0},   {8, 0, 25, 0, 0},   {9, 0, 26, 0, 0},
      {10, 0, 27, 0, 0}, {11, 0, 12, 0, 0}, {12, 0, 240, 0, 0}, {13, 0, 9, 0, 0},   {0, 1, 7, 1, 0},
      {1, 1, 8, 1, 0},   {2, 1, 8, 1, 3},   {3, 1, 27, 0, 3},   {4, 1, 26, 0, 3},   {5, 1, 24, 0, 3},
      {6, 1, 25, 0, 3},  {7, 1, 16, 0, 3},  {8, 1, 31, 0, 3},   {9, 1, 17, 0, 3},   {10, 1, 30, 0, 3},
      {11, 1, 24, 0, 4}, {12, 1, 26, 0, 4}, {13, 1, 31, 0, 4},  {0, 2, 17, 0, 0},   {1, 2, 30, 0, 6},
      {2, 2, 233, 2, 7}, {3, 2, 'O', 0, 3}, {4, 2, 7, 5, 0},    {5, 2, 8, 5, 0},    {6, 2, 8, 5, 3},
      {7, 2, 1, 0, 0},   {0, 3, '+', 9, 8}, {2, 3, '+', 8, 7},  {0, 15, '+', 7, 9}, {2, 15, '*', 0, 0},
  };
  for (const cell& c : cells) {
    uint8_t glyph = 0;
    uint8_t fg = 0;
    uint8_t bg = 0;
    image.GrabTile(c.x, c.y, glyph, fg, bg);
    EXPECT_EQ(glyph, c.glyph) << "cell " << c.x << "," << c.y;
    EXPECT_EQ(fg, c.fg) << "cell " << c.x << "," << c.y;
    EXPECT_EQ(bg, c.bg) << "cell " << c.x << "," << c.y;
  }
}

// Source, image, run-length screen file, read back, built by the game's builder: the very level the source
// describes, built directly through the level's own API.
TEST(LevelImage, ScreenFileBuildsTheLevelOfTheSource) {
  const level_source source = EveryKind();
  const level direct = BuildSourceLevel(source);
  EXPECT_EQ(direct.totalstars, 3);
  EXPECT_EQ(direct.depth, 2);
  EXPECT_EQ(direct.playerx, 7);
  EXPECT_EQ(direct.playery, 2);
  ASSERT_NE(direct.playertile(), nullptr);
  EXPECT_EQ(direct.map(7, 2, 0), kind::markedfloor);

  auto out = OpenMemoryWrite();
  WriteRLE(LevelImage(source), *out);
  stream_ptr in = OpenMemory(out->TakeBytes());
  const std::optional<tilemap> image = ReadScreen(*in, 0);
  ASSERT_TRUE(image);
  const std::optional<level> built = BuildLevelFromImage(*image);
  ASSERT_TRUE(built);
  EXPECT_TRUE(*built == direct);
  EXPECT_EQ(built->hash(), direct.hash());
  // Pairing followed the keys: A sends 9 to C, B sends 8 to A, C sends 7 to B.
  EXPECT_EQ(built->obj(0, 3, 0)->x, 0);
  EXPECT_EQ(built->obj(0, 3, 0)->z, 1);
  EXPECT_EQ(built->obj(2, 3, 0)->x, 0);
  EXPECT_EQ(built->obj(2, 3, 0)->y, 3);
  EXPECT_EQ(built->obj(0, 0, 1)->x, 2);
  EXPECT_EQ(built->vec(4, 2, 0).size(), 2u);
}

class SampleWorlds : public ::testing::Test {
 protected:
  void TearDown() override { ResetWorlds(); }
  working_folder folder_;
};

// Every sample level converts, compiles with the world compiler and loads with its stars, moves and the
// solver's best score; its level file builds the level of its source, and the printed solution wins it.
TEST_F(SampleWorlds, ConvertCompileLoadAndReplayTheirSolutions) {
  const conversion result = ConvertWorlds(std::string(DUSK_SOURCE_DIR) + "/worlds");
  ASSERT_TRUE(result.errors.empty()) << result.errors.front();
  ASSERT_GE(result.worlds.size(), 2u);
  ASSERT_TRUE(WriteConversion(result, "levels"));
  MakeFolder("leveldata");
  CompileWorlds("_WORLDINDEX", nullptr);

  for (size_t w = 0; w < result.worlds.size(); ++w) {
    const converted_world& source = result.worlds[w];
    SCOPED_TRACE(source.folder);
    const auto loaded = LoadWorld(static_cast<int>(w));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(gameworlds.worldname[w], source.world.name);
    EXPECT_EQ(gameworlds.numworlds, static_cast<int>(result.worlds.size()));
    EXPECT_EQ(loaded->numlevels, static_cast<int>(source.levels.size()) - 1);
    EXPECT_EQ(loaded->unlock_next_upon_normal_completion, source.world.unlock);
    for (const world_look& look : source.world.looks) {
      EXPECT_EQ(loaded->tilec[look.kind], look.glyph);
      EXPECT_EQ(loaded->tilef[look.kind], look.fg);
      EXPECT_EQ(loaded->tileb[look.kind], look.bg);
    }
    for (size_t l = 0; l < source.levels.size(); ++l) {
      const converted_level& lv = source.levels[l];
      SCOPED_TRACE(lv.source);
      EXPECT_EQ(loaded->levelname[l], lv.parsed.name);
      EXPECT_EQ(loaded->levelmoves[l], lv.parsed.moves);
      EXPECT_EQ(loaded->levelstars[l], lv.parsed.stars);
      ASSERT_EQ(lv.solution.status, solve_status::solved);
      EXPECT_EQ(loaded->levelhighs[l], 9 * lv.parsed.stars - lv.solution.moves);

      const std::optional<level> built = BuildLevel(static_cast<int>(w), static_cast<int>(l));
      ASSERT_TRUE(built);
      EXPECT_TRUE(*built == BuildSourceLevel(lv.parsed));
      const replay_outcome replayed = ReplaySteps(*built, lv.parsed.moves, lv.solution.steps);
      EXPECT_EQ(replayed.state, play_state::won);
      EXPECT_EQ(replayed.moves, lv.solution.moves);
      EXPECT_EQ(replayed.held, 0);
      // A sensible allowance: a few moves above the best solution, and the best one a real puzzle's length.
      EXPECT_LE(lv.solution.moves + 2, lv.parsed.moves);
      EXPECT_GE(lv.solution.moves, 10);
    }
  }
}

// The cuts are sound on every mechanic the worlds use: searching without them finds solutions no
// shorter, and every state kept decodes back to its level. An uncut search grows a hundredfold or more,
// and the hardest campaign levels are far beyond it, so only the levels that the cut search settles
// quickly are searched again, each within a budget; those that outgrow it are left to the others.
TEST_F(SampleWorlds, CutsNeverLoseASolution) {
  const conversion result = ConvertWorlds(std::string(DUSK_SOURCE_DIR) + "/worlds");
  ASSERT_TRUE(result.errors.empty()) << result.errors.front();
  int checked = 0;
  for (const converted_world& world : result.worlds) {
    for (const converted_level& lv : world.levels) {
      SCOPED_TRACE(lv.source);
      if (lv.solution.states > 15'000) continue;
      solver_limits limits;
      limits.cuts = false;
      limits.verify_states = true;
      limits.max_states = 400'000;
      limits.max_seconds = 2;
      const solve_result uncut = Solve(BuildSourceLevel(lv.parsed), lv.parsed.moves, limits);
      if (uncut.status == solve_status::best_found || uncut.status == solve_status::gave_up) continue;
      ++checked;
      ASSERT_EQ(uncut.status, solve_status::solved);
      EXPECT_EQ(uncut.moves, lv.solution.moves);
      EXPECT_EQ(uncut.codec_mismatches, 0u);
    }
  }
  // Every mechanic appears in levels small enough to check.
  EXPECT_GE(checked, 10);
}

class Converter : public ::testing::Test {
 protected:
  void Write(const std::string& level, const std::vector<std::string>& lines) {
    std::filesystem::create_directories("src/w");
    WriteTextFile("src/worlds.txt", {"; one world", "w"});
    WriteTextFile("src/w/world.txt", {"name: W", "unlock: yes", "levels", level + ".level"});
    WriteTextFile("src/w/" + level + ".level", lines);
  }
  std::vector<std::string> Errors() { return ConvertWorlds("src").errors; }

  working_folder folder_;
};

TEST_F(Converter, RefusesALevelThatCantBeWonWithinItsAllowance) {
  Write("short", LevelLines("Short", 2, "auto", {{"#####", "#@..*", "#####"}}));
  EXPECT_EQ(Errors(),
            std::vector<std::string>{"src/w/short.level: no solution within the allowance of 2 moves"});
  // The move that uses up the allowance may take the last star.
  Write("short", LevelLines("Short", 3, "auto", {{"#####", "#@..*", "#####"}}));
  EXPECT_TRUE(Errors().empty());
}

TEST_F(Converter, RefusesAHighScoreAboveTheBest) {
  Write("high", LevelLines("High", 9, "7", {{"#####", "#@..*", "#####"}}));
  EXPECT_EQ(Errors(), std::vector<std::string>{
                          "src/w/high.level: the high score 7 is above the best possible score 6"});
}

TEST_F(Converter, PassesOnSourceMistakesAndWritesNothing) {
  Write("bad", LevelLines("Bad", 9, "auto", {{"#####", "#@.?*", "#####"}}));
  const conversion result = ConvertWorlds("src");
  EXPECT_EQ(result.errors,
            std::vector<std::string>{
                "src/w/bad.level:6:4: unknown character '?': not a default character and not in the legend"});
  WriteTextFile("src/worlds.txt", {"w", "no such world", "missing"});
  EXPECT_EQ(Errors(), (std::vector<std::string>{
                          "src/w/bad.level:6:4: unknown character '?': not a default "
                          "character and not in the legend",
                          "src/worlds.txt:2:1: a world folder name is letters, digits, '-' and '_'",
                          "src/missing/world.txt: can't read the file"}));
}

TEST_F(Converter, WritesTheIndexWorldTextAndLevelFiles) {
  Write("ok", LevelLines("Ok", 9, "auto", {{"#####", "#@..*", "#####"}}));
  const conversion result = ConvertWorlds("src");
  ASSERT_TRUE(result.errors.empty());
  ASSERT_TRUE(WriteConversion(result, "out"));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile("out/_WORLDINDEX.txt", bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            "; Made by convert_levels from the level sources; edit those, not this.\r\n$w.txt\r\n%\r\n");
  ASSERT_TRUE(ReadWholeFile("out/w.txt", bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            "@W\r\n#1:\r\n#255:\r\n@Ok\r\n*9:6:\r\n!w_ok.qtm\r\n% end of world\r\n");
  const std::optional<tilemap> image = Read("out/w_ok.qtm", 0);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->tmaph, 15);
}

// The cache keeps one solution per level; a conversion takes it while the source stays the same, and never
// takes one that doesn't win.
TEST_F(Converter, TakesSolutionsFromTheCacheOnlyWhileTheSourceIsUnchanged) {
  const std::vector<std::string> lines = LevelLines("Ok", 9, "auto", {{"#####", "#@..*", "#####"}});
  Write("ok", lines);
  convert_options options;
  options.cachefolder = "cache";
  options.threads = 2;
  ASSERT_TRUE(ConvertWorlds("src", options).errors.empty());
  std::vector<std::string> cached;
  for (const auto& entry : std::filesystem::directory_iterator("cache"))
    cached.push_back(entry.path().string());
  ASSERT_EQ(cached.size(), 1u);

  // A cached verdict is believed: the level isn't solved again.
  WriteTextFile(cached[0], {"status 1", "steps ", "states 7", "seconds 0", "limit "});
  EXPECT_EQ(ConvertWorlds("src", options).errors,
            std::vector<std::string>{"src/w/ok.level: no solution within the allowance of 9 moves"});
  // Changing the source, if only a comment, makes the level solve again.
  std::vector<std::string> changed = lines;
  changed.insert(changed.begin(), "; a comment");
  Write("ok", changed);
  EXPECT_TRUE(ConvertWorlds("src", options).errors.empty());

  // A cached solution that doesn't win, or a damaged cache file, is solved again and replaced.
  Write("ok", lines);
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"status 0", "steps 2", "states 1", "seconds 0", "limit "},
        std::vector<std::string>{"status 0", "steps 33"}, std::vector<std::string>{"status 9"}}) {
    WriteTextFile(cached[0], bad);
    const conversion result = ConvertWorlds("src", options);
    ASSERT_TRUE(result.errors.empty()) << result.errors.front();
    ASSERT_EQ(result.worlds.size(), 1u);
    EXPECT_EQ(StepDigits(result.worlds[0].levels[0].solution.steps), "333");
    EXPECT_EQ(result.worlds[0].levels[0].highscore, 6);
  }
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(cached[0], bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 19), "status 0\nsteps 333\n");
}

// A search the clock cut short depends on how busy the machine was: it is not kept for the next conversion.
TEST_F(Converter, KeepsNoSearchTheClockCutShort) {
  Write("open", LevelLines("Open", 120, "auto",
                           {{"*.............*", "...............", "......*........", "...............",
                             ".......@.......", "...............", "..*.........*..", "...............",
                             "*.............*"}}));
  convert_options options;
  options.cachefolder = "cache";
  options.max_seconds = 1e-9;
  EXPECT_FALSE(ConvertWorlds("src", options).errors.empty()) << "no solution in a nanosecond";
  EXPECT_TRUE(std::filesystem::is_empty("cache"));
  // Given the time, the same level is solved, and kept.
  options.max_seconds = 20;
  EXPECT_TRUE(ConvertWorlds("src", options).errors.empty());
  EXPECT_FALSE(std::filesystem::is_empty("cache"));
}

}  // namespace
}  // namespace dusk
