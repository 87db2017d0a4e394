// Input scripts: their commands and errors as a table, key names, the command line, and a script played
// into a window frame by frame through the real event queue, with a screenshot.
#include "app/input_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "files/png_image.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/input_injection.h"
#include "platform/window.h"
#include "tests/platform/support/temp_folder.h"

namespace dusk {
namespace {

TEST(InputScript, ParsesEveryCommand) {
  const parsed_script script = ParseInputScript(
      "# a comment\r\n"
      "\n"
      "  wait 12  \r\n"
      "press Return\n"
      "down LCtrl\n"
      "up lctrl\n"
      "type Hello, wayfarer!\n"
      "shot shots/menu one.png\n"
      "PRESS f12\n"
      "close\n"
      "cells shots/menu.txt");
  ASSERT_FALSE(script.error) << script.error->message;
  ASSERT_EQ(script.commands.size(), 9u);
  const std::vector<script_command>& c = script.commands;
  EXPECT_EQ(c[0].op, script_op::wait);
  EXPECT_EQ(c[0].frames, 12);
  EXPECT_EQ(c[0].line, 3);
  EXPECT_EQ(c[1].op, script_op::press);
  EXPECT_EQ(c[1].key, key::kEnter);
  EXPECT_EQ(c[2].op, script_op::down);
  EXPECT_EQ(c[2].key, key::kLeftCtrl);
  EXPECT_EQ(c[3].op, script_op::up);
  EXPECT_EQ(c[3].key, key::kLeftCtrl);
  EXPECT_EQ(c[4].op, script_op::type);
  EXPECT_EQ(c[4].text, "Hello, wayfarer!");
  EXPECT_EQ(c[5].op, script_op::shot);
  EXPECT_EQ(c[5].text, "shots/menu one.png");
  EXPECT_EQ(c[6].key, key::kF12);
  EXPECT_EQ(c[7].op, script_op::close);
  EXPECT_EQ(c[7].line, 10);
  EXPECT_EQ(c[8].op, script_op::cells);
  EXPECT_EQ(c[8].text, "shots/menu.txt");
}

TEST(InputScript, KeyNames) {
  struct name_case {
    const char* name;
    int code;
  };
  const name_case cases[] = {
      {"Up", 38},    {"Down", 40},   {"Left", 37},     {"Right", 39},  {"Return", 13},
      {"Space", 32}, {"Escape", 27}, {"Backspace", 8}, {"Tab", 9},     {"F1", 112},
      {"F12", 123},  {"LCtrl", 162}, {"RCtrl", 163},   {"a", 65},      {"Z", 90},
      {"0", 48},     {"9", 57},      {"m", 77},        {"F0", 0},      {"F13", 0},
      {"F01", 0},    {"Shift", 0},   {"!", 0},         {"UpArrow", 0}, {"", 0},
  };
  for (const name_case& c : cases) EXPECT_EQ(ScriptKeyCode(c.name), c.code) << c.name;
}

TEST(InputScript, ErrorsNameTheirLine) {
  struct error_case {
    const char* text;
    int line;
    const char* message;
  };
  const error_case cases[] = {
      {"jump", 1, "unknown command \"jump\""},
      {"wait 3\n\nfly away", 3, "unknown command \"fly\""},
      {"press Hyper", 1, "unknown key \"Hyper\""},
      {"press", 1, "press needs a key"},
      {"down", 1, "down needs a key"},
      {"up Up Up", 1, "unknown key \"Up Up\""},
      {"wait", 1, "wait needs a number of frames from 0 to 100000000"},
      {"wait -1", 1, "wait needs a number of frames from 0 to 100000000"},
      {"wait 12x", 1, "wait needs a number of frames from 0 to 100000000"},
      {"wait 100000001", 1, "wait needs a number of frames from 0 to 100000000"},
      {"wait 99999999999999999999", 1, "wait needs a number of frames from 0 to 100000000"},
      {"type", 1, "type needs text"},
      {"shot   ", 1, "shot needs a file name"},
      {"cells", 1, "cells needs a file name"},
      {"close now", 1, "close takes nothing after it"},
      {"press \x01\x02", 1, "unknown key \"??\""},
  };
  for (const error_case& c : cases) {
    SCOPED_TRACE(c.text);
    const parsed_script script = ParseInputScript(c.text);
    ASSERT_TRUE(script.error);
    EXPECT_EQ(script.error->line, c.line);
    EXPECT_EQ(script.error->message, c.message);
    EXPECT_TRUE(script.commands.empty());
  }
  EXPECT_EQ(ScriptErrorText("run.txt", {4, "unknown key \"Hyper\""}), "run.txt:4: unknown key \"Hyper\"");
  EXPECT_EQ(ScriptErrorText("run.txt", {0, "can't read the script"}), "run.txt: can't read the script");
}

TEST(InputScript, MissingAndOversizedFiles) {
  testing::temp_folder folder;
  EXPECT_EQ(ReadInputScript(folder / "none.txt").error->message, "can't read the script");
  EXPECT_EQ(ReadInputScript(folder.path()).error->message, "can't read the script");
  testing::WriteTestFile(folder / "big.txt", std::vector<uint8_t>(kMaxScriptBytes + 1, '#'));
  EXPECT_TRUE(ReadInputScript(folder / "big.txt").error);
  testing::WriteTestFile(folder / "ok.txt", {'w', 'a', 'i', 't', ' ', '1'});
  EXPECT_FALSE(ReadInputScript(folder / "ok.txt").error);
}

TEST(CommandLine, OptionsAndErrors) {
  struct line_case {
    std::vector<std::string> args;
    bool exit;
    int status;
    std::string script;
    bool fast;
    std::string error;
  };
  const line_case cases[] = {
      {{}, false, 0, "", false, ""},
      {{"--script", "run.txt"}, false, 0, "run.txt", false, ""},
      {{"--fast", "--script", "run.txt"}, false, 0, "run.txt", true, ""},
      {{"--help", "--bogus"}, true, 0, "", false, ""},
      {{"--version"}, true, 0, "", false, ""},
      {{"--bogus"}, true, 2, "", false, "duskmarrow: unknown option \"--bogus\" (see --help)\n"},
      {{"--script"}, true, 2, "", false, "duskmarrow: --script needs FILE (see --help)\n"},
      {{"--fast"}, true, 2, "", false, "duskmarrow: --fast needs --script (see --help)\n"},
      {{"script.txt"}, true, 2, "", false, "duskmarrow: unknown option \"script.txt\" (see --help)\n"},
  };
  for (const line_case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    const command_line result = ParseCommandLine(c.args);
    EXPECT_EQ(result.exit, c.exit);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.options.script, c.script);
    EXPECT_EQ(result.options.fast, c.fast);
    EXPECT_EQ(result.error, c.error);
  }
  EXPECT_NE(ParseCommandLine({"--help"}).output.find("--script FILE"), std::string::npos);
  EXPECT_EQ(ParseCommandLine({"--version"}).output.rfind("Duskmarrow ", 0), 0u);
}

class ScriptPlayback : public ::testing::Test {
 protected:
  void SetUp() override {
    UseVirtualClock();
    ASSERT_TRUE(OpenWindow(40, 30, "script"));
    ClearInput();
  }
  void TearDown() override {
    inject::SetFrameHook({});
    AllowVsync(true);
    CloseWindow();
    ClearInput();
    UseRealClock();
  }
  // Presents frames (each a different colour) and records what the game would read at each.
  std::vector<std::string> Run(const std::string& text, int frames) {
    parsed_script script = ParseInputScript(text);
    EXPECT_FALSE(script.error);
    StartInputScript(std::move(script.commands), true);
    std::vector<std::string> seen;
    for (int frame = 1; frame <= frames; ++frame) {
      SetColor(frame * 10, 0, 0);
      FillRect(0, 0, 40, 30);
      PresentFrame(-1);
      std::string state;
      if (KeyIsDown(key::kRight) != 0) state += "R";
      if (KeyHits(key::kRight) != 0) state += "r";
      for (int c = NextTypedChar(); c != 0; c = NextTypedChar()) state += static_cast<char>(c);
      if (CloseRequested() != 0) state += "X";
      seen.push_back(state);
    }
    return seen;
  }
};

TEST_F(ScriptPlayback, EachCommandTakesItsFrames) {
  // press: down for one frame, up for the next; wait 2: two frames with nothing new.
  const std::vector<std::string> seen =
      Run("press Right\nwait 2\ndown Right\nwait 1\nup Right\ntype ok\nclose", 9);
  EXPECT_EQ(seen, (std::vector<std::string>{"Rr", "", "", "", "Rr", "R", "", "ok", "X"}));
}

TEST_F(ScriptPlayback, ShotsTakeTheFrameOnScreen) {
  testing::temp_folder folder;
  Run("wait 2\nshot " + folder / "a.png" + "\npress Right\nshot " + folder / "b.png", 6);
  // The hook after frame 1 starts the wait, so frames 2 and 3 bring nothing new and the first shot shows
  // frame 3; the press is read in frame 4 and released in frame 5, which the second shot shows.
  const auto a = LoadPngFile(folder / "a.png", 1 << 20);
  const auto b = LoadPngFile(folder / "b.png", 1 << 20);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->width, 40);
  EXPECT_EQ(a->height, 30);
  EXPECT_EQ(a->ReadPixel(5, 5), 0xFF1E0000u);
  EXPECT_EQ(b->ReadPixel(5, 5), 0xFF320000u);
}

