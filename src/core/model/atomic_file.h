// Replacing a file so that a failure never leaves it half-written: the bytes
// go to a temporary file in the same folder, are flushed to the disk, and the
// temporary file is then renamed over the target in one step.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace lumera {

// A file that could not be written, and why, in the system's words ("No
// space left on device", "Read-only file system").
struct FileWriteError {
  std::filesystem::path file;
  std::string reason;
};

// "FILE: reason".
std::string FileWriteErrorText(const FileWriteError& error);

// The system's text for an error number of the C library.
std::string SystemErrorText(int error_number);

// A file's new bytes, written completely under a temporary name beside it
// and flushed to the disk, waiting to be renamed over it. Staging first
// removes the temporary files that an earlier write of the same name left
// when it was killed. Destroyed without Commit, it removes its temporary
// file and the target stays as it was.
class StagedFile {
 public:
  StagedFile() = default;
  ~StagedFile();
  StagedFile(StagedFile&& other) noexcept;
  StagedFile& operator=(StagedFile&& other) noexcept;
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // False, with `error`, when the target is a folder or a file that is not
  // writable, or the temporary file cannot be created, written or flushed.
  // A symbolic link keeps pointing where it did: its target is replaced.
  bool Stage(const std::filesystem::path& path,
             std::span<const std::uint8_t> bytes, FileWriteError& error);
  // Renames the temporary file over the target. The folder is not flushed
  // here, so that two commits can follow each other at once (SyncFolder).
  bool Commit(FileWriteError& error);

  // The file that Commit replaces (a link's target for a link).
  const std::filesystem::path& target() const { return target_; }
  // Whether Stage got as far as creating the temporary file.
  bool created() const { return created_; }

 private:
  // The platform's part of Stage, for target_: the checks, the temporary
  // file, its bytes and their flush.
  bool StageAtTarget(std::span<const std::uint8_t> bytes,
                     FileWriteError& error);
  void Discard();

  std::filesystem::path name_;  // as the caller named it, for errors
  std::filesystem::path target_;
  std::filesystem::path temp_;  // empty when there is none to remove
  bool created_ = false;
};

// Flushes the folder that holds `path`, so that renames in it are on the
// disk; best effort.
void SyncFolder(const std::filesystem::path& path);

enum class AtomicWriteResult {
  kOk,
  // Nothing was written: the target is a folder or a file that is not
  // writable, or the temporary file cannot be created beside it.
  kCreateFailed,
  // Writing, flushing or renaming failed; the target is as it was and the
  // temporary file is removed.
  kWriteFailed,
};

// Stages and commits one file; `error`, when given, says why it failed.
AtomicWriteResult WriteFileAtomically(const std::filesystem::path& path,
                                      std::span<const std::uint8_t> bytes,
                                      FileWriteError* error = nullptr);
inline AtomicWriteResult WriteFileAtomically(const std::filesystem::path& path,
                                             std::string_view bytes,
                                             FileWriteError* error = nullptr) {
  return WriteFileAtomically(
      path,
      std::span<const std::uint8_t>(
          reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
      error);
}

}  // namespace lumera
