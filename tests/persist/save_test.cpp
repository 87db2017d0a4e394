// The save file: its bytes, its checksum, the tamper stop, and damaged or unwritable files.
#include "persist/save.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/worlds/support/working_folder.h"

namespace dusk {
namespace {

using testing::BytesAsText;
using testing::ReadTestFile;
using testing::TestFileExists;
using testing::WriteTestFile;

class SaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgress();
    ResetSettings();
  }
  void TearDown() override {
    ResetProgress();
    ResetSettings();
  }

  std::vector<uint8_t> Encoded() { return EncodeSave(progress, settings); }
};

// Everything before the progress blocks, which starts after the name.
std::string Head(const std::vector<uint8_t>& bytes, size_t name_length) {
  return BytesAsText(
      std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(13 + name_length)));
}

TEST_F(SaveTest, WritesTheMarkerNameOptionsAndSettings) {
  progress.playername = "Ann";
  settings.musicon = 1;
  settings.levelskipping = 0;
  settings.soundon = 1;
  settings.musicsaved = 1;
  settings.soundsaved = 1;
  progress.namechosen = 1;
  settings.teleporteffect = 5;
  settings.brightness = -126;
  settings.contrast = 126;
  settings.windowscale = 3;
  const std::vector<uint8_t> bytes = Encoded();
  ASSERT_EQ(bytes.size(), 799u + 3u);
  // Option byte 61; brightness -126 as 32642, contrast 126 as 32894.
  EXPECT_EQ(Head(bytes, 3), "04 6B 65 6C 76 03 41 6E 6E 3D 05 82 7F 7E 80 03");

  settings.musicon = 0;
  settings.levelskipping = 1;
  settings.soundon = 0;
  settings.musicsaved = 0;
  settings.soundsaved = 0;
  progress.namechosen = 0;
  progress.playername = "";
  const std::vector<uint8_t> empty_name = Encoded();
  ASSERT_EQ(empty_name.size(), 799u);
  EXPECT_EQ(empty_name[5], 0);
  EXPECT_EQ(empty_name[6], 2);
}

TEST_F(SaveTest, WritesProgressBlocksWithBiasedScoresAndTheChecksum) {
  const std::vector<uint8_t> untouched = Encoded();
  const size_t blocks = 13 + progress.playername.size();
  // Every score 0 is stored as 00 80; world 1 and its level 1 start unlocked... only when start-up says so.
  EXPECT_EQ(BytesAsText(std::vector<uint8_t>(untouched.begin() + static_cast<std::ptrdiff_t>(blocks),
                                             untouched.begin() + static_cast<std::ptrdiff_t>(blocks) + 7)),
            "00 00 00 80 00 00 80");
  // All tables 0: the checksum is 0 + 1 + ... + 15.
  EXPECT_EQ(BytesAsText(std::vector<uint8_t>(untouched.end() - 2, untouched.end())), "78 00");

  progress.worldunlocked[2] = 1;
  progress.levelunlocked[2][5] = 1;
  progress.bestscore[2][5] = -2;
  const std::vector<uint8_t> bytes = Encoded();
  const size_t world2 = blocks + 2 * 49;
  EXPECT_EQ(bytes[world2], 1);
  EXPECT_EQ(
      BytesAsText(std::vector<uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(world2 + 1 + 5 * 3),
                                       bytes.begin() + static_cast<std::ptrdiff_t>(world2 + 1 + 6 * 3))),
      "01 FE 7F");
  const int sum = 120 + 1 + 3 * (5 ^ 243);
  EXPECT_EQ(SaveChecksum(progress), sum);
  EXPECT_EQ(bytes[bytes.size() - 2] | bytes[bytes.size() - 1] << 8, sum);
}

TEST_F(SaveTest, ChecksumWeighsScoresByLevel) {
  struct test_case {
    int level;
    int unlocked;
    int score;
    int added;
  };
  const test_case cases[] = {
      {3, 1, 20, 17 * 240}, {4, 1, 20, 20 * 247}, {3, 0, 20, 20 * 240},
      {2, 1, 0, 2 * 241},   {0, 1, 5, 5 * 243},   {15, 1, 1, 2 * 252},
  };
  for (const test_case& c : cases) {
    ResetProgress();
    progress.levelunlocked[7][c.level] = c.unlocked;
    progress.bestscore[7][c.level] = c.score;
    EXPECT_EQ(SaveChecksum(progress), (120 + c.added) & 0xFFFF) << "level " << c.level;
  }
  ResetProgress();
  progress.worldunlocked[0] = 1;
  progress.bestscore[0][0] = 300;
  EXPECT_EQ(SaveChecksum(progress), (120 + 1 + 300 * 243) & 0xFFFF);
}

