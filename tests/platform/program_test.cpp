// Ending the program: exit statuses and exactly what reaches the two output streams.
#include "platform/program.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace dusk {
namespace {

using ProgramDeathTest = ::testing::Test;

TEST_F(ProgramDeathTest, FatalErrorWritesTheMessageAloneAndExitsWith255) {
  EXPECT_EXIT(FatalError("The save file has been tampered with!"), ::testing::ExitedWithCode(255),
              "^The save file has been tampered with!$");
  EXPECT_EXIT(FatalError("two\nlines"), ::testing::ExitedWithCode(255), "^two\nlines$");
}

// A player's game shows the message in a box too, but only when there is a display: headless, or with no
// display server at all, nothing may wait for a box nobody can close.
TEST_F(ProgramDeathTest, FatalErrorWithoutADisplayEndsAtOnce) {
  EXPECT_EXIT(
      {
        unsetenv("SDL_VIDEODRIVER");
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        FatalError("Failed to read graphics\\graphics.txt");
      },
      ::testing::ExitedWithCode(255), "^Failed to read graphics.graphics.txt$");
  EXPECT_EXIT(
      {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        FatalError("x");
      },
      ::testing::ExitedWithCode(255), "^x$");
}

TEST(ProgramTest, EndProgramCallsTheTestingHandlerFirst) {
  SetEndProgramHandlerForTesting([] { throw 7; });
  EXPECT_THROW(EndProgram(), int);
  SetEndProgramHandlerForTesting(nullptr);
}

TEST_F(ProgramDeathTest, EndProgramExitsWithZero) {
  EXPECT_EXIT(EndProgram(), ::testing::ExitedWithCode(0), "^$");
}

TEST(ProgramTest, PrintLineAddsOneLineEnd) {
  ::testing::internal::CaptureStdout();
  PrintLine("Uncompressed: 900 bytes");
  PrintLine("");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Uncompressed: 900 bytes\n\n");
}

}  // namespace
}  // namespace dusk
