// lumera-cli site FILE status|upload|verify|backup DIR|clock-set: one job
// over every controller of a site file.
#pragma once

#include <span>
#include <string_view>

#include "cli/cli_commands.h"

namespace lumera {

// `args` are those after "site". Returns the exit status.
int RunSiteCommand(std::span<const std::string_view> args, CliEnvironment& env);

}  // namespace lumera
