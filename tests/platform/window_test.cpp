// The window headless: frame pacing on the virtual clock, drawing read back pixel by pixel, image loading.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/clock.h"
#include "platform/embedded.h"
#include "platform/window.h"
#include "tests/platform/support/png_fixture.h"

namespace dusk {
namespace {

using fixtures::EncodeArgbPng;
using fixtures::EncodePng;
using fixtures::png_spec;

constexpr uint32_t kBlack = 0xFF000000u;

class WindowTest : public ::testing::Test {
 protected:
  void TearDown() override {
    CloseWindow();
    UseRealClock();
    ClearEmbedded();
  }
  // Registers bytes as an embedded file; they must outlive the test, so the fixture keeps them.
  std::string Embed(const std::string& name, std::vector<uint8_t> bytes) {
    kept_.push_back(std::move(bytes));
    RegisterEmbedded(name, kept_.back().data(), kept_.back().size());
    return std::string(kEmbeddedPrefix) + name;
  }
  std::vector<std::vector<uint8_t>> kept_{};
};

// The frame as text, one character per pixel, so that a failing comparison shows the picture.
std::string Picture(const std::vector<uint32_t>& pixels, int width, int height,
                    const std::vector<std::pair<uint32_t, char>>& legend) {
  std::ostringstream out;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t pixel = pixels[static_cast<size_t>(y * width + x)];
      char c = '?';
      for (const auto& [colour, letter] : legend) {
        if (colour == pixel) c = letter;
      }
      out << c;
    }
    out << '\n';
  }
  return out.str();
}

TEST_F(WindowTest, OpensHeadlessOnOpenGl) {
  ASSERT_TRUE(OpenWindow(64, 48, "test"));
  EXPECT_TRUE(WindowIsOpen());
  EXPECT_EQ(RendererName().rfind("opengl", 0), 0u) << RendererName();
  int width = 0;
  int height = 0;
  std::vector<uint32_t> frame = ReadFramePixels(width, height);
  EXPECT_EQ(width, 64);
  EXPECT_EQ(height, 48);
  ASSERT_EQ(frame.size(), 64u * 48u);
  EXPECT_EQ(frame[0], kBlack);
  CloseWindow();
  EXPECT_FALSE(WindowIsOpen());
  EXPECT_TRUE(ReadFramePixels(width, height).empty());
  EXPECT_EQ(width, 0);
}

TEST_F(WindowTest, SixtyPacedPresentsTakeOneSecond) {
  // The second start makes the 32-bit clock wrap during the run.
  for (int start : {0, 2147483000}) {
    UseVirtualClock(start);
    ASSERT_TRUE(OpenWindow(32, 32, "pacing"));
    std::vector<int> steps;
    int before = ClockMs();
    for (int frame = 0; frame < 60; ++frame) {
      PresentFrame(-1);
      const int now = ClockMs();
      steps.push_back(static_cast<int>(static_cast<uint32_t>(now) - static_cast<uint32_t>(before)));
      before = now;
    }
    int total = 0;
    for (int step : steps) total += step;
    EXPECT_EQ(total, 1000) << "start " << start;
    // 16 ms a frame, the remainder spread as one extra millisecond on two frames of every three.
    EXPECT_EQ(std::vector<int>(steps.begin(), steps.begin() + 6), (std::vector<int>{16, 17, 17, 16, 17, 17}));
    CloseWindow();
  }
}

TEST_F(WindowTest, LateFrameRestartsTheScheduleFromNow) {
  UseVirtualClock(100);
  ASSERT_TRUE(OpenWindow(32, 32, "pacing"));
  PresentFrame(-1);                // waits until 116
  AdvanceVirtualClock(50);         // the game took 50 ms: the next frame is late
  const int late = ClockMs();
  PresentFrame(-1);                // no wait
  EXPECT_EQ(ClockMs(), late);
  PresentFrame(-1);                // a whole period after the late frame, not a burst to catch up
  EXPECT_EQ(ClockMs() - late, 17);
  PresentFrame(0);                 // sync 0 never waits
  PresentFrame(1);
  EXPECT_EQ(ClockMs() - late, 17);
}

