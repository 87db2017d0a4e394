// The scripts' "cells" command in the real game: the frame on screen written as text, cell by cell.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/app/support/game_run.h"

namespace dusk {
namespace {

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(CellsScript, WritesTheLevelAsThePlayerSeesIt) {
  testing::game_folder folder;
  std::ofstream(folder / "run.txt", std::ios::binary) << "wait 40\ncells cells.txt\nclose\nwait 5\nclose\n";
  const testing::game_run run = testing::RunGame(folder, "run.txt", 120, "--level 1-1");
  ASSERT_EQ(run.status, 0) << run.errors;

  const std::vector<std::string> lines = Lines(folder / "cells.txt");
  ASSERT_EQ(lines.size(), 15u + 1 + 15 + 1 + 15);
  // The hud's labels and the level's number, at their places in the first five columns.
  EXPECT_TRUE(lines[2].starts_with("LEVEL")) << lines[2];
  EXPECT_TRUE(lines[3].starts_with(" 1-1 ")) << lines[3];
  EXPECT_TRUE(lines[5].starts_with("MOVES")) << lines[5];
  // The level's name stands on the banner in the top row, right-aligned.
  EXPECT_TRUE(lines[0].ends_with("First Light")) << lines[0];
  EXPECT_EQ(lines[15], "foreground");
  EXPECT_EQ(lines[31], "background");
  // Colours: the hud's labels in colour 0 on the list background 20 (14 in hexadecimal).
  EXPECT_TRUE(lines[16 + 2].starts_with("00 00 00 00 00 ")) << lines[18];
  EXPECT_TRUE(lines[32 + 2].starts_with("14 14 14 14 14 ")) << lines[34];
  for (int row = 16; row < 31; ++row) EXPECT_EQ(lines[static_cast<size_t>(row)].size(), 20u * 3 - 1);
}

}  // namespace
}  // namespace dusk
