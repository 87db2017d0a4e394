// The rules of the main menu, name input, options and credits, one frame at a time through their step
// functions, with no window.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/stream.h"
#include "screens/credits_screen.h"
#include "screens/main_menu.h"
#include "screens/name_input.h"
#include "screens/options_screen.h"
#include "state/progress.h"
#include "state/settings.h"
#include "ui/menu_colors.h"
#include "worlds/worlds_state.h"

namespace dusk {
namespace {

menu_input Up() {
  menu_input in;
  in.up = 1;
  return in;
}
menu_input Down() {
  menu_input in;
  in.down = 1;
  return in;
}
menu_input Left() {
  menu_input in;
  in.left = 1;
  return in;
}
menu_input Right() {
  menu_input in;
  in.right = 1;
  return in;
}
menu_input Confirm() {
  menu_input in;
  in.confirm = 1;
  return in;
}
menu_input Back() {
  menu_input in;
  in.back = 1;
  return in;
}

// ---- Main menu -------------------------------------------------------------------------------------------

TEST(MainMenuStep, CursorWrapsAndEachKeyPlaysItsSound) {
  struct step_case {
    int from;
    menu_input in;
    int to;
    effect_list effects;
  };
  const std::vector<step_case> cases = {
      {0, Up(), 3, {sound_effect::bip}},
      {3, Down(), 0, {sound_effect::bip}},
      {1, Down(), 2, {sound_effect::bip}},
      {2, Left(), 2, {sound_effect::slide}},
      {0, menu_input{}, 0, {}},
  };
  for (const step_case& c : cases) {
    main_menu_state state;
    state.cursor = c.from;
    const main_menu_step step = StepMainMenu(state, c.in);
    EXPECT_EQ(state.cursor, c.to) << "from " << c.from;
    EXPECT_EQ(step.effects, c.effects) << "from " << c.from;
    EXPECT_EQ(step.entry, main_menu_entry::none) << "from " << c.from;
  }
}

TEST(MainMenuStep, RightOrConfirmRunsTheEntryUnderTheCursorAndBackLeaves) {
  const main_menu_entry entries[] = {main_menu_entry::play, main_menu_entry::options,
                                     main_menu_entry::credits, main_menu_entry::quit};
  for (int cursor = 0; cursor < kMainMenuEntries; ++cursor) {
    for (const menu_input& in : {Right(), Confirm()}) {
      main_menu_state state;
      state.cursor = cursor;
      const main_menu_step step = StepMainMenu(state, in);
      EXPECT_EQ(step.entry, entries[cursor]);
      EXPECT_EQ(step.effects, effect_list{sound_effect::slide});
      EXPECT_FALSE(step.leave);
    }
  }
  main_menu_state state;
  const main_menu_step back = StepMainMenu(state, Back());
  EXPECT_TRUE(back.leave);
  EXPECT_EQ(back.entry, main_menu_entry::none);
  EXPECT_TRUE(back.effects.empty());

  menu_input mute;
  mute.mute = 1;
  EXPECT_TRUE(StepMainMenu(state, mute).restart_music);
}

// The worlds that the progress column reads: world w with levels 0 to last and the given high scores.
class ProgressColumn : public ::testing::Test {
 protected:
  void AddWorld(int w, int last, int high = 50) {
    auto record = std::make_unique<world>();
    record->numlevels = last;
    for (int l = 0; l <= last; ++l) record->levelhighs[static_cast<size_t>(l)] = high;
    loaded_.worlds[static_cast<size_t>(w)] = std::move(record);
  }
  // The column as one character per row: '.' empty, else the mark's colour class.
  std::string Column(const main_menu_state& state) const {
    std::string rows;
    for (int y = 0; y < 15; ++y) {
      const tilemap& c = state.progresscolumn;
      if (c.at(0, 0, y) == kNoValue) {
        rows += '.';
        continue;
      }
      EXPECT_EQ(c.at(2, 0, y), 20);
      const char mark = c.at(0, 0, y) == '*' ? 'w' : (c.at(0, 0, y) == 9 ? 'l' : '?');
      const int color = c.at(1, 0, y);
      rows += color == 5 ? static_cast<char>(mark - 32) : (color == 61 ? mark : (color == 53 ? '-' : '?'));
    }
    return rows;
  }

