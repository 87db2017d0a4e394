// The music list read as a table of cases, loading its tracks, and the state of every channel after each
// channel rule on OpenAL Soft's null device, with and without a music list.
#include "ui/music.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/files.h"
#include "state/settings.h"
#include "tests/platform/support/ogg_fixture.h"
#include "tests/platform/support/temp_folder.h"
#include "ui/audio_state.h"

namespace dusk {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

// The list as "menu=path 3=path" (worlds by number), for readable failures.
std::string Describe(const music_list& list) {
  std::string text;
  if (list.menu) text += "menu=" + *list.menu;
  for (size_t n = 0; n < list.worlds.size(); ++n) {
    if (!list.worlds[n]) continue;
    if (!text.empty()) text += ' ';
    text += std::to_string(n) + "=" + *list.worlds[n];
  }
  return text;
}

TEST(MusicList, Cases) {
  struct list_case {
    const char* what;
    std::string text;
    const char* expected;
  };
  const list_case cases[] = {
      {"the example", "menu\r\nmusic\\menu.ogg\r\nwm01\r\nmusic\\one.ogg\r\nwm02\r\nmusic\\two.ogg\r\n",
       "menu=music\\menu.ogg 1=music\\one.ogg 2=music\\two.ogg"},
      {"upper case and blanks around keys and paths",
       "  MENU \n\t Music\\Title.OGG  \nWM03\nA.ogg\n  wm03  \nb.ogg\n", "menu=music\\title.ogg 3=b.ogg"},
      {"wm 1 with a blank is world 1", "wm 1\none.ogg\n", "1=one.ogg"},
      {"wm12 is world 12", "wm12\ntwelve.ogg\n", "12=twelve.ogg"},
      {"wm3 is world 0: m3 starts with no digit", "wm3\nzero.ogg\n", "0=zero.ogg"},
      {"a key of just wm is world 0", "wm\nzero.ogg\n", "0=zero.ogg"},
      {"two menu entries: the second", "menu\nfirst.ogg\nmenu\nsecond.ogg\n", "menu=second.ogg"},
      {"a later world entry replaces the earlier", "wm05\nold.ogg\nwm05\nnew.ogg\n", "5=new.ogg"},
      {"worlds outside 0 to 15 are ignored", "wm16\na.ogg\nwm99\nb.ogg\nwm-1\nc.ogg\nwm15\nd.ogg\n",
       "15=d.ogg"},
      {"a key at the end names nothing", "wm04\nfour.ogg\nmenu", "4=four.ogg"},
      {"a key at the end of a line-ended file names nothing", "menu\n", ""},
      {"an empty path line is a path", "menu\n\nwm01\none.ogg", "menu= 1=one.ogg"},
      {"the path line is the key's, even when it looks like a key", "menu\nwm02\nloose.ogg\n", "menu=wm02"},
      {"other lines are skipped on their own", "; music\nhello\nwm07\nseven.ogg\n\n", "7=seven.ogg"},
      {"a byte 0 ends a line", std::string("wm08\0eight.ogg\n", 15), "8=eight.ogg"},
      {"a file without line ends", "menu", ""},
      {"an empty file", "", ""},
  };
  for (const list_case& c : cases) {
    EXPECT_EQ(Describe(ParseMusicList(Bytes(c.text))), c.expected) << c.what;
  }
}

// Runs the test in a fresh folder, since the music list and its tracks are found from the working folder.
class in_folder {
 public:
  in_folder() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(folder_.path()); }
  ~in_folder() { std::filesystem::current_path(previous_); }
  in_folder(const in_folder&) = delete;
  in_folder& operator=(const in_folder&) = delete;

 private:
  testing::temp_folder folder_;
  std::filesystem::path previous_;
};

class Music : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { track_ = new std::vector<uint8_t>(testing::EncodeSweep(44100, 1, 44100)); }
  static void TearDownTestSuite() { delete track_; }
  void SetUp() override {
    ResetSettings();
    ResetAudioState();
    ASSERT_TRUE(OpenAudio()) << "the null device should exist (ALSOFT_DRIVERS=null)";
    MakeFolder("music");
  }
  void TearDown() override {
    ResetAudioState();
    ResetSettings();
    CloseAudio();
  }
  static void WriteTrack(const std::string& path) { testing::WriteTestFile(NativePath(path), *track_); }
  static void WriteList(const std::string& text) { testing::WriteTestFile("music/audio.txt", Bytes(text)); }

  // A menu track, tracks for worlds 1 and 2, and a world 3 whose track is not Ogg Vorbis.
  static void StandardList() {
    WriteTrack("music\\menu.ogg");
    WriteTrack("music\\one.ogg");
    WriteTrack("two.ogg");
    testing::WriteTestFile("music/three.ogg", Bytes("not a track"));
    WriteList(
        "menu\nmusic\\menu.ogg\nwm01\nmusic\\one.ogg\nwm02\ntwo.ogg\nwm03\nmusic\\three.ogg\nwm04\nmissing."
        "ogg\n");
  }

  // The menu channel, then worlds 0 to 4: '-' none, 'p' playing, 'c' silent; upper case when the channel is
  // not the one it was at the last look.
  std::string Channels() {
    std::vector<channel_ptr> now = {audio.menuchannel};
    for (int n = 0; n < 5; ++n) now.push_back(audio.worldchannel[static_cast<size_t>(n)]);
    std::string text;
    for (size_t i = 0; i < now.size(); ++i) {
      char c = !now[i] ? '-' : ChannelPlaying(now[i]) != 0 ? 'p' : 'c';
      if (now[i] && i < seen_.size() && now[i] != seen_[i]) c = static_cast<char>(c - 'a' + 'A');
      text += c;
      if (i == 0) text += ' ';
    }
    seen_ = now;
    return text;
  }

  static std::vector<uint8_t>* track_;
  in_folder folder_;
  std::vector<channel_ptr> seen_;
};

