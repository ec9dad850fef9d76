#include "core/site/run/site_rows.h"

#include "core/site/journal/site_journal.h"

namespace lumera {

std::string_view SiteOutcomeText(SiteOutcome outcome) {
  switch (outcome) {
    case SiteOutcome::kDone:
      return "ok";
    case SiteOutcome::kVerified:
      return kVerifiedOutcome;
    case SiteOutcome::kDiffers:
      return "różnice";
    case SiteOutcome::kAbsent:
      return "nieobecny";
    case SiteOutcome::kFailed:
      return "błąd";
    case SiteOutcome::kSkipped:
      return "pominięty";
  }
  return {};
}

bool SiteOutcomeIsFailure(SiteOutcome outcome) {
  return outcome == SiteOutcome::kAbsent || outcome == SiteOutcome::kFailed ||
         outcome == SiteOutcome::kSkipped;
}

}  // namespace lumera
