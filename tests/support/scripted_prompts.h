// Prompts answered from a script: every prompt is recorded, questions take
// the next scripted answer (OK/Yes when none is left), file dialogs the next
// scripted file name or folder (cancel when none is left).
#pragma once

#include <QPrinter>
#include <QPrinterInfo>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "app/session/prompts.h"

namespace lumera::testing {

struct PromptRecord {
  enum class Kind {
    kWarning,
    kYesNo,
    kOkCancel,
    kOpenFile,
    kSaveFile,
    kFolder,
    kPrint
  };
  Kind kind;
  QString caption;  // the title of a file dialog
  QString text;
  FileDialogRequest file;
};

class ScriptedPrompts : public Prompts {
 public:
  std::deque<bool> answers;
  std::deque<std::optional<QString>> files;
  // The print dialog's answers: the PDF file that stands for the chosen
  // printer, or nothing to cancel (also when none is left).
  std::deque<std::optional<QString>> printers;
  // Set: a printer answer names a queue of the system's print service
  // instead of a PDF file.
  bool printers_are_queues = false;
  // Runs once a printer is chosen, before anything is printed.
  std::function<void()> after_printer_chosen;
  std::vector<PromptRecord> asked;

  void Warn(const QString& caption, const QString& text) override {
    asked.push_back({PromptRecord::Kind::kWarning, caption, text, {}});
  }
  bool AskYesNo(const QString& caption, const QString& text) override {
    asked.push_back({PromptRecord::Kind::kYesNo, caption, text, {}});
    return NextAnswer();
  }
  bool AskOkCancel(const QString& caption, const QString& text) override {
    asked.push_back({PromptRecord::Kind::kOkCancel, caption, text, {}});
    return NextAnswer();
  }
  std::optional<QString> ChooseOpenFile(
      const FileDialogRequest& request) override {
    asked.push_back(
        {PromptRecord::Kind::kOpenFile, request.title, {}, request});
    return NextFile();
  }
  std::optional<QString> ChooseSaveFile(
      const FileDialogRequest& request) override {
    asked.push_back(
        {PromptRecord::Kind::kSaveFile, request.title, {}, request});
    return NextFile();
  }

  std::optional<QString> ChooseFolder(
      const FileDialogRequest& request) override {
    asked.push_back({PromptRecord::Kind::kFolder, request.title, {}, request});
    return NextFile();
  }

  bool ChoosePrinter(QPrinter& printer) override {
    asked.push_back({PromptRecord::Kind::kPrint, {}, {}, {}});
    if (printers.empty()) return false;
    const bool cancelled = !printers.front().has_value();
    const QString file = cancelled ? QString() : *printers.front();
    printers.pop_front();
    if (cancelled) return false;
    if (printers_are_queues) {
      // As the dialog does on choosing a printer: its own default paper.
      printer.setPrinterName(file);
      printer.setPageSize(QPrinterInfo::printerInfo(file).defaultPageSize());
    } else {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(file);
    }
    if (after_printer_chosen) after_printer_chosen();
    return true;
  }

  int Count(PromptRecord::Kind kind) const {
    int count = 0;
    for (const PromptRecord& record : asked) count += record.kind == kind;
    return count;
  }

 private:
  bool NextAnswer() {
    if (answers.empty()) return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::optional<QString> NextFile() {
    if (files.empty()) return std::nullopt;
    // Taken apart rather than copied whole: GCC 12 at -O3 sees a copied
    // optional<QString> as maybe uninitialised.
    const bool cancelled = !files.front().has_value();
    const QString name = cancelled ? QString() : *files.front();
    files.pop_front();
    if (cancelled) return std::nullopt;
    return name;
  }
};

}  // namespace lumera::testing
