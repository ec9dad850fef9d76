#include "core/model/program_check.h"

#include <array>
#include <cstdio>

#include "core/model/command_catalogue.h"

namespace lumera {
namespace {

struct SegmentFacts {
  int length = 0;
  int last_return = -1;  // index of the last return in the list, -1: none
};

std::array<SegmentFacts, kSegmentCount> FactsOf(const ProgramImage& image) {
  std::array<SegmentFacts, kSegmentCount> facts{};
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    SegmentFacts& f = facts[static_cast<std::size_t>(segment)];
    f.length = CommandListLength(image, segment);
    for (int command = 0; command < f.length; ++command) {
      if (image[CommandOffset(segment, command)] == kReturnCode) {
        f.last_return = command;
      }
    }
  }
  return facts;
}

template <typename... Args>
std::string Printed(const char* format, Args... args) {
  char text[160];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

}  // namespace

std::vector<ProgramFinding> CheckProgram(const ProgramImage& image) {
  const std::array<SegmentFacts, kSegmentCount> facts = FactsOf(image);
  std::vector<ProgramFinding> findings;
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    const int length = facts[static_cast<std::size_t>(segment)].length;
    for (int command = 0; command < length; ++command) {
      const Command c = CommandAt(image, segment, command);
      const std::optional<ReferenceTarget> target = TargetOf(c, segment);
      if (!target) continue;
      ProgramFinding finding{segment, command, FindingKind::kSegmentOutOfRange,
                             *target, 0};
      if (target->segment < 1 || target->segment > kSegmentCount) {
        findings.push_back(finding);
        continue;
      }
      const SegmentFacts& to =
          facts[static_cast<std::size_t>(target->segment - 1)];
      finding.target_length = to.length;
      if (target->command == 0) {
        finding.kind = FindingKind::kCommandZero;
      } else if (target->command > to.length) {
        finding.kind = FindingKind::kCommandPastEnd;
      } else if (c.code == kCallCode && to.last_return < target->command - 1) {
        finding.kind = FindingKind::kNoReturn;
      } else {
        continue;
      }
      findings.push_back(finding);
    }
  }
  return findings;
}

std::vector<ProgramFinding> CheckProgram(const ProgramStore& store) {
  return CheckProgram(store.image());
}

std::string FindingText(const ProgramFinding& finding) {
  const ReferenceTarget& t = finding.target;
  switch (finding.kind) {
    case FindingKind::kSegmentOutOfRange:
      return Printed("Odwołanie do segmentu %d - poza zakresem 1..10.",
                     t.segment);
    case FindingKind::kCommandZero:
      return Printed(
          "Odwołanie do komendy 0 segmentu %d - komendy liczy się od 1.",
          t.segment);
    case FindingKind::kCommandPastEnd:
      return Printed(
          "Odwołanie do komendy %d za końcem segmentu %d (komend: "
          "%d).",
          t.command, t.segment, finding.target_length);
    case FindingKind::kNoReturn: {
      const CommandDef* ret = CommandDefForCode(kReturnCode);
      const std::string name(ret != nullptr ? ret->name : "");
      return Printed("Brak \"%s\" w segmencie %d od komendy %d do końca listy.",
                     name.c_str(), t.segment, t.command);
    }
  }
  return {};
}

std::string FindingLine(const ProgramFinding& finding) {
  return Printed("%02d:%03d ", finding.segment_index + 1,
                 finding.command_index + 1) +
         FindingText(finding);
}

}  // namespace lumera
