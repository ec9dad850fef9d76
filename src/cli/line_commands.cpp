#include "cli/line_commands.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <vector>

#include "cli/cli_commands.h"
#include "core/link/line_probe.h"
#include "core/link/line_scan.h"
#include "core/link/network_address.h"
#include "core/link/operations.h"
#include "core/link/tracing_serial_port.h"
#include "core/link/transfer_job.h"
#include "core/shell/serial_device_info.h"

namespace lumera {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kGarbledHint =
    "dwa sterowniki z jednym numerem albo błąd okablowania";
constexpr std::string_view kNoisyLineText =
    "Linia nie milknie: bajty, które nie tworzą ramki, płyną bez przerwy "
    "(zły port albo urządzenie, które nadaje cały czas).";

// Ctrl-C, seen once and kept: the port's waits and the scan both ask, and
// the signal itself can be taken only once.
class Interruption {
 public:
  explicit Interruption(const std::function<bool()>& poll) : poll_(poll) {}
  bool operator()() {
    if (!seen_ && poll_) seen_ = poll_();
    return seen_;
  }

 private:
  const std::function<bool()>& poll_;
  bool seen_ = false;
};

std::string Milliseconds(std::chrono::microseconds time) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f ms",
                static_cast<double>(time.count()) / 1000.0);
  return text;
}

// The port, behind a line trace when one is asked for.
struct OpenedLine {
  std::unique_ptr<SerialPort> port;
  TracingSerialPort* tracing = nullptr;
};

OpenedLine MakePort(const DirectLine& line) {
  OpenedLine opened;
  opened.port = line.create();
  if (line.trace != nullptr) {
    auto tracing = std::make_unique<TracingSerialPort>(
        std::move(opened.port), *line.trace, Clock::now());
    tracing->SetRequest(static_cast<std::uint8_t>(RequestCode::kReadVersion));
    opened.tracing = tracing.get();
    opened.port = std::move(tracing);
  }
  return opened;
}

// The bytes of one probe to the trace: a sound reply as the reply, anything
// else as junk.
void FlushTrace(const OpenedLine& line, const ProbeResult& result) {
  if (line.tracing == nullptr) return;
  line.tracing->FlushReads(result.outcome == ProbeOutcome::kPresent
                               ? static_cast<int>(kVersionReplySize)
                               : 0);
}

// The status text of a port that failed (a failed read has none of its
// own: a job shows the short-packet text then), and the system's reason.
void ReportPortFailure(const DirectLine& line, const PortFailure& failure) {
  line.err << (failure.message.empty() ? kReplyTooShortText : failure.message)
           << "\n";
  const std::string reason = DescribePortFailure(failure);
  if (!reason.empty()) line.err << reason << "\n";
}

bool OpenLine(const DirectLine& line, Interruption& interrupted,
              OpenedLine& opened) {
  opened = MakePort(line);
  opened.port->SetAbortCheck([&interrupted] { return interrupted(); });
  if (OpenDirectLine(*opened.port, line.name)) return true;
  ReportPortFailure(line, opened.port->LastFailure());
  return false;
}

std::string GarbleText(GarbleReason reason) {
  return reason == GarbleReason::kChecksum ? "błędna suma kontrolna"
                                           : "bajty, które nie tworzą ramki";
}

