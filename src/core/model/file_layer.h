// Where the program and comment files are read and written: the disk, as the
// program does it, or another layer (the fuzz targets keep their files in
// memory, where no write waits for the disk).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "core/model/atomic_file.h"

namespace lumera {

// What ReadStart read: the bytes put into the buffer, and the size of the
// whole file.
struct FileStart {
  std::size_t read = 0;
  std::uintmax_t file_size = 0;
};

// A file's new bytes written in full beside it, not yet in its place
// (StagedFile on the disk). Destroyed without Commit, it leaves the file as
// it was.
class StagedWrite {
 public:
  virtual ~StagedWrite() = default;
  // Puts the new bytes in the file's place in one step.
  virtual bool Commit(FileWriteError& error) = 0;
};

class FileLayer {
 public:
  virtual ~FileLayer() = default;

  // The first bytes of a regular file, up to buffer.size(), with the file's
  // size. Nothing when the file is missing, is not a regular file, or
  // cannot be read that far.
  virtual std::optional<FileStart> ReadStart(
      const std::filesystem::path& path,
      std::span<std::uint8_t> buffer) const = 0;
  // Hands the file's bytes to `take`, piece by piece; a read error ends the
  // file. False when the file cannot be opened.
  virtual bool ReadPieces(
      const std::filesystem::path& path,
      const std::function<void(std::string_view)>& take) const = 0;
  // Writes `bytes` completely beside `path` and flushes them; nothing, with
  // `error`, when that fails (then `path` is as it was).
  virtual std::unique_ptr<StagedWrite> Stage(
      const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
      FileWriteError& error) = 0;
  // Puts the renames of the commits in the folder of `path` on the disk.
  virtual void SyncFolderOf(const std::filesystem::path& path) = 0;
};

// The disk.
FileLayer& DiskFiles();

}  // namespace lumera
