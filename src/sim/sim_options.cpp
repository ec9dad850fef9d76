#include "sim/sim_options.h"

#include <algorithm>
#include <charconv>

#include "sim/com_link.h"
#include "sim/sim_controller.h"

namespace lumera {

namespace {

constexpr std::string_view kUsage =
    "Usage: lumera-sim [options]\n"
    "A virtual controller on a pseudo-terminal, registered as COM<n>.\n"
    "\n"
    "  --number N[,N...]  controller number(s) 1-254 on the line, each with\n"
    "                     its own memory; repeatable (default 1)\n"
    "  --radio            requests and replies in the radio envelope\n"
    "  --com N            register as COM<N> (default: first free from 200)\n"
    "  --device PATH      serve this serial device instead of a new\n"
    "                     pseudo-terminal (registered only with --com)\n"
    "  --state FILE       program image (7714 bytes) loaded at start and\n"
    "                     saved at exit; repeatable, one per controller\n"
    "  --baud B           send no faster than a line of B baud\n"
    "                     (10 bits a byte); default unpaced\n"
    "  --latency MS       hold each reply's bytes and let them leave together\n"
    "                     MS after it started, as a USB adapter's latency\n"
    "                     timer does (default 0)\n"
    "  --log              print requests and replies on stderr\n"
    "  --fault KIND       spoil the reply to one request: checksum, cut (last\n"
    "                     byte missing), extra (one data byte more), stray\n"
    "                     (noise before it), silence, delay, pause (quiet\n"
    "                     in the middle), hangup (the line hangs up and comes\n"
    "                     back on a new terminal under the same COM name),\n"
    "                     mark (no change); prints \"fault\" when it hits\n"
    "                     and \"done\" once the spoilt reply is out\n"
    "  --fault-at N       the request it hits, counted from 1 (default 1)\n"
    "  --fault-ms MS      length of a delay or pause (default 0)\n"
    "  --fault-number N   the fault hits every reply of controller N instead\n"
    "  --help             show this text\n"
    "\n"
    "What every controller reports (bytes decimal or 0x hex):\n"
    "  --firmware M.N     firmware version, 0-15 each (default 1.0)\n"
    "  --switch B         switch byte, a clear bit is a position on\n"
    "                     (default 0xFF)\n"
    "  --flags B          flags byte (default 0)\n"
    "  --output-mask B    output mask (default 0xF0)\n"
    "  --error T,S,C,E    error report: task, segment, command, error\n"
    "  --registers R1,...,R8  the eight register values\n"
    "\n"
    "When ready it prints \"<device> COM<n>\" (or \"<device>\") on stdout.\n"
    "SIGINT or SIGTERM removes the COM<n> link, saves the state and ends.\n";

std::optional<int> ParseInt(std::string_view text, int low, int high) {
  int value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low ||
      value > high) {
    return std::nullopt;
  }
  return value;
}

// "N" or "0xHH", 0 to 255.
std::optional<std::uint8_t> ParseByte(std::string_view text) {
  std::optional<int> value;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
    int hex = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), hex, 16);
    if (!text.empty() && error == std::errc() &&
        end == text.data() + text.size() && hex <= 255) {
      value = hex;
    }
  } else {
    value = ParseInt(text, 0, 255);
  }
  if (!value) return std::nullopt;
  return static_cast<std::uint8_t>(*value);
}

// Exactly N bytes separated by commas.
template <std::size_t N>
std::optional<std::array<std::uint8_t, N>> ParseByteList(
    std::string_view list) {
  std::array<std::uint8_t, N> bytes{};
  for (std::size_t i = 0; i < N; ++i) {
    const std::size_t comma = list.find(',');
    if ((comma == std::string_view::npos) != (i + 1 == N)) return std::nullopt;
    const auto byte = ParseByte(list.substr(0, comma));
    if (!byte) return std::nullopt;
    bytes[i] = *byte;
    list.remove_prefix(comma == std::string_view::npos ? list.size()
                                                       : comma + 1);
  }
  return bytes;
}

// "M.N", each 0 to 15, as one byte with the major in the high nibble.
std::optional<std::uint8_t> ParseFirmware(std::string_view text) {
  const std::size_t dot = text.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const auto major = ParseInt(text.substr(0, dot), 0, 15);
  const auto minor = ParseInt(text.substr(dot + 1), 0, 15);
  if (!major || !minor) return std::nullopt;
  return static_cast<std::uint8_t>(*major << 4 | *minor);
}

bool AddNumbers(std::string_view list, std::vector<std::uint8_t>& numbers) {
  while (true) {
    const std::size_t comma = list.find(',');
    const auto number = ParseInt(list.substr(0, comma), 1, 254);
    if (!number) return false;
    const auto value = static_cast<std::uint8_t>(*number);
    // Two controllers with one number would answer every frame together.
    if (std::find(numbers.begin(), numbers.end(), value) != numbers.end()) {
      return false;
    }
    numbers.push_back(value);
    if (comma == std::string_view::npos) return true;
    list.remove_prefix(comma + 1);
  }
}

}  // namespace

std::string_view SimUsageText() { return kUsage; }

