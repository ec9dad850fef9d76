// What a site run tells at its end: the table, the report files and the
// backup's manifest.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/site/run/site_run.h"

namespace lumera {

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
