#include "sim/sim_line.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "core/link/operations.h"

namespace lumera {

namespace {

std::string HexText(std::span<const std::uint8_t> bytes) {
  std::string text;
  char digits[4];
  for (const std::uint8_t byte : bytes) {
    std::snprintf(digits, sizeof digits, " %02X", byte);
    text += digits;
  }
  return text;
}

std::string RequestText(const SimRequest& request) {
  const OperationDef* operation = FindOperation(request.code);
  std::string text = "-> " + std::to_string(request.destination) + " ";
  text += operation != nullptr ? std::string(operation->name)
                               : "code " + std::to_string(request.code);
  return text + HexText(request.Payload());
}

// A byte that cannot open a direct frame (0x88, 0x89) or an envelope (0x10).
std::uint8_t Garbled(std::uint8_t byte) {
  const bool opens =
      byte == kRequestStartByte || byte == kReplyStartByteAlt || byte == 0x10;
  return opens ? static_cast<std::uint8_t>(byte ^ 0x40) : byte;
}

}  // namespace

std::vector<std::uint8_t> CollisionBytes(
    std::span<const std::vector<std::uint8_t>> answers) {
  std::size_t longest = 0;
  for (const auto& answer : answers) longest = std::max(longest, answer.size());
  // Drivers fighting over the line: a 0 from anyone wins.
  std::vector<std::uint8_t> garbage(longest + 1, 0xFF);
  for (const auto& answer : answers) {
    for (std::size_t i = 0; i < answer.size(); ++i) garbage[i] &= answer[i];
  }
  std::transform(garbage.begin(), garbage.end(), garbage.begin(), Garbled);
  return garbage;
}

SimLine::SimLine(std::vector<SimController> controllers, bool radio)
    : controllers_(std::move(controllers)), radio_(radio) {}

bool SimLine::MidFrame() const {
  return radio_ ? radio_reader_.MidFrame() : direct_reader_.MidFrame();
}

void SimLine::DropPartialFrame() {
  direct_reader_.Reset();
  radio_reader_.Reset();
}

std::vector<std::uint8_t> SimLine::Receive(
    std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> out;
  for (const std::uint8_t byte : bytes) {
    if (!radio_) {
      if (const auto request = direct_reader_.Push(byte)) {
        Dispatch(*request, {}, out);
      }
      continue;
    }
    if (!radio_reader_.Push(byte)) continue;
    const auto block = radio_reader_.Block();
    if (block.size() < kRadioHeaderSize) continue;
    if (const auto request =
            ParseRequestFrame(block.subspan(kRadioHeaderSize))) {
      Dispatch(*request, block.first(kRadioHeaderSize), out);
    }
  }
  return out;
}

void SimLine::Dispatch(const SimRequest& request,
                       std::span<const std::uint8_t> radio_header,
                       std::vector<std::uint8_t>& out) {
  if (log_) log_(RequestText(request));
  ++requests_;
  const bool hit = fault_.kind != FaultKind::kNone &&
                   (fault_.number ? request.destination == *fault_.number
                                  : requests_ == fault_.at_request);
  if (hit) hit_ = PendingFault{fault_.kind, fault_.ms, out.size()};
  std::vector<std::vector<std::uint8_t>> answers;
  for (SimController& controller : controllers_) {
    // The number is taken before the request: a controller that is given a
    // new number still answers the frame that gave it.
    const std::uint8_t number = controller.Number();
    if (request.destination != number &&
        request.destination != kBroadcastDestination) {
      continue;
    }
    const auto reply = controller.Answer(request.code, request.Payload());
    if (!reply) continue;
    if (log_) log_("<- " + std::to_string(number) + HexText(reply->View()));
    std::vector<std::uint8_t> frame(reply->View().begin(), reply->View().end());
    if (hit) DamageFrame(fault_.kind, frame);
    if (radio_header.empty()) {
      answers.push_back(std::move(frame));
      continue;
    }
    // The reply goes back under the first selection word it came with.
    RadioSettings radio;
    radio.enabled = true;
    radio.mode = RadioMode::kPoint;
    radio.target_address =
        static_cast<std::uint16_t>(radio_header[2] | radio_header[3] << 8);
    RadioResetMarks marks;
    RadioEnvelope envelope;
    if (BuildRadioEnvelope(frame, radio, marks, envelope)) {
      answers.emplace_back(envelope.View().begin(), envelope.View().end());
    }
  }
  if (answers.size() == 1) {
    if (hit) DamageWire(fault_.kind, answers[0]);
    // A line that hangs up sends nothing more.
    if (hit && fault_.kind == FaultKind::kHangUp) answers[0].clear();
    out.insert(out.end(), answers[0].begin(), answers[0].end());
  } else if (answers.size() > 1) {
    if (log_) log_("<- collision of " + std::to_string(answers.size()));
    const auto garbage = CollisionBytes(answers);
    out.insert(out.end(), garbage.begin(), garbage.end());
  }
}

}  // namespace lumera