TEST_F(WindowTest, FillRectAtScaleTwoCoversExactlyItsPixels) {
  ASSERT_TRUE(OpenWindow(48, 48, "fill"));
  ClearScreen();
  SetColor(10, 200, 30);
  SetDrawScale(2, 2);
  FillRect(10, 20, 8, 12);  // 16 x 24 pixels from (10, 20)
  int width = 0;
  int height = 0;
  const std::vector<uint32_t> frame = ReadFramePixels(width, height);
  ASSERT_EQ(frame.size(), 48u * 48u);
  std::vector<uint32_t> expected(frame.size(), kBlack);
  for (int y = 20; y <= 43; ++y) {
    for (int x = 10; x <= 25; ++x) expected[static_cast<size_t>(y * 48 + x)] = 0xFF0AC81Eu;
  }
  const std::vector<std::pair<uint32_t, char>> legend{{kBlack, '.'}, {0xFF0AC81Eu, '#'}};
  EXPECT_EQ(Picture(frame, 48, 48, legend), Picture(expected, 48, 48, legend));
}

TEST_F(WindowTest, DrawingStateResetsWhenTheWindowOpens) {
  ASSERT_TRUE(OpenWindow(16, 16, "reset"));
  SetColor(1, 2, 3);
  SetDrawScale(3, 3);
  ASSERT_TRUE(OpenWindow(16, 16, "again"));
  FillRect(0, 0, 2, 2);
  int width = 0;
  int height = 0;
  const std::vector<uint32_t> frame = ReadFramePixels(width, height);
  EXPECT_EQ(frame[1 * 16 + 1], 0xFFFFFFFFu);  // white, scale 1: pixels 0 and 1 only
  EXPECT_EQ(frame[2 * 16 + 2], kBlack);
}

// A 2 x 1 sheet of 4 x 4 cells without alpha: magenta is the mask, W white, G grey, R red.
std::vector<uint8_t> MaskedSheet() {
  const char* rows[] = {"WW..GGGG", "W..WG..G", "W..WG..G", "WWWWGGRR"};
  std::vector<uint32_t> argb;
  for (const char* row : rows) {
    for (const char* c = row; *c != 0; ++c) {
      switch (*c) {
        case 'W': argb.push_back(0xFFFFFFFFu); break;
        case 'G': argb.push_back(0xFF808080u); break;
        case 'R': argb.push_back(0xFFFF0000u); break;
        default: argb.push_back(0xFFFF00FFu); break;
      }
    }
  }
  return EncodeArgbPng(8, 4, argb, false);
}

TEST_F(WindowTest, TintedCellWithMaskTransparencyOverABackground) {
  // The sheet is loaded before the window opens, as the display set-up does.
  cell_sheet_ptr sheet = LoadCellSheet(Embed("sheet.png", MaskedSheet()), 4, 4, 0, 2, 255, 0, 255);
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(OpenWindow(16, 12, "cell"));
  ClearScreen();
  SetColor(0, 0, 255);
  FillRect(0, 0, 16, 12);
  SetColor(200, 100, 50);
  SetDrawScale(2, 2);
  DrawCell(*sheet, 3, 2, 0);
  DrawCell(*sheet, 0, 0, 2);   // no such cell: nothing
  DrawCell(*sheet, 0, 0, -1);  // nor this
  SetDrawScale(1, 1);
  int width = 0;
  int height = 0;
  const std::vector<uint32_t> frame = ReadFramePixels(width, height);
  ASSERT_EQ(frame.size(), 16u * 12u);
  const uint32_t blue = 0xFF0000FFu;
  const uint32_t tint = 0xFFC86432u;  // white times the colour is the colour
  const std::vector<std::pair<uint32_t, char>> legend{{blue, '.'}, {tint, '#'}};
  const std::string expected =
      "................\n"
      "................\n"
      "...####.........\n"
      "...####.........\n"
      "...##....##.....\n"
      "...##....##.....\n"
      "...##....##.....\n"
      "...##....##.....\n"
      "...########.....\n"
      "...########.....\n"
      "................\n"
      "................\n";
  EXPECT_EQ(Picture(frame, width, height, legend), expected);
}

