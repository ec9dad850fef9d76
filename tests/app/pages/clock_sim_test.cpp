// "Ustaw czas" and "Czytaj czas" against the virtual controller: the
// program lumera-sim on a pseudo-terminal, whose clock runs from the
// computer's time of day plus what the last setting moved it by.
#include <QLabel>
#include <QtTest>
#include <ctime>

#include "app/pages/config/config_page_ids.h"
#include "app_fixture.h"
#include "core/config/clock_time.h"
#include "sim_process.h"

namespace lumera {
namespace {

namespace cfg = config_page_ids;
using testing::AppFixture;

constexpr int kConfigTab = 1;

// Seconds between the clock and the computer's time now, over midnight.
int SecondsFromNow(const ClockTime& clock) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const int clock_seconds = SecondsOfDay(clock).value_or(-1);
  const int now_seconds =
      local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  const int difference = std::abs(clock_seconds - now_seconds);
  return std::min(difference, 86400 - difference);
}

class ClockSimTest : public QObject {
  Q_OBJECT

 private:
  testing::SimProcess sim_;

  QString ClockShown(AppFixture& app) {
    return qobject_cast<QLabel*>(
               app.window->PageAt(kConfigTab)->Control(cfg::kClock))
        ->text();
  }
  void Press(AppFixture& app, int id) {
    QSignalSpy finished(app.window.get(), &MainWindow::jobFinished);
    QTest::mouseClick(qobject_cast<QAbstractButton*>(
                          app.window->PageAt(kConfigTab)->Control(id)),
                      Qt::LeftButton);
    QVERIFY(app.WaitForJob(finished, 30000));
    QCOMPARE(finished.first().at(0).toBool(), true);
  }

 private slots:
  void initTestCase() { QVERIFY(sim_.Start()); }

  void SetThenReadShowsTheControllersTime() {
    AppFixture app;
    sim_.OpenOn(app);
    // A copy far from now: only the operations can bring it back.
    const ClockTime stale{0x12, 0x30, 0x00};
    const int stale_distance = SecondsFromNow(stale);

    app.workspace.config_page.clock_time = stale;
    Press(app, cfg::kSetClock);
    const ClockTime set = app.workspace.config_page.clock_time;
    QVERIFY(SecondsFromNow(set) <= 5);
    QTRY_COMPARE(ClockShown(app), QString::fromStdString(ClockText(set)));

    app.workspace.config_page.clock_time = stale;
    Press(app, cfg::kReadClock);
    const ClockTime read = app.workspace.config_page.clock_time;
    if (stale_distance > 10) QVERIFY(!(read == stale));
    QVERIFY(SecondsFromNow(read) <= 5);
    QTRY_COMPARE(ClockShown(app), QString::fromStdString(ClockText(read)));
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::ClockSimTest)
#include "clock_sim_test.moc"
