#include "support/fake_controller.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <utility>

#include "core/link/raw_terminal.h"
#include "core/model/program_types.h"

namespace lumera {
namespace {

std::uint8_t Sum(const std::vector<std::uint8_t>& bytes) {
  std::uint8_t sum = 0;
  for (std::uint8_t b : bytes) sum = static_cast<std::uint8_t>(sum + b);
  return sum;
}

}  // namespace

FakeController::FakeController() {
  memory_.image.fill(0xFF);
  std::optional<PseudoTerminal> terminal = OpenRawPseudoTerminal();
  if (!terminal) return;
  master_ = terminal->master;
  slave_ = terminal->client;
  device_ = std::move(terminal->path);
  thread_ = std::thread([this] { Run(); });
}

FakeController::~FakeController() {
  stop_.store(true);
  if (thread_.joinable()) thread_.join();
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
}

void FakeController::SetScript(std::function<Action(const Request&)> script) {
  std::lock_guard lock(mutex_);
  script_ = std::move(script);
}

FakeController::Memory FakeController::memory() const {
  std::lock_guard lock(mutex_);
  return memory_;
}

void FakeController::SetMemory(const Memory& memory) {
  std::lock_guard lock(mutex_);
  memory_ = memory;
}

std::vector<FakeController::Request> FakeController::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void FakeController::ClearRequests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
}

bool FakeController::WaitForRequests(std::size_t count,
                                     std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return received_.wait_for(lock, timeout,
                            [&] { return requests_.size() >= count; });
}

void FakeController::Run() {
  // Hunts for 0x88, then takes the header and the L bytes it announces.
  std::vector<std::uint8_t> frame;
  while (!stop_.load()) {
    pollfd p{master_, POLLIN, 0};
    const int ready = ::poll(&p, 1, 10);
    if (ready <= 0 || (p.revents & POLLIN) == 0) continue;
    std::uint8_t buffer[256];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0) continue;
    for (ssize_t k = 0; k < n; ++k) {
      const std::uint8_t b = buffer[k];
      if (frame.empty() && b != 0x88) continue;
      frame.push_back(b);
      if (frame.size() >= 4 && frame.size() == 4u + frame[3]) {
        Handle(frame);
        frame.clear();
      }
    }
  }
}

void FakeController::Handle(const std::vector<std::uint8_t>& frame) {
  Request request;
  request.destination = frame[2];
  request.code = frame[4];
  request.payload.assign(frame.begin() + 5, frame.end() - 1);
  request.checksum_ok = Sum(std::vector<std::uint8_t>(
                            frame.begin(), frame.end() - 1)) == frame.back();
  std::lock_guard lock(mutex_);
  request.index = static_cast<int>(requests_.size());
  requests_.push_back(request);
  received_.notify_all();
  const Action action = script_ ? script_(request) : Action::kAnswer;
  if (request.destination != memory_.address && request.destination != 255) {
    return;
  }
  Answer(request, action);
}

void FakeController::Answer(const Request& request, Action action) {
  const auto& p = request.payload;
  auto at = [&p](std::size_t k) -> std::uint8_t {
    return k < p.size() ? p[k] : 0;
  };
  std::vector<std::uint8_t> data;
  bool replies = true;
  Memory& m = memory_;
  switch (request.code) {
    case 64:
      ++m.restarts;
      replies = false;
      break;
    case 69:
    case 94:
    case 99:
      replies = false;
      break;
    case 81:
      // Busy writing its EEPROM: the system does not read this reply.
      ++m.defaults_loaded;
      replies = false;
      break;
    case 65:
    case 66:
    case 67:
    case 91:
    case 92:
    case 96:
      break;
    case 68:
      data = {m.position_segment, m.position_command};
      break;
    case 71:
      data = {m.address};
      break;
    case 72:
      m.image[kGeneralConfigOffset] = at(0);
      break;
    case 77:
      if (at(0) < kSegmentCount && at(1) < kCommandsPerSegment) {
        const std::size_t offset = CommandOffset(at(0), at(1));
        m.image[offset] = at(2);
        m.image[offset + 1] = at(3);
        m.image[offset + 2] = at(4);
      }
      break;
    case 78:
      if (at(0) < kSegmentCount && at(1) < kCommandsPerSegment) {
        const std::size_t offset = CommandOffset(at(0), at(1));
        data = {m.image[offset], m.image[offset + 1], m.image[offset + 2]};
      } else {
        data = {0xFF, 0xFF, 0xFF};
      }
      break;
    case 84:
    case 85: {
      const std::size_t base =
          request.code == 84 ? kGeneralConfigOffset : kStartPointOffset;
      for (std::size_t k = 0; k < kConfigBlockSize && k < p.size(); ++k) {
        m.image[base + k] = p[k];
      }
      break;
    }
    case 86:
    case 87: {
      const std::size_t base =
          request.code == 86 ? kGeneralConfigOffset : kStartPointOffset;
      data.assign(m.image.begin() + static_cast<long>(base),
                  m.image.begin() + static_cast<long>(base + kConfigBlockSize));
      break;
    }
    case 88:
      data.assign(m.hardware_info.begin(), m.hardware_info.end());
      break;
    case 90:
      data.assign(m.error_report.begin(), m.error_report.end());
      break;
    case 93:
      data = {m.version};
      break;
    case 98:
      data.assign(m.registers.begin(), m.registers.end());
      break;
    case 100:
      m.clock = {at(0), at(1), at(2)};
      data.assign(m.clock.begin(), m.clock.end());
      break;
    case 101:
      data.assign(m.clock.begin(), m.clock.end());
      break;
    default:
      replies = false;
      break;
  }
  if (!replies || action == Action::kSilent) return;
  std::vector<std::uint8_t> reply = ReplyFrame(m.address, request.code, data);
  switch (action) {
    case Action::kBadChecksum:
      reply.back() = static_cast<std::uint8_t>(reply.back() + 1);
      break;
    case Action::kStrayByte:
      reply.insert(reply.begin(), 0x00);
      break;
    case Action::kTruncated:
      reply.resize(reply.size() - 2);
      break;
    default:
      break;
  }
  WriteAll(reply);
}

void FakeController::WriteAll(const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n =
        ::write(master_, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      return;
    }
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace lumera
