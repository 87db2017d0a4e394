// The world and level select lists: rows, labels and marks, cursor wrap-around, choice and back, and the
// scrolling that keeps the cursor on the sixth shown row.
#include "ui/select_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "screens/level_select.h"
#include "screens/world_select.h"
#include "state/progress.h"
#include "worlds/worlds_state.h"

namespace dusk {
namespace {

select_screen ListOf(int entries) {
  select_screen screen = NewSelectScreen(entries);
  for (int i = 0; i < entries; ++i)
    AddSelectEntry(screen, 100 + i, "Entry " + std::to_string(i), kEntryText, entry_mark::none);
  return screen;
}

select_input Key(char key) {
  select_input input;
  if (key == 'U') input.up = 1;
  if (key == 'D') input.down = 1;
  if (key == 'L') input.left = 1;
  if (key == 'R') input.right = 1;
  if (key == 'C') input.confirm = 1;
  if (key == 'B') input.back = 1;
  if (key == 'M') input.mute = 1;
  return input;
}

// The text of a row of a grid, trailing empty cells dropped.
std::string Row(const tilemap& grid, int y) {
  std::string text = to_string(grid).substr(static_cast<size_t>(y) * (grid.tmapw + 1), grid.tmapw);
  while (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

TEST(SelectStep, CursorWrapsAtBothEnds) {
  struct move_case {
    int entries;
    int start;
    std::string keys;
    int cursor;
  };
  const move_case cases[] = {
      {5, 0, "U", 4}, {5, 4, "D", 0}, {5, 2, "DD", 4},  {5, 2, "DDD", 0}, {5, 0, "UU", 3},
      {1, 0, "U", 0}, {1, 0, "D", 0}, {16, 15, "D", 0}, {16, 0, "U", 15}, {5, 3, "UD", 3},
      {5, 9, "", 0},  {5, -1, "", 4}, {0, 0, "UD", 0},
  };
  for (const move_case& c : cases) {
    SCOPED_TRACE(std::to_string(c.entries) + " entries from " + std::to_string(c.start) + " keys " + c.keys);
    select_screen screen = ListOf(c.entries);
    PlaceSelectCursor(screen, c.start);
    for (char k : c.keys) EXPECT_EQ(StepSelect(screen, Key(k)).event, select_event::none);
    EXPECT_EQ(screen.cursor, c.cursor);
  }
}

TEST(SelectStep, ChoiceBackAndSounds) {
  struct key_case {
    char key;
    select_event event;
    int number;
    bool bip, slide, mute;
  };
  const key_case cases[] = {
      {'C', select_event::chosen, 102, false, true, false},
      {'R', select_event::chosen, 102, false, true, false},
      {'B', select_event::back, -1, false, false, false},
      {'L', select_event::back, -1, false, true, false},
      {'U', select_event::none, -1, true, false, false},
      {'D', select_event::none, -1, true, false, false},
      {'M', select_event::none, -1, false, false, true},
  };
  for (const key_case& c : cases) {
    SCOPED_TRACE(std::string(1, c.key));
    select_screen screen = ListOf(4);
    PlaceSelectCursor(screen, 2);
    const select_step step = StepSelect(screen, Key(c.key));
    EXPECT_EQ(step.event, c.event);
    if (c.event == select_event::chosen) {
      EXPECT_EQ(step.number, c.number);
    }
    EXPECT_EQ(step.bip, c.bip);
    EXPECT_EQ(step.slide, c.slide);
    EXPECT_EQ(step.mute, c.mute);
  }
}

TEST(SelectStep, ChoiceTakesTheMovedCursorsRow) {
  select_screen screen = ListOf(4);
  select_input input = Key('D');
  input.confirm = 1;
  const select_step step = StepSelect(screen, input);
  EXPECT_EQ(step.event, select_event::chosen);
  EXPECT_EQ(step.number, 101);
}

TEST(SelectStep, AnEmptyListLeavesOnChoiceAsOnBack) {
  for (char key : std::string("CRBL")) {
    select_screen screen = ListOf(0);
    EXPECT_EQ(StepSelect(screen, Key(key)).event, select_event::back) << key;
  }
}

// The first shown row as the cursor walks down the whole list.
std::vector<int> TopsWalkingDown(int entries) {
  select_screen screen = ListOf(entries);
  std::vector<int> tops = {screen.top};
  for (int i = 1; i < entries; ++i) {
    StepSelect(screen, Key('D'));
    tops.push_back(screen.top);
  }
  return tops;
}

TEST(SelectScroll, FifteenEntriesKeepTheCursorOnTheSixthRowUntilTheEndShows) {
  EXPECT_EQ(TopsWalkingDown(15), (std::vector<int>{0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 4, 4, 4, 4, 4}));
  EXPECT_EQ(TopsWalkingDown(11), std::vector<int>(11, 0));
  EXPECT_EQ(TopsWalkingDown(3), std::vector<int>(3, 0));
}

TEST(SelectScroll, SixteenEntriesShowTheSixteenth) {
  EXPECT_EQ(TopsWalkingDown(16), (std::vector<int>{0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 5, 5, 5, 5, 5}));
  select_screen screen = ListOf(16);
  PlaceSelectCursor(screen, 15);
  const tilemap cells = DrawSelect(screen, nullptr);
  EXPECT_EQ(Row(cells, 12), "..Entry 15");
  EXPECT_EQ(cells.at(0, 1, 12), kCursorGlyph);
  EXPECT_EQ(Row(cells, 2), "..Entry 5");
  // Wrapping from the last row back to the first scrolls back to the top.
  StepSelect(screen, Key('D'));
  EXPECT_EQ(screen.top, 0);
}

TEST(SelectDraw, TitleAndANoticeThatCountsDownOnTheBar) {
  tilemap background = tilemap::Create(kSelectWidth, kSelectHeight);
  background.Fill('#', 1, 2, 1);
  select_screen screen = ListOf(3);
  screen.footer = "V: Watch replay";
  EXPECT_EQ(Row(DrawSelect(screen, &background), 0), std::string(20, '#'));
  EXPECT_EQ(Row(DrawSelect(screen, &background), 14), "#V: Watch replay####");

  screen.title = "World select";
  screen.notice = "No replay yet";
  screen.notice_frames = 2;
  tilemap cells = DrawSelect(screen, &background);
  EXPECT_EQ(Row(cells, 0), "    World select    ");
  EXPECT_EQ(cells.at(2, 0, 0), 36);
  EXPECT_EQ(Row(cells, 14), "#No replay yet######");
  StepSelect(screen, Key('.'));
  EXPECT_EQ(Row(DrawSelect(screen, &background), 14), "#No replay yet######");
  StepSelect(screen, Key('.'));
  EXPECT_EQ(Row(DrawSelect(screen, &background), 14), "#V: Watch replay####");
  EXPECT_EQ(screen.notice_frames, 0);
  StepSelect(screen, Key('.'));
  EXPECT_EQ(screen.notice_frames, 0);
}

TEST(SelectDraw, ListRowsOverTheBackgroundWithTheCursor) {
  tilemap background = tilemap::Create(kSelectWidth, kSelectHeight);
  background.Fill('#', 1, 2, 1);
  select_screen screen = NewSelectScreen(2);
  AddSelectEntry(screen, 0, "World 0: Bonus", kBonusEntryText, entry_mark::perfect);
  AddSelectEntry(screen, 1, "World 1: Dusk", kEntryText, entry_mark::none);
  PlaceSelectCursor(screen, 1);
  const tilemap cells = DrawSelect(screen, &background);
  EXPECT_EQ(Row(cells, 1), std::string(20, '#'));
  EXPECT_EQ(Row(cells, 2), "*#World 0: Bonus####");
  EXPECT_EQ(Row(cells, 3), "#.World 1: Dusk#####");
  EXPECT_EQ(Row(cells, 4), std::string(20, '#'));
  struct cell_case {
    int x, y, glyph, fg, bg;
  };
  const cell_case cells_expected[] = {
      {0, 2, '*', kPerfectColor, kListBackground},
      {2, 2, 'W', kBonusEntryText, kListBackground},
      {1, 3, kCursorGlyph, kCursorColor, kListBackground},
      {2, 3, 'W', kEntryText, kListBackground},
      {1, 2, '#', 1, 2},
      {0, 3, '#', 1, 2},
  };
  for (const cell_case& c : cells_expected) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    EXPECT_EQ(cells.at(0, c.x, c.y), c.glyph);
    EXPECT_EQ(cells.at(1, c.x, c.y), c.fg);
    EXPECT_EQ(cells.at(2, c.x, c.y), c.bg);
  }
}

class SelectLists : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWorlds();
    ResetProgress();
  }
  void TearDown() override {
    ResetWorlds();
    ResetProgress();
  }
  static world& AddWorld(int n, const std::string& name, int numlevels) {
    gameworlds.worlds[n] = std::make_unique<world>();
    gameworlds.worldname[n] = name;
    world& record = *gameworlds.worlds[n];
    record.numlevels = numlevels;
    for (int k = 0; k <= numlevels; ++k) {
      record.levelname[k] = "Level " + std::to_string(k);
      record.levelhighs[k] = 10 + k;
      record.levelstars[k] = 3;
    }
    return record;
  }
  static std::vector<std::string> Rows(const select_screen& screen) {
    std::vector<std::string> rows;
    for (size_t r = 0; r < screen.numbers.size(); ++r) rows.push_back(Row(screen.list, static_cast<int>(r)));
    return rows;
  }
};

TEST_F(SelectLists, WorldsShowTheirHexDigitNameAndPerfectMark) {
  for (int n : {0, 1, 2, 10}) AddWorld(n, "Name " + std::to_string(n), 2);
  gameworlds.numworlds = 11;
  for (int n : {0, 1, 2, 3, 10}) progress.worldunlocked[n] = 1;
  // World 2 reached every high score, its bonus level included; world 1 misses its bonus level's.
  for (int k = 0; k <= 2; ++k) progress.bestscore[2][k] = 10 + k;
  for (int k = 1; k <= 2; ++k) progress.bestscore[1][k] = 50;
  // World 3 is unlocked but its record failed to load; worlds 4 to 9 are locked.
  const select_screen screen = BuildWorldList();
  EXPECT_EQ(Rows(screen), (std::vector<std::string>{"..World 0: Name 0", "..World 1: Name 1",
                                                    "*.World 2: Name 2", "..World A: Name 10"}));
  EXPECT_EQ(screen.numbers, (std::vector<int>{0, 1, 2, 10}));
  EXPECT_EQ(screen.list.at(1, 2, 0), kBonusEntryText);
  EXPECT_EQ(screen.list.at(1, 2, 1), kEntryText);
  EXPECT_EQ(screen.list.at(1, 0, 2), kPerfectColor);
  EXPECT_EQ(RowOfNumber(screen, 10), 3);
  EXPECT_EQ(RowOfNumber(screen, 5), 5);
}

TEST_F(SelectLists, NoWorldsGiveAnEmptyList) {
  AddWorld(1, "Lonely", 2);
  progress.worldunlocked[1] = 1;
  gameworlds.numworlds = 0;
  EXPECT_TRUE(BuildWorldList().numbers.empty());
}

TEST_F(SelectLists, LevelsShowWorldDashLevelAndTheirMark) {
  AddWorld(10, "Tens", 12);
  progress.worldunlocked[10] = 1;
  for (int k : {0, 2, 11, 12}) progress.levelunlocked[10][k] = 1;
  progress.bestscore[10][11] = 21;  // exactly the high score: the star
  progress.bestscore[10][2] = 11;   // one short: won, the dot
  const select_screen screen = BuildLevelList(10);
  // Level 1 is always available once the list is shown.
  EXPECT_EQ(progress.levelunlocked[10][1], 1);
  EXPECT_EQ(Rows(screen), (std::vector<std::string>{"..A-0: Level 0", "..A-1: Level 1", "..A-2: Level 2",
                                                    "*.A-B: Level 11", "..A-C: Level 12"}));
  EXPECT_EQ(screen.list.at(1, 2, 0), kBonusEntryText);
  EXPECT_EQ(screen.list.at(1, 2, 1), kEntryText);
  const struct {
    int row, glyph, fg;
  } marks[] = {{0, kNoValue, kNoValue}, {2, kWonGlyph, kWonColor}, {3, kPerfectGlyph, kPerfectColor}};
  for (const auto& m : marks) {
    SCOPED_TRACE(m.row);
    EXPECT_EQ(screen.list.at(0, 0, m.row), m.glyph);
    EXPECT_EQ(screen.list.at(1, 0, m.row), m.fg);
  }
}

TEST_F(SelectLists, LevelSelectOfAMissingOrLockedWorldLeavesAtOnce) {
  AddWorld(2, "Locked", 3);
  EXPECT_EQ(LevelSelect(2, 1), -1);
  EXPECT_EQ(LevelSelect(3, 1), -1);
  EXPECT_EQ(LevelSelect(-1, 1), -1);
  EXPECT_EQ(LevelSelect(16, 1), -1);
  EXPECT_EQ(progress.levelunlocked[2][1], 0);
}

}  // namespace
}  // namespace dusk