TEST_F(WindowTest, TintMultipliesEachComponent) {
  cell_sheet_ptr sheet = LoadCellSheet(Embed("sheet.png", MaskedSheet()), 4, 4, 0, 2, 255, 0, 255);
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(OpenWindow(8, 8, "tint"));
  ClearScreen();
  SetColor(200, 100, 50);
  DrawCell(*sheet, 0, 0, 1);
  int width = 0;
  int height = 0;
  const std::vector<uint32_t> frame = ReadFramePixels(width, height);
  // Grey 128 tinted: 128 x 200 / 255 = 100.4, 50.2, 25.1; the GPU may round either way.
  const uint32_t grey = frame[0];
  EXPECT_NEAR(static_cast<int>((grey >> 16) & 0xFF), 100, 1);
  EXPECT_NEAR(static_cast<int>((grey >> 8) & 0xFF), 50, 1);
  EXPECT_NEAR(static_cast<int>(grey & 0xFF), 25, 1);
  // Red tinted keeps only the red component.
  EXPECT_EQ(frame[3 * 8 + 2], 0xFFC80000u);
}

TEST_F(WindowTest, AlphaIsTestedAtOneHalfAndOverridesTheMask) {
  // One cell, 4 x 1: alpha 127 (left out), 128 (drawn), 255 in the mask colour (drawn), 0 (left out).
  const std::vector<uint32_t> argb{0x7FFFFFFFu, 0x80FFFFFFu, 0xFF000000u, 0x00FFFFFFu};
  cell_sheet_ptr sheet = LoadCellSheet(Embed("alpha.png", EncodeArgbPng(4, 1, argb, true)), 4, 1, 0, 1, 0, 0, 0);
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(OpenWindow(4, 1, "alpha"));
  ClearScreen();
  SetColor(0, 255, 0);
  FillRect(0, 0, 4, 1);
  SetColor(255, 0, 0);
  DrawCell(*sheet, 0, 0, 0);
  int width = 0;
  int height = 0;
  const std::vector<uint32_t> frame = ReadFramePixels(width, height);
  EXPECT_EQ(frame, (std::vector<uint32_t>{0xFF00FF00u, 0xFFFF0000u, kBlack, 0xFF00FF00u}));
}

TEST_F(WindowTest, PaletteTransparencyChunkCountsAsAlpha) {
  png_spec spec;
  spec.width = 3;
  spec.height = 1;
  spec.color_type = 3;
  spec.palette = {{0, 0, 0}, {255, 255, 255}, {10, 20, 30}};
  spec.transparency = {255, 0, 255};  // entry 1 (white) is transparent, black is not
  spec.samples = {0, 1, 2};
  cell_sheet_ptr sheet = LoadCellSheet(Embed("trns.png", EncodePng(spec)), 1, 1, 0, 3, 0, 0, 0);
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(OpenWindow(3, 1, "trns"));
  ClearScreen();
  SetColor(0, 0, 255);
  FillRect(0, 0, 3, 1);
  SetColor(255, 255, 255);
  for (int cell = 0; cell < 3; ++cell) DrawCell(*sheet, static_cast<float>(cell), 0, cell);
  int width = 0;
  int height = 0;
  EXPECT_EQ(ReadFramePixels(width, height), (std::vector<uint32_t>{kBlack, 0xFF0000FFu, 0xFF0A141Eu}));
}

TEST_F(WindowTest, CellsAreNumberedRowByRowFromFirst) {
  // A 3 x 2 sheet of 1 x 1 cells, each a different grey; the sheet keeps cells 2 to 5.
  std::vector<uint32_t> argb;
  for (uint32_t i = 0; i < 6; ++i) argb.push_back(0xFF000000u | (i + 1) * 0x101010u);
  cell_sheet_ptr sheet = LoadCellSheet(Embed("numbered.png", EncodeArgbPng(3, 2, argb, false)), 1, 1, 2, 4, 255, 0, 0);
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(OpenWindow(4, 1, "numbered"));
  ClearScreen();
  for (int cell = 0; cell < 4; ++cell) DrawCell(*sheet, static_cast<float>(cell), 0, cell);
  int width = 0;
  int height = 0;
  EXPECT_EQ(ReadFramePixels(width, height), (std::vector<uint32_t>{0xFF303030u, 0xFF404040u, 0xFF505050u, 0xFF606060u}));
}

