// Ending the program: exit statuses and exactly what reaches the two output streams.
#include "platform/program.h"

#include <gtest/gtest.h>

namespace dusk {
namespace {

using ProgramDeathTest = ::testing::Test;

TEST_F(ProgramDeathTest, FatalErrorWritesTheMessageAloneAndExitsWith255) {
  EXPECT_EXIT(FatalError("The save file has been tampered with!"), ::testing::ExitedWithCode(255),
              "^The save file has been tampered with!$");
  EXPECT_EXIT(FatalError("two\nlines"), ::testing::ExitedWithCode(255), "^two\nlines$");
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
