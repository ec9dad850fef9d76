// The virtual controller behind an in-memory serial port, for tests of whole
// jobs: what a job writes reaches the simulator's line on the job's own
// thread, and the line's answer waits as the port's input. A line fault
// makes the controller misbehave as lumera-sim's --fault does.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "core/link/serial_port.h"
#include "sim/request_reader.h"
#include "sim/sim_controller.h"
#include "sim/sim_fault.h"
#include "sim/sim_line.h"

namespace lumera {

class InMemoryController {
 public:
  struct Request {
    int index = 0;  // 0-based, counted from the last ClearRequests
    std::uint8_t destination = 0;
    std::uint8_t code = 0;
    std::vector<std::uint8_t> payload;
  };

  // The controller's clock stands at `time_of_day` (seconds after midnight).
  explicit InMemoryController(int time_of_day = 12 * 3600 + 30 * 60);

  // A new port on this controller, for PortAccess::create.
  std::unique_ptr<SerialPort> MakePort();

  SimControllerState State() const;
  void SetState(const SimControllerState& state);

  // `kind` hits the reply to the `nth` request from now (1: the next one).
  // Only the faults on the bytes act here (checksum, cut, extra, stray,
  // silence; a hang-up is silence): the port has no time to delay.
  void SetFault(FaultKind kind, int nth);

  // Runs on the job's thread at each request, before its answer is queued,
  // so it may act on the job at a known point of the exchange.
  void SetHook(std::function<void(const Request&)> hook);

  std::vector<Request> requests() const;
  void ClearRequests();

 private:
  class Port;
  // The bytes the line answers to `bytes`; records the requests among them.
  std::vector<std::uint8_t> Receive(std::span<const std::uint8_t> bytes);

  mutable std::mutex mutex_;
  SimLine line_;
  DirectRequestReader reader_;
  int received_ = 0;  // requests since the start, as the line counts them
  std::vector<Request> requests_;
  std::function<void(const Request&)> hook_;
};

}  // namespace lumera
