#include "core/model/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "core/model/model_test_support.h"

namespace lumera {
namespace {

using testing::FileSizeLimit;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

TEST(AtomicFileTest, CreatesAndReplacesWithoutLeavingTemporaries) {
  TempFolder folder;
  const auto file = folder / "a.prg";
  ASSERT_EQ(WriteFileAtomically(file, std::string_view("first")),
            AtomicWriteResult::kOk);
  EXPECT_EQ(ReadBytes(file), "first");
  ASSERT_EQ(WriteFileAtomically(file, std::string_view("")),
            AtomicWriteResult::kOk);
  EXPECT_EQ(ReadBytes(file), "");
  EXPECT_TRUE(std::filesystem::is_regular_file(file));
  EXPECT_EQ(folder.EntryCount(), 1);
}

// A temporary name longer than the target's must not exceed the name limit
// that the target itself keeps to.
TEST(AtomicFileTest, NamesUpToTheSystemLimitAreWritten) {
  TempFolder folder;
  for (const std::size_t length : {200u, 242u, 243u, 250u, 255u}) {
    SCOPED_TRACE(length);
    const auto file = folder / (std::string(length - 4, 'p') + ".prg");
    ASSERT_EQ(WriteFileAtomically(file, std::string_view("first")),
              AtomicWriteResult::kOk);
    ASSERT_EQ(WriteFileAtomically(file, std::string_view("second")),
              AtomicWriteResult::kOk);
    EXPECT_EQ(ReadBytes(file), "second");
    std::filesystem::remove(file);
  }
  // The same in two-byte characters, whose cut keeps them whole.
  std::string polish;
  while (polish.size() < 250) polish += "ż";
  EXPECT_EQ(WriteFileAtomically(folder / polish, std::string_view("x")),
            AtomicWriteResult::kOk);
  EXPECT_EQ(ReadBytes(folder / polish), "x");
  EXPECT_EQ(folder.EntryCount(), 1);
}

TEST(AtomicFileTest, RefusesWhatCannotBeCreated) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "dir");
  WriteBytes(folder / "dir" / "inside", "x");
  EXPECT_EQ(WriteFileAtomically(folder / "dir", std::string_view("x")),
            AtomicWriteResult::kCreateFailed);
  EXPECT_EQ(ReadBytes(folder / "dir" / "inside"), "x");
  EXPECT_EQ(
      WriteFileAtomically(folder / "missing" / "a.prg", std::string_view("x")),
      AtomicWriteResult::kCreateFailed);
  EXPECT_EQ(WriteFileAtomically(folder.path() / "", std::string_view("x")),
            AtomicWriteResult::kCreateFailed);
  EXPECT_EQ(folder.EntryCount(), 1);
}

TEST(AtomicFileTest, FailedWriteKeepsTheOldFile) {
  TempFolder folder;
  const auto file = folder / "a.prg";
  const std::string old_bytes(3000, 'o');
  WriteBytes(file, old_bytes);
  const std::string new_bytes(9000, 'n');
  {
    FileSizeLimit limit(4096);
    EXPECT_EQ(WriteFileAtomically(file, new_bytes),
              AtomicWriteResult::kWriteFailed);
  }
  EXPECT_EQ(ReadBytes(file), old_bytes);
  EXPECT_EQ(folder.EntryCount(), 1);  // the temporary file is gone
  EXPECT_EQ(WriteFileAtomically(file, new_bytes), AtomicWriteResult::kOk);
  EXPECT_EQ(ReadBytes(file), new_bytes);
}

// A process killed after writing its temporary file and before renaming it
// leaves that file; the next write of the same name removes it, and leaves
// those of other names alone.
TEST(AtomicFileTest, TemporaryFileLeftByAKillGoesWithTheNextWrite) {
  TempFolder folder;
  const auto file = folder / "a.prg";
  const auto other = folder / "b.prg";
  for (const auto& path : {file, other}) {
    const pid_t child = ::fork();
    if (child == 0) {
      StagedFile staged;
      FileWriteError error;
      const std::string_view bytes = "torn";
      staged.Stage(
          path,
          {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()},
          error);
      ::_exit(0);  // no destructor runs, as after a kill
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
  }
  ASSERT_EQ(folder.EntryCount(), 2);
  ASSERT_EQ(WriteFileAtomically(file, std::string_view("whole")),
            AtomicWriteResult::kOk);
  EXPECT_EQ(ReadBytes(file), "whole");
  EXPECT_EQ(folder.EntryCount(), 2);  // a.prg and b.prg's temporary file
  EXPECT_FALSE(std::filesystem::exists(other));
}

TEST(AtomicFileTest, KeepsLinksAndAccessRights) {
  TempFolder folder;
  const auto real = folder / "real.prg";
  WriteBytes(real, "old");
  ::chmod(real.c_str(), 0600);
  std::filesystem::create_symlink("real.prg", folder / "link.prg");
  ASSERT_EQ(WriteFileAtomically(folder / "link.prg", std::string_view("new")),
            AtomicWriteResult::kOk);
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.prg"));
  EXPECT_EQ(ReadBytes(real), "new");
  struct stat status;
  ASSERT_EQ(::stat(real.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600u);
  EXPECT_EQ(folder.EntryCount(), 2);
}

TEST(AtomicFileTest, HonoursProtection) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  TempFolder folder;
  const auto file = folder / "a.prg";
  WriteBytes(file, "old");
  ::chmod(file.c_str(), 0444);
  EXPECT_EQ(WriteFileAtomically(file, std::string_view("new")),
            AtomicWriteResult::kCreateFailed);
  EXPECT_EQ(ReadBytes(file), "old");
  ::chmod(file.c_str(), 0644);
  ::chmod(folder.path().c_str(), 0555);
  EXPECT_EQ(WriteFileAtomically(file, std::string_view("new")),
            AtomicWriteResult::kCreateFailed);
  EXPECT_EQ(ReadBytes(file), "old");
}

}  // namespace
}  // namespace lumera
