// The jobs' questions and warnings, shown through the application's Prompts
// with the caption "INFO".
#pragma once

#include "app/session/prompts.h"
#include "app/widgets/qt_text.h"
#include "core/link/transfer_job.h"

namespace lumera {

class JobPromptsAdapter : public JobPrompts {
 public:
  explicit JobPromptsAdapter(Prompts& prompts) : prompts_(prompts) {}

  bool Ask(std::string_view text) override {
    return prompts_.AskOkCancel(QStringLiteral("INFO"), ToQString(text));
  }
  void ShowWarning(std::string_view text) override {
    prompts_.Warn(QStringLiteral("INFO"), ToQString(text));
  }

 private:
  Prompts& prompts_;
};

}  // namespace lumera
