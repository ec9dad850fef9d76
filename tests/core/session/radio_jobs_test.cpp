// The two radio resets: the main window's and the access point's, which may
// replace the queue of a running job.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/link/transfer_job.h"
#include "core/session/jobs.h"
#include "core/session/reply_apply.h"
#include "core/session/workspace.h"
#include "support/fake_job_prompts.h"
#include "support/fake_serial_port.h"
#include "support/forwarding_port.h"

namespace lumera {
namespace {

using Bytes = std::vector<std::uint8_t>;

using NoPrompts = FakeJobPrompts;

// Block type and the three selection words of an envelope (no 0x10 in the
// header in these tests), and whether it ends with the "$$" trailer.
struct Envelope {
  std::uint8_t type;
  std::uint16_t words[3];
  bool trailer;
  std::uint8_t code;
};

Envelope Parse(const Bytes& wire) {
  Envelope e{};
  e.type = wire[2];
  for (int k = 0; k < 3; ++k) {
    e.words[k] =
        static_cast<std::uint16_t>(wire[4 + 2 * k] | (wire[5 + 2 * k] << 8));
  }
  e.trailer = wire.size() > 2 && wire[wire.size() - 1] == 0x24 &&
              wire[wire.size() - 2] == 0x24;
  e.code = wire[10 + 4];
  return e;
}

class RadioJobsTest : public testing::Test {
 protected:
  RadioJobsTest() {
    PortAccess access;
    access.create = [this] { return std::make_unique<ForwardingPort>(port_); };
    job_.SetPortAccess(access);
    workspace_.settings.radio_option = 1;
    workspace_.settings.target_radio_address = {1, 2, 0x30};      // 0x1230
    workspace_.settings.access_point_address = {0xA, 0xB, 0x20};  // 0xAB20
  }

  bool Wait() {
    const bool ok = observer_.WaitForJob();
    job_.Join();
    return ok;
  }

  FakeSerialPort port_;
  Workspace workspace_;
  NoPrompts prompts_;
  DirectObserver observer_{workspace_};
  TransferJob job_;
  LinkContext context_{workspace_, job_, observer_, prompts_};
};

TEST_F(RadioJobsTest, NothingWithTheRadioOff) {
  workspace_.settings.radio_option = 0;
  EXPECT_FALSE(StartRadioReset(context_));
  EXPECT_FALSE(StartAccessPointReset(context_));
  EXPECT_FALSE(job_.prepared());
  EXPECT_FALSE(job_.reset_marks().access_point.load());
  EXPECT_FALSE(job_.reset_marks().radio_box.load());
}

struct ResetCase {
  const char* name;
  bool access_point;
  RadioMode mode;
  Envelope expected;
};

TEST_F(RadioJobsTest, EachResetFrameCarriesItsAddress) {
  const ResetCase cases[] = {
      {"radio box, point",
       false,
       RadioMode::kPoint,
       {0x02, {0x1230, 0x1230, 0x1230}, false, 69}},
      {"radio box, all",
       false,
       RadioMode::kAll,
       {0x02, {0xFFFA, 0xFFFF, 0xFFFF}, false, 69}},
      {"access point, all",
       true,
       RadioMode::kAll,
       {0x02, {0xAB20, 0xAB20, 0xAB20}, true, 69}},
  };
  for (const ResetCase& c : cases) {
    SCOPED_TRACE(c.name);
    port_.writes.clear();
    workspace_.link.radio_mode = c.mode;
    ASSERT_TRUE(c.access_point ? StartAccessPointReset(context_)
                               : StartRadioReset(context_));
    EXPECT_TRUE(Wait());
    ASSERT_EQ(port_.writes.size(), 1u);
    const Envelope e = Parse(port_.writes[0]);
    EXPECT_EQ(e.type, c.expected.type);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(e.words[k], c.expected.words[k]);
    EXPECT_EQ(e.trailer, c.expected.trailer);
    EXPECT_EQ(e.code, c.expected.code);
    EXPECT_FALSE(job_.reset_marks().access_point.load());
    EXPECT_FALSE(job_.reset_marks().radio_box.load());
  }
}

TEST_F(RadioJobsTest, AccessPointResetReplacesTheQueueOfARunningJob) {
  // A running job of frames without reply; the reset is pressed while its
  // first frame goes out.
  bool replaced = false;
  bool radio_box_ignored = false;
  port_.on_write = [&](std::span<const std::uint8_t>, FakeSerialPort&) {
    if (port_.writes.size() == 1) {
      radio_box_ignored = !StartRadioReset(context_);
      replaced = StartAccessPointReset(context_);
    }
  };
  job_.SetLineValues(LineValuesOf(workspace_));
  ASSERT_TRUE(
      job_.Prepare({JobDirection::kSend, false, false, true}, prompts_));
  for (int k = 0; k < 5; ++k) {
    const Bytes place = {0, static_cast<std::uint8_t>(k)};
    ASSERT_TRUE(job_.Queue(RequestCode::kSetStopPoint, place));
  }
  ASSERT_TRUE(job_.Start(observer_));
  EXPECT_TRUE(Wait());
  EXPECT_TRUE(replaced);
  EXPECT_TRUE(radio_box_ignored);
  ASSERT_EQ(port_.writes.size(), 2u);
  const Envelope first = Parse(port_.writes[0]);
  EXPECT_EQ(first.type, 0x09);
  EXPECT_EQ(first.code, 99);
  EXPECT_FALSE(first.trailer);
  const Envelope second = Parse(port_.writes[1]);
  EXPECT_EQ(second.type, 0x02);
  EXPECT_EQ(second.code, 69);
  EXPECT_EQ(second.words[0], 0xAB20);
  EXPECT_TRUE(second.trailer);
}

TEST_F(RadioJobsTest, AFrameOnItsWayWhenTheResetIsPressedKeepsItsAddress) {
  // The press marks the access point first and replaces the queue after it;
  // the job's next frame is written in between.
  port_.on_write = [&](std::span<const std::uint8_t>, FakeSerialPort&) {
    if (port_.writes.size() == 1) job_.reset_marks().access_point.store(true);
    if (port_.writes.size() == 2) {
      EXPECT_TRUE(job_.ReplaceQueue(RequestCode::kResetRadio));
    }
  };
  job_.SetLineValues(LineValuesOf(workspace_));
  ASSERT_TRUE(
      job_.Prepare({JobDirection::kSend, false, false, true}, prompts_));
  for (int k = 0; k < 5; ++k) {
    const Bytes place = {0, static_cast<std::uint8_t>(k)};
    ASSERT_TRUE(job_.Queue(RequestCode::kSetStopPoint, place));
  }
  ASSERT_TRUE(job_.Start(observer_));
  EXPECT_TRUE(Wait());
  ASSERT_EQ(port_.writes.size(), 3u);
  const Envelope on_its_way = Parse(port_.writes[1]);
  EXPECT_EQ(on_its_way.code, 99);
  EXPECT_EQ(on_its_way.type, 0x09);
  EXPECT_EQ(on_its_way.words[0], 0x1230);
  EXPECT_FALSE(on_its_way.trailer);
  const Envelope reset = Parse(port_.writes[2]);
  EXPECT_EQ(reset.code, 69);
  EXPECT_EQ(reset.type, 0x02);
  EXPECT_EQ(reset.words[0], 0xAB20);
  EXPECT_TRUE(reset.trailer);
  EXPECT_FALSE(job_.reset_marks().access_point.load());
}

}  // namespace
}  // namespace lumera