std::optional<SimOptions> ParseSimOptions(
    std::span<const std::string_view> args, std::string& error) {
  SimOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view name = args[i];
    std::optional<std::string_view> value;
    if (const std::size_t equals = name.find('=');
        name.starts_with("--") && equals != std::string_view::npos) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
    }
    const bool takes_value =
        name == "--number" || name == "--com" || name == "--device" ||
        name == "--state" || name == "--baud" || name == "--firmware" ||
        name == "--switch" || name == "--flags" || name == "--output-mask" ||
        name == "--error" || name == "--registers" || name == "--fault" ||
        name == "--fault-at" || name == "--fault-ms" ||
        name == "--fault-number" || name == "--latency";
    if (takes_value && !value) {
      if (i + 1 == args.size()) {
        error = std::string(name) + " needs a value";
        return std::nullopt;
      }
      value = args[++i];
    } else if (!takes_value && value) {
      error = std::string(name) + " takes no value";
      return std::nullopt;
    }
    if (name == "--number") {
      if (!AddNumbers(*value, options.numbers)) {
        error = "bad or repeated controller number: " + std::string(*value);
        return std::nullopt;
      }
    } else if (name == "--com") {
      options.com = ParseInt(*value, 1, kMaxComNumber);
      if (!options.com) {
        error = "bad COM number: " + std::string(*value);
        return std::nullopt;
      }
    } else if (name == "--device") {
      if (value->empty()) {
        error = "empty device path";
        return std::nullopt;
      }
      options.device = std::string(*value);
    } else if (name == "--state") {
      if (value->empty()) {
        error = "empty state file name";
        return std::nullopt;
      }
      options.state_files.emplace_back(*value);
    } else if (name == "--baud") {
      const auto baud = ParseInt(*value, 1, 4000000);
      if (!baud) {
        error = "bad baud rate: " + std::string(*value);
        return std::nullopt;
      }
      options.baud = *baud;
    } else if (name == "--latency") {
      const auto latency = ParseInt(*value, 0, 1000);
      if (!latency) {
        error = "bad latency (0-1000 ms): " + std::string(*value);
        return std::nullopt;
      }
      options.latency_ms = *latency;
    } else if (name == "--fault-number") {
      const auto number = ParseInt(*value, 1, 254);
      if (!number) {
        error =
            "bad controller number for --fault-number: " + std::string(*value);
        return std::nullopt;
      }
      options.fault.number = static_cast<std::uint8_t>(*number);
    } else if (name == "--firmware") {
      options.version = ParseFirmware(*value);
      if (!options.version) {
        error = "bad firmware version (M.N, 0-15 each): " + std::string(*value);
        return std::nullopt;
      }
    } else if (name == "--switch" || name == "--flags" ||
               name == "--output-mask") {
      const auto byte = ParseByte(*value);
      if (!byte) {
        error =
            "bad byte for " + std::string(name) + ": " + std::string(*value);
        return std::nullopt;
      }
      (name == "--switch"  ? options.switch_byte
       : name == "--flags" ? options.flags
                           : options.output_mask) = byte;
    } else if (name == "--error") {
      options.error_report = ParseByteList<4>(*value);
      if (!options.error_report) {
        error = "bad error report (four bytes): " + std::string(*value);
        return std::nullopt;
      }
    } else if (name == "--registers") {
      options.registers = ParseByteList<8>(*value);
      if (!options.registers) {
        error = "bad registers (eight bytes): " + std::string(*value);
        return std::nullopt;
      }
    } else if (name == "--fault") {
      const auto kind = ParseFaultKind(*value);
      if (!kind) {
        error = "unknown fault: " + std::string(*value);
        return std::nullopt;
      }
      options.fault.kind = *kind;
    } else if (name == "--fault-at" || name == "--fault-ms") {
      const auto number = ParseInt(*value, name == "--fault-at" ? 1 : 0,
                                   name == "--fault-at" ? 1000000 : 600000);
      if (!number) {
        error =
            "bad value for " + std::string(name) + ": " + std::string(*value);
        return std::nullopt;
      }
      (name == "--fault-at" ? options.fault.at_request : options.fault.ms) =
          *number;
    } else if (name == "--radio") {
      options.radio = true;
    } else if (name == "--log") {
      options.log = true;
    } else if (name == "--help" || name == "-h") {
      options.help = true;
    } else {
      error = "unknown option: " + std::string(args[i]);
      return std::nullopt;
    }
  }
  if (!options.numbers.empty() && !options.state_files.empty() &&
      options.state_files.size() != options.numbers.size()) {
    error = "give one --state file per controller number";
    return std::nullopt;
  }
  return options;
}

void ApplyReportedValues(const SimOptions& options, SimControllerState& state) {
  if (options.version) state.version = *options.version;
  if (options.switch_byte) {
    state.hardware_info[kHardwareSwitchIndex] = *options.switch_byte;
  }
  if (options.flags) state.hardware_info[kHardwareFlagsIndex] = *options.flags;
  if (options.output_mask) {
    state.hardware_info[kHardwareOutputMaskIndex] = *options.output_mask;
  }
  if (options.error_report) {
    const auto& e = *options.error_report;
    state.error_report = {e[0], e[1], e[2], e[3]};
  }
  if (options.registers) state.registers = *options.registers;
}

}  // namespace lumera
