// The world compiler: line transcription, file layout, log lines, limits, and a compile-then-load trip.
#include "worlds/compiler.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/stream.h"
#include "tests/worlds/support/working_folder.h"
#include "worlds/level_notes.h"
#include "worlds/world.h"
#include "worlds/world_paths.h"
#include "worlds/worlds_state.h"

namespace dusk {
namespace {

using testing::BytesAsText;
using testing::ReadTestFile;
using testing::TestFileExists;
using testing::WriteTestFile;
using testing::WriteTextFile;

std::string WorldDataPathNative(int w) {
  return NativePath(WorldDataPath(w));
}
std::string LevelPathNative(int w, int l) {
  return NativePath(LevelPath(w, l));
}

std::vector<uint8_t> Bytes(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

world_source Transcribe(const std::string& text) {
  stream_ptr in = OpenMemory(Bytes(text));
  return TranscribeWorldSource(*in);
}

TEST(TranscribeTest, TurnsEachLineIntoItsBytes) {
  struct test_case {
    const char* line;
    const char* bytes;
  };
  const test_case cases[] = {
      {"#1:12:7:20:", "01 0C 07 14"},
      {"#1:12", "01"},
      {"*40:300:", "28 00 2C 01"},
      {"#$ff:%11:-1:256:", "FF 03 FF 00"},
      {"*-1:70000:$1234:", "FF FF 70 11 34 12"},
      {"#::", "00 00"},
      {"#  5 :x7:", "05 00"},
      {"@Forest", "06 46 6F 72 65 73 74"},
      {" \t @ Deep wood \t ", "0A 20 44 65 65 70 20 77 6F 6F 64"},
      {"!cave.png", ""},
      {"; a comment", ""},
      {"#", ""},
      {"x", ""},
      {"", ""},
  };
  for (const test_case& c : cases) {
    EXPECT_EQ(BytesAsText(Transcribe(c.line).data), c.bytes) << '"' << c.line << '"';
  }
}

TEST(TranscribeTest, ListsLevelsInOrderAndStopsAtTheEndLine) {
  const world_source source = Transcribe(std::string("@W\r\n!a.png\n!b\0#9:\r\n%end\n!c\n#7:\n", 31));
  EXPECT_EQ(BytesAsText(source.data), "01 57 09");
  EXPECT_EQ(source.levels, (std::vector<std::string>{"a.png", "b"}));
}

TEST(TranscribeTest, CutsAVeryLongTextToWhatItsLengthByteCanHold) {
  const world_source source = Transcribe("@" + std::string(300, 'n') + "\n#7:\n");
  ASSERT_EQ(source.data.size(), 1u + 255u + 1u);
  EXPECT_EQ(source.data[0], 255);
  EXPECT_EQ(source.data.back(), 7);
}

TEST(RemoveExtensionTest, DropsOnlyAFinalExtension) {
  EXPECT_EQ(RemoveExtension("forest.txt"), "forest");
  EXPECT_EQ(RemoveExtension("forest"), "forest");
  EXPECT_EQ(RemoveExtension("cave.level.png"), "cave.level");
  EXPECT_EQ(RemoveExtension("old.d\\forest"), "old.d/forest");
  EXPECT_EQ(RemoveExtension("sub\\cave.png"), "sub/cave");
  EXPECT_EQ(RemoveExtension(".hidden"), "");
}

class CompilerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWorlds();
    std::filesystem::create_directory("levels");
  }
  void TearDown() override { ResetWorlds(); }

  // Compiles the index with a log and returns the log's lines without their line ends.
  std::vector<std::string> Compile(const std::string& index = "_WORLDINDEX") {
    auto log = OpenMemoryWrite();
    EXPECT_EQ(CompileWorlds(index, log.get()), 0);
    const std::vector<uint8_t> bytes = log->TakeBytes();
    std::vector<std::string> lines;
    std::string text(bytes.begin(), bytes.end());
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
      lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "every log line ends with a carriage return and a line feed";
    return lines;
  }

