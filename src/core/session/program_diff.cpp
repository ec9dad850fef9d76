#include "core/session/program_diff.h"

#include <algorithm>
#include <cstdio>

#include "core/config/config_byte_names.h"
#include "core/model/command_catalogue.h"
#include "core/model/command_hex.h"

namespace lumera {
namespace {

constexpr std::string_view kArrow = " → ";

std::string_view CodeName(std::uint8_t code) {
  const CommandDef* def = CommandDefForCode(code);
  return def != nullptr ? def->name : std::string_view("-");
}

std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string HexByte(std::uint8_t value) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value));
  return text;
}

std::string Slot(int segment_index, int command_index) {
  return std::to_string(segment_index + 1) + "/" +
         std::to_string(command_index + 1);
}

void DiffSegment(const ProgramStore& a, const ProgramStore& b, int segment,
                 bool comments, std::vector<ProgramDifference>& out) {
  for (int command = 0; command < kCommandsPerSegment; ++command) {
    const Command ca = a.CommandAt(segment, command);
    const Command cb = b.CommandAt(segment, command);
    if (ca != cb) {
      ProgramDifference d;
      d.kind = DifferenceKind::kCommand;
      d.segment_index = segment;
      d.command_index = command;
      d.a = ca;
      d.b = cb;
      out.push_back(std::move(d));
    }
    if (!comments) continue;
    // An empty comment and none are the same to every reader.
    const std::string_view ta = a.comments().Text(segment, command);
    const std::string_view tb = b.comments().Text(segment, command);
    if (ta != tb) {
      ProgramDifference d;
      d.kind = DifferenceKind::kComment;
      d.segment_index = segment;
      d.command_index = command;
      d.comment_a = ta;
      d.comment_b = tb;
      out.push_back(std::move(d));
    }
  }
}

}  // namespace

std::vector<ProgramDifference> DiffPrograms(const ProgramStore& a,
                                            const ProgramStore& b,
                                            const ProgramDiffScope& scope) {
  std::vector<ProgramDifference> out;
  if (scope.segment) {
    if (*scope.segment >= 1 && *scope.segment <= kSegmentCount) {
      DiffSegment(a, b, *scope.segment - 1, scope.comments, out);
    }
    return out;
  }
  const int last = std::clamp(scope.last_segment, 0, kSegmentCount);
  for (int segment = 0; segment < last; ++segment) {
    DiffSegment(a, b, segment, scope.comments, out);
  }
  if (!scope.configuration) return out;
  const auto config_a = a.ConfigBytes();
  const auto config_b = b.ConfigBytes();
  for (std::size_t byte = 0; byte < kConfigBytes; ++byte) {
    if (config_a[byte] == config_b[byte]) continue;
    ProgramDifference d;
    d.kind = DifferenceKind::kConfiguration;
    d.config_byte = static_cast<int>(byte);
    d.byte_a = config_a[byte];
    d.byte_b = config_b[byte];
    out.push_back(std::move(d));
  }
  return out;
}

std::vector<ProgramDifference> DiffReceived(const ProgramStore& expected,
                                            const ReceivedProgram& received,
                                            const SlotCounts& slots) {
  std::vector<ProgramDifference> out;
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    const int count = std::clamp(slots[static_cast<std::size_t>(segment)], 0,
                                 kCommandsPerSegment);
    for (int command = 0; command < count; ++command) {
      const Command want = expected.CommandAt(segment, command);
      const std::optional<Command> read = received.At(segment, command);
      if (read == want) continue;
      ProgramDifference d;
      d.kind = read ? DifferenceKind::kCommand : DifferenceKind::kNotRead;
      d.segment_index = segment;
      d.command_index = command;
      d.a = want;
      d.b = read.value_or(kEmptyCommand);
      out.push_back(std::move(d));
    }
  }
  return out;
}

std::string FormatDifference(const ProgramDifference& d) {
  std::string line;
  switch (d.kind) {
    case DifferenceKind::kCommand:
      line = Slot(d.segment_index, d.command_index) + ": " +
             FormatCommandHex(d.a) + std::string(kArrow) +
             FormatCommandHex(d.b) + " (" + std::string(CodeName(d.a.code)) +
             std::string(kArrow) + std::string(CodeName(d.b.code)) + ")";
      break;
    case DifferenceKind::kComment:
      line = Slot(d.segment_index, d.command_index) +
             " komentarz: " + Quoted(d.comment_a) + std::string(kArrow) +
             Quoted(d.comment_b);
      break;
    case DifferenceKind::kNotRead:
      line = Slot(d.segment_index, d.command_index) + ": " +
             FormatCommandHex(d.a) + std::string(kArrow) + "nie odczytano";
      break;
    case DifferenceKind::kConfiguration:
      line = "konfiguracja/" + std::to_string(d.config_byte) + ": " +
             HexByte(d.byte_a) + std::string(kArrow) + HexByte(d.byte_b) +
             " (" + ConfigByteName(static_cast<std::size_t>(d.config_byte)) +
             ")";
      break;
  }
  return line;
}

}  // namespace lumera