  progress_state values_;
  worlds_state loaded_;
};

TEST_F(ProgressColumn, EmptyBeforeTheSecondWorldOpens) {
  values_.worldunlocked[1] = 1;
  values_.levelunlocked[1][1] = 1;
  AddWorld(1, 5);
  const main_menu_state state = EnterMainMenu(values_, loaded_);
  EXPECT_EQ(Column(state), "...............");
  EXPECT_EQ(state.locked, 0);
}

TEST_F(ProgressColumn, OneMarkPerWorldReachedCentredAndColouredByTheBonusLevel) {
  for (int w = 0; w <= 4; ++w) AddWorld(w, 3);
  values_.worldunlocked[1] = values_.worldunlocked[2] = values_.worldunlocked[3] = 1;
  values_.levelunlocked[1][0] = 1;
  values_.bestscore[2][0] = 50;  // world 2's bonus level at its high score
  // Worlds up to 3 are open, so p = 2: marks for worlds 0 to 2 from row (15 - 2) / 2 = 6.
  EXPECT_EQ(Column(EnterMainMenu(values_, loaded_)), "......-wW......");
}

TEST_F(ProgressColumn, TheLastWorldsLastLevelMakesFifteen) {
  AddWorld(15, 4);
  values_.levelunlocked[15][4] = 1;
  // p = 15: marks for worlds 0 to 14 from row 0 (world 15's would be row 15, below the column).
  EXPECT_EQ(Column(EnterMainMenu(values_, loaded_)), "---------------");
}

TEST_F(ProgressColumn, AMissingLastWorldHasNoLevelsToReach) {
  values_.levelunlocked[15][0] = 1;
  EXPECT_EQ(Column(EnterMainMenu(values_, loaded_)), "...............");
}

TEST_F(ProgressColumn, BonusWorldOpenShowsItsLevels) {
  AddWorld(0, 14);
  UnlockAll(values_, 0);
  values_.bestscore[0][3] = 50;
  values_.levelunlocked[0][0] = 0;
  // p = 14: the marks fill rows 0 to 14.
  EXPECT_EQ(Column(EnterMainMenu(values_, loaded_)), "-llLlllllllllll");
}

TEST_F(ProgressColumn, ABonusWorldShorterThanTheColumnShowsOnlyItsOwnLevels) {
  AddWorld(0, 3);
  UnlockAll(values_, 0);
  EXPECT_EQ(Column(EnterMainMenu(values_, loaded_)), "......llll.....");
}

TEST_F(ProgressColumn, BonusWorldsBonusLevelAtItsHighScoreLocksTheMenu) {
  AddWorld(0, 3);
  UnlockAll(values_, 0);
  values_.bestscore[0][0] = 50;
  const main_menu_state state = EnterMainMenu(values_, loaded_);
  EXPECT_EQ(state.locked, 1);
  EXPECT_EQ(Column(state), "...............");
}

TEST_F(ProgressColumn, AMissingBonusWorldNeitherLocksNorMarks) {
  UnlockAll(values_, 0);
  const main_menu_state state = EnterMainMenu(values_, loaded_);
  EXPECT_EQ(state.locked, 0);
  EXPECT_EQ(Column(state), "...............");
}

TEST(UnlockAll, FromOneLeavesTheBonusWorldAndBonusLevelsShut) {
  progress_state values;
  UnlockAll(values, 1);
  EXPECT_EQ(values.worldunlocked[0], 0);
  for (int w = 1; w < kMaxWorlds; ++w) {
    EXPECT_EQ(values.worldunlocked[static_cast<size_t>(w)], 1);
    EXPECT_EQ(values.levelunlocked[static_cast<size_t>(w)][0], 0);
    EXPECT_EQ(values.levelunlocked[static_cast<size_t>(w)][15], 1);
  }
  EXPECT_EQ(values.levelunlocked[0][5], 0);
  UnlockAll(values, 0);
  EXPECT_EQ(values.worldunlocked[0], 1);
  EXPECT_EQ(values.levelunlocked[0][0], 1);
}

// ---- Name input ------------------------------------------------------------------------------------------

// Types the text one character a frame, then Enter; the result of the last step.
bool TypeName(name_input_state& state, const std::string& typed, progress_state& values) {
  for (const char c : typed) {
    if (StepNameInput(state, static_cast<unsigned char>(c), values)) return true;
  }
  return StepNameInput(state, 13, values);
}

TEST(NameInputStep, EnteringCountsAsChosenAndStartsFromTheOldNameSelected) {
  progress_state values;
  values.playername = "Ada";
  name_input_state state = EnterNameInput(values);
  EXPECT_EQ(values.namechosen, 1);
  EXPECT_EQ(state.edit.text, "Ada");
  EXPECT_TRUE(state.edit.selected);
  // The selected name shows in swapped colours, with no caret.
  EXPECT_FALSE(StepNameInput(state, 0, values));
  EXPECT_EQ(to_string(state.field), "Ada.....\n");
  EXPECT_EQ(state.field.at(1, 0, 0), kListBackground);
  EXPECT_EQ(state.field.at(2, 0, 0), kEntryColor);
}

TEST(NameInputStep, TheUnlockNameOpensNormalWorldsOnlyAndOtherSpellingsNothing) {
  struct name_case {
    std::string typed;
    std::string name;
    int unlocked;
  };
  const std::vector<name_case> cases = {
      {"MOSS FEN", "MOSS FEN", 1},
      {"moss fen", "moss fen", 0},
      {"Moss Fen", "Moss Fen", 0},
      {"MOSS FENN", "MOSS FEN", 1},  // the ninth letter does not fit
      {"\b", "", 0},                 // an empty name is a name
      {"A-B=C", "ABC", 0},           // minus and equals are not taken
  };
  for (const name_case& c : cases) {
    progress_state values;
    name_input_state state = EnterNameInput(values);
    EXPECT_TRUE(TypeName(state, c.typed, values)) << c.typed;
    EXPECT_EQ(values.playername, c.name) << c.typed;
    EXPECT_EQ(values.worldunlocked[3], c.unlocked) << c.typed;
    EXPECT_EQ(values.levelunlocked[3][7], c.unlocked) << c.typed;
    EXPECT_EQ(values.worldunlocked[0], 0) << c.typed;
    EXPECT_EQ(values.levelunlocked[3][0], 0) << c.typed;
  }
}

TEST(NameInputStep, TheNameFieldEditsAsTextFieldsDo) {
  // Each frame one key: a typed character, or an editing key in braces. The old name is "Wayfarer", all
  // eight places taken, selected on entry.
  const struct {
    const char* what;
    std::vector<std::string> keys;
    const char* name;  // the name taken by Enter after the keys
  } cases[] = {
      {"Enter on the unchanged name keeps it", {}, "Wayfarer"},
      {"the first character typed replaces the name", {"J", "o"}, "Jo"},
      {"Backspace clears the selection", {"\b", "K"}, "K"},
      {"Delete clears the selection", {"{del}", "K"}, "K"},
      {"Right goes to the end: Backspace takes the last character", {"{right}", "\b", "\b", "s"}, "Wayfars"},
      {"Left goes to the start: typing goes in there", {"{left}", "{del}", "G"}, "Gayfarer"},
      {"a full field takes no more", {"{end}", "x"}, "Wayfarer"},
      {"typing at the caret", {"{home}", "{del}", "{right}", "{right}", "\b", "-", "x"}, "axfarer"},
      {"Home and End, then Backspace before the caret",
       {"{end}", "{home}", "\b", "{right}", "\b"},
       "ayfarer"},
      {"Left at the start and Right at the end stay",
       {"{left}", "{left}", "{end}", "{right}", "!"},
       "Wayfarer"},
      {"eight characters at most", {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"}, "ABCDEFGH"},
  };
  const std::map<std::string, field_key> keys = {{"{left}", field_key::left},
                                                 {"{right}", field_key::right},
                                                 {"{home}", field_key::home},
                                                 {"{end}", field_key::end},
                                                 {"{del}", field_key::del}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    progress_state values;
    values.playername = "Wayfarer";
    name_input_state state = EnterNameInput(values);
    for (const std::string& k : c.keys) {
      const auto key = keys.find(k);
      if (key != keys.end()) {
        EXPECT_FALSE(StepNameInput(state, 0, values, key->second));
      } else {
        EXPECT_FALSE(StepNameInput(state, static_cast<unsigned char>(k[0]), values));
      }
    }
    EXPECT_EQ(values.playername, "Wayfarer") << "nothing is taken before Enter";
    EXPECT_TRUE(StepNameInput(state, 13, values));
    EXPECT_EQ(values.playername, c.name);
  }
}

TEST(NameInputStep, TheCaretBlinksAtItsPlace) {
  progress_state values;
  values.playername = "Ada";
  name_input_state state = EnterNameInput(values);
  // Left ends the selection at the start; on the 24th frame from it the caret shows on the "A" in swapped
  // colours.
  StepNameInput(state, 0, values, field_key::left);
  for (int i = 0; i < 22; ++i) StepNameInput(state, 0, values);
  EXPECT_EQ(state.field.at(1, 0, 0), kEntryColor);
  StepNameInput(state, 0, values);
  EXPECT_EQ(to_string(state.field), "Ada.....\n");
  EXPECT_EQ(state.field.at(1, 0, 0), kListBackground);
  EXPECT_EQ(state.field.at(2, 0, 0), kEntryColor);
  EXPECT_EQ(state.field.at(1, 1, 0), kEntryColor);
  // At the end of the text it is the underline after it.
  StepNameInput(state, 0, values, field_key::end);
  for (int i = 0; i < 23; ++i) StepNameInput(state, 0, values);
  EXPECT_EQ(to_string(state.field), "Ada_....\n");
}

// ---- Options ---------------------------------------------------------------------------------------------

TEST(OptionsStep, CursorWrapsAndTheListScrolls) {
  settings_state options;
  options_state state = EnterOptions(options);
  StepOptions(state, Up(), options);
  EXPECT_EQ(state.cursor, kOptionReturn);
  EXPECT_EQ(state.top, 3);  // "Return" shows entries 3 to 8
  StepOptions(state, Down(), options);
  EXPECT_EQ(state.cursor, kOptionMusic);
  EXPECT_EQ(state.top, 0);
  for (int i = 0; i < 5; ++i) StepOptions(state, Down(), options);
  EXPECT_EQ(state.cursor, 5);
  EXPECT_EQ(state.top, 2);
}

TEST(OptionsStep, EachValueMovesByItsStepWithinItsRange) {
  struct range_case {
    int row;
    int settings_state::*value;
    int start;
    menu_input in;
    int presses;
    int expected;
  };
  const std::vector<range_case> cases = {
      {kOptionBrightness, &settings_state::brightness, 126, Right(), 1, 126},
      {kOptionBrightness, &settings_state::brightness, 0, Left(), 7, -126},
      {kOptionBrightness, &settings_state::brightness, 0, Left(), 8, -126},
      {kOptionBrightness, &settings_state::brightness, 0, Right(), 2, 36},
      {kOptionContrast, &settings_state::contrast, -126, Right(), 14, 126},
      {kOptionContrast, &settings_state::contrast, 0, Confirm(), 1, 0},
      {kOptionTeleportEffect, &settings_state::teleporteffect, 3, Right(), 9, 7},
      {kOptionTeleportEffect, &settings_state::teleporteffect, 3, Left(), 9, 0},
      {kOptionTeleportEffect, &settings_state::teleporteffect, 3, Confirm(), 1, 3},
      {kOptionWindowScale, &settings_state::windowscale, 2, Right(), 10, 8},
      {kOptionWindowScale, &settings_state::windowscale, 2, Left(), 3, 1},
      {kOptionLevelSkipping, &settings_state::levelskipping, 1, Left(), 1, 0},
      {kOptionLevelSkipping, &settings_state::levelskipping, 1, Confirm(), 2, 1},
  };
  for (const range_case& c : cases) {
    settings_state options;
    options.*c.value = c.start;
    options_state state = EnterOptions(options);
    state.cursor = c.row;
    for (int i = 0; i < c.presses; ++i) {
      const options_step step = StepOptions(state, c.in, options);
      EXPECT_EQ(step.effects, effect_list{sound_effect::slide});
      EXPECT_TRUE(step.acted);
      EXPECT_EQ(step.preview_teleport, c.row == kOptionTeleportEffect);
    }
    EXPECT_EQ(options.*c.value, c.expected) << "row " << c.row << " from " << c.start;
  }
}

TEST(OptionsStep, MusicAndSoundFlipAndAreRememberedForTheMuteKey) {
  settings_state options;
  options_state state = EnterOptions(options);
  options_step step = StepOptions(state, Confirm(), options);
  EXPECT_EQ(options.musicon, 0);
  EXPECT_EQ(options.musicsaved, 0);
  EXPECT_TRUE(step.restart_music);
  step = StepOptions(state, Left(), options);
  EXPECT_EQ(options.musicon, 1);
  EXPECT_EQ(options.musicsaved, 1);

  state.cursor = kOptionSound;
  step = StepOptions(state, Right(), options);
  EXPECT_EQ(options.soundon, 0);
  EXPECT_EQ(options.soundsaved, 0);
  EXPECT_FALSE(step.restart_music);
}

TEST(OptionsStep, UseDefaultOnlyOnConfirm) {
  settings_state changed;
  changed.musicon = 0;
  changed.soundon = 0;
  changed.levelskipping = 1;
  changed.teleporteffect = 7;
  changed.brightness = 54;
  changed.contrast = -18;
  changed.windowscale = 5;
  changed.musicsaved = 1;
  changed.soundsaved = 1;
  for (const menu_input& in : {Left(), Right()}) {
    settings_state options = changed;
    options_state state = EnterOptions(options);
    state.cursor = kOptionUseDefault;
    const options_step step = StepOptions(state, in, options);
    EXPECT_EQ(options.windowscale, 5);
    EXPECT_EQ(options.musicon, 0);
    EXPECT_EQ(step.effects, effect_list{sound_effect::slide});
    EXPECT_FALSE(step.restart_music);
  }
  settings_state options = changed;
  options_state state = EnterOptions(options);
  state.cursor = kOptionUseDefault;
  const options_step step = StepOptions(state, Confirm(), options);
  EXPECT_EQ(options.musicon, 1);
  EXPECT_EQ(options.soundon, 1);
  EXPECT_EQ(options.levelskipping, 0);
  EXPECT_EQ(options.teleporteffect, 3);
  EXPECT_EQ(options.brightness, 0);
  EXPECT_EQ(options.contrast, 0);
  EXPECT_EQ(options.windowscale, 2);
  EXPECT_EQ(options.musicsaved, 1);
  EXPECT_EQ(options.soundsaved, 1);
  EXPECT_TRUE(step.restart_music);
  EXPECT_EQ(step.effects, (effect_list{sound_effect::sweep, sound_effect::slide}));
}

TEST(OptionsStep, ReturnAndBackLeave) {
  settings_state options;
  options_state state = EnterOptions(options);
  state.cursor = kOptionReturn;
  options_step step = StepOptions(state, Confirm(), options);
  EXPECT_EQ(step.exit, options_exit::with_return);
  EXPECT_EQ(step.effects, effect_list{sound_effect::slide});
  EXPECT_FALSE(step.acted);

  state.cursor = kOptionBrightness;
  step = StepOptions(state, Back(), options);
  EXPECT_EQ(step.exit, options_exit::with_back);
  EXPECT_TRUE(step.effects.empty());
}

TEST(OptionsStep, ValueColumnShowsFlagsDigitsAndOneHexDigitForTheColours) {
  struct value_case {
    int brightness;
    char shown;
  };
  for (const value_case& c :
       std::vector<value_case>{{0, '8'}, {-126, '0'}, {126, 'F'}, {-18, '6'}, {18, '9'}}) {
    settings_state options;
    options.brightness = c.brightness;
    options.contrast = c.brightness;
    options.musicon = 0;
    options.teleporteffect = 5;
    options.windowscale = 4;
    options_state state = EnterOptions(options);
    state.cursor = 2;
    const tilemap values = OptionValues(state, options);
    ASSERT_EQ(values.tmapw, 2);
    ASSERT_EQ(values.tmaph, 18);
    EXPECT_EQ(values.at(0, 1, 0), 'N');
    EXPECT_EQ(values.at(0, 1, 2), 'Y');
    EXPECT_EQ(values.at(0, 1, 6), '5');
    EXPECT_EQ(values.at(0, 1, 8), c.shown) << c.brightness;
    EXPECT_EQ(values.at(0, 1, 10), c.shown) << c.brightness;
    EXPECT_EQ(values.at(0, 1, 12), '4');
    EXPECT_EQ(values.at(1, 1, 12), 47);
    EXPECT_EQ(values.at(0, 0, 4), 26);
    EXPECT_EQ(values.at(1, 0, 4), 30);
    EXPECT_EQ(values.at(0, 0, 0), kNoValue);
  }
}

// ---- Credits ---------------------------------------------------------------------------------------------

std::vector<cred> ReadCreditsText(const std::string& text, int& rows) {
  stream_ptr in = OpenMemory(std::vector<uint8_t>(text.begin(), text.end()));
  std::vector<cred> credits;
  rows = 0;
  ReadCredits(*in, credits, rows);
  return credits;
}

TEST(Credits, HeadingsNamesTabsAndEmptyLines) {
  int rows = 0;
  const std::vector<cred> credits =
      ReadCreditsText("+Design\r\n\tJo\tAnn \r\n\r\n+\r\n   \r\n+Music\r\nSam\r\nLee", rows);
  ASSERT_EQ(credits.size(), 3u);
  EXPECT_EQ(credits[0].name, "Design");
  EXPECT_EQ(credits[0].subs, std::vector<std::string>{"Jo Ann"});
  EXPECT_EQ(credits[1].name, "");
  EXPECT_TRUE(credits[1].subs.empty());
  EXPECT_EQ(credits[2].subs, (std::vector<std::string>{"Sam", "Lee"}));
  EXPECT_EQ(rows, 9);
}

TEST(Credits, ANameBeforeAnyHeadingGetsAHeadingWithoutText) {
  int rows = 0;
  const std::vector<cred> credits = ReadCreditsText("Stray\r\n+Art\r\nKim\r\n", rows);
  ASSERT_EQ(credits.size(), 2u);
  EXPECT_EQ(credits[0].name, "");
  EXPECT_EQ(credits[0].subs, std::vector<std::string>{"Stray"});
  EXPECT_EQ(rows, 6);
  // Every line has its row in the list.
  const credits_state state = EnterCredits(credits, rows);
  EXPECT_EQ(to_string(state.list),
            "....................\n"
            "....................\n"
            "..Stray.............\n"
            "....................\n"
            ".Art................\n"
            "..Kim...............\n");
}

TEST(Credits, TheListHasAGapAboveEachHeadingAndNamesIndentedBelow) {
  int rows = 0;
  const std::vector<cred> credits = ReadCreditsText("+Art\r\nKim\r\n+Music\r\nSam\r\n", rows);
  const credits_state state = EnterCredits(credits, rows);
  EXPECT_EQ(to_string(state.list),
            "....................\n"
            ".Art................\n"
            "..Kim...............\n"
            "....................\n"
            ".Music..............\n"
            "..Sam...............\n");
  EXPECT_EQ(state.list.at(1, 1, 1), 47);
  EXPECT_EQ(state.list.at(1, 2, 2), 46);
  EXPECT_EQ(state.list.at(2, 2, 2), 20);
}

TEST(CreditsStep, ScrollStopsAtBothEnds) {
  struct scroll_case {
    int rows;
    int downs;
    int expected;
  };
  // The built-in credits need 13 rows: one row of scrolling.
  for (const scroll_case& c :
       std::vector<scroll_case>{{13, 1, 1}, {13, 5, 1}, {20, 5, 5}, {20, 30, 8}, {6, 3, -6}}) {
    credits_state state;
    state.list = tilemap::Create(20, c.rows);
    for (int i = 0; i < c.downs; ++i) {
      const credits_step step = StepCredits(state, Down());
      EXPECT_EQ(step.effects, effect_list{sound_effect::slide});
    }
    EXPECT_EQ(state.scroll, c.expected) << c.rows << " rows";
    StepCredits(state, Up());
    for (int i = 0; i < c.downs + 2; ++i) StepCredits(state, Up());
    EXPECT_LE(state.scroll, 0) << c.rows << " rows";
  }
}

TEST(CreditsStep, BackOrLeftLeavesAndConfirmDoesNothing) {
  credits_state state;
  state.list = tilemap::Create(20, 13);
  EXPECT_TRUE(StepCredits(state, Back()).leave);
  EXPECT_TRUE(StepCredits(state, Left()).leave);
  EXPECT_FALSE(StepCredits(state, Right()).leave);
  const credits_step confirm = StepCredits(state, Confirm());
  EXPECT_FALSE(confirm.leave);
  EXPECT_TRUE(confirm.effects.empty());
}

}  // namespace
}  // namespace dusk
