#include "core/model/program_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "core/model/command_catalogue.h"

namespace lumera {
namespace {

TEST(ProgramStoreTest, StartsEmptyAndUnchanged) {
  const auto store = std::make_unique<ProgramStore>();
  EXPECT_TRUE(std::all_of(store->image().begin(), store->image().end(),
                          [](std::uint8_t b) { return b == 0xFF; }));
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    EXPECT_EQ(store->CommandListLength(segment), 0);
    for (int command = 0; command < kCommandsPerSegment; ++command) {
      ASSERT_EQ(store->Comment(segment, command), nullptr);
    }
  }
  EXPECT_FALSE(store->ProgramImageChanged());
  EXPECT_FALSE(store->LoadedFromFile());
}

TEST(ProgramStoreTest, CommandsLiveAtTheirImageOffsets) {
  ProgramStore store;
  ASSERT_TRUE(store.SetCommand(2, 11, Command{1, 2, 3}));
  EXPECT_EQ(store.image()[2 * 765 + 33], 1);
  EXPECT_EQ(store.image()[2 * 765 + 34], 2);
  EXPECT_EQ(store.image()[2 * 765 + 35], 3);
  EXPECT_EQ(store.CommandAt(2, 11), (Command{1, 2, 3}));
  ASSERT_TRUE(store.SetCommand(9, 254, Command{4, 5, 6}));
  EXPECT_EQ(store.image()[7647], 4);
  EXPECT_EQ(store.image()[7649], 6);
  // The configuration bytes are not reachable as commands.
  EXPECT_FALSE(store.SetCommand(10, 0, Command{0, 0, 0}));
  EXPECT_FALSE(store.SetCommand(0, 255, Command{0, 0, 0}));
  EXPECT_FALSE(store.SetCommand(-1, 0, Command{0, 0, 0}));
  EXPECT_EQ(store.CommandAt(10, 0), kEmptyCommand);
  EXPECT_EQ(store.CommandAt(0, -1), kEmptyCommand);
  EXPECT_EQ(store.image()[kGeneralConfigOffset], 0xFF);
}

TEST(ProgramStoreTest, ConfigBytesAreTheLast64ImageBytes) {
  ProgramStore store;
  store.MutableConfigBytes()[0] = 7;
  store.MutableConfigBytes()[63] = 9;
  EXPECT_EQ(store.image()[7650], 7);
  EXPECT_EQ(store.image()[7713], 9);
  EXPECT_EQ(store.ConfigBytes()[63], 9);
}

TEST(ProgramStoreTest, CommandListEndsAtFirstCodeWithoutEntry) {
  struct Case {
    const char* what;
    int fill_code;  // every slot's code, or -1 to keep 0xFF
    int slot;       // a slot set to `slot_code`, or -1
    int slot_code;
    int length;
  };
  const Case cases[] = {
      {"all empty", -1, -1, 0, 0},
      {"all zero bytes: STOP commands", 0, -1, 0, 255},
      {"code 45 first hides valid commands", 1, 0, 45, 0},
      {"empty slot in the middle", 44, 100, 0xFF, 100},
      {"last slot ends nothing", 14, 254, 0xFF, 254},
      {"code 0 is a command", -1, 0, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ProgramStore store;
    for (int command = 0; command < kCommandsPerSegment; ++command) {
      if (c.fill_code >= 0) {
        store.SetCommand(4, command,
                         Command{static_cast<std::uint8_t>(c.fill_code), 0, 0});
      }
    }
    if (c.slot >= 0) {
      store.SetCommand(4, c.slot,
                       Command{static_cast<std::uint8_t>(c.slot_code), 0, 0});
    }
    EXPECT_EQ(store.CommandListLength(4), c.length);
    EXPECT_EQ(store.CommandListLength(3), 0);
  }
  ProgramStore store;
  EXPECT_EQ(store.CommandListLength(-1), 0);
  EXPECT_EQ(store.CommandListLength(10), 0);
}

TEST(ProgramStoreTest, ChangeCheckCoversEveryImageByteButNotComments) {
  for (std::size_t offset :
       {std::size_t{0}, std::size_t{3825}, kProgramBytes - 1,
        kGeneralConfigOffset, kImageSize - 1}) {
    SCOPED_TRACE(offset);
    ProgramStore store;
    store.TakeSnapshot();
    store.mutable_image()[offset] = 0x00;
    EXPECT_TRUE(store.ProgramImageChanged());
    store.mutable_image()[offset] = 0xFF;
    EXPECT_FALSE(store.ProgramImageChanged());
  }
  ProgramStore store;
  store.SetComment(0, 0, "pompa");
  EXPECT_FALSE(store.ProgramImageChanged());
  store.SetCommand(0, 0, Command{1, 1, 5});
  EXPECT_TRUE(store.ProgramImageChanged());
  store.TakeSnapshot();
  EXPECT_FALSE(store.ProgramImageChanged());
  EXPECT_EQ(store.snapshot(), store.image());
}

TEST(CommentTableTest, EmptyTextIsKeptButIsNoComment) {
  CommentTable table;
  ASSERT_TRUE(table.Set(1, 2, ""));
  ASSERT_NE(table.Find(1, 2), nullptr);
  EXPECT_EQ(*table.Find(1, 2), "");
  EXPECT_FALSE(table.HasComment(1, 2));
  ASSERT_TRUE(table.Set(1, 2, "zawór"));
  EXPECT_TRUE(table.HasComment(1, 2));
  EXPECT_EQ(table.Text(1, 2), "zawór");
  ASSERT_TRUE(table.Clear(1, 2));
  EXPECT_EQ(table.Find(1, 2), nullptr);
  EXPECT_EQ(table.Text(1, 2), "");
}

TEST(CommentTableTest, SlotsOutOfRangeAreRefused) {
  CommentTable table;
  EXPECT_FALSE(table.Set(10, 0, "x"));
  EXPECT_FALSE(table.Set(0, 255, "x"));
  EXPECT_FALSE(table.Set(-1, 0, "x"));
  EXPECT_FALSE(table.Clear(0, -1));
  EXPECT_EQ(table.Find(0, 255), nullptr);
  EXPECT_EQ(table, CommentTable());
}

TEST(CommentTableTest, ClearingReachesExactlyItsSlots) {
  ProgramStore store;
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    store.SetComment(segment, 0, "a");
    store.SetComment(segment, 254, "b");
  }
  store.ClearSegmentComments(3);
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    EXPECT_EQ(store.Comment(segment, 0) == nullptr, segment == 3);
    EXPECT_EQ(store.Comment(segment, 254) == nullptr, segment == 3);
  }
  store.ClearComment(0, 254);
  EXPECT_EQ(store.Comment(0, 254), nullptr);
  EXPECT_NE(store.Comment(0, 0), nullptr);
  store.ClearAllComments();
  EXPECT_EQ(store.comments(), CommentTable());
}

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(CommentTableTest, NormalizesToOneLineOfAtMost199Characters) {
  struct Case {
    const char* what;
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"short text unchanged", "pompa 1", "pompa 1"},
      {"199 kept", Repeat("a", 199), Repeat("a", 199)},
      {"200 cut", Repeat("a", 200), Repeat("a", 199)},
      {"Polish letters count once", Repeat("ł", 250), Repeat("ł", 199)},
      {"cut never splits a letter", std::string("a").append(Repeat("€", 300)),
       std::string("a").append(Repeat("€", 198))},
      {"ends at NUL", std::string("ab\0cd", 5), "ab"},
      {"line breaks become spaces", "a\r\nb\nc", "a  b c"},
      {"invalid bytes count once each", Repeat("\xFF", 250),
       Repeat("\xFF", 199)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(NormalizeCommentText(c.in), c.out);
    CommentTable table;
    table.Set(0, 0, c.in);
    EXPECT_EQ(table.Text(0, 0), c.out);
  }
}

}  // namespace
}  // namespace lumera
