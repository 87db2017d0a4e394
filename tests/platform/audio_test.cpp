// Sounds and channels on OpenAL Soft's null device: loading, the channel states, reclaiming finished channels.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <thread>

#include "platform/audio.h"
#include "platform/embedded.h"
#include "tests/platform/support/ogg_fixture.h"

namespace dusk {
namespace {

// Waits, in real time, until the condition holds; the null device plays in real time.
bool WaitFor(const std::function<bool()>& condition, int limit_ms = 3000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return condition();
}

class AudioTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    short_tone_ = new std::vector<uint8_t>(testing::EncodeSweep(441, 1, 44100));   // 10 ms
    long_tone_ = new std::vector<uint8_t>(testing::EncodeSweep(88200, 2, 44100));  // 2 s, stereo
  }
  static void TearDownTestSuite() {
    delete short_tone_;
    delete long_tone_;
  }
  void SetUp() override {
    ASSERT_FALSE(short_tone_->empty());
    RegisterEmbedded("sounds\\short.ogg", short_tone_->data(), short_tone_->size());
    RegisterEmbedded("sounds\\long.ogg", long_tone_->data(), long_tone_->size());
    ASSERT_TRUE(OpenAudio()) << "the null device should exist (ALSOFT_DRIVERS=null)";
  }
  void TearDown() override {
    CloseAudio();
    ClearEmbedded();
  }
  static std::vector<uint8_t>* short_tone_;
  static std::vector<uint8_t>* long_tone_;
};

std::vector<uint8_t>* AudioTest::short_tone_ = nullptr;
std::vector<uint8_t>* AudioTest::long_tone_ = nullptr;

TEST_F(AudioTest, LoadsFromEmbeddedDataAndFromAFile) {
  EXPECT_NE(LoadSound("incbin::sounds\\short.ogg", 0), nullptr);
  EXPECT_NE(LoadSound("incbin::sounds/long.ogg", 1), nullptr);
  const std::string path = ::testing::TempDir() + "dusk_tone.ogg";
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(long_tone_->data(), 1, long_tone_->size(), file);
  std::fclose(file);
  EXPECT_NE(LoadSound(path, 0), nullptr);
  std::remove(path.c_str());
}

TEST_F(AudioTest, UnreadableOrUndecodableSourcesGiveNone) {
  std::vector<uint8_t> garbage(4000, 0x55);
  std::vector<uint8_t> headers_only(*long_tone_);
  headers_only.resize(200);
  std::vector<uint8_t> flipped(*long_tone_);
  for (size_t i = 0; i < flipped.size(); i += 7) flipped[i] ^= 0xA5;
  RegisterEmbedded("garbage.ogg", garbage.data(), garbage.size());
  RegisterEmbedded("headers.ogg", headers_only.data(), headers_only.size());
  RegisterEmbedded("flipped.ogg", flipped.data(), flipped.size());
  for (const char* source : {"no such file.ogg", "incbin::not registered", "incbin::garbage.ogg",
                             "incbin::headers.ogg", "incbin::flipped.ogg"}) {
    EXPECT_EQ(LoadSound(source, 0), nullptr) << source;
  }
  // A file cut short keeps the samples before the cut, or none; either way nothing breaks.
  std::vector<uint8_t> truncated(*long_tone_);
  truncated.resize(truncated.size() * 2 / 3);
  RegisterEmbedded("truncated.ogg", truncated.data(), truncated.size());
  sound_ptr partial = LoadSound("incbin::truncated.ogg", 0);
  if (partial) {
    EXPECT_EQ(ChannelPlaying(PlaySound(partial)), 1);
  }
}

TEST_F(AudioTest, CuedChannelWaitsForResumeAndStopIsForGood) {
  sound_ptr music = LoadSound("incbin::sounds\\long.ogg", 1);
  ASSERT_NE(music, nullptr);
  channel_ptr channel = CueSound(music);
  ASSERT_NE(channel, nullptr);
  EXPECT_EQ(ChannelPlaying(channel), 0);  // prepared
  ResumeChannel(channel);
  EXPECT_EQ(ChannelPlaying(channel), 1);
  ResumeChannel(channel);  // already playing: nothing changes
  EXPECT_EQ(ChannelPlaying(channel), 1);
  StopChannel(channel);
  EXPECT_EQ(ChannelPlaying(channel), 0);
  ResumeChannel(channel);  // stopped for good
  EXPECT_EQ(ChannelPlaying(channel), 0);
  StopChannel(channel);
  EXPECT_EQ(ChannelPlaying(channel), 0);
}

