// Several virtual controllers sharing one line. Each answers the frames
// addressed to its own number; 255 reaches all of them, and when more than
// one answers at once the replies collide into garbage.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/request_reader.h"
#include "sim/sim_controller.h"
#include "sim/sim_fault.h"

namespace lumera {

class SimLine {
 public:
  // `radio`: requests and replies travel in the radio envelope.
  SimLine(std::vector<SimController> controllers, bool radio);

  // Bytes received from the line; returns the bytes to send back.
  std::vector<std::uint8_t> Receive(std::span<const std::uint8_t> bytes);

  // Forgets a partly received frame (the line went quiet in the middle).
  void DropPartialFrame();
  bool MidFrame() const;

  std::span<SimController> Controllers() { return controllers_; }
  std::span<const SimController> Controllers() const { return controllers_; }

  // The one fault this line puts on a reply.
  void SetFault(const SimFault& fault) { fault_ = fault; }
  // Whether the fault hit in the last Receive, and what the server still
  // has to do for it (delay, pause, hang-up) at which offset of its output.
  std::optional<PendingFault> TakeFault() {
    auto hit = std::move(hit_);
    hit_.reset();
    return hit;
  }

  // Called with one line of text per request handled; empty = quiet.
  void SetLog(std::function<void(const std::string&)> log) {
    log_ = std::move(log);
  }

 private:
  // The answer to one request; `radio_header` is the request's 8-byte radio
  // header (empty on a direct line).
  void Dispatch(const SimRequest& request,
                std::span<const std::uint8_t> radio_header,
                std::vector<std::uint8_t>& out);

  std::vector<SimController> controllers_;
  bool radio_;
  DirectRequestReader direct_reader_;
  RadioEnvelopeReader radio_reader_;
  std::function<void(const std::string&)> log_;
  SimFault fault_;
  int requests_ = 0;
  std::optional<PendingFault> hit_;
};

// What the line carries when several controllers answer at once: one byte
// more than the longest answer, no byte of which can start a frame or an
// envelope, so no reader takes it for a reply.
std::vector<std::uint8_t> CollisionBytes(
    std::span<const std::vector<std::uint8_t>> answers);

}  // namespace lumera
