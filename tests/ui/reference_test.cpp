// Reference pictures of gadgets and popups in the game's glyphs and colours, compared pixel for pixel with
// tests/ui/reference (DUSK_UPDATE_REFERENCES=1 redraws them on purpose).
#include <gtest/gtest.h>

#include "display/display_state.h"
#include "display/draw.h"
#include "display/tilemap.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/input_injection.h"
#include "platform/window.h"
#include "state/settings.h"
#include "tests/display/support/display_fixture.h"
#include "ui/gadget.h"

namespace dusk {
namespace {

const std::string kReferences = std::string(DUSK_SOURCE_DIR) + "/tests/ui/reference/";

class GadgetPicture : public ::testing::Test {
 protected:
  void SetUp() override {
    UseVirtualClock();
    ResetGadgets();
  }
  void TearDown() override {
    inject::SetFrameHook({});
    CloseWindow();
    ResetDisplay();
    ResetSettings();
    ResetGadgets();
    UseRealClock();
  }
};

TEST_F(GadgetPicture, WindowWithWrappedLabelCheckBoxAndButton) {
  ASSERT_TRUE(testing::OpenGameDisplay(DUSK_SOURCE_DIR, 1));
  tilemap grid = tilemap::Create(20, 15);
  grid.Fill(0, 20, 20, 1);
  const gadget_ptr window = CreateWindow("Settings", 1, 1, 18, 13);
  const gadget_ptr label = CreateLabel(
      "Take every star before the moves run out.\xff"
      "Good luck, wayfarer! Unbreakablewordsgetcut",
      1, 1, 16, 7, window);
  label->TextColor = 46;
  const gadget_ptr music = CreateCheckbox("Music", 1, 9, window);
  music->TextColor = 47;
  music->state = 1;
  const gadget_ptr sound = CreateCheckbox("Sound", 1, 10, window);
  sound->TextColor = 47;
  const gadget_ptr button = CreateButton("[Return]", 9, 10, window);
  button->TextColor = 0;
  window->draw(grid, 0, 0);
  ClearScreen();
  Draw(grid, 0, 0);
  testing::ExpectFrameMatchesReference(kReferences + "window_label.png");
}

TEST_F(GadgetPicture, PopupOnTheWideScreen) {
  ASSERT_TRUE(testing::OpenGameDisplay(DUSK_SOURCE_DIR, 1));
  CloseWindow();
  // A screen of 40 x 10 cells shows the full 38-cell box.
  display.displaywidth = 40;
  display.displayheight = 10;
  OpenWindow(40 * 16, 10 * 16, "popup");
  inject::SetFrameHook([](int frame) { inject::KeyPress(frame == 1 ? key::kRight : key::kEscape); });
  EXPECT_EQ(AskYesNo("Error!", "File checksum failed to verify. The image may be corrupt!"), 1);
  // The last frame drawn is the box with the markers of the frame before: "No" chosen.
  testing::ExpectFrameMatchesReference(kReferences + "popup.png");
}

TEST_F(GadgetPicture, PopupOnTheGameScreen) {
  ASSERT_TRUE(testing::OpenGameDisplay(DUSK_SOURCE_DIR, 1));
  inject::SetFrameHook([](int frame) {
    if (frame == 2) inject::KeyPress(key::kEnter);
  });
  EXPECT_EQ(ShowMessage("Error!", "Encountered unexpected end of file."), 1);
  testing::ExpectFrameMatchesReference(kReferences + "popup_narrow.png");
}

}  // namespace
}  // namespace dusk
