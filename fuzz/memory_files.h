// The program's files kept in memory for the fuzz targets: the same answers
// as the disk for what they try (a missing file, a folder in a file's place,
// a file cut anywhere), without waiting for the disk to flush a single
// write.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "core/model/file_layer.h"

namespace lumera {

class MemoryFiles : public FileLayer {
 public:
  void Put(const std::filesystem::path& path, std::string_view bytes) {
    entries_[path.string()] = std::string(bytes);
  }
  void PutFolder(const std::filesystem::path& path) {
    entries_[path.string()] = std::nullopt;
  }
  // The file's bytes; nothing for a missing file or a folder.
  std::optional<std::string> Get(const std::filesystem::path& path) const {
    const auto entry = entries_.find(path.string());
    if (entry == entries_.end()) return std::nullopt;
    return entry->second;
  }

  std::optional<FileStart> ReadStart(
      const std::filesystem::path& path,
      std::span<std::uint8_t> buffer) const override {
    const auto entry = entries_.find(path.string());
    if (entry == entries_.end() || !entry->second) return std::nullopt;
    const std::string& bytes = *entry->second;
    const std::size_t size = std::min(bytes.size(), buffer.size());
    std::memcpy(buffer.data(), bytes.data(), size);
    return FileStart{size, bytes.size()};
  }
  bool ReadPieces(
      const std::filesystem::path& path,
      const std::function<void(std::string_view)>& take) const override {
    const auto entry = entries_.find(path.string());
    if (entry == entries_.end()) return false;
    // A folder opens and reads as nothing, as on the disk.
    if (entry->second) take(*entry->second);
    return true;
  }
  std::unique_ptr<StagedWrite> Stage(const std::filesystem::path& path,
                                     std::span<const std::uint8_t> bytes,
                                     FileWriteError& error) override {
    const auto entry = entries_.find(path.string());
    if (entry != entries_.end() && !entry->second) {
      error = {path, "Is a directory"};
      return nullptr;
    }
    // Copied in one piece: a byte loop here would be the target's slowest
    // part under the fuzzer's instrumentation.
    return std::make_unique<Staged>(
        *this, path.string(),
        std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  void SyncFolderOf(const std::filesystem::path&) override {}

 private:
  class Staged : public StagedWrite {
   public:
    Staged(MemoryFiles& files, std::string path, std::string bytes)
        : files_(files), path_(std::move(path)), bytes_(std::move(bytes)) {}
    bool Commit(FileWriteError&) override {
      files_.entries_[path_] = std::move(bytes_);
      return true;
    }

   private:
    MemoryFiles& files_;
    std::string path_;
    std::string bytes_;
  };

  // Nothing: a folder.
  std::map<std::string, std::optional<std::string>> entries_;
};

}  // namespace lumera
