// The music the build composes into game/music/: the list as the game reads it, every track read through
// the game's own streaming reader, the tool's repeatability, true peaks, matching loudness and seamless world
// loops.
#include "ui/music.h"

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
#include "platform/vorbis_stream.h"

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

// The worlds in the game's world list, in order: lines that are neither blank nor comments.
int WorldCount() {
  int count = 0;
  for (const std::string& line : Lines(Text(kSource + "/worlds/worlds.txt"))) {
    const std::string t = Trimmed(line);
    if (!t.empty() && t[0] != ';') ++count;
  }
  return count;
}

// A sound effect, decoded whole as the game decodes its effects.
decoded_sound Decode(const std::string& path) {
  std::vector<uint8_t> bytes;
  decoded_sound sound;
  EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
  EXPECT_TRUE(DecodeVorbis(bytes.data(), bytes.size(), sound)) << path;
  return sound;
}

// A music track, read to its end through the streaming reader the game plays music with.
decoded_sound StreamTrack(const std::string& path) {
  decoded_sound sound;
  const std::unique_ptr<vorbis_stream> stream = vorbis_stream::Open(path, false);
  EXPECT_NE(stream, nullptr) << path;
  if (!stream) return sound;
  sound.channels = stream->info().channels;
  sound.sample_rate = stream->info().sample_rate;
  EXPECT_TRUE(stream->info().whole) << path;
  std::vector<int16_t> buffer(static_cast<size_t>(4096 * sound.channels));
  for (;;) {
    const size_t got = stream->Read(buffer.data(), 4096);
    sound.samples.insert(
        sound.samples.end(), buffer.begin(),
        buffer.begin() + static_cast<std::ptrdiff_t>(got * static_cast<size_t>(sound.channels)));
    if (got < 4096) break;
  }
  EXPECT_FALSE(stream->failed()) << path;
  return sound;
}

std::string TrackPath(const std::string& name) {
  return kGame + "music/" + name + ".ogg";
}

music_list GameMusicList() {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadWholeFile(kGame + "music/audio.txt", bytes));
  return ParseMusicList(bytes);
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

// The list as the game reads it, from the game's folder as the game runs there.
class MusicList : public testing::Test {
 protected:
  void SetUp() override {
    before_ = std::filesystem::current_path();
    std::filesystem::current_path(kGame);
  }
  void TearDown() override { std::filesystem::current_path(before_); }

 private:
  std::filesystem::path before_;
};

TEST_F(MusicList, NamesTheMenuAndEveryWorldOfTheWorldList) {
  const music_list list = GameMusicList();
  ASSERT_TRUE(list.menu);
  EXPECT_EQ(*list.menu, "music\\menu.ogg");
  EXPECT_EQ(PathKind(MusicTrackSource(*list.menu)), 1);
  const int worlds = WorldCount();
  ASSERT_GT(worlds, 0);
  ASSERT_LE(worlds, kMusicWorlds);
  for (int w = 0; w < worlds; ++w) {
    const auto& path = list.worlds[static_cast<size_t>(w)];
    ASSERT_TRUE(path) << "world " << w << " has no track";
    EXPECT_EQ(PathKind(MusicTrackSource(*path)), 1) << *path;
  }
}

TEST_F(MusicList, NamesEveryTrackTheToolMakes) {
  const music_list list = GameMusicList();
  std::vector<std::string> named;
  if (list.menu) named.push_back(*list.menu);
  for (const auto& path : list.worlds)
    if (path) named.push_back(*path);
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

// All the music together stays small enough to ship with the game.
TEST_F(MusicList, AllTracksTogetherTakeAtMostEightMegabytes) {
  int64_t total = 0;
  for (const std::string& track : kTracks) {
    const int64_t bytes = FileBytes(TrackPath(track));
    EXPECT_GT(bytes, 0) << track;
    total += bytes;
  }
  std::printf("music: %lld bytes in all\n", static_cast<long long>(total));
  EXPECT_LE(total, 8'000'000);
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
  EXPECT_TRUE(ReadWholeFile(TrackPath("wm08"), built));
  EXPECT_FALSE(fresh.empty());
  EXPECT_TRUE(fresh == built) << "make_music wrote different bytes for the same track";
  std::filesystem::remove_all(folder);
}

class Track : public testing::TestWithParam<std::string> {};

TEST_P(Track, StreamsThroughTheGamesReaderAsStereoUnderTheCeiling) {
  const std::string name = GetParam();
  const decoded_sound sound = StreamTrack(TrackPath(name));
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
  const decoded_sound sound = StreamTrack(TrackPath(name));
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

// Played looping, the game's reader goes on from the track's first frame straight after its last.
TEST_P(Track, LoopsInTheGamesReader) {
  const std::string name = GetParam();
  if (name == "menu") GTEST_SKIP() << "the menu theme does not loop";
  const decoded_sound once = StreamTrack(TrackPath(name));
  const size_t frames = once.samples.size() / 2;
  const std::unique_ptr<vorbis_stream> stream = vorbis_stream::Open(TrackPath(name), true);
  ASSERT_NE(stream, nullptr);
  std::vector<int16_t> twice((frames + 4096) * 2);
  size_t read = 0;
  while (read < frames + 4096) {
    const size_t got = stream->Read(twice.data() + read * 2, std::min<size_t>(4096, frames + 4096 - read));
    ASSERT_GT(got, 0u);
    read += got;
  }
  EXPECT_TRUE(std::equal(once.samples.begin(), once.samples.end(), twice.begin()));
  EXPECT_TRUE(std::equal(once.samples.begin(), once.samples.begin() + 4096 * 2,
                         twice.begin() + static_cast<std::ptrdiff_t>(frames * 2)));
}

INSTANTIATE_TEST_SUITE_P(Music, Track, testing::ValuesIn(kTracks),
                         [](const testing::TestParamInfo<std::string>& param) { return param.param; });

// Every track sits at the same integrated loudness (within one loudness unit of every other), and the
// sound effects, short as they are, are at most a little louder than the music at their loudest moment.
TEST(MusicLoudness, TracksMatchAndTheEffectsSitNearThem) {
  double quietest = 1e9, loudest = -1e9;
  for (const std::string& name : kTracks) {
    const loudness l = Measure(StreamTrack(TrackPath(name)), false);
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
