#include "core/model/program_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/comment_file.h"
#include "core/model/model_test_support.h"

namespace lumera {
namespace {

using testing::FileSizeLimit;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

std::string ImageBytes(const ProgramImage& image) {
  return std::string(reinterpret_cast<const char*>(image.data()), image.size());
}

// A store whose every image byte differs from its neighbours, configuration
// included, with comments at the corners and in Polish.
std::unique_ptr<ProgramStore> SampleStore() {
  auto store = std::make_unique<ProgramStore>();
  for (std::size_t i = 0; i < kImageSize; ++i) {
    store->mutable_image()[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  }
  store->SetComment(0, 0, "start");
  store->SetComment(2, 11, "pompa");
  store->SetComment(2, 12, "");  // empty: no line
  store->SetComment(4, 99, "Zażółć gęślą jaźń");
  store->SetComment(9, 254, "koniec");
  return store;
}

TEST(CommentFileNameTest, ReplacesTheLastThreeCharacters) {
  struct Case {
    const char* program;
    const char* comment;
  };
  const Case cases[] = {
      {"Prog_001.prg", "Prog_001.cmt"},
      {"program.PRG", "program.cmt"},
      {"dir/program.prg", "dir/program.cmt"},
      {"/a.b/c.prg", "/a.b/c.cmt"},
      {"abc", "cmt"},
      {"ab", "ab.cmt"},
      {"a", "a.cmt"},
      {"dir.prg/ab", "dir.prg/ab.cmt"},  // the folder is never touched
      {"notes.cmt", "notes.cmt.cmt"},    // never its own program file
      {"prog.żół", "prog.cmt"},          // characters, not bytes
      {"ab.ł", "acmt"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CommentFileName(c.program).string(), c.comment) << c.program;
  }
}

TEST(ProgramFileTest, SaveWritesTheImageAndCp1250CommentLines) {
  TempFolder folder;
  const auto store = SampleStore();
  const auto file = folder / "Prog_001.prg";
  ASSERT_TRUE(SaveProgramFile(*store, file));
  EXPECT_EQ(ReadBytes(file), ImageBytes(store->image()));
  EXPECT_EQ(ReadBytes(folder / "Prog_001.cmt"),
            "01:001 start\r\n"
            "03:012 pompa\r\n"
            "05:100 Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1\r\n"
            "10:255 koniec\r\n");
  EXPECT_EQ(folder.EntryCount(), 2);
}

TEST(ProgramFileTest, RoundTripRestoresImageAndComments) {
  TempFolder folder;
  const auto saved = SampleStore();
  const auto file = folder / "round.prg";
  ASSERT_TRUE(SaveProgramFile(*saved, file));

  auto loaded = std::make_unique<ProgramStore>();
  loaded->SetComment(7, 7, "left over");
  ASSERT_TRUE(LoadProgramFile(*loaded, file));
  EXPECT_EQ(loaded->image(), saved->image());
  EXPECT_EQ(loaded->snapshot(), saved->image());
  EXPECT_TRUE(loaded->LoadedFromFile());
  EXPECT_FALSE(loaded->ProgramImageChanged());

  CommentTable expected = saved->comments();
  expected.Clear(2, 12);  // an empty text writes no line
  EXPECT_EQ(loaded->comments(), expected);
  EXPECT_EQ(loaded->comments().Text(4, 99), "Zażółć gęślą jaźń");
}

// Names up to the file system's limit of 255 bytes save and load with their
// comments like any other.
TEST(ProgramFileTest, LongestNamesSaveBothFiles) {
  TempFolder folder;
  const auto saved = SampleStore();
  const std::string stem(251, 'n');
  const auto file = folder / (stem + ".prg");
  ASSERT_TRUE(SaveProgramFile(*saved, file));
  EXPECT_EQ(ReadBytes(file), ImageBytes(saved->image()));
  EXPECT_EQ(ReadBytes(folder / (stem + ".cmt")).substr(0, 14),
            "01:001 start\r\n");
  auto loaded = std::make_unique<ProgramStore>();
  ASSERT_TRUE(LoadProgramFile(*loaded, file));
  EXPECT_EQ(loaded->comments().Text(9, 254), "koniec");
  EXPECT_EQ(folder.EntryCount(), 2);
}

TEST(ProgramFileTest, ProgramWithoutCommentsGivesEmptyCommentFile) {
  TempFolder folder;
  ProgramStore store;
  ASSERT_TRUE(SaveProgramFile(store, folder / "p.prg"));
  EXPECT_EQ(ReadBytes(folder / "p.cmt"), "");
  EXPECT_EQ(ReadBytes(folder / "p.prg"), std::string(kImageSize, '\xFF'));
}

TEST(ProgramFileTest, SavingDoesNotRenewTheSnapshot) {
  TempFolder folder;
  const auto file = folder / "p.prg";
  ProgramStore store;
  ASSERT_TRUE(SaveProgramFile(store, file));
  ASSERT_TRUE(LoadProgramFile(store, file));
  store.SetCommand(0, 0, Command{1, 1, 5});
  ASSERT_TRUE(SaveProgramFile(store, file));
  EXPECT_TRUE(store.ProgramImageChanged());
  store.SetComment(0, 0, "only a comment");
  ASSERT_TRUE(LoadProgramFile(store, file));
  store.SetComment(0, 0, "changed comment");
  EXPECT_FALSE(store.ProgramImageChanged());
}

// Every size loads (the window takes any file); only a file of exactly
// 7714 bytes is sent as a program without asking.
TEST(ProgramFileTest, FileSizeDecidesWhatIsLoaded) {
  struct Case {
    const char* what;
    std::size_t size;
    const char* refusal;  // nullptr: none
  };
  const Case cases[] = {
      {"empty file", 0,
       "Plik p.prg ma 0 bajtów, a plik programu ma 7714 "
       "bajtów."},
      {"program without configuration", kProgramBytes,
       "Plik p.prg ma 7650 bajtów, a plik programu ma 7714 bajtów."},
      {"one byte", 1, "Plik p.prg ma 1 bajt, a plik programu ma 7714 bajtów."},
      {"a few bytes", 22,
       "Plik p.prg ma 22 bajty, a plik programu ma 7714 bajtów."},
      {"exact image", kImageSize, nullptr},
      {"longer than the image", kImageSize + 500,
       "Plik p.prg ma 8214 bajtów, a plik programu ma 7714 bajtów."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    std::string bytes(c.size, '\0');
    for (std::size_t i = 0; i < c.size; ++i) {
      bytes[i] = static_cast<char>(0x40 + i % 5);  // codes 64..68: no entries
    }
    WriteBytes(folder / "p.prg", bytes);
    ProgramStore store;
    std::uintmax_t size = 1234567;
    ASSERT_TRUE(LoadProgramFile(store, folder / "p.prg", DiskFiles(), &size));
    for (std::size_t i = 0; i < kImageSize; ++i) {
      const std::uint8_t expected =
          i < c.size ? static_cast<std::uint8_t>(bytes[i]) : 0;
      ASSERT_EQ(store.image()[i], expected) << i;
    }
    EXPECT_FALSE(store.ProgramImageChanged());
    EXPECT_EQ(size, c.size);
    EXPECT_EQ(ProgramSizeRefusal("p.prg", size),
              c.refusal ? std::optional<std::string>(c.refusal) : std::nullopt);
    EXPECT_EQ(ProgramSizeNote(size).empty(), c.refusal == nullptr);
  }
}

TEST(ProgramFileTest, EmptyFileShowsStopCommandsEverywhere) {
  TempFolder folder;
  WriteBytes(folder / "empty.prg", "");
  ProgramStore store;
  ASSERT_TRUE(LoadProgramFile(store, folder / "empty.prg"));
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    EXPECT_EQ(store.CommandListLength(segment), 255);
  }
  EXPECT_TRUE(std::all_of(store.ConfigBytes().begin(),
                          store.ConfigBytes().end(),
                          [](std::uint8_t b) { return b == 0; }));
}

TEST(ProgramFileTest, FailedLoadLeavesTheStoreAsItWas) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "dir.prg");
  WriteBytes(folder / "dir.cmt", "01:001 foreign\r\n");
  for (const auto& path : {folder / "missing.prg", folder / "dir.prg"}) {
    SCOPED_TRACE(path.string());
    ProgramStore store;
    store.SetCommand(1, 1, Command{2, 3, 4});
    store.SetComment(1, 1, "kept");
    const ProgramImage image = store.image();
    const ProgramImage snapshot = store.snapshot();
    const CommentTable comments = store.comments();
    EXPECT_FALSE(LoadProgramFile(store, path));
    EXPECT_EQ(store.image(), image);
    EXPECT_EQ(store.snapshot(), snapshot);
    EXPECT_EQ(store.comments(), comments);
    EXPECT_FALSE(store.LoadedFromFile());
  }
}

TEST(ProgramFileTest, MissingCommentFileLoadsWithoutComments) {
  TempFolder folder;
  WriteBytes(folder / "p.prg", std::string(kImageSize, '\x01'));
  ProgramStore store;
  store.SetComment(3, 3, "old");
  ASSERT_TRUE(LoadProgramFile(store, folder / "p.prg"));
  EXPECT_EQ(store.comments(), CommentTable());
}

TEST(ProgramFileTest, CommentFileIsReadFromCp1250) {
  TempFolder folder;
  WriteBytes(folder / "p.PRG", std::string(kImageSize, '\xFF'));
  WriteBytes(folder / "p.cmt", "02:010 \xB3\xF3\xBF\xA3\n03:001 a");
  ProgramStore store;
  ASSERT_TRUE(LoadProgramFile(store, folder / "p.PRG"));
  EXPECT_EQ(store.comments().Text(1, 9), "łóżŁ");
  EXPECT_EQ(store.comments().Text(2, 0), "a");
}

struct Slot {
  int segment;
  int command;
  std::string text;
};

struct CommentFileCase {
  const char* what;
  std::string file;
  std::vector<Slot> slots;  // every slot expected present afterwards
};

class CommentFileReadTest : public ::testing::TestWithParam<CommentFileCase> {};

TEST_P(CommentFileReadTest, ReadsFixedColumns) {
  const CommentFileCase& c = GetParam();
  CommentTable expected;
  for (const Slot& slot : c.slots) {
    expected.Set(slot.segment, slot.command, slot.text);
  }
  CommentTable table;
  ParseCommentFile(c.file, table);
  EXPECT_EQ(table, expected);

  // Fed one byte at a time, the reader must come to the same table.
  CommentTable piecewise;
  CommentFileReader reader(piecewise);
  for (const char ch : c.file) reader.Feed(std::string_view(&ch, 1));
  reader.Finish();
  EXPECT_EQ(piecewise, expected);
}

std::string LongLine() {
  std::string line = "04:004 ";
  while (line.size() < 299) line += 'x';
  return line + "02:001 injected\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    OddInputs, CommentFileReadTest,
    ::testing::Values(
        CommentFileCase{"CR LF endings",
                        "01:001 a\r\n01:002 b\r\n",
                        {{0, 0, "a"}, {0, 1, "b"}}},
        CommentFileCase{"bare LF and no final ending",
                        "01:001 a\n01:002 b",
                        {{0, 0, "a"}, {0, 1, "b"}}},
        CommentFileCase{"segment and command out of range",
                        "11:001 x\r\n01:000 x\r\n00:005 x\r\n01:256 x\r\n"
                        "10:255 last\r\n",
                        {{9, 254, "last"}}},
        CommentFileCase{"fixed columns", "1:002 text\r\n", {{0, 1, "ext"}}},
        CommentFileCase{"signs and spaces in the number columns",
                        " 3:004 x\r\n+1:+12 y\r\n-1:001 z\r\n02:-01 w\r\n",
                        {{2, 3, "x"}, {0, 11, "y"}}},
        CommentFileCase{"short lines give empty texts",
                        "01:005\r\n02:003 \r\n03:7\r\n",
                        {{0, 4, ""}, {1, 2, ""}, {2, 6, ""}}},
        CommentFileCase{"garbage and empty lines are skipped",
                        "\r\n\nhello world\r\n::::::::\r\nab:cde f\r\n\r\n",
                        {}},
        CommentFileCase{"later line replaces earlier",
                        "05:010 first\r\n05:010 second\r\n",
                        {{4, 9, "second"}}},
        CommentFileCase{"carriage returns dropped anywhere",
                        "01:001 a\rb\r\r\n",
                        {{0, 0, "ab"}}},
        CommentFileCase{"text keeps inner spaces and separators",
                        "01:001  a:b  \r\n",
                        {{0, 0, " a:b  "}}},
        CommentFileCase{"line over 299 characters is cut, not split",
                        LongLine(),
                        {{3, 3, std::string(199, 'x')}}},
        CommentFileCase{"empty file", "", {}}));

TEST(ProgramFileTest, UnencodableCommentFailsWithoutTouchingFiles) {
  TempFolder folder;
  const auto file = folder / "p.prg";
  WriteBytes(file, "old program");
  WriteBytes(folder / "p.cmt", "01:001 old\r\n");
  ProgramStore store;
  store.SetComment(0, 5, "ok");
  store.SetComment(6, 7, "日本");
  EXPECT_EQ(FindUnencodableComment(store.comments()), (CommentSlot{6, 7}));
  EXPECT_FALSE(FormatCommentFile(store.comments()).has_value());
  EXPECT_FALSE(SaveProgramFile(store, file));
  EXPECT_EQ(ReadBytes(file), "old program");
  EXPECT_EQ(ReadBytes(folder / "p.cmt"), "01:001 old\r\n");
  store.ClearComment(6, 7);
  EXPECT_FALSE(FindUnencodableComment(store.comments()).has_value());
}

TEST(ProgramFileTest, ProgramWriteFailingPartWayKeepsBothOldFiles) {
  TempFolder folder;
  const auto file = folder / "p.prg";
  const std::string old_program(kImageSize, '\x11');
  WriteBytes(file, old_program);
  WriteBytes(folder / "p.cmt", "01:001 old\r\n");
  ProgramStore store;
  {
    FileSizeLimit limit(4096);
    EXPECT_FALSE(SaveProgramFile(store, file));
  }
  EXPECT_EQ(ReadBytes(file), old_program);
  EXPECT_EQ(ReadBytes(folder / "p.cmt"), "01:001 old\r\n");
  EXPECT_EQ(folder.EntryCount(), 2);
}

TEST(ProgramFileTest, CommentWriteFailingPartWayKeepsBothOldFiles) {
  TempFolder folder;
  const auto file = folder / "p.prg";
  WriteBytes(folder / "p.cmt", "01:001 old\r\n");
  ProgramStore store;
  for (int command = 0; command < kCommandsPerSegment; ++command) {
    store.SetComment(0, command, std::string(100, 'c'));
  }
  {
    FileSizeLimit limit(kImageSize + 100);
    EXPECT_FALSE(SaveProgramFile(store, file));
  }
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(ReadBytes(folder / "p.cmt"), "01:001 old\r\n");
  EXPECT_EQ(folder.EntryCount(), 1);
}

// A disk that fills up at any byte of either file: both files stay as they
// were, no temporary file stays, and the failure names the file that did
// not fit and the system's reason.
TEST(ProgramFileTest, SaveInterruptedAtAnyByteLeavesOnlyWholeFiles) {
  ProgramStore store;
  store.mutable_image().fill(0x22);
  for (int command = 0; command < kCommandsPerSegment; ++command) {
    store.SetComment(1, command, std::string(100, 'k'));
  }
  const std::string comments = *FormatCommentFile(store.comments());
  ASSERT_GT(comments.size(), kImageSize);
  const std::string old_program(kImageSize, '\x11');
  const std::string old_comments = "01:001 old\r\n";
  for (const std::size_t limit :
       {std::size_t{0}, std::size_t{1}, kImageSize / 2, kImageSize - 1,
        kImageSize, kImageSize + 1, comments.size() / 2, comments.size() - 1}) {
    SCOPED_TRACE(limit);
    TempFolder folder;
    WriteBytes(folder / "p.prg", old_program);
    WriteBytes(folder / "p.cmt", old_comments);
    ProgramSaveResult saved;
    {
      FileSizeLimit full(limit);
      saved = SaveProgramFile(store, folder / "p.prg");
    }
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error->file,
              folder / (limit < kImageSize ? "p.prg" : "p.cmt"));
    EXPECT_EQ(saved.error->reason, SystemErrorText(EFBIG));
    EXPECT_EQ(ReadBytes(folder / "p.prg"), old_program);
    EXPECT_EQ(ReadBytes(folder / "p.cmt"), old_comments);
    EXPECT_EQ(folder.EntryCount(), 2);
  }
}

