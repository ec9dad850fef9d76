#include "cli/cli_commands.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_prompts.h"
#include "cli/line_commands.h"
#include "cli/pdf_output.h"
#include "cli/site_command.h"
#include "cli/status_texts.h"
#include "cli/trace_printer.h"
#include "core/config/config_page_values.h"
#include "core/link/error_report.h"
#include "core/link/operations.h"
#include "core/model/program_check.h"
#include "core/model/program_file.h"
#include "core/print/listing.h"
#include "core/session/job_runner.h"
#include "core/session/program_diff.h"
#include "core/session/program_loading.h"
#include "core/session/workspace.h"
#include "core/shell/port_discovery.h"
#include "core/shell/settings_file.h"
#ifndef _WIN32
#include "core/link/routed_serial_port.h"
#endif

namespace lumera {
namespace {

// A radio scan runs one job a number: a controller behind the access point
// answers within a few milliseconds of the radio's own delay.
constexpr int kScanTimeoutMs = 150;

constexpr std::string_view kNothingToPrintText = "Brak komend do wydruku.";
constexpr std::string_view kNotSentText =
    "Nic nie zostało wysłane (--any-size: wyślij mimo to, jak okno go "
    "wczytuje).";

std::string Format(const char* format, int a, int b = 0, int c = 0) {
  char text[96];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

class Session {
 public:
  Session(const CliInvocation& invocation, CliEnvironment& env)
      : inv_(invocation),
        options_(invocation.options),
        env_(env),
        workspace_(std::make_unique<Workspace>()) {}

  int Run();

 private:
  Workspace& ws() { return *workspace_; }
  void LoadSettingsIfPresent();
  void ApplyOverrides();
  JobRunner& Runner(int timeout_ms, bool progress = true);
  int Report(const JobRunResult& outcome, bool print_status = true);
  // With `held_status`, a job's success text is kept there instead of
  // printed, for a command that still has a file to write.
  int RunJob(const std::function<bool(LinkContext&)>& start,
             std::string* held_status = nullptr);
  EditorSide Editor(int segment, int selected_row = 0);
  int SegmentOrCurrent() const;

  bool LoadProgram(const std::string& file);
  // A program file for a job that sends it (or compares it): only a file
  // of a program's size, unless --any-size. An exit status.
  int LoadProgramToSend(const std::string& file);
  bool SaveProgram(const std::string& file);

  int Ports();
  int Upload();
  int Download();
  int Verify();
  int ConfigRead();
  int ConfigWrite();
  int SingleRead(RequestCode code);
  int Errors();
  int Step();
  int Start();
  int Scan();
  int RadioScan();
  int LineCheck();
  DirectLine Line();
  std::vector<ListingPage> Listing();
  int List();
  int Print();
  int Diff();
  int Check();
  std::optional<std::vector<ProgramDifference>> DiffController(
      const ProgramStore& file);

  void PrintVersion();
  void PrintHardwareInfo();
  void PrintRegisters();
  void PrintPosition();
  void PrintClock();

  const CliInvocation& inv_;
  const CliOptions& options_;
  CliEnvironment& env_;
  std::unique_ptr<Workspace> workspace_;
  std::unique_ptr<TracePrinter> trace_;
  std::unique_ptr<CliPrompts> prompts_;
  std::unique_ptr<TerminalProgress> progress_;
  std::unique_ptr<JobRunner> runner_;
};

void Session::LoadSettingsIfPresent() {
  const std::filesystem::path path = SettingsPathIn(env_.working_directory);
  // The command line never writes the settings file: the reader would write
  // one on what it takes for a first start, so it only runs on a file that
  // can be read.
  std::ifstream probe(path);
  if (!probe.is_open()) return;
  probe.close();
  LoadSettings(path, false, ws().store, ws().settings);
}

void Session::ApplyOverrides() {
  ShellSettings& settings = ws().settings;
  if (options_.port_number) settings.port_number = *options_.port_number;
  if (options_.device) settings.controller_address = *options_.device;
  if (options_.radio) settings.radio_option = 1;
  if (options_.target) {
    const auto& t = *options_.target;
    settings.target_radio_address = RadioAddress{
        static_cast<std::uint8_t>(t[0]), static_cast<std::uint8_t>(t[1]),
        static_cast<std::uint8_t>(t[2])};
  }
  if (options_.all) ws().link.radio_mode = RadioMode::kAll;
  ws().link.time_byte = options_.time_byte;
}

JobRunner& Session::Runner(int timeout_ms, bool progress) {
  if (!runner_) {
    JobRunnerSettings settings;
    settings.port.create = CommandPorts(env_);  // empty: the system's port
    if (options_.port_path) {
      settings.port.name = [path = *options_.port_path](int) { return path; };
    }
    settings.port.timing.read_constant_ms =
        static_cast<std::uint32_t>(timeout_ms);
    if (options_.trace) {
      trace_ = std::make_unique<TracePrinter>(env_.err);
      settings.port.trace = trace_.get();
    }
    settings.abort_requested = env_.interrupted;
    if (progress && env_.err_is_terminal && !options_.trace) {
      progress_ = std::make_unique<TerminalProgress>(env_.err);
      settings.on_progress = [this](int position, int maximum) {
        progress_->Draw(position, maximum);
      };
    }
    prompts_ = std::make_unique<CliPrompts>(options_.yes, env_.err);
    runner_ = std::make_unique<JobRunner>(ws(), *prompts_, std::move(settings));
  }
  return *runner_;
}

int Session::Report(const JobRunResult& outcome, bool print_status) {
  if (progress_) progress_->Clear();
  if (!outcome.started) {
    // The prompts have already said why when a question was refused or a
    // warning shown; another job cannot be under way here.
    if (!outcome.refused) env_.err << outcome.status << "\n";
    return kExitFailure;
  }
  if (!outcome.succeeded) {
    env_.err << outcome.FailureReport() << "\n";
    return kExitFailure;
  }
  if (print_status) env_.out << outcome.status << "\n";
  return kExitSuccess;
}

int Session::RunJob(const std::function<bool(LinkContext&)>& start,
                    std::string* held_status) {
  JobRunner& runner =
      Runner(options_.timeout_ms.value_or(static_cast<int>(kDefaultTimeoutMs)));
  const JobRunResult outcome = runner.Run(start);
  if (held_status != nullptr) *held_status = outcome.status;
  return Report(outcome, held_status == nullptr);
}

int Session::SegmentOrCurrent() const {
  return options_.segment.value_or(workspace_->settings.current_segment);
}

EditorSide Session::Editor(int segment, int selected_row) {
  EditorSide editor;
  editor.current_segment = segment;
  editor.grid_rows = ws().store.CommandListLength(segment - 1);
  editor.selected_row = selected_row;
  return editor;
}

bool Session::LoadProgram(const std::string& file) {
  if (LoadProgramIntoWorkspace(ws(), file)) return true;
  env_.err << kProgramLoadFailedText << "\n" << file << "\n";
  return false;
}

int Session::LoadProgramToSend(const std::string& file) {
  std::uintmax_t size = 0;
  if (!LoadProgramIntoWorkspace(ws(), file, &size)) {
    env_.err << kProgramLoadFailedText << "\n" << file << "\n";
    return kExitFailure;
  }
  const std::optional<std::string> refusal = ProgramSizeRefusal(file, size);
  if (!refusal || options_.any_size) return kExitSuccess;
  env_.err << *refusal << "\n" << kNotSentText << "\n";
  return kExitUsage;
}

bool Session::SaveProgram(const std::string& file) {
  const ProgramSaveResult saved = SaveProgramFile(ws().store, file);
  if (saved) return true;
  env_.err << kProgramSaveFailedText << "\n"
           << FileWriteErrorText(*saved.error) << "\n";
  return false;
}

int Session::Ports() {
#ifdef _WIN32
  // The system's own COM names, as the window's port list shows them.
  const PortList list = DiscoverSerialPorts();
  for (const PortEntry& entry : list.Entries()) {
    env_.out << PortEntryText(entry) << "\n";
  }
  if (list.count == 0) env_.err << "Nie znaleziono portów szeregowych.\n";
  return kExitSuccess;
#else
  const std::vector<PortEntry> ports = ListSerialPorts(env_.port_roots);
  for (const PortEntry& entry : ports) {
    env_.out << "COM" << entry.number << " " << entry.device;
    // A link of the ports folder: show the device behind it, or that it
    // is gone (a controller that is not running).
    std::error_code error;
    const std::filesystem::path target =
        std::filesystem::read_symlink(entry.device, error);
    if (!error) {
      env_.out << " -> " << target.string();
      if (!std::filesystem::exists(entry.device, error)) {
        env_.out << " (brak urządzenia)";
      }
    }
    env_.out << "\n";
  }
  if (ports.empty()) env_.err << "Nie znaleziono portów szeregowych.\n";
  return kExitSuccess;
#endif
}

int Session::Upload() {
  if (const int loaded = LoadProgramToSend(inv_.file); loaded != kExitSuccess) {
    return loaded;
  }
  if (options_.segment) {
    const EditorSide editor = Editor(*options_.segment);
    return RunJob(
        [&](LinkContext& c) { return StartUploadSegment(c, editor); });
  }
  const EditorSide editor = Editor(SegmentOrCurrent());
  return RunJob([&](LinkContext& c) { return StartUploadProgram(c, editor); });
}

int Session::Download() {
  std::error_code error;
  if (std::filesystem::exists(inv_.file, error) && !LoadProgram(inv_.file)) {
    return kExitFailure;
  }
  const EditorSide editor = Editor(SegmentOrCurrent());
  std::string done;
  const int status = RunJob(
      [&](LinkContext& c) {
        return options_.segment ? StartDownloadSegment(c, editor)
                                : StartDownloadProgram(c, editor);
      },
      &done);
  // A failed download leaves the file as it was: saving a half-read program
  // over it would lose the rest of the user's program and its comments.
  if (status != kExitSuccess) return status;
  // Success is said only once the program is in its file.
  if (!SaveProgram(inv_.file)) return kExitFailure;
  env_.out << done << "\n";
  return kExitSuccess;
}

int Session::Verify() {
  if (const int loaded = LoadProgramToSend(inv_.file); loaded != kExitSuccess) {
    return loaded;
  }
  const EditorSide editor = Editor(SegmentOrCurrent());
  return RunJob([&](LinkContext& c) {
    return options_.segment ? StartVerifySegment(c, editor)
                            : StartVerifyProgram(c, editor);
  });
}

int Session::ConfigRead() {
  std::error_code error;
  if (std::filesystem::exists(inv_.file, error) && !LoadProgram(inv_.file)) {
    return kExitFailure;
  }
  std::string done;
  const int status = RunJob(StartReadConfiguration, &done);
  if (status != kExitSuccess) return status;
  if (!SaveProgram(inv_.file)) return kExitFailure;
  env_.out << done << "\n";
  PrintVersion();
  return kExitSuccess;
}

int Session::ConfigWrite() {
  if (const int loaded = LoadProgramToSend(inv_.file); loaded != kExitSuccess) {
    return loaded;
  }
  return RunJob(StartWriteConfiguration);
}

// A receive job of one request, for values the window shows but reads only
// as part of a larger job (the version, the switches, the registers, the
// position).
int Session::SingleRead(RequestCode code) {
  return RunJob([code](LinkContext& c) {
    return StartSingleRequest(c, {.direction = JobDirection::kReceive}, code);
  });
}

int Session::Errors() {
  const int status = RunJob(StartReadErrorReport);
  if (status != kExitSuccess) return status;
  std::string text;
  if (TakePendingErrorReport(ws().link.error_report, text)) {
    env_.out << kErrorReportCaption << "\n" << text << "\n";
  }
  return kExitSuccess;
}

int Session::Step() {
  const EditorSide editor = Editor(SegmentOrCurrent());
  const int status =
      RunJob([&](LinkContext& c) { return StartStepCommand(c, editor); });
  if (status != kExitSuccess) return status;
  PrintPosition();
  PrintRegisters();
  return kExitSuccess;
}

int Session::Start() {
  ws().config_page.index_mode = options_.index;
  if (!options_.index) {
    // The start points are those of the program the settings name, as the
    // window would have it loaded.
    const std::string& file = ws().settings.program_file_name;
    std::error_code error;
    if (std::filesystem::exists(file, error) && !LoadProgram(file)) {
      return kExitFailure;
    }
  }
  const int number = inv_.numbers.at(0);
  return RunJob(
      [number](LinkContext& c) { return StartRunStartPoint(c, number); });
}

DirectLine Session::Line() {
  DirectLine line{.out = env_.out, .err = env_.err};
  line.create = CommandPorts(env_);
#ifdef _WIN32
  if (!line.create) line.create = CreateSystemSerialPort;
#endif
  line.name =
      options_.port_path.value_or(ComPortName(ws().settings.port_number));
  line.roots = env_.port_roots;
  if (options_.trace) {
    trace_ = std::make_unique<TracePrinter>(env_.err);
    line.trace = trace_.get();
  }
  line.err_is_terminal = env_.err_is_terminal;
  line.interrupted = env_.interrupted;
  return line;
}

// The line is read directly, so the scan and the check hold one port for
// all their requests; the radio's envelope goes through jobs.
int Session::Scan() {
  if (ws().settings.RadioOn()) return RadioScan();
  return RunBusScan(Line(), options_.scan_from, options_.scan_to,
                    options_.timeout_ms);
}

int Session::LineCheck() {
  if (ws().settings.RadioOn()) {
    env_.err << "line-check działa tylko bez radia (bez --radio).\n";
    return kExitFailure;
  }
  const int number = ws().settings.controller_address;
  if (number == kBroadcastDestination) {
    env_.err << kBroadcastRefusedText << "\n";
    return kExitFailure;
  }
  return RunLineCheck(Line(), number, options_.line_check_count,
                      options_.timeout_ms);
}

int Session::RadioScan() {
  JobRunner& runner =
      Runner(options_.timeout_ms.value_or(kScanTimeoutMs), false);
  int found = 0;
  for (int number = options_.scan_from; number <= options_.scan_to; ++number) {
    ws().settings.controller_address = number;
    ws().status.version_major = 0;
    ws().status.version_minor = 0;
    if (env_.err_is_terminal) {
      env_.err << "\r" << number << "/" << options_.scan_to << std::flush;
    }
    const JobRunResult outcome = runner.Run([](LinkContext& c) {
      return StartSingleRequest(c, {.direction = JobDirection::kReceive},
                                RequestCode::kReadVersion);
    });
    if (!outcome.started) return Report(outcome);
    if (outcome.outcome.aborted() && !outcome.unanswered) {
      return Report(outcome);
    }
    // A port that cannot be opened fails every number alike.
    if (!outcome.succeeded && outcome.port_failure.system_error != 0) {
      if (env_.err_is_terminal) env_.err << "\r\033[K";
      return Report(outcome);
    }
    if (!outcome.succeeded) continue;
    if (env_.err_is_terminal) env_.err << "\r\033[K" << std::flush;
    ++found;
    env_.out << Format("Sterownik nr %d: Wersja: %d.%d", number,
                       ws().status.version_major, ws().status.version_minor)
             << "\n";
  }
  if (env_.err_is_terminal) env_.err << "\r\033[K" << std::flush;
  if (found == 0) {
    env_.err << Format("Brak odpowiedzi sterowników nr %d..%d.",
                       options_.scan_from, options_.scan_to)
             << "\n";
  }
  return found > 0 ? kExitSuccess : kExitFailure;
}

// The pages "DRUKUJ" prints, or with --segment those of "Drukuj:N".
std::vector<ListingPage> Session::Listing() {
  ListingOptions listing;
  listing.entries_only = options_.entries_only || ws().settings.EntriesOnly();
  listing.controller_address = ws().settings.controller_address;
  listing.program_file_name = inv_.file;
  const ProgramStore& store = ws().store;
  CommentLookup comments = [&store](int segment, int command) {
    const std::string* text = store.Comment(segment, command);
    return text ? std::string_view(*text) : std::string_view{};
  };
  return options_.segment
             ? ListSegment(store.image(), comments, *options_.segment, listing)
             : ListProgram(store.image(), comments, listing);
}

int Session::List() {
  if (!LoadProgram(inv_.file)) return kExitFailure;
  const std::vector<ListingPage> pages = Listing();
  for (const ListingPage& page : pages) {
    env_.out << page.header << "\n";
    for (const ListingRow& row : page.rows) env_.out << row.text << "\n";
  }
  // Empty segments print no page; say so rather than print nothing.
  if (pages.empty()) env_.err << kNothingToPrintText << "\n";
  return kExitSuccess;
}

int Session::Print() {
  if (!PdfOutputAvailable()) {
    env_.err << kPdfUnavailableText << "\n";
    return kExitFailure;
  }
  if (!LoadProgram(inv_.file)) return kExitFailure;
  const std::vector<ListingPage> pages = Listing();
  // A document without pages cannot be a PDF; a blank sheet would pass for
  // a listing.
  if (pages.empty()) {
    env_.err << kNothingToPrintText << "\n";
    return kExitFailure;
  }
  std::string error;
  if (!WritePdfListing(pages, *options_.pdf, error)) {
    env_.err << error << "\n";
    return kExitFailure;
  }
  return kExitSuccess;
}

// Where the controller differs from `file`, read as a download reads it:
// segments 1 to 9, or the --segment one, compared slot by slot with what
// the read brought (segment 10 stays in the file, and a controller keeps no
// comments); the whole program brings the configuration along. Nothing when
// a read failed.
std::optional<std::vector<ProgramDifference>> Session::DiffController(
    const ProgramStore& file) {
  // With the radio to all no reply is read: there would be nothing to
  // compare, and every slot would be one not read.
  if (ws().settings.RadioOn() && ws().link.radio_mode == RadioMode::kAll) {
    env_.err << "Radio: wszystkie - odpowiedź nie jest odczytywana.\n";
    return std::nullopt;
  }
  JobRunner& runner =
      Runner(options_.timeout_ms.value_or(static_cast<int>(kDefaultTimeoutMs)));
  const EditorSide editor = Editor(options_.segment.value_or(1));
  const JobRunResult read = runner.Run([&](LinkContext& c) {
    return options_.segment ? StartDownloadSegment(c, editor)
                            : StartDownloadProgram(c, editor);
  });
  if (Report(read, false) != kExitSuccess) return std::nullopt;
  SlotCounts slots{};
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    const bool read_here = options_.segment ? segment == *options_.segment - 1
                                            : segment < kWholeProgramSegments;
    slots[static_cast<std::size_t>(segment)] =
        read_here ? kCommandsPerSegment : 0;
  }
  // Before the next job starts a new copy.
  std::vector<ProgramDifference> differences =
      DiffReceived(file, ws().received, slots);
  if (options_.segment) return differences;
  if (Report(runner.Run(StartReadConfiguration), false) != kExitSuccess) {
    return std::nullopt;
  }
  ProgramDiffScope configuration;
  configuration.last_segment = 0;
  configuration.comments = false;
  for (ProgramDifference& d : DiffPrograms(file, ws().store, configuration)) {
    differences.push_back(std::move(d));
  }
  return differences;
}

int Session::Diff() {
  auto file = std::make_unique<ProgramStore>();
  if (!LoadProgramFile(*file, inv_.file)) {
    env_.err << kProgramLoadFailedText << "\n" << inv_.file << "\n";
    return kExitFailure;
  }
  std::vector<ProgramDifference> differences;
  if (!inv_.second_file.empty()) {
    auto second = std::make_unique<ProgramStore>();
    if (!LoadProgramFile(*second, inv_.second_file)) {
      env_.err << kProgramLoadFailedText << "\n" << inv_.second_file << "\n";
      return kExitFailure;
    }
    ProgramDiffScope scope;
    scope.segment = options_.segment;
    differences = DiffPrograms(*file, *second, scope);
  } else {
    auto controller = DiffController(*file);
    if (!controller) return kExitFailure;
    differences = std::move(*controller);
  }
  for (const ProgramDifference& difference : differences) {
    env_.out << FormatDifference(difference) << "\n";
  }
  return differences.empty() ? kExitSuccess : kExitDiffer;
}

// The file alone: no controller, no settings of the line.
int Session::Check() {
  auto program = std::make_unique<ProgramStore>();
  if (!LoadProgramFile(*program, inv_.file)) {
    env_.err << kProgramLoadFailedText << "\n" << inv_.file << "\n";
    return kExitUnreadable;
  }
  const std::vector<ProgramFinding> findings = CheckProgram(*program);
  for (const ProgramFinding& finding : findings) {
    env_.out << FindingLine(finding) << "\n";
  }
  if (findings.empty()) env_.out << kNoFindingsText << "\n";
  return findings.empty() ? kExitSuccess : kExitFindings;
}

void Session::PrintVersion() { env_.out << VersionText(ws().status) << "\n"; }

void Session::PrintHardwareInfo() { env_.out << HardwareInfoText(ws().status); }

void Session::PrintRegisters() {
  std::string line;
  for (int r = 0; r < kRegisterCount; ++r) {
    if (r > 0) line += " ";
    line += Format("R%d:%d", r + 1, ws().link.registers[r]);
  }
  env_.out << line << "\n";
}

void Session::PrintPosition() {
  env_.out << Format("Segment: %d Komenda: %d", ws().link.position_segment + 1,
                     ws().link.position_command + 1)
           << "\n";
}

void Session::PrintClock() {
  const ClockTime clock = ws().status.clock.value_or(ClockTime{});
  env_.out << Format("%02X:%02X:%02X", clock.hour, clock.minute, clock.second)
           << "\n";
}

int Session::Run() {
  LoadSettingsIfPresent();
  ApplyOverrides();
  int status = kExitSuccess;
  switch (inv_.command) {
    case CliCommand::kProgramVersion:
      env_.out << "lumera-cli " << LUMERA_VERSION << "\n";
      return kExitSuccess;
    case CliCommand::kHelp:
      env_.out << CliUsage();
      return kExitSuccess;
    case CliCommand::kPorts:
      return Ports();
    case CliCommand::kUpload:
      return Upload();
    case CliCommand::kDownload:
      return Download();
    case CliCommand::kVerify:
      return Verify();
    case CliCommand::kConfigRead:
      return ConfigRead();
    case CliCommand::kConfigWrite:
      return ConfigWrite();
    case CliCommand::kDefaults: {
      const bool configuration_only = !options_.program;
      return RunJob([configuration_only](LinkContext& c) {
        return StartLoadDefaults(c, configuration_only);
      });
    }
    case CliCommand::kVersion:
      status = SingleRead(RequestCode::kReadVersion);
      if (status == kExitSuccess) PrintVersion();
      return status;
    case CliCommand::kHardwareInfo:
      status = SingleRead(RequestCode::kReadHardwareInfo);
      if (status == kExitSuccess) PrintHardwareInfo();
      return status;
    case CliCommand::kErrors:
      return Errors();
    case CliCommand::kRegisters:
      status = SingleRead(RequestCode::kReadRegisters);
      if (status == kExitSuccess) PrintRegisters();
      return status;
    case CliCommand::kPosition:
      status = SingleRead(RequestCode::kReadPosition);
      if (status == kExitSuccess) PrintPosition();
      return status;
    case CliCommand::kNumberRead:
      status = RunJob(StartReadControllerNumber);
      // With the radio to all no reply is read: the number held is not one
      // the controller gave.
      if (status == kExitSuccess && ws().settings.RadioOn() &&
          ws().link.radio_mode == RadioMode::kAll) {
        env_.err << "Radio: wszystkie - odpowiedź nie jest odczytywana.\n";
      } else if (status == kExitSuccess) {
        env_.out << Format("Numer sterownika: %d",
                           ws().settings.controller_address)
                 << "\n";
      }
      return status;
    case CliCommand::kNumberWrite:
      ws().config_page.new_controller_number = inv_.numbers.at(0);
      return RunJob(StartWriteControllerNumber);
    case CliCommand::kClockRead:
      FillClockFromLocalTime(ws().config_page.clock_time);
      status = RunJob(StartReadClock);
      if (status == kExitSuccess) PrintClock();
      return status;
    case CliCommand::kClockSet:
      status = RunJob(StartWriteClock);
      if (status == kExitSuccess) PrintClock();
      return status;
    case CliCommand::kRestart:
      return RunJob(StartRestartController);
    case CliCommand::kStop:
      return RunJob(StartStopProgram);
    case CliCommand::kResume:
      return RunJob(StartResumeProgram);
    case CliCommand::kStep:
      return Step();
    case CliCommand::kRun:
    case CliCommand::kStopAt: {
      EditorSide editor;
      editor.current_segment = inv_.numbers.at(0);
      editor.grid_rows = kCommandsPerSegment;
      editor.selected_row = inv_.numbers.at(1) - 1;
      const bool run = inv_.command == CliCommand::kRun;
      return RunJob([&](LinkContext& c) {
        return run ? StartRunFrom(c, editor) : StartSetStopPoint(c, editor);
      });
    }
    case CliCommand::kTempo: {
      const int tempo = inv_.numbers.at(0);
      return RunJob(
          [tempo](LinkContext& c) { return StartSelectTempo(c, tempo); });
    }
    case CliCommand::kStart:
      return Start();
    case CliCommand::kRadioReset:
      if (!ws().settings.RadioOn()) {
        env_.err << "Reset radia działa tylko z opcją radio (--radio).\n";
        return kExitFailure;
      }
      return RunJob(StartRadioReset);
    case CliCommand::kScan:
      return Scan();
    case CliCommand::kList:
      return List();
    case CliCommand::kPrint:
      return Print();
    case CliCommand::kDiff:
      return Diff();
    case CliCommand::kLineCheck:
      return LineCheck();
    case CliCommand::kCheck:
      return Check();
  }
  return kExitUsage;
}

}  // namespace

std::function<std::unique_ptr<SerialPort>()> CommandPorts(
    const CliEnvironment& env) {
#ifndef _WIN32
  if (!env.create_port) {
    PortRoots roots = env.port_roots;
    return [roots]() -> std::unique_ptr<SerialPort> {
      return std::make_unique<RoutedSerialPort>(roots);
    };
  }
#endif
  return env.create_port;
}

int RunCliCommand(const CliInvocation& invocation, CliEnvironment& env) {
  Session session(invocation, env);
  return session.Run();
}

int RunCli(std::span<const std::string_view> args, CliEnvironment& env) {
  if (!args.empty() && args.front() == "site") {
    return RunSiteCommand(args.subspan(1), env);
  }
  CliParseResult parsed = ParseCliArguments(args);
  if (!parsed.invocation) {
    // The reason alone: the whole usage text would push it off the screen.
    env.err << "lumera-cli: " << parsed.error << "\nPomoc: lumera-cli --help\n";
    return kExitUsage;
  }
  return RunCliCommand(*parsed.invocation, env);
}

}  // namespace lumera
