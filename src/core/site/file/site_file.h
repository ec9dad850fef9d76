// A site file: the lines of an installation, each a port with the numbers of
// its controllers, their programs and, through the radio, their targets.
//
//   # comment
//   [line NAME]
//   port = COM number, device path, tcp:HOST:PORT or rfc2217:HOST:PORT
//   radio = point                  (optional; requires target.N for each N)
//   controllers = 1-12, 20         (1..254, each once)
//   program = FILE                 (relative to the site file)
//   program.N = FILE               (for controller N instead)
//   target.N = H,M,L               (radio address of controller N)
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/port_names.h"
#include "core/model/radio_address.h"

namespace lumera {

// What Notepad and other Windows editors put before a UTF-8 text; a site
// file may begin with it.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

struct SiteController {
  int number = 1;                      // 1..254
  std::filesystem::path program;       // empty: the line names none
  std::optional<RadioAddress> target;  // radio = point only
};

struct SiteLine {
  std::string name;  // a folder name of its own in a backup
  std::string port;  // as --port takes it
  bool radio_point = false;
  std::vector<SiteController> controllers;  // in the order listed
  int line_number = 0;                      // of its [line ...] header
};

struct SiteFile {
  std::vector<SiteLine> lines;
};

struct SiteFault {
  int line_number = 0;
  std::string message;
};

struct SiteParseResult {
  std::optional<SiteFile> site;  // only when there is no fault
  // The faults in the order of the lines; of a kind of fault repeated many
  // times, the first few and then one that counts the rest.
  std::vector<SiteFault> faults;
};

// Parses `text`; program paths are taken relative to `base_dir`. With
// `programs_required` every controller must have a program file that
// exists (upload, verify); otherwise a named program must still exist.
// Two lines on one port (PortIdentity, with COM<n> looked up in
// `port_roots`, the system's unless a test gives its own) are a fault.
SiteParseResult ParseSite(std::string_view text,
                          const std::filesystem::path& base_dir,
                          bool programs_required,
                          const PortRoots& port_roots = DefaultPortRoots());

// Reads and parses the file; a file that cannot be read is one fault on
// line 0.
SiteParseResult LoadSiteFile(const std::filesystem::path& path,
                             bool programs_required,
                             const PortRoots& port_roots = DefaultPortRoots());

// The folder of a line's backup: its name, read as UTF-8 on every system.
std::filesystem::path LineFolderName(const SiteLine& line);

// "FILE:LINE: message", or "FILE: message" for line 0.
std::string SiteFaultText(const std::filesystem::path& file,
                          const SiteFault& fault);

}  // namespace lumera
