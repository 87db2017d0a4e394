// Reading the text of level sources and world files: lines, words, numbers and the first-mistake reporter
// that gives every message its file, line and column.
#pragma once

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "worlds/level_source.h"

namespace dusk::sourcetext {

inline constexpr int kMaxNameLength = 255;

struct text_line {
  int number = 0;
  std::string_view text;  // without its line break and carriage return
};

inline std::vector<text_line> SplitLines(std::string_view text) {
  std::vector<text_line> lines;
  int number = 1;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back({number++, line});
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

inline bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

// Start and length of the line without blanks at either end.
inline std::string_view Trimmed(std::string_view line, int& column) {
  size_t start = 0;
  while (start < line.size() && IsBlank(line[start])) ++start;
  size_t end = line.size();
  while (end > start && IsBlank(line[end - 1])) --end;
  column = static_cast<int>(start) + 1;
  return line.substr(start, end - start);
}

// The words of a line with the column each starts at.
struct word {
  std::string_view text;
  int column = 0;
};

inline std::vector<word> Words(std::string_view text, int column) {
  std::vector<word> words;
  size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && IsBlank(text[at])) ++at;
    const size_t start = at;
    while (at < text.size() && !IsBlank(text[at])) ++at;
    if (at > start) words.push_back({text.substr(start, at - start), column + static_cast<int>(start)});
  }
  return words;
}

inline std::optional<int> Number(std::string_view text, int low, int high) {
  int value = 0;
  const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (problem != std::errc() || end != text.data() + text.size() || value < low || value > high)
    return std::nullopt;
  return value;
}

inline std::string Quote(std::string_view text) {
  return "'" + std::string(text) + "'";
}

inline bool PrintableName(std::string_view name) {
  return std::all_of(name.begin(), name.end(), [](char c) { return c >= 32 && c <= 126; });
}

// Reports the first mistake only: every function returns false once error is filled in.
class reporter {
 public:
  reporter(const std::string& file, source_error& error) : file_(file), error_(error) {}
  bool fail(int line, int column, std::string message) {
    error_ = {file_, line, column, std::move(message)};
    return false;
  }

 private:
  const std::string& file_;
  source_error& error_;
};

inline std::optional<std::string> ReadText(const std::string& path, source_error& error) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) {
    error = {path, 0, 0, "can't read the file"};
    return std::nullopt;
  }
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace dusk::sourcetext
