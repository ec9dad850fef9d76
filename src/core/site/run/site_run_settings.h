// What a site run is asked to do, and with what: one set of settings for the
// run and for each of its lines.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/link/port_names.h"
#include "core/link/serial_port.h"
#include "core/site/run/site_commands.h"
#include "core/site/run/site_rows.h"

namespace lumera {

class PortOwners;

struct SiteRunSettings {
  std::filesystem::path site_file;
  SiteCommand command = SiteCommand::kStatus;
  std::filesystem::path backup_dir;  // backup
  bool resume = false;               // the writing commands
  bool stop_at_first = false;
  bool any_size = false;  // upload, verify: a program file of any size
  int timeout_ms = 3000;
  // A network serial server still busy with the previous connection may
  // refuse the next one; such a refusal is retried for this long.
  int refused_retry_ms = 2000;
  PortRoots port_roots;
  // A fresh port for each job; empty: the system's port.
  std::function<std::unique_ptr<SerialPort>()> create_port;
  // Where the ports of a process are held against its other jobs (the
  // window's), and the name the run holds them under; none: not held.
  PortOwners* port_owners = nullptr;
  std::string owner;
  SiteRunEvents* events = nullptr;
};

}  // namespace lumera
