// The music list "music\audio.txt": which tracks there are, loading them, and cueing each on a channel.
#include <string_view>
#include <vector>

#include "platform/audio.h"
#include "platform/files.h"
#include "ui/audio_state.h"
#include "ui/music.h"

namespace dusk {

namespace {

bool Blank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string TrimmedLower(std::string_view line) {
  while (!line.empty() && Blank(line.front())) line.remove_prefix(1);
  while (!line.empty() && Blank(line.back())) line.remove_suffix(1);
  std::string text(line);
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The lines as the game's text reader takes them: each up to a line feed or a byte 0, carriage returns
// dropped; a last line without an end still counts, an empty end does not.
std::vector<std::string_view> Lines(std::span<const uint8_t> bytes) {
  std::vector<std::string_view> lines;
  const auto* text = reinterpret_cast<const char*>(bytes.data());
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = start;
    while (end < bytes.size() && text[end] != '\n' && text[end] != '\0') ++end;
    std::string_view line(text + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// The world of a "wm" key: its last two characters as a decimal number, blanks before it allowed, no
// digits giving 0. -1 for a number outside the world table.
int KeyWorld(const std::string& key) {
  std::string_view digits = std::string_view(key).substr(key.size() - 2);
  while (!digits.empty() && Blank(digits.front())) digits.remove_prefix(1);
  bool negative = false;
  if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  int n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') break;
    n = n * 10 + (c - '0');
  }
  if (negative) n = -n;
  return n >= 0 && n < kMusicWorlds ? n : -1;
}

bool Absolute(const std::string& path) {
  return path.starts_with("incbin::") || path.starts_with("/") || path.starts_with("\\") ||
         (path.size() > 1 && path[1] == ':');
}

}  // namespace

music_list ParseMusicList(std::span<const uint8_t> bytes) {
  music_list list;
  const std::vector<std::string_view> lines = Lines(bytes);
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string key = TrimmedLower(lines[i]);
    const bool menu = key == "menu";
    const bool world = key.starts_with("wm");
    if (!menu && !world) continue;
    if (i + 1 >= lines.size()) break;  // a key at the very end names nothing
    const std::string path = TrimmedLower(lines[++i]);
    if (menu) {
      list.menu = path;
    } else if (const int n = KeyWorld(key); n >= 0) {
      list.worlds[static_cast<size_t>(n)] = path;
    }
  }
  return list;
}

std::string MusicTrackSource(const std::string& listed) {
  if (listed.empty() || Absolute(listed) || PathKind(listed) == 1) return listed;
  const std::string beside = "music\\" + listed;
  return PathKind(beside) == 1 ? beside : listed;
}

void LoadMusic() {
  const int64_t size = FileBytes(kMusicListPath);
  if (size < 0 || size > kMaxMusicListBytes) return;
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(kMusicListPath, bytes)) return;
  const music_list list = ParseMusicList(bytes);

  // Tracks are streamed as they play, so loading one reads only its headers.
  if (list.menu) audio.menumusic = LoadStreamedSound(MusicTrackSource(*list.menu), 0);
  for (size_t n = 0; n < list.worlds.size(); ++n) {
    if (list.worlds[n]) audio.worldmusic[n] = LoadStreamedSound(MusicTrackSource(*list.worlds[n]), 1);
  }
  audio.menuchannel = audio.menumusic ? CueSound(audio.menumusic) : nullptr;
  for (size_t n = 0; n < audio.worldmusic.size(); ++n) {
    audio.worldchannel[n] = audio.worldmusic[n] ? CueSound(audio.worldmusic[n]) : nullptr;
  }
}

}  // namespace dusk
