#include "core/model/received_program.h"

namespace lumera {

std::optional<std::size_t> ReceivedProgram::Slot(int segment, int command) {
  if (segment < 0 || segment >= kSegmentCount || command < 0 ||
      command >= kCommandsPerSegment) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(segment) * kCommandsPerSegment +
         static_cast<std::size_t>(command);
}

void ReceivedProgram::StartIfEnded() {
  if (!ended_) return;
  asked_.reset();
  read_.reset();
  ended_ = false;
}

void ReceivedProgram::Ask(int segment, int command) {
  StartIfEnded();
  if (const auto slot = Slot(segment, command)) asked_.set(*slot);
}

void ReceivedProgram::JobStarted() { StartIfEnded(); }

void ReceivedProgram::Receive(int segment, int command, const Command& value) {
  StartIfEnded();
  const auto slot = Slot(segment, command);
  if (!slot) return;
  commands_[*slot] = value;
  read_.set(*slot);
}

void ReceivedProgram::JobEnded() { ended_ = true; }

bool ReceivedProgram::Replacing(int segment) const {
  if (ended_ || segment < 0 || segment >= kSegmentCount) return false;
  const std::size_t first =
      static_cast<std::size_t>(segment) * kCommandsPerSegment;
  for (std::size_t k = 0; k < kCommandsPerSegment; ++k) {
    if (asked_.test(first + k)) return true;
  }
  return false;
}

bool ReceivedProgram::WasRead(int segment, int command) const {
  const auto slot = Slot(segment, command);
  return slot && read_.test(*slot);
}

std::optional<Command> ReceivedProgram::At(int segment, int command) const {
  if (!WasRead(segment, command)) return std::nullopt;
  return commands_[*Slot(segment, command)];
}

SegmentSet ReceivedProgram::ReplaceIn(ProgramStore& store) const {
  SegmentSet touched;
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    for (int command = 0; command < kCommandsPerSegment; ++command) {
      const std::optional<Command> value = At(segment, command);
      if (!value) continue;
      store.SetCommand(segment, command, *value);
      store.ClearComment(segment, command);
      touched.set(static_cast<std::size_t>(segment));
    }
  }
  return touched;
}

}  // namespace lumera
