// The menu screens as a player meets them: their own frame loops driven through the frame hook in a game
// folder of their own, closing the window on each, and reference pictures in the game's glyphs and colours.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/start_game.h"
#include "display/display_config.h"
#include "display/display_state.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/input_injection.h"
#include "platform/program.h"
#include "platform/window.h"
#include "screens/credits_screen.h"
#include "screens/main_menu.h"
#include "screens/name_input.h"
#include "screens/options_screen.h"
#include "state/progress.h"
#include "state/settings.h"
#include "tests/display/support/display_fixture.h"
#include "tests/platform/support/temp_folder.h"
#include "tests/worlds/support/working_folder.h"
#include "ui/audio_state.h"
#include "ui/front_state.h"
#include "worlds/worlds_state.h"

namespace dusk {
namespace {

const std::string kReferences = std::string(DUSK_SOURCE_DIR) + "/tests/screens/reference/";

struct program_ended {};
void ThrowProgramEnded() {
  throw program_ended{};
}

using frame_action = std::function<void()>;

class MenuScreens : public ::testing::Test {
 protected:
  void SetUp() override {
    UseVirtualClock();
    std::filesystem::copy(std::string(DUSK_SOURCE_DIR) + "/game/graphics", "graphics",
                          std::filesystem::copy_options::recursive);
    PrepareGame();
    OpenDisplay(kDisplayConfigFile, 1, kUseDefaultTitle);
    ASSERT_TRUE(WindowIsOpen());
    LoadGameData();
    SetEndProgramHandlerForTesting(ThrowProgramEnded);
  }
  void TearDown() override {
    inject::SetFrameHook({});
    SetEndProgramHandlerForTesting(nullptr);
    // A close request the last screen left unread must not end the next test's screen.
    CloseRequested();
    CloseWindow();
    // Audio threads left running would make the fork of a later death test unsafe.
    ResetAudioState();
    CloseAudio();
    ResetDisplay();
    ResetFrontState();
    ResetProgress();
    ResetSettings();
    ResetWorlds();
    ClearInput();
    UseRealClock();
  }

  // Runs actions[i] after frame i + 1 has been presented; after the last one the window is asked to close,
  // so a screen that does not leave by itself ends the test instead of hanging it.
  void Script(std::vector<frame_action> actions) {
    inject::SetFrameHook([actions = std::move(actions), this](int frame) {
      frames_ = frame;
      const auto i = static_cast<size_t>(frame - 1);
      if (i < actions.size()) {
        if (actions[i]) actions[i]();
      } else {
        inject::RequestClose();
      }
    });
  }
  // A key held for one frame and let go on the next.
  static std::vector<frame_action> Tap(int key, int times = 1) {
    std::vector<frame_action> actions;
    for (int i = 0; i < times; ++i) {
      actions.emplace_back([key] { inject::KeyDown(key); });
      actions.emplace_back([key] { inject::KeyUp(key); });
    }
    return actions;
  }
  static std::vector<frame_action> Then(std::vector<frame_action> a, const std::vector<frame_action>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  }