void PrintDevice(const DirectLine& line) {
  std::ostream& out = line.out;
  const std::optional<std::string> target =
      ResolvePortName(line.name, line.roots);
  if (!target) {
    out << "Urządzenie: nie znaleziono urządzenia portu " << line.name << "\n";
    return;
  }
  if (const auto address = ParseNetworkAddress(*target)) {
    out << "Urządzenie: serwer sieciowy " << NetworkAddressText(*address)
        << "\n";
    return;
  }
  const SerialDeviceInfo info =
      DescribeSerialDevice(*target, line.roots.sys_tty_folder);
  out << "Urządzenie: " << info.device;
  switch (info.kind) {
    case SerialDeviceKind::kPseudoTerminal:
      out << " - pseudoterminal (program, np. lumera-sim), bez adaptera USB:"
             " nie ma czego opisać\n";
      return;
    case SerialDeviceKind::kUnknown:
      out << " - brak opisu w " << line.roots.sys_tty_folder.string() << "\n";
      return;
    case SerialDeviceKind::kOther:
      out << ", sterownik " << (info.driver.empty() ? "?" : info.driver)
          << ", bez adaptera USB (port szeregowy komputera)\n";
      return;
    case SerialDeviceKind::kUsb:
      break;
  }
  out << ", sterownik " << (info.driver.empty() ? "?" : info.driver) << ", USB "
      << info.vendor_id << ":" << info.product_id << ", nr seryjny "
      << (info.serial.empty() ? "brak" : info.serial);
  if (!info.manufacturer.empty() || !info.product.empty()) {
    out << " (" << info.manufacturer
        << (info.manufacturer.empty() || info.product.empty() ? "" : " ")
        << info.product << ")";
  }
  out << "\n";
  if (!info.latency_timer_ms) return;
  out << "Latency timer adaptera FTDI: " << *info.latency_timer_ms << " ms\n";
  if (*info.latency_timer_ms <= 1) return;
  out << "  Każda odpowiedź czeka w adapterze do " << *info.latency_timer_ms
      << " ms. Ustaw 1 ms:\n";
  const std::array<std::filesystem::path, 3> rule_folders{
      "/etc/udev/rules.d", "/usr/lib/udev/rules.d", "/lib/udev/rules.d"};
  if (const auto rule = FindUdevRule(rule_folders)) {
    out << "  reguła " << rule->string()
        << " jest zainstalowana: odłącz adapter i podłącz go ponownie\n"
        << "  (albo: sudo udevadm trigger --action=add "
           "--subsystem-match=usb-serial),\n";
  } else {
    out << "  zainstaluj regułę udev " << kUdevRuleName
        << " (README: Uprawnienia) i podłącz adapter ponownie,\n";
  }
  out << "  albo na teraz: echo 1 | sudo tee " << LatencyTimerPath(info.name)
      << "\n";
}

}  // namespace

int RunBusScan(const DirectLine& line, int from, int to,
               std::optional<int> timeout_ms) {
  Interruption interrupted(line.interrupted);
  OpenedLine opened;
  if (!OpenLine(line, interrupted, opened)) return kExitFailure;
  ScanSettings settings;
  settings.from = from;
  settings.to = to;
  if (timeout_ms) settings.fixed_wait = std::chrono::milliseconds(*timeout_ms);
  ScanHooks hooks;
  hooks.stop = [&interrupted] { return interrupted(); };
  hooks.probed = [&](const ProbeResult& result) { FlushTrace(opened, result); };
  // Progress is drawn only without a trace, which writes the same stream.
  if (line.err_is_terminal && line.trace == nullptr) {
    hooks.asking = [&](int number, int present) {
      line.err << "\rSzukam: nr " << number << " z " << from << ".." << to
               << " (odpowiedzi: " << present << ")\033[K" << std::flush;
    };
  }
  const Clock::time_point start = Clock::now();
  const ScanReport report = ScanLine(*opened.port, settings, hooks);
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      Clock::now() - start);
  if (hooks.asking) line.err << "\r\033[K" << std::flush;
  const PortFailure failure = opened.port->LastFailure();
  opened.port->Purge();
  opened.port->Close();

  int present = 0;
  int garbled = 0;
  for (int number = from; number <= to; ++number) {
    const ProbeResult& result = report.numbers[number];
    char text[160];
    if (result.outcome == ProbeOutcome::kPresent) {
      ++present;
      std::snprintf(text, sizeof text, "Sterownik nr %d: Wersja: %d.%d", number,
                    result.version >> 4, result.version & 0x0F);
    } else if (result.outcome == ProbeOutcome::kGarbled) {
      ++garbled;
      std::snprintf(text, sizeof text,
                    "Sterownik nr %d: odpowiedź nieczytelna - %s (%.*s)",
                    number, GarbleText(result.reason).c_str(),
                    static_cast<int>(kGarbledHint.size()), kGarbledHint.data());
    } else {
      continue;
    }
    line.out << text << "\n";
  }
  if (report.line_failed) {
    ReportPortFailure(line, failure);
    return kExitFailure;
  }
  if (report.line_noisy && !report.stopped) {
    line.err << kReplyTooShortText << "\n" << kNoisyLineText << "\n";
    return kExitFailure;
  }
  const int last = report.stopped ? report.last_number - 1 : to;
  char summary[200];
  std::snprintf(summary, sizeof summary,
                "Przeszukano nr %d..%d w %.1f s: odpowiada %d, nieczytelne %d, "
                "bez odpowiedzi %d (czekanie %d ms, zapytane ponownie %d).",
                from, last, static_cast<double>(elapsed.count()) / 1000.0,
                present, garbled,
                std::max(0, last - from + 1 - present - garbled),
                static_cast<int>(report.wait.count()), report.asked_again);
  line.err << summary << "\n";
  if (report.stopped) {
    line.err << kAbortText << "\n";
    return kExitFailure;
  }
  if (present == 0) {
    std::snprintf(summary, sizeof summary,
                  "Brak odpowiedzi sterowników nr %d..%d.", from, to);
    line.err << summary << "\n";
    return kExitFailure;
  }
  return kExitSuccess;
}

