// The jobs' questions and warnings answered from a script, and recorded.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/transfer_job.h"

namespace lumera {

class FakeJobPrompts : public JobPrompts {
 public:
  // What a question gets once `answers` is used up.
  explicit FakeJobPrompts(bool default_answer = true)
      : default_answer_(default_answer) {}

  bool Ask(std::string_view text) override {
    questions.emplace_back(text);
    if (answers.empty()) return default_answer_;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void ShowWarning(std::string_view text) override {
    warnings.emplace_back(text);
  }

  std::deque<bool> answers;
  std::vector<std::string> questions;
  std::vector<std::string> warnings;

 private:
  bool default_answer_;
};

}  // namespace lumera
