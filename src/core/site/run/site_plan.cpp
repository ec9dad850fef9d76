#include "core/site/run/site_plan.h"

#include <algorithm>
#include <utility>

#include "core/model/program_check.h"
#include "core/site/run/site_programs.h"

namespace lumera {

std::string ProgramNameInSite(const std::filesystem::path& program,
                              const std::filesystem::path& site_file) {
  const std::filesystem::path base = site_file.parent_path();
  if (base.empty()) return program.generic_string();
  const std::filesystem::path relative = program.lexically_relative(base);
  return relative.empty() ? program.generic_string()
                          : relative.generic_string();
}

std::string SitePlanText(const std::vector<SitePlanLine>& plan,
                         SiteCommand command,
                         const std::filesystem::path& site_file,
                         const SitePrograms* programs) {
  const SiteCommandInfo& info = SiteCommandInfoOf(command);
  std::string text = std::string(info.plan_title) + "\n";
  for (const SitePlanLine& line : plan) {
    text += "linia " + line.name + " (" + line.port + "):";
    // Programs in the order they first come; each with its numbers, a run
    // of consecutive ones as a range.
    std::vector<std::pair<std::filesystem::path, std::vector<int>>> groups;
    for (const SiteController& c : line.controllers) {
      const std::filesystem::path program =
          info.needs_programs ? c.program : std::filesystem::path();
      auto group =
          std::find_if(groups.begin(), groups.end(),
                       [&](const auto& g) { return g.first == program; });
      if (group == groups.end()) {
        groups.push_back({program, {}});
        group = groups.end() - 1;
      }
      group->second.push_back(c.number);
    }
    const char* between = " ";
    for (const auto& [program, numbers] : groups) {
      text += between;
      between = "; ";
      text += numbers.size() == 1 ? "sterownik " : "sterowniki ";
      for (std::size_t i = 0; i < numbers.size();) {
        std::size_t j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) ++j;
        if (i != 0) text += ", ";
        text += std::to_string(numbers[i]);
        if (j > i) {
          text += '-';
          text += std::to_string(numbers[j]);
        }
        i = j + 1;
      }
      if (!program.empty())
        text += ": " + ProgramNameInSite(program, site_file);
    }
    text += "\n";
  }
  if (!info.needs_programs || programs == nullptr) return text;
  // In the order the plan names them, each once.
  std::vector<std::filesystem::path> named;
  for (const SitePlanLine& line : plan) {
    for (const SiteController& c : line.controllers) {
      if (std::find(named.begin(), named.end(), c.program) == named.end()) {
        named.push_back(c.program);
      }
    }
  }
  for (const std::filesystem::path& file : named) {
    const SiteProgram* program = programs->Find(file);
    if (program == nullptr) continue;
    const std::size_t findings = CheckProgram(program->store).size();
    if (findings > 0) {
      text += "Uwagi programu " + ProgramNameInSite(file, site_file) + ": " +
              std::to_string(findings) + "\n";
    }
  }
  return text;
}

}  // namespace lumera
