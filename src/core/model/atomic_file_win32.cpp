// The Windows writer: the same steps as on POSIX, with the file API. The
// replacing rename is MoveFileExW, which also replaces an existing file.
#ifdef _WIN32

#include <windows.h>

#include <cstdio>
#include <random>
#include <string>

#include "core/model/atomic_file.h"

namespace lumera {
namespace {

constexpr int kTempNameAttempts = 16;
// Stays within the file system's name limit (255 UTF-16 units).
constexpr std::size_t kTempNameStemUnits = 200;

std::wstring NameStem(const std::wstring& name) {
  if (name.size() <= kTempNameStemUnits) return name;
  std::size_t cut = kTempNameStemUnits;
  // Never keep the first half of a surrogate pair alone.
  if (name[cut - 1] >= 0xD800 && name[cut - 1] <= 0xDBFF) --cut;
  return name.substr(0, cut);
}

HANDLE CreateTempBeside(const std::filesystem::path& path,
                        std::filesystem::path& temp_path) {
  std::random_device random;
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    wchar_t suffix[24];
    std::swprintf(suffix, 24, L".%08x.tmp", static_cast<unsigned>(random()));
    std::wstring name(1, L'.');
    name += NameStem(path.filename().wstring());
    name += suffix;
    temp_path = path;
    temp_path.replace_filename(name);
    const HANDLE file =
        ::CreateFileW(temp_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) {
      return file;
    }
  }
  return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const DWORD chunk =
        size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!::WriteFile(file, data, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    data += written;
    size -= written;
  }
  return true;
}

}  // namespace

AtomicWriteResult WriteFileAtomically(const std::filesystem::path& path,
                                      std::span<const std::uint8_t> bytes) {
  if (!path.has_filename()) return AtomicWriteResult::kCreateFailed;
  std::error_code error;
  std::filesystem::path target_path = path;
  if (std::filesystem::is_symlink(path, error)) {
    const std::filesystem::path resolved =
        std::filesystem::weakly_canonical(path, error);
    if (!error && resolved.has_filename()) target_path = resolved;
  }
  // Replacing must not get round a folder or a read-only file.
  const DWORD attributes = ::GetFileAttributesW(target_path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
    return AtomicWriteResult::kCreateFailed;
  }
  std::filesystem::path temp_path;
  const HANDLE file = CreateTempBeside(target_path, temp_path);
  if (file == INVALID_HANDLE_VALUE) return AtomicWriteResult::kCreateFailed;

  bool ok = WriteAll(file, bytes.data(), bytes.size());
  ok = ok && ::FlushFileBuffers(file);
  ok = ::CloseHandle(file) && ok;
  ok = ok && ::MoveFileExW(temp_path.c_str(), target_path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) {
    ::DeleteFileW(temp_path.c_str());
    return AtomicWriteResult::kWriteFailed;
  }
  return AtomicWriteResult::kOk;
}

}  // namespace lumera

#endif  // _WIN32
