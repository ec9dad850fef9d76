#include "core/model/atomic_file.h"

#include <cerrno>
#include <system_error>
#include <utility>

namespace lumera {

std::string SystemErrorText(int error_number) {
  return std::generic_category().message(error_number);
}

std::string FileWriteErrorText(const FileWriteError& error) {
  return error.file.string() + ": " + error.reason;
}

StagedFile::~StagedFile() { Discard(); }

StagedFile::StagedFile(StagedFile&& other) noexcept
    : name_(std::move(other.name_)),
      target_(std::move(other.target_)),
      temp_(std::exchange(other.temp_, {})),
      created_(other.created_) {}

StagedFile& StagedFile::operator=(StagedFile&& other) noexcept {
  if (this != &other) {
    Discard();
    name_ = std::move(other.name_);
    target_ = std::move(other.target_);
    temp_ = std::exchange(other.temp_, {});
    created_ = other.created_;
  }
  return *this;
}

bool StagedFile::Stage(const std::filesystem::path& path,
                       std::span<const std::uint8_t> bytes,
                       FileWriteError& error) {
  Discard();
  created_ = false;
  name_ = path;
  error.file = path;
  if (!path.has_filename()) {
    error.reason = SystemErrorText(EISDIR);
    return false;
  }
  // A symbolic link keeps pointing where it did: its target is replaced.
  target_ = path;
  std::error_code link_error;
  if (std::filesystem::is_symlink(path, link_error)) {
    const std::filesystem::path resolved =
        std::filesystem::weakly_canonical(path, link_error);
    if (!link_error && resolved.has_filename()) target_ = resolved;
  }
  return StageAtTarget(bytes, error);
}

AtomicWriteResult WriteFileAtomically(const std::filesystem::path& path,
                                      std::span<const std::uint8_t> bytes,
                                      FileWriteError* error) {
  FileWriteError ignored;
  FileWriteError& reported = error != nullptr ? *error : ignored;
  StagedFile file;
  if (!file.Stage(path, bytes, reported)) {
    return file.created() ? AtomicWriteResult::kWriteFailed
                          : AtomicWriteResult::kCreateFailed;
  }
  if (!file.Commit(reported)) return AtomicWriteResult::kWriteFailed;
  SyncFolder(file.target());
  return AtomicWriteResult::kOk;
}

}  // namespace lumera
