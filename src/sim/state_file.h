// The controller's memory between runs: its program and configuration as
// one program image, the same 7714 bytes as a program file.
#pragma once

#include <filesystem>
#include <optional>

#include "core/model/program_types.h"

namespace lumera {

enum class StateLoad { kLoaded, kMissing, kFailed };

// Reads `path` into `image`. kMissing leaves `image` alone; kFailed (not
// readable, or not exactly kImageSize bytes) too.
StateLoad LoadStateImage(const std::filesystem::path& path,
                         ProgramImage& image);

// Writes `image` to a temporary file beside `path` and renames it over
// `path`, so a crash leaves either the old or the new image, never half.
bool SaveStateImage(const std::filesystem::path& path,
                    const ProgramImage& image);

}  // namespace lumera