TEST_F(WindowTest, DrawsKeepTheirOrderAcrossSheetsAndRectangles) {
  const std::vector<uint32_t> white(4, 0xFFFFFFFFu);
  cell_sheet_ptr first = LoadCellSheet(Embed("a.png", EncodeArgbPng(2, 2, white, false)), 2, 2, 0, 1, 0, 0, 0);
  cell_sheet_ptr second = LoadCellSheet(Embed("b.png", EncodeArgbPng(2, 2, white, false)), 2, 2, 0, 1, 0, 0, 0);
  ASSERT_TRUE(first && second);
  ASSERT_TRUE(OpenWindow(4, 1, "order"));
  ClearScreen();
  SetColor(255, 0, 0);
  FillRect(0, 0, 4, 1);
  SetColor(0, 255, 0);
  DrawCell(*first, 1, 0, 0);  // pixels 1 and 2
  SetColor(0, 0, 255);
  DrawCell(*second, 2, 0, 0);  // pixels 2 and 3, over the green
  SetColor(255, 255, 0);
  FillRect(3, 0, 1, 1);
  int width = 0;
  int height = 0;
  EXPECT_EQ(ReadFramePixels(width, height),
            (std::vector<uint32_t>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u}));
  // A sheet dropped and another loaded mid-frame still draws the right pixels.
  first.reset();
  const std::vector<uint32_t> red(4, 0xFFFF0000u);
  cell_sheet_ptr third = LoadCellSheet(Embed("c.png", EncodeArgbPng(2, 2, red, false)), 2, 2, 0, 1, 0, 0, 0);
  SetColor(255, 255, 255);
  DrawCell(*third, 0, 0, 0);
  const std::vector<uint32_t> frame = ReadFramePixels(width, height);
  EXPECT_EQ(frame, (std::vector<uint32_t>{0xFFFF0000u, 0xFFFF0000u, 0xFF0000FFu, 0xFFFFFF00u}));
}

TEST_F(WindowTest, SheetOutlivesTheWindowBeingReopened) {
  const std::vector<uint32_t> white(4, 0xFFFFFFFFu);
  cell_sheet_ptr sheet = LoadCellSheet(Embed("w.png", EncodeArgbPng(2, 2, white, false)), 2, 2, 0, 1, 0, 0, 0);
  ASSERT_NE(sheet, nullptr);
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(OpenWindow(2, 2, "reopen"));
    ClearScreen();
    DrawCell(*sheet, 0, 0, 0);
    int width = 0;
    int height = 0;
    EXPECT_EQ(ReadFramePixels(width, height), std::vector<uint32_t>(4, 0xFFFFFFFFu)) << "round " << round;
    CloseWindow();
  }
}

TEST_F(WindowTest, ClearScreenDropsWhatWasDrawnBefore) {
  ASSERT_TRUE(OpenWindow(2, 1, "clear"));
  FillRect(0, 0, 2, 1);
  ClearScreen();
  SetColor(0, 0, 255);
  FillRect(1, 0, 1, 1);
  int width = 0;
  int height = 0;
  EXPECT_EQ(ReadFramePixels(width, height), (std::vector<uint32_t>{kBlack, 0xFF0000FFu}));
}

TEST_F(WindowTest, LoadingFailsWithNone) {
  const std::string good = Embed("good.png", MaskedSheet());
  std::vector<uint8_t> truncated = MaskedSheet();
  truncated.resize(truncated.size() / 2);
  std::vector<uint8_t> corrupt = MaskedSheet();
  corrupt[45] ^= 0xFF;  // inside the image data: its checksum no longer matches
  const std::string missing = "no such folder\\no such file.png";
  const std::string garbage = Embed("garbage.png", std::vector<uint8_t>(100, 7));
  const std::string empty = Embed("empty.png", {});
  const std::string cut = Embed("truncated.png", truncated);
  const std::string damaged = Embed("corrupt.png", corrupt);
  for (const std::string& path : {missing, garbage, empty, cut, damaged}) {
    EXPECT_EQ(LoadPixels(path), nullptr) << path;
    EXPECT_EQ(LoadCellSheet(path, 4, 4, 0, 2, 0, 0, 0), nullptr) << path;
  }
  // An 8 x 4 image holds two 4 x 4 cells, and a single 5 x 4 one.
  EXPECT_NE(LoadCellSheet(good, 4, 4, 0, 2, 0, 0, 0), nullptr);
  EXPECT_NE(LoadCellSheet(good, 4, 4, 1, 1, 0, 0, 0), nullptr);
  EXPECT_EQ(LoadCellSheet(good, 4, 4, 0, 3, 0, 0, 0), nullptr);
  EXPECT_EQ(LoadCellSheet(good, 4, 4, 2, 1, 0, 0, 0), nullptr);
  EXPECT_EQ(LoadCellSheet(good, 5, 4, 0, 2, 0, 0, 0), nullptr);
  EXPECT_EQ(LoadCellSheet(good, 9, 4, 0, 1, 0, 0, 0), nullptr);
  EXPECT_EQ(LoadCellSheet(good, 0, 4, 0, 1, 0, 0, 0), nullptr);
}

