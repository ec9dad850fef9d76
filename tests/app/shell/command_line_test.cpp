// The program file named on the command line, and how the number fields
// read and correct what is typed.
#include <QtTest>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "app/session/port_failure_hint.h"
#include "app/shell/command_line_file.h"
#include "app/shell/number_fields.h"

namespace lumera {
namespace {

class CommandLineTest : public QObject {
  Q_OBJECT

 private slots:
  void TakesNameUpToExtension_data() {
    QTest::addColumn<QString>("command_line");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("name");

    QTest::newRow("plain") << "prog.prg" << true << "prog.prg";
    QTest::newRow("quoted path drops the leading quote")
        << "\"/home/a b/Prog 7.prg\"" << true << "/home/a b/Prog 7.prg";
    QTest::newRow("upper-case extension") << "C.PRG" << true << "C.PRG";
    QTest::newRow("mixed case is not an extension") << "c.Prg" << false << "";
    QTest::newRow("lower case wins over an earlier upper case")
        << "a.PRG b.prg" << true << "a.PRG b.prg";
    QTest::newRow("arguments after the extension are ignored")
        << "x.prg --other y" << true << "x.prg";
    QTest::newRow("extension inside a name counts")
        << "dir.prg/file.txt" << true << "dir.prg";
    QTest::newRow("only a quote in front is dropped")
        << "a\"b.prg" << true << "a\"b.prg";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("no extension") << "program.txt" << false << "";
    QTest::newRow("longest name kept")
        << QString(255, 'a') + ".prg" << true << QString(255, 'a') + ".prg";
    QTest::newRow("name too long to keep is refused")
        << QString(256, 'a') + ".prg" << false << "";
    QTest::newRow("quote does not count towards the length")
        << "\"" + QString(255, 'a') + ".prg\"" << true
        << QString(255, 'a') + ".prg";
  }
  void TakesNameUpToExtension() {
    QFETCH(QString, command_line);
    QFETCH(bool, taken);
    QFETCH(QString, name);
    const std::optional<std::string> result =
        ProgramFileFromCommandLine(command_line.toStdString());
    QCOMPARE(result.has_value(), taken);
    if (taken) QCOMPARE(QString::fromStdString(*result), name);
  }

  void TakesTheSiteOptionOut_data() {
    QTest::addColumn<QStringList>("arguments");
    // The file named (taken as it is made absolute here); empty: none.
    QTest::addColumn<QString>("site");
    QTest::addColumn<QString>("left");  // the command line after it
    QTest::newRow("before a program file")
        << QStringList{"--site", "a.site", "x.prg"} << "a.site"
        << "x.prg";
    QTest::newRow("joined by '=', a path with a space")
        << QStringList{"x.prg", "--site=/srv/hala b.site"} << "/srv/hala b.site"
        << "x.prg";
    QTest::newRow("the last one counts")
        << QStringList{"--site", "a.site", "--site", "/b.site"} << "/b.site"
        << "";
    QTest::newRow("without its file") << QStringList{"--site"} << ""
                                      << "";
    QTest::newRow("another option") << QStringList{"--sites", "x"} << ""
                                    << "--sites x";
  }
  void TakesTheSiteOptionOut() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, site);
    QFETCH(QString, left);
    std::vector<std::string> texts{"lumera"};
    for (const QString& argument : arguments) {
      texts.push_back(argument.toStdString());
    }
    std::vector<char*> argv;
    for (std::string& text : texts) argv.push_back(text.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(texts.size());
    const std::optional<std::string> taken = TakeSiteOption(argc, argv.data());
    const std::string absolute =
        site.isEmpty() ? ""
                       : std::filesystem::absolute(site.toStdString()).string();
    QCOMPARE(QString::fromStdString(taken.value_or("")),
             QString::fromStdString(absolute));
    QCOMPARE(QString::fromStdString(JoinCommandLine(argc, argv.data())), left);
    QCOMPARE(argv[argc], nullptr);
  }

