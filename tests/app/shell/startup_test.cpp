// Start-up: the first start in an empty folder and the program file named on
// the command line.
#include "app/shell/startup.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "app/shell/main_window_ids.h"
#include "app_fixture.h"
#include "core/model/program_file.h"

namespace lumera {
namespace {

namespace ids = main_window_ids;
using testing::AppFixture;

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteText(const QString& path, const QByteArray& text) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(text);
}

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void FirstStartWritesSettingsAndDefaultProgram() {
    QTemporaryDir dir;
    const std::filesystem::path folder(dir.path().toStdString());
    Workspace workspace;
    const StartupResult started = StartUp(workspace, "", folder / "Lumera.ini");
    QVERIFY(!started.command_line_file);

    QList<QByteArray> lines = ReadAll(dir.filePath("Lumera.ini")).split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    for (QByteArray& line : lines) line = line.trimmed();
    QCOMPARE(lines,
             (QList<QByteArray>{"[Config]", "Port=1", "Device=1", "Program=1",
                                "File=" + QByteArray(kDefaultProgramFileName),
                                "Radio=0", "Entries=0", "Address=65520",
                                "Access=65280"}));

    const QString program = dir.filePath(kDefaultProgramFileName);
    QCOMPARE(QFileInfo(program).size(), qint64{7714});
    QVERIFY(QFileInfo::exists(dir.filePath("Prog_001.cmt")));
    QCOMPARE(QFileInfo(dir.filePath("Prog_001.cmt")).size(), qint64{0});
    // Ten empty segments and the start configuration.
    ProgramStore stored;
    QVERIFY(LoadProgramFile(stored, program.toStdString()));
    QVERIFY(stored.image() == workspace.store.image());
    QCOMPARE(stored.CommandAt(9, 254), kEmptyCommand);
    QVERIFY(!workspace.store.ProgramImageChanged());

    AppFixture app;
    StartUp(app.workspace, "", folder / "Lumera.ini");
    app.Open(folder / "Lumera.ini");
    QCOMPARE(app.Text(ids::kFileName),
             QString::fromLatin1(kDefaultProgramFileName));
    QVERIFY(!app.workspace.store.LoadedFromFile());
  }

  void CommandLineFileReplacesRememberedProgram_data() {
    QTest::addColumn<QString>("command_line");  // %1: the temporary folder
    QTest::addColumn<bool>("command_line_file");
    QTest::addColumn<QString>("file_name");
    QTest::addColumn<int>("segment");
    QTest::addColumn<bool>("loaded");
    QTest::newRow("quoted full path of an existing file")
        << "\"%1/given.prg\"" << true << "%1/given.prg" << 1 << true;
    QTest::newRow("upper-case extension")
        << "%1/UPPER.PRG" << true << "%1/UPPER.PRG" << 1 << true;
    QTest::newRow("mixed-case extension is no program file")
        << "%1/given.Prg" << false << "remembered.prg" << 4 << false;
    QTest::newRow("file that does not exist")
        << "%1/missing.prg" << false << "remembered.prg" << 4 << false;
    QTest::newRow("no command line")
        << "" << false << "remembered.prg" << 4 << false;
  }
  void CommandLineFileReplacesRememberedProgram() {
    QFETCH(QString, command_line);
    QFETCH(bool, command_line_file);
    QFETCH(QString, file_name);
    QFETCH(int, segment);
    QFETCH(bool, loaded);
    QTemporaryDir dir;
    const std::filesystem::path folder(dir.path().toStdString());
    WriteText(dir.filePath("Lumera.ini"),
              "[Config]\r\nPort=7\r\nDevice=9\r\nProgram=4\r\n"
              "File=remembered.prg\r\nRadio=1\r\nEntries=1\r\n"
              "Address=4660\r\nAccess=65280\r\n");
    // A file as the editor writes it: a program and a configuration with
    // its marker, so that loading it changes nothing.
    Workspace given;
    given.store.SetCommand(0, 0, Command{1, 2, 3});
    QVERIFY(SaveProgramFile(given.store, folder / "given.prg"));
    QVERIFY(SaveProgramFile(given.store, folder / "UPPER.PRG"));
    const auto in_dir = [&](QString text) {
      return text.replace(QStringLiteral("%1"), dir.path());
    };

    AppFixture app;
    const StartupResult started =
        StartUp(app.workspace, in_dir(command_line).toStdString(),
                folder / "Lumera.ini");
    QCOMPARE(started.command_line_file, command_line_file);
    const ShellSettings& settings = app.workspace.settings;
    QCOMPARE(QString::fromStdString(settings.program_file_name),
             in_dir(file_name));
    QCOMPARE(settings.current_segment, segment);
    // The rest of the settings come from the file either way.
    QCOMPARE(settings.port_number, 7);
    QCOMPARE(settings.controller_address, 9);
    QVERIFY(settings.RadioOn());
    QVERIFY(settings.EntriesOnly());
    QCOMPARE(settings.target_radio_address, (RadioAddress{1, 2, 0x34}));

    // Start-up itself loads nothing; the editor page does, as it is made.
    QVERIFY(!app.workspace.store.LoadedFromFile());
    app.Open(folder / "Lumera.ini", PortList{}, started.command_line_file);
    QCOMPARE(app.workspace.store.LoadedFromFile(), loaded);
    QCOMPARE(app.workspace.store.CommandAt(0, 0),
             (loaded ? Command{1, 2, 3} : kEmptyCommand));
    QCOMPARE(app.Text(ids::kFileName), in_dir(file_name));
    // Loaded and unchanged: closing asks nothing.
    app.window->show();
    QVERIFY(app.window->close());
    QVERIFY(app.prompts.asked.empty());
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::StartupTest)
#include "startup_test.moc"
