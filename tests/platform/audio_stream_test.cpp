// Streamed music tracks: the decoder read piece by piece and across its loop seam sample for sample, files
// cut short or undecodable, and streamed channels on OpenAL Soft's null device.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "platform/embedded.h"
#include "platform/vorbis_decode.h"
#include "platform/vorbis_stream.h"
#include "tests/platform/support/ogg_fixture.h"
#include "tests/platform/support/temp_folder.h"

namespace dusk {
namespace {

bool WaitFor(const std::function<bool()>& condition, int limit_ms = 3000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return condition();
}

class TrackStream : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    mono_ = new std::vector<uint8_t>(testing::EncodeSweep(30000, 1, 44100));
    stereo_ = new std::vector<uint8_t>(testing::EncodeSweep(22050, 2, 22050));
    long_ = new std::vector<uint8_t>(testing::EncodeSweep(44100 * 8, 2, 44100));
  }
  static void TearDownTestSuite() {
    delete mono_;
    delete stereo_;
    delete long_;
  }
  void SetUp() override {
    ASSERT_FALSE(mono_->empty());
    RegisterEmbedded("music\\mono.ogg", mono_->data(), mono_->size());
    RegisterEmbedded("music\\stereo.ogg", stereo_->data(), stereo_->size());
  }
  void TearDown() override { ClearEmbedded(); }

  static decoded_sound Whole(const std::vector<uint8_t>& bytes) {
    decoded_sound decoded;
    EXPECT_TRUE(DecodeVorbis(bytes.data(), bytes.size(), decoded));
    return decoded;
  }
  // Everything the stream gives, up to limit frames, read in pieces of the given size.
  static std::vector<int16_t> ReadAll(vorbis_stream& stream, size_t piece, size_t limit) {
    std::vector<int16_t> all;
    std::vector<int16_t> buffer(piece * static_cast<size_t>(stream.info().channels));
    while (all.size() / static_cast<size_t>(stream.info().channels) < limit) {
      const size_t got = stream.Read(buffer.data(), piece);
      all.insert(all.end(), buffer.begin(), buffer.begin() + static_cast<long>(got) * stream.info().channels);
      if (got < piece) break;
    }
    return all;
  }

  static std::vector<uint8_t>* mono_;
  static std::vector<uint8_t>* stereo_;
  static std::vector<uint8_t>* long_;  // 8 s: long enough that a cut lands in the sound, not the headers
};

std::vector<uint8_t>* TrackStream::mono_ = nullptr;
std::vector<uint8_t>* TrackStream::stereo_ = nullptr;
std::vector<uint8_t>* TrackStream::long_ = nullptr;

TEST_F(TrackStream, PlaysOnceExactlyAsTheWholeDecode) {
  for (const char* name : {"incbin::music\\mono.ogg", "incbin::music/stereo.ogg"}) {
    SCOPED_TRACE(name);
    const decoded_sound whole =
        Whole(std::string(name).find("mono") != std::string::npos ? *mono_ : *stereo_);
    auto stream = vorbis_stream::Open(name, false);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->info().channels, whole.channels);
    EXPECT_EQ(stream->info().sample_rate, whole.sample_rate);
    EXPECT_TRUE(stream->info().whole);
    EXPECT_EQ(ReadAll(*stream, 1000, 1'000'000), whole.samples);
    EXPECT_TRUE(stream->ended());
    EXPECT_FALSE(stream->failed());
  }
}

// The last sample of a looping track is followed by its first, read in pieces that straddle the seam.
TEST_F(TrackStream, LoopsWithoutAGapAcrossItsSeam) {
  const decoded_sound whole = Whole(*stereo_);
  const size_t length = whole.samples.size() / 2;
  auto stream = vorbis_stream::Open("incbin::music\\stereo.ogg", true);
  ASSERT_TRUE(stream);
  const std::vector<int16_t> read = ReadAll(*stream, 777, length * 5 / 2);
  ASSERT_GE(read.size(), length * 5);
  for (size_t i = 0; i < read.size(); ++i) {
    ASSERT_EQ(read[i], whole.samples[i % whole.samples.size()])
        << "frame " << i / 2 << " of a track of " << length;
  }
  EXPECT_FALSE(stream->ended());
}

TEST_F(TrackStream, FromAFileOnDisk) {
  testing::temp_folder folder;
  testing::WriteTestFile(folder / "track.ogg", *mono_);
  auto stream = vorbis_stream::Open(folder / "track.ogg", false);
  ASSERT_TRUE(stream);
  EXPECT_EQ(ReadAll(*stream, 4096, 1'000'000), Whole(*mono_).samples);
  EXPECT_FALSE(ProbeTrack(folder.path()));  // a folder is no track
}

