#include "core/site/run/site_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumera {
namespace {

SiteRow Row(SiteOutcome outcome) {
  SiteRow row;
  row.outcome = outcome;
  return row;
}

// What a run came to, as the window's summary line shows it and as the
// command line's exit status follows it: the worst of the rows, the journal
// and the manifest.
TEST(SiteReportTest, SummaryAndVerdictTakeTheWorst) {
  const struct {
    const char* what;
    std::vector<SiteOutcome> rows;
    const char* caption;
    bool aborted;
    double seconds;
    const char* journal_failure;
    const char* manifest_error;
    SiteVerdict verdict;
    const char* text;
  } cases[] = {
      {"every controller verified",
       {SiteOutcome::kVerified, SiteOutcome::kVerified},
       "Wyślij",
       false,
       3.25,
       "",
       "",
       SiteVerdict::kSucceeded,
       "Wyślij: zakończone po 3,2 s; zweryfikowany: 2."},
      {"a difference and nothing failed",
       {SiteOutcome::kDone, SiteOutcome::kDiffers},
       "Sprawdź",
       false,
       1,
       "",
       "",
       SiteVerdict::kDiffers,
       "Sprawdź: zakończone po 1,0 s; ok: 1, różnice: 1."},
      {"an absent controller outweighs a difference",
       {SiteOutcome::kDiffers, SiteOutcome::kAbsent},
       "Sprawdź",
       false,
       1,
       "",
       "",
       SiteVerdict::kFailed,
       "Sprawdź: zakończone po 1,0 s; różnice: 1, nieobecny: 1."},
      {"aborted",
       {SiteOutcome::kVerified, SiteOutcome::kSkipped},
       "Wyślij",
       true,
       0.5,
       "",
       "",
       SiteVerdict::kFailed,
       "Wyślij: przerwane po 0,5 s; zweryfikowany: 1, pominięty: 1."},
      {"the manifest not written",
       {SiteOutcome::kDone},
       "Kopia",
       false,
       2,
       "",
       "Błąd zapisu pliku ! k/MANIFEST.sha256",
       SiteVerdict::kFailed,
       "Kopia: zakończone po 2,0 s; ok: 1. Błąd zapisu pliku ! "
       "k/MANIFEST.sha256"},
      {"a journal line not written",
       {SiteOutcome::kVerified},
       "Ustaw zegary",
       false,
       2,
       "Błąd zapisu dziennika h.site.journal: No space left on device",
       "",
       SiteVerdict::kFailed,
       "Ustaw zegary: zakończone po 2,0 s; zweryfikowany: 1. Błąd zapisu "
       "dziennika h.site.journal: No space left on device."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<SiteRow> rows;
    for (const SiteOutcome outcome : c.rows) rows.push_back(Row(outcome));
    SiteRunEnd end;
    end.caption = c.caption;
    end.aborted = c.aborted;
    end.seconds = c.seconds;
    end.journal_failure = c.journal_failure;
    end.manifest_error = c.manifest_error;
    const SiteSummary summary = SiteSummaryOf(rows, end);
    EXPECT_EQ(summary.text, c.text);
    EXPECT_EQ(summary.verdict, c.verdict);
  }
}

}  // namespace
}  // namespace lumera
