// Popups: choosing with keys and clicks in their own frame loop, run instantly on the virtual clock.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "display/display_state.h"
#include "files/error_report.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/input_injection.h"
#include "platform/window.h"
#include "tests/display/support/display_fixture.h"
#include "tests/platform/support/temp_folder.h"
#include "ui/gadget.h"
#include "ui/gadget_error_reporting.h"

namespace dusk {
namespace {

constexpr int kGlyph = 4;

class PopupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseVirtualClock();
    ResetGadgets();
    testing::OpenTestDisplay(folder_.path(), 40, 10, kGlyph, kGlyph, 1);
  }
  void TearDown() override {
    inject::SetFrameHook({});
    CloseWindow();
    ResetDisplay();
    ResetGadgets();
    UseRealClock();
  }
  // Input to feed after the given frames have been presented.
  void Script(std::map<int, std::function<void()>> steps) {
    inject::SetFrameHook([steps = std::move(steps), this](int frame) {
      frames_ = frame;
      const auto it = steps.find(frame);
      if (it != steps.end()) it->second();
      // A popup that never ends would hang the test; give up loudly instead.
      if (frame > 100) inject::KeyPress(key::kEscape);
    });
  }
  static std::function<void()> Press(int key) {
    return [key] { inject::KeyPress(key); };
  }
  // A press of mouse button 1 on the window cell, released a frame later.
  void ClickCell(int frame, int x, int y) {
    clicks_[frame] = [x, y] {
      inject::MouseMove(x * kGlyph + 1, y * kGlyph + 1);
      inject::MouseButton(1, true);
    };
    clicks_[frame + 1] = [] { inject::MouseButton(1, false); };
  }
  testing::temp_folder folder_;
  std::map<int, std::function<void()>> clicks_;
  int frames_ = 0;
};

TEST_F(PopupTest, EmptyListReturnsAtOnce) {
  EXPECT_EQ(popup("t", "x", {}), -1);
}

TEST_F(PopupTest, OkAnswersEveryWay) {
  for (int key : {key::kEnter, key::kSpace, key::kEscape}) {
    SCOPED_TRACE(key);
    Script({{1, Press(key)}});
    EXPECT_EQ(ShowMessage("Error!", "Unrecognized file header!"), 1);
    EXPECT_EQ(frames_, 1);
  }
  // The "Ok" box is centred: 38 wide on a 40-column screen, starting at column 1; "Ok" at column 18 of it.
  const int a = 2 + 2;
  const int button_column = 1 + (38 / 2 - a / 2);
  ClickCell(2, button_column, 1 + 6);
  Script(clicks_);
  EXPECT_EQ(popup("Error!", "x", gadgets.okbuttons), 0);
  EXPECT_EQ(frames_, 3);
}

TEST_F(PopupTest, KeysMoveTheChoiceAndWrap) {
  const struct {
    std::vector<int> keys;
    int chosen;
  } cases[] = {
      {{key::kEscape}, 1},
      {{key::kEnter}, 0},
      {{key::kRight, key::kEnter}, 1},
      {{key::kRight, key::kRight, key::kSpace}, 0},  // from "No" round to "Yes"
      {{key::kLeft, key::kEnter}, 1},
      {{key::kTab, key::kEnter}, 1},
      {{key::kS, key::kW, key::kEnter}, 0},
      {{key::kD, key::kEscape}, 1},  // Esc is always the last button
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.keys));
    std::map<int, std::function<void()>> steps;
    for (size_t i = 0; i < c.keys.size(); ++i) steps[static_cast<int>(i) + 1] = Press(c.keys[i]);
    Script(steps);
    EXPECT_EQ(AskYesNo("Sure?", "Really?"), c.chosen);
  }
}

TEST_F(PopupTest, TwoKeysInOneFrameMoveOnce) {
  Script({{1,
           [] {
             inject::KeyPress(key::kRight);
             inject::KeyPress(key::kDown);
           }},
          {2, Press(key::kEnter)}});
  EXPECT_EQ(popup("t", "x", {"a", "b", "c"}), 1);
}

TEST_F(PopupTest, KeysHitBeforeThePopupDoNothing) {
  inject::KeyPress(key::kEnter);
  inject::KeyPress(key::kRight);
  KeyIsDown(key::kEnter);  // asking about input takes the events in, so the hits are counted
  Script({{3, Press(key::kSpace)}});
  EXPECT_EQ(AskYesNo("t", "x"), 0);
  EXPECT_EQ(frames_, 3);
}

TEST_F(PopupTest, ClickOnAButtonChoosesIt) {
  // "Yes" and "No": a = 2 * 2 + 3 + 2 = 9; "Yes" at box column 15, "No" at 19; the box starts at column 1,
  // row 1, and takes clicks on its rows 5 to 7.
  const struct {
    int column, row;
    int chosen;
  } cases[] = {{1 + 19, 1 + 5, 1}, {1 + 20, 1 + 7, 1}, {1 + 15, 1 + 6, 0}, {1 + 17, 1 + 5, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.column);
    clicks_.clear();
    ClickCell(1, c.column, c.row);
    Script(clicks_);
    EXPECT_EQ(AskYesNo("t", "x"), c.chosen);
    EXPECT_EQ(frames_, 2);
  }
  // Outside the buttons a click does nothing.
  clicks_.clear();
  ClickCell(1, 1 + 18, 1 + 6);
  clicks_[4] = Press(key::kEscape);
  Script(clicks_);
  EXPECT_EQ(AskYesNo("t", "x"), 1);
  EXPECT_EQ(frames_, 4);
}

TEST_F(PopupTest, NarrowScreenGetsANarrowerBox) {
  CloseWindow();
  testing::OpenTestDisplay(folder_.path(), 20, 15, kGlyph, kGlyph, 1);
  EXPECT_EQ(PopupWidth(), 20);
  // "Ok" at box column 20 / 2 - 2 = 8, the box at screen column 0, row 3.
  ClickCell(1, 8, 3 + 6);
  Script(clicks_);
  EXPECT_EQ(ShowMessage("Error!", "x"), 1);
  EXPECT_EQ(frames_, 2);
}

TEST_F(PopupTest, CloseRequestEndsTheProgram) {
  EXPECT_EXIT(
      {
        Script({{1, [] { inject::RequestClose(); }}});
        ShowMessage("t", "x");
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(PopupTest, MouseCellFollowsGlyphSizeAndScale) {
  CloseWindow();
  testing::OpenTestDisplay(folder_.path(), 20, 10, kGlyph, kGlyph, 3);
  inject::MouseMove(3 * kGlyph * 5 + 2, 3 * kGlyph * 2 + 11);
  UpdateMouse();
  EXPECT_EQ(gadgets.mouse.x, 5);
  EXPECT_EQ(gadgets.mouse.y, 2);
  inject::MouseButton(3, true);
  UpdateMouse();
  EXPECT_EQ(gadgets.mouse.lastdown[3], 1);
  EXPECT_EQ(gadgets.mouse.released[3], 0);
  inject::MouseButton(3, false);
  UpdateMouse();
  EXPECT_EQ(gadgets.mouse.released[3], 1);
  UpdateMouse();
  EXPECT_EQ(gadgets.mouse.released[3], 0);
}

}  // namespace
}  // namespace dusk

namespace dusk {
namespace {

TEST_F(PopupTest, ScreenFileErrorsComeUpAsPopups) {
  InstallPopupErrorReporting();
  Script({{1, Press(key::kEnter)}});
  ReportError("Error!", "Unrecognized file header!");
  EXPECT_EQ(frames_, 1);
  SetErrorReporter({});
}

}  // namespace
}  // namespace dusk