TEST_F(AudioTest, OverlappingPlaysOfOneSoundBothPlay) {
  sound_ptr effect = LoadSound("incbin::sounds\\long.ogg", 0);
  ASSERT_NE(effect, nullptr);
  channel_ptr first = PlaySound(effect);
  channel_ptr second = PlaySound(effect);
  ASSERT_TRUE(first && second);
  EXPECT_NE(first, second);
  EXPECT_EQ(ChannelPlaying(first), 1);
  EXPECT_EQ(ChannelPlaying(second), 1);
  StopChannel(first);
  EXPECT_EQ(ChannelPlaying(second), 1);
}

TEST_F(AudioTest, OnceSoundEndsAndLoopingSoundGoesOn) {
  sound_ptr once = LoadSound("incbin::sounds\\short.ogg", 0);
  sound_ptr looping = LoadSound("incbin::sounds\\short.ogg", 1);
  ASSERT_TRUE(once && looping);
  channel_ptr ending = PlaySound(once);
  channel_ptr loop = CueSound(looping);
  ResumeChannel(loop);
  EXPECT_TRUE(WaitFor([&] { return ChannelPlaying(ending) == 0; })) << "a 10 ms sound should end";
  ResumeChannel(ending);  // an ended sound does not start again
  EXPECT_EQ(ChannelPlaying(ending), 0);
  // The loop has gone round many times by now and still plays.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(ChannelPlaying(loop), 1);
  StopChannel(loop);
  EXPECT_EQ(ChannelPlaying(loop), 0);
}

TEST_F(AudioTest, ThousandsOfPlaysLeaveNothingBehind) {
  sound_ptr effect = LoadSound("incbin::sounds\\short.ogg", 0);
  ASSERT_NE(effect, nullptr);
  // Far more plays than the device has sources: finished ones are reclaimed, the oldest give way.
  for (int i = 0; i < 3000; ++i) {
    channel_ptr channel = PlaySound(effect);
    ASSERT_NE(channel, nullptr) << "play " << i;
  }
  EXPECT_LE(ChannelsInUse(), 256);
  EXPECT_TRUE(WaitFor([] { return ChannelsInUse() == 0; })) << ChannelsInUse() << " channels still held";
  EXPECT_EQ(effect.use_count(), 1);  // no channel keeps the sound
  // A channel the game keeps is the game's: it stays until dropped.
  channel_ptr kept = PlaySound(effect);
  EXPECT_TRUE(WaitFor([&] { return ChannelPlaying(kept) == 0; }));
  EXPECT_EQ(ChannelsInUse(), 1);
  kept.reset();
  EXPECT_EQ(ChannelsInUse(), 0);
}

TEST_F(AudioTest, ClosingTheDeviceSilencesWhatTheGameStillHolds) {
  sound_ptr music = LoadSound("incbin::sounds\\long.ogg", 1);
  ASSERT_NE(music, nullptr);
  channel_ptr channel = PlaySound(music);
  CloseAudio();
  EXPECT_EQ(ChannelPlaying(channel), 0);
  ResumeChannel(channel);
  StopChannel(channel);
  EXPECT_EQ(PlaySound(music), nullptr);
  EXPECT_EQ(ChannelsInUse(), 0);
}

TEST(AudioWithoutDevice, LoadGivesNoneAndChannelsDoNothing) {
  std::vector<uint8_t> tone = testing::EncodeSweep(441, 1, 44100);
  RegisterEmbedded("tone.ogg", tone.data(), tone.size());
  EXPECT_FALSE(OpenAudio("no such device"));
  EXPECT_EQ(LoadSound("incbin::tone.ogg", 0), nullptr);
  EXPECT_EQ(PlaySound(nullptr), nullptr);
  EXPECT_EQ(CueSound(nullptr), nullptr);
  ResumeChannel(nullptr);
  StopChannel(nullptr);
  EXPECT_EQ(ChannelPlaying(nullptr), 0);
  ClearEmbedded();
}

}  // namespace
}  // namespace dusk