int RunLineCheck(const DirectLine& line, int number, int count,
                 std::optional<int> timeout_ms) {
  Interruption interrupted(line.interrupted);
  OpenedLine opened;
  if (!OpenLine(line, interrupted, opened)) return kExitFailure;
  const std::chrono::milliseconds wait(
      timeout_ms.value_or(static_cast<int>(kDefaultTimeoutMs)));
  std::vector<std::chrono::microseconds> trips;
  trips.reserve(static_cast<std::size_t>(count));
  ProbeResult failed;
  bool line_failed = false;
  for (int i = 0; i < count; ++i) {
    ProbeResult result;
    if (!interrupted()) {
      result =
          ProbeVersion(*opened.port, static_cast<std::uint8_t>(number), wait);
    }
    // An interrupted probe stopped waiting: its answer tells nothing.
    if (interrupted()) {
      opened.port->Close();
      line.err << kAbortText << "\n";
      return kExitFailure;
    }
    FlushTrace(opened, result);
    if (result.outcome != ProbeOutcome::kPresent) {
      failed = result;
      line_failed = result.outcome == ProbeOutcome::kLineFailed;
      break;
    }
    trips.push_back(result.round_trip);
  }
  const PortFailure failure = opened.port->LastFailure();
  opened.port->Purge();
  opened.port->Close();

  std::ostream& out = line.out;
  out << "Linia " << line.name << ", sterownik nr " << number << ": "
      << trips.size() << " z " << count << " zapytań ReadVersion\n";
  if (static_cast<int>(trips.size()) < count) {
    PrintDevice(line);
    if (line_failed) {
      ReportPortFailure(line, failure);
    } else {
      line.err << "Sterownik nr " << number
               << " nie odpowiada: " << ProbeFailureText(failed) << "\n";
    }
    return kExitFailure;
  }
  std::sort(trips.begin(), trips.end());
  const auto median = trips[trips.size() / 2];
  const auto wire =
      WireTime(kVersionRequestSize + kVersionReplySize, kLineBaudRate);
  char ratio[32];
  std::snprintf(
      ratio, sizeof ratio, "%.1f",
      static_cast<double>(median.count()) /
          static_cast<double>(std::max<std::int64_t>(1, wire.count())));
  out << "Czas odpowiedzi: min " << Milliseconds(trips.front()) << ", mediana "
      << Milliseconds(median) << ", maks " << Milliseconds(trips.back())
      << "\n";
  out << "Czas bajtów na linii: " << Milliseconds(wire) << " ("
      << kVersionRequestSize + kVersionReplySize << " bajtów, " << kLineBaudRate
      << " bit/s); mediana / czas na linii: " << ratio << "\n";
  PrintDevice(line);
  return kExitSuccess;
}

}  // namespace lumera
