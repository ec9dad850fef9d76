// The site commands, each written once: what the command line calls it (and
// the journal keeps), what the window calls it, whether it writes to the
// controllers, and what it needs. The command line parses its words from
// here, the plan takes its title from here, and the window builds its
// buttons from here.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lumera {

enum class SiteCommand { kStatus, kUpload, kVerify, kBackup, kClockSet };

struct SiteCommandInfo {
  SiteCommand command;
  std::string_view word;     // the command line's and the journal's
  std::string_view caption;  // the window's
  std::string_view tooltip;
  // The plan's first line, for a command that writes.
  std::string_view plan_title;
  // Written to the controllers: journaled, resumable, and asked before.
  bool writes;
  // Reads the program file of each controller.
  bool needs_programs;
  // Writes into a folder: the command line's argument after the word, the
  // window's chooser ("…" after the caption).
  bool needs_folder;
};

// In the order the window shows them.
std::span<const SiteCommandInfo> SiteCommands();
const SiteCommandInfo& SiteCommandInfoOf(SiteCommand command);
// The command a word names; nothing for another word.
std::optional<SiteCommand> SiteCommandNamed(std::string_view word);
// The caption of the command a journal's word names; another word as it is.
std::string SiteJobCaption(std::string_view word);
// The words for a usage line: "status|upload|verify|backup KATALOG|...".
std::string SiteCommandWords();

}  // namespace lumera
