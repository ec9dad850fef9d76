#include "core/site/run/site_programs.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>

#include "core/model/program_file.h"
#include "core/model/sha256.h"

namespace lumera {
namespace {

// One pass over the file: its sum, and its first bytes as the image (a
// shorter file leaves the rest zero, as a program load does).
std::unique_ptr<SiteProgram> ReadProgram(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return nullptr;
  auto program = std::make_unique<SiteProgram>();
  ProgramImage image{};
  Sha256 sum;
  std::size_t offset = 0;
  std::array<char, 8192> chunk;
  while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) {
    const auto got = static_cast<std::size_t>(in.gcount());
    sum.Update(std::string_view(chunk.data(), got));
    if (offset < kImageSize) {
      std::memcpy(image.data() + offset, chunk.data(),
                  std::min(got, kImageSize - offset));
    }
    offset += got;
  }
  if (in.bad()) return nullptr;
  program->store.mutable_image() = image;
  program->store.TakeSnapshot();
  program->sha256 = Sha256DigestHex(sum.Finish());
  program->file_size = offset;
  return program;
}

}  // namespace

bool SitePrograms::Load(const SiteFile& site, std::filesystem::path& failed) {
  for (const SiteLine& line : site.lines) {
    for (const SiteController& c : line.controllers) {
      if (c.program.empty() || programs_.contains(c.program)) continue;
      std::unique_ptr<SiteProgram> program = ReadProgram(c.program);
      if (!program) {
        failed = c.program;
        return false;
      }
      programs_.emplace(c.program, std::move(program));
    }
  }
  return true;
}

std::vector<SiteFault> SitePrograms::SizeFaults() const {
  std::vector<SiteFault> faults;
  for (const auto& [file, program] : programs_) {
    std::optional<std::string> refusal =
        ProgramSizeRefusal(file, program->file_size);
    if (!refusal) continue;
    refusal->front() = 'p';  // "Plik ..." follows "FILE: " in a fault
    faults.push_back({0, std::move(*refusal)});
  }
  return faults;
}

const SiteProgram* SitePrograms::Find(const std::filesystem::path& file) const {
  const auto it = programs_.find(file);
  return it == programs_.end() ? nullptr : it->second.get();
}

}  // namespace lumera
