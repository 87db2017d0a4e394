// The music the build composes into game/music/: the list the game reads, every track decoded through the
// game's own loader, the tool's repeatability, true peaks, matching loudness and seamless world loops.
#include <ebur128.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/vorbis_decode.h"

namespace dusk {
namespace {

const std::string kSource = DUSK_SOURCE_DIR;
const std::string kGame = kSource + "/game/";
const std::vector<std::string> kTracks = {"menu", "wm00", "wm01", "wm02", "wm03", "wm04",
                                          "wm05", "wm06", "wm07", "wm08", "wm09"};

std::string Text(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return {};
  return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::string Trimmed(const std::string& line) {
  const size_t first = line.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

// The music list read by the game's rules: trimmed lower-case lines; "menu" or a "wm" key, then its path.
struct music_list {
  std::string menu;
  std::map<int, std::string> worlds;
};

music_list ReadMusicList(const std::string& text) {
  music_list list;
  const std::vector<std::string> lines = Lines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string key = Trimmed(lines[i]);
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
    const bool is_menu = key == "menu";
    const bool is_world = key.size() >= 2 && key.compare(0, 2, "wm") == 0;
    if (!is_menu && !is_world) continue;
    if (i + 1 >= lines.size()) break;
    std::string path = Trimmed(lines[++i]);
    std::transform(path.begin(), path.end(), path.begin(), [](unsigned char c) { return std::tolower(c); });
    if (is_menu) {
      list.menu = path;
    } else {
      const std::string digits = key.substr(key.size() - 2);
      list.worlds[std::atoi(digits.c_str())] = path;
    }
  }
  return list;
}

// The worlds in the game's world list, in order: lines that are neither blank nor comments.
int WorldCount() {
  int count = 0;
  for (const std::string& line : Lines(Text(kSource + "/worlds/worlds.txt"))) {
    const std::string t = Trimmed(line);
    if (!t.empty() && t[0] != ';') ++count;
  }
  return count;
}

decoded_sound Decode(const std::string& path) {
  std::vector<uint8_t> bytes;
  decoded_sound sound;
  EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
  EXPECT_TRUE(DecodeVorbis(bytes.data(), bytes.size(), sound)) << path;
  return sound;
}

struct loudness {
  double integrated = 0;        // LUFS
  double true_peak = -200;      // dBFS
  double max_momentary = -200;  // LUFS, the loudest 400 ms
};

loudness Measure(const decoded_sound& sound, bool peaks) {
  loudness result;
  const int mode = EBUR128_MODE_I | EBUR128_MODE_M | (peaks ? EBUR128_MODE_TRUE_PEAK : 0);
  std::unique_ptr<ebur128_state, void (*)(ebur128_state*)> meter(
      ebur128_init(static_cast<unsigned>(sound.channels), static_cast<unsigned long>(sound.sample_rate),
                   mode),
      [](ebur128_state* s) { ebur128_destroy(&s); });
  const size_t frames = sound.samples.size() / static_cast<size_t>(sound.channels);
  const size_t hop = static_cast<size_t>(sound.sample_rate) / 10;
  for (size_t at = 0; at < frames; at += hop) {
    const size_t count = std::min(hop, frames - at);
    ebur128_add_frames_short(meter.get(), sound.samples.data() + at * static_cast<size_t>(sound.channels),
                             count);
    double momentary = 0;
    if (ebur128_loudness_momentary(meter.get(), &momentary) == EBUR128_SUCCESS && std::isfinite(momentary))
      result.max_momentary = std::max(result.max_momentary, momentary);
  }
  ebur128_loudness_global(meter.get(), &result.integrated);
  if (peaks) {
    double peak = 0;
    for (unsigned c = 0; c < static_cast<unsigned>(sound.channels); ++c) {
      double p = 0;
      ebur128_true_peak(meter.get(), c, &p);
      peak = std::max(peak, p);
    }
    result.true_peak = 20.0 * std::log10(std::max(peak, 1e-10));
  }
  return result;
}

TEST(MusicList, NamesTheMenuAndEveryWorldOfTheWorldList) {
  const music_list list = ReadMusicList(Text(kGame + "music/audio.txt"));
  EXPECT_EQ(list.menu, "music\\menu.ogg");
  const int worlds = WorldCount();
  ASSERT_GT(worlds, 0);
  for (int w = 0; w < worlds; ++w) EXPECT_TRUE(list.worlds.count(w)) << "world " << w << " has no track";
  // A path is resolved as the list's own path is: from the game's folder.
  for (const auto& [world, path] : list.worlds) {
    EXPECT_GE(world, 0);
    EXPECT_LT(world, 16);
    EXPECT_EQ(PathKind(kGame + NativePath(path)), 1) << path;
  }
  EXPECT_EQ(PathKind(kGame + NativePath(list.menu)), 1);
}

TEST(MusicList, NamesEveryTrackTheToolMakes) {
  const music_list list = ReadMusicList(Text(kGame + "music/audio.txt"));
  std::vector<std::string> named = {list.menu};
  for (const auto& [world, path] : list.worlds) named.push_back(path);
  std::vector<std::string> made;
  for (const std::string& track : kTracks) made.push_back("music\\" + track + ".ogg");
  EXPECT_EQ(named, made);

  std::string listed;
  std::FILE* tool = popen((std::string(DUSK_MAKE_MUSIC) + " --list").c_str(), "r");
  ASSERT_NE(tool, nullptr);
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, tool)) listed += buffer;
  EXPECT_EQ(pclose(tool), 0);
  std::string expected;
  for (const std::string& track : kTracks) expected += track + "\n";
  EXPECT_EQ(listed, expected);
}

// The same run writes the same bytes: a fresh render of one track equals the one the build made.
TEST(MakeMusic, WritesTheSameBytesEveryRun) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("dusk_music_" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string command = std::string(DUSK_MAKE_MUSIC) + " " + folder.string() + " wm08 > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::vector<uint8_t> fresh, built;
  EXPECT_TRUE(ReadWholeFile((folder / "wm08.ogg").string(), fresh));
  EXPECT_TRUE(ReadWholeFile(kGame + "music/wm08.ogg", built));
  EXPECT_FALSE(fresh.empty());
  EXPECT_TRUE(fresh == built) << "make_music wrote different bytes for the same track";
  std::filesystem::remove_all(folder);
}

class Track : public testing::TestWithParam<std::string> {};

TEST_P(Track, DecodesThroughTheGamesLoaderAsStereoUnderTheCeiling) {
  const std::string name = GetParam();
  const decoded_sound sound = Decode(kGame + "music/" + name + ".ogg");
  ASSERT_EQ(sound.channels, 2);
  ASSERT_EQ(sound.sample_rate, 44100);
  const double seconds = static_cast<double>(sound.samples.size() / 2) / 44100.0;
  if (name == "menu") {
    EXPECT_GE(seconds, 60.0);
    EXPECT_LE(seconds, 90.0);
  } else {
    EXPECT_GE(seconds, 45.0);
    EXPECT_LE(seconds, 120.0);
  }
  const loudness l = Measure(sound, true);
  EXPECT_LE(l.true_peak, -1.0) << name;
  std::printf("%s: %.1f s, %.2f LUFS, true peak %.2f dBFS\n", name.c_str(), seconds, l.integrated,
              l.true_peak);
}

// A world track plays over and over: the step from its last sample to its first is no bigger than the
// average step inside it (and far from its large ones).
TEST_P(Track, LoopsWithoutASeam) {
  const std::string name = GetParam();
  const decoded_sound sound = Decode(kGame + "music/" + name + ".ogg");
  ASSERT_EQ(sound.channels, 2);
  const size_t frames = sound.samples.size() / 2;
  ASSERT_GT(frames, 44100u);
  for (size_t c = 0; c < 2; ++c) {
    const auto at = [&](size_t i) { return static_cast<int>(sound.samples[(i % frames) * 2 + c]); };
    std::vector<int> steps(frames - 1);
    for (size_t i = 0; i + 1 < frames; ++i) steps[i] = std::abs(at(i + 1) - at(i));
    std::vector<int> sorted = steps;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(sorted.size() * 99 / 100),
                     sorted.end());
    const int usual = sorted[sorted.size() * 99 / 100];  // 99 steps in 100 are no bigger
    const int seam = std::abs(at(0) - at(frames - 1));
    double mean = 0;  // the average step
    for (int step : steps) mean += step;
    mean /= static_cast<double>(steps.size());
    std::printf("%s channel %zu: seam step %d, mean step %.0f, 99th percentile step %d\n", name.c_str(), c,
                seam, mean, usual);
    if (name == "menu") continue;  // the menu theme plays once and ends in silence
    EXPECT_LE(seam, mean) << name << " channel " << c;
    EXPECT_LE(seam, usual) << name << " channel " << c;
  }
  if (name == "menu") {
    // It ends on nothing at all rather than being cut off.
    EXPECT_LE(std::abs(static_cast<int>(sound.samples[sound.samples.size() - 1])), 2);
    EXPECT_LE(std::abs(static_cast<int>(sound.samples[sound.samples.size() - 2])), 2);
  }
}

