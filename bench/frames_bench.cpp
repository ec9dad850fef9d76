// The link's per-request work in memory: building a request frame, reading
// a reply byte by byte and checking it, the radio envelope both ways, and
// the catalogue lookups done per command and per reply.
#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/link/frames.h"
#include "core/link/operations.h"
#include "core/model/command_catalogue.h"

namespace lumera {
namespace {

// Hands out one fixed reply again and again, without allocating.
class ReplayPort : public SerialPort {
 public:
  explicit ReplayPort(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  void Rewind() { next_ = 0; }

  bool Open(std::string_view) override { return true; }
  bool SetBuffers(int, int) override { return true; }
  bool SetLine(const LineSettings&) override { return true; }
  bool SetTimeouts(const SerialTiming&) override { return true; }
  void Purge() override {}
  int Write(std::span<const std::uint8_t> bytes) override {
    return static_cast<int>(bytes.size());
  }
  ReadResult ReadByte() override {
    if (next_ == bytes_.size()) return {ReadStatus::kTimeout, 0};
    return {ReadStatus::kByte, bytes_[next_++]};
  }
  void Close() override {}
  bool IsOpen() const override { return true; }
  const PortFailure& LastFailure() const override { return failure_; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t next_ = 0;
  PortFailure failure_;
};

constexpr std::array<std::uint8_t, 3> kReadCommand = {0x4E, 0x04, 0x10};
constexpr std::array<std::uint8_t, 9> kCommandReply = {
    0x88, 0xFF, 0x01, 0x05, 0x4E, 0x01, 0x02, 0x03, 0xE1};

void BM_BuildRequestFrame(benchmark::State& state) {
  RequestFrame frame;
  std::uint8_t destination = 1;
  for (auto _ : state) {
    BuildRequestFrame(destination, 4, kReadCommand, frame);
    benchmark::DoNotOptimize(frame);
    destination = static_cast<std::uint8_t>(destination % 254 + 1);
  }
}
BENCHMARK(BM_BuildRequestFrame);

void BM_ReadAndCheckDirectReply(benchmark::State& state) {
  ReplayPort port(kCommandReply);
  ReplyBuffer reply;
  const std::atomic<bool> abort{false};
  RadioSettings radio;
  for (auto _ : state) {
    port.Rewind();
    bool complete = false;
    const int count = ReadReply(port, radio, reply, 9, abort, complete);
    benchmark::DoNotOptimize(CheckReadReply(reply, count, 9, complete));
  }
}
BENCHMARK(BM_ReadAndCheckDirectReply);

void BM_RadioEnvelopeBuildAndRead(benchmark::State& state) {
  RadioSettings radio;
  radio.enabled = true;
  radio.target_address = 0x1010;  // every address byte doubled
  RadioResetMarks marks;
  RadioEnvelope envelope;
  ReplyBuffer reply;
  const std::atomic<bool> abort{false};
  for (auto _ : state) {
    BuildRadioEnvelope(kCommandReply, radio, marks, envelope);
    ReplayPort port(envelope.View());
    benchmark::DoNotOptimize(ReadRadioReply(port, reply, 9, abort));
  }
}
BENCHMARK(BM_RadioEnvelopeBuildAndRead);

void BM_CatalogueLookup(benchmark::State& state) {
  std::uint8_t code = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(CommandDefForCode(code));
    benchmark::DoNotOptimize(FindOperation(static_cast<std::uint8_t>(code)));
    ++code;
  }
}
BENCHMARK(BM_CatalogueLookup);

}  // namespace
}  // namespace lumera
