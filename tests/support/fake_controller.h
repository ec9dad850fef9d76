// A controller on the far side of a pseudo-terminal, for tests of whole
// jobs through the system's serial port: a thread reads request frames from
// the master side and answers them per request code, from a small memory of
// its own. Tests script faults per request and see every request received.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/model/program_types.h"
#include "support/reply_frames.h"

namespace lumera {

class FakeController {
 public:
  struct Request {
    int index = 0;  // 0-based, in the order received
    std::uint8_t destination = 0;
    std::uint8_t code = 0;
    std::vector<std::uint8_t> payload;
    bool checksum_ok = true;
  };

  enum class Action {
    kAnswer,       // the reply of the code (none for codes without one)
    kSilent,       // no reply at all
    kBadChecksum,  // the reply with its last byte wrong
    kStrayByte,    // one byte of noise, then the reply
    kTruncated,    // the reply without its last two bytes
  };

  // The controller's memory, readable and writable between jobs.
  struct Memory {
    std::uint8_t address = 1;
    ProgramImage image{};  // program and configuration, as on the wire
    std::array<std::uint8_t, 8> registers{};
    std::uint8_t position_segment = 0;
    std::uint8_t position_command = 0;
    std::array<std::uint8_t, 4> error_report{};
    std::uint8_t version = 0x12;
    std::array<std::uint8_t, 10> hardware_info{};
    std::array<std::uint8_t, 3> clock{0x12, 0x30, 0x00};
    int defaults_loaded = 0;  // LoadDefaults received
    int restarts = 0;
  };

  FakeController();
  ~FakeController();
  FakeController(const FakeController&) = delete;
  FakeController& operator=(const FakeController&) = delete;

  bool ok() const { return master_ >= 0; }
  // The pseudo-terminal's device path, for the port to open.
  const std::string& device() const { return device_; }

  // Decides how each request is answered (kAnswer when unset). Runs on the
  // controller's thread before the answer, so it may also act on the job
  // (abort, replace its queue) at a known point of the exchange.
  void SetScript(std::function<Action(const Request&)> script);

  Memory memory() const;
  void SetMemory(const Memory& memory);
  std::vector<Request> requests() const;
  void ClearRequests();
  // Waits until at least `count` requests have been received (a frame the
  // job wrote may still be on its way when the job ends); false when the
  // time ran out first.
  bool WaitForRequests(std::size_t count,
                       std::chrono::milliseconds timeout) const;

 private:
  void Run();
  void Handle(const std::vector<std::uint8_t>& frame);
  void Answer(const Request& request, Action action);
  void WriteAll(const std::vector<std::uint8_t>& bytes);

  int master_ = -1;
  int slave_ = -1;  // held open so the master never sees a hang-up
  std::string device_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  mutable std::condition_variable received_;
  Memory memory_;
  std::vector<Request> requests_;
  std::function<Action(const Request&)> script_;
  std::thread thread_;
};

}  // namespace lumera
