// The program commands a receive job reads, kept apart from the store until
// the job has ended: only a job that ended well and read every slot it asked
// for puts them into the store. A slot not read has no value here, so the
// copy never passes for the program it would replace or be compared with.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <optional>

#include "core/model/program_store.h"
#include "core/model/program_types.h"

namespace lumera {

// Bit s stands for segment index s.
using SegmentSet = std::bitset<kSegmentCount>;
// How many leading command slots of each segment s a read covers.
using SlotCounts = std::array<int, kSegmentCount>;

class ReceivedProgram {
 public:
  // Before its requests are queued, a job names each slot it is to read; the
  // first name after the last job ended starts a new copy. A slot out of
  // range is ignored.
  void Ask(int segment, int command);
  // A job starts: one that named no slot starts from an empty copy too.
  void JobStarted();
  // A reply read `command` at the slot its request named.
  void Receive(int segment, int command, const Command& value);
  // Nothing more arrives. What was read stays readable until the next job
  // names a slot or starts.
  void JobEnded();

  // Slots of `segment` are asked for by a job that has not ended: that job
  // may replace them.
  bool Replacing(int segment) const;
  // Some segment is.
  bool Replacing() const { return !ended_ && asked_.any(); }
  bool WasRead(int segment, int command) const;
  // The command read at a slot; nothing for a slot not read.
  std::optional<Command> At(int segment, int command) const;
  // Every slot asked for was read.
  bool Complete() const { return (asked_ & ~read_).none(); }
  bool AnyRead() const { return read_.any(); }

  // Every slot read takes its command in `store` and loses its comment; the
  // other slots and the configuration stay. Returns the segments touched.
  SegmentSet ReplaceIn(ProgramStore& store) const;

 private:
  static constexpr std::size_t kSlotCount =
      static_cast<std::size_t>(kSegmentCount) * kCommandsPerSegment;
  static std::optional<std::size_t> Slot(int segment, int command);
  void StartIfEnded();

  std::array<Command, kSlotCount> commands_{};
  std::bitset<kSlotCount> asked_;
  std::bitset<kSlotCount> read_;
  bool ended_ = true;
};

}  // namespace lumera