TEST_F(SaveTest, ValuesReadBackAsWritten) {
  std::mt19937 random(7);
  progress.playername = "Wanderer of the long road";
  progress.namechosen = 1;
  settings.musicon = 0;
  settings.soundsaved = 1;
  settings.teleporteffect = 7;
  settings.brightness = 33;
  settings.contrast = -90;
  settings.windowscale = 8;
  for (int w = 0; w < kMaxWorlds; ++w) {
    progress.worldunlocked[w] = static_cast<int>(random() % 2);
    for (int l = 0; l < kMaxLevels; ++l) {
      progress.levelunlocked[w][l] = static_cast<int>(random() % 2);
      progress.bestscore[w][l] = static_cast<int>(random() % 65536) - 32768;
    }
  }
  const progress_state written_progress = progress;
  const std::vector<uint8_t> bytes = Encoded();

  progress_state read_progress;
  settings_state read_settings;
  read_settings.joydeadzone = 9;
  ASSERT_EQ(DecodeSave(bytes, read_progress, read_settings), save_status::loaded);
  EXPECT_EQ(read_progress.playername, written_progress.playername);
  EXPECT_EQ(read_progress.namechosen, 1);
  EXPECT_EQ(read_progress.worldunlocked, written_progress.worldunlocked);
  EXPECT_EQ(read_progress.levelunlocked, written_progress.levelunlocked);
  EXPECT_EQ(read_progress.bestscore, written_progress.bestscore);
  EXPECT_EQ(read_settings.musicon, 0);
  EXPECT_EQ(read_settings.soundon, 1);
  EXPECT_EQ(read_settings.soundsaved, 1);
  EXPECT_EQ(read_settings.musicsaved, 0);
  EXPECT_EQ(read_settings.levelskipping, 1);
  EXPECT_EQ(read_settings.teleporteffect, 7);
  EXPECT_EQ(read_settings.brightness, 33);
  EXPECT_EQ(read_settings.contrast, -90);
  EXPECT_EQ(read_settings.windowscale, 8);
  EXPECT_EQ(read_settings.joydeadzone, 9);  // not in the file
}

TEST_F(SaveTest, ValuesTooBigForTheirFieldsStillPassTheChecksum) {
  progress.bestscore[3][3] = 70000;
  progress.levelunlocked[3][3] = 257;
  progress.worldunlocked[3] = 300;
  progress_state read_progress;
  settings_state read_settings;
  ASSERT_EQ(DecodeSave(Encoded(), read_progress, read_settings), save_status::loaded);
  EXPECT_EQ(read_progress.bestscore[3][3], 70000 - 65536);
  EXPECT_EQ(read_progress.levelunlocked[3][3], 1);
  EXPECT_EQ(read_progress.worldunlocked[3], 300 & 255);
}

TEST_F(SaveTest, SettingsOutsideTheirRangesAreBroughtIntoThem) {
  std::vector<uint8_t> bytes = Encoded();
  const size_t at = 6 + progress.playername.size();
  bytes[at + 1] = 9;  // teleport effect
  bytes[at + 2] = 0;  // brightness -32768
  bytes[at + 3] = 0;
  bytes[at + 4] = 0xFF;  // contrast 32767
  bytes[at + 5] = 0xFF;
  bytes[at + 6] = 0;  // window scale
  progress_state read_progress;
  settings_state read_settings;
  ASSERT_EQ(DecodeSave(bytes, read_progress, read_settings), save_status::loaded);
  EXPECT_EQ(read_settings.teleporteffect, 7);
  EXPECT_EQ(read_settings.brightness, -126);
  EXPECT_EQ(read_settings.contrast, 126);
  EXPECT_EQ(read_settings.windowscale, 1);
}

TEST_F(SaveTest, EveryCutFileIsTruncatedAndAnotherMarkerIsNotASave) {
  progress.playername = "Ann";
  const std::vector<uint8_t> bytes = Encoded();
  for (size_t size = 0; size < bytes.size(); ++size) {
    progress_state p;
    settings_state s;
    EXPECT_EQ(
        DecodeSave(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)), p,
                   s),
        save_status::truncated)
        << size << " bytes";
  }
  for (const std::vector<uint8_t>& other :
       {std::vector<uint8_t>{4, 'k', 'e', 'l', 'w'}, std::vector<uint8_t>{3, 'k'},
        std::vector<uint8_t>{'P', 'K', 3, 4}, std::vector<uint8_t>{0}}) {
    progress_state p;
    settings_state s;
    EXPECT_EQ(DecodeSave(other, p, s), save_status::not_a_save) << BytesAsText(other);
  }
}

class SaveFileTest : public SaveTest {
 protected:
  testing::working_folder folder_;
};

TEST_F(SaveFileTest, WriteThenReadRestoresTheGlobals) {
  progress.playername = "Ann";
  progress.bestscore[1][4] = 77;
  settings.windowscale = 4;
  EXPECT_TRUE(WriteSave(kSaveFile));
  EXPECT_FALSE(TestFileExists("save.dat.temp"));
  ResetProgress();
  ResetSettings();
  ReadSave(kSaveFile);
  EXPECT_EQ(progress.playername, "Ann");
  EXPECT_EQ(progress.bestscore[1][4], 77);
  EXPECT_EQ(settings.windowscale, 4);
}

