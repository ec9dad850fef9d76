#include "core/link/request_queue.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace lumera {
namespace {

TEST(RequestQueue, RefusesAnEntryThatWouldRunPastTheBuffer) {
  RequestQueue queue;
  const std::array<std::uint8_t, 32> block{};
  // 35-byte entries: fill up to less than one entry from the end.
  int appended = 0;
  while (queue.Append(84, block, 6)) ++appended;
  EXPECT_EQ(appended, static_cast<int>(kRequestQueueBytes / 35));
  EXPECT_EQ(queue.count(), appended);
  // A smaller entry that fills the rest exactly is taken; then not even an
  // entry without payload fits.
  const std::size_t left = kRequestQueueBytes - 35 * appended;
  std::vector<std::uint8_t> tail(left - 3, 0xAB);
  EXPECT_TRUE(queue.Append(78, tail, 9));
  EXPECT_FALSE(queue.Append(65, {}, 6));
  EXPECT_EQ(queue.count(), appended + 1);
}

TEST(RequestQueue, HoldsTheNineSegmentUpload) {
  RequestQueue queue;
  ASSERT_TRUE(queue.Append(96, {}, 6));
  for (int segment = 0; segment < 9; ++segment) {
    for (int command = 0; command < 255; ++command) {
      const std::array<std::uint8_t, 5> payload{
          static_cast<std::uint8_t>(segment),
          static_cast<std::uint8_t>(command), 1, 2, 3};
      ASSERT_TRUE(queue.Append(77, payload, 6));
    }
  }
  ASSERT_TRUE(queue.Append(64, {}, 0));
  EXPECT_EQ(queue.count(), 2297);
}

TEST(RequestQueue, GivesEntriesBackInOrderWithTheirLayout) {
  RequestQueue queue;
  const std::array<std::uint8_t, 2> place{3, 200};
  ASSERT_TRUE(queue.Append(78, place, 9));
  ASSERT_TRUE(queue.Append(64, {}, 0x80 | 6));  // only seven bits are R
  QueuedRequest entry;
  ASSERT_TRUE(queue.Take(entry));
  EXPECT_EQ(entry.length, 4);
  EXPECT_EQ(entry.reply_length, 9);
  EXPECT_EQ(entry.code, 78);
  EXPECT_EQ(entry.payload_size(), 2);
  EXPECT_EQ(entry.payload[0], 3);
  EXPECT_EQ(entry.payload[1], 200);
  ASSERT_TRUE(queue.Take(entry));
  EXPECT_EQ(entry.length, 2);
  EXPECT_EQ(entry.reply_length, 6);
  EXPECT_EQ(entry.code, 64);
  EXPECT_FALSE(queue.Take(entry));
  EXPECT_EQ(queue.count(), 0);
  queue.Clear();
  EXPECT_FALSE(queue.Take(entry));
  EXPECT_TRUE(queue.empty());
}

}  // namespace
}  // namespace lumera
