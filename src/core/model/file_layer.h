// Where the program and comment files are read and written: the disk, as the
// program does it, or another layer (the fuzz targets keep their files in
// memory, where no write waits for the disk).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "core/model/atomic_file.h"

namespace lumera {

class FileLayer {
 public:
  virtual ~FileLayer() = default;

  // The first bytes of a regular file, up to buffer.size(): how many were
  // read. Nothing when the file is missing, is not a regular file, or
  // cannot be read that far.
  virtual std::optional<std::size_t> ReadStart(
      const std::filesystem::path& path,
      std::span<std::uint8_t> buffer) const = 0;
  // Hands the file's bytes to `take`, piece by piece; a read error ends the
  // file. False when the file cannot be opened.
  virtual bool ReadPieces(
      const std::filesystem::path& path,
      const std::function<void(std::string_view)>& take) const = 0;
  // Replaces the file in one step (atomic_file.h).
  virtual AtomicWriteResult WriteAtomically(
      const std::filesystem::path& path,
      std::span<const std::uint8_t> bytes) = 0;
};

// The disk.
FileLayer& DiskFiles();

}  // namespace lumera
