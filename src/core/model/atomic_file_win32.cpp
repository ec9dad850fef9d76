// The Windows writer: the same steps as on POSIX, with the file API. The
// replacing rename is MoveFileExW, which also replaces an existing file.
#ifdef _WIN32

#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include "core/model/atomic_file.h"

namespace lumera {
namespace {

constexpr int kTempNameAttempts = 16;
// Stays within the file system's name limit (255 UTF-16 units).
constexpr std::size_t kTempNameStemUnits = 200;
constexpr std::wstring_view kTempSuffix = L".tmp";

std::wstring NameStem(const std::wstring& name) {
  if (name.size() <= kTempNameStemUnits) return name;
  std::size_t cut = kTempNameStemUnits;
  // Never keep the first half of a surrogate pair alone.
  if (name[cut - 1] >= 0xD800 && name[cut - 1] <= 0xDBFF) --cut;
  return name.substr(0, cut);
}

std::string WindowsErrorText(DWORD error) {
  return std::system_category().message(static_cast<int>(error));
}

// FNV-1a of the whole name, for the tag.
unsigned NameHash(std::wstring_view name) {
  std::uint32_t hash = 2166136261u;
  for (const wchar_t c : name) {
    hash = (hash ^ static_cast<std::uint32_t>(c)) * 16777619u;
  }
  return hash;
}

// ".<stem>.<hash of the name>": how every temporary name of a file begins.
std::wstring TempNamePrefix(const std::wstring& name) {
  wchar_t hash[16];
  std::swprintf(hash, 16, L".%08x", NameHash(name));
  std::wstring prefix(1, L'.');
  prefix += NameStem(name);
  prefix += hash;
  return prefix;
}

// A write killed between creating its temporary file and renaming it
// leaves the file behind; the next write of the same name takes it away.
void RemoveLeftovers(const std::filesystem::path& target) {
  const std::wstring prefix = TempNamePrefix(target.filename().wstring());
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end;
       !error && it != end; it.increment(error)) {
    const std::wstring entry = it->path().filename().wstring();
    if (entry.size() != prefix.size() + 8 + kTempSuffix.size() ||
        !entry.starts_with(prefix) || !entry.ends_with(kTempSuffix)) {
      continue;
    }
    std::error_code ignored;
    if (it->symlink_status(ignored).type() ==
        std::filesystem::file_type::regular) {
      std::filesystem::remove(it->path(), ignored);
    }
  }
}

HANDLE CreateTempBeside(const std::filesystem::path& path,
                        std::filesystem::path& temp_path) {
  std::random_device random;
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    wchar_t tag[16];
    std::swprintf(tag, 16, L"%08x", static_cast<unsigned>(random()));
    std::wstring name = TempNamePrefix(path.filename().wstring());
    name += tag;
    name += kTempSuffix;
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

std::string SystemErrorText(int error_number) {
  return std::generic_category().message(error_number);
}

bool StagedFile::Stage(const std::filesystem::path& path,
                       std::span<const std::uint8_t> bytes,
                       FileWriteError& error) {
  Discard();
  created_ = false;
  name_ = path;
  error.file = path;
  const auto fail = [&](DWORD code) {
    error.reason = WindowsErrorText(code);
    Discard();
    return false;
  };
  if (!path.has_filename()) return fail(ERROR_DIRECTORY);
  std::error_code link_error;
  target_ = path;
  if (std::filesystem::is_symlink(path, link_error)) {
    const std::filesystem::path resolved =
        std::filesystem::weakly_canonical(path, link_error);
    if (!link_error && resolved.has_filename()) target_ = resolved;
  }
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
  RemoveLeftovers(target_);
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
