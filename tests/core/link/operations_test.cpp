#include "core/link/operations.h"

#include <gtest/gtest.h>

#include <set>

namespace lumera {
namespace {

struct OperationCase {
  int code;
  const char* name;
  int payload;
  int reply;
};

// The controller's requests as the firmware expects them: R is the whole
// reply frame (5 header bytes, the data, the checksum).
constexpr OperationCase kOperations[] = {
    {64, "RestartController", 0, 0},
    {65, "PauseProgram", 0, 6},
    {66, "ResumeProgram", 0, 6},
    {67, "StepCommand", 1, 6},
    {68, "ReadPosition", 0, 8},
    {69, "ResetRadio", 0, 0},
    {71, "ReadControllerNumber", 0, 7},
    {72, "WriteControllerNumber", 1, 6},
    {77, "WriteCommand", 5, 6},
    {78, "ReadCommand", 2, 9},
    {81, "LoadDefaults", 1, 6},
    {84, "WriteConfiguration", 32, 6},
    {85, "WriteStartPoints", 32, 6},
    {86, "ReadConfiguration", 0, 38},
    {87, "ReadStartPoints", 0, 38},
    {88, "ReadHardwareInfo", 0, 16},
    {90, "ReadErrorReport", 0, 10},
    {91, "RunStartPointByIndex", 1, 6},
    {92, "SelectTempo", 1, 6},
    {93, "ReadVersion", 0, 7},
    {94, "RunFrom", 9, 0},
    {96, "StopProgram", 0, 6},
    {98, "ReadRegisters", 0, 14},
    {99, "SetStopPoint", 2, 0},
    {100, "WriteClock", 3, 9},
    {101, "ReadClock", 3, 9},
};

class OperationTableTest : public testing::TestWithParam<OperationCase> {};

TEST_P(OperationTableTest, PayloadAndReplyLength) {
  const OperationCase& c = GetParam();
  const OperationDef* op = FindOperation(static_cast<std::uint8_t>(c.code));
  ASSERT_NE(op, nullptr);
  EXPECT_EQ(op->name, c.name);
  EXPECT_EQ(op->payload_size, c.payload);
  EXPECT_EQ(op->reply_length, c.reply);
}

INSTANTIATE_TEST_SUITE_P(AllCodes, OperationTableTest,
                         testing::ValuesIn(kOperations), [](const auto& info) {
                           return std::string(info.param.name);
                         });

TEST(OperationTable, HasTwentySixCodesAndNothingElse) {
  std::set<int> known;
  for (const OperationCase& c : kOperations) known.insert(c.code);
  ASSERT_EQ(known.size(), static_cast<std::size_t>(kOperationCount));
  for (int code = 0; code < 256; ++code) {
    EXPECT_EQ(FindOperation(static_cast<std::uint8_t>(code)) != nullptr,
              known.contains(code))
        << code;
  }
}

}  // namespace
}  // namespace lumera