  testing::working_folder folder_;
};

TEST_F(CompilerTest, CompilesAWorldWithItsLevelsAndLog) {
  WriteTextFile("levels/_WORLDINDEX.txt", {"; the worlds", "$forest"});
  WriteTextFile("levels/forest.txt", {"@Forest", "#1:", "#7:65:14:20:", "#255:", "@Bonus",
                                      "*40:300:", "!cave.png", "@First", "*12:34:", "!hill", "%"});
  WriteTestFile("levels/cave.qtm", Bytes("cave level"));
  WriteTestFile("levels/hill.qtm", Bytes("hill level"));

  EXPECT_EQ(Compile(), (std::vector<std::string>{
                           "Compiling worlds using levels\\_WORLDINDEX.txt as index file",
                           "Compiling world: forest.txt",
                           "Compiled level: 0 from cave.qtm to 0-0.slv",
                           "Compiled level: 1 from hill.qtm to 0-1.slv",
                           "Finshed compiling world: 0",
                       }));
  EXPECT_EQ(BytesAsText(ReadTestFile("leveldata/world 0/0w.wdt")),
            "01 06 46 6F 72 65 73 74 01 07 41 0E 14 FF 05 42 6F 6E 75 73 28 00 2C 01 05 46 69 72 73 74 0C 00 "
            "22 00");
  EXPECT_EQ(ReadTestFile("leveldata/world 0/0-0.slv"), Bytes("cave level"));
  EXPECT_EQ(ReadTestFile("leveldata/world 0/0-1.slv"), Bytes("hill level"));
  EXPECT_TRUE(std::filesystem::is_directory("leveldata/world 0/replays"));
  EXPECT_EQ(gameworlds.numworlds, 1);
}

TEST_F(CompilerTest, AWorldNameWithOrWithoutExtensionNamesTheSameSource) {
  WriteTextFile("levels/_WORLDINDEX.txt", {"$forest", "  $forest.txt  ", "$forest.dat"});
  WriteTextFile("levels/forest.txt", {"@Forest", "#1:", "#255:"});
  const std::vector<std::string> log = Compile();
  for (int w = 0; w < 3; ++w) {
    EXPECT_EQ(
        BytesAsText(ReadTestFile("leveldata/world " + std::to_string(w) + "/" + std::to_string(w) + "w.wdt")),
        "03 06 46 6F 72 65 73 74 01 FF");
  }
  EXPECT_EQ(std::count(log.begin(), log.end(), "Compiling world: forest.txt"), 3);
}

TEST_F(CompilerTest, SeventeenWorldsCompileSixteenAndAllCountSeventeen) {
  std::vector<std::string> index;
  for (int w = 0; w < 17; ++w) {
    index.push_back("$w" + std::to_string(w));
    WriteTextFile("levels/w" + std::to_string(w) + ".txt", {"@World " + std::to_string(w), "#1:", "#255:"});
  }
  WriteTextFile("levels/_WORLDINDEX.txt", index);
  const std::vector<std::string> log = Compile();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "Failed to compile world from file levels\\w16.txt: Too many worlds!");
  EXPECT_EQ(log[log.size() - 2], "Finshed compiling world: 15");
  for (int w = 0; w < 16; ++w) {
    const std::vector<uint8_t> bytes = ReadTestFile(WorldDataPathNative(w));
    ASSERT_GE(bytes.size(), 2u) << "world " << w;
    EXPECT_EQ(bytes[0], 17) << "world " << w;
  }
  // The seventeenth world would have gone to "world 0" had it been compiled.
  EXPECT_EQ(ReadTestFile("leveldata/world 0/0w.wdt")[2], 'W');
  EXPECT_EQ(ReadTestFile("leveldata/world 0/0w.wdt")[8], '0');
  EXPECT_EQ(gameworlds.numworlds, 16);
}

TEST_F(CompilerTest, TheEndLineStopsTheIndexButLaterWorldsStillCount) {
  WriteTextFile("levels/_WORLDINDEX.txt", {"$a", "%", "$b"});
  WriteTextFile("levels/a.txt", {"@A"});
  WriteTextFile("levels/b.txt", {"@B"});
  Compile();
  EXPECT_EQ(BytesAsText(ReadTestFile("leveldata/world 0/0w.wdt")), "02 01 41");
  EXPECT_FALSE(TestFileExists("leveldata/world 1"));
}

