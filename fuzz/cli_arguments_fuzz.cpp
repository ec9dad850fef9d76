// Command lines of any shape: the parser gives either an invocation or a
// reason, never both; every value it accepts lies in its documented range;
// a command gets exactly the arguments it takes; and "--name=value" means
// the same as "--name value".
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_arguments.h"
#include "fuzz_check.h"
#include "fuzz_input.h"

namespace lumera {
namespace {

bool SameInvocation(const CliInvocation& a, const CliInvocation& b) {
  const CliOptions& x = a.options;
  const CliOptions& y = b.options;
  return a.command == b.command && a.file == b.file &&
         a.second_file == b.second_file && a.numbers == b.numbers &&
         x.port_number == y.port_number && x.port_path == y.port_path &&
         x.device == y.device && x.radio == y.radio && x.target == y.target &&
         x.all == y.all && x.time_byte == y.time_byte &&
         x.timeout_ms == y.timeout_ms && x.yes == y.yes &&
         x.segment == y.segment && x.entries_only == y.entries_only &&
         x.pdf == y.pdf && x.program == y.program && x.index == y.index &&
         x.scan_from == y.scan_from && x.scan_to == y.scan_to &&
         x.line_check_count == y.line_check_count && x.trace == y.trace;
}

std::size_t NumbersOf(CliCommand command) {
  switch (command) {
    case CliCommand::kRun:
    case CliCommand::kStopAt:
      return 2;
    case CliCommand::kTempo:
    case CliCommand::kStart:
    case CliCommand::kNumberWrite:
      return 1;
    default:
      return 0;
  }
}

bool TakesFile(CliCommand command) {
  switch (command) {
    case CliCommand::kUpload:
    case CliCommand::kDownload:
    case CliCommand::kVerify:
    case CliCommand::kConfigRead:
    case CliCommand::kConfigWrite:
    case CliCommand::kList:
    case CliCommand::kPrint:
    case CliCommand::kDiff:
      return true;
    default:
      return false;
  }
}

// The options documented with a value ("--port N" and so on).
bool TakesValue(std::string_view arg) {
  constexpr std::string_view kWithValue[] = {
      "--port",    "--device", "--target", "--time", "--timeout-ms",
      "--segment", "--pdf",    "--from",   "--to",   "--count"};
  for (const std::string_view option : kWithValue) {
    if (arg == option) return true;
  }
  return false;
}

void CheckRanges(const CliInvocation& invocation) {
  const CliOptions& o = invocation.options;
  LUMERA_FUZZ_CHECK(!(o.port_number && o.port_path));
  if (o.port_number) LUMERA_FUZZ_CHECK(*o.port_number >= 0);
  if (o.port_path) LUMERA_FUZZ_CHECK(!o.port_path->empty());
  if (o.device) LUMERA_FUZZ_CHECK(*o.device >= 1 && *o.device <= 255);
  if (o.segment) LUMERA_FUZZ_CHECK(*o.segment >= 1 && *o.segment <= 10);
  if (o.timeout_ms) LUMERA_FUZZ_CHECK(*o.timeout_ms >= 1);
  if (o.target) {
    LUMERA_FUZZ_CHECK((*o.target)[0] >= 0 && (*o.target)[0] <= 15);
    LUMERA_FUZZ_CHECK((*o.target)[1] >= 0 && (*o.target)[1] <= 15);
    LUMERA_FUZZ_CHECK((*o.target)[2] >= 0 && (*o.target)[2] <= 240);
  }
  LUMERA_FUZZ_CHECK(o.time_byte >= 0 && o.time_byte <= 255);
  LUMERA_FUZZ_CHECK(o.scan_from >= 1 && o.scan_from <= 254);
  LUMERA_FUZZ_CHECK(o.scan_to >= 1 && o.scan_to <= 254);
  LUMERA_FUZZ_CHECK(o.line_check_count >= 1 && o.line_check_count <= 10000);
  // Help and --version answer before the command line is checked as a whole.
  if (invocation.command == CliCommand::kHelp ||
      invocation.command == CliCommand::kProgramVersion) {
    return;
  }
  LUMERA_FUZZ_CHECK(o.scan_from <= o.scan_to);
  LUMERA_FUZZ_CHECK(invocation.numbers.size() == NumbersOf(invocation.command));
  LUMERA_FUZZ_CHECK(TakesFile(invocation.command) == !invocation.file.empty());
  // Only a comparison takes a second file.
  LUMERA_FUZZ_CHECK(invocation.second_file.empty() ||
                    invocation.command == CliCommand::kDiff);
  for (std::size_t i = 0; i < invocation.numbers.size(); ++i) {
    const int n = invocation.numbers[i];
    switch (invocation.command) {
      case CliCommand::kRun:
      case CliCommand::kStopAt:
        LUMERA_FUZZ_CHECK(n >= 1 && n <= (i == 0 ? 10 : 255));
        break;
      case CliCommand::kTempo:
        LUMERA_FUZZ_CHECK(n >= 1 && n <= 8);
        break;
      case CliCommand::kStart:
        LUMERA_FUZZ_CHECK(n >= 1 && n <= 16);
        break;
      default:
        LUMERA_FUZZ_CHECK(n >= 1 && n <= 254);
        break;
    }
  }
  if (invocation.command == CliCommand::kPrint) LUMERA_FUZZ_CHECK(o.pdf);
}

}  // namespace

void FuzzInput(std::string_view bytes) {
  // Arguments are separated by NUL, as in a real argv.
  std::vector<std::string_view> args;
  for (std::size_t start = 0; start <= bytes.size();) {
    const std::size_t end = std::min(bytes.find('\0', start), bytes.size());
    args.push_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  const CliParseResult result = ParseCliArguments(args);
  LUMERA_FUZZ_CHECK(result.invocation.has_value() == result.error.empty());
  if (result.invocation) CheckRanges(*result.invocation);

  // Split every "--name=value" whose value cannot be taken for an option
  // and that is not itself the value of the option before it.
  std::vector<std::string> split;
  bool options_ended = false;
  bool is_value = false;
  for (const std::string_view arg : args) {
    const std::size_t eq = arg.find('=');
    const bool was_value = is_value;
    is_value = !options_ended && TakesValue(arg);
    if (options_ended || was_value || !arg.starts_with("--") || arg == "--" ||
        eq == std::string_view::npos || arg.substr(eq + 1).starts_with("--")) {
      options_ended |= arg == "--";
      split.emplace_back(arg);
      continue;
    }
    split.emplace_back(arg.substr(0, eq));
    split.emplace_back(arg.substr(eq + 1));
  }
  const std::vector<std::string_view> split_args(split.begin(), split.end());
  const CliParseResult other = ParseCliArguments(split_args);
  // The split line may fail differently (a flag given a value), but an
  // accepted line means the same either way.
  if (result.invocation && other.invocation) {
    LUMERA_FUZZ_CHECK(SameInvocation(*result.invocation, *other.invocation));
  }
}

}  // namespace lumera
