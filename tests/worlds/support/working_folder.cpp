// Runs a test inside a fresh temporary folder.
#include "tests/worlds/support/working_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace dusk::testing {

working_folder::working_folder() {
  std::error_code error;
  previous_ = std::filesystem::current_path(error).string();
  std::filesystem::current_path(folder_.path(), error);
  if (error) ADD_FAILURE() << "can't enter " << folder_.path();
}

working_folder::~working_folder() {
  std::error_code error;
  std::filesystem::current_path(previous_, error);
}

void WriteTextFile(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  WriteTestFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string BytesAsText(const std::vector<uint8_t>& bytes) {
  std::string text;
  char hex[4];
  for (uint8_t b : bytes) {
    std::snprintf(hex, sizeof hex, "%02X", b);
    if (!text.empty()) text += ' ';
    text += hex;
  }
  return text;
}

}  // namespace dusk::testing
