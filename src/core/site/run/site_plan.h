// The controllers a run serves, line by line, and the plan in a few lines
// for the question asked before a run that writes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/site/file/site_file.h"
#include "core/site/run/site_commands.h"

namespace lumera {

class SitePrograms;

struct SitePlanLine {
  std::string name;
  std::string port;
  std::vector<SiteController> controllers;
};

// The command's plan title, then a line each, its controllers as ranges
// grouped by their program (relative to `site_file`) where the command
// reads programs; then each program `programs` holds (read once for the
// run) that the program check finds fault with, and how many findings: the
// plan tells, and refuses nothing.
std::string SitePlanText(const std::vector<SitePlanLine>& plan,
                         SiteCommand command,
                         const std::filesystem::path& site_file,
                         const SitePrograms* programs = nullptr);

// The program file as the site file names it: relative to the site file.
std::string ProgramNameInSite(const std::filesystem::path& program,
                              const std::filesystem::path& site_file);

}  // namespace lumera
