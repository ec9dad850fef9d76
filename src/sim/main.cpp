// lumera-sim: virtual controllers on a pseudo-terminal, for trying the
// editor without hardware and for the end-to-end tests.
#include <sys/signalfd.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/controller_config.h"
#include "core/link/port_names.h"
#include "sim/com_link.h"
#include "sim/sim_device.h"
#include "sim/sim_line.h"
#include "sim/sim_options.h"
#include "sim/sim_server.h"
#include "sim/state_file.h"

namespace lumera {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int Fail(const std::string& message) {
  std::fprintf(stderr, "lumera-sim: %s\n", message.c_str());
  return kExitFailure;
}

// SIGINT, SIGTERM and SIGHUP arrive on a descriptor the serving loop
// watches, so the loop can clean up in order.
int BlockStopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGHUP);
  if (sigprocmask(SIG_BLOCK, &signals, nullptr) != 0) return -1;
  std::signal(SIGPIPE, SIG_IGN);
  return signalfd(-1, &signals, SFD_CLOEXEC);
}

// The controllers of the line, with their memory from the state files.
bool BuildControllers(const SimOptions& options,
                      std::vector<SimController>& controllers) {
  const std::size_t count =
      !options.numbers.empty()
          ? options.numbers.size()
          : std::max<std::size_t>(1, options.state_files.size());
  for (std::size_t i = 0; i < count; ++i) {
    SimControllerState state =
        FreshControllerState(options.numbers.empty() ? 1 : options.numbers[i]);
    if (i < options.state_files.size()) {
      const std::string& file = options.state_files[i];
      ProgramImage image{};
      switch (LoadStateImage(file, image)) {
        case StateLoad::kLoaded: {
          state.image = image;
          const ControllerConfig config(state.image);
          if (!options.numbers.empty()) {
            config.SetControllerNumber(options.numbers[i]);
          } else if (config.ControllerNumber() == 0 ||
                     config.ControllerNumber() == 255) {
            config.SetControllerNumber(1);
          }
          break;
        }
        case StateLoad::kMissing:
          break;
        case StateLoad::kFailed:
          Fail("cannot read state file " + file + " (" +
               std::to_string(kImageSize) + " bytes expected)");
          return false;
      }
    }
    ApplyReportedValues(options, state);
    controllers.emplace_back(std::move(state), LocalTimeOfDay);
  }
  // State files that carry one number would make every answer a collision.
  for (std::size_t i = 0; i < controllers.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (controllers[i].Number() == controllers[j].Number()) {
        Fail("state files " + options.state_files[j] + " and " +
             options.state_files[i] + " both hold controller number " +
             std::to_string(controllers[i].Number()) +
             "; give the numbers with --number");
        return false;
      }
    }
  }
  return true;
}

int Run(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  std::string error;
  const auto options = ParseSimOptions(args, error);
  if (!options) {
    std::fprintf(stderr, "lumera-sim: %s\n%.*s", error.c_str(),
                 static_cast<int>(SimUsageText().size()),
                 SimUsageText().data());
    return kExitUsage;
  }
  if (options->help) {
    std::fwrite(SimUsageText().data(), 1, SimUsageText().size(), stdout);
    return 0;
  }
  const int signal_fd = BlockStopSignals();
  if (signal_fd < 0) return Fail("cannot watch signals");

  std::vector<SimController> controllers;
  if (!BuildControllers(*options, controllers)) return kExitFailure;

  auto device = options->device ? SimDevice::OpenSerialDevice(*options->device,
                                                              options->baud)
                                : SimDevice::OpenPseudoTerminal();
  if (!device) {
    return Fail(options->device ? "cannot open " + *options->device
                                : "cannot open a pseudo-terminal");
  }
  const auto ports_folder = DefaultPortRoots().ports_folder;
  std::optional<int> com;
  if (!options->device || options->com) {
    if (ports_folder.empty()) {
      return Fail("no ports folder: neither XDG_CONFIG_HOME nor HOME is set");
    }
    com = RegisterComLink(ports_folder, device->Path(), options->com);
    if (!com) {
      return Fail(options->com ? "COM" + std::to_string(*options->com) +
                                     " is taken in " + ports_folder.string()
                               : "cannot register a COM name in " +
                                     ports_folder.string());
    }
  }
  if (com) {
    std::printf("%s COM%d\n", device->Path().c_str(), *com);
  } else {
    std::printf("%s\n", device->Path().c_str());
  }
  std::fflush(stdout);

  SimLine line(std::move(controllers), options->radio);
  if (options->log) {
    line.SetLog([](const std::string& text) {
      std::fprintf(stderr, "%s\n", text.c_str());
    });
  }
  line.SetFault(options->fault);
  ServeEnd end =
      ServeLine(*device, signal_fd, line, options->baud, options->latency_ms);
  // A line that hung up comes back as a new terminal under the same COM
  // name, as a cable plugged in again; a real device cannot do that.
  while (end == ServeEnd::kHangUp) {
    end = ServeEnd::kDeviceFailed;
    if (options->device) break;
    auto fresh = SimDevice::OpenPseudoTerminal();
    if (!fresh) break;
    if (com) RemoveComLink(ports_folder, *com, device->Path());
    device = std::move(fresh);
    if (com && !RegisterComLink(ports_folder, device->Path(), com)) break;
    std::printf("done\n");
    std::fflush(stdout);
    end =
        ServeLine(*device, signal_fd, line, options->baud, options->latency_ms);
  }

  if (com) RemoveComLink(ports_folder, *com, device->Path());
  bool saved = true;
  for (std::size_t i = 0; i < options->state_files.size(); ++i) {
    if (!SaveStateImage(options->state_files[i],
                        line.Controllers()[i].State().image)) {
      Fail("cannot save state file " + options->state_files[i]);
      saved = false;
    }
  }
  if (end == ServeEnd::kDeviceFailed) return Fail("the device failed");
  return saved ? 0 : kExitFailure;
}

}  // namespace
}  // namespace lumera

int main(int argc, char** argv) { return lumera::Run(argc, argv); }
