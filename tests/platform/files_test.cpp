// The file operations, and that replacing a file never loses the old one.
#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/embedded.h"
#include "tests/platform/support/temp_folder.h"

namespace dusk {
namespace {

using bytes = std::vector<uint8_t>;
using dusk::testing::ReadTestFile;
using dusk::testing::temp_folder;
using dusk::testing::TestFileExists;
using dusk::testing::WriteTestFile;

TEST(FilesTest, NativePathTurnsBackslashesIntoSlashes) {
  EXPECT_EQ(NativePath("leveldata\\world 3\\3-C.slv"), "leveldata/world 3/3-C.slv");
  EXPECT_EQ(NativePath("music/audio.txt"), "music/audio.txt");
}

TEST(FilesTest, KindsAndSizes) {
  temp_folder folder;
  WriteTestFile(folder / "five.bin", {1, 2, 3, 4, 5});
  WriteTestFile(folder / "empty.bin", {});
  EXPECT_EQ(PathKind(folder / "five.bin"), 1);
  EXPECT_EQ(PathKind(folder.path()), 2);
  EXPECT_EQ(PathKind(folder / "missing"), 0);
  EXPECT_EQ(PathKind(folder.path() + "\\five.bin"), 1);
  EXPECT_EQ(FileBytes(folder / "five.bin"), 5);
  EXPECT_EQ(FileBytes(folder / "empty.bin"), 0);
  EXPECT_EQ(FileBytes(folder / "missing"), -1);
  EXPECT_EQ(FileBytes(folder.path()), -1) << "a folder is not a file";

  static const uint8_t data[] = {9, 9, 9};
  RegisterEmbedded("incbin\\x.qtm", data, sizeof data);
  EXPECT_EQ(PathKind("incbin::incbin/x.qtm"), 1);
  EXPECT_EQ(FileBytes("incbin::incbin\\x.qtm"), 3);
  EXPECT_EQ(PathKind("incbin::incbin/y.qtm"), 0);
  bytes read;
  ASSERT_TRUE(ReadWholeFile("incbin::incbin\\x.qtm", read));
  EXPECT_EQ(read, (bytes{9, 9, 9}));
  ClearEmbedded();
}

TEST(FilesTest, RemoveCopyAndMakeFolder) {
  temp_folder folder;
  WriteTestFile(folder / "a.bin", {7, 8});
  CopyFileTo(folder / "a.bin", folder.path() + "\\b.bin");
  EXPECT_EQ(ReadTestFile(folder / "b.bin"), (bytes{7, 8}));
  EXPECT_FALSE(TestFileExists(folder / "b.bin.temp"));

  CopyFileTo(folder / "missing.bin", folder / "c.bin");
  EXPECT_FALSE(TestFileExists(folder / "c.bin"));

  EXPECT_EQ(RemoveFile(folder / "a.bin"), 1);
  EXPECT_FALSE(TestFileExists(folder / "a.bin"));
  EXPECT_EQ(RemoveFile(folder / "a.bin"), 1) << "nothing there: the file is gone afterwards";

  MakeFolder(folder.path() + "\\replays");
  EXPECT_EQ(PathKind(folder / "replays"), 2);
  EXPECT_EQ(RemoveFile(folder / "replays"), 1) << "a folder is not a file";
  EXPECT_EQ(PathKind(folder / "replays"), 2) << "and is left alone";
}

TEST(FilesTest, ReadWholeFileFailsOnWhatIsNotAFile) {
  temp_folder folder;
  bytes out{1};
  EXPECT_FALSE(ReadWholeFile(folder / "missing", out));
  EXPECT_FALSE(ReadWholeFile(folder.path(), out));
  EXPECT_FALSE(ReadWholeFile("incbin::not registered", out));
  WriteTestFile(folder / "f", {4, 5, 6});
  ASSERT_TRUE(ReadWholeFile(folder / "f", out));
  EXPECT_EQ(out, (bytes{4, 5, 6}));
}

TEST(FilesTest, AtomicWriteReplacesTheFile) {
  temp_folder folder;
  std::string path = folder / "save.dat";
  ASSERT_TRUE(WriteFileAtomically(path, {1, 2, 3}));
  EXPECT_EQ(ReadTestFile(path), (bytes{1, 2, 3}));
  ASSERT_TRUE(WriteFileAtomically(folder.path() + "\\save.dat", {4}));
  EXPECT_EQ(ReadTestFile(path), (bytes{4}));
  EXPECT_FALSE(TestFileExists(path + ".temp"));

  // A temporary file left behind by an earlier crash is simply replaced.
  WriteTestFile(path + ".temp", {9, 9, 9, 9, 9, 9});
  ASSERT_TRUE(WriteFileAtomically(path, {5, 6}));
  EXPECT_EQ(ReadTestFile(path), (bytes{5, 6}));
  EXPECT_FALSE(TestFileExists(path + ".temp"));
}

TEST(FilesTest, AFailedAtomicWriteLeavesTheOldFile) {
  temp_folder folder;
  std::string path = folder / "save.dat";
  const bytes old{1, 2, 3};

  // The temporary path is taken by a folder: nothing can be written, and the folder is not ours to remove.
  WriteTestFile(path, old);
  ASSERT_EQ(::mkdir((path + ".temp").c_str(), 0755), 0);
  EXPECT_FALSE(WriteFileAtomically(path, {4, 5}));
  EXPECT_EQ(ReadTestFile(path), old);
  EXPECT_EQ(PathKind(path + ".temp"), 2);

  // The target is a folder: the rename fails and the temporary file goes.
  std::string target = folder / "target";
  ASSERT_EQ(::mkdir(target.c_str(), 0755), 0);
  WriteTestFile(target + "/inside", old);
  EXPECT_FALSE(WriteFileAtomically(target, {4, 5}));
  EXPECT_EQ(ReadTestFile(target + "/inside"), old);
  EXPECT_FALSE(TestFileExists(target + ".temp"));

  // The folder is missing.
  EXPECT_FALSE(WriteFileAtomically(folder / "missing/save.dat", {1}));

  // The folder can't be written (root may write anywhere, so this case needs an ordinary user).
  if (::geteuid() != 0) {
    std::string locked = folder / "locked";
    ASSERT_EQ(::mkdir(locked.c_str(), 0755), 0);
    WriteTestFile(locked + "/save.dat", old);
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
    EXPECT_FALSE(WriteFileAtomically(locked + "/save.dat", {4, 5}));
    EXPECT_EQ(ReadTestFile(locked + "/save.dat"), old);
    EXPECT_FALSE(TestFileExists(locked + "/save.dat.temp"));
  }
}

}  // namespace
}  // namespace dusk
