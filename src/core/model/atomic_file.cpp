#include "core/model/atomic_file.h"

#include <utility>

namespace lumera {

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