TEST_F(TrackStream, CutShortPlaysUpToTheCutAndThenEndsEvenWhenLooping) {
  const decoded_sound whole = Whole(*long_);
  std::vector<uint8_t> cut(*long_);
  cut.resize(cut.size() / 2);
  RegisterEmbedded("music\\cut.ogg", cut.data(), cut.size());
  const std::optional<track_info> probed = ProbeTrack("incbin::music\\cut.ogg");
  ASSERT_TRUE(probed);
  EXPECT_FALSE(probed->whole);
  auto stream = vorbis_stream::Open("incbin::music\\cut.ogg", true);
  ASSERT_TRUE(stream);
  const std::vector<int16_t> read = ReadAll(*stream, 1000, 1'000'000);
  EXPECT_TRUE(stream->ended());
  EXPECT_TRUE(stream->failed());
  EXPECT_GT(read.size(), whole.samples.size() / 4);
  // What it played is the start of the track.
  ASSERT_LT(read.size(), whole.samples.size());
  EXPECT_TRUE(std::equal(read.begin(), read.end(), whole.samples.begin()));
}

TEST_F(TrackStream, UndecodableSourcesGiveNone) {
  std::vector<uint8_t> garbage(5000, 0x4F);
  std::vector<uint8_t> headers_only(*mono_);
  headers_only.resize(100);
  RegisterEmbedded("garbage.ogg", garbage.data(), garbage.size());
  RegisterEmbedded("headers.ogg", headers_only.data(), headers_only.size());
  for (const char* source :
       {"no such track.ogg", "incbin::unregistered.ogg", "incbin::garbage.ogg", "incbin::headers.ogg", ""}) {
    SCOPED_TRACE(source);
    EXPECT_FALSE(ProbeTrack(source));
    EXPECT_FALSE(vorbis_stream::Open(source, true));
  }
}

class StreamedChannel : public TrackStream {
 protected:
  void SetUp() override {
    TrackStream::SetUp();
    ASSERT_TRUE(OpenAudio()) << "the null device should exist (ALSOFT_DRIVERS=null)";
  }
  void TearDown() override {
    CloseAudio();
    TrackStream::TearDown();
  }
};

TEST_F(StreamedChannel, CueResumeStopAndTheEndOfAOnceTrack) {
  sound_ptr once = LoadStreamedSound("incbin::music\\mono.ogg", 0);  // 0.68 s
  ASSERT_NE(once, nullptr);
  channel_ptr channel = CueSound(once);
  ASSERT_NE(channel, nullptr);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(ChannelPlaying(channel), 0) << "a cued channel waits";
  ResumeChannel(channel);
  EXPECT_EQ(ChannelPlaying(channel), 1);
  EXPECT_TRUE(WaitFor([&] { return ChannelPlaying(channel) == 0; })) << "the track should end";
  ResumeChannel(channel);
  EXPECT_EQ(ChannelPlaying(channel), 0) << "an ended track does not start again";
}

TEST_F(StreamedChannel, LoopingTrackPlaysOnUntilStopped) {
  sound_ptr looping = LoadStreamedSound("incbin::music\\stereo.ogg", 1);  // 1 s
  ASSERT_NE(looping, nullptr);
  channel_ptr channel = CueSound(looping);
  ResumeChannel(channel);
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_EQ(ChannelPlaying(channel), 1) << "past its length";
  StopChannel(channel);
  EXPECT_EQ(ChannelPlaying(channel), 0);
  ResumeChannel(channel);
  EXPECT_EQ(ChannelPlaying(channel), 0) << "stopped for good";
  // A new channel of the same track starts over, and channels come and go without piling up.
  for (int i = 0; i < 50; ++i) {
    channel_ptr again = CueSound(looping);
    ResumeChannel(again);
    StopChannel(again);
  }
  channel.reset();
  EXPECT_TRUE(WaitFor([] { return ChannelsInUse() == 0; })) << ChannelsInUse();
}

TEST_F(StreamedChannel, DamagedTrackFallsSilentQuietly) {
  std::vector<uint8_t> cut(*long_);
  cut.resize(cut.size() / 5);
  RegisterEmbedded("music\\cut.ogg", cut.data(), cut.size());
  sound_ptr damaged = LoadStreamedSound("incbin::music\\cut.ogg", 1);
  ASSERT_NE(damaged, nullptr);
  channel_ptr channel = CueSound(damaged);
  ResumeChannel(channel);
  EXPECT_TRUE(WaitFor([&] { return ChannelPlaying(channel) == 0; }));
}

TEST_F(StreamedChannel, ClosingTheDeviceWhileATrackStreams) {
  sound_ptr looping = LoadStreamedSound("incbin::music\\stereo.ogg", 1);
  channel_ptr channel = CueSound(looping);
  ResumeChannel(channel);
  // A channel whose sound only the channel still holds.
  channel_ptr alone = CueSound(LoadStreamedSound("incbin::music\\mono.ogg", 1));
  ASSERT_NE(alone, nullptr);
  ResumeChannel(alone);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  CloseAudio();
  EXPECT_EQ(ChannelPlaying(alone), 0);
  EXPECT_EQ(ChannelPlaying(channel), 0);
  StopChannel(channel);
  EXPECT_EQ(CueSound(looping), nullptr);
  EXPECT_EQ(LoadStreamedSound("incbin::music\\stereo.ogg", 1), nullptr) << "no device";
}

}  // namespace
}  // namespace dusk
