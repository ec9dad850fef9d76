#include "app/session/qt_prompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace lumera {
namespace {

std::optional<QString> RunFileDialog(QWidget* owner,
                                     const FileDialogRequest& request,
                                     bool save) {
  QFileDialog dialog(owner, request.title);
  dialog.setNameFilters(request.filters);
  dialog.setDefaultSuffix(request.default_suffix);
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (!request.start_name.isEmpty()) dialog.selectFile(request.start_name);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return files.front();
}

}  // namespace

void QtPrompts::Warn(const QString& caption, const QString& text) {
  QMessageBox::warning(owner_, caption, text, QMessageBox::Ok);
}

bool QtPrompts::AskYesNo(const QString& caption, const QString& text) {
  return QMessageBox::question(owner_, caption, text,
                               QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::Yes) == QMessageBox::Yes;
}

bool QtPrompts::AskOkCancel(const QString& caption, const QString& text) {
  return QMessageBox::question(owner_, caption, text,
                               QMessageBox::Ok | QMessageBox::Cancel,
                               QMessageBox::Ok) == QMessageBox::Ok;
}

std::optional<QString> QtPrompts::ChooseOpenFile(
    const FileDialogRequest& request) {
  return RunFileDialog(owner_, request, false);
}

std::optional<QString> QtPrompts::ChooseSaveFile(
    const FileDialogRequest& request) {
  return RunFileDialog(owner_, request, true);
}

std::optional<QString> QtPrompts::ChooseFolder(
    const FileDialogRequest& request) {
  const QString folder = QFileDialog::getExistingDirectory(
      owner_, request.title, request.start_name);
  if (folder.isEmpty()) return std::nullopt;
  return folder;
}

bool QtPrompts::ChoosePrinter(QPrinter& printer) {
  printer.setCopyCount(1);
  printer.setPrintRange(QPrinter::AllPages);
  QPrintDialog dialog(&printer, owner_);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace lumera
