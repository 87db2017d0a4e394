// A fresh folder for a test's files.
#include "tests/platform/support/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace dusk::testing {

temp_folder::temp_folder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "dusk-test-XXXXXX").string();
  char* made = ::mkdtemp(pattern.data());
  if (made == nullptr) ADD_FAILURE() << "can't make a temporary folder";
  path_ = pattern;
}

temp_folder::~temp_folder() {
  std::error_code ignored;
  // Tests may have taken write permission away from folders inside; give it back so removal works.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored)) ::chmod(it->path().c_str(), 0755);
  }
  std::filesystem::remove_all(path_, ignored);
}

void WriteTestFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) ADD_FAILURE() << "can't write " << path;
}

std::vector<uint8_t> ReadTestFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool TestFileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

}  // namespace dusk::testing
