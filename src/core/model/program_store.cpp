#include "core/model/program_store.h"

#include "core/model/command_catalogue.h"

namespace lumera {
namespace {

bool SlotInRange(int segment, int command) {
  return segment >= 0 && segment < kSegmentCount && command >= 0 &&
         command < kCommandsPerSegment;
}

}  // namespace

int CommandListLength(const ProgramImage& image, int segment) {
  if (segment < 0 || segment >= kSegmentCount) return 0;
  int length = 0;
  while (length < kCommandsPerSegment &&
         FindCommandDef(image[CommandOffset(segment, length)])) {
    ++length;
  }
  return length;
}

Command CommandAt(const ProgramImage& image, int segment, int command) {
  if (!SlotInRange(segment, command)) return kEmptyCommand;
  const std::size_t offset = CommandOffset(segment, command);
  return Command{image[offset], image[offset + 1], image[offset + 2]};
}

ProgramStore::ProgramStore() {
  image_.fill(0xFF);
  snapshot_ = image_;
}

Command ProgramStore::CommandAt(int segment, int command) const {
  return lumera::CommandAt(image_, segment, command);
}

bool ProgramStore::SetCommand(int segment, int command, const Command& value) {
  if (!SlotInRange(segment, command)) return false;
  const std::size_t offset = CommandOffset(segment, command);
  image_[offset] = value.code;
  image_[offset + 1] = value.param1;
  image_[offset + 2] = value.param2;
  return true;
}

int ProgramStore::CommandListLength(int segment) const {
  return lumera::CommandListLength(image_, segment);
}

std::span<const std::uint8_t, kConfigBytes> ProgramStore::ConfigBytes() const {
  return std::span<const std::uint8_t, kConfigBytes>(
      image_.data() + kGeneralConfigOffset, kConfigBytes);
}

std::span<std::uint8_t, kConfigBytes> ProgramStore::MutableConfigBytes() {
  return std::span<std::uint8_t, kConfigBytes>(
      image_.data() + kGeneralConfigOffset, kConfigBytes);
}

bool ProgramStore::ProgramImageChanged() const { return image_ != snapshot_; }

}  // namespace lumera