TEST_F(WindowTest, OversizedHeaderIsRefusedBeforeAllocating) {
  // A valid 1 x 1 picture whose header then claims 30000 x 30000 pixels (with its checksum fixed).
  std::vector<uint8_t> bytes = EncodeArgbPng(1, 1, {kBlack}, false);
  const uint8_t big[4] = {0, 0, 0x75, 0x30};
  std::copy(big, big + 4, bytes.begin() + 16);
  std::copy(big, big + 4, bytes.begin() + 20);
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 12; i < 29; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  crc ^= 0xFFFFFFFFu;
  for (int i = 0; i < 4; ++i) bytes[29 + static_cast<size_t>(i)] = static_cast<uint8_t>(crc >> (24 - 8 * i));
  EXPECT_EQ(LoadPixels(Embed("huge.png", bytes)), nullptr);
}

struct format_case {
  const char* name;
  png_spec spec;
  std::vector<uint32_t> expected;  // ARGB of the 2 x 1 picture
};

std::vector<format_case> FormatCases() {
  auto make = [](int color_type, int depth, std::vector<uint16_t> samples) {
    png_spec spec;
    spec.width = 2;
    spec.height = 1;
    spec.color_type = color_type;
    spec.bit_depth = depth;
    spec.samples = std::move(samples);
    return spec;
  };
  std::vector<format_case> cases;
  cases.push_back({"grey 8", make(0, 8, {0x00, 0x9A}), {0xFF000000u, 0xFF9A9A9Au}});
  cases.push_back({"grey 1", make(0, 1, {0, 1}), {0xFF000000u, 0xFFFFFFFFu}});
  cases.push_back({"grey 4", make(0, 4, {5, 15}), {0xFF555555u, 0xFFFFFFFFu}});
  cases.push_back({"grey 16", make(0, 16, {0x1212, 0xFEFE}), {0xFF121212u, 0xFFFEFEFEu}});
  cases.push_back({"grey alpha 8", make(4, 8, {0x40, 0x80, 0xC0, 0xFF}), {0x80404040u, 0xFFC0C0C0u}});
  cases.push_back({"rgb 8", make(2, 8, {1, 2, 3, 250, 251, 252}), {0xFF010203u, 0xFFFAFBFCu}});
  cases.push_back({"rgb 16", make(2, 16, {0x0101, 0x0202, 0x0303, 0xABAB, 0xCDCD, 0xEFEF}), {0xFF010203u, 0xFFABCDEFu}});
  cases.push_back({"rgba 8", make(6, 8, {1, 2, 3, 4, 5, 6, 7, 255}), {0x04010203u, 0xFF050607u}});
  cases.push_back({"rgba 16", make(6, 16, {0x1111, 0x2222, 0x3333, 0x0000, 0x4444, 0x5555, 0x6666, 0x7777}),
                   {0x00112233u, 0x77445566u}});
  png_spec palette = make(3, 8, {1, 0});
  palette.palette = {{9, 8, 7}, {60, 70, 80}};
  cases.push_back({"palette 8", palette, {0xFF3C4650u, 0xFF090807u}});
  png_spec palette2 = make(3, 2, {3, 2});
  palette2.palette = {{0, 0, 0}, {1, 1, 1}, {2, 3, 4}, {200, 100, 0}};
  cases.push_back({"palette 2", palette2, {0xFFC86400u, 0xFF020304u}});
  png_spec rgb_key = make(2, 8, {1, 2, 3, 4, 5, 6});
  rgb_key.transparency = {4, 5, 6};
  cases.push_back({"rgb with tRNS", rgb_key, {0xFF010203u, 0x00040506u}});
  png_spec interlaced = make(2, 8, {1, 2, 3, 4, 5, 6});
  interlaced.interlaced = true;
  cases.push_back({"interlaced", interlaced, {0xFF010203u, 0xFF040506u}});
  return cases;
}

