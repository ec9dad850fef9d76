// The journal as a file: appended one whole line at a time, each on a line
// of its own and on the disk before the step it records acts.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/site/journal/site_journal.h"

namespace lumera {

// "FILE.journal" beside the site file.
std::filesystem::path JournalPathFor(const std::filesystem::path& site_file);

class JournalWriter {
 public:
  explicit JournalWriter(std::filesystem::path path);
  virtual ~JournalWriter();
  JournalWriter(const JournalWriter&) = delete;
  JournalWriter& operator=(const JournalWriter&) = delete;

  // Appends the entry's line and waits until it is on the disk; false when
  // it could not be written. A journal that ends inside a line (a write
  // torn by a power cut or a kill) keeps that fragment, and the new line
  // starts on a line of its own.
  bool Append(const JournalEntry& entry);

  const std::filesystem::path& path() const { return path_; }
  // Why the last Append failed, in the system's words.
  const std::string& error() const { return error_; }

 protected:
  // Waits until what was written is on the disk.
  virtual bool SyncFile();

 private:
  bool Open();
  bool WriteAll(const std::string& bytes);
  bool Fail();

  std::filesystem::path path_;
  int fd_ = -1;
  bool starts_mid_line_ = false;
  std::string error_;
};

// Everything that can be read of the journal at `path`: nothing for a
// journal that does not exist, and no value for one that cannot be read.
std::optional<JournalContents> ReadJournalFile(
    const std::filesystem::path& path);

// Who and when, as a journal line names them.
std::string UtcTimeNow();
// Unique for every run: its start to the millisecond and a random tail.
std::string NewRunId();
std::string CurrentUserName();
std::string CurrentHostName();

}  // namespace lumera