TEST_F(CompilerTest, AMissingWorldSourceUsesUpItsNumber) {
  WriteTextFile("levels/_WORLDINDEX.txt", {"$missing.png", "$b"});
  WriteTextFile("levels/b.txt", {"@B"});
  EXPECT_EQ(Compile(), (std::vector<std::string>{
                           "Compiling worlds using levels\\_WORLDINDEX.txt as index file",
                           "Compiling world: missing.txt",
                           "Did not compile world: Failed to open levels\\missing.txt",
                           "Finshed compiling world: 0",
                           "Compiling world: b.txt",
                           "Finshed compiling world: 1",
                       }));
  EXPECT_TRUE(std::filesystem::is_directory("leveldata/world 0/replays"));
  EXPECT_FALSE(TestFileExists("leveldata/world 0/0w.wdt"));
  EXPECT_EQ(BytesAsText(ReadTestFile("leveldata/world 1/1w.wdt")), "02 01 42");
}

TEST_F(CompilerTest, AWorldFolderThatCantBeMadeIsReportedAndTheWorldSkipped) {
  std::filesystem::create_directory("leveldata");
  WriteTestFile("leveldata/world 0", Bytes("a file in the way"));
  WriteTextFile("levels/_WORLDINDEX.txt", {"$a"});
  WriteTextFile("levels/a.txt", {"@A", "!cave"});
  WriteTestFile("levels/cave.qtm", Bytes("cave"));
  EXPECT_EQ(Compile(), (std::vector<std::string>{
                           "Compiling worlds using levels\\_WORLDINDEX.txt as index file",
                           "Compiling world: a.txt",
                           "Did not compile world: Failed to write leveldata\\0w.wdt",
                           "Finshed compiling world: 0",
                       }));
  EXPECT_EQ(ReadTestFile("leveldata/world 0"), Bytes("a file in the way"));
}

