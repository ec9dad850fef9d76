// The whole program in memory: the 7714-byte image (ten segments followed by
// the controller configuration), the comments, and the snapshot against which
// changes are detected.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/model/comment_table.h"
#include "core/model/program_types.h"

namespace lumera {

// Length of a segment's command list: the slots from command 0 up to, not
// including, the first whose code has no catalogue entry. 0 for a segment
// out of range.
int CommandListLength(const ProgramImage& image, int segment);

// The three bytes of a slot of an image; kEmptyCommand for a slot out of range.
Command CommandAt(const ProgramImage& image, int segment, int command);

class ProgramStore {
 public:
  // Image all 0xFF (the configuration bytes too, until the owner writes its
  // defaults through MutableConfigBytes), snapshot equal to the image, no
  // comments, not loaded from a file.
  ProgramStore();

  const ProgramImage& image() const { return image_; }
  ProgramImage& mutable_image() { return image_; }

  // Segment 0..9, command 0..254. Out of range: CommandAt gives
  // kEmptyCommand, SetCommand changes nothing and returns false.
  Command CommandAt(int segment, int command) const;
  bool SetCommand(int segment, int command, const Command& value);
  int CommandListLength(int segment) const;

  // Image offsets 7650..7713: the general block, then the start-point block.
  std::span<const std::uint8_t, kConfigBytes> ConfigBytes() const;
  std::span<std::uint8_t, kConfigBytes> MutableConfigBytes();

  const CommentTable& comments() const { return comments_; }
  CommentTable& comments() { return comments_; }
  const std::string* Comment(int segment, int command) const {
    return comments_.Find(segment, command);
  }
  bool SetComment(int segment, int command, std::string_view text) {
    return comments_.Set(segment, command, text);
  }
  bool ClearComment(int segment, int command) {
    return comments_.Clear(segment, command);
  }
  void ClearSegmentComments(int segment) { comments_.ClearSegment(segment); }
  void ClearAllComments() { comments_.ClearAll(); }

  void TakeSnapshot() { snapshot_ = image_; }
  // True when any image byte, configuration included, differs from the
  // snapshot. Comments are not part of the image.
  bool ProgramImageChanged() const;
  const ProgramImage& snapshot() const { return snapshot_; }

  // Set by every successful program file load, never cleared.
  bool LoadedFromFile() const { return loaded_from_file_; }
  void MarkLoadedFromFile() { loaded_from_file_ = true; }

 private:
  ProgramImage image_;
  ProgramImage snapshot_;
  CommentTable comments_;
  bool loaded_from_file_ = false;
};

}  // namespace lumera