TEST_F(ScriptPlayback, ShotsAfterOtherRecordsOfTheSameFrameShowThatFrame) {
  testing::temp_folder folder;
  Run("wait 2\ncells " + folder / "c.txt" + "\nshot " + folder / "a.png" + "\nshot " + folder / "b.png" +
          "\nwait 2\nshot " + folder / "d.png",
      8);
  // a and b both show frame 3, the frame the cells file records; d shows frame 5, not a picture left over.
  const auto a = LoadPngFile(folder / "a.png", 1 << 20);
  const auto b = LoadPngFile(folder / "b.png", 1 << 20);
  const auto d = LoadPngFile(folder / "d.png", 1 << 20);
  ASSERT_TRUE(a && b && d);
  EXPECT_EQ(a->ReadPixel(5, 5), 0xFF1E0000u);
  EXPECT_EQ(b->ReadPixel(5, 5), 0xFF1E0000u);
  EXPECT_EQ(d->ReadPixel(5, 5), 0xFF320000u);
}

TEST_F(ScriptPlayback, FastRunsOnTheVirtualClockUntilTheScriptEnds) {
  UseRealClock();
  Run("wait 3", 1);
  EXPECT_TRUE(VirtualClockInUse());
  const int before = ClockMs();
  for (int frame = 0; frame < 3; ++frame) PresentFrame(-1);
  EXPECT_FALSE(VirtualClockInUse());
  // Back on the real clock, time goes on from where the virtual clock left it.
  EXPECT_GE(ClockMs() - before, 3 * 16);
}

}  // namespace
}  // namespace dusk