TEST_F(SaveFileTest, AMissingFileChangesNothing) {
  progress.playername = "Start";
  ::testing::internal::CaptureStderr();
  ReadSave(kSaveFile);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(progress.playername, "Start");
  EXPECT_FALSE(TestFileExists("save.dat.damaged"));
}

TEST_F(SaveFileTest, ADamagedFileIsReportedKeptAsideAndChangesNothing) {
  progress.playername = "Ann";
  progress.bestscore[1][1] = 50;
  std::vector<uint8_t> whole = Encoded();
  for (const std::vector<uint8_t>& damaged : {std::vector<uint8_t>(whole.begin(), whole.begin() + 400),
                                              std::vector<uint8_t>{}, std::vector<uint8_t>{9, 9, 9}}) {
    ResetProgress();
    WriteTestFile("save.dat", damaged);
    ::testing::internal::CaptureStderr();
    ReadSave(kSaveFile);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("save.dat is damaged"), std::string::npos) << said;
    EXPECT_NE(said.find("save.dat.damaged"), std::string::npos) << said;
    EXPECT_EQ(progress.playername, "Wayfarer");
    EXPECT_EQ(progress.bestscore[1][1], 0);
    EXPECT_EQ(ReadTestFile("save.dat.damaged"), damaged);
    // The next save replaces the damaged file; the copy stays.
    EXPECT_TRUE(WriteSave(kSaveFile));
    EXPECT_EQ(ReadTestFile("save.dat.damaged"), damaged);
  }
}

TEST_F(SaveFileTest, AFailedWriteKeepsTheOldFileAndTheGameGoesOn) {
  progress.playername = "Old";
  ASSERT_TRUE(WriteSave(kSaveFile));
  const std::vector<uint8_t> old = ReadTestFile("save.dat");
  // A folder where the temporary file should go: it can't be created.
  std::filesystem::create_directory("save.dat.temp");
  progress.playername = "New";
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(WriteSave(kSaveFile));
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("Could not write the save file save.dat"), std::string::npos) << said;
  EXPECT_EQ(ReadTestFile("save.dat"), old);
  EXPECT_TRUE(std::filesystem::is_directory("save.dat.temp"));
}

TEST_F(SaveFileTest, AnEditedScoreStopsTheGameWithTheTamperMessage) {
  progress.bestscore[2][6] = 40;
  ASSERT_TRUE(WriteSave(kSaveFile));
  std::vector<uint8_t> bytes = ReadTestFile("save.dat");
  const size_t score = 13 + progress.playername.size() + 2 * 49 + 1 + 6 * 3 + 1;
  ASSERT_EQ(bytes[score], 40);
  bytes[score] = 99;
  WriteTestFile("save.dat", bytes);
  EXPECT_EXIT(ReadSave(kSaveFile), ::testing::ExitedWithCode(255), "^The save file has been tampered with!$");
}

// A process killed at any moment of a long series of saves leaves a whole save file behind: the old one
// or the new one, never a mixture or a part.
TEST_F(SaveFileTest, KillingTheGameWhileItSavesLeavesAWholeFile) {
  progress.playername = "P";
  ASSERT_TRUE(WriteSave(kSaveFile));
  std::mt19937 random(12345);
  int rounds_with_writes = 0;
  int rounds_killed_mid_write = 0;  // a temporary file was left: the kill came inside a save
  for (int round = 0; round < 40; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // Each save's name length and score agree, so a file mixed from two saves is caught too.
      for (int i = 1; i < 1000000; ++i) {
        progress.playername = "P" + std::string(static_cast<size_t>(i % 200), 'x');
        progress.bestscore[5][5] = i;
        progress.levelunlocked[5][7] = i % 2;
        if (!WriteSave(kSaveFile)) ::_exit(3);
      }
      ::_exit(0);
    }
    ::usleep(static_cast<useconds_t>(2000 + random() % 30000));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process ended on its own with " << status;

    if (TestFileExists("save.dat.temp")) ++rounds_killed_mid_write;
    const std::vector<uint8_t> bytes = ReadTestFile("save.dat");
    progress_state p;
    settings_state s;
    ASSERT_EQ(DecodeSave(bytes, p, s), save_status::loaded)
        << "round " << round << ", " << bytes.size() << " bytes";
    if (p.bestscore[5][5] != 0) {
      ++rounds_with_writes;
      EXPECT_EQ(p.playername.size(), 1u + static_cast<size_t>(p.bestscore[5][5] % 200));
      EXPECT_EQ(p.levelunlocked[5][7], p.bestscore[5][5] % 2);
    }
  }
  EXPECT_GT(rounds_with_writes, 0);
  RecordProperty("rounds_killed_mid_write", rounds_killed_mid_write);
}

}  // namespace
}  // namespace dusk