// The inode of a file: a file replaced by a new one gets a new inode.
ino_t Inode(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

TEST_F(CompilerTest, ASecondCompilationRewritesOnlyWhatChanged) {
  WriteTextFile("levels/_WORLDINDEX.txt", {"$a"});
  WriteTextFile("levels/a.txt",
                {"@A", "#1:", "#255:", "@Cave", "*30:20:", "!cave", "@Hill", "*9:9:", "!hill"});
  WriteTestFile("levels/cave.qtm", Bytes("cave"));
  WriteTestFile("levels/hill.qtm", Bytes("hill"));
  Compile();
  const ino_t data = Inode("leveldata/world 0/0w.wdt");
  const ino_t cave = Inode("leveldata/world 0/0-0.slv");
  const ino_t hill = Inode("leveldata/world 0/0-1.slv");
  ASSERT_NE(data, 0u);

  WriteTestFile("levels/hill.qtm", Bytes("steeper hill"));
  Compile();
  EXPECT_EQ(Inode("leveldata/world 0/0w.wdt"), data);
  EXPECT_EQ(Inode("leveldata/world 0/0-0.slv"), cave);
  EXPECT_NE(Inode("leveldata/world 0/0-1.slv"), hill);
  EXPECT_EQ(ReadTestFile("leveldata/world 0/0-1.slv"), Bytes("steeper hill"));

  WriteTextFile("levels/a.txt",
                {"@A", "#1:", "#255:", "@Cave", "*31:20:", "!cave", "@Hill", "*9:9:", "!hill"});
  Compile();
  EXPECT_NE(Inode("leveldata/world 0/0w.wdt"), data);
  EXPECT_EQ(ReadTestFile("leveldata/world 0/0w.wdt")[10], 31);
}

TEST_F(CompilerTest, AWorldDataFileThatCantBeWrittenKeepsTheEarlierRunsFiles) {
  WriteTextFile("levels/_WORLDINDEX.txt", {"$a"});
  WriteTextFile("levels/a.txt",
                {"@A", "#1:", "#255:", "@Cave", "*30:20:", "!cave", "@Hill", "*9:9:", "!hill"});
  WriteTestFile("levels/cave.qtm", Bytes("new cave"));
  WriteTestFile("levels/hill.qtm", Bytes("new hill"));
  std::filesystem::create_directories("leveldata/world 0/replays");
  WriteTestFile("leveldata/world 0/0w.wdt", Bytes("old data"));
  WriteTestFile("leveldata/world 0/0-0.slv", Bytes("old cave"));
  // A folder where the new data file is first written makes the write fail.
  std::filesystem::create_directory("leveldata/world 0/0w.wdt.temp");

  EXPECT_EQ(Compile(), (std::vector<std::string>{
                           "Compiling worlds using levels\\_WORLDINDEX.txt as index file",
                           "Compiling world: a.txt",
                           "Did not compile world: Failed to write leveldata\\0w.wdt",
                           "Finshed compiling world: 0",
                       }));
  EXPECT_EQ(ReadTestFile("leveldata/world 0/0w.wdt"), Bytes("old data"));
  EXPECT_EQ(ReadTestFile("leveldata/world 0/0-0.slv"), Bytes("old cave"));
  EXPECT_FALSE(TestFileExists("leveldata/world 0/0-1.slv"));
}

TEST_F(CompilerTest, SeventeenLevelsCopySixteen) {
  std::vector<std::string> lines = {"@Many", "#1:", "#255:"};
  for (int l = 0; l < 17; ++l) {
    lines.push_back("@L" + std::to_string(l));
    lines.push_back("*1:1:");
    lines.push_back("!l" + std::to_string(l) + ".png");
    WriteTestFile("levels/l" + std::to_string(l) + ".qtm", Bytes("level " + std::to_string(l)));
  }
  WriteTextFile("levels/many.txt", lines);
  auto log = OpenMemoryWrite();
  gameworlds.numworlds = 1;
  EXPECT_EQ(CompileWorld("many", 3, log.get()), 0);
  const std::vector<uint8_t> bytes = log->TakeBytes();
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_NE(text.find("Compiled level: 15 from l15.qtm to 3-F.slv\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Failed to compile level from file levels\\l16.qtm: Too many worlds!\r\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(ReadTestFile("leveldata/world 3/3-F.slv"), Bytes("level 15"));
  EXPECT_FALSE(TestFileExists("leveldata/world 3/3-0.slv.temp"));
  // The world data itself keeps all seventeen entries; the reader stops at the sixteenth.
  auto wd = LoadWorld(3, [](int, int) { return 0; });
  ASSERT_TRUE(wd);
  EXPECT_EQ(wd->numlevels, 15);
  EXPECT_EQ(wd->levelname[15], "L15");
}

TEST_F(CompilerTest, AMissingIndexCompilesNothing) {
  EXPECT_EQ(Compile("_NOINDEX"), (std::vector<std::string>{
                                     "Compiling worlds using levels\\_NOINDEX.txt as index file",
                                 }));
  EXPECT_FALSE(TestFileExists("leveldata"));
  // Without a log nothing is written anywhere, and the compilation still happens.
  WriteTextFile("levels/_WORLDINDEX.txt", {"$a"});
  WriteTextFile("levels/a.txt", {"@A"});
  EXPECT_EQ(CompileWorlds("_WORLDINDEX", nullptr), 0);
  EXPECT_TRUE(TestFileExists("leveldata/world 0/0w.wdt"));
}

TEST_F(CompilerTest, CompiledWorldsLoadWithTheirLevelsAndStars) {
  WriteTextFile("levels/_WORLDINDEX.txt", {"$bonus", "$forest"});
  WriteTextFile("levels/bonus.txt", {"@Bonus world", "#0:", "#255:", "@Secret", "*9:9:", "!secret"});
  WriteTextFile("levels/forest.txt", {"@Forest", "#1:", "#1:2:3:4:", "#255:", "@Clearing", "*40:300:", "!a",
                                      "@Path", "*20:100:", "!b", "@Grove", "*30:200:", "!c"});
  WriteTestFile("levels/secret.qtm", Bytes("*"));
  WriteTestFile("levels/a.qtm", Bytes("**"));
  WriteTestFile("levels/b.qtm", Bytes("*****"));
  // Level c has no source: its level file is missing and it counts no stars.
  Compile();

  // Stars counted from the level file each level was copied to.
  const star_counter stars = [](int w, int l) {
    int count = 0;
    for (uint8_t b : ReadTestFile(LevelPathNative(w, l))) count += b == '*';
    return count;
  };
  auto forest = LoadWorld(1, stars);
  auto bonus = LoadWorld(0, stars);
  ASSERT_TRUE(forest);
  ASSERT_TRUE(bonus);
  EXPECT_EQ(gameworlds.numworlds, 2);
  EXPECT_EQ(gameworlds.worldname[0], "Bonus world");
  EXPECT_EQ(gameworlds.worldname[1], "Forest");
  EXPECT_EQ(bonus->unlock_next_upon_normal_completion, 0);
  EXPECT_EQ(bonus->numlevels, 0);
  EXPECT_EQ(bonus->levelstars[0], 1);
  EXPECT_EQ(forest->numlevels, 2);
  EXPECT_EQ(forest->tilec[1], 2);
  EXPECT_EQ(forest->tileb[1], 4);
  EXPECT_EQ(forest->levelname[2], "Grove");
  EXPECT_EQ(forest->levelmoves[0], 40);
  EXPECT_EQ(forest->levelhighs[0], 300);
  EXPECT_EQ((std::vector<int>(forest->levelstars.begin(), forest->levelstars.begin() + 4)),
            (std::vector<int>{2, 5, 0, 0}));
}

}  // namespace
}  // namespace dusk

namespace dusk {
namespace {

TEST(LevelNotesTest, ReadsOneNotePerLineAndNothingUnsafe) {
  struct test_case {
    std::string bytes;
    std::vector<std::string> notes;  // levels 0, 1, 2, ...; the rest are empty
  };
  const test_case cases[] = {
      {"", {}},
      {"First idea.\r\n\r\nThird idea.\r\n", {"First idea.", "", "Third idea."}},
      {"  padded  \n", {"padded"}},
      {"no line end", {"no line end"}},
      // Control characters and bytes outside printable ASCII are dropped; a long note is cut at 40.
      {std::string("a\0b\tc\x7f\xff", 7) + "d\n" + std::string(60, 'x'), {"abcd", std::string(40, 'x')}},
  };
  for (const test_case& c : cases) {
    const level_notes notes = ParseLevelNotes(c.bytes);
    for (size_t l = 0; l < notes.size(); ++l) {
      EXPECT_EQ(notes[l], l < c.notes.size() ? c.notes[l] : "") << "level " << l << " of '" << c.bytes << "'";
    }
  }
  // Only sixteen levels, and only the first few kilobytes.
  std::string many;
  for (int l = 0; l < 20; ++l) many += "note " + std::to_string(l) + "\n";
  EXPECT_EQ(ParseLevelNotes(many)[15], "note 15");
  const std::string late = std::string(kMaxNotesBytes, '\n') + "too late";
  for (const std::string& note : ParseLevelNotes(late)) EXPECT_EQ(note, "");
}

TEST_F(CompilerTest, NotesTravelBesideTheWorldDataAndAWorldWithoutThemHasNone) {
  WriteTextFile("levels/_WORLDINDEX.txt", {"$forest", "$plain"});
  WriteTextFile("levels/forest.txt", {"@Forest", "#1:", "#255:", "@Bonus", "*40:300:", "&Look twice.", "!a",
                                      "@First", "*12:34:", "!b", "@Second", "*5:5:", "&Trees grow back.", "!c"});
  WriteTextFile("levels/plain.txt", {"@Plain", "#1:", "#255:", "@Only", "*9:9:", "!a"});
  WriteTestFile("levels/a.qtm", Bytes("a"));
  Compile();

  // The world data file is what it always was: the note lines add nothing to it.
  EXPECT_EQ(BytesAsText(ReadTestFile("leveldata/world 0/0w.wdt")),
            "02 06 46 6F 72 65 73 74 01 FF 05 42 6F 6E 75 73 28 00 2C 01 05 46 69 72 73 74 0C 00 22 00 06 53 "
            "65 63 6F 6E 64 05 00 05 00");
  auto forest = LoadWorld(0, nullptr);
  ASSERT_TRUE(forest);
  EXPECT_EQ(forest->levelnote[0], "Look twice.");
  EXPECT_EQ(forest->levelnote[1], "");
  EXPECT_EQ(forest->levelnote[2], "Trees grow back.");

  // A world compiled before notes existed has no notes file, and loads with none.
  ASSERT_TRUE(RemoveFile(NotesPath(1)));
  auto plain = LoadWorld(1, nullptr);
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->levelname[0], "Only");
  for (const std::string& note : plain->levelnote) EXPECT_EQ(note, "");

  // A notes file too big to be the compiler's is not read at all.
  WriteTestFile(NativePath(NotesPath(0)), std::vector<uint8_t>(kMaxNotesBytes + 1, 'x'));
  auto big = LoadWorld(0, nullptr);
  ASSERT_TRUE(big);
  EXPECT_EQ(big->levelnote[0], "");
}

}  // namespace
}  // namespace dusk
