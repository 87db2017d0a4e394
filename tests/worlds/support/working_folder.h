// Runs a test inside a fresh temporary folder, since the game's files are named relative to the working
// directory ("leveldata\...", "save.dat").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/platform/support/temp_folder.h"

namespace dusk::testing {

class working_folder {
 public:
  working_folder();
  ~working_folder();
  working_folder(const working_folder&) = delete;
  working_folder& operator=(const working_folder&) = delete;

  const std::string& path() const { return folder_.path(); }

 private:
  temp_folder folder_;
  std::string previous_;
};

// Text files as authors write them: lines joined with "\r\n".
void WriteTextFile(const std::string& path, const std::vector<std::string>& lines);
std::string BytesAsText(const std::vector<uint8_t>& bytes);  // "28 00 2C 01", for readable failures

}  // namespace dusk::testing