  // The start from the desktop moves to its own folder before it opens the
  // file: a relative name must still name the file beside the start.
  void AnchorsTheProgramFileBeforeTheFolderChanges_data() {
    QTest::addColumn<QString>("command_line");
    QTest::addColumn<QString>("relative");  // made absolute; empty: none
    QTest::addColumn<QString>("after");     // what follows the name
    QTest::newRow("relative") << "a/x.prg"
                              << "a/x.prg"
                              << "";
    QTest::newRow("quoted, with arguments after it") << "\"p 1.PRG\" -x"
                                                     << "p 1.PRG"
                                                     << "\" -x";
    // Absolute as the system reads it (on Windows with its drive).
    QTest::newRow("absolute")
        << QString::fromStdString(
               std::filesystem::absolute("srv/x.prg").string())
        << ""
        << "";
    QTest::newRow("no program file") << "notes.txt"
                                     << ""
                                     << "";
  }
  void AnchorsTheProgramFileBeforeTheFolderChanges() {
    QFETCH(QString, command_line);
    QFETCH(QString, relative);
    QFETCH(QString, after);
    const std::string anchored = AnchorProgramFile(command_line.toStdString());
    if (relative.isEmpty()) {
      QCOMPARE(QString::fromStdString(anchored), command_line);
      return;
    }
    const std::string absolute =
        std::filesystem::absolute(relative.toStdString()).string();
    const QString quote = command_line.startsWith('"') ? "\"" : "";
    QCOMPARE(QString::fromStdString(anchored),
             quote + QString::fromStdString(absolute) + after);
    QCOMPARE(QString::fromStdString(
                 ProgramFileFromCommandLine(anchored).value_or("")),
             QString::fromStdString(absolute));
  }

  void JoinsArgumentsWithSpaces() {
    const char* argv[] = {"lumera", "/tmp/a", "b.prg", "x"};
    QCOMPARE(QString::fromStdString(JoinCommandLine(4, argv)),
             QStringLiteral("/tmp/a b.prg x"));
    QCOMPARE(QString::fromStdString(JoinCommandLine(1, argv)), QString());
  }

  void OnlyRegularFilesAreReadable() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath("p.prg");
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("x");
    out.close();
    QVERIFY(ProgramFileReadable(file.toStdString()));
    QVERIFY(!ProgramFileReadable(dir.filePath("missing.prg").toStdString()));
    QVERIFY(!ProgramFileReadable(dir.path().toStdString()));
  }

  void CorrectsFieldValues_data() {
    QTest::addColumn<uint>("typed");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("nibble");
    QTest::addColumn<int>("low_byte");
    QTest::addColumn<int>("time_byte");
    QTest::newRow("0") << 0u << 1 << 0 << 0 << 0;
    QTest::newRow("10") << 10u << 10 << 10 << 10 << 10;
    QTest::newRow("20") << 20u << 20 << 4 << 20 << 20;
    QTest::newRow("240") << 240u << 240 << 0 << 240 << 240;
    QTest::newRow("250") << 250u << 250 << 10 << 240 << 250;
    QTest::newRow("255") << 255u << 255 << 15 << 240 << 255;
    QTest::newRow("300") << 300u << 255 << 12 << 240 << 255;
    QTest::newRow("999") << 999u << 255 << 7 << 240 << 255;
  }
  void CorrectsFieldValues() {
    QFETCH(uint, typed);
    QFETCH(int, address);
    QFETCH(int, nibble);
    QFETCH(int, low_byte);
    QFETCH(int, time_byte);
    QCOMPARE(ControllerAddressFromField(typed), address);
    QCOMPARE(static_cast<int>(NibbleFromField(typed)), nibble);
    QCOMPARE(static_cast<int>(RadioLowByteFromField(typed)), low_byte);
    QCOMPARE(TimeByteFromField(typed), time_byte);
  }

  void PortFailureHintNamesTheCause_data() {
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("starts_with");
    QTest::addColumn<bool>("dialout");
    QTest::newRow("permission denied")
        << EACCES << "/dev/ttyUSB0: Permission denied"
        << "/dev/ttyUSB0: Permission denied" << true;
    QTest::newRow("operation not permitted")
        << EPERM << "/dev/ttyS3: Operation not permitted"
        << "/dev/ttyS3: Operation not permitted" << true;
    QTest::newRow("missing device")
        << ENOENT << "/dev/ttyUSB1: No such file or directory"
        << "/dev/ttyUSB1: No such file or directory" << false;
    QTest::newRow("busy port")
        << EBUSY << "/dev/ttyS0: Device or resource busy"
        << "/dev/ttyS0: Device or resource busy" << false;
    QTest::newRow("no reason given") << 0 << ""
                                     << "COM7" << false;
  }
  void PortFailureHintNamesTheCause() {
    QFETCH(int, error);
    QFETCH(QString, reason);
    QFETCH(QString, starts_with);
    QFETCH(bool, dialout);
#ifdef _WIN32
    dialout = false;  // no group grants access to a port there
#endif
    PortFailure failure;
    failure.system_error = error;
    failure.reason = reason.toStdString();
    const QString hint = PortFailureHint(failure, "COM7");
    QVERIFY2(hint.startsWith(starts_with), qPrintable(hint));
    QCOMPARE(hint.contains(QStringLiteral("dialout")), dialout);
  }
};

}  // namespace
}  // namespace lumera

QTEST_APPLESS_MAIN(lumera::CommandLineTest)
#include "command_line_test.moc"
