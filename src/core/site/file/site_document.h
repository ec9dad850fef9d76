// A site file as the window edits it: every text line of the file kept as it
// was read, the [line ...] sections seen as rows of five texts (name, port,
// controllers, programs, radio targets). Changing a text rewrites only the
// lines of its keys, in place, so comments, blank lines and untouched keys
// stay where they stood. Whether the result is a valid site is for
// ParseSite to say, on the text that would be written.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/site/file/site_file.h"

namespace lumera {

// The texts of a row:
//   kName         "hala-a"                      [line hala-a]
//   kPort         "COM3", "tcp:10.0.0.5:4001"   port = ...
//   kControllers  "1-12, 20"                    controllers = ...
//   kPrograms     "a.prg; 7=a-7.prg"            program = ..., program.7 = ...
//   kTargets      "3=15,15,16; 5=15,15,32"      target.N = ..., and
//                                               radio = point while any
enum class SiteCell { kName, kPort, kControllers, kPrograms, kTargets };
inline constexpr int kSiteCellCount = 5;

class SiteDocument {
 public:
  // No lines at all (a new site).
  SiteDocument() = default;
  // The lines of a site file's text, as read.
  static SiteDocument FromText(std::string_view text);

  int LineCount() const { return static_cast<int>(sections_.size()); }
  std::string Cell(int line, SiteCell cell) const;
  // Empty when taken; otherwise why not, and nothing changed. An empty
  // text removes the keys of the cell.
  std::string SetCell(int line, SiteCell cell, std::string_view text);
  // The program of the line's controllers that have none of their own;
  // their own ones stay.
  void SetProgram(int line, std::string_view file);
  // A new [line NAME] at the end; its index.
  int AddLine(std::string_view name);
  // The section's header and everything up to its last key; the comments
  // after that belong to what follows and stay.
  void RemoveLine(int line);

  // The file as it would be written.
  std::string Text() const;
  // The row that line `text_line` (from 1) of Text() belongs to; -1 for the
  // lines before the first section and for line 0.
  int LineOfText(int text_line) const;
  // A fault of Text() as the table of lines shows it: "Wiersz 2 (hala-a):
  // ..." on the row it belongs to, its message alone before the first.
  std::string FaultText(const SiteFault& fault) const;
  // "linia-N" for a line added as row N, or the next N no line is named.
  std::string NewLineName() const;

 private:
  struct TextLine {
    std::string text;  // without its end
    std::string end;   // "\n", "\r\n" or "" (the last line of a file)
  };
  struct Section {
    TextLine header;
    std::vector<TextLine> body;  // keys, comments and blank lines
  };

  // Index in `body` of the line of `key`, or -1.
  static int FindKey(const Section& section, std::string_view key);
  // Keys of `section` whose name starts with `prefix`, as (suffix, value).
  static std::vector<std::pair<std::string, std::string>> KeysWith(
      const Section& section, std::string_view prefix);
  // Sets, rewrites or (empty value) removes one key line.
  void SetKey(Section& section, std::string_view key, std::string_view value);
  // Makes the keys `prefix`+suffix hold exactly `wanted`.
  void SetKeys(Section& section, std::string_view prefix,
               const std::vector<std::pair<std::string, std::string>>& wanted);
  std::string NewLineEnd() const;

  std::vector<TextLine> preamble_;  // before the first section
  std::vector<Section> sections_;
  bool byte_order_mark_ = false;  // the file began with one
};

// A site file read once: its site (or every fault of it) and its document.
// Controllers need no program to open it.
struct OpenedSiteFile {
  SiteParseResult parsed;
  SiteDocument document;
};
OpenedSiteFile OpenSiteFile(const std::filesystem::path& path);

}  // namespace lumera
