// Replacing a file so that a failure never leaves it half-written: the bytes
// go to a temporary file in the same folder, are flushed to the disk, and the
// temporary file is then renamed over the target in one step.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

namespace lumera {

enum class AtomicWriteResult {
  kOk,
  // Nothing was written: the target is a folder or a file that is not
  // writable, or the temporary file cannot be created beside it.
  kCreateFailed,
  // Writing, flushing or renaming failed; the target is as it was and the
  // temporary file is removed.
  kWriteFailed,
};

AtomicWriteResult WriteFileAtomically(const std::filesystem::path& path,
                                      std::span<const std::uint8_t> bytes);
inline AtomicWriteResult WriteFileAtomically(const std::filesystem::path& path,
                                             std::string_view bytes) {
  return WriteFileAtomically(
      path,
      std::span<const std::uint8_t>(
          reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace lumera
