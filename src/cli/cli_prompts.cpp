#include "cli/cli_prompts.h"

#include <string>

namespace lumera {
namespace {

constexpr int kProgressWidth = 40;

}  // namespace

bool CliPrompts::Ask(std::string_view text) {
  if (yes_) return true;
  err_ << text << "\n(bez --yes polecenie nie zostanie wykonane)\n";
  return false;
}

void CliPrompts::ShowWarning(std::string_view text) { err_ << text << "\n"; }

void TerminalProgress::Draw(int position, int maximum) {
  if (maximum <= 0) return;
  if (position <= 0) {
    Clear();
    return;
  }
  const int filled = position * kProgressWidth / maximum;
  err_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
       << std::string(static_cast<std::size_t>(kProgressWidth - filled), ' ')
       << "] " << position << "/" << maximum << std::flush;
  drawn_ = true;
}

void TerminalProgress::Clear() {
  if (drawn_) err_ << "\r\033[K" << std::flush;
  drawn_ = false;
}

}  // namespace lumera
