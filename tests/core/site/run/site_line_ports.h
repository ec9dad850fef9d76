// The ports of a site's lines in tests: each line's port name leads to its
// own in-memory controller.
#pragma once

#include <atomic>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/link/serial_port.h"
#include "support/in_memory_controller.h"

namespace lumera {

using Lines = std::vector<std::pair<std::string, InMemoryController*>>;

// How a line's opens went: the first `left` fail with `error`, as a busy
// network serial server's do. A request whose frame starts with `answer_to`
// never reaches the controller: `answer` comes back instead.
struct Opens {
  std::atomic<int> left{0};
  std::atomic<int> count{0};
  int error = 0;
  std::vector<std::uint8_t> answer_to;
  std::vector<std::uint8_t> answer;
};

class LinePort : public SerialPort {
 public:
  LinePort(const Lines& lines, Opens& opens) : lines_(lines), opens_(opens) {}
  bool Open(std::string_view name) override {
    ++opens_.count;
    if (opens_.left.fetch_sub(1) > 0) {
      failure_ = PortFailure{kOpenPortFailedText, opens_.error, "refused"};
      return false;
    }
    for (const auto& [line_port, controller] : lines_) {
      if (line_port == name) port_ = controller->MakePort();
    }
    return port_ != nullptr && port_->Open(name);
  }
  bool SetBuffers(int i, int o) override { return port_->SetBuffers(i, o); }
  bool SetLine(const LineSettings& s) override { return port_->SetLine(s); }
  bool SetTimeouts(const SerialTiming& t) override {
    return port_->SetTimeouts(t);
  }
  void Purge() override { port_->Purge(); }
  int Write(std::span<const std::uint8_t> b) override {
    const std::vector<std::uint8_t>& to = opens_.answer_to;
    if (to.empty() || b.size() < to.size() ||
        !std::equal(to.begin(), to.end(), b.begin())) {
      return port_->Write(b);
    }
    for (const std::uint8_t byte : opens_.answer) {
      held_.push_back({ReadStatus::kByte, byte});
    }
    return static_cast<int>(b.size());
  }
  ReadResult ReadByte() override {
    if (!held_.empty()) {
      const ReadResult next = held_.front();
      held_.pop_front();
      return next;
    }
    return port_->ReadByte();
  }
  void Close() override {
    if (port_) port_->Close();
  }
  bool IsOpen() const override { return port_ && port_->IsOpen(); }
  const PortFailure& LastFailure() const override {
    return port_ && (failure_.system_error == 0 || port_->IsOpen())
               ? port_->LastFailure()
               : failure_;
  }

 private:
  const Lines& lines_;
  Opens& opens_;
  PortFailure failure_;
  std::unique_ptr<SerialPort> port_;
  std::deque<ReadResult> held_;
};

inline std::function<std::unique_ptr<SerialPort>()> PortsOf(const Lines& lines,
                                                            Opens& opens) {
  return [&] { return std::make_unique<LinePort>(lines, opens); };
}

}  // namespace lumera
