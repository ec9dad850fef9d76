#include "core/site/run/site_commands.h"

#include <array>

namespace lumera {
namespace {

constexpr std::array<SiteCommandInfo, 5> kCommands = {{
    {SiteCommand::kStatus, "status", "Stan",
     "Wersja, zegar i raport błędów każdego sterownika", "", false, false,
     false},
    {SiteCommand::kUpload, "upload", "Wyślij",
     "Program każdego sterownika, odczytany z powrotem i porównany",
     "Plan: wysłanie programu", true, true, false},
    {SiteCommand::kVerify, "verify", "Sprawdź",
     "Porównanie programu każdego sterownika z jego plikiem", "", false, true,
     false},
    {SiteCommand::kBackup, "backup", "Kopia",
     "Program i konfiguracja każdego sterownika do wskazanego katalogu", "",
     false, false, true},
    {SiteCommand::kClockSet, "clock-set", "Ustaw zegary",
     "Czas tego komputera w zegarze każdego sterownika",
     "Plan: ustawienie zegara", true, false, false},
}};

}  // namespace

std::span<const SiteCommandInfo> SiteCommands() { return kCommands; }

const SiteCommandInfo& SiteCommandInfoOf(SiteCommand command) {
  for (const SiteCommandInfo& info : kCommands) {
    if (info.command == command) return info;
  }
  return kCommands[0];
}

std::optional<SiteCommand> SiteCommandNamed(std::string_view word) {
  for (const SiteCommandInfo& info : kCommands) {
    if (info.word == word) return info.command;
  }
  return std::nullopt;
}

std::string SiteJobCaption(std::string_view word) {
  const std::optional<SiteCommand> command = SiteCommandNamed(word);
  return std::string(command ? SiteCommandInfoOf(*command).caption : word);
}

std::string SiteCommandWords() {
  std::string words;
  for (const SiteCommandInfo& info : kCommands) {
    if (!words.empty()) words += '|';
    words += info.word;
    if (info.needs_folder) words += " KATALOG";
  }
  return words;
}

}  // namespace lumera