std::vector<uint8_t>* Music::track_ = nullptr;

TEST_F(Music, LoadsTheListedTracksAndCuesThemSilent) {
  StandardList();
  LoadMusic();
  EXPECT_NE(audio.menumusic, nullptr);
  EXPECT_NE(audio.worldmusic[1], nullptr);
  EXPECT_NE(audio.worldmusic[2], nullptr) << "found beside the music list";
  EXPECT_EQ(audio.worldmusic[3], nullptr) << "not a track: that world is silent";
  EXPECT_EQ(audio.worldmusic[4], nullptr) << "missing: that world is silent";
  EXPECT_EQ(audio.worldmusic[0], nullptr);
  EXPECT_EQ(Channels(), "c -cc--");
}

TEST_F(Music, NoListMeansNoMusicAndEveryRuleDoesNothing) {
  LoadMusic();
  EXPECT_EQ(audio.menumusic, nullptr);
  EXPECT_EQ(Channels(), "- -----");
  for (int musicon : {1, 0}) {
    settings.musicon = musicon;
    MusicAtMenuStart();
    MusicOnReturnToMenu();
    MusicOnMenuMute();
    MusicBeforeLevel();
    for (int w : {-1, 0, 1, 15, 16}) {
      MusicAtLevelStart(w);
      MusicOnLevelMute(w);
      MusicAfterLevels(w);
    }
    EXPECT_EQ(Channels(), "- -----");
  }
}

TEST_F(Music, AListTooBigIsNotRead) {
  WriteTrack("music\\menu.ogg");
  std::string text = "menu\nmusic\\menu.ogg\n";
  text.resize(static_cast<size_t>(kMaxMusicListBytes) + 1, ' ');
  WriteList(text);
  LoadMusic();
  EXPECT_EQ(audio.menumusic, nullptr);
}

// Each rule in turn, as the screens call them, and the channels after it.
TEST_F(Music, ChannelRules) {
  StandardList();
  LoadMusic();
  Channels();
  struct rule_step {
    const char* what;
    int musicon;
    void (*rule)();
    const char* channels;
  };
  const rule_step steps[] = {
      {"main menu start", 1, [] { MusicAtMenuStart(); }, "p -cc--"},
      {"back in the main menu while it plays", 1, [] { MusicOnReturnToMenu(); }, "p -cc--"},
      {"mute in a menu, music off", 0, [] { MusicOnMenuMute(); }, "c -cc--"},
      {"back in the menu with music off", 0, [] { MusicOnReturnToMenu(); }, "c -cc--"},
      {"main menu start with music off", 0, [] { MusicAtMenuStart(); }, "c -cc--"},
      {"mute in a menu, music on: the track restarts", 1, [] { MusicOnMenuMute(); }, "P -cc--"},
      {"a level from the level select", 1, [] { MusicBeforeLevel(); }, "C -cc--"},
      {"world 1's level starts", 1, [] { MusicAtLevelStart(1); }, "c -pc--"},
      {"the next level of world 1", 1, [] { MusicAtLevelStart(1); }, "c -pc--"},
      {"mute in the level, music off", 0, [] { MusicOnLevelMute(1); }, "c -cc--"},
      {"a level with music off", 0, [] { MusicAtLevelStart(1); }, "c -cc--"},
      {"mute in the level, music on: cued for the next level", 1, [] { MusicOnLevelMute(1); }, "c -Cc--"},
      {"world 1's next level", 1, [] { MusicAtLevelStart(1); }, "c -pc--"},
      {"after the levels", 1, [] { MusicAfterLevels(1); }, "c -Cc--"},
      {"back in the world select: the menu track from its start", 1, [] { MusicOnReturnToMenu(); },
       "p -cc--"},
      {"a level of world 3, whose track is damaged", 1, [] { MusicAtLevelStart(3); }, "p -cc--"},
      {"after the levels of world 3", 1, [] { MusicAfterLevels(3); }, "p -cc--"},
      {"a level of world 2", 1,
       [] {
         MusicBeforeLevel();
         MusicAtLevelStart(2);
       },
       "C -cp--"},
      {"after the levels with music off", 0, [] { MusicAfterLevels(2); }, "c -cc--"},
      {"worlds out of range", 1,
       [] {
         MusicAtLevelStart(-1);
         MusicOnLevelMute(16);
         MusicAfterLevels(99);
       },
       "c -cc--"},
  };
  for (const rule_step& step : steps) {
    settings.musicon = step.musicon;
    step.rule();
    EXPECT_EQ(Channels(), step.channels) << step.what;
  }
}

TEST_F(Music, TheMenuTrackPlaysOnceAndStaysSilentUntilCuedAgain) {
  std::vector<uint8_t> short_track = testing::EncodeSweep(2205, 1, 44100);  // 50 ms
  testing::WriteTestFile("music/blip.ogg", short_track);
  WriteList("menu\nmusic\\blip.ogg\n");
  LoadMusic();
  MusicAtMenuStart();
  for (int i = 0; i < 200 && ChannelPlaying(audio.menuchannel) != 0; ++i) usleep(10000);
  EXPECT_EQ(ChannelPlaying(audio.menuchannel), 0);
  MusicOnReturnToMenu();
  EXPECT_EQ(ChannelPlaying(audio.menuchannel), 0) << "an ended track is not resumed";
  MusicBeforeLevel();
  MusicOnReturnToMenu();
  EXPECT_EQ(ChannelPlaying(audio.menuchannel), 1);
}

}  // namespace
}  // namespace dusk
