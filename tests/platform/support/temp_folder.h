// A fresh folder for a test's files, removed with everything in it when the test ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dusk::testing {

class temp_folder {
 public:
  temp_folder();
  ~temp_folder();
  temp_folder(const temp_folder&) = delete;
  temp_folder& operator=(const temp_folder&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name.
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Small file helpers that go straight to the operating system, so tests don't check the code with itself.
void WriteTestFile(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadTestFile(const std::string& path);  // empty when missing
bool TestFileExists(const std::string& path);

}  // namespace dusk::testing
