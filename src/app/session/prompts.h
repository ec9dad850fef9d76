// Every modal window of the application goes through Prompts, so that a test
// can answer a question or pick a file without a window blocking it.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QPrinter;

namespace lumera {

// One file dialog: its title, filters ("Name (*.ext)"), the name it starts
// at, and the extension added when the user types none.
struct FileDialogRequest {
  QString title;
  QStringList filters;
  QString start_name;
  QString default_suffix;
};

class Prompts {
 public:
  virtual ~Prompts() = default;

  // Message box with a warning icon and an OK button.
  virtual void Warn(const QString& caption, const QString& text) = 0;
  // Question box with Yes and No; true for Yes.
  virtual bool AskYesNo(const QString& caption, const QString& text) = 0;
  // Question box with OK and Cancel; true for OK.
  virtual bool AskOkCancel(const QString& caption, const QString& text) = 0;
  // Open dialog for an existing file; nothing when cancelled.
  virtual std::optional<QString> ChooseOpenFile(
      const FileDialogRequest& request) = 0;
  // Save dialog; an existing file is chosen only after the dialog's own
  // overwrite confirmation. Nothing when cancelled.
  virtual std::optional<QString> ChooseSaveFile(
      const FileDialogRequest& request) = 0;
  // Dialog for an existing folder (title, start_name); nothing when
  // cancelled.
  virtual std::optional<QString> ChooseFolder(
      const FileDialogRequest& request) = 0;
  // The system's print dialog for `printer` (one copy, no page range); true
  // when the user chose to print, with `printer` set up as chosen.
  virtual bool ChoosePrinter(QPrinter& printer) = 0;
};

}  // namespace lumera
