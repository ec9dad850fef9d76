// What a site run tells at its end: its verdict and summary, the table, the
// report files and the backup's manifest.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/site/run/site_rows.h"

namespace lumera {

// What a run came to, worst first: a failure anywhere (a controller, the
// journal, the manifest), a controller that differs, or every controller
// as asked.
enum class SiteVerdict { kSucceeded, kDiffers, kFailed };

struct SiteRunEnd {
  std::string_view caption;  // the command's, as the window names it
  bool aborted = false;
  double seconds = 0;
  // "Błąd zapisu dziennika FILE: reason"; empty: every line was written.
  std::string journal_failure;
  std::string manifest_error;  // empty: written or not asked for
};

SiteVerdict SiteVerdictOf(const std::vector<SiteRow>& rows,
                          const SiteRunEnd& end);

// "Wyślij: zakończone po 3,2 s; zweryfikowany: 4, nieobecny: 1." and what
// could not be written; the verdict gives its colour.
struct SiteSummary {
  std::string text;
  SiteVerdict verdict = SiteVerdict::kSucceeded;
};
SiteSummary SiteSummaryOf(const std::vector<SiteRow>& rows,
                          const SiteRunEnd& end);

// Columns: line, controller, outcome, seconds, the failure's text (or the
// detail of a success).
std::string SiteTableText(const std::vector<SiteRow>& rows);
// How many controllers ended each way, in the order of SiteOutcome:
// "zweryfikowany: 4, nieobecny: 1"; "brak sterowników" for no rows.
std::string SiteOutcomeCounts(const std::vector<SiteRow>& rows);
// The same rows with the program's SHA-256.
std::string SiteReportJson(const std::vector<SiteRow>& rows);
std::string SiteReportCsv(const std::vector<SiteRow>& rows);
// "SUM  line/file" lines, as sha256sum checks them, for every file the rows
// name, relative to `folder`.
std::string BackupManifest(const std::vector<SiteRow>& rows,
                           const std::filesystem::path& folder);

}  // namespace lumera
