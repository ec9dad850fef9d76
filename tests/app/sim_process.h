// The virtual controller for the end-to-end tests: the program lumera-sim on
// a pseudo-terminal, registered as COM<n> in the test's own ports folder.
#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

#include "app_fixture.h"

namespace lumera::testing {

class SimProcess {
 public:
  ~SimProcess() {
    sim_.terminate();
    sim_.waitForFinished(5000);
  }

  // Call with QVERIFY from initTestCase: the ports folder and the state file
  // live in dir(); false if the program never said where it listens.
  [[nodiscard]] bool Start(const QStringList& extra_arguments = {}) {
    if (!dir_.isValid()) return false;
    qputenv("XDG_CONFIG_HOME", dir_.filePath("config").toUtf8());
    sim_.setProgram(QStringLiteral(LUMERA_SIM_PATH));
    sim_.setArguments(QStringList{QStringLiteral("--state"), StatePath()} +
                      extra_arguments);
    sim_.setProcessChannelMode(QProcess::SeparateChannels);
    sim_.start();
    if (!sim_.waitForStarted(5000) || !sim_.waitForReadyRead(5000)) {
      return false;
    }
    // "<device> COM<n>" once it answers.
    const QList<QByteArray> ready = sim_.readLine().trimmed().split(' ');
    if (ready.size() != 2 || !ready[1].startsWith("COM")) return false;
    port_number_ = ready[1].mid(3).toInt();
    device_ = QString::fromLocal8Bit(ready[0]);
    return port_number_ > 0;
  }

  // Opens the window with its jobs going to the controller's port, by
  // number as the system names it.
  void OpenOn(AppFixture& app, const PortAccess& access = {}) const {
    app.workspace.settings.port_number = port_number_;
    app.Open();
    app.job.SetPortAccess(access);
  }
  int port_number() const { return port_number_; }
  // The pseudo-terminal it serves.
  const QString& device() const { return device_; }
  QString StatePath() const { return dir_.filePath("controller.img"); }
  QString FilePath(const QString& name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
  QProcess sim_;
  int port_number_ = 0;
  QString device_;
};

}  // namespace lumera::testing
