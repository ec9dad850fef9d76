// The Windows writer: the same steps as on POSIX, with the file API. The
// replacing rename is MoveFileExW, which also replaces an existing file.
#ifdef _WIN32

#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <random>
#include <string>
#include <system_error>

#include "core/model/atomic_file.h"
#include "core/model/temp_file_names.h"

namespace lumera {
namespace {

constexpr int kTempNameAttempts = 16;

std::string WindowsErrorText(DWORD error) {
  return std::system_category().message(static_cast<int>(error));
}

HANDLE CreateTempBeside(const std::filesystem::path& path,
                        std::filesystem::path& temp_path) {
  std::random_device random;
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    temp_path = TempFileName(path, static_cast<unsigned>(random()));
    const HANDLE file =
        ::CreateFileW(temp_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) {
      return file;
    }
  }
  return INVALID_HANDLE_VALUE;
}

// 0, or the system's error code of the write that failed.
DWORD WriteAll(HANDLE file, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const DWORD chunk =
        size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!::WriteFile(file, data, chunk, &written, nullptr)) {
      return ::GetLastError();
    }
    if (written == 0) return ERROR_DISK_FULL;
    data += written;
    size -= written;
  }
  return 0;
}

}  // namespace

bool StagedFile::StageAtTarget(std::span<const std::uint8_t> bytes,
                               FileWriteError& error) {
  const auto fail = [&](DWORD code) {
    error.reason = WindowsErrorText(code);
    Discard();
    return false;
  };
  // Replacing must not get round a folder or a read-only file.
  const DWORD attributes = ::GetFileAttributesW(target_.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return fail(ERROR_DIRECTORY);
  }
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_READONLY)) {
    return fail(ERROR_ACCESS_DENIED);
  }
  RemoveLeftoverTempFiles(target_);
  std::filesystem::path temp_path;
  const HANDLE file = CreateTempBeside(target_, temp_path);
  if (file == INVALID_HANDLE_VALUE) return fail(::GetLastError());
  created_ = true;
  temp_ = temp_path;

  DWORD failure = WriteAll(file, bytes.data(), bytes.size());
  if (failure == 0 && !::FlushFileBuffers(file)) failure = ::GetLastError();
  if (!::CloseHandle(file) && failure == 0) failure = ::GetLastError();
  if (failure != 0) return fail(failure);
  return true;
}

bool StagedFile::Commit(FileWriteError& error) {
  error.file = name_;
  if (temp_.empty()) {
    error.reason = WindowsErrorText(ERROR_FILE_NOT_FOUND);
    return false;
  }
  if (!::MoveFileExW(temp_.c_str(), target_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error.reason = WindowsErrorText(::GetLastError());
    Discard();
    return false;
  }
  temp_.clear();
  return true;
}

void StagedFile::Discard() {
  if (temp_.empty()) return;
  ::DeleteFileW(temp_.c_str());
  temp_.clear();
}

// MOVEFILE_WRITE_THROUGH has already put each rename on the disk.
void SyncFolder(const std::filesystem::path&) {}

}  // namespace lumera

#endif  // _WIN32