  testing::working_folder folder_;
  int frames_ = 0;
};

TEST_F(MenuScreens, BackInTheMainMenuWritesTheSaveFileAndReturns) {
  progress.playername = "Back";
  Script(Tap(key::kEscape));
  EXPECT_EQ(MainMenu(), 0);
  EXPECT_TRUE(testing::TestFileExists("save.dat"));
}

TEST_F(MenuScreens, ClosingTheWindowInTheMainMenuWritesTheSaveFile) {
  Script({});
  EXPECT_EQ(MainMenu(), 0);
  EXPECT_EQ(frames_, 1);
  EXPECT_TRUE(testing::TestFileExists("save.dat"));
}

TEST_F(MenuScreens, QuitReturnsAfterThreeUps) {
  Script(Tap(key::kUp, 1));
  // Up from "Play" lands on "Quit"; confirm then leaves.
  Script(Then(Tap(key::kUp), {[] { inject::KeyPress(key::kEnter); }}));
  EXPECT_EQ(MainMenu(), 0);
  EXPECT_LT(frames_, 5);
}

// Each screen the main menu leads to ends the program at once when the window is asked to close, without
// writing the save file.
TEST_F(MenuScreens, ClosingTheWindowElsewhereEndsTheProgramWithoutSaving) {
  const std::vector<std::pair<const char*, std::function<void()>>> screens = {
      {"name input", [] { NameInput(); }},
      {"options", [] { OptionsScreen(); }},
      {"credits", [] { CreditsScreen(); }},
  };
  for (const auto& [name, run] : screens) {
    Script({[] { inject::KeyDown(key::kDown); }});
    EXPECT_THROW(run(), program_ended) << name;
    EXPECT_FALSE(testing::TestFileExists("save.dat")) << name;
    ClearInput();
  }
}

TEST_F(MenuScreens, PlayRunsNameInputFirstOnlyOnce) {
  // Play with no name chosen: name input comes up; a typed name and Enter take it, then the world loop runs
  // and comes back; back leaves the menu.
  Script({[] { inject::KeyPress(key::kEnter); },
          [] { inject::Text("Ivo"); },
          {},
          {},
          {},
          [] { inject::KeyPress(key::kEnter); },
          {},
          [] { inject::KeyPress(key::kEscape); }});
  progress.playername.clear();
  EXPECT_EQ(MainMenu(), 0);
  EXPECT_EQ(progress.playername, "Ivo");
  EXPECT_EQ(progress.namechosen, 1);
}

TEST_F(MenuScreens, EscInNameInputKeepsTheOldNameButCountsAsChosen) {
  progress.playername = "Old";
  Script({[] { inject::Text("er"); }, [] { inject::KeyPress(key::kEscape); }});
  NameInput();
  EXPECT_EQ(progress.playername, "Old");
  EXPECT_EQ(progress.namechosen, 1);
  EXPECT_FALSE(testing::TestFileExists("save.dat"));
}

TEST_F(MenuScreens, TheUnlockNameIsSaved) {
  progress = progress_state{};
  progress.playername.clear();
  Script({[] { inject::Text("MOSS FEN"); }, [] {}, [] {}, [] {}, [] {}, [] {}, [] {}, [] {},
          [] { inject::KeyPress(key::kEnter); }});
  NameInput();
  EXPECT_EQ(progress.playername, "MOSS FEN");
  EXPECT_EQ(progress.worldunlocked[9], 1);
  EXPECT_EQ(progress.levelunlocked[9][0], 0);
  EXPECT_TRUE(testing::TestFileExists("save.dat"));
}

// The configuration file changed while the options are open: only a reopened window reads it again.
void WidenConfiguration() {
  std::string text =
      "width 21\r\nheight 15\r\ntileset graphics\\glyphs.png\r\npallet graphics\\palette.png\r\n";
  testing::WriteTestFile("graphics/graphics.txt", std::vector<uint8_t>(text.begin(), text.end()));
}

TEST_F(MenuScreens, ANewWindowScaleReopensTheWindowOnLeaving) {
  settings.windowscale = 1;
  Script(Then(Then(Tap(key::kDown, 6), Tap(key::kRight)),
              {WidenConfiguration, [] { inject::KeyPress(key::kEscape); }}));
  OptionsScreen();
  EXPECT_EQ(settings.windowscale, 2);
  EXPECT_EQ(display.displaywidth, 21);
  EXPECT_EQ(display.windowwidth, 21 * display.glyphwidth * 2);
  EXPECT_TRUE(WindowIsOpen());
  EXPECT_TRUE(testing::TestFileExists("save.dat"));
}

TEST_F(MenuScreens, TheSameWindowScaleOnLeavingKeepsTheWindow) {
  settings.windowscale = 1;
  // Up to "Return" through the wrap after changing the scale there and back.
  std::vector<frame_action> actions = Then(Then(Tap(key::kDown, 6), Tap(key::kRight)), Tap(key::kLeft));
  actions.emplace_back(WidenConfiguration);
  actions = Then(actions, Tap(key::kUp, 7));
  actions.emplace_back([] { inject::KeyPress(key::kEnter); });
  Script(actions);
  OptionsScreen();
  EXPECT_EQ(settings.windowscale, 1);
  EXPECT_EQ(display.displaywidth, 20);
  EXPECT_TRUE(testing::TestFileExists("save.dat"));
}

TEST_F(MenuScreens, CreditsScrollAndLeaveWithLeft) {
  // Two rows per heading and one per name line of the built-in text.
  int rows = 0;
  for (const cred& heading : front.credits) rows += 2 + static_cast<int>(heading.subs.size());
  EXPECT_GE(front.credits.size(), 4u);
  EXPECT_EQ(front.creditrows, rows);
  Script(Then(Tap(key::kDown, 3), Tap(key::kLeft)));
  CreditsScreen();
  EXPECT_LT(frames_, 10);
}

// ---- Reference pictures ----------------------------------------------------------------------------------

TEST_F(MenuScreens, MainMenuPicture) {
  progress_state values;
  worlds_state loaded;
  auto bonus = std::make_unique<world>();
  bonus->numlevels = 5;
  bonus->levelhighs.fill(40);
  loaded.worlds[0] = std::move(bonus);
  UnlockAll(values, 0);
  values.bestscore[0][2] = 40;
  main_menu_state state = EnterMainMenu(values, loaded);
  state.cursor = 2;
  ClearScreen();
  DrawMainMenu(state);
  testing::ExpectFrameMatchesReference(kReferences + "main_menu.png");
}

TEST_F(MenuScreens, LockedMainMenuPicture) {
  main_menu_state state;
  state.locked = 1;
  state.progresscolumn = tilemap::Create(1, 15);
  state.progresscolumn.Fill(kNoValue, kNoValue, kNoValue, 1);
  ClearScreen();
  DrawMainMenu(state);
  testing::ExpectFrameMatchesReference(kReferences + "main_menu_locked.png");
}

TEST_F(MenuScreens, NameInputPicture) {
  progress_state values;
  values.playername = "Wayfa";
  name_input_state state = EnterNameInput(values);
  // The name is selected on entry, so no caret shows however long nothing is typed.
  for (int i = 0; i < 24; ++i) StepNameInput(state, 0, values);
  ClearScreen();
  DrawNameInput(state);
  testing::ExpectFrameMatchesReference(kReferences + "name_input.png");
}

TEST_F(MenuScreens, OptionsPictureScrolledToTheEnd) {
  settings_state options;
  options.musicon = 0;
  options.brightness = -36;
  options.windowscale = 3;
  options_state state = EnterOptions(options);
  state.cursor = kOptionUseDefault;
  state.top = 3;
  ClearScreen();
  DrawOptions(state, options);
  testing::ExpectFrameMatchesReference(kReferences + "options_end.png");
}

TEST_F(MenuScreens, OptionsPictureAtTheTop) {
  settings_state options;
  options_state state = EnterOptions(options);
  state.cursor = kOptionSound;
  ClearScreen();
  DrawOptions(state, options);
  testing::ExpectFrameMatchesReference(kReferences + "options_top.png");
}

TEST_F(MenuScreens, BrightnessAndContrastChangeEveryColourAtOnce) {
  settings_state options;
  options_state state = EnterOptions(options);
  settings.brightness = 54;
  settings.contrast = -36;
  ClearScreen();
  DrawOptions(state, options);
  testing::ExpectFrameMatchesReference(kReferences + "options_adjusted.png");
}

TEST_F(MenuScreens, CreditsPicture) {
  credits_state state = EnterCredits(front.credits, front.creditrows);
  state.scroll = 1;
  ClearScreen();
  DrawCredits(state);
  testing::ExpectFrameMatchesReference(kReferences + "credits.png");
}

}  // namespace
}  // namespace dusk
