// The configuration page (tab 1): the controller's configuration record,
// its switches and flags, start points, tempos and the real-time clock.
#pragma once

#include <QHash>
#include <memory>

#include "app/pages/page.h"
#include "app/session/job_launcher.h"

class QGroupBox;
class QWidget;

namespace lumera {

class TableEdits;

class ConfigPage : public Page {
 public:
  ConfigPage(PageContext& context, QWidget* parent);
  ~ConfigPage() override;

  void RefreshOnTabChange() override;
  void ProgramLoaded() override;

  // Shows the record, the working values and the status, then has the
  // outputs page refresh.
  void RefreshConfigPage();

 private:
  QGroupBox* BuildNumberBox();
  QGroupBox* BuildSwitchBox();
  QGroupBox* BuildAccessPointBox();
  QGroupBox* BuildClockBox();
  QGroupBox* BuildStartPointBox();
  QGroupBox* BuildTempoBox();
  // A button whose click launches `start` through the launcher.
  QWidget* JobButton(QWidget* parent, int id, const char* object_name,
                     const QString& caption, JobStart start);

  PageContext& context_;
  // Destroyed before the widgets, so that no focus change of a dying edit
  // reaches the refresh.
  std::unique_ptr<TableEdits> edits_;
  QHash<int, QWidget*> controls_;
};

}  // namespace lumera
