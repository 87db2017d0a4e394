// The keys every screen shares: F12 screenshots at the window's pixel size, F11 and Alt+Enter for
// fullscreen at a whole scale, centred.
#include "app/frame_keys.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "display/display_state.h"
#include "display/draw.h"
#include "display/fullscreen.h"
#include "files/png_image.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/input_injection.h"
#include "platform/window.h"
#include "tests/display/support/display_fixture.h"
#include "tests/platform/support/temp_folder.h"

namespace dusk {
namespace {

// A headless window of the game's own look, worked in from a fresh folder.
class FrameKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char buffer[4096];
    ASSERT_NE(::getcwd(buffer, sizeof buffer), nullptr);
    start_ = buffer;
    ASSERT_EQ(::chdir(folder_.path().c_str()), 0);
    UseVirtualClock();
    ASSERT_TRUE(testing::OpenGameSheetsDisplay(folder_.path(), DUSK_SOURCE_DIR, 20, 15, 2));
    InstallFrameKeys();
  }
  void TearDown() override {
    SetBeforePresentHook({});
    if (display.fullscreen) ToggleFullscreen();
    CloseWindow();
    UseRealClock();
    ASSERT_EQ(::chdir(start_.c_str()), 0);
  }

  static void DrawSomething() {
    tilemap grid = tilemap::Create(20, 15);
    for (int y = 0; y < 15; ++y) {
      for (int x = 0; x < 20; ++x) grid.SetTile(x, y, 'A' + (x + y) % 26, 10 + (x * 3) % 50, 10 + (y * 5) % 50, 1);  // no colour 9
    }
    Draw(grid, 0, 0);
  }

  testing::temp_folder folder_;
  std::string start_;
};

TEST_F(FrameKeysTest, ScreenshotHoldsTheFrameAtWindowSize) {
  DrawSomething();
  int width = 0;
  int height = 0;
  const std::vector<uint32_t> frame = ReadFramePixels(width, height);
  const std::string path = SaveScreenshot();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.rfind("screenshots\\duskmarrow-", 0), 0u) << path;
  std::optional<picture> saved = LoadPngFile(path, int64_t{1} << 24);
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->width, display.windowwidth);
  EXPECT_EQ(saved->height, display.windowheight);
  ASSERT_EQ(saved->width, width);
  ASSERT_EQ(saved->height, height);
  EXPECT_EQ(saved->pixels, frame);
}

TEST_F(FrameKeysTest, F12SavesTheFrameAndSaysSoBriefly) {
  DrawSomething();
  testing::frame plain = testing::ReadFrame();
  PresentFrame(0);
  DrawSomething();
  inject::KeyPress(key::kF12);
  PresentFrame(0);
  // One file, holding the frame without the notice.
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator("screenshots")) {
    files.push_back(entry.path().filename().string());
  }
  ASSERT_EQ(files.size(), 1u);
  std::optional<picture> saved = LoadPngFile("screenshots/" + files[0], int64_t{1} << 24);
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->pixels.size(), plain.rgb.size());
  for (size_t i = 0; i < saved->pixels.size() && i < plain.rgb.size(); ++i) {
    ASSERT_EQ(saved->pixels[i] & 0xFFFFFFu, plain.rgb[i] & 0xFFFFFFu) << "pixel " << i;
  }
  // The notice shows over the top row of the frames that follow (it is laid over each frame as it is
  // shown), and is gone after its time.
  const auto shown_frame = [] {
    DrawSomething();
    KeepNextPresentedFrame();
    PresentFrame(0);
    testing::frame shown;
    shown.rgb = TakePresentedFrame(shown.width, shown.height);
    for (uint32_t& pixel : shown.rgb) pixel &= 0xFFFFFFu;
    return shown;
  };
  const testing::frame with_notice = shown_frame();
  AdvanceVirtualClock(2000);
  const testing::frame later = shown_frame();
  EXPECT_EQ(later.rgb, plain.rgb) << "the notice stayed";
  ASSERT_EQ(with_notice.rgb.size(), plain.rgb.size());
  const int cellh = display.glyphheight * display.displayscale;
  size_t changed_top = 0;
  size_t changed_below = 0;
  for (int y = 0; y < plain.height; ++y) {
    for (int x = 0; x < plain.width; ++x) {
      if (with_notice.at(x, y) != plain.at(x, y)) (y < cellh ? changed_top : changed_below) += 1;
    }
  }
  EXPECT_GT(changed_top, 0u) << "no notice on the top row";
  EXPECT_EQ(changed_below, 0u);
}

TEST(ScreenshotPath, NamedByDateAndTimeAndNeverOverwrites) {
  testing::temp_folder folder;
  char buffer[4096];
  ASSERT_NE(::getcwd(buffer, sizeof buffer), nullptr);
  const std::string start = buffer;
  ASSERT_EQ(::chdir(folder.path().c_str()), 0);
  std::tm time{};
  time.tm_year = 126;
  time.tm_mon = 11;
  time.tm_mday = 9;
  time.tm_hour = 7;
  time.tm_min = 5;
  time.tm_sec = 3;
  EXPECT_EQ(ScreenshotPath(time), "screenshots\\duskmarrow-2026-12-09-07-05-03.png");
  MakeFolder("screenshots");
  testing::WriteTestFile("screenshots/duskmarrow-2026-12-09-07-05-03.png", {1});
  EXPECT_EQ(ScreenshotPath(time), "screenshots\\duskmarrow-2026-12-09-07-05-03-2.png");
  testing::WriteTestFile("screenshots/duskmarrow-2026-12-09-07-05-03-2.png", {1});
  EXPECT_EQ(ScreenshotPath(time), "screenshots\\duskmarrow-2026-12-09-07-05-03-3.png");
  ASSERT_EQ(::chdir(start.c_str()), 0);
}

TEST_F(FrameKeysTest, AltEnterAndF11ToggleFullscreenAtAWholeScaleCentred) {
  inject::KeyPressWithAlt(key::kEnter);
  DrawSomething();
  PresentFrame(0);
  EXPECT_EQ(KeyHits(key::kEnter), 0) << "Alt+Enter must not confirm anything";
  EXPECT_EQ(NextTypedChar(), 0);
  ASSERT_TRUE(display.fullscreen);
  ASSERT_TRUE(IsFullscreen());
  int screenw = 0;
  int screenh = 0;
  ASSERT_TRUE(WindowPixelSize(screenw, screenh));
  const int framew = 20 * display.glyphwidth;
  const int frameh = 15 * display.glyphheight;
  const int scale = std::min(screenw / framew, screenh / frameh);
  EXPECT_EQ(display.displayscale, std::max(1, scale));
  // The frame read back is the game's screen at that scale, not the whole screen.
  DrawSomething();
  testing::frame big = testing::ReadFrame();
  EXPECT_EQ(big.width, framew * display.displayscale);
  EXPECT_EQ(big.height, frameh * display.displayscale);
  PresentFrame(0);

  inject::KeyPress(key::kF11);
  DrawSomething();
  PresentFrame(0);
  EXPECT_FALSE(display.fullscreen);
  EXPECT_EQ(display.displayscale, 2) << "back at the window's own scale";
  DrawSomething();
  testing::frame small = testing::ReadFrame();
  EXPECT_EQ(small.width, display.windowwidth);
  EXPECT_EQ(small.height, display.windowheight);
}

}  // namespace
}  // namespace dusk
