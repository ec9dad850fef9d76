#include "support/in_memory_controller.h"

#include <deque>
#include <string>
#include <utility>

namespace lumera {

// Opens whatever it is given; the line is always there.
class InMemoryController::Port : public SerialPort {
 public:
  explicit Port(InMemoryController& controller) : controller_(controller) {}

  bool Open(std::string_view) override { return open_ = true; }
  bool SetBuffers(int, int) override { return open_; }
  bool SetLine(const LineSettings&) override { return open_; }
  bool SetTimeouts(const SerialTiming&) override { return open_; }
  void Purge() override { input_.clear(); }
  int Write(std::span<const std::uint8_t> bytes) override {
    if (!open_) return -1;
    const std::vector<std::uint8_t> reply = controller_.Receive(bytes);
    input_.insert(input_.end(), reply.begin(), reply.end());
    return static_cast<int>(bytes.size());
  }
  // Nothing more comes once the input is read: a time-out at once.
  ReadResult ReadByte() override {
    if (input_.empty()) return {ReadStatus::kTimeout, 0};
    const std::uint8_t byte = input_.front();
    input_.pop_front();
    return {ReadStatus::kByte, byte};
  }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  const PortFailure& LastFailure() const override { return failure_; }

 private:
  InMemoryController& controller_;
  bool open_ = false;
  std::deque<std::uint8_t> input_;
  PortFailure failure_;
};

InMemoryController::InMemoryController(int time_of_day)
    : line_({SimController(FreshControllerState(),
                           [time_of_day] { return time_of_day; })},
            false) {}

std::unique_ptr<SerialPort> InMemoryController::MakePort() {
  return std::make_unique<Port>(*this);
}

SimControllerState InMemoryController::State() const {
  std::lock_guard lock(mutex_);
  return line_.Controllers()[0].State();
}

void InMemoryController::SetState(const SimControllerState& state) {
  std::lock_guard lock(mutex_);
  line_.Controllers()[0].MutableState() = state;
}

void InMemoryController::SetFault(FaultKind kind, int nth) {
  std::lock_guard lock(mutex_);
  line_.SetFault(SimFault{kind, received_ + nth, 0, std::nullopt});
}

void InMemoryController::SetHook(std::function<void(const Request&)> hook) {
  std::lock_guard lock(mutex_);
  hook_ = std::move(hook);
}

std::vector<InMemoryController::Request> InMemoryController::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void InMemoryController::ClearRequests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
}

std::vector<std::uint8_t> InMemoryController::Receive(
    std::span<const std::uint8_t> bytes) {
  std::vector<Request> arrived;
  std::function<void(const Request&)> hook;
  std::vector<std::uint8_t> reply;
  {
    std::lock_guard lock(mutex_);
    for (const std::uint8_t byte : bytes) {
      const auto request = reader_.Push(byte);
      if (!request) continue;
      ++received_;
      const auto payload = request->Payload();
      arrived.push_back({static_cast<int>(requests_.size()),
                         request->destination, request->code,
                         std::vector(payload.begin(), payload.end())});
      requests_.push_back(arrived.back());
    }
    hook = hook_;
  }
  // Outside the lock: a hook may wait for the test, which may look at the
  // controller meanwhile.
  if (hook) {
    for (const Request& request : arrived) hook(request);
  }
  std::lock_guard lock(mutex_);
  reply = line_.Receive(bytes);
  return reply;
}

}  // namespace lumera