TEST_F(WindowTest, LoadPixelsExpandsEveryFormatToArgb) {
  for (const format_case& c : FormatCases()) {
    std::vector<uint8_t> bytes = EncodePng(c.spec);
    ASSERT_FALSE(bytes.empty()) << c.name;
    std::unique_ptr<pixel_image> image = LoadPixels(Embed(c.name, bytes));
    ASSERT_NE(image, nullptr) << c.name;
    EXPECT_EQ(PixelsWidth(*image), 2) << c.name;
    EXPECT_EQ(PixelsHeight(*image), 1) << c.name;
    EXPECT_EQ(static_cast<uint32_t>(ReadPixel(*image, 0, 0)), c.expected[0]) << c.name;
    EXPECT_EQ(static_cast<uint32_t>(ReadPixel(*image, 1, 0)), c.expected[1]) << c.name;
    EXPECT_EQ(ReadPixel(*image, 2, 0), 0) << c.name;
    EXPECT_EQ(ReadPixel(*image, 0, -1), 0) << c.name;
  }
}

TEST_F(WindowTest, LoadPixelsReadsAFileWithEitherSeparator) {
  const std::string folder = ::testing::TempDir() + "dusk_pixels";
  std::remove((folder + "/p.png").c_str());
  std::filesystem::create_directories(folder);
  const std::vector<uint8_t> bytes = EncodeArgbPng(1, 1, {0xFF123456u}, false);
  std::ofstream(folder + "/p.png", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                          static_cast<std::streamsize>(bytes.size()));
  for (const std::string& path : {folder + "/p.png", folder + "\\p.png"}) {
    std::unique_ptr<pixel_image> image = LoadPixels(path);
    ASSERT_NE(image, nullptr) << path;
    EXPECT_EQ(static_cast<uint32_t>(ReadPixel(*image, 0, 0)), 0xFF123456u);
  }
}

}  // namespace
}  // namespace dusk

namespace dusk {
namespace {

// An idle menu draws the same frame 60 times a second; only the first of a run of equal frames is drawn.
TEST_F(WindowTest, AMenuFrameThatRepeatsTheLastOneIsNotDrawnAgain) {
  UseVirtualClock();
  ASSERT_TRUE(OpenWindow(8, 8, "repeat"));
  const auto frame = [](int red, bool clear) {
    if (clear) ClearScreen();
    SetDrawScale(1, 1);
    SetColor(red, 0, 0);
    FillRect(0, 0, 4, 4);
  };
  const int start = FramesDrawn();
  frame(200, false);
  PresentFrame(-1);
  EXPECT_EQ(FramesDrawn(), start + 1);  // a new window is always drawn
  frame(200, false);
  PresentFrame(-1);
  frame(200, false);
  PresentFrame(-1);
  EXPECT_EQ(FramesDrawn(), start + 1);

  frame(100, false);  // another colour
  PresentFrame(-1);
  EXPECT_EQ(FramesDrawn(), start + 2);
  frame(100, true);  // the same cells on a cleared screen
  PresentFrame(-1);
  EXPECT_EQ(FramesDrawn(), start + 3);
  frame(100, true);
  PresentFrame(-1);
  EXPECT_EQ(FramesDrawn(), start + 3);

  // Vertical sync and "at once" always draw; so does a frame that was read back.
  frame(100, true);
  PresentFrame(1);
  frame(100, true);
  PresentFrame(0);
  EXPECT_EQ(FramesDrawn(), start + 5);
  frame(100, true);
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels = ReadFramePixels(width, height);
  ASSERT_EQ(width, 8);
  EXPECT_EQ(pixels[0], 0xFF640000u);
  PresentFrame(-1);
  EXPECT_EQ(FramesDrawn(), start + 6);

  // After a repeat was left out, a changed frame is drawn in full.
  frame(100, true);
  PresentFrame(-1);
  frame(50, true);
  pixels = ReadFramePixels(width, height);
  EXPECT_EQ(pixels[0], 0xFF320000u);
  EXPECT_EQ(pixels[7 * 8 + 7], kBlack);

  // A reopened window has lost its contents.
  CloseWindow();
  ASSERT_TRUE(OpenWindow(8, 8, "repeat"));
  const int reopened = FramesDrawn();
  frame(100, true);
  PresentFrame(-1);
  EXPECT_EQ(FramesDrawn(), reopened + 1);
}

}  // namespace
}  // namespace dusk
