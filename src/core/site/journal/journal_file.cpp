#include "core/site/journal/journal_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>

#include "core/model/atomic_file.h"

#ifdef _WIN32
#include <io.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace lumera {
namespace {

#ifdef _WIN32
int OpenForAppending(const std::filesystem::path& path) {
  return ::_wopen(path.c_str(),
                  _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY | _O_NOINHERIT,
                  _S_IREAD | _S_IWRITE);
}
int WriteSome(int fd, const char* data, std::size_t size) {
  return ::_write(fd, data, static_cast<unsigned>(size));
}
bool Sync(int fd) { return ::_commit(fd) == 0; }
void CloseFile(int fd) { ::_close(fd); }
#else
int OpenForAppending(const std::filesystem::path& path) {
  return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
}
ssize_t WriteSome(int fd, const char* data, std::size_t size) {
  return ::write(fd, data, size);
}
bool Sync(int fd) { return ::fsync(fd) == 0; }
void CloseFile(int fd) { ::close(fd); }
#endif

// "2026-01-31T12:00:00Z".
std::string UtcText(std::time_t time) {
  std::tm utc{};
#ifdef _WIN32
  gmtime_s(&utc, &time);
#else
  gmtime_r(&time, &utc);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

std::filesystem::path JournalPathFor(const std::filesystem::path& site_file) {
  std::filesystem::path path = site_file;
  path += ".journal";
  return path;
}

JournalWriter::JournalWriter(std::filesystem::path path)
    : path_(std::move(path)) {}

JournalWriter::~JournalWriter() {
  if (fd_ >= 0) CloseFile(fd_);
}

bool JournalWriter::Fail() {
  error_ = SystemErrorText(errno);
  return false;
}

bool JournalWriter::Open() {
  if (fd_ >= 0) return true;
  fd_ = OpenForAppending(path_);
  if (fd_ < 0) return Fail();
  std::ifstream in(path_, std::ios::binary | std::ios::ate);
  if (in && in.tellg() > 0) {
    in.seekg(-1, std::ios::end);
    starts_mid_line_ = in.get() != '\n';
  }
  return true;
}

bool JournalWriter::WriteAll(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const auto wrote = WriteSome(fd_, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote < 0) return Fail();
    if (wrote == 0) {
      errno = ENOSPC;
      return Fail();
    }
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

bool JournalWriter::SyncFile() { return Sync(fd_); }

bool JournalWriter::Append(const JournalEntry& entry) {
  if (!Open()) return false;
  std::string bytes = starts_mid_line_ ? "\n" : "";
  bytes += JournalLine(entry);
  bytes += '\n';
  // A line written only in part ends mid-line, as a torn one does.
  starts_mid_line_ = true;
  if (!WriteAll(bytes)) return false;
  if (!SyncFile()) return Fail();
  starts_mid_line_ = false;
  return true;
}

std::optional<JournalContents> ReadJournalFile(
    const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error) && !error) return JournalContents{};
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  JournalReader reader;
  std::array<char, 16384> chunk;
  while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) {
    reader.Feed(
        std::string_view(chunk.data(), static_cast<std::size_t>(in.gcount())));
  }
  if (in.bad()) return std::nullopt;
  return reader.Finish();
}

std::string UtcTimeNow() {
  const std::time_t now =
      std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  return UtcText(now);
}

std::string NewRunId() {
  const auto now = std::chrono::system_clock::now();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      now.time_since_epoch())
                      .count() %
                  1000;
  std::string id = UtcText(std::chrono::system_clock::to_time_t(now));
  // Runs of one site follow one another (the lock): the tail only has to
  // tell apart two begun within one millisecond.
  const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
  char tail[16];
  std::snprintf(tail, sizeof tail, ".%03dZ-%04x", static_cast<int>(ms),
                static_cast<unsigned>(tick & 0xFFFF));
  id.back() = tail[0];  // the seconds' "Z" gives way to the milliseconds
  return id + (tail + 1);
}

std::string CurrentUserName() {
  std::string user = EnvironmentValue("USER");
  if (user.empty()) user = EnvironmentValue("USERNAME");
#ifndef _WIN32
  if (user.empty()) {
    if (const passwd* entry = getpwuid(getuid())) user = entry->pw_name;
  }
#endif
  return user;
}

std::string CurrentHostName() {
#ifndef _WIN32
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) == 0) return name;
#endif
  return EnvironmentValue("COMPUTERNAME");
}

}  // namespace lumera