// The disk, failing at one of the two renames (the comment file's first;
// a full disk while writing is the test above). Until the program file is
// renamed it is the old one; a failure of that last rename, like a kill
// just before it, leaves the new comments beside the old program.
class FailingFiles : public FileLayer {
 public:
  explicit FailingFiles(int failing_rename) : failing_rename_(failing_rename) {}

  std::optional<FileStart> ReadStart(
      const std::filesystem::path& path,
      std::span<std::uint8_t> buffer) const override {
    return DiskFiles().ReadStart(path, buffer);
  }
  bool ReadPieces(
      const std::filesystem::path& path,
      const std::function<void(std::string_view)>& take) const override {
    return DiskFiles().ReadPieces(path, take);
  }
  std::unique_ptr<StagedWrite> Stage(const std::filesystem::path& path,
                                     std::span<const std::uint8_t> bytes,
                                     FileWriteError& error) override {
    std::unique_ptr<StagedWrite> staged = DiskFiles().Stage(path, bytes, error);
    if (!staged) return nullptr;
    return std::make_unique<Staged>(*this, path, std::move(staged));
  }
  void SyncFolderOf(const std::filesystem::path&) override {}

  static constexpr const char* kReason = "No space left on device";

 private:
  class Staged : public StagedWrite {
   public:
    Staged(FailingFiles& files, std::filesystem::path path,
           std::unique_ptr<StagedWrite> disk)
        : files_(files), path_(std::move(path)), disk_(std::move(disk)) {}
    bool Commit(FileWriteError& error) override {
      if (!files_.Fails()) return disk_->Commit(error);
      error = {path_, kReason};
      return false;
    }

