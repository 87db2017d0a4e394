// The --folder option, which chooses where the game keeps what it writes.
#include <gtest/gtest.h>

#include "app/command_line.h"

namespace dusk {
namespace {

TEST(CommandLine, FolderOption) {
  EXPECT_EQ(ParseCommandLine({"--folder", "/tmp/p"}).options.folder, "/tmp/p");
  EXPECT_EQ(ParseCommandLine({"--folder", "saves", "--script", "s.txt"}).options.folder, "saves");
  const command_line missing = ParseCommandLine({"--folder"});
  EXPECT_EQ(missing.status, kUsageStatus);
  EXPECT_EQ(missing.error, "duskmarrow: --folder needs DIR (see --help)\n");
  const command_line empty = ParseCommandLine({"--folder", ""});
  EXPECT_EQ(empty.status, kUsageStatus);
  EXPECT_EQ(empty.error, "duskmarrow: --folder needs a folder name (see --help)\n");
  EXPECT_NE(ParseCommandLine({"--help"}).output.find("--folder DIR"), std::string::npos);
}

}  // namespace
}  // namespace dusk
