// Prompts shown as real Qt dialogs owned by one window.
#pragma once

#include <QPointer>
#include <QWidget>

#include "app/session/prompts.h"

namespace lumera {

class QtPrompts : public Prompts {
 public:
  explicit QtPrompts(QWidget* owner = nullptr) : owner_(owner) {}
  void SetOwner(QWidget* owner) { owner_ = owner; }

  void Warn(const QString& caption, const QString& text) override;
  bool AskYesNo(const QString& caption, const QString& text) override;
  bool AskOkCancel(const QString& caption, const QString& text) override;
  std::optional<QString> ChooseOpenFile(
      const FileDialogRequest& request) override;
  std::optional<QString> ChooseSaveFile(
      const FileDialogRequest& request) override;
  std::optional<QString> ChooseFolder(
      const FileDialogRequest& request) override;
  bool ChoosePrinter(QPrinter& printer) override;

 private:
  QPointer<QWidget> owner_;
};

}  // namespace lumera
