// The program's files kept in memory for the fuzz targets: the same answers
// as the disk for what they try (a missing file, a folder in a file's place,
// a file cut anywhere), without waiting for the disk to flush a single
// write.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

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

  std::optional<std::size_t> ReadStart(
      const std::filesystem::path& path,
      std::span<std::uint8_t> buffer) const override {
    const std::optional<std::string> bytes = Get(path);
    if (!bytes) return std::nullopt;
    const std::size_t size = std::min(bytes->size(), buffer.size());
    std::copy_n(bytes->begin(), size, buffer.begin());
    return size;
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
  AtomicWriteResult WriteAtomically(
      const std::filesystem::path& path,
      std::span<const std::uint8_t> bytes) override {
    const auto entry = entries_.find(path.string());
    if (entry != entries_.end() && !entry->second) {
      return AtomicWriteResult::kCreateFailed;
    }
    entries_[path.string()] = std::string(bytes.begin(), bytes.end());
    return AtomicWriteResult::kOk;
  }

 private:
  // Nothing: a folder.
  std::map<std::string, std::optional<std::string>> entries_;
};

}  // namespace lumera
