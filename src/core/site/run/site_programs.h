// The program files of a site, each read once for the whole run: the bytes
// summed for the journal and the report are the bytes sent and compared,
// whatever happens to the file while the run goes on.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/model/program_store.h"
#include "core/site/file/site_file.h"

namespace lumera {

struct SiteProgram {
  ProgramStore store;  // the image as a program load gives it; no comments
  std::string sha256;  // of every byte of the file
  std::uintmax_t file_size = 0;
};

class SitePrograms {
 public:
  // Reads every program file the site names; false, with the file in
  // `failed`, when one cannot be read.
  bool Load(const SiteFile& site, std::filesystem::path& failed);

  // One fault for each file read that is not a program's size, naming it
  // and its size: such a file is not sent, nor compared.
  std::vector<SiteFault> SizeFaults() const;

  // Nothing for a file that was not loaded.
  const SiteProgram* Find(const std::filesystem::path& file) const;

  const std::map<std::filesystem::path, std::unique_ptr<SiteProgram>>& all()
      const {
    return programs_;
  }

 private:
  std::map<std::filesystem::path, std::unique_ptr<SiteProgram>> programs_;
};

}  // namespace lumera
