#include "core/config/controller_config.h"

#include "core/config/config_page_values.h"

namespace lumera {

void WriteConfigDefaults(ProgramImage& image) {
  const ControllerConfig config(image);
  config.SetControllerNumber(1);
  for (int n = 1; n <= kTempoMultiplierCount; ++n) {
    config.SetTempoMultiplier(n, static_cast<std::uint8_t>(10 * (n - 1) + 1));
  }
  for (int type = 0; type < kReceiverTypeCount; ++type) {
    config.SetReceiverType(type, {30, 30});
  }
  for (int n = 1; n <= kConfigOutputCount; ++n) {
    config.SetOutput(n, {1, 0, 0});
  }
  config.SetMarker(kConfigMarker);
  for (int n = 1; n <= kStartPointCount; ++n) {
    config.SetStartPoint(n, {0, 0});
  }
}

void SetConfigMarker(ProgramImage& image) {
  ControllerConfig(image).SetMarker(kConfigMarker);
}

void SyncControllerNumber(ProgramImage& image, ConfigPageValues& page) {
  const ControllerConfig config(image);
  page.new_controller_number = config.ControllerNumber();
  config.SetMarker(kConfigMarker);
}

void StartConfiguration(ProgramImage& image, ControllerStatus& status,
                        ConfigPageValues& page, const std::tm& local_now) {
  WriteConfigDefaults(image);
  status = ControllerStatus{};
  page = ConfigPageValues{};
  FillClockFromLocalTime(local_now, page.clock_time);
  SyncControllerNumber(image, page);
}

void StartConfiguration(ProgramImage& image, ControllerStatus& status,
                        ConfigPageValues& page) {
  StartConfiguration(image, status, page, std::tm{});
  FillClockFromLocalTime(page.clock_time);
}

}  // namespace lumera