INSTANTIATE_TEST_SUITE_P(Music, Track, testing::ValuesIn(kTracks),
                         [](const testing::TestParamInfo<std::string>& param) { return param.param; });

// Every track sits at the same integrated loudness (within one loudness unit of every other), and the
// sound effects, short as they are, are at most a little louder than the music at their loudest moment.
TEST(MusicLoudness, TracksMatchAndTheEffectsSitNearThem) {
  double quietest = 1e9, loudest = -1e9;
  for (const std::string& name : kTracks) {
    const loudness l = Measure(Decode(kGame + "music/" + name + ".ogg"), false);
    quietest = std::min(quietest, l.integrated);
    loudest = std::max(loudest, l.integrated);
  }
  EXPECT_LE(loudest - quietest, 1.0);
  std::printf("music: integrated loudness %.2f to %.2f LUFS\n", quietest, loudest);
  for (const char* effect : {"bip", "slide", "sweep", "whip", "phase"}) {
    const decoded_sound sound = Decode(kSource + "/assets/sounds/" + effect + ".ogg");
    const loudness l = Measure(sound, false);
    std::printf("effect %s: loudest 400 ms at %.2f LUFS\n", effect, l.max_momentary);
    EXPECT_LE(l.max_momentary, loudest + 3.0) << effect;
  }
}

}  // namespace
}  // namespace dusk
