#include "core/site/run/site_jobs.h"

#include <algorithm>
#include <array>

#include "core/session/workspace.h"

namespace lumera {

int ReadCommandSlots(const ProgramStore& program, int segment) {
  return std::min(program.CommandListLength(segment) + 1, kCommandsPerSegment);
}

bool StartReadProgramCommands(LinkContext& context,
                              const ProgramStore& program) {
  context.job.SetLineValues(LineValuesOf(context.workspace));
  if (!context.job.Prepare({.direction = JobDirection::kReceive},
                           context.prompts)) {
    return false;
  }
  bool ok = context.job.Queue(RequestCode::kPauseProgram);
  for (int segment = 0; segment < kWholeProgramSegments; ++segment) {
    for (int command = 0; command < ReadCommandSlots(program, segment);
         ++command) {
      const std::array<std::uint8_t, 2> place{
          static_cast<std::uint8_t>(segment),
          static_cast<std::uint8_t>(command)};
      ok = ok && context.job.Queue(RequestCode::kReadCommand, place);
    }
  }
  ok = ok && context.job.Queue(RequestCode::kResumeProgram);
  if (!ok) {
    context.job.Cancel();
    return false;
  }
  return context.job.Start(context.observer);
}

}  // namespace lumera
