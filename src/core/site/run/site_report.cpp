#include "core/site/run/site_report.h"

#include <algorithm>
#include <cstdio>

#include "core/model/sha256.h"
#include "core/site/journal/journal_json.h"

namespace lumera {
namespace {

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", seconds);
  return text;
}

// Width in characters, not bytes: the texts are UTF-8.
std::size_t Width(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(
      text.begin(), text.end(),
      [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Pad(std::string_view text, std::size_t width) {
  std::string out(text);
  for (std::size_t w = Width(text); w < width; ++w) out += ' ';
  return out;
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\n\r") == std::string_view::npos) {
    return std::string(text);
  }
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string Text(const SiteRow& row) {
  return row.failure.empty() ? row.detail : row.failure;
}

}  // namespace

std::string SiteTableText(const std::vector<SiteRow>& rows) {
  const std::vector<std::string> header{"linia", "sterownik", "wynik",
                                        "sekundy", "opis"};
  std::vector<std::vector<std::string>> cells{header};
  for (const SiteRow& row : rows) {
    cells.push_back({row.line, std::to_string(row.controller),
                     std::string(SiteOutcomeText(row.outcome)),
                     Seconds(row.seconds), Text(row)});
  }
  std::vector<std::size_t> widths(header.size(), 0);
  for (const auto& line : cells) {
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
      widths[i] = std::max(widths[i], Width(line[i]));
    }
  }
  std::string text;
  for (const auto& line : cells) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
      out += i + 1 < line.size() ? Pad(line[i], widths[i]) + "  " : line[i];
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    text += out + "\n";
  }
  return text;
}

std::string SiteOutcomeCounts(const std::vector<SiteRow>& rows) {
  std::string text;
  for (const SiteOutcome outcome :
       {SiteOutcome::kDone, SiteOutcome::kVerified, SiteOutcome::kDiffers,
        SiteOutcome::kAbsent, SiteOutcome::kFailed, SiteOutcome::kSkipped}) {
    const auto count = std::count_if(
        rows.begin(), rows.end(),
        [outcome](const SiteRow& row) { return row.outcome == outcome; });
    if (count == 0) continue;
    if (!text.empty()) text += ", ";
    text +=
        std::string(SiteOutcomeText(outcome)) + ": " + std::to_string(count);
  }
  return text.empty() ? "brak sterowników" : text;
}

std::string SiteReportJson(const std::vector<SiteRow>& rows) {
  std::string text = "[\n";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const SiteRow& r = rows[i];
    text += "  {\"line\":\"" + JsonEscape(r.line) + "\",\"port\":\"" +
            JsonEscape(r.port) +
            "\",\"controller\":" + std::to_string(r.controller) +
            ",\"outcome\":\"" + JsonEscape(SiteOutcomeText(r.outcome)) +
            "\",\"seconds\":" + Seconds(r.seconds) + ",\"failure\":\"" +
            JsonEscape(r.failure) + "\",\"detail\":\"" + JsonEscape(r.detail) +
            "\",\"program_sha256\":\"" + r.program_sha256 + "\"}";
    text += i + 1 < rows.size() ? ",\n" : "\n";
  }
  return text + "]\n";
}

std::string SiteReportCsv(const std::vector<SiteRow>& rows) {
  std::string text =
      "line,port,controller,outcome,seconds,failure,detail,program_sha256\n";
  for (const SiteRow& r : rows) {
    text += CsvField(r.line) + "," + CsvField(r.port) + "," +
            std::to_string(r.controller) + "," +
            CsvField(SiteOutcomeText(r.outcome)) + "," + Seconds(r.seconds) +
            "," + CsvField(r.failure) + "," + CsvField(r.detail) + "," +
            r.program_sha256 + "\n";
  }
  return text;
}

std::string BackupManifest(const std::vector<SiteRow>& rows,
                           const std::filesystem::path& folder) {
  std::string text;
  for (const SiteRow& row : rows) {
    for (const std::filesystem::path& file : row.files) {
      const std::optional<std::string> sum = Sha256OfFile(file);
      if (!sum) continue;
      // UTF-8 on every system, as the line names are.
      const std::u8string name =
          file.lexically_relative(folder).generic_u8string();
      text += *sum + "  ";
      text.append(name.begin(), name.end());
      text += "\n";
    }
  }
  return text;
}

SiteVerdict SiteVerdictOf(const std::vector<SiteRow>& rows,
                          const SiteRunEnd& end) {
  if (!end.journal_failure.empty() || !end.manifest_error.empty()) {
    return SiteVerdict::kFailed;
  }
  bool differs = false;
  for (const SiteRow& row : rows) {
    if (SiteOutcomeIsFailure(row.outcome)) return SiteVerdict::kFailed;
    differs = differs || row.outcome == SiteOutcome::kDiffers;
  }
  return differs ? SiteVerdict::kDiffers : SiteVerdict::kSucceeded;
}

SiteSummary SiteSummaryOf(const std::vector<SiteRow>& rows,
                          const SiteRunEnd& end) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f", end.seconds);
  std::string time = seconds;
  std::replace(time.begin(), time.end(), '.', ',');
  SiteSummary summary;
  summary.text = std::string(end.caption) + ": " +
                 (end.aborted ? "przerwane" : "zakończone") + " po " + time +
                 " s; " + SiteOutcomeCounts(rows) + ".";
  if (!end.manifest_error.empty()) summary.text += " " + end.manifest_error;
  if (!end.journal_failure.empty())
    summary.text += " " + end.journal_failure + ".";
  summary.verdict = SiteVerdictOf(rows, end);
  return summary;
}

}  // namespace lumera