   private:
    FailingFiles& files_;
    std::filesystem::path path_;
    std::unique_ptr<StagedWrite> disk_;
  };

  bool Fails() { return rename_++ == failing_rename_; }

  int failing_rename_;
  int rename_ = 0;
};

TEST(ProgramFileTest, FailingRenameOfASaveDecidesWhatIsLeft) {
  const std::string old_program(kImageSize, '\x11');
  const std::string old_comments = "01:001 old\r\n";
  ProgramStore store;
  store.mutable_image().fill(0x22);
  store.SetComment(0, 0, "nowy");
  const std::string new_program = ImageBytes(store.image());
  const std::string new_comments = "01:001 nowy\r\n";
  const struct {
    const char* what;
    int failing_rename;
    const char* failed_file;  // nullptr: the save succeeds
    const std::string& program;
    const std::string& comments;
  } cases[] = {
      {"renaming the comments", 0, "p.cmt", old_program, old_comments},
      {"renaming the program", 1, "p.prg", old_program, new_comments},
      {"nothing", -1, nullptr, new_program, new_comments},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    WriteBytes(folder / "p.prg", old_program);
    WriteBytes(folder / "p.cmt", old_comments);
    FailingFiles files(c.failing_rename);
    const ProgramSaveResult saved =
        SaveProgramFile(store, folder / "p.prg", files);
    if (c.failed_file == nullptr) {
      EXPECT_TRUE(saved);
    } else {
      ASSERT_FALSE(saved);
      EXPECT_EQ(saved.error->file, folder / c.failed_file);
      EXPECT_EQ(saved.error->reason, FailingFiles::kReason);
    }
    EXPECT_EQ(ReadBytes(folder / "p.prg"), c.program);
    EXPECT_EQ(ReadBytes(folder / "p.cmt"), c.comments);
    EXPECT_EQ(folder.EntryCount(), 2);
  }
}

TEST(ProgramFileTest, CommentFileThatCannotBeCreatedFailsTheWholeSave) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "p.cmt");
  ProgramStore store;
  store.SetComment(0, 0, "lost");
  const ProgramSaveResult saved = SaveProgramFile(store, folder / "p.prg");
  ASSERT_FALSE(saved);
  EXPECT_EQ(saved.error->file, folder / "p.cmt");
  EXPECT_EQ(saved.error->reason, SystemErrorText(EISDIR));
  EXPECT_FALSE(std::filesystem::exists(folder / "p.prg"));
  EXPECT_TRUE(std::filesystem::is_directory(folder / "p.cmt"));
}

TEST(ProgramFileTest, ProgramFileThatCannotBeCreatedLeavesCommentsAlone) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "p.prg");
  WriteBytes(folder / "p.cmt", "01:001 old\r\n");
  ProgramStore store;
  store.SetComment(0, 0, "new");
  EXPECT_FALSE(SaveProgramFile(store, folder / "p.prg"));
  EXPECT_FALSE(SaveProgramFile(store, folder / "missing" / "p.prg"));
  EXPECT_EQ(ReadBytes(folder / "p.cmt"), "01:001 old\r\n");
}

}  // namespace
}  // namespace lumera
