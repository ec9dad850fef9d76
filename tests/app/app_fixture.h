// A main window over a fresh workspace, with scripted prompts and a job
// whose port never opens, for the UI tests.
#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "app/shell/main_window.h"
#include "core/link/transfer_job.h"
#include "core/session/workspace.h"
#include "core/shell/port_discovery.h"
#include "support/scripted_prompts.h"

namespace lumera::testing {

// A settings folder of the test program's own, set when the test object is
// made: no COM<n> of this machine's ports folder takes part.
class OwnConfigHome {
 public:
  OwnConfigHome() { qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8()); }

 private:
  QTemporaryDir dir_;
};

inline PortList PortsOf(std::vector<DeviceName> names) {
  return DiscoverSerialPorts(names);
}

struct AppFixture {
  Workspace workspace;
  TransferJob job;
  ScriptedPrompts prompts;
  std::unique_ptr<MainWindow> window;

  // `settings_path` none: the run keeps no settings file.
  void Open(std::optional<std::filesystem::path> settings_path = std::nullopt,
            const PortList& ports = PortList{}, bool command_line_file = false,
            PageFactory pages = nullptr) {
    PortAccess access;
    access.name = [](int) {
      return std::string("/nonexistent/lumera-test-port");
    };
    job.SetPortAccess(access);
    window = std::make_unique<MainWindow>(workspace, job, prompts,
                                          std::move(settings_path), ports,
                                          command_line_file, std::move(pages));
  }

  QWidget* Control(int id) const { return window->Control(id); }
  QString Text(int id) const {
    QWidget* widget = Control(id);
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      return button->text();
    }
    return QString();
  }
  bool Checked(int id) const {
    return qobject_cast<QAbstractButton*>(Control(id))->isChecked();
  }
  void Click(int id) {
    QTest::mouseClick(qobject_cast<QAbstractButton*>(Control(id)),
                      Qt::LeftButton);
  }
  // Types into a number field as a user would, then leaves it.
  void Type(int id, const QString& text) {
    auto* edit = qobject_cast<QLineEdit*>(Control(id));
    edit->clear();
    QTest::keyClicks(edit, text);
  }
  void Leave(int id) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(Control(id), &out);
  }
  // Waits for the job that was started to end; false on a time-out.
  bool WaitForJob(QSignalSpy& finished, int ms = 10000) {
    return finished.count() > 0 || finished.wait(ms);
  }
};

}  // namespace lumera::testing
